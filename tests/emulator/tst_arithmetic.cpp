// Data movement, arithmetic, comparison and decimal instructions, one instruction per row,
// each run in both execution modes and taken back in recorded mode.
#include "EmulatorTests.h"
#include "InstructionRows.h"
#include "TestMachine.h"

#include <QtTest>

class ArithmeticTest : public QObject
{
    Q_OBJECT

private slots:
    void addAndSubtract_data()
    {
        Columns();
        Row("ADD.B D1,D0 wraps to zero, upper bits kept", "D001", "D0=$123456FF D1=1 CCR=0", "D0=$12345600 CCR=$15 PC=$1002");
        Row("ADD.W D1,D0 overflows into the sign", "D041", "D0=$7FFF D1=1 CCR=$10", "D0=$8000 CCR=$0A");
        Row("ADD.L (A0)+,D0 carries", "D098", "D0=2 A0=$2000 [$2000].l=$FFFFFFFF CCR=0", "D0=1 A0=$2004 CCR=$11");
        Row("ADD.W D0,(A0)+ reads and writes one word, A0 moves once", "D158", "D0=$1111 A0=$2000 [$2000].w=$1234",
            "[$2000].w=$2345 [$2002].w=0 A0=$2002 CCR=0 PC=$1002");
        Row("ADD.L D0,-(A1) of two minimum values", "D1A1", "D0=$80000000 A1=$2004 [$2000].l=$80000000",
            "[$2000].l=0 A1=$2000 CCR=$17");
        Row("ADD.W 4(A0),D2", "D468 0004", "A0=$2000 [$2004].w=5 D2=$FFFF0003", "D2=$FFFF0008 PC=$1004 CCR=0");
        Row("ADD.B #$80,D0 uses the low byte of the word", "D03C 0080", "D0=$80", "D0=0 CCR=$17 PC=$1004");
        Row("ADD.L 6(A0,D1.W),D3 sign-extends the index", "D6B0 1006", "A0=$2000 D1=$0000FFFE [$2004].l=$10 D3=$20",
            "D3=$30 PC=$1004");
        Row("SUB.B D1,D0 borrows", "9001", "D0=$AA00 D1=1", "D0=$AAFF CCR=$19");
        Row("SUB.W (A0),D0 overflows", "9050", "D0=$8000 A0=$2000 [$2000].w=1", "D0=$7FFF CCR=2");
        Row("SUB.L D0,(A0) to memory", "9190", "D0=3 A0=$2000 [$2000].l=5", "[$2000].l=2 D0=3 CCR=0");
        Row("ADDI.W #$7FFF,D0", "0640 7FFF", "D0=1", "D0=$8000 CCR=$0A PC=$1004");
        Row("ADDI.B #1,(A0) touches one byte", "0610 0001", "A0=$2000 [$2000].b=$FF [$2001].b=$77",
            "[$2000].b=0 [$2001].b=$77 CCR=$15");
        Row("SUBI.L #1,D0 below zero", "0480 0000 0001", "D0=0", "D0=$FFFFFFFF CCR=$19 PC=$1006");
        Row("ADDQ.L #8,D0", "5080", "D0=$FFFFFFF8", "D0=0 CCR=$15");
        Row("ADDQ.W #1,A0 is a long addition without flags", "5248", "A0=$FFFF CCR=$1F", "A0=$10000 CCR=$1F");
        Row("SUBQ.W #1,A0 is a long subtraction without flags", "5348", "A0=$10000 CCR=0", "A0=$FFFF CCR=0");
        Row("SUBQ.B #1,D0 borrows", "5300", "D0=$100", "D0=$1FF CCR=$19");
        Row("SUBQ.W #2,(A0)+ overflows", "5558", "A0=$2000 [$2000].w=$8001", "[$2000].w=$7FFF A0=$2002 CCR=2");
        Row("ADDX.B keeps Z on a zero result", "D101", "D0=$80 D1=$80 CCR=4", "D0=0 CCR=$17");
        Row("ADDX.W adds X", "D141", "D0=$FFFF D1=0 CCR=$14", "D0=0 CCR=$15");
        Row("ADDX.L clears Z on a non-zero result", "D181", "D0=1 D1=1 CCR=$14", "D0=3 CCR=0");
        Row("ADDX.W -(A1),-(A0)", "D149", "A0=$2004 A1=$3004 [$2002].w=1 [$3002].w=2 CCR=$10",
            "[$2002].w=4 A0=$2002 A1=$3002 CCR=0");
        Row("SUBX.B subtracts X", "9101", "D0=0 D1=0 CCR=$14", "D0=$FF CCR=$19");
        Row("SUBX.L -(A1),-(A0) to zero keeps Z", "9189", "A0=$2008 A1=$3008 [$2004].l=$10 [$3004].l=$F CCR=$14",
            "[$2004].l=0 A0=$2004 A1=$3004 CCR=4");
        Row("ADDA.W sign-extends the source", "D0C0", "D0=$8000 A0=$10000 CCR=$1F", "A0=$8000 CCR=$1F");
        Row("ADDA.L #$10000", "D1FC 0001 0000", "A0=1", "A0=$10001 PC=$1006");
        Row("SUBA.W of -1", "90C0", "D0=$FFFF A0=0", "A0=1");
        Row("NEG.B of the minimum", "4400", "D0=$80", "D0=$80 CCR=$1B");
        Row("NEG.W of zero", "4440", "D0=$FFFF0000 CCR=$1F", "D0=$FFFF0000 CCR=4");
        Row("NEGX.B subtracts X and clears Z", "4000", "D0=0 CCR=$14", "D0=$FF CCR=$19");
        Row("NEGX.W of zero keeps Z", "4040", "D0=0 CCR=4", "D0=0 CCR=4");
        Row("CLR.W D0 keeps X and the high word", "4240", "D0=$FFFFFFFF CCR=$1B", "D0=$FFFF0000 CCR=$14");
        Row("CLR.L (A0)+", "4298", "A0=$2000 [$2000].l=$FFFFFFFF", "[$2000].l=0 A0=$2004 CCR=4");
        Row("TST.L (A0) keeps X", "4A90", "A0=$2000 [$2000].l=$80000000 CCR=$13", "CCR=$18");
    }
    void addAndSubtract() { CheckRow(); }

