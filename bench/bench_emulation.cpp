// What a run that looks up breakpoints before every instruction costs: Run on the worker
// thread with 1,000 address breakpoints set, with a watchpoint, with ten conditional
// breakpoints on the programs' busiest instructions, against the same programs without any;
// and how long running backwards through a full history to a hit at its start takes.
// The programs are the compiled test programs of the build tree (they end on BRA.S *);
// a breakpoint on that last instruction ends each run.
#include "program/SRecordLoader.h"
#include "session/Document.h"
#include "session/Emulation.h"
#include "core/Emulator.h"
#include "core/HistorySearch.h"
#include "core/Memory.h"

#include <algorithm>
#include <functional>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

namespace {

const unsigned int branchToItself = 0x60FE;

struct Workload
{
    QString file;
    long long length;
    unsigned int end;
    // The ten addresses executed most often.
    QList<unsigned int> busiest;
};

bool Load(Document& document, const QString& file)
{
    SRecordLoader loader(file, document.memory);
    if (!loader.Load())
        return false;
    document.emulator->Reset();
    document.emulator->undoList.items.clear();
    return true;
}

// Instructions from reset to the end marker, and the marker's address.
bool Measure(const QString& file, Workload& workload)
{
    Document document;
    if (!Load(document, file))
        return false;
    Emulator& emulator = *document.emulator;
    long long count = 0;
    QHash<unsigned int, long long> executed;
    while (document.memory->Read(emulator.registers->pc, 16) != branchToItself) {
        ++executed[emulator.registers->pc];
        emulator.QuickExecute();
        if (!emulator.errorMessage.isEmpty() || ++count > 100000000LL)
            return false;
    }
    QList<unsigned int> addresses = executed.keys();
    std::sort(addresses.begin(), addresses.end(),
              [&](unsigned int a, unsigned int b) { return executed.value(a) > executed.value(b); });
    workload = {file, count, emulator.registers->pc, addresses.mid(0, 10)};
    return true;
}

// Millions of instructions per second of Run over every program, best of a few rounds.
using Setup = std::function<void(Document&, const Workload&)>;

double Rate(Document& document, const QList<Workload>& workloads, const Setup& setup)
{
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        long long total = 0;
        qint64 nanoseconds = 0;
        for (const Workload& w : workloads) {
            if (!Load(document, w.file))
                return 0;
            document.instructionBreakpoints.clear();
            document.RemoveAllAddressBreakpoints();
            document.watchpoints.clear();
            setup(document, w);
            document.AddAddressBreakpoint(w.end);
            document.mode = RunMode;
            Emulation emulation(&document);
            QElapsedTimer timer;
            timer.start();
            emulation.start(QThread::TimeCriticalPriority);
            emulation.wait();
            nanoseconds += timer.nsecsElapsed();
            if (emulation.result != AddressBreak || document.emulator->registers->pc != w.end) {
                std::printf("%s: the run ended with %d\n", qPrintable(w.file), emulation.result);
                return 0;
            }
            total += w.length;
        }
        best = qMax(best, total * 1e3 / double(nanoseconds));
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QDir programs(application.applicationDirPath() + QStringLiteral("/../tests/emulator"));
    QList<Workload> workloads;
    long long total = 0;
    for (const QString& name : programs.entryList({QStringLiteral("compiled_*.hex")}, QDir::Files, QDir::Name)) {
        Workload w;
        if (!Measure(programs.filePath(name), w)) {
            std::printf("%s: cannot be loaded or does not end\n", qPrintable(name));
            return 1;
        }
        workloads.append(w);
        total += w.length;
    }
    if (workloads.isEmpty()) {
        std::printf("No program to run: build the tests first.\n");
        return 1;
    }
    std::printf("Run over %lld instructions of %d programs (history of up to 100000 items)\n", total,
                int(workloads.size()));
    // One document for every run, as in a session: the history's items are pooled once.
    Document document;
    const Setup nothing = [](Document&, const Workload&) {};
    // Addresses that the programs never reach.
    const Setup thousand = [](Document& d, const Workload&) {
        for (int i = 0; i < 1000; ++i)
            d.AddAddressBreakpoint(0x300000 + 6 * unsigned(i));
    };
    const Setup writeWatch = [](Document& d, const Workload&) { d.watchpoints << Watchpoint(0x300000, 4, WatchWrite); };
    const Setup readWatch = [](Document& d, const Workload&) { d.watchpoints << Watchpoint(0x300000, 4, WatchRead); };
    // Conditions that never hold, tested at every pass of the busiest instructions.
    const Setup conditions = [](Document& d, const Workload& w) {
        for (unsigned int a : w.busiest) {
            d.AddAddressBreakpoint(a);
            BreakpointCondition c;
            c.condition.Parse(QStringLiteral("d7==$DEADBEEF && [a7].w<2"), d.conditionCalculator);
            d.conditions.insert(a, c);
        }
    };
    // Interleaved, so that the machine's moods fall on every case alike.
    double rates[5] = {};
    const Setup* setups[5] = {&nothing, &thousand, &writeWatch, &readWatch, &conditions};
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 5; ++i)
            rates[i] = std::max(rates[i], Rate(document, workloads, *setups[i]));
    std::printf("  no address breakpoint:            %6.1f million instructions/s\n", rates[0]);
    std::printf("  1,000 address breakpoints:        %6.1f million instructions/s\n", rates[1]);
    std::printf("  one write watchpoint:             %6.1f million instructions/s\n", rates[2]);
    std::printf("  one read watchpoint:              %6.1f million instructions/s\n", rates[3]);
    std::printf("  ten conditions on busy addresses: %6.1f million instructions/s\n", rates[4]);

    // Backwards: a full history, and a write watchpoint on what its oldest item wrote.
    const Workload& longest = *std::max_element(workloads.begin(), workloads.end(),
                                                [](const Workload& a, const Workload& b) { return a.length < b.length; });
    double best = 1e9;
    for (int round = 0; round < 5; ++round) {
        Load(document, longest.file);
        document.RemoveAllAddressBreakpoints();
        document.watchpoints.clear();
        Emulator& emulator = *document.emulator;
        for (int i = 0; i < 150000; ++i)
            emulator.Execute();
        const UndoItemRing& items = emulator.undoList.items;
        // The oldest write that nothing after it wrote over.
        int first = 0;
        while (first < items.count()
               && (items.at(first)->memory.isEmpty()
                   || HistorySearch::LastWrite(items, items.at(first)->memory.at(0).address) != first))
            ++first;
        document.watchpoints << Watchpoint(items.at(first)->memory.at(0).address, 1, WatchWrite);
        const int before = items.count();
        document.mode = RunBackMode;
        Emulation emulation(&document);
        QElapsedTimer timer;
        timer.start();
        const int result = emulation.StartEmulation();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
        if (result != WatchpointHit || before - items.count() < 90000 || round == 0) {
            std::printf("Running backwards ended with %d after %d items\n", result, before - items.count());
            if (result != WatchpointHit)
                return 1;
        }
    }
    std::printf("Backwards through a full history of 100000 items to a write at its start: %.1f ms\n", best);
    return 0;
}
