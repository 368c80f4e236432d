// The text of every instruction kind: the assembled forms file, the byte-exact edge cases,
// and the mnemonic that each decoded kind must carry on every one of the 65536 words.
#include "TestMachine.h"

#include <QFile>
#include <QRegularExpression>
#include <QtTest>

namespace {

const unsigned int formsOrigin = 0x1000;

struct Form
{
    int line;
    QString family;
    QString source;
    QString expected;
};

// The instruction lines of the forms file: "<source> | <expected line>", grouped under
// the comment lines that name a family.
QList<Form> ReadForms()
{
    QList<Form> forms;
    QFile file(QStringLiteral(FORMS_SOURCE));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return forms;
    QString family;
    int number = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromLatin1(file.readLine()).trimmed();
        ++number;
        if (line.startsWith(QLatin1Char('|'))) {
            family = line.mid(1).trimmed();
            continue;
        }
        const int bar = line.indexOf(QLatin1Char('|'));
        if (bar < 0)
            continue;
        forms.append({ number, family, line.left(bar).simplified(), line.mid(bar + 1).trimmed() });
    }
    return forms;
}

} // namespace

class InstructionTest : public QObject
{
    Q_OBJECT

private:
    TestMachine machine;
    QByteArray formsImage;

private slots:
    void initTestCase()
    {
        QFile image(QStringLiteral(FORMS_IMAGE));
        QVERIFY2(image.open(QIODevice::ReadOnly), FORMS_IMAGE);
        formsImage = image.readAll();
        QVERIFY(!formsImage.isEmpty());
        machine.StoreBytes(formsOrigin, formsImage);
        QVERIFY(ReadForms().size() > 250);
    }

    // Each line of the forms file in turn; a wrong length shows as the first wrong line.
    void assembledForms_data()
    {
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("actual");
        unsigned int address = formsOrigin;
        for (const Form& form : ReadForms()) {
            const QString actual = machine.LineAt(address);
            address = machine.disassembler.nextAddress;
            QTest::addRow("%s / line %d: %s", qPrintable(form.family), form.line, qPrintable(form.source))
                << form.expected << actual;
        }
    }
    void assembledForms()
    {
        QFETCH(QString, expected);
        QFETCH(QString, actual);
        QCOMPARE(actual, expected);
    }

    void formsCoverTheWholeImage()
    {
        unsigned int address = formsOrigin;
        const QList<Form> forms = ReadForms();
        for (int i = 0; i < forms.size(); ++i) {
            machine.LineAt(address);
            const int length = TestMachine::MachineCodeBytes(machine.disassembler.machineCode);
            QCOMPARE(int(machine.disassembler.nextAddress - address), length);
            QCOMPARE(TestMachine::MachineCodeToBytes(machine.disassembler.machineCode),
                     formsImage.mid(int(address - formsOrigin), length));
            address = machine.disassembler.nextAddress;
        }
        QCOMPARE(int(address - formsOrigin), formsImage.size());
    }

