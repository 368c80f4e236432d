// The line model: number formatting, sizes, displacements, register lists, the four fields
// of a line and how the disassembler steps from one instruction to the next.
#include "TestMachine.h"

#include "core/Hex.h"

#include <QtTest>

class FormattingTest : public QObject
{
    Q_OBJECT

private slots:
    void hexa_data()
    {
        QTest::addColumn<uint>("value");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("expected");
        QTest::newRow("zero, no padding") << 0u << 0 << "0";
        QTest::newRow("zero, four digits") << 0u << 4 << "0000";
        QTest::newRow("word") << 0x1234u << 4 << "1234";
        QTest::newRow("upper case") << 0xabcdu << 0 << "ABCD";
        QTest::newRow("wider than width is not cut") << 0x12345u << 4 << "12345";
        QTest::newRow("address field") << 0xabcu << 6 << "000ABC";
        QTest::newRow("all ones") << 0xFFFFFFFFu << 0 << "FFFFFFFF";
        QTest::newRow("long word") << 0x00FF0000u << 8 << "00FF0000";
        QTest::newRow("width past eight digits") << 0x1u << 12 << "000000000001";
        QTest::newRow("width of twenty") << 0xABu << 20 << "000000000000000000AB";
    }
    void hexa()
    {
        QFETCH(uint, value);
        QFETCH(int, width);
        QFETCH(QString, expected);
        QCOMPARE(Disassembler::Hexa(value, width), expected);
    }

    // The fixed fields of the views, the trace and GDB's replies take exactly their width:
    // the low digits of a wider value, in the case asked for, after what the string held.
    void hexFixedFields()
    {
        QString text = QStringLiteral("A=");
        Hex::Append(text, 0x12345u, 4);
        Hex::Append(text, 0xABu, 0);
        Hex::Append(text, 0xABu, -3);
        QCOMPARE(text, QStringLiteral("A=2345"));
        Hex::Append(text, 0xFu, 3);
        QCOMPARE(text, QStringLiteral("A=234500F"));
        QByteArray bytes("$");
        Hex::Append(bytes, 0xDEADBEEFu, 8, Hex::Case::Lower);
        Hex::Append(bytes, 0x1C3u, 2);
        QCOMPARE(bytes, QByteArray("$deadbeefC3"));
        QChar field[5] = {QLatin1Char('x'), QLatin1Char('x'), QLatin1Char('x'), QLatin1Char('x'), QLatin1Char('x')};
        QCOMPARE(Hex::Write(field, 0xBEEFu, 3), field + 3);
        QCOMPARE(QString(field, 5), QStringLiteral("EEFxx"));
        // An ELF segment's end lies past 32 bits when its start is near the top.
        QCOMPARE(Hex::Text(0xFFFFFFFFull + 0x10), QStringLiteral("10000000F"));
        QCOMPARE(Hex::Text(0xFFFFFFFFFFFFFFFFull, 2), QStringLiteral("FFFFFFFFFFFFFFFF"));
    }

    // A digit's value for every character a parser can meet, against Qt's own base-16
    // reading of that character alone; wider characters whose low byte is a digit are none.
    void hexDigitValues()
    {
        for (int c = 0; c < 256; ++c) {
            const QString alone = QChar(ushort(c));
            bool ok = false;
            const int qt = alone.toInt(&ok, 16);
            const int expected = (ok && c != '+' && c != '-' && c < 0x80) ? qt : -1;
            QCOMPARE(Hex::Digit(char(c)), expected);
            QCOMPARE(Hex::Digit(QChar(ushort(c))), expected);
        }
        for (const ushort wide : {ushort(0x0130), ushort(0x0141), ushort(0x0166), ushort(0xFF10), ushort(0xFF41)})
            QCOMPARE(Hex::Digit(QChar(wide)), -1);
    }

