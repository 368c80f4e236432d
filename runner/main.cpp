// zendra-run: a 68000 program run without a window, for grading and continuous integration.
#include "runner/BatchRun.h"
#include "runner/GdbRun.h"
#include "runner/RunOptions.h"
#include "session/QtTranslations.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zendra-run"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZENDRA_VERSION));
    // Before the command line is read, so that its usage and Qt's errors are French too.
    QtTranslations translations;
    translations.Install();
    RunOptions options;
    QString error;
    if (!options.Parse(QCoreApplication::arguments(), &error)) {
        std::fprintf(stderr, "zendra-run : %s\n", qUtf8Printable(error));
        return 2;
    }
    if (options.help) {
        std::fputs(qUtf8Printable(options.helpText), stdout);
        return 0;
    }
    if (options.version) {
        std::printf("zendra-run %s\n", ZENDRA_VERSION);
        return 0;
    }
    BatchRun run(options);
    if (!run.Prepare(&error)) {
        std::fprintf(stderr, "zendra-run : %s\n", qUtf8Printable(RunOptions::OneLine(error)));
        return 2;
    }
    // The program loaded as it is; the user is told what may be wrong with it.
    if (!run.warning.isEmpty())
        std::fprintf(stderr, "zendra-run : Avertissement : %s\n", qUtf8Printable(RunOptions::OneLine(run.warning)));
    if (options.gdbPort >= 0) {
        GdbRun gdb(run);
        if (!gdb.Listen(&error)) {
            std::fprintf(stderr, "zendra-run : %s\n", qUtf8Printable(RunOptions::OneLine(error)));
            return 2;
        }
        return application.exec();
    }
    run.Run();
    if (!run.Report(&error)) {
        std::fprintf(stderr, "zendra-run : %s\n", qUtf8Printable(RunOptions::OneLine(error)));
        return 2;
    }
    return run.ExitStatus();
}
