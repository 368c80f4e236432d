| Ardoise: a slate to draw on with the arrow keys and to write on with the keyboard, for
| the 68000 of Zendra. Open demo.hex, show the video window (F4), run (F9), then click on
| the video window and type.
|
| The screen is 480 x 320 pixels, one bit per pixel, at 0xFFB500-0xFFFFFF: 60 bytes per
| row, rows top to bottom, bit 7 of a byte is its leftmost pixel, a set bit is white.
| The keyboard area at 0x400-0x4FF is written by the video window and only read here:
| 0x404 is the code of the last key pressed, 0x402 the UTF-16 character it typed, 0x406
| is 0xFF while Shift is held, and the byte at 0x400 + code is 0xFF while that key is held.
|
| Keys: the arrows draw; with Shift held they move the pen without drawing; the other
| keys type at the pen (Return goes to the next line, Backspace erases); Delete clears
| the slate, Insert draws the pattern again, Page Up and Page Down change the speed.
|
| Rebuild demo.hex with ./build-demo after changing this file.

    .equ    SCREEN, 0xffb500
    .equ    ROW_BYTES, 60
    .equ    SCREEN_LONGS, 60 * 320 / 4

    .equ    KEY_CHAR, 0x402             | word: character typed by the last key pressed
    .equ    KEY_LAST, 0x404             | byte: code of the last key pressed
    .equ    KEY_SHIFT, 0x406            | byte: 0xFF while Shift is held
    .equ    KEY_HELD, 0x400             | byte KEY_HELD + code: 0xFF while that key is held

    .equ    K_BACKSPACE, 0x64
    .equ    K_RETURN, 0x65
    .equ    K_ENTER, 0x66
    .equ    K_INSERT, 0x67
    .equ    K_DELETE, 0x68
    .equ    K_LEFT, 0x6f
    .equ    K_UP, 0x70
    .equ    K_RIGHT, 0x71
    .equ    K_DOWN, 0x72
    .equ    K_PAGE_UP, 0x73
    .equ    K_PAGE_DOWN, 0x74

| Screen layout: a title band, the slate in a frame, two lines of help and status.
    .equ    TITLE_ROWS, 12
    .equ    FRAME_TOP, 12
    .equ    FRAME_BOTTOM, 299
    .equ    LEFT_X, 1                   | the slate's inside, where the pen may go
    .equ    RIGHT_X, 478
    .equ    TOP_Y, 13
    .equ    BOTTOM_Y, 298
    .equ    HELP_ROW, 302
    .equ    STATUS_ROW, 311

    .equ    LINE_HEIGHT, 10             | Return moves the pen down by one text line
    .equ    BLINK, 24                   | main loop turns between two cursor blinks

| ---------------------------------------------------------------------------------------
| Exception vectors. TRAP #0 is the text service; every error shows its name and stops.

    .section .vectors,"a"
    .long   0x20000                     | 0: supervisor stack
    .long   start                       | 1: reset
    .long   unexpected                  | 2: bus error
    .long   unexpected                  | 3: address error
    .long   illegal_instruction         | 4
    .long   zero_divide                 | 5
    .long   chk_failed                  | 6
    .long   trapv_overflow              | 7
    .long   privilege_violation         | 8
    .long   unexpected                  | 9: trace
    .long   illegal_instruction         | 10: line 1010
    .long   illegal_instruction         | 11: line 1111
    .rept   20                          | 12-31: reserved, spurious, interrupts
    .long   unexpected
    .endr
    .long   text_service                | 32: TRAP #0
    .rept   15                          | 33-47: TRAP #1-#15
    .long   unknown_trap
    .endr
    .rept   208                         | 48-255: reserved and user vectors
    .long   unexpected
    .endr

| ---------------------------------------------------------------------------------------
    .text

    .globl  start
start:
    move.w  #0x2700,%sr
    bsr     init_variables
    bsr     clear_screen
    bsr     draw_title
    bsr     draw_frame
    bsr     draw_help
    bsr     draw_pattern
    bsr     draw_welcome
    bsr     show_cursor
main_loop:
    bsr     poll_keys
    bsr     move_pen
    bsr     blink_cursor
    bsr     show_status
    bsr     pause
    bra.s   main_loop

| The variables are not part of the loaded file: reset them all, so that a reset of the
| processor starts the program afresh.
init_variables:
    move.w  #16,pen_x
    move.w  #104,pen_y
    move.w  #16,line_x
    move.w  #5,speed
    move.w  #-1,shown_x
    clr.b   seen_key
    clr.b   cursor_on
    move.w  #BLINK,blink_count
    rts

