| A program with the kinds of symbols that a user's program has: labels of code, a sized
| object, constants, names that are also register names, and two names that differ only
| in case. Built with its line table.
    .equ    SCREEN, 0xFFB500
    .equ    COUNT, 3

    .section .vectors, "a"
    .long   0x8000
    .long   start

    .text
    .globl  start
start:
    lea     table+4,%a0
    move.w  counter,%d1
    moveq   #COUNT-1,%d2
loop:
    bsr     draw_line
    addq.w  #1,counter
    dbra    %d2,loop
    move.l  #SCREEN,%a1
    lea     message(%pc),%a2
    move.w  %d1,table+6
    clr.w   (buffer).w
    bra.s   done

    .type   draw_line, @function
draw_line:
    move.b  #0xFF,(%a1)+
    add.w   (%a0),%d1
    rts
    .size   draw_line, .-draw_line

done:
    bra.s   done

d0:
    .word   0x1111
c:
    .word   0x2222
buffer:
    .word   0
Buffer:
    .word   0
message:
    .ascii  "symboles"
    .even
    .type   table, @object
table:
    .word   10, 20, 30, 40, 50
    .size   table, .-table
counter:
    .word   0
| A sized object with a sized one nested in it, then a word that no symbol names: the
| byte just past an object is no longer in it.
    .type   pair, @object
pair:
    .word   0x1234
    .type   pair_second, @object
pair_second:
    .word   0x5678
    .size   pair_second, .-pair_second
    .word   0x9ABC
    .size   pair, .-pair
    .word   0xDEF0