    void sizes_data()
    {
        QTest::addColumn<uint>("bits");
        QTest::addColumn<uint>("kind");
        QTest::addColumn<int>("size");
        QTest::addColumn<QString>("suffix");
        QTest::newRow("standard byte") << 0u << 1u << 8 << ".B";
        QTest::newRow("standard word") << 1u << 1u << 16 << ".W";
        QTest::newRow("standard long") << 2u << 1u << 32 << ".L";
        QTest::newRow("standard none") << 3u << 1u << 0 << "";
        QTest::newRow("standard, higher bits ignored") << 0x3C6u << 1u << 32 << ".L";
        QTest::newRow("move none") << 0u << 2u << 0 << "";
        QTest::newRow("move byte") << 1u << 2u << 8 << ".B";
        QTest::newRow("move long") << 2u << 2u << 32 << ".L";
        QTest::newRow("move word") << 3u << 2u << 16 << ".W";
        QTest::newRow("move, opcode shifted by 12") << (0x3E3Cu >> 12) << 2u << 16 << ".W";
        QTest::newRow("bit clear") << 0u << 3u << 16 << ".W";
        QTest::newRow("bit set") << 1u << 3u << 32 << ".L";
        QTest::newRow("bit, only bit 0 counts") << 2u << 3u << 16 << ".W";
        QTest::newRow("kind 0") << 1u << 0u << 0 << "";
        QTest::newRow("kind 4") << 1u << 4u << 0 << "";
    }
    void sizes()
    {
        QFETCH(uint, bits);
        QFETCH(uint, kind);
        QFETCH(int, size);
        QFETCH(QString, suffix);
        TestMachine machine;
        QCOMPARE(Disassembler::Size(bits, kind), size);
        QCOMPARE(machine.disassembler.GetSize(bits, kind), suffix);
    }

    void displacements_data()
    {
        QTest::addColumn<bool>("sixteenBits");
        QTest::addColumn<uint>("word");
        QTest::addColumn<QString>("expected");
        QTest::newRow("d8 largest") << false << 0x7Fu << "$7F";
        QTest::newRow("d8 minus one") << false << 0xFFu << "-$1";
        QTest::newRow("d8 smallest") << false << 0x80u << "-$80";
        QTest::newRow("d8 zero") << false << 0x00u << "$0";
        QTest::newRow("d8 reads the low byte only") << false << 0x1234u << "$34";
        QTest::newRow("d8 negative low byte under a high byte") << false << 0x7F80u << "-$80";
        QTest::newRow("d16 minus eight") << true << 0xFFF8u << "-$8";
        QTest::newRow("d16 smallest") << true << 0x8000u << "-$8000";
        QTest::newRow("d16 largest") << true << 0x7FFFu << "$7FFF";
        QTest::newRow("d16 zero") << true << 0x0000u << "$0";
        QTest::newRow("d16 byte-sized value stays positive") << true << 0x00FFu << "$FF";
    }
    void displacements()
    {
        QFETCH(bool, sixteenBits);
        QFETCH(uint, word);
        QFETCH(QString, expected);
        TestMachine machine;
        const unsigned short w = static_cast<unsigned short>(word);
        QCOMPARE(sixteenBits ? machine.disassembler.GetD16(w) : machine.disassembler.GetD8(w), expected);
    }

    void indexRegister_data()
    {
        QTest::addColumn<uint>("extension");
        QTest::addColumn<QString>("expected");
        QTest::newRow("A1.L") << 0x9800u << "A1.L";
        QTest::newRow("D2.W") << 0x2000u << "D2.W";
        QTest::newRow("D0.W") << 0x0000u << "D0.W";
        QTest::newRow("A7.L with a displacement") << 0xF8FFu << "A7.L";
        QTest::newRow("D7.W") << 0x7000u << "D7.W";
        QTest::newRow("A0.W") << 0x8000u << "A0.W";
        QTest::newRow("bits 10-8 ignored") << 0x1700u << "D1.W";
    }
    void indexRegister()
    {
        QFETCH(uint, extension);
        QFETCH(QString, expected);
        TestMachine machine;
        QCOMPARE(machine.disassembler.GetIndexRegister(static_cast<unsigned short>(extension)), expected);
    }