| ---------------------------------------------------------------------------------------
| Keyboard

| A key press is handled once: when the last key pressed is held and is not the key
| handled before. Letting the key go makes the next press of it count again.
poll_keys:
    moveq   #0,%d0
    move.b  KEY_LAST,%d0
    beq.s   1f
    lea     KEY_HELD,%a0
    tst.b   0(%a0,%d0.w)
    beq.s   2f
    cmp.b   seen_key,%d0
    beq.s   1f
    move.b  %d0,seen_key
    bra     key_pressed
2:
    clr.b   seen_key
1:
    rts

| d0 = code of a key just pressed: the action of the key table, else the key's character.
key_pressed:
    lea     key_actions,%a0
1:
    move.w  (%a0)+,%d1
    beq.s   2f
    movea.l (%a0)+,%a1
    cmp.w   %d1,%d0
    bne.s   1b
    jmp     (%a1)
2:
    move.w  KEY_CHAR,%d2
    cmpi.w  #0x20,%d2                   | keys that type no character do nothing
    blo.s   no_action
    bsr     to_glyph
    bra     type_char
no_action:
    rts

faster:
    cmpi.w  #9,speed
    beq.s   1f
    addq.w  #1,speed
1:
    rts

slower:
    cmpi.w  #1,speed
    beq.s   1f
    subq.w  #1,speed
1:
    rts

| Moves the pen one pixel for each arrow held, drawing unless Shift is held.
move_pen:
    moveq   #0,%d0                      | (d0, d1): the step
    moveq   #0,%d1
    lea     arrow_steps,%a0
    lea     KEY_HELD,%a1
    moveq   #3,%d3
1:
    moveq   #0,%d2
    move.b  (%a0)+,%d2
    tst.b   0(%a1,%d2.w)
    beq.s   2f
    move.b  (%a0),%d2
    ext.w   %d2
    add.w   %d2,%d0
    move.b  1(%a0),%d2
    ext.w   %d2
    add.w   %d2,%d1
2:
    addq.l  #2,%a0
    dbra    %d3,1b
    move.w  %d0,%d2
    or.w    %d1,%d2
    beq.s   9f
    bsr     hide_cursor
    add.w   pen_x,%d0
    add.w   pen_y,%d1
    bsr     clamp_to_slate
    tst.b   KEY_SHIFT
    bne.s   5f
    movem.w %d0-%d1,-(%sp)
    move.w  pen_x,%d0                   | the line joins the old place to the new one
    move.w  pen_y,%d1
    bsr     plot
    movem.w (%sp)+,%d0-%d1
    bsr     plot
5:
    move.w  %d0,pen_x
    move.w  %d1,pen_y
    move.w  %d0,line_x                  | text typed from here lines up under it
    bsr     show_cursor
9:
    rts

| Keeps (d0, d1) inside the slate.
clamp_to_slate:
    movem.l %d2-%d3,-(%sp)
    moveq   #LEFT_X,%d2
    move.w  #RIGHT_X,%d3
    bsr.s   clamp
    exg     %d0,%d1
    moveq   #TOP_Y,%d2
    move.w  #BOTTOM_Y,%d3
    bsr.s   clamp
    exg     %d0,%d1
    movem.l (%sp)+,%d2-%d3
    rts

| Keeps d0 within d2 to d3.
clamp:
    cmp.w   %d2,%d0
    bge.s   1f
    move.w  %d2,%d0
1:
    cmp.w   %d3,%d0
    ble.s   2f
    move.w  %d3,%d0
2:
    rts

| ---------------------------------------------------------------------------------------
| Typing at the pen: the pen is the bottom-left corner of the character's 8 x 8 cell.

| d2 = glyph code (0x20-0x5F): draws it at the pen and moves the pen one cell right.
type_char:
    bsr     hide_cursor
    bsr     stamp_glyph
    move.w  pen_x,%d0
    addq.w  #8,%d0
    move.w  pen_y,%d1
    bsr     clamp_to_slate
    move.w  %d0,pen_x
    bra     show_cursor

backspace:
    bsr     hide_cursor
    move.w  pen_x,%d0
    subq.w  #8,%d0
    move.w  pen_y,%d1
    bsr     clamp_to_slate
    move.w  %d0,pen_x
    moveq   #' ',%d2
    bsr     stamp_glyph
    bra     show_cursor

new_line:
    bsr     hide_cursor
    move.w  line_x,%d0
    move.w  pen_y,%d1
    addi.w  #LINE_HEIGHT,%d1
    bsr     clamp_to_slate
    move.w  %d0,pen_x
    move.w  %d1,pen_y
    bra     show_cursor

| Copies glyph d2 into the cell at the pen, pixel by pixel (the pen need not sit on a
| byte boundary), clipped to the slate.
stamp_glyph:
    movem.l %d0-%d5/%a1,-(%sp)
    lea     font,%a1
    subi.w  #0x20,%d2
    lsl.w   #3,%d2
    adda.w  %d2,%a1
    move.w  pen_y,%d1
    subq.w  #6,%d1                      | glyph rows 0-6 end on the pen's row
    moveq   #7,%d5
1:
    move.b  (%a1)+,%d4
    move.w  pen_x,%d0
    moveq   #7,%d3
2:
    lsl.b   #1,%d4                      | the leftmost pixel goes out into C
    bcc.s   3f
    bsr     plot
    bra.s   4f
3:
    bsr     unplot
4:
    addq.w  #1,%d0
    dbra    %d3,2b
    addq.w  #1,%d1
    dbra    %d5,1b
    movem.l (%sp)+,%d0-%d5/%a1
    rts

| d2 = UTF-16 character: the glyph that shows it. Lower case is shown as upper case,
| accented letters as their base letter, anything else the font lacks as '?'. Only d2
| changes.
to_glyph:
    cmpi.w  #0x60,%d2
    blo.s   9f
    cmpi.w  #'a',%d2
    blo.s   8f
    cmpi.w  #'z',%d2
    bhi.s   1f
    subi.w  #0x20,%d2
    rts
1:
    cmpi.w  #0xff,%d2
    bhi.s   8f
    movem.l %d0/%a0,-(%sp)
    lea     accents,%a0
2:
    move.b  (%a0)+,%d0
    beq.s   7f
    cmp.b   %d0,%d2
    beq.s   3f
    addq.l  #1,%a0
    bra.s   2b
3:
    moveq   #0,%d2
    move.b  (%a0),%d2
    movem.l (%sp)+,%d0/%a0
    rts
7:
    movem.l (%sp)+,%d0/%a0
8:
    moveq   #'?',%d2
9:
    rts

| ---------------------------------------------------------------------------------------
| Pixels. Outside the slate nothing is drawn, so no drawing can spoil the frame or text.

| (d0, d1) = (x, y): a0 = address of its byte, d2 = its bit number; C set when the pixel
| lies outside the slate.
pixel_at:
    cmpi.w  #LEFT_X,%d0
    blt.s   1f
    cmpi.w  #RIGHT_X,%d0
    bgt.s   1f
    cmpi.w  #TOP_Y,%d1
    blt.s   1f
    cmpi.w  #BOTTOM_Y,%d1
    bgt.s   1f
    move.w  %d1,%d2
    mulu.w  #ROW_BYTES,%d2
    lea     SCREEN,%a0
    adda.l  %d2,%a0
    move.w  %d0,%d2
    lsr.w   #3,%d2
    adda.w  %d2,%a0
    move.w  %d0,%d2
    not.w   %d2
    andi.w  #7,%d2                      | bit 7 - x mod 8; AND clears C
    rts
1:
    ori.b   #1,%ccr
    rts

| Set, clear or invert the pixel (d0, d1) when it lies on the slate.
plot:
    movem.l %d2-%d3/%a0,-(%sp)
    moveq   #1,%d3
    bra.s   change_pixel
unplot:
    movem.l %d2-%d3/%a0,-(%sp)
    moveq   #0,%d3
    bra.s   change_pixel
flip:
    movem.l %d2-%d3/%a0,-(%sp)
    moveq   #-1,%d3
change_pixel:                           | d3: 1 set, 0 clear, -1 invert
    bsr     pixel_at
    bcs.s   3f
    tst.b   %d3
    bmi.s   2f
    beq.s   1f
    bset    %d2,(%a0)
    bra.s   3f
1:
    bclr    %d2,(%a0)
    bra.s   3f
2:
    bchg    %d2,(%a0)
3:
    movem.l (%sp)+,%d2-%d3/%a0
    rts

| A line from (d0, d1) to (d2, d3), by Bresenham's method: a2 holds the error term.
draw_line:
    movem.l %d0-%d7/%a2-%a3,-(%sp)
    move.w  %d2,%d4
    sub.w   %d0,%d4                     | d4 = |dx|, d6 = x step
    moveq   #1,%d6
    tst.w   %d4
    bpl.s   1f
    neg.w   %d4
    moveq   #-1,%d6
