// The window on a program with symbols and source lines, the demo's ELF: it opens on a page
// with its source beside the labelled disassembly, steps by lines from the keyboard, sets
// breakpoints from the source's margin, and loses it all for S-Records.
#include "MainWindowTestSupport.h"

#include "core/Emulator.h"
#include "core/Register.h"
#include "program/LineTable.h"
#include "program/SymbolTable.h"
#include "splitview/ViewManager.h"
#include "views/SourceView.h"
#include "views/StandardDisaView.h"

#include <QtTest>

using namespace WindowTest;

namespace {

unsigned int Pc(MainWindow& w)
{
    return w.document->emulator->registers->pc;
}

unsigned int Symbol(MainWindow& w, const char* name)
{
    const SymbolTable::Symbol* s = w.document->symbols->Find(QString::fromLatin1(name));
    if (!s)
        qFatal("no symbol %s", name);
    return s->address;
}

template <class T>
T* Find(MainWindow& w, int page, View* (*is)(View*))
{
    View* root = qobject_cast<View*>(w.tabWidget->widget(page));
    for (View* v : root->manager->SingleViewList())
        if (is(v))
            return static_cast<T*>(v);
    return nullptr;
}

// The number of the line that the view marks with the arrow, read back from the text it
// shows and the line table.
QString CurrentLine(MainWindow& w, SourceView* source)
{
    const LineTable::Row* row = w.document->lines->Find(Pc(w));
    return row && row->file == source->file ? source->text.value(row->line - 1).simplified() : QString();
}

void ClickMargin(View* view, int row, int lineHeight)
{
    QTest::mouseClick(view, Qt::LeftButton, Qt::NoModifier, QPoint(2, row * lineHeight + lineHeight / 2));
}

} // namespace

