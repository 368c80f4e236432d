| An executable of three loadable segments apart from each other, the last holding
| uninitialised data after its initialised data: what an executable's image must carry
| before any machine sees it. Built with its line table.
    .section .vectors, "a"
    .long   0x8000
    .long   start

    .text
    .globl  start
start:
    lea     data,%a0
    move.l  (%a0),%d0
    move.l  %d0,buffer
    bra.s   start

    .data
data:
    .long   0x11223344
    .ascii  "initialisées"
    .even

    .bss
buffer:
    .space  0x300
buffer_end:
