| Start-up of a C program: the exception vectors at address 0, then clear the uninitialised
| data, call main and stop on a branch to itself at done, with main's value in D0.
| `zendra-run --until done` ends its run there; in the window, a breakpoint on done does.
| An exception that the program does not handle (a division by zero, an illegal instruction,
| a TRAP) stores the address that it stacked in exception_pc and stops at done with -1 in D0.

    .section .vectors,"a"
    .long   __stack_top             | supervisor stack, from the linker script
    .long   _start
    .rept   254
    .long   unexpected
    .endr

    .section .text.start,"ax"
    .globl  _start
_start:
    lea     __bss_start,%a0
    lea     __bss_end,%a1
    bra.s   2f
1:
    clr.b   (%a0)+
2:
    cmpa.l  %a1,%a0
    bcs.s   1b
    jsr     main
    .globl  done
done:
    bra.s   done

unexpected:
    move.l  2(%sp),exception_pc     | the stacked PC, above the stacked SR
    moveq   #-1,%d0
    bra.s   done

    .bss
    .align  2
    .globl  exception_pc
exception_pc:
    .skip   4

    .section .note.GNU-stack,"",@progbits
