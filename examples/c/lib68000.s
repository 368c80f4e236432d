| 32-bit division and remainder for the 68000, which divides only 32 bits by 16.
|
| The compiler calls __divsi3, __modsi3, __udivsi3 and __umodsi3 for /, % and __mulsi3 for *
| on 32-bit values. Debian's libgcc for m68k-linux-gnu is built for the 68020: its __divsi3,
| __modsi3 and __umodsi3 call their helpers with BSR.L, which a 68000 reads as a BSR.S to
| an odd address, an address error. Its __mulsi3 and __udivsi3 are 68000 code, and stay
| libgcc's. These three, linked as an object before -lgcc, are taken instead of its own.
| libgcc's long long multiplication and division, and its floating-point comparisons and
| conversions, are 68020 code as well: keep to integers of 32 bits, or bring 68000 versions.
|
| Arguments on the stack, the result in D0; D0, D1, A0 and A1 may change, as C expects.

    .text

| D0 / D1, both unsigned: the quotient in D0, the remainder in D1. Shift and subtract, one
| bit of the dividend per pass: the remainder takes the dividend's top bit, and the quotient
| a 1 in the bit that the dividend frees when the divisor fits into the remainder.
| Doubled, the remainder never passes 32 bits: under a divisor of 31 bits it has 31 at most,
| and a divisor of 32 bits leaves it whole until the last pass, which makes it the dividend.
| A zero divisor raises the processor's zero-divide exception, as libgcc's __udivsi3 does.
udivmod:
    tst.l   %d1
    bne.s   1f
    divu.w  %d1,%d0
1:
    movem.l %d2-%d3,-(%sp)
    moveq   #0,%d2                  | the remainder
    moveq   #31,%d3
2:
    add.l   %d0,%d0                 | the dividend's top bit into X, bit 0 free
    addx.l  %d2,%d2
    cmp.l   %d1,%d2
    bcs.s   3f
    sub.l   %d1,%d2
    addq.l  #1,%d0
3:
    dbra    %d3,2b
    move.l  %d2,%d1
    movem.l (%sp)+,%d2-%d3
    rts

| udivmod on the magnitudes of D0 and D1.
udivmod_magnitudes:
    tst.l   %d0
    bpl.s   1f
    neg.l   %d0
1:
    tst.l   %d1
    bpl.s   udivmod
    neg.l   %d1
    bra.s   udivmod

| unsigned n % d
    .globl  __umodsi3
    .type   __umodsi3,@function
__umodsi3:
    move.l  4(%sp),%d0
    move.l  8(%sp),%d1
    bsr.s   udivmod
    move.l  %d1,%d0
    rts
    .size   __umodsi3,.-__umodsi3

| n / d, rounded toward zero as C rounds: negative when the signs differ.
    .globl  __divsi3
    .type   __divsi3,@function
__divsi3:
    move.l  %d2,-(%sp)
    move.l  8(%sp),%d0
    move.l  12(%sp),%d1
    move.l  %d0,%d2
    eor.l   %d1,%d2
    bsr.s   udivmod_magnitudes
    tst.l   %d2
    bpl.s   1f
    neg.l   %d0
1:
    move.l  (%sp)+,%d2
    rts
    .size   __divsi3,.-__divsi3

| n % d, with the sign of n, so that (n / d) * d + n % d == n.
    .globl  __modsi3
    .type   __modsi3,@function
__modsi3:
    move.l  %d2,-(%sp)
    move.l  8(%sp),%d0
    move.l  12(%sp),%d1
    move.l  %d0,%d2
    bsr.s   udivmod_magnitudes
    move.l  %d1,%d0
    tst.l   %d2
    bpl.s   1f
    neg.l   %d0
1:
    move.l  (%sp)+,%d2
    rts
    .size   __modsi3,.-__modsi3

    .section .note.GNU-stack,"",@progbits
