// Branches, loops, subroutines, stack frames, the status register and the instructions
// that raise exceptions or need supervisor state.
#include "EmulatorTests.h"
#include "InstructionRows.h"
#include "TestMachine.h"

#include <QtTest>

namespace {

// For each condition code, whether it holds for CCR = 0 to 15 (bits N Z V C), worked out
// by hand from the processor manual's definitions.
const char* const truth[16] = {
    "1111111111111111", // T
    "0000000000000000", // F
    "1010000010100000", // HI
    "0101111101011111", // LS
    "1010101010101010", // CC
    "0101010101010101", // CS
    "1111000011110000", // NE
    "0000111100001111", // EQ
    "1100110011001100", // VC
    "0011001100110011", // VS
    "1111111100000000", // PL
    "0000000011111111", // MI
    "1100110000110011", // GE
    "0011001111001100", // LT
    "1100000000110000", // GT
    "0011111111001111", // LE
};

} // namespace

class ControlTest : public QObject
{
    Q_OBJECT

private slots:
    void conditionsAgreeAcrossBccDBccAndScc()
    {
        for (unsigned int cc = 0; cc < 16; ++cc) {
            for (unsigned int ccr = 0; ccr < 16; ++ccr) {
                const bool holds = truth[cc][ccr] == '1';
                const QString flags = QStringLiteral("CCR=%1 D0=$12340003").arg(ccr);
                // Scc D0
                QString problems = TestMachine::CheckInstruction(QString::number(0x50C0 | (cc << 8), 16), flags,
                                                                 holds ? "D0=$123400FF" : "D0=$12340000");
                // Bcc.S *+$12 (BSR for cc 1 always branches)
                const bool branches = holds || cc == 1;
                problems += TestMachine::CheckInstruction(QString::number(0x6010 | (cc << 8), 16), flags,
                                                          branches ? "PC=$1012" : "PC=$1002");
                // DBcc D0,*-4: a true condition ends the loop without counting
                problems += TestMachine::CheckInstruction(QString::number(0x50C8 | (cc << 8), 16) + " FFFA", flags,
                                                          holds ? "PC=$1004 D0=$12340003" : "PC=$FFC D0=$12340002");
                QVERIFY2(problems.isEmpty(), qPrintable(QStringLiteral("cc %1 CCR %2: %3").arg(cc).arg(ccr).arg(problems)));
            }
        }
    }

    void branches_data()
    {
        Columns();
        Row("BNE.W not taken continues after its word", "6600 00FE", "CCR=4", "PC=$1004");
        Row("BNE.W taken", "6600 00FE", "CCR=0", "PC=$1100");
        Row("BSR.S pushes the next address", "610E", "", "PC=$1010 SSP=$7FFC [$7FFC].l=$1002");
        Row("BSR.W pushes the address after the word", "6100 0100", "", "PC=$1102 SSP=$7FFC [$7FFC].l=$1004");
        Row("BRA.S backwards", "60FC", "", "PC=$FFE");
        Row("BEQ.S with $FF is a displacement of -1", "67FF", "CCR=4", "PC=$1001 error=none");
        Row("BGT with Z=1 N=0 V=1 not taken", "6E0E", "CCR=6", "PC=$1002");
        Row("BLE with Z=1 N=0 V=1 taken", "6F0E", "CCR=6", "PC=$1010");
        Row("DBF with low word 0 falls through", "51C8 FFFA", "D0=$12340000", "D0=$1234FFFF PC=$1004");
        Row("DBF with low word 5 branches", "51C8 FFFA", "D0=5", "D0=4 PC=$FFC");
        Row("DBLE ends on a true condition", "5FC8 000E", "D0=5 CCR=6", "D0=5 PC=$1004");
        Row("SGT with Z=1 N=0 V=1 writes 0", "5EC0", "D0=$FFFFFFFF CCR=6", "D0=$FFFFFF00 CCR=6");
        Row("SLE (A0) writes $FF", "5FD0", "A0=$2000 CCR=6", "[$2000].b=$FF [$2001].b=0");
        Row("JMP (A0)", "4ED0", "A0=$2000", "PC=$2000");
        Row("JMP abs.W", "4EF8 1234", "", "PC=$1234");
        Row("JSR 4(A0) pushes the address after it", "4EA8 0004", "A0=$2000", "PC=$2004 SSP=$7FFC [$7FFC].l=$1004");
        Row("RTS", "4E75", "SSP=$7FFC [$7FFC].l=$2468", "PC=$2468 SSP=$8000");
        Row("RTS in user state pops USP", "4E75", "SR=0 USP=$5FFC [$5FFC].l=$2222", "PC=$2222 USP=$6000 SSP=$8000");
        Row("RTR restores the condition codes only", "4E77", "SSP=$7FFA [$7FFA].w=$FFFF [$7FFC].l=$2468 CCR=0",
            "PC=$2468 SSP=$8000 SR=$271F");
    }
    void branches() { CheckRow(); }

