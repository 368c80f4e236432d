| Stores, loads and calls for the watchpoint, condition and backwards tests: bytes written
| through (a0)+, long words by MOVEM, a loop that compares with a variable, a pixel, and a
| call that sets a register.
    .section .vectors, "a"
    .long   0x8000
    .long   start

    .text
    .globl  start
start:
    lea     buffer,%a0
    moveq   #0,%d0
fill:
    move.b  %d0,(%a0)+
    addq.w  #1,%d0
    cmp.w   #8,%d0
    bne.s   fill
    movem.l %d0-%d3,saved
    moveq   #0,%d1
count:
    addq.w  #1,%d1
    cmp.w   limit,%d1
    bne.s   count
    move.b  #0xC0,0xFFB500
    bsr     set_d5
    move.w  %d1,result
done:
    bra.s   done

set_d5:
    move.l  #0x12345678,%d5
    rts

illegal_here:
    illegal

buffer:
    .space  8
saved:
    .space  16
limit:
    .word   5
result:
    .word   0