    // Byte-exact cases: machine code, text and length at a given address.
    void exactLines_data()
    {
        QTest::addColumn<uint>("address");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("next");
        // Branches: the target is shown, worked out from the word after the opcode.
        QTest::newRow("BSR.W to itself") << 0x2000u << "6100 FFFE" << "BSR.W $2000" << 0x2004u;
        QTest::newRow("low byte FF is a short branch") << 0x1000u << "60FF" << "BRA.S $1001" << 0x1002u;
        QTest::newRow("short branch below 0") << 0x0000u << "60FC" << "BRA.S $FFFFFFFE" << 0x0002u;
        QTest::newRow("word branch below 0") << 0x0000u << "6100 FFF0" << "BSR.W $FFFFFFF2" << 0x0004u;
        QTest::newRow("DBRA") << 0x1000u << "51C8 FFFC" << "DBRA.W D0,$FFE" << 0x1004u;
        QTest::newRow("DBT") << 0x1000u << "50C9 0010" << "DBT.W D1,$1012" << 0x1004u;
        QTest::newRow("DBRA below 0") << 0x0000u << "51CF 8000" << "DBRA.W D7,$FFFF8002" << 0x0004u;
        QTest::newRow("ST is not DBT") << 0x1000u << "50C0" << "ST.B D0" << 0x1002u;
        // Program-counter relative: the target, not the displacement.
        QTest::newRow("JMP d8(PC,Xn) ignores bit 8") << 0x1000u << "4EFB 0100" << "JMP $1002(PC,D0.W)" << 0x1004u;
        QTest::newRow("d16(PC) below 0") << 0x0000u << "41FA 8000" << "LEA.L $FFFF8002(PC),A0" << 0x0004u;
        QTest::newRow("d8(PC,Xn) below 0") << 0x0000u << "4EFB A880" << "JMP $FFFFFF82(PC,A2.L)" << 0x0004u;
        // Absolute addresses.
        QTest::newRow("absolute short, positive") << 0x1000u << "4EB8 1234" << "JSR $1234.W" << 0x1004u;
        QTest::newRow("absolute long") << 0x1000u << "4EF9 00FF0000" << "JMP $FF0000" << 0x1006u;
        QTest::newRow("absolute long to absolute long")
            << 0x1000u << "23F9 00001000 00002000" << "MOVE.L $1000,$2000" << 0x100Au;
        // Source extension words come before the destination's.
        QTest::newRow("indexed to displaced")
            << 0x1000u << "2170 9804 0010" << "MOVE.L $4(A0,A1.L),$10(A0)" << 0x1006u;
        QTest::newRow("longest line") << 0x1000u << "23FC 12345678 12345678" << "MOVE.L #$12345678,$12345678"
                                      << 0x100Au;
        // Immediates: byte immediates show the low byte, the word is fetched whole.
        QTest::newRow("MOVE.B # high byte ignored") << 0x1000u << "103C AB01" << "MOVE.B #$1,D0" << 0x1004u;
        QTest::newRow("ADDI.L") << 0x1000u << "0680 80000000" << "ADDI.L #$80000000,D0" << 0x1006u;
        QTest::newRow("MOVEA.W #") << 0x1000u << "307C 8000" << "MOVEA.W #$8000,A0" << 0x1004u;
        QTest::newRow("ADDA.L # follows bit 8") << 0x1000u << "D1FC 00010000" << "ADDA.L #$10000,A0" << 0x1006u;
        QTest::newRow("CMPA.W #") << 0x1000u << "B0FC FFFF" << "CMPA.W #$FFFF,A0" << 0x1004u;
        QTest::newRow("BTST Dn,#imm takes one word") << 0x1000u << "013C 0012" << "BTST.B D0,#$12" << 0x1004u;
        QTest::newRow("TST.L # is not decoded") << 0x1000u << "4ABC" << "DC.W $4ABC" << 0x1002u;
        QTest::newRow("ORI to CCR") << 0x1000u << "003C 00FF" << "ORI.B #$FF,CCR" << 0x1004u;
        QTest::newRow("ORI.B #,D0 is not ORI to CCR") << 0x1000u << "0000 0012" << "ORI.B #$12,D0" << 0x1004u;
        // Quick forms.
        QTest::newRow("ADDQ 0 is 8") << 0x1000u << "5088" << "ADDQ.L #$8,A0" << 0x1002u;
        QTest::newRow("SUBQ.W") << 0x1000u << "5B47" << "SUBQ.W #$5,D7" << 0x1002u;
        // Shifts.
        QTest::newRow("ASR.L #8") << 0x1000u << "E087" << "ASR.L #$8,D7" << 0x1002u;
        QTest::newRow("ROXR.B Dn") << 0x1000u << "E230" << "ROXR.B D1,D0" << 0x1002u;
        QTest::newRow("ROL.W memory absolute") << 0x1000u << "E7F8 1000" << "ROL.W $1000.W" << 0x1004u;
        // Register pairs.
        QTest::newRow("MOVE to USP") << 0x1000u << "4E60" << "MOVE.L A0,USP" << 0x1002u;
        // MOVEM: the mask word comes before the effective address's extension words.
        QTest::newRow("MOVEM to predecrement") << 0x1000u << "48E7 FFFE" << "MOVEM.L D0-D7/A0-A6,-(A7)" << 0x1004u;
        QTest::newRow("MOVEM predecrement, one register") << 0x1000u << "48A7 0001" << "MOVEM.W A7,-(A7)" << 0x1004u;
        QTest::newRow("MOVEM control, not reversed") << 0x1000u << "4890 0001" << "MOVEM.W D0,(A0)" << 0x1004u;
        QTest::newRow("MOVEM empty mask") << 0x1000u << "4CD0 0000" << "MOVEM.L (A0)," << 0x1004u;
        QTest::newRow("MOVEP.W 0108") << 0x1000u << "0108 0000" << "MOVEP.W $0(A0),D0" << 0x1004u;
        // Decoder edge cases as the disassembler shows them (more in the forms file).
        QTest::newRow("ILLEGAL, not TAS #") << 0x1000u << "4AFC" << "ILLEGAL" << 0x1002u;
        QTest::newRow("ADD.W A0,D0") << 0x1000u << "D048" << "ADD.W A0,D0" << 0x1002u;
        QTest::newRow("ADD.B A0,D0 is data") << 0x1000u << "D008" << "DC.W $D008" << 0x1002u;
        QTest::newRow("ADDA.W A0,A0") << 0x1000u << "D0C8" << "ADDA.W A0,A0" << 0x1002u;
        QTest::newRow("MOVE.W A0,D0") << 0x1000u << "3008" << "MOVE.W A0,D0" << 0x1002u;
        QTest::newRow("MOVEA.W A0,A0") << 0x1000u << "3048" << "MOVEA.W A0,A0" << 0x1002u;
        QTest::newRow("MOVE.B to A0 is data") << 0x1000u << "1048" << "DC.W $1048" << 0x1002u;
        QTest::newRow("MOVEM to (A0)") << 0x1000u << "4890 8001" << "MOVEM.W D0/A7,(A0)" << 0x1004u;
        QTest::newRow("JMP #imm is data") << 0x1000u << "4EFC" << "DC.W $4EFC" << 0x1002u;
        QTest::newRow("JMP mode 7/5 is data") << 0x1000u << "4EFD" << "DC.W $4EFD" << 0x1002u;
        QTest::newRow("line A") << 0x1000u << "A123" << "DC.W $A123" << 0x1002u;
        QTest::newRow("line F") << 0x1000u << "F000" << "DC.W $F000" << 0x1002u;
    }
    void exactLines()
    {
        QFETCH(uint, address);
        QFETCH(QString, code);
        QFETCH(QString, text);
        QFETCH(uint, next);
        TestMachine local;
        // Words after the instruction that would show if too much were fetched.
        local.Store(address, code + " 4E71 4E71 4E71 4E71 4E71");
        QCOMPARE(local.LineAt(address), text);
        QCOMPARE(local.disassembler.machineCode, code);
        QCOMPARE(local.disassembler.nextAddress, next);
        QCOMPARE(local.disassembler.addressText, Disassembler::Hexa(address, 6));
    }