    void compare_data()
    {
        Columns();
        Row("CMP.B keeps X", "B001", "D0=1 D1=2 CCR=$10", "D0=1 CCR=$19");
        Row("CMP.L of equal values", "B081", "D0=$12345678 D1=$12345678 CCR=$1F", "CCR=$14");
        Row("CMP.W overflow", "B041", "D0=$8000 D1=1", "CCR=2");
        Row("CMPA.W sign-extends to 32 bits", "B0C0", "D0=$FFFF A0=$FFFFFFFF", "CCR=4");
        Row("CMPA.L borrows", "B1C0", "D0=1 A0=0", "CCR=9");
        Row("CMPI.W #5,(A0)", "0C50 0005", "A0=$2000 [$2000].w=5", "CCR=4 PC=$1004");
        Row("CMPM.B (A0)+,(A0)+ reads the source first", "B108", "A0=$2000 [$2000].b=1 [$2001].b=3", "A0=$2002 CCR=0");
        Row("CMPM.B (A0)+,(A1)+ moves both", "B308", "A0=$2000 A1=$3000 [$2000].b=5 [$3000].b=4",
            "A0=$2001 A1=$3001 CCR=9");
    }
    void compare() { CheckRow(); }

    void multiplyAndDivide_data()
    {
        Columns();
        Row("MULU.W is unsigned", "C0C1", "D0=$FFFFFFFF D1=$FFFF", "D0=$FFFE0001 CCR=8");
        Row("MULU.W to zero keeps X", "C0C1", "D0=$12340000 D1=5 CCR=$13", "D0=0 CCR=$14");
        Row("MULS.W is signed", "C1C1", "D0=$FFFF D1=2", "D0=$FFFFFFFE CCR=8");
        Row("MULS.W of two minimum words", "C1C1", "D0=$8000 D1=$8000", "D0=$40000000 CCR=0");
        Row("DIVU.W quotient and remainder", "80C1", "D0=100 D1=7", "D0=$2000E CCR=0");
        Row("DIVU.W quotient $8000 sets N", "80C1", "D0=$8000 D1=1", "D0=$8000 CCR=8");
        Row("DIVU.W overflow sets V only", "80C1", "D0=$10000 D1=1 CCR=$1D", "D0=$10000 CCR=$1E vector=-1");
        Row("DIVU.W #0 raises a zero divide", "80FC 0000", "D0=100 CCR=$1F",
            "D0=100 vector=5 SR=$271F PC=$3050 SSP=$7FFA [$7FFA].w=$271F [$7FFC].l=$1004");
        Row("DIVS.W remainder takes the dividend's sign", "81C1", "D0=-7 D1=2", "D0=$FFFFFFFD CCR=8");
        Row("DIVS.W of $80000000 by -1 overflows", "81C1", "D0=$80000000 D1=$FFFF CCR=$1D", "D0=$80000000 CCR=$1E");
        Row("DIVS.W quotient 32768 overflows", "81C1", "D0=$8000 D1=1", "D0=$8000 CCR=2");
        Row("DIVS.W quotient -32768 fits", "81C1", "D0=-32768 D1=1", "D0=$8000 CCR=8");
    }
    void multiplyAndDivide() { CheckRow(); }

