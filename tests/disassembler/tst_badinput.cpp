// Input that must not break the disassembler: every word, also where its extension words
// run past the top of the address space, and arbitrary contents of all 16 MiB.
#include "TestMachine.h"

#include <QtTest>

namespace {

// The checks that hold for every line, whatever the memory holds: the fields fit their
// columns, the machine code is well formed and as long as the step to the next address.
// Returns an empty string when all hold.
QString CheckLine(const Disassembler& d, unsigned int start)
{
    const int length = int(d.nextAddress - start);
    if (length < 2 || length > 10 || (length & 1))
        return QStringLiteral("length %1").arg(length);
    if (d.machineCode.size() > Disassembler::MachineCodeFieldSize || d.mnemonic.size() > Disassembler::MnemonicFieldSize
        || d.operand.size() > Disassembler::OperandFieldSize || d.mnemonic.isEmpty())
        return QStringLiteral("fields too wide");
    if (d.addressText.size() != Disassembler::AddressFieldSize)
        return QStringLiteral("address field");
    int digits = 0;
    int group = 0;
    for (const QChar c : d.machineCode) {
        if (c == QLatin1Char(' ')) {
            if (group != 4 && group != 8)
                return QStringLiteral("machine code group of %1 digits").arg(group);
            group = 0;
        } else if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))) {
            ++digits;
            ++group;
        } else {
            return QStringLiteral("machine code character");
        }
    }
    if (group != 4 && group != 8)
        return QStringLiteral("machine code group of %1 digits").arg(group);
    if (digits != 2 * length)
        return QStringLiteral("machine code of %1 digits for %2 bytes").arg(digits).arg(length);
    const bool decoded = Decoder::KindOf(d.opcode) != Decoder::NoKind;
    if (decoded == (d.mnemonic == QLatin1String("DC.W")))
        return QStringLiteral("data word and decoder disagree");
    return QString();
}

QString Describe(const Disassembler& d, unsigned int start, const QString& problem)
{
    return QStringLiteral("at %1: %2 | %3 %4: %5")
        .arg(start, 0, 16)
        .arg(d.machineCode, d.mnemonic, d.operand, problem);
}

} // namespace

class BadInputTest : public QObject
{
    Q_OBJECT

private slots:
    // Every word at and near the top of memory, with its extension words taken from the
    // wrapped addresses 0, 2, ... as Memory::Read hands them out.
    void everyWordAtTheTopOfMemory()
    {
        TestMachine machine;
        Disassembler& d = machine.disassembler;
        const unsigned int starts[] = { 0xFFFFFF, 0xFFFFFE, 0xFFFFFC, 0xFFFFFA, 0xFFFFF8 };
        for (int pattern = 0; pattern < 2; ++pattern) {
            // All ones (negative displacements, long immediates) and a running pattern.
            for (unsigned int i = 0; i < 16; ++i) {
                const unsigned int value = pattern == 0 ? 0xFF : 0x80 + 0x11 * i;
                machine.memory.Write(i, value, 8, true);
                machine.memory.Write(0xFFFFF0 + i, value, 8, true);
            }
            for (unsigned int start : starts) {
                for (unsigned int word = 0; word < 0x10000; ++word) {
                    machine.memory.Write(start, word, 16, true);
                    d.SetStartAddress(start);
                    d.Disassemble();
                    const QString problem = CheckLine(d, start);
                    if (!problem.isEmpty())
                        QFAIL(qPrintable(Describe(d, start, problem)));
                    const int length = int(d.nextAddress - start);
                    if (d.opcode != word || TestMachine::MachineCodeToBytes(d.machineCode) != machine.Bytes(start, length))
                        QFAIL(qPrintable(Describe(d, start, QStringLiteral("not the bytes in memory"))));
                }
            }
        }
        // The line after the top continues above 0xFFFFFF, and stepping from there reads
        // the wrapped addresses.
        machine.Store(0xFFFFFE, "23FC");
        machine.Store(0x000000, "12345678 9ABCDEF0 4E75");
        QCOMPARE(machine.LineAt(0xFFFFFE), QStringLiteral("MOVE.L #$12345678,$9ABCDEF0"));
        QCOMPARE(d.nextAddress, 0x1000008u);
        QCOMPARE(d.GetNext(0xFFFFFE, 2), 0x100000Au);
        QCOMPARE(d.mnemonic, QStringLiteral("RTS"));
        QCOMPARE(machine.LineAt(d.nextAddress), QStringLiteral("RTS"));
        QCOMPARE(d.addressText, QStringLiteral("000008"));
    }

    // Pseudo-random contents in all 16 MiB, walked line by line from address 0 past the top,
    // then from an odd address through the first MiB.
    void randomMemoryEverywhere()
    {
        TestMachine machine;
        Disassembler& d = machine.disassembler;
        unsigned int seed = 0x2468ACE1u;
        for (unsigned int address = 0; address <= Memory::addressMask; ++address) {
            seed = seed * 1664525u + 1013904223u;
            machine.memory.buffer.At(address) = static_cast<unsigned char>(seed >> 24);
        }
        struct Walk
        {
            unsigned int from;
            unsigned int to;
        };
        const Walk walks[] = { { 0, 0x1000000 }, { 1, 0x100000 } };
        for (const Walk& walk : walks) {
            int lines = 0;
            int dataWords = 0;
            unsigned int address = walk.from;
            while (address < walk.to) {
                d.SetStartAddress(address);
                d.Disassemble();
                const QString problem = CheckLine(d, address);
                if (!problem.isEmpty())
                    QFAIL(qPrintable(Describe(d, address, problem)));
                const unsigned int next = d.nextAddress;
                if (lines % 997 == 0) {
                    const int length = int(next - address);
                    if (TestMachine::MachineCodeToBytes(d.machineCode) != machine.Bytes(address, length))
                        QFAIL(qPrintable(Describe(d, address, QStringLiteral("not the bytes in memory"))));
                    if (d.GetNext(address, 1) != next)
                        QFAIL(qPrintable(Describe(d, address, QStringLiteral("GetNext steps elsewhere"))));
                }
                dataWords += d.mnemonic == QLatin1String("DC.W");
                ++lines;
                address = next;
            }
            // Random words are both instructions and data words in good number.
            QVERIFY(lines > int((walk.to - walk.from) / 10));
            QVERIFY(dataWords > lines / 50);
            QVERIFY(dataWords < lines / 2);
        }
    }
};

int RunBadInputTests(int argc, char** argv)
{
    BadInputTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_badinput.moc"