    void registerList_data()
    {
        QTest::addColumn<uint>("mask");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << 0x0000u << "";
        QTest::newRow("D0") << 0x0001u << "D0";
        QTest::newRow("D0-D1") << 0x0003u << "D0-D1";
        QTest::newRow("D0-D7") << 0x00FFu << "D0-D7";
        QTest::newRow("D0-D1/A0-A3") << 0x0F03u << "D0-D1/A0-A3";
        QTest::newRow("D0/D2/A0/A6") << 0x4105u << "D0/D2/A0/A6";
        QTest::newRow("all") << 0xFFFFu << "D0-D7/A0-A7";
        QTest::newRow("A7 alone") << 0x8000u << "A7";
        QTest::newRow("D7 alone") << 0x0080u << "D7";
        QTest::newRow("runs stop at the D/A boundary") << 0x0180u << "D7/A0";
        QTest::newRow("alternate, even") << 0x5555u << "D0/D2/D4/D6/A0/A2/A4/A6";
        QTest::newRow("alternate, odd") << 0xAAAAu << "D1/D3/D5/D7/A1/A3/A5/A7";
        QTest::newRow("run at the top") << 0x00F0u << "D4-D7";
        QTest::newRow("two runs") << 0x0066u << "D1-D2/D5-D6";
        QTest::newRow("address registers only") << 0x7F00u << "A0-A6";
    }
    void registerList()
    {
        QFETCH(uint, mask);
        QFETCH(QString, expected);
        TestMachine machine;
        QCOMPARE(machine.disassembler.GetRegisterList(static_cast<unsigned short>(mask)), expected);
    }

    void bitHelpers()
    {
        QCOMPARE(Disassembler::Invert(0x0001), 0x8000u);
        QCOMPARE(Disassembler::Invert(0x8000), 0x0001u);
        QCOMPARE(Disassembler::Invert(0x0003), 0xC000u);
        QCOMPARE(Disassembler::Invert(0x7FFF), 0xFFFEu);
        for (unsigned int value = 0; value < 0x10000; ++value) {
            const unsigned int inverted = Disassembler::Invert(static_cast<unsigned short>(value));
            QVERIFY(inverted <= 0xFFFF);
            QCOMPARE(Disassembler::Invert(static_cast<unsigned short>(inverted)), value);
            for (int bit = 0; bit < 16; ++bit)
                QCOMPARE(Disassembler::TestBit(inverted, 15 - bit), Disassembler::TestBit(value, bit));
        }
        QCOMPARE(Disassembler::ExtendSign(static_cast<unsigned char>(0x80)), -128);
        QCOMPARE(Disassembler::ExtendSign(static_cast<unsigned char>(0x7F)), 127);
        QCOMPARE(Disassembler::ExtendSign(static_cast<unsigned short>(0xFFFE)), -2);
        QCOMPARE(Disassembler::ExtendSign(static_cast<unsigned short>(0x7FFF)), 32767);
        QVERIFY(Disassembler::TestBit(0x80000000u, 31));
        QVERIFY(Disassembler::TestBit(0x80000000u, 63));
        QVERIFY(Disassembler::TestBit(0x2u, 33));
        QVERIFY(!Disassembler::TestBit(0x2u, 32));
    }

    // The example listing: each line's four fields, following nextAddress.
    void exampleListing()
    {
        TestMachine machine;
        machine.Store(0x1000, "303C 1234 23FC 12345678 00FF0000 6600 FFF0 4E75 FFFF");
        const QStringList expected = {
            "001000|303C 1234|MOVE.W|#$1234,D0",
            "001004|23FC 12345678 00FF0000|MOVE.L|#$12345678,$FF0000",
            "00100E|6600 FFF0|BNE.W|$1000",
            "001012|4E75|RTS|",
            "001014|FFFF|DC.W|$FFFF",
        };
        Disassembler& d = machine.disassembler;
        unsigned int address = 0x1000;
        for (const QString& line : expected) {
            d.SetStartAddress(address);
            d.Disassemble();
            QCOMPARE(QStringList({ d.addressText, d.machineCode, d.mnemonic, d.operand }).join('|'), line);
            address = d.nextAddress;
        }
        QCOMPARE(address, 0x1016u);
    }