1:
    move.w  %d3,%d5
    sub.w   %d1,%d5                     | d5 = -|dy|, d7 = y step
    moveq   #1,%d7
    tst.w   %d5
    bpl.s   2f
    neg.w   %d5
    moveq   #-1,%d7
2:
    neg.w   %d5
    movea.w %d4,%a2
    adda.w  %d5,%a2
3:
    bsr     plot
    cmp.w   %d2,%d0
    bne.s   4f
    cmp.w   %d3,%d1
    beq.s   6f
4:
    movea.l %a2,%a3
    adda.l  %a3,%a3                     | twice the error
    cmpa.w  %d5,%a3
    blt.s   5f
    adda.w  %d5,%a2
    add.w   %d6,%d0
5:
    cmpa.w  %d4,%a3
    bgt.s   3b
    adda.w  %d4,%a2
    add.w   %d7,%d1
    bra.s   3b
6:
    movem.l (%sp)+,%d0-%d7/%a2-%a3
    rts

| ---------------------------------------------------------------------------------------
| The cursor: a cross around the pen, drawn by inverting pixels so that drawing it twice
| leaves the slate as it was. It blinks while the pen rests and stays while it moves.

cursor_cross:
    movem.l %d0-%d2/%a1,-(%sp)
    lea     cross_pixels,%a1
    moveq   #7,%d2
1:
    move.b  (%a1)+,%d0
    ext.w   %d0
    add.w   pen_x,%d0
    move.b  (%a1)+,%d1
    ext.w   %d1
    add.w   pen_y,%d1
    bsr     flip
    dbra    %d2,1b
    movem.l (%sp)+,%d0-%d2/%a1
    rts

hide_cursor:
    tst.b   cursor_on
    beq.s   1f
    bsr     cursor_cross
    clr.b   cursor_on
1:
    rts

show_cursor:
    bsr     hide_cursor
    bsr     cursor_cross
    st      cursor_on
    move.w  #BLINK,blink_count
    rts

blink_cursor:
    subq.w  #1,blink_count
    bne.s   1f
    move.w  #BLINK,blink_count
    bsr     cursor_cross
    not.b   cursor_on
1:
    rts

| ---------------------------------------------------------------------------------------
| Screen furniture

clear_screen:
    lea     SCREEN,%a0
    move.w  #SCREEN_LONGS - 1,%d0
1:
    clr.l   (%a0)+
    dbra    %d0,1b
    rts

| Fills rows d0 to d0 + d1 - 1 with the byte pattern in d2.
fill_rows:
    lea     SCREEN,%a0
    mulu.w  #ROW_BYTES,%d0
    adda.l  %d0,%a0
    mulu.w  #ROW_BYTES,%d1
    subq.w  #1,%d1
1:
    move.b  %d2,(%a0)+
    dbra    %d1,1b
    rts

draw_title:
    moveq   #0,%d0
    moveq   #TITLE_ROWS,%d1
    moveq   #-1,%d2
    bsr     fill_rows
    lea     title_text,%a0
    moveq   #18,%d0
    moveq   #2,%d1
    moveq   #-1,%d3                     | dark letters on the white band
    trap    #0
    rts

draw_frame:
    move.w  #FRAME_TOP,%d0
    moveq   #1,%d1
    moveq   #-1,%d2
    bsr     fill_rows
    move.w  #FRAME_BOTTOM,%d0
    moveq   #1,%d1
    bsr     fill_rows
    lea     SCREEN + (FRAME_TOP + 1) * ROW_BYTES,%a0
    move.w  #FRAME_BOTTOM - FRAME_TOP - 2,%d0
1:
    bset    #7,(%a0)
    bset    #0,ROW_BYTES - 1(%a0)
    lea     ROW_BYTES(%a0),%a0
    dbra    %d0,1b
    rts

draw_help:
    lea     help_text,%a0
    moveq   #0,%d0
    move.w  #HELP_ROW,%d1
    moveq   #0,%d3
    trap    #0
    rts

draw_welcome:
    lea     welcome_text,%a0
    moveq   #2,%d0
    moveq   #24,%d1
    moveq   #0,%d3
1:
    trap    #0
    addi.w  #12,%d1
2:
    tst.b   (%a0)+                      | on to the next line of the list
    bne.s   2b
    tst.b   (%a0)
    bne.s   1b
    rts

