// The operand evaluator against the emulator: before every instruction of the test
// programs, where the evaluator says the destination is in memory, the emulator's first
// write for that instruction must land there.
#include "program/SRecordLoader.h"
#include "session/Document.h"
#include "core/EffectiveAddress.h"
#include "core/Emulator.h"

#include <QtTest>

namespace {

const unsigned int branchToItself = 0x60FE;

} // namespace

class OperandsTest : public QObject
{
    Q_OBJECT

private slots:
    void destinationsAreWhereTheEmulatorWrites_data()
    {
        QTest::addColumn<QString>("file");
        const QDir programs(QStringLiteral(EMULATOR_PROGRAMS));
        const QStringList files = programs.entryList({"program_*.hex", "compiled_*.hex"}, QDir::Files, QDir::Name);
        QVERIFY(files.size() >= 8);
        for (const QString& name : files)
            QTest::newRow(qPrintable(name)) << programs.filePath(name);
    }

    void destinationsAreWhereTheEmulatorWrites()
    {
        QFETCH(QString, file);
        Document document;
        SRecordLoader loader(file, document.memory);
        QVERIFY2(loader.Load(), qPrintable(loader.errorMessage));
        Emulator& emulator = *document.emulator;
        emulator.Reset();
        document.emulator->undoList.items.clear();

        int checked = 0;
        for (int step = 0; step < 3000000; ++step) {
            Register& r = *emulator.registers;
            const unsigned int word = document.memory->Read(r.pc, 16);
            if (word == branchToItself)
                break;
            const bool decoded = document.effectiveAddress->Extract();
            const EffectiveAddressItem destination = *document.effectiveAddress->destination;
            const int before = emulator.undoList.items.count();
            emulator.Execute();
            if (!emulator.errorMessage.isEmpty())
                break; // a deliberate stop of the program; taken back, nothing written
            if (!decoded || destination.type != EffectiveAddressItem::Address)
                continue;
            if (emulator.undoList.items.count() == before)
                continue; // a pending trace executes nothing
            const MemoryRecordList& writes = emulator.undoList.items.last()->memory;
            if (writes.isEmpty())
                continue; // a write refused by the keyboard area, or an exception taken first
            ++checked;
            const unsigned int first = writes.at(0).address;
            const unsigned int expected = destination.value & 0xFFFFFF;
            if (first != expected)
                QFAIL(qPrintable(QString("%1 at step %2: %3 ($%4) writes first at $%5, the evaluator says $%6")
                                     .arg(QFileInfo(file).fileName()).arg(step)
                                     .arg(Decoder::KindName(Decoder::KindOf(word))).arg(word, 4, 16, QChar('0'))
                                     .arg(first, 6, 16, QChar('0')).arg(expected, 6, 16, QChar('0'))));
        }
        QVERIFY(checked > 0);
        qInfo("%d memory destinations checked", checked);
    }
};

QTEST_APPLESS_MAIN(OperandsTest)
#include "tst_operands.moc"
