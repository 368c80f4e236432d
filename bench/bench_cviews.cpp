// The C views refreshed at a stop, on a generated C program with 10,000 symbols (2,500
// functions of two arguments and two locals, 7,500 globals) stopped 50 calls deep: the call
// stack, the variables (the frame's, and the globals opened) and ten watch expressions.
#include "core/Emulator.h"
#include "program/SymbolTable.h"
#include "session/Document.h"
#include "session/Session.h"
#include "splitview/ViewManager.h"
#include "views/CallStackView.h"
#include "views/VariablesView.h"
#include "views/WatchView.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

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

QByteArray Source()
{
    QByteArray c = "struct pair { int a; int b; };\n";
    for (int i = 0; i < 7500; ++i)
        c += "int g" + QByteArray::number(i) + " = " + QByteArray::number(i) + ";\n";
    c += "void stop_here(void) {}\n";
    for (int i = 2499; i >= 0; --i) {
        const QByteArray next = i < 49 ? "f" + QByteArray::number(i + 1) + "(a + 1, b)" : QByteArray("(stop_here(), 0)");
        c += "int f" + QByteArray::number(i) + "(int a, int b) { int x = a * 2; struct pair p = {a, b}; return " + next
             + " + x + p.b + g" + QByteArray::number(i) + "; }\n";
    }
    c += "int main(void) { return f0(1, 2); }\n";
    return c;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir dir;
    QFile source(dir.filePath(QStringLiteral("many.c")));
    if (!source.open(QIODevice::WriteOnly) || source.write(Source()) < 0)
        return 1;
    source.close();
    const QString elf = dir.filePath(QStringLiteral("many.elf"));
    const QString t = QStringLiteral(TEMPLATE);
    QProcess gcc;
    gcc.start(QStringLiteral(M68K_GCC), {"-m68000", "-nostdlib", "-ffreestanding", "-g", "-O0", "-fno-inline", "-T",
                                         t + "/zendra.ld", "-Wl,--no-warn-rwx-segments", "-o", elf, t + "/crt0.s",
                                         t + "/lib68000.s", source.fileName(), "-lgcc"});
    if (!gcc.waitForFinished(300000) || gcc.exitCode() != 0) {
        std::printf("Cannot build the program: %s\n", gcc.readAllStandardError().constData());
        return 1;
    }
    Session session;
    QString error;
    if (!session.Load(elf, &error)) {
        std::printf("%s\n", qPrintable(error));
        return 1;
    }
    session.Reset();
    RunBounds bounds;
    bounds.untilSet = true;
    bounds.until = session.document->symbols->Find(QStringLiteral("stop_here"))->address;
    session.RunHere(QuickStopMode, bounds);
    std::printf("%d symbols, stopped at $%06X\n", session.document->symbols->Count(),
                session.document->emulator->registers->pc);
    ViewManager::document = session.document;
    session.document->selectedFrame = 1;
    session.document->watchExpressions = QStringList{"a", "b", "x", "p", "p.a + p.b", "g7000", "g1 * 2 + a",
                                                     "sizeof(struct pair)", "&p", "g10 < g20"};
    CallStackView calls;
    VariablesView variables;
    WatchView watch;
    for (QWidget* w : std::initializer_list<QWidget*>{&calls, &variables, &watch}) {
        w->resize(800, 600);
        w->show();
    }
    std::printf("%d frames, %d watch rows\n", calls.table->topLevelItemCount(), watch.table->topLevelItemCount());
    Measure("call stack", 50, [&] { calls.update(); });
    Measure("variables, globals shut", 50, [&] { variables.update(); });
    Measure("expressions", 50, [&] { watch.update(); });
    Measure("all three", 50, [&] {
        calls.update();
        variables.update();
        watch.update();
    });
    variables.table->topLevelItem(variables.table->topLevelItemCount() - 1)->setExpanded(true);
    Measure("variables, 7,500 globals open", 10, [&] { variables.update(); });
    return 0;
}
