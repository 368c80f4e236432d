// zendra-run's speed: a run to an address, which must go at quick mode's speed, against the
// quick loop on the same compiled test program (each instruction, then its error test) and
// against the library's own quick slices of the same number of instructions; a run of as many
// instructions (--limit), which marks only ILLEGAL, as the window's quick run does; a profiled
// run (--profile), which must take at most twice the plain run's time; and lines of trace
// written a second.
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "session/ProgramLoader.h"
#include "program/SymbolTable.h"
#include "runner/BatchRun.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    const QString program = application.applicationDirPath() + QStringLiteral("/../tests/emulator/compiled_crc.elf");
    Document probe;
    ProgramLoader loader(program, &probe);
    if (!loader.Load()) {
        std::printf("No program to run: build the tests first.\n");
        return 1;
    }
    const unsigned int done = probe.symbols->Find(QStringLiteral("done"))->address;
    QTemporaryDir dir;
    double quick = 0, slices = 0, runner = 0, limited = 0, profiled = 0, traced = 0;
    long long count = 0;
    // Interleaved rounds, best of each.
    for (int round = 0; round < 5; ++round) {
        {
            Document document;
            ProgramLoader(program, &document).Load();
            document.emulator->Reset();
            QElapsedTimer timer;
            timer.start();
            long long n = 0;
            while (document.emulator->registers->pc != done) {
                document.emulator->QuickExecute();
                if (!document.emulator->errorMessage.isEmpty())
                    return 1;
                ++n;
            }
            quick = std::max(quick, n * 1e3 / double(timer.nsecsElapsed()));
            count = n;
        }
        {
            Document document;
            ProgramLoader(program, &document).Load();
            document.emulator->Reset();
            QElapsedTimer timer;
            timer.start();
            long long n = 0;
            while (n < count)
                n += document.emulator->QuickExecute(std::min(count - n, 1LL << 16));
            if (document.emulator->registers->pc != done)
                return 1;
            slices = std::max(slices, n * 1e3 / double(timer.nsecsElapsed()));
        }
        {
            RunOptions options;
            QString error;
            options.Parse({"zendra-run", program, "--until", "done"}, &error);
            BatchRun run(options);
            run.Prepare(&error);
            QElapsedTimer timer;
            timer.start();
            run.Run();
            runner = std::max(runner, run.instructions * 1e3 / double(timer.nsecsElapsed()));
        }
        {
            RunOptions options;
            QString error;
            options.Parse({"zendra-run", program, "--limit", QString::number(count)}, &error);
            BatchRun run(options);
            run.Prepare(&error);
            QElapsedTimer timer;
            timer.start();
            run.Run();
            if (run.instructions != count)
                return 1;
            limited = std::max(limited, run.instructions * 1e3 / double(timer.nsecsElapsed()));
        }
        {
            RunOptions options;
            QString error;
            options.Parse({"zendra-run", program, "--until", "done", "--profile", dir.filePath("callgrind.out")}, &error);
            BatchRun run(options);
            run.Prepare(&error);
            QElapsedTimer timer;
            timer.start();
            run.Run();
            run.Report(&error);
            profiled = std::max(profiled, run.instructions * 1e3 / double(timer.nsecsElapsed()));
        }
        {
            RunOptions options;
            QString error;
            options.Parse({"zendra-run", program, "--until", "done", "--trace", dir.filePath("trace.txt")}, &error);
            BatchRun run(options);
            run.Prepare(&error);
            QElapsedTimer timer;
            timer.start();
            run.Run();
            traced = std::max(traced, run.instructions * 1e3 / double(timer.nsecsElapsed()));
        }
    }
    std::printf("compiled_crc, %lld instructions to its end:\n", count);
    std::printf("  quick loop:              %6.1f million instructions/s\n", quick);
    std::printf("  quick slices:            %6.1f million instructions/s\n", slices);
    std::printf("  zendra-run --until:      %6.1f million instructions/s (%.2f times the slices' time)\n", runner,
                slices / runner);
    std::printf("  zendra-run --limit:      %6.1f million instructions/s (%.2f times the slices' time)\n", limited,
                slices / limited);
    std::printf("  zendra-run --profile:    %6.1f million instructions/s (%.2f times the plain run's time, %.2f the quick loop's)\n",
                profiled, runner / profiled, quick / profiled);
    std::printf("  zendra-run --trace FILE: %6.2f million lines/s\n", traced);
    return 0;
}