clear_slate:
    bsr     hide_cursor
    lea     SCREEN + TOP_Y * ROW_BYTES,%a0
    move.w  #(BOTTOM_Y - TOP_Y + 1) * ROW_BYTES / 4 - 1,%d0
1:
    clr.l   (%a0)+
    dbra    %d0,1b
    bsr     draw_frame
    bra     show_cursor

pattern_again:
    bsr     hide_cursor
    bsr     draw_pattern
    bra     show_cursor

| String art: four fans of lines between the sides of a square, whose envelopes make a
| four-pointed star.
    .equ    P_LEFT, 228
    .equ    P_TOP, 30
    .equ    P_SIZE, 240
    .equ    P_STEP, 15
draw_pattern:
    moveq   #0,%d4                      | d4 = offset along the sides
1:
    move.w  #P_LEFT,%d0                 | left side to bottom side
    move.w  #P_TOP,%d1
    add.w   %d4,%d1
    move.w  #P_LEFT,%d2
    add.w   %d4,%d2
    move.w  #P_TOP + P_SIZE,%d3
    bsr     draw_line
    move.w  #P_LEFT + P_SIZE,%d0        | right side to top side
    move.w  #P_TOP + P_SIZE,%d1
    sub.w   %d4,%d1
    move.w  #P_LEFT + P_SIZE,%d2
    sub.w   %d4,%d2
    move.w  #P_TOP,%d3
    bsr     draw_line
    move.w  #P_LEFT,%d0                 | left side to top side
    move.w  #P_TOP + P_SIZE,%d1
    sub.w   %d4,%d1
    move.w  #P_LEFT,%d2
    add.w   %d4,%d2
    move.w  #P_TOP,%d3
    bsr     draw_line
    move.w  #P_LEFT + P_SIZE,%d0        | right side to bottom side
    move.w  #P_TOP,%d1
    add.w   %d4,%d1
    move.w  #P_LEFT + P_SIZE,%d2
    sub.w   %d4,%d2
    move.w  #P_TOP + P_SIZE,%d3
    bsr     draw_line
    addi.w  #P_STEP,%d4
    cmpi.w  #P_SIZE,%d4
    bls.s   1b
    rts

| The status line: the pen's place on the slate and the speed, redrawn when they change.
show_status:
    move.w  pen_x,%d0
    cmp.w   shown_x,%d0
    bne.s   1f
    move.w  pen_y,%d0
    cmp.w   shown_y,%d0
    bne.s   1f
    move.w  speed,%d0
    cmp.w   shown_speed,%d0
    bne.s   1f
    rts
1:
    move.w  pen_x,shown_x
    move.w  pen_y,shown_y
    move.w  speed,shown_speed
    lea     status_template,%a0
    lea     status_text,%a1
2:
    move.b  (%a0)+,(%a1)+
    bne.s   2b
    lea     status_text + 2,%a1
    move.w  pen_x,%d0
    subq.w  #LEFT_X,%d0
    bsr     decimal3
    lea     status_text + 8,%a1
    move.w  pen_y,%d0
    subi.w  #TOP_Y,%d0
    bsr     decimal3
    move.w  speed,%d0
    addi.b  #'0',%d0
    move.b  %d0,status_text + 21
    lea     status_text,%a0
    moveq   #0,%d0
    move.w  #STATUS_ROW,%d1
    moveq   #0,%d3
    trap    #0
    rts

| Writes d0 (0-999) as three decimal digits at a1.
decimal3:
    andi.l  #0xffff,%d0
    divu.w  #100,%d0
    addi.b  #'0',%d0
    move.b  %d0,(%a1)+
    clr.w   %d0
    swap    %d0                         | the remainder
    divu.w  #10,%d0
    addi.b  #'0',%d0
    move.b  %d0,(%a1)+
    swap    %d0
    addi.b  #'0',%d0
    move.b  %d0,(%a1)+
    rts

| Waits so that a held arrow draws at a steady pace; the higher the speed, the shorter.
| The machine has no clock: the pace is that of the simulator, slower in a recorded run
| ("Exécuter") than in a quick one.
pause:
    move.w  speed,%d0
    add.w   %d0,%d0
    add.w   %d0,%d0
    lea     pauses - 4,%a0
    move.l  0(%a0,%d0.w),%d0
    beq.s   2f
1:
    subq.l  #1,%d0
    bne.s   1b
2:
    rts

| ---------------------------------------------------------------------------------------
| Text service, TRAP #0: draws the string at a0, ended by a zero byte, from column d0
| (0-59, of 8 pixels) on pixel rows d1 to d1 + 7; d3 = 0 for white letters on black,
| 0xFF for black letters on white. All registers are kept.

