| Data movement, integer arithmetic, comparison and decimal instructions. Every result
| and the condition codes after it are stored as longs from 0x8000 up (A5), in the order
| the checking test lists them; the program ends on a branch to itself.

    .macro  CCR                     | the condition codes, as a long
    move.w  %sr,%d7
    andi.l  #0x1f,%d7
    move.l  %d7,(%a5)+
    .endm

    .macro  SAVE    value
    move.l  \value,(%a5)+
    .endm

    .macro  OFFSET  reg, base       | an address, relative to a label; X is kept
    movea.l \reg,%a6
    suba.l  #\base,%a6
    move.l  %a6,(%a5)+
    .endm

    .text
    .long   0x10000                 | supervisor stack
    .long   start
    .org    0x1000
start:
    lea     0x8000,%a5

| ADD, ADDQ, ADDI, ADDX
    moveq   #-1,%d0
    addq.l  #2,%d0                  | 1, X C
    CCR
    SAVE    %d0
    move.l  #0x12347fff,%d1
    moveq   #1,%d2
    add.w   %d2,%d1                 | 0x12348000, N V
    CCR
    SAVE    %d1
    moveq   #1,%d3                  | 64-bit 0x1_FFFFFFFF + 1
    moveq   #-1,%d4
    moveq   #0,%d5
    moveq   #1,%d6
    add.l   %d6,%d4                 | 0, X Z C
    addx.l  %d5,%d3                 | 2, Z cleared
    CCR
    SAVE    %d3
    SAVE    %d4
    move.w  #0x1234,%d0
    addi.w  #0x1111,%d0
    add.w   counter,%d0             | 0x2345 + 0x10 = 0x2355
    SAVE    %d0

| SUB, SUBX on memory, SUBQ, SUBA
    move.w  #4,%ccr                 | Z set, X clear
    lea     big1+8,%a0
    lea     big2+8,%a1
    subx.l  -(%a1),-(%a0)           | low long 0 - 1
    subx.l  -(%a1),-(%a0)           | high long 1 - 0 - 1
    CCR
    SAVE    big1
    SAVE    big1+4
    OFFSET  %a0,big1
    move.l  #100,%d0
    sub.l   #101,%d0                | -1, X N C
    CCR
    SAVE    %d0
    lea     0x10000,%a2
    subq.w  #8,%a2                  | 0xFFF8, a long subtraction
    suba.w  #0x7000,%a2             | 0x8FF8
    SAVE    %a2
    move.w  #1,%d0
    subq.b  #2,%d0                  | 0xFFFF00FF, X N C
    CCR
    SAVE    %d0

| CMP, CMPA, CMPI, CMPM, TST
    move.w  #5,%d1
    cmp.w   #6,%d1                  | N C, X kept from SUBQ
    CCR
    movea.l #0x8000,%a3
    cmpa.w  #0x8000,%a3             | the word extends to 0xFFFF8000: a borrow
    CCR
    lea     text1,%a0
    lea     text2,%a1
    moveq   #15,%d0
same:
    cmpm.b  (%a0)+,(%a1)+
    dbne    %d0,same
    SAVE    %d0                     | 15 - 6: the strings differ at index 6
    OFFSET  %a0,text1
    tst.l   big2
    CCR

| NEG, NEGX, CLR
    move.l  #0x80000000,%d0
    neg.l   %d0                     | same value, X N V C
    CCR
    SAVE    %d0
    moveq   #0,%d1                  | 64-bit negation of 0x0_00000001
    moveq   #1,%d2
    neg.l   %d2
    negx.l  %d1
    CCR
    SAVE    %d1
    SAVE    %d2
    move.l  #-1,%d3
    clr.b   %d3
    CCR
    SAVE    %d3

| MULU, MULS, DIVU, DIVS
    move.l  #0xffff,%d0
    mulu.w  #0xffff,%d0
    CCR
    SAVE    %d0
    move.w  #-300,%d1
    muls.w  #200,%d1
    SAVE    %d1
    move.l  #1000000,%d0
    divu.w  #300,%d0
    CCR
    SAVE    %d0
    move.l  #-1000000,%d0
    divs.w  #300,%d0
    CCR
    SAVE    %d0
    move.l  #0x12345678,%d0
    divu.w  #2,%d0                  | overflow: D0 kept, V
    CCR
    SAVE    %d0