    void move_data()
    {
        Columns();
        Row("MOVE.W #0,D0 keeps the high word", "303C 0000", "D0=$FFFFFFFF CCR=$1B", "D0=$FFFF0000 CCR=$14 PC=$1004");
        Row("MOVE.B D0,-(A7) keeps A7 even", "1F00", "D0=$AB", "SSP=$7FFE [$7FFE].b=$AB CCR=8");
        Row("MOVE.B (A7)+,D0 keeps A7 even", "101F", "[$8000].b=$7F", "D0=$7F SSP=$8002");
        Row("MOVE.B D0,-(A1) moves A1 by one", "1300", "D0=1 A1=$2001", "A1=$2000 [$2000].b=1");
        Row("MOVE.B (A1)+,D0 moves A1 by one", "1019", "A1=$2000 D0=$FF", "A1=$2001 D0=0 CCR=4");
        Row("MOVE.L (A0),(A1)", "2290", "A0=$2000 A1=$3000 [$2000].l=$12345678", "[$3000].l=$12345678 CCR=0");
        Row("MOVE.W 2(A0),abs.L reads the source words first", "33E8 0002 0001 2344", "A0=$2000 [$2002].w=$8001",
            "[$12344].w=$8001 PC=$1008 CCR=8");
        Row("MOVE.W (A7)+,D0 in user state uses USP", "301F", "SR=0 [$6000].w=$1234", "D0=$1234 USP=$6002 SSP=$8000");
        Row("MOVE.W d16(PC),D0 is relative to the extension word", "303A 0010", "[$1012].w=$4321", "D0=$4321 PC=$1004");
        Row("MOVE.W d8(PC,D1.L),D0", "303B 1810", "D1=$100 [$1112].w=$5678", "D0=$5678");
        Row("MOVE.L abs.W sign-extends the address", "2038 8000", "[$FFFF8000].l=$CAFE", "D0=$CAFE PC=$1004");
        Row("MOVE.L d8(A0,A1.W) with a negative byte", "2030 90FE", "A0=$2002 A1=$10002 [$2002].l=$ABCD",
            "D0=$ABCD");
        Row("MOVE.B into the keyboard area writes nothing", "13C0 0000 0450", "D0=$5A", "[$450].b=0 CCR=0");
        Row("MOVEA.W sign-extends", "307C 8000", "A0=0 CCR=$1F", "A0=$FFFF8000 CCR=$1F");
        Row("MOVEQ #-1", "70FF", "D0=0", "D0=$FFFFFFFF CCR=8");
        Row("EXG D0,D1", "C141", "D0=1 D1=2", "D0=2 D1=1");
        Row("EXG A0,A1", "C149", "A0=1 A1=2", "A0=2 A1=1");
        Row("EXG D0,A0", "C188", "D0=1 A0=2", "D0=2 A0=1");
        Row("EXG D0,A7 in supervisor state", "C18F", "D0=1", "D0=$8000 SSP=1 USP=$6000");
        Row("SWAP", "4840", "D0=$12345678 CCR=$13", "D0=$56781234 CCR=$10");
        Row("EXT.W", "4880", "D0=$12345680", "D0=$1234FF80 CCR=8");
        Row("EXT.L", "48C0", "D0=$12348000", "D0=$FFFF8000 CCR=8");
        Row("LEA 8(A0),A1", "43E8 0008", "A0=$2000", "A1=$2008 PC=$1004");
        Row("PEA (A0)", "4850", "A0=$2000", "SSP=$7FFC [$7FFC].l=$2000");
    }
    void move() { CheckRow(); }