text_service:
    movem.l %d0-%d4/%a0-%a3,-(%sp)
    move.w  %d1,%d4
    mulu.w  #ROW_BYTES,%d4
    lea     SCREEN,%a2
    adda.l  %d4,%a2
    adda.w  %d0,%a2                     | a2 = top byte of the next character's cell
1:
    cmpi.w  #ROW_BYTES,%d0
    bhs.s   3f
    moveq   #0,%d2
    move.b  (%a0)+,%d2
    beq.s   3f
    bsr     to_glyph
    lea     font,%a1
    subi.w  #0x20,%d2
    lsl.w   #3,%d2
    adda.w  %d2,%a1
    movea.l %a2,%a3
    moveq   #7,%d4
2:
    move.b  (%a1)+,%d2
    eor.b   %d3,%d2
    move.b  %d2,(%a3)
    lea     ROW_BYTES(%a3),%a3
    dbra    %d4,2b
    addq.w  #1,%d0
    addq.l  #1,%a2
    bra.s   1b
3:
    movem.l (%sp)+,%d0-%d4/%a0-%a3
    rte

| ---------------------------------------------------------------------------------------
| Errors: the band at the top names the exception and the address it came from, and the
| program stops there.

illegal_instruction:
    lea     illegal_text,%a0
    bra.s   fault
zero_divide:
    lea     zero_divide_text,%a0
    bra.s   fault
chk_failed:
    lea     chk_text,%a0
    bra.s   fault
trapv_overflow:
    lea     trapv_text,%a0
    bra.s   fault
privilege_violation:
    lea     privilege_text,%a0
    bra.s   fault
unknown_trap:
    lea     trap_text,%a0
    bra.s   fault
unexpected:
    lea     unexpected_text,%a0
fault:
    move.l  2(%sp),%d5                  | the program counter of the exception frame
    move.l  %a0,-(%sp)
    moveq   #0,%d0
    moveq   #TITLE_ROWS,%d1
    moveq   #-1,%d2
    bsr     fill_rows
    movea.l (%sp)+,%a0
    moveq   #-1,%d3
    moveq   #1,%d0
    moveq   #2,%d1
    trap    #0
    lea     address_text,%a1            | then "ADRESSE $" and six hexadecimal digits
    lea     status_text,%a0
1:
    move.b  (%a1)+,(%a0)+
    bne.s   1b
    subq.l  #1,%a0
    lsl.l   #8,%d5
    moveq   #5,%d4
2:
    rol.l   #4,%d5
    move.w  %d5,%d2
    andi.w  #0xf,%d2
    move.b  hex_digits(%pc,%d2.w),(%a0)+
    dbra    %d4,2b
    clr.b   (%a0)
    lea     status_text,%a0
    moveq   #44,%d0
    trap    #0
halt:
    bra.s   halt

hex_digits:
    .ascii  "0123456789ABCDEF"

| ---------------------------------------------------------------------------------------
| Constant data

| Main loop pauses (turns of two instructions) for the speeds 1 to 9.
pauses:
    .long   400000, 200000, 100000, 50000, 25000, 12000, 6000, 2000, 0

title_text:
    .asciz  "ZENDRA 68000  -  ARDOISE"
help_text:
    .asciz  "FLECHES:TRACER  MAJ:SANS TRACER  SUPPR:EFFACER  INSER:MOTIF"
welcome_text:
    .asciz  "BIENVENUE SUR L'ARDOISE !"
    .asciz  "DESSINEZ AVEC LES FLECHES,"
    .asciz  "ECRIVEZ AVEC LE CLAVIER."
    .byte   0
status_template:
    .asciz  "X:000 Y:000  VITESSE:0  (PG.HAUT / PG.BAS)"

illegal_text:
    .asciz  "INSTRUCTION ILLEGALE"
zero_divide_text:
    .asciz  "DIVISION PAR ZERO"
chk_text:
    .asciz  "CHK HORS LIMITES"
trapv_text:
    .asciz  "DEPASSEMENT (TRAPV)"
privilege_text:
    .asciz  "VIOLATION DE PRIVILEGE"
trap_text:
    .asciz  "TRAP NON PREVU"
unexpected_text:
    .asciz  "EXCEPTION INATTENDUE"
address_text:
    .asciz  "ADRESSE $"

| Keys with an action of their own: code, routine; a zero code ends the table. The arrows
| act while held, in move_pen, and type nothing.
    .even
