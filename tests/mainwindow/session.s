| A program for driving the main window: an endless main loop that calls a subroutine,
| so that runs must be stopped from outside and step over has a call to step over.
    .text
    .long   0x00010000          | initial supervisor stack pointer
    .long   start               | initial program counter
    .org    0x1000
start:
    moveq   #0,%d0
    moveq   #0,%d1
loop:
    addq.l  #1,%d0
    bsr.w   count
    bra.s   loop
count:
    addq.l  #1,%d1
    move.l  %d1,0x2000
    rts
