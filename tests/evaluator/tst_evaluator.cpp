// The operand evaluator: for every addressing mode and instruction family, the items it
// gives for the instruction at the program counter, the order of the side effects between
// them, and that it never changes the machine, whatever lies in memory.
#include "core/EffectiveAddress.h"
#include "core/Memory.h"
#include "core/Register.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <set>
#include <vector>

namespace {

struct Item
{
    int type;
    unsigned int value;
    int size;
};

constexpr Item None{0, 0, 0};
constexpr Item Val(unsigned int value, int size) { return Item{1, value, size}; }
constexpr Item Adr(unsigned int address, int size) { return Item{2, address, size}; }

// One instruction in assembler syntax, the registers it differs in from the common set,
// the two items expected, and registers of the evaluator's copy checked afterwards.
struct Case
{
    const char* source;
    const char* setup;
    Item src;
    Item dst;
    const char* after;
};

// The common register set (before any setup): every register told apart from the others.
//   D0 12345678  D1 0000FFF0  D2 80000004  D3 000000A5  D4 FFFFFF81  D5 00000023
//   D6 00000003  D7 7FFF8000  A0 00010000  A1 00020000  A2 00030000  A3 00040001
//   A4 FFFFFFFE  A5 00FFFFF0  A6 00060000  USP 7000  SSP 8000  SR 2704  PC 1000
const Case cases[] = {
    // Addressing modes as a source.
    {"move.w %d1,%d0", "", Val(0xFFF0, 16), Val(0x5678, 16), ""},
    {"move.w %a3,%d0", "", Val(0x0001, 16), Val(0x5678, 16), ""},
    {"move.l %a7,%d0", "", Val(0x8000, 32), Val(0x12345678, 32), ""},
    {"move.l %a7,%d0", "SR=0", Val(0x7000, 32), Val(0x12345678, 32), ""},
    {"move.w (%a1),%d0", "", Adr(0x20000, 16), Val(0x5678, 16), "A1=20000"},
    {"move.w (%a1)+,%d0", "", Adr(0x20000, 16), Val(0x5678, 16), "A1=20002"},
    {"move.l (%a1)+,%d0", "", Adr(0x20000, 32), Val(0x12345678, 32), "A1=20004"},
    {"move.b (%a1)+,%d0", "", Adr(0x20000, 8), Val(0x78, 8), "A1=20001"},
    {"move.w -(%a1),%d0", "", Adr(0x1FFFE, 16), Val(0x5678, 16), "A1=1FFFE"},
    {"move.b -(%a3),%d0", "", Adr(0x40000, 8), Val(0x78, 8), "A3=40000"},
    {"move.w 0x7ffe(%a1),%d0", "", Adr(0x27FFE, 16), Val(0x5678, 16), ""},
    {"move.w -2(%a1),%d0", "", Adr(0x1FFFE, 16), Val(0x5678, 16), ""},
    {"move.w -4(%a4),%d0", "", Adr(0xFFFFFFFA, 16), Val(0x5678, 16), ""},
    {"move.w 4(%a1,%d1.w),%d0", "", Adr(0x1FFF4, 16), Val(0x5678, 16), ""},
    {"move.w -1(%a1,%d2.l),%d0", "", Adr(0x80020003, 16), Val(0x5678, 16), ""},
    {"move.w 0x7f(%a0,%d2.w),%d0", "", Adr(0x10083, 16), Val(0x5678, 16), ""},
    {"move.w 0(%a0,%a5.w),%d0", "", Adr(0xFFF0, 16), Val(0x5678, 16), ""},
    {"move.w -0x80(%a0,%a5.l),%d0", "", Adr(0x100FF70, 16), Val(0x5678, 16), ""},
    {"move.w 0(%a0,%sp.l),%d0", "", Adr(0x18000, 16), Val(0x5678, 16), ""},
    {"move.w 0(%a0,%sp.l),%d0", "SR=0", Adr(0x17000, 16), Val(0x5678, 16), ""},
    {"move.w 0x1234.w,%d0", "", Adr(0x1234, 16), Val(0x5678, 16), ""},
    {"move.w 0xffff8000.w,%d0", "", Adr(0xFFFF8000, 16), Val(0x5678, 16), ""},
    {"move.w 0x123456.l,%d0", "", Adr(0x123456, 16), Val(0x5678, 16), ""},
    {"move.l 0xfedcba98.l,%d0", "", Adr(0xFEDCBA98, 32), Val(0x12345678, 32), ""},
    {"move.w 0x10(%pc),%d0", "", Adr(0x1012, 16), Val(0x5678, 16), ""},
    {"move.w -0x10(%pc),%d0", "", Adr(0xFF2, 16), Val(0x5678, 16), ""},
    {"move.w -2(%pc,%d1.w),%d0", "", Adr(0xFF0, 16), Val(0x5678, 16), ""},
    {"move.w 4(%pc,%a1.l),%d0", "", Adr(0x21006, 16), Val(0x5678, 16), ""},
    {"move.w 4(%pc,%d7.w),%d0", "", Adr(0xFFFF9006, 16), Val(0x5678, 16), ""},
    {"move.b #0x12,%d0", "", Val(0x12, 8), Val(0x78, 8), ""},
    {"move.w #0x1234,%d0", "", Val(0x1234, 16), Val(0x5678, 16), ""},
    {"move.l #0x89abcdef,%d0", "", Val(0x89ABCDEF, 32), Val(0x12345678, 32), ""},

    // Addressing modes as a destination, and the order of the two operands' effects.
    {"move.l %d0,(%a0)+", "", Val(0x12345678, 32), Adr(0x10000, 32), "A0=10004"},
    {"move.b %d0,-(%sp)", "", Val(0x78, 8), Adr(0x7FFE, 8), "SSP=7FFE USP=7000"},
    {"move.b %d0,(%sp)+", "", Val(0x78, 8), Adr(0x8000, 8), "SSP=8002"},
    {"move.b %d0,(%sp)+", "SR=0", Val(0x78, 8), Adr(0x7000, 8), "USP=7002 SSP=8000"},
    {"move.b %d0,-(%a0)", "", Val(0x78, 8), Adr(0xFFFF, 8), "A0=FFFF"},
    {"move.l 0x10(%a0),0x20(%a1)", "", Adr(0x10010, 32), Adr(0x20020, 32), ""},
    {"move.l #0x11223344,0x12345678.l", "", Val(0x11223344, 32), Adr(0x12345678, 32), ""},
    {"move.w 0x1234.w,0x5678.l", "", Adr(0x1234, 16), Adr(0x5678, 16), ""},
    {"move.l (%a0)+,(%a0)+", "A0=1000", Adr(0x1000, 32), Adr(0x1004, 32), "A0=1008"},
    {"move.w -(%a0),-(%a0)", "", Adr(0xFFFE, 16), Adr(0xFFFC, 16), "A0=FFFC"},
    {"move.b (%a7)+,%d0", "A7=2000", Adr(0x2000, 8), Val(0x78, 8), "A7=2002"},
    {"move.w -(%a7),%d1", "A7=2000", Adr(0x1FFE, 16), Val(0xFFF0, 16), "A7=1FFE"},
    {"move.l (%a0)+,4(%a0,%a0.l)", "", Adr(0x10000, 32), Adr(0x2000C, 32), "A0=10004"},
    {"move.w (%sp)+,0(%a0,%sp.l)", "", Adr(0x8000, 16), Adr(0x18002, 16), "SSP=8002"},
    {"move.w (%sp)+,0(%a0,%sp.w)", "", Adr(0x8000, 16), Adr(0x8002, 16), "SSP=8002"},

    // No operands.
    {"illegal", "", None, None, ""},
    {"nop", "", None, None, ""},
    {"reset", "", None, None, ""},
    {"rte", "", None, None, ""},
    {"rtr", "", None, None, ""},
    {"rts", "", None, None, ""},
    {"trapv", "", None, None, ""},
    {"trap #15", "", None, None, ""},

    // Status register.
    {"andi.b #0x1f,%ccr", "", Val(0x1F, 8), Val(0x2704, 8), ""},
    {"eori.b #0x11,%ccr", "", Val(0x11, 8), Val(0x2704, 8), ""},
    {"ori.b #0x04,%ccr", "", Val(0x04, 8), Val(0x2704, 8), ""},
    {"andi.w #0x2700,%sr", "", Val(0x2700, 16), Val(0x2704, 16), ""},
    {"eori.w #0x8000,%sr", "", Val(0x8000, 16), Val(0x2704, 16), ""},
    {"ori.w #0x0700,%sr", "", Val(0x0700, 16), Val(0x2704, 16), ""},
    {"stop #0x2700", "", Val(0x2700, 16), Val(0x2704, 16), ""},
    {"move.w %d0,%ccr", "", Val(0x78, 8), Val(0x2704, 8), ""},
    {"move.w #0x1215,%ccr", "", Val(0x15, 8), Val(0x2704, 8), ""},
    {"move.w -(%a0),%ccr", "", Adr(0xFFFE, 8), Val(0x2704, 8), "A0=FFFE"},
    {"move.w %d0,%sr", "", Val(0x5678, 16), Val(0x2704, 16), ""},
    {"move.w (%a0)+,%sr", "", Adr(0x10000, 16), Val(0x2704, 16), "A0=10002"},
    {"move.w %sr,-(%a7)", "", Val(0x2704, 16), Adr(0x7FFE, 16), "SSP=7FFE"},
    {"move.w %sr,%d1", "", Val(0x2704, 16), Val(0xFFF0, 16), ""},

    // One register.
    {"swap %d0", "", Val(0x12345678, 32), None, ""},
    {"unlk %a6", "", Val(0x60000, 32), None, ""},
    {"link %a6,#-8", "", Val(0x60000, 32), Val(0xFFF8, 16), ""},
    {"link %a7,#0x100", "", Val(0x8000, 32), Val(0x100, 16), ""},
    {"ext.w %d4", "", Val(0xFF81, 8), Val(0xFF81, 16), ""},
    {"ext.l %d4", "", Val(0xFFFFFF81, 16), Val(0xFFFFFF81, 32), ""},

    // Extended arithmetic: registers or predecrement on both sides.
    {"abcd %d1,%d0", "", Val(0xF0, 8), Val(0x78, 8), ""},
    {"abcd -(%a1),-(%a0)", "", Adr(0x1FFFF, 8), Adr(0xFFFF, 8), "A1=1FFFF A0=FFFF"},
    {"abcd -(%a7),-(%a7)", "", Adr(0x7FFE, 8), Adr(0x7FFC, 8), "SSP=7FFC"},
    {"abcd -(%a0),-(%a0)", "", Adr(0xFFFF, 8), Adr(0xFFFE, 8), "A0=FFFE"},
    {"sbcd %d3,%d2", "", Val(0xA5, 8), Val(0x04, 8), ""},
    {"sbcd -(%a7),-(%a1)", "SR=0", Adr(0x6FFE, 8), Adr(0x1FFFF, 8), "USP=6FFE"},
    {"addx.l %d1,%d0", "", Val(0xFFF0, 32), Val(0x12345678, 32), ""},
    {"addx.w -(%a1),-(%a0)", "", Adr(0x1FFFE, 16), Adr(0xFFFE, 16), ""},
    {"subx.b -(%a7),-(%a1)", "", Adr(0x7FFE, 8), Adr(0x1FFFF, 8), ""},
    {"subx.l %d3,%d4", "", Val(0xA5, 32), Val(0xFFFFFF81, 32), ""},
    {"cmpm.l (%a0)+,(%a0)+", "", Adr(0x10000, 32), Adr(0x10004, 32), "A0=10008"},
    {"cmpm.b (%a7)+,(%a1)+", "", Adr(0x8000, 8), Adr(0x20000, 8), "SSP=8002 A1=20001"},
    {"cmpm.w (%a2)+,(%a3)+", "", Adr(0x30000, 16), Adr(0x40001, 16), "A2=30002 A3=40003"},

    // Address arithmetic: the source widened to 32 bits.
    {"adda.w %d1,%a0", "", Val(0xFFFFFFF0, 32), Val(0x10000, 32), ""},
    {"adda.w %a4,%a0", "", Val(0xFFFFFFFE, 32), Val(0x10000, 32), ""},
    {"adda.l #0x12345,%a0", "", Val(0x12345, 32), Val(0x10000, 32), ""},
    {"adda.w #0x8000,%a1", "", Val(0xFFFF8000, 32), Val(0x20000, 32), ""},
    {"adda.w (%a1)+,%a1", "", Adr(0x20000, 32), Val(0x20002, 32), "A1=20002"},
    {"cmpa.l %a1,%a0", "", Val(0x20000, 32), Val(0x10000, 32), ""},
    {"cmpa.w %d7,%a0", "", Val(0xFFFF8000, 32), Val(0x10000, 32), ""},
    {"suba.l (%a0),%a7", "", Adr(0x10000, 32), Val(0x8000, 32), ""},
    {"suba.w %d0,%a5", "", Val(0x5678, 32), Val(0xFFFFF0, 32), ""},
    {"lea 8(%a0),%a1", "", Adr(0x10008, 32), Val(0x20000, 32), ""},
    {"lea (-4,%pc,%d0.w),%a2", "", Adr(0x6676, 32), Val(0x30000, 32), ""},
    {"lea 0x123456.l,%a7", "", Adr(0x123456, 32), Val(0x8000, 32), ""},

    // Word source, data register destination.
    {"muls.w %d4,%d0", "", Val(0xFF81, 16), Val(0x5678, 16), ""},
    {"mulu.w #3,%d1", "", Val(3, 16), Val(0xFFF0, 16), ""},
    {"divs.w (%a0)+,%d2", "", Adr(0x10000, 16), Val(0x0004, 16), "A0=10002"},
    {"divu.w 0x20(%a1),%d3", "", Adr(0x20020, 16), Val(0xA5, 16), ""},
    {"chk.w (%a1),%d5", "", Adr(0x20000, 16), Val(0x23, 16), ""},
    {"cmp.b %d3,%d0", "", Val(0xA5, 8), Val(0x78, 8), ""},
    {"cmp.l (%a2)+,%d1", "", Adr(0x30000, 32), Val(0xFFF0, 32), "A2=30004"},
    {"cmp.w %a3,%d0", "", Val(0x0001, 16), Val(0x5678, 16), ""},

    // One operand, written.
    {"clr.l -(%a0)", "", None, Adr(0xFFFC, 32), "A0=FFFC"},
    {"clr.b %d0", "", None, Val(0x78, 8), ""},
    {"neg.w 4(%a0)", "", None, Adr(0x10004, 16), ""},
    {"negx.b (%a7)+", "", None, Adr(0x8000, 8), "SSP=8002"},
    {"not.l 0x4000.w", "", None, Adr(0x4000, 32), ""},
    {"nbcd -(%a7)", "", None, Adr(0x7FFE, 8), "SSP=7FFE"},
    {"nbcd %d3", "", None, Val(0xA5, 8), ""},

    // One operand, shown as the source.
    {"tst.w (%a0)", "", Adr(0x10000, 16), None, ""},
    {"tst.l %d2", "", Val(0x80000004, 32), None, ""},
    {"tas (%a1)+", "", Adr(0x20000, 8), None, "A1=20001"},
    {"seq %d0", "", Val(0x78, 8), None, ""},
    {"sne -(%a7)", "", Adr(0x7FFE, 8), None, ""},
    {"jmp (%a0)", "", Adr(0x10000, 32), None, ""},
    {"jmp 6(%pc)", "", Adr(0x1008, 32), None, ""},
    {"jsr 0x123456.l", "", Adr(0x123456, 32), None, ""},
    {"jsr (2,%pc,%d6.l)", "", Adr(0x1007, 32), None, ""},
    {"pea 0x10(%a6)", "", Adr(0x60010, 32), None, ""},
    {"pea -0x10(%a6,%d1.w)", "", Adr(0x5FFE0, 32), None, ""},

    // Register and <ea> in either direction.
    {"add.w (%a0),%d1", "", Adr(0x10000, 16), Val(0xFFF0, 16), ""},
    {"add.l %d1,-(%a0)", "", Val(0xFFF0, 32), Adr(0xFFFC, 32), ""},
    {"add.w %a3,%d0", "", Val(0x0001, 16), Val(0x5678, 16), ""},
    {"add.b #0x7f,%d0", "", Val(0x7F, 8), Val(0x78, 8), ""},
    {"sub.l %d2,(%a1)+", "", Val(0x80000004, 32), Adr(0x20000, 32), "A1=20004"},
    {"sub.w 6(%pc),%d3", "", Adr(0x1008, 16), Val(0xA5, 16), ""},
    {"and.b (%a0),%d3", "", Adr(0x10000, 8), Val(0xA5, 8), ""},
    {"and.l %d3,8(%a1)", "", Val(0xA5, 32), Adr(0x20008, 32), ""},
    {"or.w %d1,%d0", "", Val(0xFFF0, 16), Val(0x5678, 16), ""},
    {"or.b %d3,(%a0)", "", Val(0xA5, 8), Adr(0x10000, 8), ""},
    {"eor.l %d0,%d1", "", Val(0x12345678, 32), Val(0xFFF0, 32), ""},
    {"eor.w %d3,-(%a7)", "", Val(0xA5, 16), Adr(0x7FFE, 16), ""},

    // Immediate to <ea>: the immediate's words come before the <ea>'s.
    {"addi.l #0x11223344,8(%a0)", "", Val(0x11223344, 32), Adr(0x10008, 32), ""},
    {"andi.b #0xf0,%d0", "", Val(0xF0, 8), Val(0x78, 8), ""},
    {"cmpi.w #0x1234,(%a0)+", "", Val(0x1234, 16), Adr(0x10000, 16), "A0=10002"},
    {"eori.l #-1,%d2", "", Val(0xFFFFFFFF, 32), Val(0x80000004, 32), ""},
    {"ori.b #0x80,-(%a7)", "", Val(0x80, 8), Adr(0x7FFE, 8), "SSP=7FFE"},
    {"subi.w #0x10,0x1000.w", "", Val(0x10, 16), Adr(0x1000, 16), ""},
    {"addi.w #0x100,2(%a0,%d6.w)", "", Val(0x100, 16), Adr(0x10005, 16), ""},

    // Quick forms.
    {"moveq #-1,%d0", "", Val(0xFFFFFFFF, 32), Val(0x12345678, 32), ""},
    {"moveq #127,%d3", "", Val(0x7F, 32), Val(0xA5, 32), ""},
    {"addq.w #8,%d1", "", Val(8, 16), Val(0xFFF0, 16), ""},
    {"addq.l #1,%a0", "", Val(1, 32), Val(0x10000, 32), ""},
    {"addq.b #3,(%a7)+", "", Val(3, 8), Adr(0x8000, 8), "SSP=8002"},
    {"subq.l #4,%sp", "", Val(4, 32), Val(0x8000, 32), ""},
    {"subq.w #8,0x20(%a1)", "", Val(8, 16), Adr(0x20020, 16), ""},

    // Program flow.
    {"bne.s .", "", Adr(0x1000, 32), None, ""},
    {"bra.w .+0x12", "", Adr(0x1012, 32), None, ""},
    {"bsr.w .", "", Adr(0x1000, 32), None, ""},
    {"beq.s .+0x81", "", Adr(0x1081, 32), None, ""},
    {"bra.s .-0x7e", "", Adr(0xF82, 32), None, ""},
    {"bra.w .-0x1000", "", Adr(0x0, 32), None, ""},
    {"bsr.s .+4", "", Adr(0x1004, 32), None, ""},
    {"dbra %d0,.-2", "", Val(0x5678, 16), Adr(0xFFE, 32), ""},
    {"dbne %d7,.+0x100", "", Val(0x8000, 16), Adr(0x1100, 32), ""},
    {"seq 0x10(%a0)", "", Adr(0x10010, 8), None, ""},

    // Exchange.
    {"exg %d0,%d1", "", Val(0x12345678, 32), Val(0xFFF0, 32), ""},
    {"exg %a0,%a1", "", Val(0x10000, 32), Val(0x20000, 32), ""},
    {"exg %d3,%a6", "", Val(0xA5, 32), Val(0x60000, 32), ""},
    {"exg %d3,%sp", "SR=0", Val(0xA5, 32), Val(0x7000, 32), ""},

    // Bit operations: the number modulo 32 on a register, modulo 8 in memory.
    {"btst #35,%d0", "", Val(3, 8), Val(0x12345678, 32), ""},
    {"btst #11,(%a0)", "", Val(3, 8), Adr(0x10000, 8), ""},
    {"btst %d5,%d0", "", Val(3, 8), Val(0x12345678, 32), ""},
    {"btst %d5,(%a0)+", "", Val(3, 8), Adr(0x10000, 8), "A0=10001"},
    {"btst %d6,#0x12", "", Val(3, 8), Val(0x12, 8), ""},
    {"btst #3,4(%pc)", "", Val(3, 8), Adr(0x1008, 8), ""},
    {"bchg #33,%d1", "", Val(1, 8), Val(0xFFF0, 32), ""},
    {"bchg %d3,(%a7)+", "", Val(5, 8), Adr(0x8000, 8), "SSP=8002"},
    {"bclr %d3,-(%a7)", "", Val(5, 8), Adr(0x7FFE, 8), "SSP=7FFE"},
    {"bclr %d4,%d2", "", Val(1, 8), Val(0x80000004, 32), ""},
    {"bset #7,0x1000.w", "", Val(7, 8), Adr(0x1000, 8), ""},
    {"bset #255,0x10(%a1,%a2.l)", "", Val(7, 8), Adr(0x50010, 8), ""},

    // Shifts and rotates: count and register, or the one memory word.
    {"asl.w #1,%d0", "", Val(1, 8), Val(0x5678, 16), ""},
    {"asl.b #8,%d0", "", Val(8, 8), Val(0x78, 8), ""},
    {"asr.l %d5,%d1", "", Val(0x23, 8), Val(0xFFF0, 32), ""},
    {"asr.w %d4,%d1", "", Val(0x01, 8), Val(0xFFF0, 16), ""},
    {"asr.w (%a0)", "", Adr(0x10000, 16), None, ""},
    {"lsl.l #4,%d2", "", Val(4, 8), Val(0x80000004, 32), ""},
    {"lsr.w -(%a0)", "", Adr(0xFFFE, 16), None, "A0=FFFE"},
    {"rol.b %d6,%d3", "", Val(3, 8), Val(0xA5, 8), ""},
    {"ror.w 2(%a1)", "", Adr(0x20002, 16), None, ""},
    {"roxl.w #2,%d4", "", Val(2, 8), Val(0xFF81, 16), ""},
    {"roxr.w (%a1)+", "", Adr(0x20000, 16), None, "A1=20002"},

    // Moves to an address register: a word is sign-extended to the whole register.
    {"movea.w %d1,%a0", "", Val(0xFFFFFFF0, 32), Val(0x10000, 32), ""},
    {"movea.l (%a0)+,%a0", "", Adr(0x10000, 32), Val(0x10004, 32), "A0=10004"},
    {"movea.w #0x8000,%a1", "", Val(0xFFFF8000, 32), Val(0x20000, 32), ""},
    {"movea.w (%a1),%a2", "", Adr(0x20000, 32), Val(0x30000, 32), ""},
    {"movea.l %a7,%a6", "", Val(0x8000, 32), Val(0x60000, 32), ""},
    {"move.l %a0,%usp", "", Val(0x10000, 32), Val(0x7000, 32), ""},
    {"move.l %usp,%a1", "", Val(0x7000, 32), Val(0x20000, 32), ""},

    // Multiple registers: after the mask word; to -(An), the lowest address written.
    {"movem.l %d0-%d3/%a0,-(%sp)", "", None, Adr(0x7FEC, 32), ""},
    {"movem.l %d0-%d3/%a0,-(%sp)", "A7=8000", None, Adr(0x7FEC, 32), ""},
    {"movem.l %d0-%d1,-(%a2)", "A2=3000", None, Adr(0x2FF8, 32), ""},
    {"movem.w %d0-%d7,-(%a0)", "", None, Adr(0xFFF0, 32), ""},
    {"movem.l %d0-%d7/%a0-%a6,-(%sp)", "SR=0", None, Adr(0x7000 - 60, 32), ""},
    {"movem.l (%sp)+,%d0-%d7/%a0-%a6", "", Adr(0x8000, 32), None, ""},
    {"movem.w %d0/%a1,8(%a0)", "", None, Adr(0x10008, 32), ""},
    {"movem.l 6(%pc),%d0", "", Adr(0x100A, 32), None, ""},
    {"movem.w (2,%pc,%d6.w),%d0-%d1", "", Adr(0x1009, 32), None, ""},
    {"movem.l %a0,0x123456.l", "", None, Adr(0x123456, 32), ""},

    // Peripheral moves.
    {"movep.w 4(%a0),%d0", "", Adr(0x10004, 16), Val(0x5678, 16), ""},
    {"movep.l -2(%a1),%d3", "", Adr(0x1FFFE, 32), Val(0xA5, 32), ""},
    {"movep.l %d1,-2(%a1)", "", Val(0xFFF0, 32), Adr(0x1FFFE, 32), ""},
    {"movep.w %d0,0(%a7)", "", Val(0x5678, 16), Adr(0x8000, 16), ""},
};

void SetCommonRegisters(Register& r)
{
    const unsigned int d[8] = {0x12345678, 0x0000FFF0, 0x80000004, 0x000000A5,
                               0xFFFFFF81, 0x00000023, 0x00000003, 0x7FFF8000};
    const unsigned int a[7] = {0x00010000, 0x00020000, 0x00030000, 0x00040001,
                               0xFFFFFFFE, 0x00FFFFF0, 0x00060000};
    for (int i = 0; i < 8; ++i)
        r.d[i] = d[i];
    for (int i = 0; i < 7; ++i)
        r.a[i] = a[i];
    r.usp = 0x7000;
    r.ssp = 0x8000;
    r.sr = 0x2704;
    r.pc = 0x1000;
}

// "NAME=hex NAME=hex ..." applied or checked by register name.
QList<QPair<QString, unsigned int>> ParseAssignments(const char* text)
{
    QList<QPair<QString, unsigned int>> list;
    const QStringList parts = QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (const QString& part : parts) {
        const QStringList pair = part.split(QLatin1Char('='));
        bool ok = false;
        const unsigned int value = pair.value(1).toUInt(&ok, 16);
        if (pair.size() == 2 && ok)
            list.append(qMakePair(pair[0], value));
        else
            qFatal("bad register assignment %s", qPrintable(part));
    }
    return list;
}

bool SameRegisters(const Register& x, const Register& y)
{
    for (int i = 0; i < 8; ++i) {
        if (x.d[i] != y.d[i])
            return false;
    }
    for (int i = 0; i < 7; ++i) {
        if (x.a[i] != y.a[i])
            return false;
    }
    return x.pc == y.pc && x.usp == y.usp && x.ssp == y.ssp && x.sr == y.sr;
}

QString Describe(const EffectiveAddressItem& item)
{
    return QString("type %1 value %2 size %3").arg(item.type).arg(item.value, 8, 16, QLatin1Char('0')).arg(item.size);
}

} // namespace