    void longestMachineCodeFillsItsField()
    {
        TestMachine machine;
        machine.Store(0x2000, "23FC 12345678 12345678");
        QCOMPARE(machine.LineAt(0x2000), QStringLiteral("MOVE.L #$12345678,$12345678"));
        QCOMPARE(machine.disassembler.machineCode, QStringLiteral("23FC 12345678 12345678"));
        QCOMPARE(machine.disassembler.machineCode.size(), Disassembler::MachineCodeFieldSize);
        QCOMPARE(machine.disassembler.nextAddress, 0x200Au);
    }

    void startAddressIsMaskedTo24Bits()
    {
        TestMachine machine;
        machine.Store(0x1000, "4E71");
        Disassembler& d = machine.disassembler;
        d.SetStartAddress(0x01001000);
        QCOMPARE(d.startAddress, 0x1000u);
        d.Disassemble();
        QCOMPARE(d.addressText, QStringLiteral("001000"));
        QCOMPARE(d.mnemonic, QStringLiteral("NOP"));
        QCOMPARE(d.nextAddress, 0x1002u);
        d.SetStartAddress(0xFFFFFFFF);
        d.Disassemble();
        QCOMPARE(d.addressText, QStringLiteral("FFFFFF"));
    }

    void undecodedWordsAreDataWords_data()
    {
        QTest::addColumn<uint>("word");
        QTest::addColumn<QString>("operand");
        QTest::newRow("FFFF") << 0xFFFFu << "$FFFF";
        QTest::newRow("A000") << 0xA000u << "$A000";
        QTest::newRow("4E7A") << 0x4E7Au << "$4E7A";
        QTest::newRow("four digits always") << 0x0008u << "$0008";
        QTest::newRow("MOVE.B A0,D0") << 0x1008u << "$1008";
    }
    void undecodedWordsAreDataWords()
    {
        QFETCH(uint, word);
        QFETCH(QString, operand);
        TestMachine machine;
        // A line with operands and extension words first, so that leftovers would show.
        machine.Store(0x3000, "23FC 12345678 12345678");
        machine.LineAt(0x3000);
        machine.Store(0x1000, Disassembler::Hexa(word, 4) + " 1234 5678");
        Disassembler& d = machine.disassembler;
        QCOMPARE(machine.LineAt(0x1000), "DC.W " + operand);
        QCOMPARE(d.machineCode, Disassembler::Hexa(word, 4));
        QCOMPARE(d.nextAddress, 0x1002u);
    }

    void getNextSteps()
    {
        TestMachine machine;
        machine.Store(0x1000, "303C 1234 23FC 12345678 00FF0000 6600 FFF0 4E75 FFFF");
        Disassembler& d = machine.disassembler;
        d.SetStartAddress(0x5000);
        d.Disassemble();
        const QString code = d.machineCode;
        const QString mnemonic = d.mnemonic;
        QCOMPARE(d.GetNext(0x1000, 0), 0x1000u);
        QCOMPARE(d.GetNext(0x1000, -3), 0x1000u);
        // Nothing was decoded: the fields of the last line are untouched.
        QCOMPARE(d.machineCode, code);
        QCOMPARE(d.mnemonic, mnemonic);
        QCOMPARE(d.GetNext(0x1000, 1), 0x1004u);
        QCOMPARE(d.GetNext(0x1000, 3), 0x1012u);
        QCOMPARE(d.GetNext(0x1000, 5), 0x1016u);
        QCOMPARE(d.GetNext(0x1004, 2), 0x1012u);
        // Stepping leaves the displayed line's address fields alone.
        QCOMPARE(d.startAddress, 0x5000u);
        QCOMPARE(d.nextAddress, 0x5004u);
        QCOMPARE(d.addressText, QStringLiteral("005000"));
        // The address is not masked: it reads through the 24-bit wrap and keeps counting.
        QCOMPARE(d.GetNext(0x01001000, 2), 0x0100100Eu);
        QCOMPARE(d.mnemonic, QStringLiteral("MOVE.L"));
    }

