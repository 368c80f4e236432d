| Every exception that the simulator takes, each with a handler that returns through RTE,
| the switches between supervisor and user state with their two stack pointers, and the
| line 1010 and line 1111 words, which are passed over. Handlers store the vector number,
| the stacked status register and their stack pointer; the main program stores what it sees.
| Results are longs from 0x8000 up (A5); the program ends on a branch to itself.

    .macro  SAVE    value
    move.l  \value,(%a5)+
    .endm

    .text
    .long   0x10000                 | supervisor stack
    .long   start
    .long   0, 0
    .long   vector4, vector5, vector6, vector7, privilege
    .org    0x80
    .irp    n,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47
    .long   vector\n
    .endr

    .org    0x1000
start:
    lea     0x8000,%a5

| TRAP #0 to #15 in supervisor state; each handler sees the frame on SSP = 0x10000 - 6
    move.w  #0x2705,%sr
    .irp    n,0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15
    trap    #\n
    .endr
    move.w  %sr,%d0                 | RTE gave back the flags
    SAVE    %d0

| Zero divide, CHK, TRAPV, ILLEGAL and an undecoded word
    move.l  #1234,%d0
    divu.w  #0,%d0
    SAVE    %d0                     | unchanged
    moveq   #11,%d1
    chk     #10,%d1                 | above the bound: N clear in the frame
    moveq   #-1,%d1
    chk     #10,%d1                 | negative: N set in the frame
    moveq   #5,%d1
    chk     #10,%d1                 | within: nothing
    move.w  #0x02,%ccr
    trapv
    move.w  #0x00,%ccr
    trapv                           | V clear: nothing
    illegal
    .word   0x4e7a                  | no 68000 instruction
    SAVE    #0x11

| Line 1010 and line 1111 words are passed over without an exception
    moveq   #0,%d2
    .word   0xa123
    addq.l  #1,%d2
    .word   0xfabc
    addq.l  #1,%d2
    SAVE    %d2                     | 2

| Down to user state through an RTE frame built by hand; the user stack is separate
    lea     0xc000,%a0
    move.l  %a0,%usp
    pea     user_entry
    move.w  #0x0004,-(%sp)
    rte
user_entry:
    move.w  %sr,%d0
    SAVE    %d0                     | user state, Z from the frame
    move.l  #0x11111111,-(%sp)
    SAVE    %sp                     | the user stack: 0xbffc
    trap    #1                      | taken on the supervisor stack
    move.l  #0x1234,%d0
    divu.w  #0,%d0                  | taken as well, back to user state afterwards

| Privileged instructions in user state: the frame holds the instruction itself
    move.l  #priv1,expect
    move.l  #after1,resume
priv1:
    move.w  #0x2700,%sr
after1:
    move.l  #priv2,expect
    move.l  #after2,resume
priv2:
    move.l  %usp,%a1
after2:
    move.l  #priv3,expect
    move.l  #after3,resume
priv3:
    andi.w  #0x7fff,%sr
after3:
    move.l  #priv4,expect
    move.l  #after4,resume
priv4:
    rte
after4:
    move.l  (%sp)+,%d0
    SAVE    %d0                     | 0x11111111 from the user stack
    move.w  %sr,%d0
    SAVE    %d0                     | still user state

| Back up to supervisor state: this violation's handler returns with S set
    move.b  #1,promote
    move.l  #priv5,expect
    move.l  #after5,resume
priv5:
    reset
after5:
    move.w  %sr,%d0
    SAVE    %d0                     | supervisor state again
    SAVE    %sp                     | SSP: the frames are all gone
    move.l  %usp,%a0
    SAVE    %a0                     | USP: 0xc000

    SAVE    #0x600dc0de
done:
    bra.s   done

| Vector number, stacked SR and the stack pointer, then back.
    .irp    n,4,5,6,7,32,33,34,35,36,37,38,39,40,41,42,43,44,45,46,47
vector\n:
    move.l  #\n,(%a5)+
    moveq   #0,%d7
    move.w  (%sp),%d7
    move.l  %d7,(%a5)+
    move.l  %sp,(%a5)+
    rte
    .endr

privilege:
    move.l  #8,(%a5)+
    move.l  2(%sp),%d7
    sub.l   expect,%d7
    move.l  %d7,(%a5)+              | 0: the stacked PC is the privileged instruction
    move.l  resume,2(%sp)
    tst.b   promote
    beq.s   1f
    ori.w   #0x2000,(%sp)
1:  rte

    .even
expect:
    .long   0
resume:
    .long   0
promote:
    .byte   0
