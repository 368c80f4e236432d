| The two conditions that stop a run instead of being taken: a set trace bit and an address
| error. The test puts a scenario number in D0 after reset; the program stores, at 0x8000,
| the address of the instruction at which the run must stop, then runs into it. A run that
| does not stop reaches the branch to itself at the end and stores 0xbad there instead.

    .text
    .long   0x10000
    .long   start
    .org    0x1000
start:
    lea     0x8000,%a5
    lea     data,%a0
    movea.l %d0,%a1
    adda.l  %a1,%a1
    move.w  scenarios(%pc,%a1.l),%d1
    jmp     scenarios(%pc,%d1.w)
scenarios:
    .word   trace_ori-scenarios, trace_rte-scenarios, trace_move-scenarios
    .word   odd_read-scenarios, odd_write-scenarios, odd_frame-scenarios
    .word   odd_jump-scenarios, odd_user_stack-scenarios

trace_ori:
    move.l  #stop0,(%a5)
    ori.w   #0x8000,%sr
stop0:
    bra     failed

trace_rte:
    move.l  #stop1,(%a5)
    pea     stop1
    move.w  #0xa700,-(%sp)
    rte
stop1:
    bra     failed

trace_move:
    move.l  #stop2,(%a5)
    move.w  #0x8000,%sr             | user state and trace together
stop2:
    bra     failed

odd_read:
    move.l  #stop3,(%a5)
    addq.l  #1,%a0
stop3:
    move.w  (%a0),%d2
    bra     failed

odd_write:
    move.l  #stop4,(%a5)
    move.l  #0x12345678,(%a0)+
    addq.l  #1,%a0
stop4:
    move.l  %d0,(%a0)+
    bra     failed

odd_frame:
    move.l  #stop5,(%a5)
    lea     0x9001,%sp
stop5:
    trap    #0
    bra     failed

odd_jump:
    move.l  #0x1001,(%a5)
    jmp     0x1001

odd_user_stack:
    move.l  #stop7,(%a5)
    lea     0x7001,%a1
    move.l  %a1,%usp
    andi.w  #0xdfff,%sr             | user state
stop7:
    move.w  %d0,-(%sp)
    bra     failed

failed:
    move.l  #0xbad,(%a5)
done:
    bra.s   done

    .even
data:
    .long   0, 0
