| Calls that the profiler must follow: two TRAPs whose handler returns with RTE, an
| ILLEGAL (this machine stacks the address after it), a function that returns with RTR, a call left through a
| longjmp that restores the stack pointer three calls deep, and a loop whose short branch is
| taken twice and falls through once.
    .text
    .globl _start
vectors:
    .long 0x10000
    .long _start
    .fill 2,4,0
    .long illegal_handler
    .fill 27,4,0
    .long trap_handler
    .fill 15,4,0
_start:
    bsr main
done:
    bra done

main:
    trap #0
    trap #0
    illegal
    bsr with_rtr
    bsr outer
    moveq #3,%d1
loop:
    subq.l #1,%d1
    bne.s loop
    rts

trap_handler:
    addq.l #1,%d0
    rte

illegal_handler:
    nop
    rte

with_rtr:
    move.w #0,-(%sp)
    rtr

outer:
    move.l %sp,saved
    bsr inner
    rts
after_escape:
    rts

inner:
    bsr innermost
    rts

innermost:
    move.l saved,%sp
    jmp after_escape

saved:
    .long 0