class EvaluatorTest : public QObject
{
    Q_OBJECT

public:
    EvaluatorTest()
        : video(MemoryBuffer::videoSize), memory(video.data()), evaluator(&memory, &registers)
    {
    }

private:
    std::vector<unsigned char> video;
    Memory memory;
    Register registers;
    EffectiveAddress evaluator;
    // The machine code of every case, from the assembler.
    std::vector<std::vector<unsigned char>> code;

    void Place(unsigned int address, const std::vector<unsigned char>& bytes)
    {
        for (std::size_t i = 0; i < bytes.size(); ++i)
            memory.Write(address + unsigned(i), bytes[i], 8, true);
    }

    void PlaceWords(unsigned int address, std::initializer_list<unsigned int> words)
    {
        for (unsigned int word : words) {
            memory.Write(address, word, 16, true);
            address += 2;
        }
    }

    void CheckItem(const EffectiveAddressItem& actual, const Item& expected, const char* which)
    {
        const QString message = QString("%1: %2").arg(which, Describe(actual));
        QVERIFY2(actual.type == expected.type, qPrintable(message));
        if (expected.type == 0)
            return;
        QVERIFY2(actual.value == expected.value, qPrintable(message));
        QVERIFY2(actual.size == expected.size, qPrintable(message));
    }

private slots:
    void initTestCase()
    {
        // One source with a label before and after each case; the table of the cases'
        // lengths follows the code.
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QString source;
        const int count = int(sizeof cases / sizeof cases[0]);
        for (int i = 0; i < count; ++i)
            source += QString("s%1:\n %2\n").arg(i).arg(QLatin1String(cases[i].source));
        source += QString("s%1:\n").arg(count);
        for (int i = 0; i < count; ++i)
            source += QString(" .word s%1-s%2\n").arg(i + 1).arg(i);
        QFile file(dir.filePath("cases.s"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(source.toLatin1());
        file.close();

        QProcess as;
        as.start(ZENDRA_M68K_AS, {"-m68000", "-o", dir.filePath("cases.o"), dir.filePath("cases.s")});
        QVERIFY(as.waitForFinished(60000));
        QVERIFY2(as.exitCode() == 0, as.readAllStandardError().constData());
        QProcess objcopy;
        objcopy.start(ZENDRA_M68K_OBJCOPY, {"-O", "binary", "-j", ".text", dir.filePath("cases.o"), dir.filePath("cases.bin")});
        QVERIFY(objcopy.waitForFinished(60000));
        QVERIFY2(objcopy.exitCode() == 0, objcopy.readAllStandardError().constData());

        QFile bin(dir.filePath("cases.bin"));
        QVERIFY(bin.open(QIODevice::ReadOnly));
        const QByteArray bytes = bin.readAll();
        QVERIFY(bytes.size() > 2 * count);
        const int table = bytes.size() - 2 * count;
        int offset = 0;
        for (int i = 0; i < count; ++i) {
            const int length = (quint8(bytes[table + 2 * i]) << 8) | quint8(bytes[table + 2 * i + 1]);
            QVERIFY(length >= 2 && length <= 10 && offset + length <= table);
            code.emplace_back(bytes.constData() + offset, bytes.constData() + offset + length);
            offset += length;
        }
        QCOMPARE(offset, table);
    }

    void init()
    {
        SetCommonRegisters(registers);
    }

    void newItemsHoldAValueOf32Bits()
    {
        EffectiveAddress fresh(&memory, &registers);
        QCOMPARE(fresh.source->type, 1);
        QCOMPARE(fresh.source->value, 0u);
        QCOMPARE(fresh.source->size, 32);
        QCOMPARE(fresh.destination->type, 1);
        QCOMPARE(fresh.destination->size, 32);
        QVERIFY(fresh.registerCopy != &registers);
    }

    void operands_data()
    {
        QTest::addColumn<int>("index");
        const int count = int(sizeof cases / sizeof cases[0]);
        for (int i = 0; i < count; ++i) {
            const QString name = QString("%1 %2 [%3]").arg(i).arg(QLatin1String(cases[i].source), QLatin1String(cases[i].setup));
            QTest::newRow(qPrintable(name)) << i;
        }
    }

    void operands()
    {
        QFETCH(int, index);
        const Case& c = cases[index];
        for (const auto& assignment : ParseAssignments(c.setup))
            registers.Set(assignment.first, assignment.second);
        const std::vector<unsigned char>& bytes = code[std::size_t(index)];
        Place(registers.pc, bytes);
        Register before(&registers);

        QVERIFY(evaluator.Extract());
        QCOMPARE(evaluator.opcode, (unsigned(bytes[0]) << 8) | bytes[1]);
        CheckItem(*evaluator.source, c.src, "source");
        CheckItem(*evaluator.destination, c.dst, "destination");
        // Every extension word was taken, none more.
        QCOMPARE(evaluator.registerCopy->pc, before.pc + unsigned(bytes.size()));
        for (const auto& check : ParseAssignments(c.after))
            QVERIFY2(evaluator.registerCopy->Get(check.first) == check.second,
                     qPrintable(QString("%1 = %2").arg(check.first).arg(evaluator.registerCopy->Get(check.first), 0, 16)));
        QVERIFY(SameRegisters(registers, before));
    }

    // Every instruction kind is explained by at least one case above.
    void casesCoverEveryKind()
    {
        std::set<int> kinds;
        for (const auto& bytes : code)
            kinds.insert(Decoder::KindOf((unsigned(bytes[0]) << 8) | bytes[1]));
        QVERIFY(kinds.count(Decoder::NoKind) == 0);
        for (int kind = 0; kind < Decoder::KindCount; ++kind)
            QVERIFY2(kinds.count(kind), Decoder::KindName(Decoder::Kind(kind)));
    }

    void notAnInstruction_data()
    {
        QTest::addColumn<unsigned int>("word");
        QTest::newRow("all ones") << 0xFFFFu;
        QTest::newRow("line A") << 0xA000u;
        QTest::newRow("line F") << 0xF000u;
        QTest::newRow("MOVEC") << 0x4E7Au;
        QTest::newRow("byte move from An") << 0x1008u;
        QTest::newRow("immediate on An") << 0x0008u;
    }

    void notAnInstruction()
    {
        QFETCH(unsigned int, word);
        // Items that held something keep their values; only their type goes.
        PlaceWords(0x1000, {0x303C, 0x1234}); // MOVE.W #$1234,D0
        QVERIFY(evaluator.Extract());
        PlaceWords(0x1000, {word, 0x1234});
        QVERIFY(!evaluator.Extract());
        QCOMPARE(evaluator.opcode, word);
        QCOMPARE(evaluator.source->type, 0);
        QCOMPARE(evaluator.destination->type, 0);
        QCOMPARE(evaluator.source->value, 0x1234u);
        QCOMPARE(evaluator.registerCopy->pc, 0x1002u);
    }

    void nopHasNoOperands()
    {
        PlaceWords(0x1000, {0x4E71});
        QVERIFY(evaluator.Extract());
        QCOMPARE(evaluator.source->type, 0);
        QCOMPARE(evaluator.destination->type, 0);
    }

    // Forms that the assembler does not write for a 68000.
    void handEncodedForms()
    {
        // A byte displacement of $FF is -1 on this processor, not a long-branch marker.
        PlaceWords(0x1000, {0x60FF, 0x1234, 0x5678});
        QVERIFY(evaluator.Extract());
        CheckItem(*evaluator.source, Adr(0x1001, 32), "BRA.S -1");
        QCOMPARE(evaluator.registerCopy->pc, 0x1002u);

        // An odd program counter: the words are read where it points.
        registers.pc = 0x2001;
        PlaceWords(0x2001, {0x6000, 0x0010});
        QVERIFY(evaluator.Extract());
        CheckItem(*evaluator.source, Adr(0x2013, 32), "BRA.W at an odd address");
        QCOMPARE(evaluator.registerCopy->pc, 0x2005u);

        // A byte immediate is the low byte of its word, whatever the high byte holds.
        registers.pc = 0x1000;
        PlaceWords(0x1000, {0x103C, 0xAB12}); // MOVE.B #$12,D0
        QVERIFY(evaluator.Extract());
        CheckItem(*evaluator.source, Val(0x12, 8), "MOVE.B #$12,D0 with a high byte");
        PlaceWords(0x1000, {0x023C, 0xFF1F}); // ANDI.B #$1F,CCR
        QVERIFY(evaluator.Extract());
        CheckItem(*evaluator.source, Val(0x1F, 8), "ANDI #$1F,CCR with a high byte");
        PlaceWords(0x1000, {0x0810, 0xFF0B}); // BTST #11,(A0)
        QVERIFY(evaluator.Extract());
        CheckItem(*evaluator.source, Val(3, 8), "BTST #11,(A0) with a high byte");

        // MOVEM with an empty mask writes nothing below An.
        registers.pc = 0x1000;
        PlaceWords(0x1000, {0x48E0, 0x0000});
        QVERIFY(evaluator.Extract());
        CheckItem(*evaluator.destination, Adr(0x10000, 32), "MOVEM.L <none>,-(A0)");

        // The brief extension word's bits 10-8 are ignored by the 68000.
        PlaceWords(0x1000, {0x3030, 0x1704});
        QVERIFY(evaluator.Extract());
        CheckItem(*evaluator.source, Adr(0x10000 + 0xFFFFFFF0u + 4, 16), "(4,A0,D1.W) with stray bits");
    }

    // Instructions whose words cross the top of the address space are read through the
    // wrap-around of 24-bit addresses; the evaluator's program counter is not masked.
    void topOfTheAddressSpace()
    {
        memory.Write(0xFFFFFE, 0x2039, 16, true); // MOVE.L abs.L,D0
        PlaceWords(0x000000, {0x0012, 0x3456});
        registers.pc = 0xFFFFFE;
        QVERIFY(evaluator.Extract());
        CheckItem(*evaluator.source, Adr(0x123456, 32), "MOVE.L $123456,D0 across the top");
        QCOMPARE(evaluator.registerCopy->pc, 0x1000004u);

        registers.pc = 0xFFFFFFFE;
        QVERIFY(evaluator.Extract());
        CheckItem(*evaluator.source, Adr(0x123456, 32), "the same beyond 24 bits");
        QCOMPARE(evaluator.registerCopy->pc, 0x4u);

        memory.Write(0xFFFFFF, 0x4E, 8, true);
        memory.Write(0x000000, 0x71, 8, true);
        registers.pc = 0xFFFFFF;
        QVERIFY(evaluator.Extract());
        QCOMPARE(evaluator.opcode, 0x4E71u);
    }

    void staticHelpers()
    {
        const int standard[] = {8, 16, 32, 0};
        const int move[] = {0, 8, 32, 16};
        for (unsigned int bits = 0; bits < 8; ++bits) {
            QCOMPARE(EffectiveAddress::Size(bits, 1), standard[bits & 3]);
            QCOMPARE(EffectiveAddress::Size(bits, 2), move[bits & 3]);
            QCOMPARE(EffectiveAddress::Size(bits, 3), (bits & 1) ? 32 : 16);
            QCOMPARE(EffectiveAddress::Size(bits, 0), 0);
            QCOMPARE(EffectiveAddress::Size(bits, 4), 0);
        }
        QCOMPARE(EffectiveAddress::ExtendSign(static_cast<unsigned char>(0x7F)), 127);
        QCOMPARE(EffectiveAddress::ExtendSign(static_cast<unsigned char>(0x80)), -128);
        QCOMPARE(EffectiveAddress::ExtendSign(static_cast<unsigned char>(0xFF)), -1);
        QCOMPARE(EffectiveAddress::ExtendSign(static_cast<unsigned short>(0x7FFF)), 32767);
        QCOMPARE(EffectiveAddress::ExtendSign(static_cast<unsigned short>(0x8000)), -32768);
        QCOMPARE(EffectiveAddress::ExtendSign(static_cast<unsigned short>(0xFFF8)), -8);
        QCOMPARE(EffectiveAddress::CountOne(0), 0u);
        QCOMPARE(EffectiveAddress::CountOne(0xFFFF), 16u);
        QCOMPARE(EffectiveAddress::CountOne(0x80F1), 6u);
    }

    void getAddressOnItsOwn()
    {
        evaluator.registerCopy->Copy(registers);
        // Data and address registers and the immediate have no address and read nothing.
        QCOMPARE(evaluator.GetAddress(0, 1, 32), 0u);
        QCOMPARE(evaluator.GetAddress(1, 1, 32), 0u);
        QCOMPARE(evaluator.GetAddress(7, 4, 32), 0u);
        QCOMPARE(evaluator.GetAddress(7, 7, 32), 0u);
        QCOMPARE(evaluator.registerCopy->pc, 0x1000u);
        // Only the low three bits of mode and register count.
        QCOMPARE(evaluator.GetAddress(0x12, 0x09, 16), 0x20000u);
        QCOMPARE(evaluator.GetAddress(3, 7, 8), 0x8000u);
        QCOMPARE(evaluator.registerCopy->ssp, 0x8002u);
        QCOMPARE(evaluator.GetAddress(4, 7, 16), 0x8000u);
        QCOMPARE(evaluator.GetAddress(4, 7, 32), 0x7FFCu);
        QCOMPARE(registers.ssp, 0x8000u);
    }

    // Whatever the memory holds and wherever the program counter points, Extract reads
    // without fault, writes nothing, leaves the registers alone and steps over at most
    // the longest instruction.
    void anyWordAnywhere()
    {
        QRandomGenerator random(0x68000);
        for (unsigned int a = 0; a < 0x20000; a += 4)
            memory.Write(a, random.generate(), 32, true);
        for (unsigned int a = 0xFFB500; a < 0x1000000; a += 4)
            memory.Write(a, random.generate(), 32, true);
        quint64 checksum = 0;
        for (unsigned int a = 0; a < 0x1000000; ++a)
            checksum = checksum * 31 + memory.Read(a, 8);

        int decoded = 0;
        const unsigned int places[] = {0x1000, 0x1001, 0xFFFFF6, 0xFFFFFD, 0xFFFFFE, 0xFFFFFF, 0xFFFFFFFF, 0x7FFFFFFF};
        for (unsigned int word = 0; word < 0x10000; ++word) {
            const unsigned int pc = places[word % (sizeof places / sizeof places[0])];
            registers.pc = pc;
            registers.sr = (word & 1) ? 0x2700 : 0x0000;
            registers.a[0] = random.generate();
            registers.usp = random.generate();
            const unsigned int saved = memory.Read(pc, 16);
            memory.Write(pc, word, 16, true);
            Register before(&registers);
            memory.recording = true;
            const bool ok = evaluator.Extract();
            memory.recording = false;
            QVERIFY(memory.records.isEmpty());
            QCOMPARE(ok, Decoder::KindOf(word) != Decoder::NoKind);
            QVERIFY(SameRegisters(registers, before));
            const unsigned int length = evaluator.registerCopy->pc - pc;
            QVERIFY2(length >= 2 && length <= 10 && length % 2 == 0, qPrintable(QString::number(word, 16)));
            for (const EffectiveAddressItem* item : {evaluator.source, evaluator.destination}) {
                QVERIFY(item->type >= 0 && item->type <= 2);
                if (!ok)
                    QCOMPARE(item->type, 0);
                else if (item->type != 0)
                    QVERIFY2(item->size == 8 || item->size == 16 || item->size == 32, qPrintable(QString::number(word, 16)));
            }
            decoded += ok;
            memory.Write(pc, saved, 16, true);
        }
        quint64 after = 0;
        for (unsigned int a = 0; a < 0x1000000; ++a)
            after = after * 31 + memory.Read(a, 8);
        QCOMPARE(after, checksum);
        QVERIFY(decoded > 40000);
    }
};

QTEST_GUILESS_MAIN(EvaluatorTest)
#include "tst_evaluator.moc"
