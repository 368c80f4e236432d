// Logical instructions, shifts and rotates, single-bit instructions.
#include "EmulatorTests.h"
#include "InstructionRows.h"
#include "TestMachine.h"

#include <QtTest>

class LogicTest : public QObject
{
    Q_OBJECT

private slots:
    void logical_data()
    {
        Columns();
        Row("AND.W D1,D0 to zero keeps X", "C041", "D0=$FFFF0F0F D1=$12348080 CCR=$13", "D0=$FFFF0000 CCR=$14");
        Row("AND.L D0,(A0)", "C190", "D0=$FF00FF00 A0=$2000 [$2000].l=$F0F0F0F0", "[$2000].l=$F000F000 CCR=8");
        Row("OR.B (A0),D0", "8010", "D0=$12345601 A0=$2000 [$2000].b=$80", "D0=$12345681 CCR=8");
        Row("OR.W D0,(A0)", "8150", "D0=2 A0=$2000 [$2000].w=1", "[$2000].w=3 CCR=0");
        Row("EOR.L D1,D0", "B380", "D0=$FFFFFFFF D1=$FFFFFFFF CCR=3", "D0=0 CCR=4");
        Row("EOR.B D0,(A0)+", "B118", "D0=$FF A0=$2000 [$2000].b=$0F", "[$2000].b=$F0 A0=$2001 CCR=8");
        Row("ANDI.B #$0F,D0", "0200 000F", "D0=$123456F0", "D0=$12345600 CCR=4 PC=$1004");
        Row("ORI.W #$8000,(A0)", "0050 8000", "A0=$2000 [$2000].w=1", "[$2000].w=$8001 CCR=8");
        Row("EORI.L #-1,D0", "0A80 FFFF FFFF", "D0=$0F0F0F0F", "D0=$F0F0F0F0 CCR=8 PC=$1006");
        Row("NOT.B D0", "4600", "D0=$FFFFFF12", "D0=$FFFFFFED CCR=8");
        Row("NOT.L (A0)", "4690", "A0=$2000 [$2000].l=$FFFFFFFF CCR=$13", "[$2000].l=0 CCR=$14");
    }
    void logical() { CheckRow(); }

    void shiftRegister_data()
    {
        Columns();
        Row("LSL.B #1 of $81 keeps the upper bits", "E308", "D0=$FFFFFF81", "D0=$FFFFFF02 CCR=$11");
        Row("ASL.B #1 of $40 never sets V", "E300", "D0=$40", "D0=$80 CCR=8");
        Row("ASL.L #8 keeps V clear", "E180", "D0=$01FF0000", "D0=$FF000000 CCR=$19");
        Row("ASR.W by a register count of 20", "E260", "D0=$8000 D1=20", "D0=$FFFF CCR=$19");
        Row("ASR.B #8 of $80", "E000", "D0=$80", "D0=$FF CCR=$19");
        Row("LSR.L by 32 shifts out bit 31 last", "E2A8", "D0=$80000000 D1=32", "D0=0 CCR=$15");
        Row("LSR.L by 33 shifts out a zero", "E2A8", "D0=$80000000 D1=33 CCR=$1F", "D0=0 CCR=4");
        Row("LSR.W #3", "E648", "D0=$FFFF000C", "D0=$FFFF0001 CCR=$11");
        Row("LSL.W by 64 is a count of 0", "E368", "D0=$1234 D1=64 CCR=$1F", "D0=$1234 CCR=$10");
        Row("ROXL.W by 64 copies X into C", "E370", "D0=$8000 D1=64 CCR=$10", "D0=$8000 CCR=$19");
        Row("ROL.B #8 leaves the byte, C is its bit 0", "E118", "D0=$81", "D0=$81 CCR=9");
        Row("ROL.W by 17 rotates by 1", "E378", "D0=$8001 D1=17 CCR=$10", "D0=3 CCR=$11");
        Row("ROR.L #4 keeps X", "E898", "D0=$12345678 CCR=$10", "D0=$81234567 CCR=$19");
        Row("ROR.B by 16 rotates by 0", "E238", "D0=$81 D1=16", "D0=$81 CCR=9");
        Row("ROXR.W #1 brings X in at the top", "E250", "D0=0 CCR=$10", "D0=$8000 CCR=8");
        Row("ROXL.B #1 sends the top into X", "E310", "D0=$80", "D0=0 CCR=$15");
        Row("ROXR.B by 9 rotates through the whole 9 bits", "E230", "D0=$5A D1=9 CCR=$10", "D0=$5A CCR=$11");
    }
    void shiftRegister() { CheckRow(); }

    void shiftMemory_data()
    {
        Columns();
        Row("ASL.W (A0)", "E1D0", "A0=$2000 [$2000].w=$C000", "[$2000].w=$8000 CCR=$19");
        Row("ASR.W (A0) keeps the sign", "E0D0", "A0=$2000 [$2000].w=$8001", "[$2000].w=$C000 CCR=$19");
        Row("LSL.W (A0)", "E3D0", "A0=$2000 [$2000].w=$4000", "[$2000].w=$8000 CCR=8");
        Row("LSR.W (A0)", "E2D0", "A0=$2000 [$2000].w=$8001", "[$2000].w=$4000 CCR=$11");
        Row("ROL.W (A0) keeps X", "E7D0", "A0=$2000 [$2000].w=$8001", "[$2000].w=3 CCR=1");
        Row("ROR.W (A0)", "E6D0", "A0=$2000 [$2000].w=1", "[$2000].w=$8000 CCR=9");
        Row("ROXL.W (A0) through X", "E5D0", "A0=$2000 [$2000].w=$8000 CCR=$10", "[$2000].w=1 CCR=$11");
        Row("ROXR.W (A0) through X", "E4D0", "A0=$2000 [$2000].w=1", "[$2000].w=0 CCR=$15");
    }
    void shiftMemory() { CheckRow(); }

    void bits_data()
    {
        Columns();
        Row("BSET #9,(A0) sets bit 1 of the byte", "08D0 0009", "A0=$2000", "[$2000].b=2 CCR=4 PC=$1004");
        Row("BSET #9,D0 sets bit 9", "08C0 0009", "D0=0", "D0=$200 CCR=4");
        Row("BTST D1,D0 takes the bit number modulo 32", "0300", "D0=8 D1=35 CCR=$1F", "CCR=$1B");
        Row("BCHG D1,(A0) takes the bit number modulo 8", "0350", "D1=$0F A0=$2000 [$2000].b=$80 CCR=4",
            "[$2000].b=0 CCR=0");
        Row("BCLR #31,D0", "0880 001F", "D0=$80000001", "D0=1 CCR=0");
        Row("BTST D1,#$0F tests the immediate's low byte", "033C 000F", "D1=11", "CCR=0 PC=$1004");
        Row("BTST #3,4(A0) reads the bit number first", "0828 0003 0004", "A0=$2000 [$2004].b=8",
            "CCR=0 PC=$1006");
        Row("TAS (A0) of zero", "4AD0", "A0=$2000 CCR=$13", "[$2000].b=$80 CCR=$14");
        Row("TAS D0 of a negative byte", "4AC0", "D0=$FFFFFF81", "D0=$FFFFFF81 CCR=8");
    }
    void bits() { CheckRow(); }

};

int RunLogicTests(int argc, char** argv)
{
    LogicTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_logic.moc"
