| Logical instructions, shifts, rotates and single-bit instructions, with a population count,
| a bit reversal and a bit-set sieve built from them. Results are stored as longs from
| 0x8000 up (A5); the program ends on a branch to itself.

    .macro  CCR
    move.w  %sr,%d7
    andi.l  #0x1f,%d7
    move.l  %d7,(%a5)+
    .endm

    .macro  SAVE    value
    move.l  \value,(%a5)+
    .endm

    .text
    .long   0x10000
    .long   start
    .org    0x1000
start:
    lea     0x8000,%a5

| AND, OR, EOR, NOT and their immediate forms
    move.l  #0xf0f0f0f0,%d0
    and.l   #0x0ff00ff0,%d0         | 0x00f000f0
    SAVE    %d0
    move.w  #0x1234,%d1
    or.w    %d0,%d1                 | 0x12f4 in the low word
    CCR
    SAVE    %d1
    moveq   #-1,%d2
    eor.b   %d2,%d1                 | low byte 0x0b
    SAVE    %d1
    not.w   %d1
    CCR
    SAVE    %d1
    lea     cells,%a0
    move.l  #0x55aa55aa,(%a0)
    andi.b  #0x0f,(%a0)             | 0x05
    ori.w   #0x8001,2(%a0)          | 0xd5ab
    eori.l  #0xffffffff,4(%a0)      | 0xffffffff
    SAVE    (%a0)
    SAVE    4(%a0)
    moveq   #0,%d3
    move.w  #0x00ff,%d4
    and.w   %d3,%d4
    CCR

| Shifts and rotates, register and memory forms
    move.l  #0x81,%d0
    lsl.b   #1,%d0                  | 0x02, X C
    CCR
    SAVE    %d0
    move.w  #0x8000,%d1
    moveq   #20,%d2
    asr.w   %d2,%d1                 | 0xffff, X N C
    CCR
    SAVE    %d1
    move.l  #0x80000000,%d3
    moveq   #32,%d2
    lsr.l   %d2,%d3                 | 0, X Z C
    CCR
    SAVE    %d3
    move.l  #0x40000000,%d3
    asl.l   #1,%d3                  | 0x80000000 and V stays clear
    CCR
    move.l  #0x12345678,%d4
    ror.l   #8,%d4                  | 0x78123456
    SAVE    %d4
    rol.w   #4,%d4                  | 0x78124563
    SAVE    %d4
    move.w  #0x10,%ccr
    moveq   #0,%d5
    roxr.l  #1,%d5                  | 0x80000000, X clear
    CCR
    SAVE    %d5
    moveq   #64,%d2
    move.w  #0x10,%ccr
    roxl.w  %d2,%d5                 | a count of 0: C = X
    CCR
    lea     cells,%a0
    move.w  #0x8001,(%a0)
    asr.w   (%a0)                   | 0xc000
    lsl.w   (%a0)                   | 0x8000
    roxl.w  (%a0)                   | 0x0000 + X, X = 1
    roxr.w  (%a0)
    ror.w   (%a0)
    CCR
    moveq   #0,%d0
    move.w  (%a0),%d0
    SAVE    %d0

| Population count of 0xdeadbeef through LSR and ADDX
    move.l  #0xdeadbeef,%d0
    moveq   #0,%d1
    moveq   #0,%d2
    moveq   #31,%d3
count:
    lsr.l   #1,%d0
    addx.l  %d2,%d1
    dbra    %d3,count
    SAVE    %d1                     | 24

| Bit reversal of 0x12345678 through LSR and ROXL
    move.l  #0x12345678,%d0
    moveq   #0,%d1
    moveq   #31,%d3
reverse:
    lsr.l   #1,%d0
    roxl.l  #1,%d1
    dbra    %d3,reverse
    SAVE    %d1                     | 0x1e6a2c48

| Sieve of Eratosthenes below 256 in a bit map, with BSET, BTST and BCLR
    lea     sieve,%a0
    moveq   #7,%d0
clear_map:
    clr.l   (%a0)+
    dbra    %d0,clear_map
    lea     sieve,%a0
    moveq   #2,%d1                  | candidate
next_candidate:
    move.w  %d1,%d2
    lsr.w   #3,%d2
    btst    %d1,0(%a0,%d2.w)
    bne.s   composite
    move.w  %d1,%d3
    add.w   %d1,%d3                 | first multiple
mark:
    cmpi.w  #256,%d3
    bcc.s   composite
    move.w  %d3,%d2
    lsr.w   #3,%d2
    bset    %d3,0(%a0,%d2.w)
    add.w   %d1,%d3
    bra.s   mark
composite:
    addq.w  #1,%d1
    cmpi.w  #256,%d1
    bcs.s   next_candidate
    moveq   #0,%d4                  | count the primes: bits still clear from 2 up
    moveq   #2,%d1
tally:
    move.w  %d1,%d2
    lsr.w   #3,%d2
    btst    %d1,0(%a0,%d2.w)
    bne.s   not_prime
    addq.w  #1,%d4
not_prime:
    addq.w  #1,%d1
    cmpi.w  #256,%d1
    bcs.s   tally
    SAVE    %d4                     | 54
    bchg    #0,1(%a0)               | 8 is composite: its bit goes from 1 to 0
    CCR
    bclr    #3,%d4
    SAVE    %d4
    move.l  #0x80000000,%d5
    btst    #31,%d5
    CCR
    bset    %d4,%d5                 | bit 54 mod 32 = 22
    SAVE    %d5
    tas     cells+8
    CCR
    tas     cells+8
    CCR
    SAVE    cells+8

    SAVE    #0x600dc0de
done:
    bra.s   done

    .even
cells:
    .long   0, 0, 0
sieve:
    .space  32
