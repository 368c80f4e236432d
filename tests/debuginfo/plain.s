| A program without C functions: its --json has no backtrace.
    .section .vectors,"a"
    .long   0x80000
    .long   _start

    .section .text.start,"ax"
    .globl  _start
_start:
    moveq   #7,%d0
    .globl  done
done:
    bra.s   done

    .section .note.GNU-stack,"",@progbits