    // Every decoded word carries its kind's mnemonic, with the suffix its size field asks.
    void everyKindHasItsMnemonic()
    {
        static const QString conditions = QStringLiteral("(T|F|HI|LS|CC|CS|NE|EQ|VC|VS|PL|MI|GE|LT|GT|LE)");
        const QHash<QString, QString> patterns = {
            { "ILLEGAL", "ILLEGAL" }, { "NOP", "NOP" }, { "RESET", "RESET" }, { "RTE", "RTE" }, { "RTR", "RTR" },
            { "RTS", "RTS" }, { "TRAPV", "TRAPV" }, { "ANDItoCCR", "ANDI\\.B" }, { "EORItoCCR", "EORI\\.B" },
            { "ORItoCCR", "ORI\\.B" }, { "ANDItoSR", "ANDI\\.W" }, { "EORItoSR", "EORI\\.W" },
            { "ORItoSR", "ORI\\.W" }, { "STOP", "STOP" }, { "TRAP", "TRAP" }, { "SWAP", "SWAP\\.W" },
            { "UNLK", "UNLK" }, { "EXT", "EXT\\.[WL]" }, { "ABCD", "ABCD\\.B" }, { "SBCD", "SBCD\\.B" },
            { "ADDX", "ADDX%s" }, { "SUBX", "SUBX%s" }, { "CMPM", "CMPM%s" }, { "LINK", "LINK\\.W" },
            { "ADDA", "ADDA\\.[WL]" }, { "CMPA", "CMPA\\.[WL]" }, { "SUBA", "SUBA\\.[WL]" }, { "LEA", "LEA\\.L" },
            { "MULS", "MULS\\.W" }, { "MULU", "MULU\\.W" }, { "DIVS", "DIVS\\.W" }, { "DIVU", "DIVU\\.W" },
            { "CHK", "CHK\\.W" }, { "CMP", "CMP%s" }, { "CLR", "CLR%s" }, { "NEG", "NEG%s" }, { "NEGX", "NEGX%s" },
            { "NOT", "NOT%s" }, { "NBCD", "NBCD\\.B" }, { "MOVEfromSR", "MOVE\\.W" }, { "MOVEtoCCR", "MOVE\\.W" },
            { "MOVEtoSR", "MOVE\\.W" }, { "JMP", "JMP" }, { "JSR", "JSR" }, { "PEA", "PEA\\.L" },
            { "TAS", "TAS\\.B" }, { "TST", "TST%s" }, { "ADD", "ADD%s" }, { "SUB", "SUB%s" }, { "AND", "AND%s" },
            { "OR", "OR%s" }, { "EOR", "EOR%s" }, { "ADDI", "ADDI%s" }, { "ANDI", "ANDI%s" }, { "CMPI", "CMPI%s" },
            { "EORI", "EORI%s" }, { "ORI", "ORI%s" }, { "SUBI", "SUBI%s" }, { "MOVEQ", "MOVEQ\\.L" },
            { "ADDQ", "ADDQ%s" }, { "SUBQ", "SUBQ%s" },
            { "Bcc", "B(RA|SR|HI|LS|CC|CS|NE|EQ|VC|VS|PL|MI|GE|LT|GT|LE)\\.[SW]" },
            { "DBcc", "DB(T|RA|HI|LS|CC|CS|NE|EQ|VC|VS|PL|MI|GE|LT|GT|LE)\\.W" }, { "Scc", "S%c\\.B" },
            { "EXG", "EXG\\.L" }, { "BTST", "BTST\\.[BL]" }, { "BCHG", "BCHG\\.[BL]" }, { "BCLR", "BCLR\\.[BL]" },
            { "BSET", "BSET\\.[BL]" }, { "ASd", "AS[LR]\\.[BWL]" }, { "LSd", "LS[LR]\\.[BWL]" },
            { "ROd", "RO[LR]\\.[BWL]" }, { "ROXd", "ROX[LR]\\.[BWL]" }, { "MOVE", "MOVE\\.[BWL]" },
            { "MOVEA", "MOVEA\\.[WL]" }, { "MOVE_USP", "MOVE\\.L" }, { "MOVEM", "MOVEM\\.[WL]" },
            { "MOVEP", "MOVEP\\.[WL]" },
        };
        QCOMPARE(patterns.size(), int(Decoder::KindCount));
        static const char* const standardSuffix[4] = { ".B", ".W", ".L", "" };
        TestMachine local;
        QVector<int> seen(Decoder::KindCount, 0);
        for (unsigned int word = 0; word < 0x10000; ++word) {
            local.memory.Write(0x1000, word, 16, true);
            const QString text = local.LineAt(0x1000);
            const Decoder::Kind kind = Decoder::KindOf(word);
            const QString& mnemonic = local.disassembler.mnemonic;
            if (kind == Decoder::NoKind) {
                QCOMPARE(text, "DC.W $" + Disassembler::Hexa(word, 4));
                continue;
            }
            ++seen[kind];
            QString pattern = patterns.value(QLatin1String(Decoder::KindName(kind)));
            pattern.replace(QLatin1String("%s"), QRegularExpression::escape(standardSuffix[(word >> 6) & 3]));
            pattern.replace(QLatin1String("%c"), conditions);
            QVERIFY2(QRegularExpression("^" + pattern + "$").match(mnemonic).hasMatch(),
                     qPrintable(QStringLiteral("%1: %2 is %3").arg(Disassembler::Hexa(word, 4), text,
                                                                 QLatin1String(Decoder::KindName(kind)))));
            // Bits 11-8 name the condition of the three conditional kinds.
            if (kind == Decoder::Kind_Scc || kind == Decoder::Kind_DBcc || kind == Decoder::Kind_Bcc) {
                static const char* const names[16] = { "T", "F", "HI", "LS", "CC", "CS", "NE", "EQ",
                                                       "VC", "VS", "PL", "MI", "GE", "LT", "GT", "LE" };
                QString condition = QLatin1String(names[(word >> 8) & 15]);
                if (kind == Decoder::Kind_Bcc)
                    condition = ((word >> 8) & 15) == 0 ? "RA" : ((word >> 8) & 15) == 1 ? "SR" : condition;
                if (kind == Decoder::Kind_DBcc && ((word >> 8) & 15) == 1)
                    condition = QStringLiteral("RA");
                QCOMPARE(mnemonic.mid(kind == Decoder::Kind_Scc ? 1 : kind == Decoder::Kind_DBcc ? 2 : 1,
                                      condition.size()),
                         condition);
            }
        }
        for (int kind = 0; kind < Decoder::KindCount; ++kind)
            QVERIFY2(seen[kind] > 0, Decoder::KindName(Decoder::Kind(kind)));
    }
};

int RunInstructionTests(int argc, char** argv)
{
    InstructionTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_instructions.moc"