key_actions:
    .word   K_BACKSPACE
    .long   backspace
    .word   K_RETURN
    .long   new_line
    .word   K_ENTER
    .long   new_line
    .word   K_DELETE
    .long   clear_slate
    .word   K_INSERT
    .long   pattern_again
    .word   K_PAGE_UP
    .long   faster
    .word   K_PAGE_DOWN
    .long   slower
    .irp    arrow, K_LEFT, K_UP, K_RIGHT, K_DOWN
    .word   \arrow
    .long   no_action
    .endr
    .word   0

| Each arrow's code and its step (x, y).
arrow_steps:
    .byte   K_LEFT,-1,0, K_RIGHT,1,0, K_UP,0,-1, K_DOWN,0,1

| The cursor's eight pixels, (x, y) from the pen: the pen's own pixel and its neighbours
| stay as drawn.
cross_pixels:
    .byte   -3,0, -2,0, 2,0, 3,0, 0,-3, 0,-2, 0,2, 0,3

| Accented Latin-1 letters and the letters the font shows for them, in pairs.
accents:
    .byte   0xe0,'A', 0xe2,'A', 0xe4,'A', 0xe7,'C', 0xe8,'E', 0xe9,'E', 0xea,'E', 0xeb,'E'
    .byte   0xee,'I', 0xef,'I', 0xf4,'O', 0xf6,'O', 0xf9,'U', 0xfb,'U', 0xfc,'U', 0xff,'Y'
    .byte   0xc0,'A', 0xc2,'A', 0xc7,'C', 0xc8,'E', 0xc9,'E', 0xca,'E', 0xcb,'E', 0xce,'I'
    .byte   0xcf,'I', 0xd4,'O', 0xd9,'U', 0xdb,'U', 0xdc,'U'
    .byte   0

| The font: characters 0x20 to 0x5F, 8 bytes each, top row first, bit 7 on the left.
    .even
