// Agreement with a real peer, objdump for the plain 68000: which words are instructions and
// how long they are, for every first word and through a compiled program. Where the two
// disagree, the 68000 as this system knows it holds; each kind of disagreement is listed
// below with its reason, so that no other one can appear unseen.
#include "TestMachine.h"

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Every first word in a slot of its own, followed by four words of NOP: an instruction
// takes at most four extension words, and objdump reads whatever it leaves over as NOPs,
// so every slot starts an instruction for both disassemblers.
const int slotSize = 10;
const unsigned int filler = 0x4E71;

struct ExpectedDifference
{
    const char* name;
    const char* reason;
    bool (*covers)(unsigned int word);
    bool oursIsInstruction;
    bool objdumpIsInstruction;
    int count;
};

const ExpectedDifference expectedDifferences[] = {
    { "Coprocessor words of line F",
      "objdump still decodes the 68881 FPU and 68851 PMMU branch, save and restore forms (FBcc, PBcc, "
      "FSAVE, FRESTORE, PSAVE, PRESTORE) when told the processor is a 68000. The 68000 has no coprocessor "
      "interface: every word whose top four bits are 1111 raises the line 1111 emulator exception, so it is "
      "a data word here.",
      [](unsigned int word) { return (word & 0xF000) == 0xF000; }, false, true, 236 },
    { "SUBQ.B to an address register",
      "objdump accepts SUBQ.B #q,An (while it refuses ADDQ.B #q,An). A byte operation on an address "
      "register does not exist on the 68000, for SUBQ as for ADDQ, so these words are data words.",
      [](unsigned int word) { return (word & 0xF1F8) == 0x5108; }, false, true, 64 },
    { "SWBEG",
      "objdump shows 0x4AFD as swbeg.l, an assembler marker for switch tables of System V tools, not a 68000 "
      "instruction: as TAS with effective-address mode 7 and register 5 it is undefined, hence a data word.",
      [](unsigned int word) { return word == 0x4AFD; }, false, true, 1 },
};

struct ObjdumpLine
{
    unsigned int address;
    QString text;
};

