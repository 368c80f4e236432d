| Segments of every shape for the ELF loader: code, data followed by zeros that the file
| does not hold (its memory size past its file size), a segment of zeros only, and one at
| an odd address with an odd length. Loaded over memory that is not zero, each byte must
| come from the file or be zero, and nothing past a segment may change.
    .section .vectors, "a"
    .long   0x8000
    .long   start

    .text
    .globl  start
start:
    lea     table,%a0
    move.l  (%a0)+,%d0
    add.l   (%a0),%d0
    move.l  %d0,total
done:
    bra.s   done

    .data
table:
    .long   0x11223344, 0x55667788
message:
    .ascii  "segments"

    .bss
total:
    .space  4
scratch:
    .space  0x23

    .section .zeros, "aw", @nobits
zeros:
    .space  0x101

    .section .odd, "aw"
odd:
    .byte   0x81, 0x82, 0x83, 0x84, 0x85
