// What a run that looks up breakpoints before every instruction costs: Run on the worker
// thread with 1,000 address breakpoints set, against the same programs without any.
// The programs are the compiled test programs of the build tree (they end on BRA.S *);
// a breakpoint on that last instruction ends each run.
#include "program/SRecordLoader.h"
#include "core/Document.h"
#include "core/Emulation.h"
#include "core/Emulator.h"

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
    while (document.memory->Read(emulator.registers->pc, 16) != branchToItself) {
        emulator.QuickExecute();
        if (!emulator.errorMessage.isEmpty() || ++count > 100000000LL)
            return false;
    }
    workload = {file, count, emulator.registers->pc};
    return true;
}

// Millions of instructions per second of Run over every program, best of a few rounds.
double Rate(Document& document, const QList<Workload>& workloads, int breakpoints)
{
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        long long total = 0;
        qint64 nanoseconds = 0;
        for (const Workload& w : workloads) {
            if (!Load(document, w.file))
                return 0;
            document.instructionBreakpoints.clear();
            document.addressBreakpoints.clear();
            // Addresses that the programs never reach, then the end marker.
            for (int i = 0; i < breakpoints; ++i)
                document.AddAddressBreakpoint(0x300000 + 6 * unsigned(i));
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
    std::printf("  no address breakpoint:     %6.1f million instructions/s\n", Rate(document, workloads, 0));
    std::printf("  1,000 address breakpoints: %6.1f million instructions/s\n", Rate(document, workloads, 1000));
    return 0;
}
