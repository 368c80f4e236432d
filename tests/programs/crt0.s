| Start-up of the compiled test programs: clear the uninitialised data, call
| program(0x20000), store the number of bytes it wrote at 0x1fffc and stop on a branch to
| itself. An exception that nobody expects stores 0xffffffff there and stops as well.

    .section .vectors,"a"
    .long   0x00080000              | supervisor stack
    .long   _start
    .rept   62
    .long   unexpected
    .endr

    .section .text.start,"ax"
    .globl  _start
_start:
    lea     __bss_start,%a0
    lea     __bss_end,%a1
1:
    cmpa.l  %a1,%a0
    bcc.s   2f
    clr.b   (%a0)+
    bra.s   1b
2:
    pea     0x20000
    jsr     program
    addq.l  #4,%sp
    move.l  %d0,0x1fffc
done:
    bra.s   done

unexpected:
    move.l  #-1,0x1fffc
    bra.s   done

    .section .note.GNU-stack,"",@progbits
