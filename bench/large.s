| A program of a mebibyte with ten thousand labels and a line table, for timing how long an
| ELF executable takes to open: each block is a label, a few instructions and data.
    .section .vectors, "a"
    .long   0x8000
    .long   start

    .text
    .globl  start
start:
    .macro  block
block\@:
    move.l  #block\@,%a0
    bsr     block\@+8
    .fill   96, 1, 0x4e
    .endm
    .rept   10000
    block
    .endr