    void moveMultiple_data()
    {
        Columns();
        Row("MOVEM.L D0-D1/A6,-(A7)", "48E7 C002", "D0=1 D1=2 A6=3",
            "[$7FF4].l=1 [$7FF8].l=2 [$7FFC].l=3 SSP=$7FF4 PC=$1004");
        Row("MOVEM.L A7,-(A7) stores the old A7", "48E7 0001", "", "[$7FFC].l=$8000 SSP=$7FFC");
        Row("MOVEM.W (A0)+,D0 sign-extends", "4C98 0001", "A0=$2000 [$2000].w=$8001", "D0=$FFFF8001 A0=$2002");
        Row("MOVEM.L (A0)+,D0/A0 ends with the final address", "4CD8 0101", "A0=$2000 [$2000].l=$11 [$2004].l=$22",
            "D0=$11 A0=$2008");
        Row("MOVEM.L 4(A0),D1-D2", "4CE8 0006 0004", "A0=$2000 [$2004].l=5 [$2008].l=6", "D1=5 D2=6 A0=$2000 PC=$1006");
        Row("MOVEM.W D0/A1,(A0)", "4890 0201", "D0=$11112222 A1=$33334444 A0=$2000",
            "[$2000].w=$2222 [$2002].w=$4444 [$2004].w=0 A0=$2000");
        Row("MOVEM with an empty list steps over its displacement", "4CE8 0000 0004", "A0=$2000 D0=7",
            "D0=7 A0=$2000 PC=$1006");
        Row("MOVEM.L D0-D7/A0-A6,-(A7)", "48E7 FFFE",
            "D0=1 D1=2 D2=3 D3=4 D4=5 D5=6 D6=7 D7=8 A0=9 A1=10 A2=11 A3=12 A4=13 A5=14 A6=15",
            "[$7FC4].l=1 [$7FD0].l=4 [$7FE0].l=8 [$7FE4].l=9 [$7FFC].l=15 SSP=$7FC4");
        Row("MOVEM.L (A7)+,D0-D7/A0-A6", "4CDF 7FFF", "[$8000].l=1 [$801C].l=8 [$8020].l=9 [$8038].l=15",
            "D0=1 D7=8 A0=9 A6=15 SSP=$803C");
        Row("MOVEM.L D0/A0,-(A0) stores A0 as it was", "48E0 8080", "D0=$11 A0=$2008",
            "[$2000].l=$11 [$2004].l=$2008 A0=$2000");
        Row("MOVEM.L (A0)+,A7 in user state loads USP", "4CD8 8000", "SR=0 A0=$2000 [$2000].l=$5000",
            "USP=$5000 A0=$2004 SSP=$8000");
        Row("MOVEM.W 0(A0,D1.W),D2/A2 sign-extends both", "4CB0 0404 1000",
            "A0=$2000 D1=$10 [$2010].w=$8000 [$2012].w=$7FFF", "D2=$FFFF8000 A2=$7FFF PC=$1006");
        Row("MOVEM.L d16(PC),D0-D1", "4CFA 0003 0010", "[$1014].l=1 [$1018].l=2", "D0=1 D1=2 PC=$1006");
        Row("MOVEM.W D0-D1 across the end of main memory", "48B9 0003 00FF B4FE", "D0=$1234 D1=$5678",
            "[$FFB4FE].w=$1234 [$FFB500].w=$5678 PC=$1008");
        Row("MOVEM.L D0-D1 from the keyboard area writes only past it", "48F8 0003 04FC", "D0=$11 D1=$22",
            "[$4FC].l=0 [$500].l=$22");
        Row("MOVEP.W D0,0(A0)", "0188 0000", "D0=$1234 A0=$2000 [$2001].b=$55",
            "[$2000].b=$12 [$2001].b=$55 [$2002].b=$34 PC=$1004");
        Row("MOVEP.L 1(A0),D0 at an odd address", "0148 0001",
            "A0=$2000 [$2001].b=$11 [$2003].b=$22 [$2005].b=$33 [$2007].b=$44", "D0=$11223344 error=none");
        Row("MOVEP.L D0,1(A0)", "01C8 0001", "D0=$AABBCCDD A0=$2000",
            "[$2001].b=$AA [$2003].b=$BB [$2005].b=$CC [$2007].b=$DD [$2002].b=0 [$2004].b=0");
        Row("MOVEP.W 0(A0),D1", "0308 0000", "D1=$FFFFFFFF A0=$2000 [$2000].b=$12 [$2002].b=$34", "D1=$FFFF1234");
    }
    void moveMultiple() { CheckRow(); }

