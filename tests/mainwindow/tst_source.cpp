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
#include "views/StateFrame.h"
#include "views/RegisterText.h"
#include "views/StateFrameForm.h"

#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
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

// The point of a line of the source, or of a row of the disassembly, right of the margin.
QPoint SourcePoint(SourceView* source, int number)
{
    const int row = number - 1 - source->vValue / source->lineHeight;
    return QPoint(source->marginWidth + 60, row * source->lineHeight + source->lineHeight / 2);
}

QPoint RowPoint(StandardDisaView* view, int row)
{
    return QPoint(view->marginWidth + 60, row * view->lineHeight + view->lineHeight / 2);
}

int LineOf(SourceView* source, const char* text)
{
    const int index = source->text.indexOf(QRegularExpression(QStringLiteral("\\s*") + QLatin1String(text)
                                                             + QStringLiteral("\\s*")));
    if (index < 0)
        qFatal("no line %s", text);
    return index + 1;
}

enum class Picked { Missing, Disabled, Done };

// Right-clicks a point of a view and picks an entry of its menu, when it is there and enabled.
Picked Pick(QWidget* view, QPoint at, const QString& entry)
{
    Picked picked = Picked::Missing;
    SplitTest::ContextMenu(view, at, [&](QMenu* menu) {
        QAction* a = SplitTest::Entry(menu, entry);
        picked = !a ? Picked::Missing : a->isEnabled() ? Picked::Done : Picked::Disabled;
        if (picked == Picked::Done)
            SplitTest::Click(menu, a);
    });
    return picked;
}

