| A program that faults at once: its first instruction jumps to an odd address.
    .text
    .long   0x00010000
    .long   start
    .org    0x1000
start:
    jmp     0x1001