    // MOVEM to every register: each of D0-D7/A0-A6 (and A7, USP or SSP as the state selects)
    // starts with a value of its own and loads another, unlike every other register's, so
    // that the undo check of each row sees any one of them not come back.
    void moveMultipleToEveryRegister_data()
    {
        Columns();
        // A register's value before: its number in the high byte, never a loaded value.
        // Later assignments win: extra may set a base register again.
        const auto registers = [](const QString& extra) {
            QStringList parts;
            for (int n = 0; n < 8; ++n)
                parts << QStringLiteral("D%1=$%2").arg(n).arg(0x0D000000u + 0x010101u * unsigned(n + 1), 0, 16);
            for (int n = 0; n < 7; ++n)
                parts << QStringLiteral("A%1=$%2").arg(n).arg(0x0A000000u + 0x010101u * unsigned(n + 1), 0, 16);
            return parts.join(QLatin1Char(' ')) + QLatin1Char(' ') + extra;
        };
        // Values in memory from base, one per register of the list in order D0-D7/A0-A7 (16
        // with A7), with the sign bit set in every other one; and what each register ends as.
        struct Loaded
        {
            QString memory;
            QStringList values;
        };
        const auto loaded = [](unsigned int base, int count, int size, unsigned int tag) {
            Loaded l;
            QStringList memory;
            for (int k = 0; k < count; ++k) {
                const unsigned int value = size == 32 ? (tag << 24) | 0x00510000u | unsigned(k * 0x1111 + 0x0F)
                                                      : (k % 2 ? 0x8000u : 0x0000u) | ((tag & 0xF) << 8) | unsigned(0x10 + k);
                memory << QStringLiteral("[$%1].%2=$%3").arg(base + unsigned(k * size / 8), 0, 16)
                              .arg(size == 32 ? QLatin1Char('l') : QLatin1Char('w'))
                              .arg(value, 0, 16);
                const unsigned int extended = size == 32 ? value : (value & 0x8000 ? 0xFFFF0000u | value : value);
                l.values << QStringLiteral("$%1").arg(extended, 0, 16);
            }
            l.memory = memory.join(QLatin1Char(' '));
            return l;
        };
        const auto expected = [](const Loaded& l, const QString& a7Name, const QString& extra) {
            QStringList parts;
            for (int n = 0; n < l.values.size(); ++n) {
                const QString name = n < 8 ? QStringLiteral("D%1").arg(n) : n < 15 ? QStringLiteral("A%1").arg(n - 8) : a7Name;
                parts << name + QLatin1Char('=') + l.values.at(n);
            }
            return parts.join(QLatin1Char(' ')) + QLatin1Char(' ') + extra;
        };
        const auto row = [](const QString& name, const char* code, const QString& before, const QString& after,
                            int steps = 1) {
            QTest::newRow(qPrintable(name)) << QString::fromLatin1(code) << before << after << steps;
        };

        {
            // The stack pointer is the base and not in the list: it ends past the 15 longs.
            const Loaded l = loaded(0x7000, 15, 32, 0xC1);
            row(QStringLiteral("MOVEM.L (A7)+,D0-D7/A0-A6, each register back on undo"), "4CDF 7FFF",
                registers(QStringLiteral("SSP=$7000 USP=$6000 ") + l.memory),
                expected(l, QString(), QStringLiteral("SSP=$703C USP=$6000 PC=$1004")));
        }
        {
            const Loaded l = loaded(0x2000, 15, 16, 0x2);
            row(QStringLiteral("MOVEM.W (A7)+,D0-D7/A0-A6 sign-extends into all, each back on undo"), "4C9F 7FFF",
                registers(QStringLiteral("SSP=$2000 ") + l.memory), expected(l, QString(), QStringLiteral("SSP=$201E")));
        }
        {
            // A7 in the list in supervisor state: SSP loaded, USP untouched.
            const Loaded l = loaded(0x2000, 16, 32, 0xC3);
            row(QStringLiteral("MOVEM.L abs.L,D0-D7/A0-A7 in supervisor state loads SSP"), "4CF9 FFFF 0000 2000",
                registers(QStringLiteral("USP=$6000 ") + l.memory),
                expected(l, QStringLiteral("SSP"), QStringLiteral("USP=$6000 PC=$1008")));
        }
        {
            // The same in user state: USP loaded, SSP untouched.
            const Loaded l = loaded(0x2000, 16, 32, 0xC4);
            row(QStringLiteral("MOVEM.L abs.L,D0-D7/A0-A7 in user state loads USP"), "4CF9 FFFF 0000 2000",
                registers(QStringLiteral("SR=0 USP=$6000 ") + l.memory),
                expected(l, QStringLiteral("USP"), QStringLiteral("SSP=$8000 PC=$1008 SR=0")));
        }
        {
            // A7 both the base and in the list, in user state: it ends past the last long.
            Loaded l = loaded(0x5000, 16, 32, 0xC5);
            l.values.removeLast();
            row(QStringLiteral("MOVEM.L (A7)+,D0-D7/A0-A7 in user state ends at the final address"), "4CDF FFFF",
                registers(QStringLiteral("SR=0 USP=$5000 ") + l.memory),
                expected(l, QString(), QStringLiteral("USP=$5040 SSP=$8000")));
        }
        {
            Loaded l = loaded(0x5000, 16, 16, 0x6);
            l.values.removeLast();
            row(QStringLiteral("MOVEM.W (A7)+,D0-D7/A0-A7 in supervisor state ends at the final address"), "4C9F FFFF",
                registers(QStringLiteral("SSP=$5000 USP=$6000 ") + l.memory),
                expected(l, QString(), QStringLiteral("SSP=$5020 USP=$6000")));
        }
        {
            // A0 the base and in the list: it ends past the last long, the others loaded.
            Loaded l = loaded(0x2000, 16, 32, 0xC7);
            l.values[8] = QStringLiteral("$2040");
            row(QStringLiteral("MOVEM.L (A0)+,D0-D7/A0-A7 in supervisor state"), "4CD8 FFFF",
                registers(QStringLiteral("USP=$6000 A0=$2000 ") + l.memory),
                expected(l, QStringLiteral("SSP"), QStringLiteral("USP=$6000")));
        }
        {
            // d16(A6), the base among the registers loaded.
            const Loaded l = loaded(0x2010, 15, 32, 0xC8);
            row(QStringLiteral("MOVEM.L 16(A6),D0-D7/A0-A6 loads its base too"), "4CEE 7FFF 0010",
                registers(QStringLiteral("A6=$2000 ") + l.memory),
                expected(l, QString(), QStringLiteral("PC=$1006")));
        }
        {
            // Two loads of every register in a row, both taken back.
            Loaded first = loaded(0x7000, 15, 32, 0xC9);
            const Loaded second = loaded(0x703C, 15, 32, 0xCA);
            row(QStringLiteral("two MOVEM.L (A7)+,D0-D7/A0-A6 in a row, both taken back"), "4CDF 7FFF 4CDF 7FFF",
                registers(QStringLiteral("SSP=$7000 ") + first.memory + QLatin1Char(' ') + second.memory),
                expected(second, QString(), QStringLiteral("SSP=$7078 PC=$1008")), 2);
        }
    }
    void moveMultipleToEveryRegister() { CheckRow(); }

