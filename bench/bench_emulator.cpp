// How many 68000 instructions per second the emulator executes on compiled C programs, in
// quick mode and in recorded mode with a full undo history, and how much memory that full
// history takes. Both run as a run executes them, in slices; recorded mode looks up an
// address breakpoint before each instruction, as a run with breakpoints does, or marks only
// ILLEGAL, as the window's run does by default; it is also measured one call of Execute() per
// instruction, as the steps execute it. --rounds=N sets how many times each measure runs every
// program (callgrind counts host instructions per emulated one with --toggle-collect on
// "Emulator::QuickExecute(long long)", "*RecordedSlice<true, true, false>*" or
// "Emulator::Execute()"). It also gives the clock cycles that the programs take on the
// emulated 68000.
// The programs are the compiled test programs of the build tree; give other
// S-Record files on the command line to measure those instead.
#include "program/SRecordLoader.h"
#include "core/AddressBreakpointList.h"
#include "core/BreakpointIndex.h"
#include "core/Emulator.h"
#include "core/InstructionBreakpointList.h"
#include "core/Memory.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace {

// BRA.S to itself: where the test programs end.
const unsigned int branchToItself = 0x60FE;

struct Machine
{
    Machine() : video(new unsigned char[MemoryBuffer::videoSize]), memory(video.get()), emulator(&memory) {}

    bool Load(const QString& file)
    {
        SRecordLoader loader(file, &memory);
        if (!loader.Load())
            return false;
        emulator.Reset();
        return true;
    }

    bool AtEnd() { return memory.Read(emulator.registers->pc, 16) == branchToItself; }

    std::unique_ptr<unsigned char[]> video;
    Memory memory;
    Emulator emulator;
};

long ResidentBytes()
{
    QFile file(QStringLiteral("/proc/self/statm"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = file.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLong() * sysconf(_SC_PAGESIZE) : 0;
}

// Instructions from reset to the end of the program, or -1 when it stops or runs away; and
// the clock cycles that they take.
long long Length(const QString& file, quint64* cycles)
{
    Machine machine;
    if (!machine.Load(file))
        return -1;
    long long count = 0;
    while (!machine.AtEnd()) {
        machine.emulator.QuickExecute();
        ++count;
        if (!machine.emulator.errorMessage.isEmpty() || count > 1000000000LL)
            return -1;
    }
    *cycles = machine.emulator.Cycles();
    return count;
}

struct Workload
{
    QString file;
    long long length;
};

// Rounds of every program per measure: five by default, fewer under callgrind.
int rounds = 5;

enum class Mode { Quick, Recorded, RecordedWords, RecordedSteps };

// Best rate in millions of instructions per second over a few rounds of every program.
double Measure(const QList<Workload>& workloads, Mode mode, Machine& machine)
{
    // A breakpoint where the programs never go: every instruction is looked up.
    AddressBreakpointList elsewhere;
    elsewhere.append(0xFF0000);
    BreakpointIndex breakpoints;
    breakpoints.Build(elsewhere, InstructionBreakpointList());
    // ILLEGAL alone, as the window's runs mark it by default.
    InstructionBreakpointList illegal;
    illegal.append(0x4AFC);
    BreakpointIndex words;
    words.Build(AddressBreakpointList(), illegal);
    double best = 0;
    for (int round = 0; round < rounds; ++round) {
        long long total = 0;
        qint64 nanoseconds = 0;
        for (const Workload& w : workloads) {
            if (!machine.Load(w.file))
                return 0;
            Emulator& emulator = machine.emulator;
            QElapsedTimer timer;
            timer.start();
            switch (mode) {
            case Mode::Quick:
                emulator.QuickExecute(w.length);
                break;
            case Mode::Recorded:
                emulator.Execute(w.length, &breakpoints);
                break;
            case Mode::RecordedWords:
                emulator.Execute(w.length, &words);
                break;
            case Mode::RecordedSteps:
                for (long long i = 0; i < w.length; ++i)
                    emulator.Execute();
                break;
            }
            nanoseconds += timer.nsecsElapsed();
            total += w.length;
            if (!machine.AtEnd() || !emulator.errorMessage.isEmpty()) {
                std::printf("%s did not end where it should\n", qPrintable(w.file));
                return 0;
            }
        }
        best = qMax(best, total * 1e3 / double(nanoseconds));
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QStringList files = application.arguments().mid(1);
    if (!files.isEmpty() && files.first().startsWith(QStringLiteral("--rounds="))) {
        rounds = qMax(1, files.takeFirst().mid(9).toInt());
    }
    if (files.isEmpty()) {
        const QDir programs(application.applicationDirPath() + QStringLiteral("/../tests/emulator"));
        for (const QString& name : programs.entryList({QStringLiteral("compiled_*.hex")}, QDir::Files, QDir::Name))
            files << programs.filePath(name);
    }
    QList<Workload> workloads;
    long long total = 0;
    quint64 totalCycles = 0;
    for (const QString& file : files) {
        quint64 cycles = 0;
        const long long length = Length(file, &cycles);
        if (length <= 0) {
            std::printf("%s: cannot be loaded or does not end\n", qPrintable(file));
            return 1;
        }
        workloads.append({file, length});
        total += length;
        totalCycles += cycles;
        std::printf("%-40s %10lld instructions %11llu cycles\n", qPrintable(QFileInfo(file).fileName()), length,
                    static_cast<unsigned long long>(cycles));
    }
    if (workloads.isEmpty()) {
        std::printf("No program to run: build the tests, or name S-Record files that end on BRA.S *.\n");
        return 1;
    }

    std::printf("on a 68000 at %.0f MHz: %.3f s, %.2f cycles an instruction\n", CycleTable::clockRate / 1e6,
                double(totalCycles) / CycleTable::clockRate, double(totalCycles) / double(total));
    Machine machine;
    std::printf("quick mode:    %6.1f million instructions/s over %lld instructions\n",
                Measure(workloads, Mode::Quick, machine), total);

    // The history is filled first, so that every measured instruction drops the oldest item.
    Machine recorded;
    if (!recorded.Load(workloads.first().file))
        return 1;
    const long before = ResidentBytes();
    long long filled = 0;
    while (recorded.emulator.undoList.items.count() < recorded.emulator.undoList.capacity) {
        if (recorded.AtEnd() && !recorded.Load(workloads.at(int(++filled % workloads.size())).file))
            return 1;
        recorded.emulator.Execute();
    }
    const long after = ResidentBytes();
    std::printf("recorded mode: %6.1f million instructions/s with a full history of %d items\n",
                Measure(workloads, Mode::Recorded, recorded), recorded.emulator.undoList.items.count());
    std::printf("  ILLEGAL marked instead, as the window's run: %6.1f million instructions/s\n",
                Measure(workloads, Mode::RecordedWords, recorded));
    std::printf("  one call of Execute() per instruction: %6.1f million instructions/s\n",
                Measure(workloads, Mode::RecordedSteps, recorded));
    std::printf("a full undo history takes %.1f MiB (%zu bytes per item with its first write record)\n",
                (after - before) / 1048576.0, sizeof(UndoItem));
    return 0;
}
