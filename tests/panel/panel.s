| The state panel's program: each instruction changes one thing that the panel shows,
| so that a test can step it and read what turned red.
    .text
    .long   0x00008000          | initial supervisor stack pointer
    .long   start               | initial program counter
    .org    0x1000
start:
    move.l  #0x41424344,%d0     | D0 only: "ABCD"
    lea     data,%a0            | A0 only
    move.w  (%a0)+,%d1          | D1 and A0; source in memory, word
    move.b  #0x1F,%d2           | D2, a byte immediate
    move.l  %d0,-(%sp)          | SSP and the stack
    addq.w  #1,%d3              | D3 and the flags
    moveq   #-1,%d4             | D4, N set
    cmp.l   %d4,%d4             | flags only: Z set, N clear
    move.w  #0x0700,%sr         | user state: A7 becomes USP
    nop
    .word   0xFFFF              | no instruction
    .org    0x2000
data:
    .word   0x1234, 0x5678
    .ascii  "Zendra panel"
    .even