    void everyLineReflectsCurrentMemory()
    {
        TestMachine machine;
        machine.Store(0x1000, "303C 1234");
        QCOMPARE(machine.LineAt(0x1000), QStringLiteral("MOVE.W #$1234,D0"));
        machine.Store(0x1002, "ABCD");
        QCOMPARE(machine.LineAt(0x1000), QStringLiteral("MOVE.W #$ABCD,D0"));
        machine.Store(0x1000, "4E75");
        QCOMPARE(machine.LineAt(0x1000), QStringLiteral("RTS"));
        QCOMPARE(machine.disassembler.machineCode, QStringLiteral("4E75"));
        QCOMPARE(machine.disassembler.operand, QString());
    }

    // A view may keep the fields of a line; the next line must not write into them.
    void keptFieldsOfALineStayUnchanged()
    {
        TestMachine machine;
        machine.Store(0x1000, "23FC 12345678 12345678 4E75 0200 12FF");
        Disassembler& d = machine.disassembler;
        machine.LineAt(0x1000);
        const QString code = d.machineCode;
        const QString operand = d.operand;
        const QString address = d.addressText;
        QCOMPARE(machine.LineAt(0x100A), QStringLiteral("RTS"));
        QCOMPARE(code, QStringLiteral("23FC 12345678 12345678"));
        QCOMPARE(operand, QStringLiteral("#$12345678,$12345678"));
        QCOMPARE(address, QStringLiteral("001000"));
        QCOMPARE(machine.LineAt(0x100C), QStringLiteral("ANDI.B #$FF,D0"));
        QCOMPARE(d.machineCode, QStringLiteral("0200 12FF"));
        QCOMPARE(code, QStringLiteral("23FC 12345678 12345678"));
    }

    // The public builders append exactly what the handlers show.
    void addOperandOverloads()
    {
        TestMachine machine;
        Disassembler& d = machine.disassembler;
        machine.Store(0x1000, "0010 FFF8 1234");
        d.currentAddress = 0x1000;
        d.machineCode = QStringLiteral("0000");
        d.operand.clear();
        d.AddOperand(5, 3, QStringLiteral("CCR"), 32);
        QCOMPARE(d.operand, QStringLiteral("$10(A3),CCR"));
        d.AddOperand(QStringLiteral(";"), 4, 7, 32);
        QCOMPARE(d.operand, QStringLiteral("$10(A3),CCR;,-(A7)"));
        d.operand.clear();
        d.AddOperand(5, 6, 7, 4, 16);
        QCOMPARE(d.operand, QStringLiteral("-$8(A6),#$1234"));
        QCOMPARE(d.machineCode, QStringLiteral("0000 0010 FFF8 1234"));
        QCOMPARE(d.currentAddress, 0x1006u);
        // Only the low three bits of mode and register count; mode 7 with 5-7 shows nothing.
        d.operand.clear();
        d.AddOperand(8 + 2, 8 + 1, 32);
        QCOMPARE(d.operand, QStringLiteral("(A1)"));
        d.operand.clear();
        d.AddOperand(7, 5, 32);
        d.AddOperand(7, 4, 0);
        QCOMPARE(d.operand, QString());
        QCOMPARE(d.currentAddress, 0x1006u);
    }
};

int RunFormattingTests(int argc, char** argv)
{
    FormattingTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_formatting.moc"