| ABCD, SBCD, NBCD on four-digit numbers
    move.w  #4,%ccr
    lea     bcd1+2,%a0
    lea     bcd2+2,%a1
    abcd    -(%a1),-(%a0)
    abcd    -(%a1),-(%a0)           | 1999 + 0001 = 2000
    CCR
    moveq   #0,%d0
    move.w  bcd1,%d0
    SAVE    %d0
    move.w  #4,%ccr
    lea     bcd1+2,%a0
    lea     bcd2+2,%a1
    sbcd    -(%a1),-(%a0)
    sbcd    -(%a1),-(%a0)           | 2000 - 0001 = 1999
    CCR
    moveq   #0,%d0
    move.w  bcd1,%d0
    SAVE    %d0
    move.w  #0,%ccr
    move.b  #0x25,%d0
    nbcd    %d0                     | 0x75, X C
    CCR
    SAVE    %d0

| MOVE through every addressing mode, MOVEA, MOVEQ, EXG, SWAP, EXT, LEA, PEA
    lea     area,%a0
    move.l  #0x11223344,(%a0)
    move.w  #0x5566,4(%a0)
    moveq   #2,%d1
    move.b  #0x77,6(%a0,%d1.w)      | area+8
    move.b  #0x88,area+9
    move.l  (%a0)+,%d2
    move.l  %d2,-(%a0)
    move.w  area+4,%d3
    move.l  6(%a0,%d1.l),%d4        | area+8
    SAVE    %d4
    OFFSET  %a0,area
    move.w  (%a0),%d5
    swap    %d5
    move.w  4(%a0),%d5
    SAVE    %d5                     | 0x11225566
    moveq   #4,%d1
    bra.s   near_end
near:
    .word   0x1000, 0x2000, 0x3000, 0x4000
near_end:
    move.w  near(%pc,%d1.w),%d6
    SAVE    %d6
    move.w  table+2(%pc),%d6
    SAVE    %d6
    movea.w #-2,%a4
    SAVE    %a4
    moveq   #-100,%d0
    SAVE    %d0
    move.l  #0x12345678,%d0
    movea.l #0xabcdef01,%a1
    exg     %d0,%a1
    SAVE    %d0
    SAVE    %a1
    move.l  #0x000000f0,%d0
    ext.w   %d0
    SAVE    %d0
    ext.l   %d0
    CCR
    SAVE    %d0
    lea     table(%pc),%a1
    lea     6(%a1,%d1.w),%a1
    pea     -4(%a1)
    move.l  (%sp)+,%d0
    sub.l   #table,%d0
    SAVE    %d0                     | 4 + 6 - 4

| MOVEM, MOVEP
    moveq   #1,%d0
    moveq   #2,%d1
    moveq   #3,%d2
    movea.w #4,%a0
    movea.w #5,%a1
    movem.l %d0-%d2/%a0-%a1,-(%sp)
    moveq   #0,%d0
    moveq   #0,%d1
    moveq   #0,%d2
    movea.w #0,%a0
    movea.w #0,%a1
    move.l  8(%sp),%d6              | D2
    movem.l (%sp)+,%d0-%d2/%a0-%a1
    add.l   %d1,%d0
    add.l   %d2,%d0
    add.l   %a0,%d0
    add.l   %a1,%d0
    SAVE    %d0                     | 15
    SAVE    %d6
    SAVE    %sp
    lea     area,%a0
    movem.w words,%d0-%d1
    SAVE    %d0
    SAVE    %d1
    move.l  #0x0a0b0c0d,%d0
    movep.l %d0,1(%a0)
    movep.w 3(%a0),%d2
    SAVE    %d2
    move.l  (%a0),%d2
    SAVE    %d2

    SAVE    #0x600dc0de             | the end of the results
done:
    bra.s   done

    .even
counter:
    .word   0x0010
big1:
    .long   1, 0
big2:
    .long   0, 1
bcd1:
    .byte   0x19, 0x99
bcd2:
    .byte   0x00, 0x01
text1:
    .ascii  "Zendra, 68000"
text2:
    .ascii  "Zendra. 68000"
    .even
table:
    .word   0x1000, 0x2000, 0x3000, 0x4000
words:
    .word   0x8001, 0x7fff
area:
    .space  16
