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

#include <QRandomGenerator>
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
        // A watchpoint missed ends the run here rather than never.
        document->AddAddressBreakpoint(At("done"));
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
        document->AddAddressBreakpoint(At("done"));
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(document->watchHit.address, At("result"));
        QCOMPARE(document->watchHit.newValue, 5u);
    }

    // Against a plain reading of what a watchpoint is, on random lists: ranges nested in
    // others, overlapping, equal, of every kind, disabled, empty, clamped and past the top of
    // memory. An access of each size at every address near them finds the first watchpoint,
    // in list order, of its kind whose range holds one of its bytes.
    void watchIndexAgreesWithEveryRange()
    {
        QRandomGenerator random(1968);
        const WatchKind kinds[] = {WatchWrite, WatchRead, WatchAccess};
        for (int round = 0; round < 300; ++round) {
            const unsigned int base = round % 3 == 0 ? 0xFFFFE0 : 0x2000;
            QList<Watchpoint> list;
            const int count = 1 + int(random.bounded(10));
            for (int i = 0; i < count; ++i) {
                unsigned int address = base + random.bounded(48u);
                unsigned int length = 1 + random.bounded(random.bounded(2) ? 4u : 40u);
                if (i > 0 && random.bounded(2)) {
                    // Inside another, or from inside it to past its end.
                    const Watchpoint& outer = list.at(int(random.bounded(quint32(i))));
                    const unsigned int offset = outer.length > 1 ? random.bounded(outer.length) : 0;
                    address = outer.address + offset;
                    length = random.bounded(4) ? 1 + (outer.length - offset > 1 ? random.bounded(outer.length - offset) : 0)
                                               : outer.length - offset + 1 + random.bounded(8u);
                }
                if (random.bounded(40) == 0)
                    length = 0;
                if (random.bounded(60) == 0)
                    length = Watchpoint::maximumLength + 3;
                list << Watchpoint(address, length, kinds[random.bounded(3)], random.bounded(6) != 0);
            }
            WatchpointIndex index;
            index.Build(list);
            for (const WatchKind access : {WatchWrite, WatchRead}) {
                bool watched = false;
                for (const Watchpoint& w : list)
                    watched = watched || (w.enabled && w.length > 0 && (w.kind & access));
                QCOMPARE(index.Watches(access), watched);
            }
            for (unsigned int a = base - 8; a != base + 64; ++a) {
                for (const int size : {8, 16, 32}) {
                    for (const WatchKind access : {WatchWrite, WatchRead}) {
                        int expected = -1;
                        for (int i = 0; i < list.size() && expected < 0; ++i) {
                            const Watchpoint& w = list.at(i);
                            if (!w.enabled || !(w.kind & access))
                                continue;
                            const unsigned int length = qMin(w.length, Watchpoint::maximumLength);
                            for (unsigned int b = 0; b < unsigned(size / 8); ++b)
                                if (((((a + b) & 0xFFFFFF) - w.address) & 0xFFFFFF) < length)
                                    expected = i;
                        }
                        const int found = index.Find(a & 0xFFFFFF, size, access);
                        if (found != expected) {
                            QStringList ranges;
                            for (const Watchpoint& w : list)
                                ranges << w.Text() + (w.enabled ? QString() : QStringLiteral(" off"));
                            QFAIL(qPrintable(QStringLiteral("a %1-bit %2 at $%3 finds %4, not %5, in %6")
                                                 .arg(size)
                                                 .arg(Watchpoint::KindName(access))
                                                 .arg(a & 0xFFFFFF, 0, 16)
                                                 .arg(found)
                                                 .arg(expected)
                                                 .arg(ranges.join(QStringLiteral("; ")))));
                        }
                    }
                }
            }
        }
    }

    // The program with ranges nested in others: the hit names the first watchpoint of the
    // list that the access touches; one removed or disabled, the other still stops, forwards
    // and backwards; a write inside a read range stops only for a write range.
    void nestedWatchpointsOnTheProgram()
    {
        const unsigned int buffer = At("buffer");
        const Watchpoint inner(buffer + 5, 1, WatchWrite);
        const Watchpoint outer(buffer, 8, WatchWrite);
        document->AddAddressBreakpoint(At("done"));

        // Both: the outer one stops at each byte but the sixth, which the inner one, first
        // in the list, stops at.
        document->watchpoints = {inner, outer};
        for (unsigned int k = 0; k < 8; ++k) {
            QCOMPARE(Run(RunMode), int(WatchpointHit));
            QCOMPARE(R().pc, At("fill") + 2);
            QCOMPARE(document->watchHit.address, buffer + k);
            QCOMPARE(document->watchHit.newValue, k);
            QVERIFY2(document->watchHit.watchpoint.SameRange(k == 5 ? inner : outer), qPrintable(QString::number(k)));
        }
        QCOMPARE(Run(RunMode), int(AddressBreak));

        // Backwards, the same; then without the outer one, only its inner one stops.
        QCOMPARE(Run(RunBackMode), int(WatchpointHit));
        QCOMPARE(Byte(buffer + 7), 7u);
        QVERIFY(document->watchHit.watchpoint.SameRange(outer));
        document->watchpoints.removeAt(1);
        QCOMPARE(Run(RunBackMode), int(WatchpointHit));
        QCOMPARE(R().pc, At("fill") + 2);
        QCOMPARE(Byte(buffer + 5), 5u);
        QCOMPARE(Byte(buffer + 6), 0u);
        QVERIFY(document->watchHit.watchpoint.SameRange(inner));
        QCOMPARE(Run(RunBackMode), int(Done));
        QCOMPARE(R().pc, At("start"));

        // Forwards without the outer one, then without the inner one, then with the inner
        // one disabled: each time the other one alone.
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(document->watchHit.address, buffer + 5);
        QCOMPARE(Run(RunMode), int(AddressBreak));
        init();
        document->AddAddressBreakpoint(At("done"));
        document->watchpoints = {inner, outer};
        document->watchpoints.removeAt(0);
        for (unsigned int k = 0; k < 8; ++k) {
            QCOMPARE(Run(RunMode), int(WatchpointHit));
            QCOMPARE(document->watchHit.address, buffer + k);
            QVERIFY(document->watchHit.watchpoint.SameRange(outer));
        }
        QCOMPARE(Run(RunMode), int(AddressBreak));
        init();
        document->AddAddressBreakpoint(At("done"));
        document->watchpoints = {inner, outer};
        document->watchpoints[0].enabled = false;
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(document->watchHit.address, buffer);
        document->watchpoints[0].enabled = true;
        document->watchpoints[1].enabled = false;
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(document->watchHit.address, buffer + 5);
        QCOMPARE(R().d[0], 5u);

        // A read range over saved, limit and result, with write ranges inside it: MOVEM's
        // last long stops for its own range; the comparison reads limit, which stops for the
        // read range at each pass; the store of result, a write, does not stop.
        init();
        document->AddAddressBreakpoint(At("done"));
        const unsigned int saved = At("saved");
        const Watchpoint reads(saved, At("result") + 2 - saved, WatchRead);
        const Watchpoint limit(At("limit"), 2, WatchWrite);
        const Watchpoint last(saved + 12, 4, WatchWrite);
        document->watchpoints = {reads, limit, last};
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(document->watchHit.access, WatchWrite);
        QVERIFY(document->watchHit.watchpoint.SameRange(last));
        QCOMPARE(document->watchHit.address, saved + 12);
        QCOMPARE(document->watchHit.size, 32);
        QCOMPARE(document->watchHit.newValue, R().d[3]);
        for (unsigned int pass = 1; pass <= 5; ++pass) {
            QCOMPARE(Run(RunMode), int(WatchpointHit));
            QCOMPARE(document->watchHit.access, WatchRead);
            QVERIFY(document->watchHit.watchpoint.SameRange(reads));
            QCOMPARE(document->watchHit.address, At("limit"));
            QCOMPARE(R().d[1], pass);
        }
        QCOMPARE(Run(RunMode), int(AddressBreak));
        QCOMPARE(document->memory->Read(At("result"), 16), 5u);

        // The read range taken away, the write ranges inside it still stop; made an access
        // range, it stops the write of result too, and the read, as the first of the list.
        init();
        document->AddAddressBreakpoint(At("done"));
        document->watchpoints = {reads, limit, last};
        document->watchpoints.removeFirst();
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QVERIFY(document->watchHit.watchpoint.SameRange(last));
        QCOMPARE(Run(RunMode), int(AddressBreak));
        // The read range alone, with no write range in the list.
        init();
        document->AddAddressBreakpoint(At("done"));
        document->watchpoints = {reads};
        for (unsigned int pass = 1; pass <= 5; ++pass) {
            QCOMPARE(Run(RunMode), int(WatchpointHit));
            QCOMPARE(document->watchHit.access, WatchRead);
            QCOMPARE(R().d[1], pass);
        }
        QCOMPARE(Run(RunMode), int(AddressBreak));
        init();
        document->AddAddressBreakpoint(At("done"));
        const Watchpoint limitReads(At("limit"), 1, WatchRead);
        const Watchpoint accesses(saved, At("result") + 2 - saved, WatchAccess);
        document->watchpoints = {limitReads, accesses};
        // MOVEM stops once, at its first long.
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(document->watchHit.access, WatchWrite);
        QCOMPARE(document->watchHit.address, saved);
        QVERIFY(document->watchHit.watchpoint.SameRange(accesses));
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(document->watchHit.access, WatchRead);
        QVERIFY(document->watchHit.watchpoint.SameRange(limitReads));
        QCOMPARE(R().d[1], 1u);
        document->watchpoints.removeFirst();
        for (unsigned int pass = 2; pass <= 5; ++pass) {
            QCOMPARE(Run(RunMode), int(WatchpointHit));
            QCOMPARE(document->watchHit.access, WatchRead);
            QVERIFY(document->watchHit.watchpoint.SameRange(accesses));
            QCOMPARE(R().d[1], pass);
        }
        QCOMPARE(Run(RunMode), int(WatchpointHit));
        QCOMPARE(document->watchHit.access, WatchWrite);
        QCOMPARE(document->watchHit.address, At("result"));
        QCOMPARE(Run(RunMode), int(AddressBreak));
    }

    // Who last wrote each byte, and who last changed some of its bits, when the writes were
    // bytes, words, longs and MOVEM's longs at every position over it: in main memory, over
    // the start of the video area and over the top of memory to its bottom.
    void lastWriteOfEveryByteOfWordsAndLongs()
    {
        Memory& memory = *document->memory;
        QRandomGenerator random(1979);
        const unsigned int windows[] = {0x20000, 0xFFB4F8, 0xFFFFF8};
        const int windowLength = 16;
        QVector<unsigned int> addresses;
        for (const unsigned int w : windows)
            for (int i = 0; i < windowLength; ++i)
                addresses << ((w + unsigned(i)) & 0xFFFFFF);
        for (const unsigned int a : addresses)
            memory.Write(a, 0x18, 8, true);

        // The program: each store of one, two or four bytes, or MOVEM of two longs, at any
        // place of a window where it fits.
        QVector<QVector<unsigned int>> covered;
        QVector<quint16> code;
        auto long32 = [&code](unsigned int v) { code << quint16(v >> 16) << quint16(v); };
        auto value = [&random](int bytes) {
            static const unsigned int values[] = {0x00, 0xFF, 0x0F, 0xF0, 0x81, 0x18};
            unsigned int v = 0;
            for (int i = 0; i < bytes; ++i)
                v = (v << 8) | values[random.bounded(6)];
            return v;
        };
        for (int n = 0; n < 400; ++n) {
            const int kind = int(random.bounded(7));
            const int bytes = kind == 0 ? 1 : kind <= 2 ? 2 : kind <= 4 ? 4 : 8;
            unsigned int offset = random.bounded(unsigned(windowLength - bytes + 1));
            if (bytes > 1)
                offset &= ~1u;
            const unsigned int at = (windows[random.bounded(3)] + offset) & 0xFFFFFF;
            if (bytes == 8) {
                // MOVE.L #,D0 / MOVE.L #,D1 / MOVEM.L D0-D1,abs.L.
                code << 0x203C;
                long32(value(4));
                covered << QVector<unsigned int>();
                code << 0x223C;
                long32(value(4));
                covered << QVector<unsigned int>();
                code << 0x48F9 << 0x0003;
            } else {
                code << (bytes == 1 ? 0x13FC : bytes == 2 ? 0x33FC : 0x23FC);
                if (bytes == 4)
                    long32(value(4));
                else
                    code << quint16(value(bytes));
            }
            long32(at);
            QVector<unsigned int> bytesOf;
            for (int i = 0; i < bytes; ++i)
                bytesOf << ((at + unsigned(i)) & 0xFFFFFF);
            covered << bytesOf;
        }
        const unsigned int start = 0x10000;
        for (int i = 0; i < code.size(); ++i)
            memory.Write(start + 2 * unsigned(i), code.at(i), 16, true);
        R().pc = start;
        document->emulator->undoList.items.clear();

        // Run, noting each byte before and after each instruction.
        QVector<QHash<unsigned int, unsigned int>> before, after;
        for (int i = 0; i < covered.size(); ++i) {
            QHash<unsigned int, unsigned int> b, a;
            for (const unsigned int address : addresses)
                b.insert(address, memory.Read(address, 8));
            document->emulator->Execute();
            QVERIFY2(document->emulator->errorMessage.isEmpty(), qPrintable(document->emulator->errorMessage));
            for (const unsigned int address : addresses)
                a.insert(address, memory.Read(address, 8));
            before << b;
            after << a;
        }
        const UndoItemRing& items = document->emulator->undoList.items;
        QCOMPARE(items.count(), covered.size());

        for (const unsigned int address : addresses) {
            int written = -1;
            for (int i = 0; i < covered.size(); ++i)
                if (covered.at(i).contains(address))
                    written = i;
            QVERIFY(written >= 0);
            QVERIFY2(HistorySearch::LastWrite(items, address) == written,
                     qPrintable(QStringLiteral("$%1: %2, not %3")
                                    .arg(address, 0, 16)
                                    .arg(HistorySearch::LastWrite(items, address))
                                    .arg(written)));
            for (const unsigned int mask : {0xFFu, 0x01u, 0x02u, 0x04u, 0x08u, 0x10u, 0x20u, 0x40u, 0x80u, 0x3Cu}) {
                int changed = -1;
                for (int i = 0; i < covered.size(); ++i)
                    if (covered.at(i).contains(address) && ((before.at(i).value(address) ^ after.at(i).value(address)) & mask))
                        changed = i;
                const int found = HistorySearch::LastChange(items, memory, address, mask);
                QVERIFY2(found == changed, qPrintable(QStringLiteral("$%1 mask $%2: %3, not %4")
                                                          .arg(address, 0, 16)
                                                          .arg(mask, 0, 16)
                                                          .arg(found)
                                                          .arg(changed)));
            }
        }
        for (const unsigned int outside : {0x1FFFFu, 0x20010u, 0xFFB4F7u, 0xFFB508u, 0xFFFFF7u, 0x000008u}) {
            QCOMPARE(HistorySearch::LastWrite(items, outside), -1);
            QCOMPARE(HistorySearch::LastChange(items, memory, outside, 0xFF), -1);
        }
    }

    // A history written by hand, with items that write one byte twice: the first write of an
    // item holds what the byte was before it, whatever the later ones held.
    void lastChangeReadsTheFirstWriteOfAnItem()
    {
        std::unique_ptr<unsigned char[]> video(new unsigned char[MemoryBuffer::videoSize]());
        Memory memory(video.get());
        UndoList list(10);
        Register registers;
        auto add = [&](std::initializer_list<MemoryRecordItem> writes) {
            MemoryRecordList records;
            for (const MemoryRecordItem& w : writes)
                records.Add(w.address, w.value, w.size);
            list.Add(registers, records);
        };
        // Item 0 changed $3001 from $0F; item 1 wrote the long over it twice, first holding
        // $55 there, then $0F: it changed $3001 from $55 to what it is now, $55.
        add({MemoryRecordItem(0x3001, 0x0F, 8)});
        add({MemoryRecordItem(0x3000, 0x11552233, 32), MemoryRecordItem(0x3000, 0x110F2233, 32)});
        memory.Write(0x3000, 0x11552233, 32, true);
        QCOMPARE(HistorySearch::LastWrite(list.items, 0x3001), 1);
        QCOMPARE(HistorySearch::LastChange(list.items, memory, 0x3001, 0xFF), 0);
        QCOMPARE(HistorySearch::LastChange(list.items, memory, 0x3001, 0x0F), 0);
        memory.Write(0x3001, 0x0F, 8, true);
        QCOMPARE(HistorySearch::LastChange(list.items, memory, 0x3001, 0xFF), 1);
        QCOMPARE(HistorySearch::LastChange(list.items, memory, 0x3001, 0xA0), -1);
        QCOMPARE(HistorySearch::LastChange(list.items, memory, 0x3003, 0xFF), -1);
        QCOMPARE(HistorySearch::LastWrite(list.items, 0x3004), -1);
    }

    // Who last changed a register, when MOVEM loaded them all, some with the value they held.
    void lastChangeOfRegistersThatMovemLoads()
    {
        Memory& memory = *document->memory;
        const unsigned int start = 0x10000;
        const unsigned int data = 0x12000;
        // MOVE.L #$33,D3 / MOVEA.L #$AAAA,A5 / MOVEM.L abs.L,D0-D7/A0-A6 / NOP / MOVEQ #0,D1
        const quint16 code[] = {0x263C, 0, 0x33, 0x2A7C, 0, 0xAAAA, 0x4CF9, 0x7FFF, 0x0001, 0x2000, 0x4E71, 0x7200};
        for (unsigned int i = 0; i < sizeof code / sizeof code[0]; ++i)
            memory.Write(start + 2 * i, code[i], 16, true);
        for (unsigned int n = 0; n < 15; ++n)
            memory.Write(data + 4 * n, 0x100 + n, 32, true);
        // D3 and A5 load what they hold; A6 loads what it held before the first instruction.
        memory.Write(data + 4 * 3, 0x33, 32, true);
        memory.Write(data + 4 * 13, 0xAAAA, 32, true);
        for (unsigned int n = 0; n < 8; ++n)
            R().d[n] = 0x700 + n;
        for (unsigned int n = 0; n < 7; ++n)
            R().a[n] = 0x800 + n;
        R().a[6] = 0x10E;
        R().pc = start;
        document->emulator->undoList.items.clear();
        for (int i = 0; i < 5; ++i)
            document->emulator->Execute();
        const UndoItemRing& items = document->emulator->undoList.items;
        QCOMPARE(items.count(), 5);
        QCOMPARE(HistorySearch::LastChange(items, R(), QStringLiteral("D3")), 0);
        QCOMPARE(HistorySearch::LastChange(items, R(), QStringLiteral("A5")), 1);
        QCOMPARE(HistorySearch::LastChange(items, R(), QStringLiteral("A6")), -1);
        QCOMPARE(HistorySearch::LastChange(items, R(), QStringLiteral("D1")), 4);
        for (const char* name : {"D0", "D2", "D4", "D5", "D6", "D7", "A0", "A1", "A2", "A3", "A4"})
            QVERIFY2(HistorySearch::LastChange(items, R(), QString::fromLatin1(name)) == 2, name);
        QCOMPARE(HistorySearch::LastChange(items, R(), QStringLiteral("PC")), 4);
        QCOMPARE(HistorySearch::LastChange(items, R(), QStringLiteral("A7")), -1);
        // Taken back to before MOVEM, every register is as it was.
        for (int i = 0; i < 3; ++i)
            document->emulator->Undo();
        QCOMPARE(R().pc, start + 12);
        for (unsigned int n = 0; n < 8; ++n)
            QCOMPARE(R().d[n], n == 3 ? 0x33u : 0x700 + n);
        for (unsigned int n = 0; n < 7; ++n)
            QCOMPARE(R().a[n], n == 5 ? 0xAAAAu : n == 6 ? 0x10Eu : 0x800 + n);
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
