| Run-mode scenarios: nested calls for stepping over and out, the default ILLEGAL
| breakpoint, a countdown loop and an endless loop to be stopped from outside.
    .text
    .long   0x00010000          | initial supervisor stack pointer
    .long   start               | initial program counter
    .org    0x80
    .long   trap0               | TRAP #0
    .org    0x1000
start:
    moveq   #0,%d0
call_outer:
    bsr.w   outer
after_outer:
    addq.l  #1,%d0
call_leaf:
    jsr     leaf
after_leaf:
illegal_here:
    illegal
after_illegal:
    moveq   #3,%d1
loop_top:
    subq.l  #1,%d1
    bne.s   loop_top
    trap    #0
before_rts:
    rts

outer:
    addq.l  #1,%d0
    jsr     inner
    addq.l  #1,%d0
outer_rts:
    rts
inner:
    addq.l  #1,%d0
    rts
leaf:
    rts
trap0:
    addq.l  #1,%d2
    rte

forever:
    addq.l  #1,%d0
    bra.s   forever