class TestSource : public QObject
{
    Q_OBJECT

private:
    void Show(MainWindow& w)
    {
        w.resize(1200, 700);
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
    }

private slots:
    void opensOnItsSourceStepsByLinesAndSetsBreakpoints()
    {
        MainWindow w;
        Show(w);
        // A fourth page, current, with the source of the reset's PC beside the disassembly.
        QCOMPARE(w.tabWidget->count(), 4);
        QCOMPARE(w.tabWidget->currentIndex(), 3);
        QVERIFY(w.tabWidget->tabText(3).startsWith(QStringLiteral("Source (")));
        SourceView* source = Find<SourceView>(w, 3, &MainWindow::IsSourceView);
        StandardDisaView* disassembly = Find<StandardDisaView>(w, 3, &MainWindow::IsStandardDisaView);
        QVERIFY(source && disassembly);
        QVERIFY2(source->status.isEmpty(), qPrintable(source->status));
        QVERIFY(source->path.endsWith(QLatin1String("examples/demo.s")));
        QCOMPARE(CurrentLine(w, source), QStringLiteral("move.w #0x2700,%sr"));
        QVERIFY(w.stepIntoLineAction->isEnabled() && w.stepOverLineAction->isEnabled());
        QVERIFY(source->grab().save(QStringLiteral(MAINWINDOW_PROGRAMS "/source-view.png")));
        QVERIFY(w.grab().save(QStringLiteral(MAINWINDOW_PROGRAMS "/source-window.png")));

        // The disassembly: the label "start" on a row of its own above its instruction.
        const unsigned int start = Symbol(w, "start");
        QCOMPARE(Pc(w), start);
        QCOMPARE(disassembly->AddressAtRow(0), start);
        QCOMPARE(disassembly->AddressAtRow(1), start);
        QCOMPARE(disassembly->AddressAtRow(2), start + 4);
        ClickMargin(disassembly, 0, disassembly->lineHeight);
        QCOMPARE(QList<unsigned int>(w.document->addressBreakpoints), QList<unsigned int>{start});
        ClickMargin(disassembly, 1, disassembly->lineHeight);
        QVERIFY(w.document->addressBreakpoints.isEmpty());

        // Over a line, then over a call: the whole subroutine runs, its instructions undoable.
        QTest::keyClick(&w, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), start + 4);
        QCOMPARE(CurrentLine(w, source), QStringLiteral("bsr init_variables"));
        QTest::keyClick(&w, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), start + 8);
        QVERIFY(w.document->emulator->undoList.items.count() > 2);
        QCOMPARE(CurrentLine(w, source), QStringLiteral("bsr clear_screen"));
        // Into the next call: the first line of the subroutine.
        QTest::keyClick(&w, Qt::Key_F11, Qt::ShiftModifier);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), Symbol(w, "clear_screen"));
        const int entry = w.document->lines->Find(Pc(w))->line;
        QVERIFY(entry - 1 >= source->vValue / source->lineHeight);

        // The source margin: a click on the subroutine's return, after its loop, sets a
        // breakpoint on its instruction, which a run stops at; a second click removes it.
        const std::vector<int> code = w.document->lines->LinesWithCode(source->file);
        const auto at = std::find(code.begin(), code.end(), entry);
        QVERIFY(at != code.end() && code.end() - at > 4);
        const int target = *(at + 4);
        QCOMPARE(source->text.value(target - 1).simplified(), QStringLiteral("rts"));
        const int row = target - 1 - source->vValue / source->lineHeight;
        const std::vector<unsigned int> addresses = w.document->lines->Addresses(source->file, target);
        QCOMPARE(int(addresses.size()), 1);
        ClickMargin(source, row, source->lineHeight);
        QCOMPARE(QList<unsigned int>(w.document->addressBreakpoints), QList<unsigned int>{addresses.front()});
        QTest::keyClick(&w, Qt::Key_F9);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), addresses.front());
        QCOMPARE(CurrentLine(w, source), QStringLiteral("rts"));
        QVERIFY(w.grab().save(QStringLiteral(MAINWINDOW_PROGRAMS "/source-breakpoint.png")));
        ClickMargin(source, row, source->lineHeight);
        QVERIFY(w.document->addressBreakpoints.isEmpty());

        // Undo follows in the source too.
        QTest::keyClick(&w, Qt::Key_Backspace, Qt::ControlModifier);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), start);
        QCOMPARE(CurrentLine(w, source), QStringLiteral("move.w #0x2700,%sr"));

        // S-Records: no names, no lines; the source view says so, the line steps are off.
        {
            ModalAnswerer answers([](QDialog* dialog) {
                if (QFileDialog* files = qobject_cast<QFileDialog*>(dialog))
                    ChooseFile(files, QStringLiteral(DEMO_DIRECTORY "/demo.hex"));
            });
            w.openAction->trigger();
            QVERIFY(answers.messages.isEmpty());
        }
        QVERIFY(w.document->symbols->IsEmpty());
        QVERIFY(!w.stepIntoLineAction->isEnabled() && !w.stepOverLineAction->isEnabled());
        QCOMPARE(w.tabWidget->count(), 4);
        QVERIFY(source->status.startsWith(QStringLiteral("Aucune ligne source")));
        QCOMPARE(disassembly->AddressAtRow(1), start + 4);
        QTest::keyClick(&w, Qt::Key_F10, Qt::ShiftModifier);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), start);

        // The executable again, alone in a folder: its lines are back, its source is not found.
        QTemporaryDir alone;
        const QString copy = alone.filePath(QStringLiteral("demo.elf"));
        QVERIFY(QFile::copy(QStringLiteral(DEMO_DIRECTORY "/demo.elf"), copy));
        ModalAnswerer again([&](QDialog* dialog) {
            if (QFileDialog* files = qobject_cast<QFileDialog*>(dialog))
                ChooseFile(files, copy);
        });
        w.openAction->trigger();
        QVERIFY(w.stepOverLineAction->isEnabled());
        QCOMPARE(w.tabWidget->count(), 4);
        QCOMPARE(source->status, QStringLiteral("Fichier source introuvable : ./demo.s"));
    }
};

ZENDRA_MAINWINDOW_TEST_MAIN(TestSource, DEMO_DIRECTORY "/demo.elf")
#include "tst_source.moc"
