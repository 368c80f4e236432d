| A small program and a table of every byte value, for checking the S-Record loader
| against the toolchain's own flat image.
    .text
start:
    move.l  #0x12345678,%d0
    lea     table,%a0
    moveq   #0,%d1
loop:
    add.b   (%a0)+,%d1
    cmpa.l  #table_end,%a0
    bne.s   loop
    move.w  %d1,result
    bra.s   start
result:
    .word   0
message:
    .ascii  "Zendra charge ce programme."
    .even
table:
    .irp    n,0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15
    .irp    m,0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15
    .byte   \n*16+\m
    .endr
    .endr
table_end:
    .long   0xDEADBEEF
