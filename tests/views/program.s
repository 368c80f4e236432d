| A short program for the view tests, placed at 0x1000: instructions of one to five words,
| a loop, a word that is no instruction, an ILLEGAL, and bytes that need escaping in rich text.
        .text
start:
        move.w  #0x1234,%d0             | 1000: 303C 1234
        move.l  #0x12345678,0xFF0000    | 1004: 23FC 12345678 00FF0000
        lea     data,%a0                | 100E: 41FA 0020 (PC-relative)
        moveq   #3,%d1                  | 1012: 7203
loop:
        addq.w  #1,%d0                  | 1014: 5240
        dbra    %d1,loop                | 1016: 51C9 FFFC
        move.b  (%a0)+,%d2              | 101A: 1418
        nop                             | 101C: 4E71
        bsr.s   sub                     | 101E: 6104
        .word   0xFFFF                  | 1020: not an instruction
        illegal                         | 1022: 4AFC
sub:
        rts                             | 1024: 4E75
        .balign 16
data:                                   | 1030
        .byte   0x41, 0x00, 0x3C, 0x26, 0x3E, 0x7F, 0xAD, 0xE9
        .ascii  "Zendra"
