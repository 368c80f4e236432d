// How long the debugger's views take to paint a full page of 60 lines, and to jump between
// the two ends of memory with Home and End. Run on the offscreen platform:
//   QT_QPA_PLATFORM=offscreen bench_views
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "session/ProgramLoader.h"
#include "program/SymbolTable.h"
#include "splitview/ViewManager.h"
#include "views/MemoryView.h"
#include "views/StandardDisaView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTabWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

// Milliseconds of one run of `work`: the median and the best of many.
void Measure(const char* what, int rounds, const std::function<void()>& work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    std::printf("%-52s median %7.3f ms   best %7.3f ms\n", what, times[times.size() / 2], times.front());
}

void Key(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTabWidget tabs;
    Document document;
    ViewManager::Initialize(&tabs, &document);

    // Random words: every kind of instruction and its extensions, in no particular order,
    // and characters of every kind in the dump; a few breakpoints for the margin.
    QRandomGenerator random(2024);
    for (unsigned int a = 0; a < 0x20000; ++a)
        document.memory->Write(a, random.generate() & 0xFF, 8, true);
    for (unsigned int a = 0x1000; a < 0x1400; a += 0x40)
        document.AddAddressBreakpoint(a);
    document.emulator->registers->pc = 0x1010;

    StandardDisaView disa;
    disa.SetStartAddress(0x1000);
    disa.resize(800, 60 * disa.lineHeight);
    disa.show();
    MemoryView dump;
    dump.SetStartAddress(0x1000);
    dump.resize(680, 60 * dump.lineHeight);
    dump.show();
    app.processEvents();

    std::printf("Full repaint of a page of 60 lines (%d x %d and %d x %d pixels):\n", disa.width(), disa.height(),
                dump.width(), dump.height());
    Measure("disassembly view", 300, [&] { disa.repaint(); });
    Measure("memory view, 16 bytes a line", 300, [&] { dump.repaint(); });
    dump.SetBytePerLineAuto(true);
    Measure("memory view, automatic (bytes a line as they fit)", 300, [&] { dump.repaint(); });
    dump.SetBytePerLine(16);

    std::printf("\nFrom one end of memory to the other, key and repaint:\n");
    bool atEnd = false;
    Measure("disassembly view, End then Home", 200, [&] {
        Key(&disa, atEnd ? Qt::Key_Home : Qt::Key_End);
        atEnd = !atEnd;
        disa.repaint();
    });
    atEnd = false;
    Measure("memory view, End then Home", 200, [&] {
        Key(&dump, atEnd ? Qt::Key_Home : Qt::Key_End);
        atEnd = !atEnd;
        dump.repaint();
    });
#ifdef LARGE_PROGRAM
    {
        // The same page of a program with 10,000 symbols: a label every 100 bytes, and an
        // operand named on most lines.
        ProgramLoader loader(QStringLiteral(LARGE_PROGRAM), &document);
        if (!loader.Load())
            return 1;
        disa.SetStartAddress(0x1000 + 5000 * 100);
        std::printf("\nWith %d symbols:\n", document.symbols->Count());
        Measure("disassembly view with labels and named operands", 300, [&] { disa.repaint(); });
        const SymbolTable symbols = *document.symbols;
        document.symbols->Clear();
        Measure("the same page without its symbols", 300, [&] { disa.repaint(); });
        *document.symbols = symbols;
        for (unsigned int a = 0; a < 0x20000; ++a)
            document.memory->Write(a, random.generate() & 0xFF, 8, true);
    }
#endif
    std::printf("\nScrolling a page at a time through the program, key and repaint:\n");
    disa.SetStartAddress(0x1000);
    Measure("disassembly view, Page Down", 200, [&] {
        Key(&disa, Qt::Key_PageDown);
        disa.repaint();
    });
    Measure("memory view, Page Down", 200, [&] {
        Key(&dump, Qt::Key_PageDown);
        dump.repaint();
    });
    return 0;
}
