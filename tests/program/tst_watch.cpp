// Watchpoints, conditions, running backwards and who wrote this, on a real program: the
// stores through (A0)+ and MOVEM, the comparison that reads a variable, a loop stopped at
// the right pass, and each kind of hit found again going backwards.
#include "core/Calculator.h"
#include "core/Condition.h"
#include "session/Document.h"
#include "session/Emulation.h"
#include "core/Emulator.h"
#include "core/HistorySearch.h"
#include "core/Memory.h"
#include "core/WatchpointIndex.h"
#include "session/ProgramLoader.h"
#include "program/SymbolTable.h"

#include <QtTest>

#include <memory>

class WatchTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Document> document;

    unsigned int At(const char* name) const
    {
        const SymbolTable::Symbol* s = document->symbols->Find(QString::fromLatin1(name));
        if (!s)
            qFatal("no symbol %s", name);
        return s->address;
    }
    Register& R() { return *document->emulator->registers; }
    unsigned int Byte(unsigned int a) { return document->memory->Read(a, 8); }

    int Run(EmulationMode mode)
    {
        document->mode = mode;
        Emulation emulation(document.get());
        return emulation.StartEmulation();
    }

    // Runs forwards to the end of the program, where it branches to itself.
    void RunToDone()
    {
        document->AddAddressBreakpoint(At("done"));
        QCOMPARE(Run(RunMode), int(AddressBreak));
        document->RemoveAllAddressBreakpoints();
    }

    void Watch(unsigned int address, unsigned int length, WatchKind kind)
    {
        document->watchpoints.clear();
        document->watchpoints << Watchpoint(address, length, kind);
    }

    bool Condition(unsigned int address, const QString& text, int ignore = 0)
    {
        BreakpointCondition c;
        c.ignoreCount = ignore;
        if (!text.isEmpty() && !c.condition.Parse(text, document->conditionCalculator))
            return false;
        document->AddAddressBreakpoint(address);
        document->conditions.insert(address, c);
        return true;
    }

