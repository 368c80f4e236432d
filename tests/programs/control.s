| Program control: conditional branches and sets, counted loops, subroutines called in
| every way, recursion through LINK/UNLK frames with MOVEM-saved registers, RTR and a jump
| table. Results are stored as longs from 0x8000 up (A5); the program ends on a branch to
| itself.

    .macro  SAVE    value
    move.l  \value,(%a5)+
    .endm

    .text
    .long   0x10000
    .long   start
    .org    0x1000
start:
    lea     0x8000,%a5

| Signed and unsigned comparisons: Scc after CMP, one byte per condition
    moveq   #-1,%d0
    moveq   #1,%d1
    cmp.l   %d1,%d0                 | -1 against 1: HI unsigned, LT signed
    shi     (%a5)+
    slt     (%a5)+
    sge     (%a5)+
    scs     (%a5)+                  | 0xffff0000
    cmp.l   %d0,%d0
    seq     (%a5)+
    sne     (%a5)+
    sle     (%a5)+
    sgt     (%a5)+                  | 0xff00ff00
    move.l  #0x7fffffff,%d0
    addq.l  #1,%d0                  | overflow into the sign
    svs     (%a5)+
    smi     (%a5)+
    sge     (%a5)+
    spl     (%a5)+                  | 0xffffff00

| Loops: DBRA over a table sum, DBNE search, a Bcc.W loop
    lea     numbers,%a0
    moveq   #0,%d0
    moveq   #9,%d1
sum:
    add.w   (%a0)+,%d0
    dbra    %d1,sum
    SAVE    %d0                     | 1+2+...+10 = 55
    SAVE    %d1                     | low word 0xffff
    lea     numbers,%a0
    moveq   #9,%d1
find:
    cmpi.w  #7,(%a0)+
    dbeq    %d1,find
    SAVE    %d1                     | stopped at the 7th entry: 9 - 6 = 3
    moveq   #0,%d2
    move.w  #300,%d3
long_loop:
    addq.l  #3,%d2
    subq.w  #1,%d3
    bne.w   long_loop
    SAVE    %d2                     | 900

| Subroutines: BSR, JSR abs, JSR (An), JSR d16(PC), RTR
    bra.s   calls
add_one:
    addq.l  #1,%d0
    rts
keep_flags:
    move.w  %sr,-(%sp)
    moveq   #0,%d7                  | changes N Z V C
    rtr
calls:
    moveq   #0,%d0
    bsr.s   add_one
    bsr.w   add_one
    jsr     add_one
    lea     add_one,%a1
    jsr     (%a1)
    jsr     add_one(%pc)
    SAVE    %d0                     | 5
    move.w  #0x1f,%ccr
    bsr.s   keep_flags
    move.w  %sr,%d1
    andi.l  #0x1f,%d1
    SAVE    %d1                     | 0x1f, restored by RTR

| Recursion: fib(12) with a LINK frame per call and the registers saved by MOVEM
    move.l  %sp,%d6
    move.l  #12,-(%sp)
    bsr     fib
    addq.l  #4,%sp
    SAVE    %d0                     | 144
    sub.l   %sp,%d6
    SAVE    %d6                     | the stack is balanced: 0
    SAVE    depth                   | deepest frame pointer, relative to the top

| Jump table through JMP d8(PC,Dn)
    moveq   #0,%d5
    moveq   #0,%d4
dispatch:
    move.w  %d4,%d3
    add.w   %d3,%d3
    move.w  jumps(%pc,%d3.w),%d3
    jmp     jumps(%pc,%d3.w)
jumps:
    .word   case0-jumps, case1-jumps, case2-jumps
case0:
    addi.l  #1,%d5
    bra.s   next_case
case1:
    addi.l  #10,%d5
    bra.s   next_case
case2:
    addi.l  #100,%d5
next_case:
    addq.w  #1,%d4
    cmpi.w  #3,%d4
    blt.s   dispatch
    SAVE    %d5                     | 111

| The status register: immediate operations on CCR and SR, NOP, and STOP, which waits for
| nothing here: its immediate word, a NOP, runs next
    move.w  #0x2700,%sr
    ori     #0x15,%ccr              | X Z C
    andi    #0x1c,%ccr              | X Z
    eori    #0x0a,%ccr              | X N Z V
    move.w  %sr,%d0
    SAVE    %d0                     | 0x271e, and the move leaves X alone
    eori.w  #0x0300,%sr             | interrupt mask 7 to 4
    move.w  %sr,%d0
    SAVE    %d0                     | 0x2410
    moveq   #3,%d1
    nop
    stop    #0x4e71
    addq.l  #1,%d1
    SAVE    %d1                     | 4
    lea     numbers,%a0
    adda.w  #4,%a0
    move.w  (%a0),%d0
    ext.l   %d0
    SAVE    %d0                     | the third number

    SAVE    #0x600dc0de
done:
    bra.s   done

| fib(n) for the long n at 8(A6), result in D0
fib:
    link    %a6,#-4
    movem.l %d1-%d2,-(%sp)
    move.l  %a6,%d1
    sub.l   #0x10000,%d1
    cmp.l   depth,%d1
    bge.s   not_deeper
    move.l  %d1,depth
not_deeper:
    move.l  8(%a6),%d1
    cmpi.l  #2,%d1
    bge.s   recurse
    move.l  %d1,%d0
    bra.s   fib_end
recurse:
    subq.l  #1,%d1
    move.l  %d1,-4(%a6)
    move.l  %d1,-(%sp)
    bsr.s   fib
    addq.l  #4,%sp
    move.l  %d0,%d2
    move.l  -4(%a6),%d1
    subq.l  #1,%d1
    move.l  %d1,-(%sp)
    bsr.s   fib
    addq.l  #4,%sp
    add.l   %d2,%d0
fib_end:
    movem.l (%sp)+,%d1-%d2
    unlk    %a6
    rts

    .even
depth:
    .long   0
numbers:
    .word   1, 2, 3, 4, 5, 6, 7, 8, 9, 10
