// What the user waits for at the main window: how long Escape takes to stop a run, in
// recorded and in quick mode, and how long the views and the panel take to show the final
// state of a run of 10^8 instructions once the thread has ended. Runs offscreen.
#include "app/MainWindow.h"
#include "session/Session.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Register.h"

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cstdio>

namespace {

// S1 records of a countdown of 5 * 10^7 iterations (two instructions each) ending on ILLEGAL,
// which the default instruction breakpoint stops at: 10^8 instructions from reset.
//   0x1000  MOVE.L #50000000,D0 / loop: SUBQ.L #1,D0 / BNE.S loop / ILLEGAL
const char program[] = "S107000000010000F7\n"
                       "S107000400001000E4\n"
                       "S10F1000203C02FAF080538066FC4AFC9D\n"
                       "S9030000FC\n";

std::atomic<qint64> threadEnded{0};

bool WaitIdle(MainWindow& w)
{
    while (w.session->IsExecuting() || w.running)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    return true;
}

double StopLatency(MainWindow& w, QAction* run, QElapsedTimer& clock)
{
    w.resetAction->trigger();
    run->trigger();
    QTest::qWait(200);
    const qint64 start = clock.nsecsElapsed();
    QTest::keyClick(&w, Qt::Key_Escape);
    WaitIdle(w);
    return (clock.nsecsElapsed() - start) / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir directory;
    const QString file = directory.filePath(QStringLiteral("countdown.hex"));
    {
        QFile out(file);
        if (!out.open(QIODevice::WriteOnly))
            return 1;
        out.write(program);
    }
    QByteArray name(argv[0]), path = file.toLocal8Bit();
    int appArgc = 2;
    char* appArgv[] = {name.data(), path.data(), nullptr};
    (void)argc;
    QApplication application(appArgc, appArgv);
    // The windows' settings go to a folder of the bench's own.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());

    MainWindow w;
    w.show();
    w.activateWindow();
    if (!QTest::qWaitForWindowActive(&w))
        return 1;
    QElapsedTimer clock;
    clock.start();
    // When the session takes the end of the run in, on the GUI thread.
    QObject::connect(w.session, &Session::Finished, &w, [&]() { threadEnded = clock.nsecsElapsed(); });

    for (int round = 0; round < 3; ++round) {
        // The countdown is long enough not to end in 200 ms.
        std::printf("stop latency: run %.2f ms, quick run %.2f ms\n", StopLatency(w, w.runAction, clock),
                    StopLatency(w, w.quickRunAction, clock));
    }

    for (int round = 0; round < 3; ++round) {
        w.resetAction->trigger();
        const qint64 start = clock.nsecsElapsed();
        w.runAction->trigger();
        WaitIdle(w);
        // The repaint that shows the final state, as the event loop would do it next.
        QCoreApplication::processEvents();
        const qint64 shown = clock.nsecsElapsed();
        const Register* r = w.document->emulator->registers;
        std::printf("run of 10^8 instructions: %.2f s (D0 = %u, PC = $%06X); final state shown %.2f ms after "
                    "the thread ended\n",
                    (threadEnded - start) / 1e9, r->d[0], r->pc, (shown - threadEnded) / 1e6);
    }
    return 0;
}