font:
    .byte   0x00,0x00,0x00,0x00,0x00,0x00,0x00,0x00    | space
    .byte   0x10,0x10,0x10,0x10,0x10,0x00,0x10,0x00    | !
    .byte   0x28,0x28,0x28,0x00,0x00,0x00,0x00,0x00    | quote
    .byte   0x28,0x28,0x7c,0x28,0x7c,0x28,0x28,0x00    | #
    .byte   0x10,0x3c,0x50,0x38,0x14,0x78,0x10,0x00    | $
    .byte   0x60,0x64,0x08,0x10,0x20,0x4c,0x0c,0x00    | %
    .byte   0x30,0x48,0x50,0x20,0x54,0x48,0x34,0x00    | &
    .byte   0x10,0x10,0x20,0x00,0x00,0x00,0x00,0x00    | apostrophe
    .byte   0x08,0x10,0x20,0x20,0x20,0x10,0x08,0x00    | (
    .byte   0x20,0x10,0x08,0x08,0x08,0x10,0x20,0x00    | )
    .byte   0x00,0x10,0x54,0x38,0x54,0x10,0x00,0x00    | *
    .byte   0x00,0x10,0x10,0x7c,0x10,0x10,0x00,0x00    | +
    .byte   0x00,0x00,0x00,0x00,0x30,0x10,0x20,0x00    | ,
    .byte   0x00,0x00,0x00,0x7c,0x00,0x00,0x00,0x00    | -
    .byte   0x00,0x00,0x00,0x00,0x00,0x30,0x30,0x00    | .
    .byte   0x00,0x04,0x08,0x10,0x20,0x40,0x00,0x00    | /
    .byte   0x38,0x44,0x4c,0x54,0x64,0x44,0x38,0x00    | 0
    .byte   0x10,0x30,0x10,0x10,0x10,0x10,0x38,0x00    | 1
    .byte   0x38,0x44,0x04,0x08,0x10,0x20,0x7c,0x00    | 2
    .byte   0x7c,0x08,0x10,0x08,0x04,0x44,0x38,0x00    | 3
    .byte   0x08,0x18,0x28,0x48,0x7c,0x08,0x08,0x00    | 4
    .byte   0x7c,0x40,0x78,0x04,0x04,0x44,0x38,0x00    | 5
    .byte   0x18,0x20,0x40,0x78,0x44,0x44,0x38,0x00    | 6
    .byte   0x7c,0x04,0x08,0x10,0x20,0x20,0x20,0x00    | 7
    .byte   0x38,0x44,0x44,0x38,0x44,0x44,0x38,0x00    | 8
    .byte   0x38,0x44,0x44,0x3c,0x04,0x08,0x30,0x00    | 9
    .byte   0x00,0x30,0x30,0x00,0x30,0x30,0x00,0x00    | :
    .byte   0x00,0x30,0x30,0x00,0x30,0x10,0x20,0x00    | ;
    .byte   0x08,0x10,0x20,0x40,0x20,0x10,0x08,0x00    | <
    .byte   0x00,0x00,0x7c,0x00,0x7c,0x00,0x00,0x00    | =
    .byte   0x20,0x10,0x08,0x04,0x08,0x10,0x20,0x00    | >
    .byte   0x38,0x44,0x04,0x08,0x10,0x00,0x10,0x00    | ?
    .byte   0x38,0x44,0x04,0x34,0x54,0x54,0x38,0x00    | @
    .byte   0x38,0x44,0x44,0x7c,0x44,0x44,0x44,0x00    | A
    .byte   0x78,0x44,0x44,0x78,0x44,0x44,0x78,0x00    | B
    .byte   0x38,0x44,0x40,0x40,0x40,0x44,0x38,0x00    | C
    .byte   0x70,0x48,0x44,0x44,0x44,0x48,0x70,0x00    | D
    .byte   0x7c,0x40,0x40,0x78,0x40,0x40,0x7c,0x00    | E
    .byte   0x7c,0x40,0x40,0x78,0x40,0x40,0x40,0x00    | F
    .byte   0x38,0x44,0x40,0x5c,0x44,0x44,0x3c,0x00    | G
    .byte   0x44,0x44,0x44,0x7c,0x44,0x44,0x44,0x00    | H
    .byte   0x38,0x10,0x10,0x10,0x10,0x10,0x38,0x00    | I
    .byte   0x1c,0x08,0x08,0x08,0x08,0x48,0x30,0x00    | J
    .byte   0x44,0x48,0x50,0x60,0x50,0x48,0x44,0x00    | K
    .byte   0x40,0x40,0x40,0x40,0x40,0x40,0x7c,0x00    | L
    .byte   0x44,0x6c,0x54,0x54,0x44,0x44,0x44,0x00    | M
    .byte   0x44,0x44,0x64,0x54,0x4c,0x44,0x44,0x00    | N
    .byte   0x38,0x44,0x44,0x44,0x44,0x44,0x38,0x00    | O
    .byte   0x78,0x44,0x44,0x78,0x40,0x40,0x40,0x00    | P
    .byte   0x38,0x44,0x44,0x44,0x54,0x48,0x34,0x00    | Q
    .byte   0x78,0x44,0x44,0x78,0x50,0x48,0x44,0x00    | R
    .byte   0x3c,0x40,0x40,0x38,0x04,0x04,0x78,0x00    | S
    .byte   0x7c,0x10,0x10,0x10,0x10,0x10,0x10,0x00    | T
    .byte   0x44,0x44,0x44,0x44,0x44,0x44,0x38,0x00    | U
    .byte   0x44,0x44,0x44,0x44,0x44,0x28,0x10,0x00    | V
    .byte   0x44,0x44,0x44,0x54,0x54,0x54,0x28,0x00    | W
    .byte   0x44,0x44,0x28,0x10,0x28,0x44,0x44,0x00    | X
    .byte   0x44,0x44,0x28,0x10,0x10,0x10,0x10,0x00    | Y
    .byte   0x7c,0x04,0x08,0x10,0x20,0x40,0x7c,0x00    | Z
    .byte   0x38,0x20,0x20,0x20,0x20,0x20,0x38,0x00    | [
    .byte   0x00,0x40,0x20,0x10,0x08,0x04,0x00,0x00    | backslash
    .byte   0x38,0x08,0x08,0x08,0x08,0x08,0x38,0x00    | ]
    .byte   0x10,0x28,0x44,0x00,0x00,0x00,0x00,0x00    | ^
    .byte   0x00,0x00,0x00,0x00,0x00,0x00,0x7c,0x00    | _

| ---------------------------------------------------------------------------------------
| Variables

    .bss
    .even
pen_x:          .skip 2                 | the pen, in screen pixels
pen_y:          .skip 2
line_x:         .skip 2                 | where Return takes the pen back to
speed:          .skip 2                 | 1 to 9
shown_x:        .skip 2                 | what the status line shows
shown_y:        .skip 2
shown_speed:    .skip 2
blink_count:    .skip 2
seen_key:       .skip 1                 | code of the key press last handled
cursor_on:      .skip 1                 | 0xFF while the cursor cross is drawn
status_text:    .skip 64
