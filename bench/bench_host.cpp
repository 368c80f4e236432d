// How many times longer the emulator takes, in quick mode, than the host itself to run the
// same C program: each compiled test program is timed here built for the host (the same
// source, at -O2) and emulated from reset to its end, in the same run, and the ratio printed.
#include "program/SRecordLoader.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "programs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>


namespace {

const unsigned int branchToItself = 0x60FE;
const unsigned int outputAddress = 0x20000;
const unsigned int outputLengthAddress = 0x1FFFC;

struct Program
{
    const char* name;
    int (*host)(unsigned char*);
};

const Program programs[] = {
    {"sort", sort_program},
    {"crc", crc_program},
    {"format", format_program},
    {"interp", interp_program},
    {"recurse", recurse_program},
};

struct Machine
{
    Machine() : video(new unsigned char[MemoryBuffer::videoSize]), memory(video.get()), emulator(&memory) {}

    std::unique_ptr<unsigned char[]> video;
    Memory memory;
    Emulator emulator;
};

// Nanoseconds of one emulated run from reset to the end, the best of a few; 0 when the
// program cannot be loaded, stops, or leaves other bytes than the host build.
qint64 Emulated(Machine& machine, const QString& file, const std::vector<unsigned char>& expected,
                long long& instructions)
{
    // A first run counts the instructions to the end; the timed ones then run them as a quick
    // run does, in one slice.
    qint64 best = 0;
    instructions = -1;
    for (int round = 0; round < 6; ++round) {
        SRecordLoader loader(file, &machine.memory);
        if (!loader.Load())
            return 0;
        Emulator& emulator = machine.emulator;
        emulator.Reset();
        if (instructions < 0) {
            long long count = 0;
            while (machine.memory.Read(emulator.registers->pc, 16) != branchToItself) {
                emulator.QuickExecute();
                ++count;
                if (!emulator.errorMessage.isEmpty())
                    return 0;
            }
            instructions = count;
            continue;
        }
        QElapsedTimer timer;
        timer.start();
        emulator.QuickExecute(instructions);
        const qint64 elapsed = timer.nsecsElapsed();
        if (!emulator.errorMessage.isEmpty() || machine.memory.Read(emulator.registers->pc, 16) != branchToItself)
            return 0;
        if (best == 0 || elapsed < best)
            best = elapsed;
    }
    const unsigned int length = machine.memory.Read(outputLengthAddress, 32);
    if (length != expected.size())
        return 0;
    for (unsigned int i = 0; i < length; ++i) {
        if (machine.memory.Read(outputAddress + i, 8) != expected[i])
            return 0;
    }
    return best;
}

// Nanoseconds of one host run, the best of a few batches long enough to time.
qint64 Host(int (*program)(unsigned char*), std::vector<unsigned char>& output)
{
    output.assign(1 << 16, 0);
    output.resize(std::size_t(program(output.data())));
    std::vector<unsigned char> scratch(1 << 16);
    double best = 0;
    for (int round = 0; round < 5; ++round) {
        int runs = 0;
        QElapsedTimer timer;
        timer.start();
        do {
            program(scratch.data());
            ++runs;
        } while (timer.nsecsElapsed() < 20000000);
        const double each = double(timer.nsecsElapsed()) / runs;
        if (best == 0 || each < best)
            best = each;
    }
    if (std::memcmp(scratch.data(), output.data(), output.size()))
        return 0;
    return qint64(best);
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QString directory = application.applicationDirPath() + QStringLiteral("/../tests/emulator/");
    Machine machine;
    qint64 hostTotal = 0;
    qint64 emulatedTotal = 0;
    long long instructionTotal = 0;
    std::printf("%-10s %12s %12s %14s %8s %10s\n", "program", "host us", "emulated us", "instructions", "ratio",
                "Minstr/s");
    for (const Program& program : programs) {
        std::vector<unsigned char> output;
        const qint64 host = Host(program.host, output);
        long long instructions = 0;
        const QString file = directory + QStringLiteral("compiled_%1.hex").arg(QLatin1String(program.name));
        const qint64 emulated = Emulated(machine, file, output, instructions);
        if (host <= 0 || emulated <= 0) {
            std::printf("%s: %s\n", program.name,
                        QFileInfo::exists(file) ? "the host and emulated runs disagree" : "not built (build the tests)");
            return 1;
        }
        hostTotal += host;
        emulatedTotal += emulated;
        instructionTotal += instructions;
        std::printf("%-10s %12.1f %12.1f %14lld %8.1f %10.1f\n", program.name, host / 1e3, emulated / 1e3, instructions,
                    double(emulated) / double(host), instructions * 1e3 / double(emulated));
    }
    std::printf("%-10s %12.1f %12.1f %14lld %8.1f %10.1f\n", "all", hostTotal / 1e3, emulatedTotal / 1e3,
                instructionTotal, double(emulatedTotal) / double(hostTotal), instructionTotal * 1e3 / double(emulatedTotal));
    return 0;
}
