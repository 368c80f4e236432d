// The video window's cost: one repaint of the 480 x 320 screen, and, during a quick run of an
// endless counting loop, how many repaints a second the window makes and how fast the
// emulation counts with the window shown and hidden. Runs offscreen.
#include "app/MainWindow.h"
#include "session/Session.h"
#include "app/VideoDialog.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QTest>

#include <cstdio>

namespace {

// Counts the paint events that reach a widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// 0x1000: loop: ADDQ.L #1,D0 / BRA.S loop, with a screen full of stripes.
void LoadCountingLoop(Document& document)
{
    Memory& m = *document.memory;
    m.Write(0, 0x10000, 32, true);
    m.Write(4, 0x1000, 32, true);
    m.Write(0x1000, 0x5280, 16, true);
    m.Write(0x1002, 0x60FC, 16, true);
    for (unsigned int a = 0xFFB500; a <= 0xFFFFFF; ++a)
        m.Write(a, a & 1 ? 0xAA : 0x55, 8, true);
}

// Millions of loop iterations a second of a one-second quick run, and the repaints meanwhile.
double QuickRun(MainWindow& w, PaintCounter& counter, int& paints)
{
    w.resetAction->trigger();
    // A reset leaves the data registers as they were; the count starts afresh.
    w.document->emulator->registers->d[0] = 0;
    counter.paints = 0;
    QElapsedTimer clock;
    clock.start();
    w.quickRunAction->trigger();
    QTest::qWait(1000);
    w.stopEmulationAction->trigger();
    while (w.session->IsExecuting() || w.running)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    const double seconds = clock.nsecsElapsed() / 1e9;
    paints = counter.paints;
    return w.document->emulator->registers->d[0] / seconds / 1e6;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    // The windows' settings go to a folder of the bench's own.
    QTemporaryDir settingsDir;
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsDir.path());
    MainWindow w;
    LoadCountingLoop(*w.document);
    w.show();
    VideoDialog* video = w.videoDialog;
    video->show();
    QTest::qWait(100);

    const int repaints = 2000;
    for (int round = 0; round < 3; ++round) {
        QElapsedTimer clock;
        clock.start();
        for (int i = 0; i < repaints; ++i)
            video->repaint();
        std::printf("repaint of the video window: %.3f ms\n", clock.nsecsElapsed() / 1e6 / repaints);
    }

    PaintCounter counter;
    video->installEventFilter(&counter);
    for (int round = 0; round < 3; ++round) {
        int shownPaints = 0, hiddenPaints = 0;
        video->show();
        const double shown = QuickRun(w, counter, shownPaints);
        video->hide();
        const double hidden = QuickRun(w, counter, hiddenPaints);
        std::printf("quick run: %.1f M iterations/s with the window shown (%d repaints in the run), "
                    "%.1f M/s hidden (%d repaints)\n",
                    shown, shownPaints, hidden, hiddenPaints);
    }
    return 0;
}