private slots:
    void init()
    {
        document.reset(new Document);
        ProgramLoader loader(QStringLiteral(PROGRAM_IMAGES "/watch.elf"), document.get());
        QVERIFY2(loader.Load(), qPrintable(loader.errorMessage));
        document->emulator->Reset();
    }

    // Writes through (A0)+ and MOVEM, a read by CMP; each stops after its instruction with
    // the values seen; quick runs and the runs without breakpoints pass them by.
    void watchpointsStopAfterTheAccess()
    {
        Watch(At("buffer") + 3, 1, WatchWrite);
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(R().pc, At("fill") + 2);
        QCOMPARE(Byte(At("buffer") + 3), 3u);
        const WatchHit& h = document->watchHit;
        QCOMPARE(h.instruction, At("fill"));
        QCOMPARE(h.address, At("buffer") + 3);
        QCOMPARE(h.oldValue, 0u);
        QCOMPARE(h.newValue, 3u);
        const QString message = document->WatchHitMessage();
        QVERIFY2(message.contains(QStringLiteral("MOVE.B D0,(A0)+")) && message.contains(QStringLiteral("a écrit $03")),
                 qPrintable(message));

        // A range over the second long word that MOVEM stores, D1 = 0 then.
        Watch(At("saved") + 6, 4, WatchAccess);
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(document->watchHit.instruction, At("fill") + 10);
        QCOMPARE(document->watchHit.access, WatchWrite);
        QCOMPARE(document->memory->Read(At("saved") + 4, 32), R().d[1]);

        // The comparison reads the limit; the fetch of its own words is no read.
        Watch(At("limit"), 2, WatchRead);
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(document->watchHit.access, WatchRead);
        QCOMPARE(document->watchHit.newValue, 5u);
        QCOMPARE(R().d[1], 1u);
        Watch(At("count"), 2, WatchRead);
        QCOMPARE(Run(StepIntoMode), int(Done));

        // A step stops too; a step without breakpoints, a disabled one and a quick run do not.
        Watch(At("limit"), 1, WatchRead);
        while (R().pc != At("count") + 2)
            QCOMPARE(Run(StepIntoMode), int(Done));
        QCOMPARE(Run(StepIntoMode), int(WatchpointHit));
        while (R().pc != At("count") + 2)
            Run(StepIntoNoBreakMode);
        QCOMPARE(Run(StepIntoNoBreakMode), int(Done));
        document->watchpoints.first().enabled = false;
        document->AddAddressBreakpoint(At("done"));
        QCOMPARE(Run(RunMode), int(AddressBreak));
        QCOMPARE(R().d[1], 5u);
        QCOMPARE(Byte(0xFFB500), 0xC0u);
    }

    // Conditions stop a loop at the right pass, with memory reads, ignore counts, and a
    // division by zero that stops and says so; typed wrong, they point at the fault.
    void conditionsStopTheLoopAtTheRightPass()
    {
        QVERIFY(Condition(At("count"), QStringLiteral("d1==3")));
        QCOMPARE(Run(RunMode), int(AddressBreak));
        QCOMPARE(R().d[1], 3u);
        document->RemoveAllAddressBreakpoints();
        init();
        QVERIFY(Condition(At("count"), QStringLiteral("d1>=1 && [limit].w==d1+3 || d1==4"), 0));
        QCOMPARE(Run(RunMode), int(AddressBreak));
        QCOMPARE(R().d[1], 2u);
        document->RemoveAllAddressBreakpoints();
        init();
        QVERIFY(Condition(At("count"), QString(), 3));
        QCOMPARE(Run(RunMode), int(AddressBreak));
        QCOMPARE(R().d[1], 3u);
        document->RemoveAllAddressBreakpoints();
        init();
        R().d[2] = 0;
        QVERIFY(Condition(At("count"), QStringLiteral("d1/d2==1")));
        QCOMPARE(Run(RunMode), int(AddressBreak));
        QVERIFY(document->stopMessage.contains(QStringLiteral("divise par zéro")));

        struct Bad
        {
            const char* text;
            int start;
            int end;
        };
        for (const Bad& bad : {Bad{"", 0, 0}, Bad{"d1==", 4, 4}, Bad{"d1=3", 0, 4}, Bad{"d1<=<3", 4, 5},
                               Bad{"d1==3 && q", 9, 10}, Bad{"[a0].x==1", 0, 6}, Bad{"(d1==3", 0, 6}}) {
            ::Condition c;
            QVERIFY2(!c.Parse(QString::fromLatin1(bad.text), document->conditionCalculator), bad.text);
            QCOMPARE(QString("%1-%2").arg(c.errorStart).arg(c.errorEnd), QString("%1-%2").arg(bad.start).arg(bad.end));
        }
        ::Condition c;
        QVERIFY(c.Parse(QString(1000, QLatin1Char('1')).replace(500, 2, QStringLiteral("==")),
                        document->conditionCalculator));
    }

    // Ranges past the top of memory go on at its bottom; thousands of watchpoints are looked
    // up as one; disabled ones and empty lists watch nothing.
    void watchRangesAtTheirLimits()
    {
        QList<Watchpoint> list;
        for (unsigned int i = 0; i < 5000; ++i)
            list << Watchpoint(0x200000 + 8 * i, 4, i % 2 ? WatchRead : WatchWrite);
        list << Watchpoint(0xFFFFFE, 4, WatchAccess) << Watchpoint(0x400, 0x100, WatchWrite, false);
        WatchpointIndex index;
        index.Build(list);
        QCOMPARE(index.Find(0xFFFFFF, 8, WatchWrite), 5000);
        QCOMPARE(index.Find(0x000001, 8, WatchRead), 5000);
        QCOMPARE(index.Find(0x000002, 8, WatchRead), -1);
        QCOMPARE(index.Find(0xFFFFFC, 32, WatchWrite), 5000);
        QCOMPARE(index.Find(0x200006, 32, WatchWrite), -1);
        QCOMPARE(index.Find(0x200006, 32, WatchRead), 1);
        QCOMPARE(index.Find(0x209C32, 16, WatchWrite), 4998);
        QCOMPARE(index.Find(0x450, 8, WatchWrite), -1);
        index.Build(QList<Watchpoint>());
        QVERIFY(index.IsEmpty() && !index.Watches(WatchRead));

        // The same run with the thousands and one that the program writes.
        document->watchpoints = list;
        document->watchpoints << Watchpoint(At("result"), 2, WatchWrite);
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(document->watchHit.address, At("result"));
        QCOMPARE(document->watchHit.newValue, 5u);
    }

    // Backwards: to just after each kind of hit, to a breakpoint, to the start; a call taken
    // back whole; and who wrote a byte, a register and a pixel.
    void backwardsAndWhoWroteThis()
    {
        RunToDone();
        const int executed = document->emulator->undoList.items.count();
        const UndoItemRing& items = document->emulator->undoList.items;

        // Who wrote this, before anything is taken back.
        const int byte = HistorySearch::LastWrite(items, At("buffer") + 3);
        QCOMPARE(items.at(byte)->pc, At("fill"));
        const int d5 = HistorySearch::LastChange(items, R(), QStringLiteral("D5"));
        QCOMPARE(items.at(d5)->pc, At("set_d5"));
        const int pixel = HistorySearch::LastChange(items, *document->memory, 0xFFB500, 0x80);
        QCOMPARE(items.at(pixel)->pc, At("count") + 8);
        QCOMPARE(HistorySearch::LastChange(items, *document->memory, 0xFFB500, 0x01), -1);
        QCOMPARE(HistorySearch::LastWrite(items, At("limit")), -1);
        QCOMPARE(HistorySearch::LastChange(items, R(), QStringLiteral("D7")), -1);

        // A return taken back takes its call with it.
        QCOMPARE(R().pc, At("done"));
        QCOMPARE(Run(StepOverBackMode), int(Done));
        QCOMPARE(R().pc, At("done") - 6);
        QCOMPARE(R().d[5], 0x12345678u);
        QCOMPARE(Run(StepOverBackMode), int(Done));
        QCOMPARE(R().pc, At("count") + 16);
        QCOMPARE(R().d[5], 0u);
        RunToDone();

        // A write, a read, a breakpoint, then the start of the history.
        Watch(At("buffer") + 3, 1, WatchWrite);
        QCOMPARE(Run(RunBackMode), int(WatchpointHit));
        QCOMPARE(R().pc, At("fill") + 2);
        QCOMPARE(Byte(At("buffer") + 3), 3u);
        QCOMPARE(Byte(At("buffer") + 4), 0u);
        QCOMPARE(Run(RunBackMode), int(Done));
        QVERIFY(items.isEmpty());
        QCOMPARE(R().pc, At("start"));
        QCOMPARE(Byte(At("buffer") + 3), 0u);

        document->watchpoints.clear();
        RunToDone();
        QCOMPARE(items.count(), executed);
        Watch(At("limit"), 2, WatchRead);
        QCOMPARE(Run(RunBackMode), int(WatchpointHit));
        QCOMPARE(R().d[1], 5u);
        QCOMPARE(R().pc, At("count") + 6);
        QCOMPARE(Run(RunBackMode), int(WatchpointHit));
        QCOMPARE(R().d[1], 4u);
        document->watchpoints.clear();
        QVERIFY(Condition(At("count"), QStringLiteral("d1==2")));
        QCOMPARE(Run(RunBackMode), int(AddressBreak));
        QCOMPARE(R().pc, At("count"));
        QCOMPARE(R().d[1], 2u);
        document->RemoveAllAddressBreakpoints();
        document->AddAddressBreakpoint(At("fill"));
        QCOMPARE(Run(RunBackMode), int(AddressBreak));
        QCOMPARE(R().pc, At("fill"));
        QCOMPARE(R().d[0], 7u);
        // Forwards again from there gives the same end: the history matched memory.
        document->RemoveAllAddressBreakpoints();
        RunToDone();
        QCOMPARE(document->memory->Read(At("result"), 16), 5u);
        QCOMPARE(R().d[5], 0x12345678u);
    }
};

QTEST_GUILESS_MAIN(WatchTest)
#include "tst_watch.moc"
