| Lights the top-left and the bottom-right pixel of the screen, tries to write the keyboard
| area (which a program cannot), then stops on the ILLEGAL breakpoint.
    .text
    .long   0x00010000
    .long   start
    .org    0x1000
start:
    move.b  #0x80,0xFFB500
    move.b  #0x01,0xFFFFFF
    move.b  #0x12,0x420
    move.w  #0x3456,0x400
    illegal