    void decimal_data()
    {
        Columns();
        Row("ABCD 19 + 28", "C101", "D0=$19 D1=$28 CCR=4", "D0=$47 CCR=0");
        Row("ABCD 99 + 01 carries, keeps Z, N and V", "C101", "D0=$99 D1=1 CCR=$0E", "D0=0 CCR=$1F");
        Row("ABCD adds X", "C101", "D0=$15 D1=$26 CCR=$10", "D0=$42 CCR=0");
        Row("ABCD -(A1),-(A0)", "C109", "A0=$2001 A1=$3001 [$2000].b=$45 [$3000].b=$55",
            "[$2000].b=0 A0=$2000 A1=$3000 CCR=$11");
        Row("SBCD 47 - 28", "8101", "D0=$47 D1=$28", "D0=$19 CCR=0");
        Row("SBCD 00 - 01 borrows", "8101", "D0=$FF00 D1=1", "D0=$FF99 CCR=$11");
        Row("SBCD subtracts X", "8101", "D0=$50 D1=$20 CCR=$10", "D0=$29 CCR=0");
        Row("SBCD -(A1),-(A0) to zero keeps Z", "8109", "A0=$2001 A1=$3001 [$2000].b=$10 [$3000].b=$10 CCR=4",
            "[$2000].b=0 A0=$2000 A1=$3000 CCR=4");
        Row("NBCD 01", "4800", "D0=1", "D0=$99 CCR=$11");
        Row("NBCD 10", "4800", "D0=$10", "D0=$90 CCR=$11");
        Row("NBCD 00 without X", "4800", "D0=0 CCR=4", "D0=0 CCR=4");
        Row("NBCD (A0) of 00 with X", "4810", "A0=$2000 CCR=$10", "[$2000].b=$99 CCR=$11");
    }
    void decimal() { CheckRow(); }

};

int RunArithmeticTests(int argc, char** argv)
{
    ArithmeticTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_arithmetic.moc"