bool PcRed(MainWindow& w)
{
    return w.stateFrame->ui->pcHexaText->palette().color(QPalette::Active, QPalette::Text) == QColor(Qt::red);
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

    // "Exécuter jusqu'au curseur" and "Placer le PC ici", from the views' menus, the keys and
    // the debug menu: the run is recorded and stops first at a breakpoint on its way; the PC
    // moved shows red, and both are taken back with Backspace.
    void runsToTheCursorAndPlacesThePc()
    {
        MainWindow w;
        Show(w);
        SourceView* source = Find<SourceView>(w, 3, &MainWindow::IsSourceView);
        StandardDisaView* disassembly = Find<StandardDisaView>(w, 3, &MainWindow::IsStandardDisaView);
        // Room for the lines of start and the status bar.
        w.resize(1200, 1000);
        QTest::qWait(1);
        source->SetVValue((LineOf(source, "\\.globl\\s+start") - 1) * source->lineHeight);
        const QString run = QStringLiteral("Exécuter jusqu'au curseur");
        const QString here = QStringLiteral("Placer le PC ici");
        const unsigned int start = Symbol(w, "start");
        const int clearLine = LineOf(source, "bsr\\s+clear_screen");
        const int frameLine = LineOf(source, "bsr\\s+draw_frame");
        const int helpLine = LineOf(source, "bsr\\s+draw_help");
        const unsigned int clearAt = w.document->lines->Addresses(source->file, clearLine).front();
        const unsigned int frameAt = w.document->lines->Addresses(source->file, frameLine).front();
        const unsigned int helpAt = w.document->lines->Addresses(source->file, helpLine).front();
        QCOMPARE(clearAt, start + 8);
        QVERIFY(SourcePoint(source, LineOf(source, "\\.globl\\s+start")).y() > 0);
        QVERIFY(SourcePoint(source, helpLine).y() < source->height() - 3 * source->lineHeight);

        // Nothing to apply to: a comment, the PC's own line; the debug menu's entries without
        // a cursor line say how to choose one.
        QCOMPARE(Pick(source, SourcePoint(source, LineOf(source, "\\.globl\\s+start")), run), Picked::Disabled);
        QCOMPARE(Pick(source, SourcePoint(source, LineOf(source, "move.w\\s+#0x2700,%sr")), here), Picked::Disabled);
        QVERIFY(w.runToCursorAction->isEnabled() && w.pcHereAction->isEnabled());
        w.runToCursorAction->trigger();
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), start);
        QVERIFY(w.findChild<QLabel*>(QStringLiteral("stopLabel"))->text().startsWith(QStringLiteral("Aucune ligne choisie")));

        // A breakpoint on the way stops the run first; without it the run reaches the line,
        // every instruction recorded.
        ClickMargin(source, clearLine - 1 - source->vValue / source->lineHeight, source->lineHeight);
        QCOMPARE(QList<unsigned int>(w.document->addressBreakpoints), QList<unsigned int>{clearAt});
        QCOMPARE(Pick(source, SourcePoint(source, frameLine), run), Picked::Done);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), clearAt);
        QCOMPARE(w.session->LastStop().cause, StopCause::AddressBreakpoint);
        ClickMargin(source, clearLine - 1 - source->vValue / source->lineHeight, source->lineHeight);
        QVERIFY(w.document->addressBreakpoints.isEmpty());
        const int before = w.document->emulator->undoList.items.count();
        QCOMPARE(Pick(source, SourcePoint(source, frameLine), run), Picked::Done);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), frameAt);
        QCOMPARE(w.session->LastStop().cause, StopCause::Until);
        QCOMPARE(CurrentLine(w, source), QStringLiteral("bsr draw_frame"));
        const int after = w.document->emulator->undoList.items.count();
        QVERIFY(after > before + 10);
        const unsigned int last = w.document->emulator->undoList.items.last()->pc;
        QTest::keyClick(&w, Qt::Key_Backspace);
        QVERIFY(WaitIdle(w));
        QCOMPARE(w.document->emulator->undoList.items.count(), after - 1);
        QCOMPARE(Pc(w), last);
        QTest::keyClick(&w, Qt::Key_Backspace, Qt::ControlModifier);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), start);

        // The key on the cursor line that a click chose: F6 runs there.
        QTest::mouseClick(source, Qt::LeftButton, Qt::NoModifier, SourcePoint(source, helpLine));
        QCOMPARE(source->cursorLine, helpLine);
        QCOMPARE(source->CursorAddress(), std::optional<unsigned int>(helpAt));
        QVERIFY(w.document->addressBreakpoints.isEmpty());
        QTest::keyClick(&w, Qt::Key_F6);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), helpAt);

        // The PC moved from the disassembly's menu, a step, and again from the source's menu
        // and from the debug menu's key: each shows red, and Backspace takes back the step
        // with the moves after it, as it does the panel's edits.
        QTest::keyClick(&w, Qt::Key_F11);
        QVERIFY(WaitIdle(w));
        Register stepped(w.document->emulator->registers);
        const unsigned int stepFrom = w.document->emulator->undoList.items.last()->pc;
        QCOMPARE(stepFrom, helpAt);
        disassembly->SetStartAddress(start);
        QCOMPARE(disassembly->AddressAtRow(3), start + 8);
        QCOMPARE(Pick(disassembly, RowPoint(disassembly, 3), here), Picked::Done);
        QCOMPARE(Pc(w), start + 8);
        QVERIFY(PcRed(w));
        QCOMPARE(w.stateFrame->ui->pcHexaText->text(), QStringLiteral("%1").arg(start + 8, 8, 16, QLatin1Char('0')).toUpper());
        disassembly->SetStartAddress(start);
        QCOMPARE(Pick(disassembly, RowPoint(disassembly, 3), here), Picked::Disabled);
        QCOMPARE(Pick(source, SourcePoint(source, frameLine), here), Picked::Done);
        QCOMPARE(Pc(w), frameAt);
        disassembly->SetStartAddress(start);
        w.activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() == &w);
        QTest::mouseClick(disassembly, Qt::LeftButton, Qt::NoModifier, RowPoint(disassembly, 2));
        QCOMPARE(disassembly->CursorAddress(), std::optional<unsigned int>(start + 4));
        QTest::keyClick(&w, Qt::Key_F10, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Pc(w), start + 4);
        QVERIFY(PcRed(w));
        QTest::keyClick(&w, Qt::Key_Backspace);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), stepFrom);
        QCOMPARE(w.document->emulator->registers->A7(), stepped.A7() + 4);
    }
};

ZENDRA_MAINWINDOW_TEST_MAIN(TestSource, DEMO_DIRECTORY "/demo.elf")
#include "tst_source.moc"