    void frames_data()
    {
        Columns();
        Row("LINK A6,#-8", "4E56 FFF8", "SSP=$7000 A6=$ABCD", "[$6FFC].l=$ABCD A6=$6FFC SSP=$6FF4 PC=$1004");
        Row("LINK A7,#-4 stores the decremented A7", "4E57 FFFC", "", "[$7FFC].l=$7FFC SSP=$7FF8");
        Row("LINK in user state uses USP", "4E56 0000", "SR=0 A6=7", "[$5FFC].l=7 A6=$5FFC USP=$5FFC SSP=$8000");
        Row("UNLK A6", "4E5E", "A6=$6FFC [$6FFC].l=$ABCD", "A6=$ABCD SSP=$7000");
        Row("UNLK A7", "4E5F", "[$8000].l=$5000", "SSP=$5004");
        Row("LINK then UNLK restore A6 and A7", "4E56 FFF0 4E5E", "A6=$1234", "A6=$1234 SSP=$8000 PC=$1006", 2);
    }
    void frames() { CheckRow(); }

    void system_data()
    {
        Columns();
        Row("NOP", "4E71", "CCR=$1F", "PC=$1002 CCR=$1F");
        Row("STOP is two bytes: its word runs next", "4E72 2000", "D0=0 CCR=0", "PC=$1004 CCR=4 SR=$2704", 2);
        Row("STOP followed by NOP", "4E72 4E71", "CCR=$1F", "PC=$1004 SR=$271F", 2);
        Row("STOP in user state is no violation", "4E72", "SR=0", "PC=$1002 vector=-1 SSP=$8000");
        Row("RESET in supervisor state does nothing", "4E70", "", "PC=$1002 vector=-1 SSP=$8000");
        Row("RESET in user state is privileged", "4E70", "SR=0", "vector=8 PC=$3080 [$7FFC].l=$1000 SR=$2000");
        Row("TRAP #3 from user state", "4E71 4E43", "SR=$0315",
            "vector=35 SR=$2315 SSP=$7FFA [$7FFA].w=$0315 [$7FFC].l=$1004 PC=$3230 USP=$6000", 2);
        Row("TRAP #15", "4E4F", "", "vector=47 PC=$32F0 [$7FFC].l=$1002");
        Row("TRAPV with V", "4E76", "CCR=2", "vector=7 PC=$3070 [$7FFC].l=$1002");
        Row("TRAPV without V", "4E76", "CCR=$1D", "vector=-1 PC=$1002 SSP=$8000");
        Row("CHK within bounds", "4181", "D0=5 D1=10 CCR=$1F", "CCR=$1F vector=-1 PC=$1002");
        Row("CHK of a negative word sets N whatever the bound", "4181", "D0=$8000 D1=$7FFF CCR=0",
            "CCR=8 vector=6 PC=$3060 [$7FFC].l=$1002");
        Row("CHK above the bound clears N", "41BC 000A", "D0=11 CCR=$1F", "CCR=$17 vector=6 [$7FFC].l=$1004");
        Row("CHK compares the low word only", "4181", "D0=$FFFF0005 D1=5", "vector=-1");
        Row("ILLEGAL", "4AFC", "", "vector=4 PC=$3040 [$7FFC].l=$1002 [$7FFA].w=$2700");
        Row("MOVE SR,D0 in user state", "40C0", "SR=$1F D0=$FFFFFFFF", "D0=$FFFF001F vector=-1");
        Row("MOVE D0,CCR", "44C0", "D0=$FFFF", "SR=$271F");
        Row("MOVE #$2700,SR in user state is privileged", "46FC 2700", "SR=5",
            "vector=8 [$7FFC].l=$1000 [$7FFA].w=5 SR=$2005 PC=$3080");
        Row("MOVE to SR masks the unused bits", "46FC 5FFF", "", "SR=$071F A7=$6000 PC=$1004");
        Row("ANDI to CCR", "023C 001E", "CCR=$1F", "SR=$271E PC=$1004");
        Row("ORI to CCR keeps five bits", "003C 00F1", "CCR=0", "SR=$2711");
        Row("EORI to CCR", "0A3C 00FF", "CCR=$0F", "SR=$2710");
        Row("ANDI to SR leaves supervisor state", "027C 0700", "CCR=$1F", "SR=$0700 A7=$6000");
        Row("ORI to SR", "007C 0015", "", "SR=$2715");
        Row("EORI to SR", "0A7C 2000", "", "SR=$0700 A7=$6000");
        Row("ANDI to SR in user state is privileged", "027C 0700", "SR=$1F", "vector=8 PC=$3080 [$7FFC].l=$1000");
        Row("MOVE USP,A3", "4E6B", "", "A3=$6000");
        Row("MOVE A3,USP", "4E63", "A3=$1234", "USP=$1234 SSP=$8000");
        Row("MOVE A7,USP copies SSP", "4E67", "", "USP=$8000");
        Row("MOVE USP,A3 in user state is privileged", "4E6B", "SR=0", "vector=8 A3=0 PC=$3080");
        Row("RTE to user state takes the frame from SSP", "4E73", "SSP=$7FFA [$7FFA].w=$0015 [$7FFC].l=$2000",
            "SR=$15 PC=$2000 SSP=$8000 A7=$6000");
        Row("RTE masks the popped SR", "4E73", "SSP=$7FFA [$7FFA].w=$FFFF [$7FFC].l=$2000", "SR=$A71F PC=$2000");
        Row("RTE in user state is privileged", "4E73", "SR=0",
            "vector=8 PC=$3080 SSP=$7FFA [$7FFC].l=$1000 [$7FFA].w=0 SR=$2000");
    }
    void system() { CheckRow(); }

};

int RunControlTests(int argc, char** argv)
{
    ControlTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_control.moc"