// Runs objdump and keeps the address and text of every line that starts an instruction;
// the continuation lines of long instructions carry no text and are left out.
QList<ObjdumpLine> RunObjdump(const QStringList& arguments, QString* error)
{
    QProcess process;
    process.start(QStringLiteral(M68K_OBJDUMP), arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        *error = QStringLiteral("objdump failed: ") + QString::fromLocal8Bit(process.readAllStandardError());
        return {};
    }
    QList<ObjdumpLine> lines;
    const QByteArray output = process.readAllStandardOutput();
    for (const QByteArray& line : output.split('\n')) {
        const QList<QByteArray> fields = line.split('\t');
        if (fields.size() < 3 || !fields[0].endsWith(':'))
            continue;
        bool ok = false;
        const unsigned int address = fields[0].trimmed().chopped(1).toUInt(&ok, 16);
        if (ok)
            lines.append({ address, QString::fromLatin1(fields[2]).trimmed() });
    }
    return lines;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class PeerTest : public QObject
{
    Q_OBJECT

private slots:
    void everyFirstWordAgreesWithObjdump()
    {
        QByteArray image(0x10000 * slotSize, 0);
        for (unsigned int word = 0; word < 0x10000; ++word) {
            char* slot = image.data() + word * slotSize;
            slot[0] = char(word >> 8);
            slot[1] = char(word);
            for (int i = 2; i < slotSize; i += 2) {
                slot[i] = char(filler >> 8);
                slot[i + 1] = char(filler & 0xFF);
            }
        }
        QTemporaryDir directory;
        QVERIFY(directory.isValid());
        const QString path = directory.filePath(QStringLiteral("words.bin"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(image), qint64(image.size()));
        file.close();

        QString error;
        const QList<ObjdumpLine> lines =
            RunObjdump({ "-D", "-b", "binary", "-m", "m68k:68000", path }, &error);
        QVERIFY2(!lines.isEmpty(), qPrintable(error));
        QMap<unsigned int, int> lineAt;
        for (int i = 0; i < lines.size(); ++i)
            lineAt.insert(lines[i].address, i);

        TestMachine machine;
        machine.StoreBytes(0, image);
        Disassembler& d = machine.disassembler;

        const int classes = int(sizeof expectedDifferences / sizeof expectedDifferences[0]);
        QVector<int> matched(classes, 0);
        QStringList unexpected;
        int compared = 0;
        for (unsigned int word = 0; word < 0x10000; ++word) {
            const unsigned int start = word * slotSize;
            d.SetStartAddress(start);
            d.Disassemble();
            const bool ours = d.mnemonic != QLatin1String("DC.W");
            const int ourLength = int(d.nextAddress - start);

            const auto found = lineAt.constFind(start);
            if (found == lineAt.constEnd()) {
                unexpected << QStringLiteral("%1: objdump starts no instruction there").arg(Disassembler::Hexa(word, 4));
                continue;
            }
            const int index = found.value();
            const bool theirs = !lines[index].text.startsWith(QLatin1String(".short"));
            const unsigned int end = index + 1 < lines.size() ? lines[index + 1].address : unsigned(image.size());
            const int theirLength = int(end - start);
            ++compared;
            if (ours == theirs && (!ours || ourLength == theirLength))
                continue;

            bool explained = false;
            for (int c = 0; c < classes && !explained; ++c) {
                const ExpectedDifference& e = expectedDifferences[c];
                if (e.covers(word) && e.oursIsInstruction == ours && e.objdumpIsInstruction == theirs) {
                    ++matched[c];
                    explained = true;
                }
            }
            if (!explained) {
                unexpected << QStringLiteral("%1: ours \"%2\" (%3 bytes), objdump \"%4\" (%5 bytes)")
                                  .arg(Disassembler::Hexa(word, 4), TestMachine::Text(d))
                                  .arg(ourLength)
                                  .arg(lines[index].text)
                                  .arg(theirLength);
            }
        }
        QCOMPARE(compared, 0x10000);
        if (!unexpected.isEmpty()) {
            const int shown = qMin(int(unexpected.size()), 40);
            QFAIL(qPrintable(QStringLiteral("%1 unexplained differences, the first %2:\n")
                                 .arg(unexpected.size())
                                 .arg(shown)
                             + unexpected.mid(0, shown).join('\n')));
        }
        // Each listed difference still occurs, exactly as often as listed.
        for (int c = 0; c < classes; ++c) {
            QVERIFY2(matched[c] == expectedDifferences[c].count,
                     qPrintable(QStringLiteral("%1: %2 words, %3 listed")
                                    .arg(QLatin1String(expectedDifferences[c].name))
                                    .arg(matched[c])
                                    .arg(expectedDifferences[c].count)));
        }
    }

    // A program compiled for the 68000: both disassemblers walk its text section from the
    // first byte to the last and must start their instructions at the same addresses.
    void compiledProgramBoundariesFollowObjdump()
    {
        const QByteArray text = ReadFile(QStringLiteral(PROGRAM_TEXT));
        QVERIFY2(text.size() > 256, PROGRAM_TEXT);
        QString error;
        const QList<ObjdumpLine> lines =
            RunObjdump({ "-d", "-j", ".text", "-m", "m68k:68000", QStringLiteral(PROGRAM_OBJECT) }, &error);
        QVERIFY2(!lines.isEmpty(), qPrintable(error));

        TestMachine machine;
        machine.StoreBytes(0, text);
        Disassembler& d = machine.disassembler;
        unsigned int address = 0;
        int index = 0;
        while (address < unsigned(text.size())) {
            QVERIFY2(index < lines.size(), qPrintable(QStringLiteral("objdump stops before %1").arg(address, 0, 16)));
            d.SetStartAddress(address);
            d.Disassemble();
            QVERIFY2(lines[index].address == address,
                     qPrintable(QStringLiteral("at %1 ours \"%2\", objdump's next instruction at %3: \"%4\"")
                                    .arg(address, 0, 16)
                                    .arg(TestMachine::Text(d))
                                    .arg(lines[index].address, 0, 16)
                                    .arg(lines[index].text)));
            QVERIFY2(d.mnemonic != QLatin1String("DC.W"),
                     qPrintable(QStringLiteral("at %1 objdump \"%2\"").arg(address, 0, 16).arg(lines[index].text)));
            address = d.nextAddress;
            ++index;
        }
        QCOMPARE(address, unsigned(text.size()));
        QCOMPARE(index, lines.size());
    }
};

int RunPeerTests(int argc, char** argv)
{
    PeerTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_peer.moc"
