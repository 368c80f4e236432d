// C at source level in the window, on a program stopped in a recursion three levels deep:
// the "Pile d'appels", "Variables" and "Expressions" views opened from an empty view, what
// they show against the library's own call stack, a frame chosen, a structure and an array
// opened, values changed by a step in red, expressions that evaluate and one that cannot,
// and the value of a name under the mouse in the source.
#include "MainWindowTestSupport.h"

#include "core/Emulator.h"
#include "core/Memory.h"
#include "program/SymbolTable.h"
#include "core/Register.h"
#include "program/LineTable.h"
#include "session/CallStack.h"
#include "session/ValueFormatter.h"
#include "splitview/DefaultView.h"
#include "splitview/ViewManager.h"
#include "views/CallStackView.h"
#include "views/SourceView.h"
#include "views/StandardDisaView.h"
#include "views/VariablesView.h"
#include "views/WatchView.h"

#include <QApplication>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QToolTip>
#include <QTreeWidget>
#include <QtTest>

using namespace WindowTest;

namespace {

// The line of the source that holds text.
int SourceLine(const char* text)
{
    QFile source(QStringLiteral(WALKED_SOURCE));
    if (!source.open(QIODevice::ReadOnly))
        qFatal("no source");
    const QList<QByteArray> lines = source.readAll().split('\n');
    for (int i = 0; i < lines.size(); ++i)
        if (lines[i].contains(text))
            return i + 1;
    qFatal("no line %s", text);
    return 0;
}

QTreeWidgetItem* Child(QTreeWidgetItem* parent, const QString& name)
{
    for (int i = 0; i < parent->childCount(); ++i)
        if (parent->child(i)->text(0) == name)
            return parent->child(i);
    return nullptr;
}

QTreeWidgetItem* Top(QTreeWidget* table, const QString& name)
{
    for (int i = 0; i < table->topLevelItemCount(); ++i)
        if (table->topLevelItem(i)->text(0) == name)
            return table->topLevelItem(i);
    return nullptr;
}

} // namespace

class TestCViews : public QObject
{
    Q_OBJECT

private slots:
    void stoppedInARecursion()
    {
        MainWindow w;
        w.resize(1200, 800);
        QVERIFY(ShowActive(w));
        const int stopLine = SourceLine("/* stop */");
        int file = -1;
        for (int i = 0; i < w.document->lines->Files().size(); ++i)
            if (w.document->lines->Files().at(i).endsWith(QLatin1String("walked.c")))
                file = i;
        const std::vector<unsigned int> stop = w.document->lines->Addresses(file, stopLine);
        QVERIFY(!stop.empty());
        w.document->AddAddressBreakpoint(stop.front());
        QTest::keyClick(&w, Qt::Key_F9);
        QVERIFY(WaitIdle(w));
        QCOMPARE(w.document->emulator->registers->pc, stop.front());

        CallStackView* calls = OpenViewOfKind<CallStackView>(w, 0, QStringLiteral("Pile d'appels"));
        VariablesView* variables = OpenViewOfKind<VariablesView>(w, 1, QStringLiteral("Variables"));
        WatchView* watch = OpenViewOfKind<WatchView>(w, 2, QStringLiteral("Expressions"));
        QVERIFY(calls && variables && watch);

        // The frames as the library unwinds them: walk three times over, then main.
        CallStack stack(*w.document);
        stack.Unwind(*w.document->emulator->registers);
        QVERIFY(stack.frames.size() >= 5);
        QTreeWidget* frames = calls->table;
        QCOMPARE(frames->topLevelItemCount(), int(stack.frames.size()) + (stack.endMessage.isEmpty() ? 0 : 1));
        for (int depth = 0; depth <= 3; ++depth) {
            const QString row = frames->topLevelItem(depth)->text(0);
            QVERIFY2(row.startsWith(QStringLiteral("#%1  walk (depth=%2, at=0x").arg(depth).arg(depth)), qPrintable(row));
            QVERIFY2(row.contains(QStringLiteral("where=")), qPrintable(row));
        }
        QVERIFY(frames->topLevelItem(4)->text(0).startsWith(QStringLiteral("#4  main ()")));
        QCOMPARE(frames->topLevelItem(0)->text(1), QStringLiteral("walked.c:%1").arg(stopLine));

        // The innermost frame's variables: its arguments and locals open, the globals shut.
        QTreeWidget* table = variables->table;
        QTreeWidgetItem* args = Top(table, QStringLiteral("Arguments"));
        QTreeWidgetItem* locals = Top(table, QStringLiteral("Variables locales"));
        QTreeWidgetItem* globals = Top(table, QStringLiteral("Variables globales"));
        QVERIFY(args && locals && globals);
        QVERIFY(args->isExpanded() && locals->isExpanded() && !globals->isExpanded());
        QCOMPARE(Child(args, QStringLiteral("depth"))->text(1), QStringLiteral("0"));
        QCOMPARE(Child(args, QStringLiteral("depth"))->text(2), QStringLiteral("int"));
        QCOMPARE(Child(locals, QStringLiteral("doubled"))->text(1), QStringLiteral("0"));
        // where, a structure passed by value three calls down: {x = 6, y = -7}, opened.
        QTreeWidgetItem* where = Child(args, QStringLiteral("where"));
        QCOMPARE(where->text(1), QStringLiteral("{x = 6, y = -7}"));
        QCOMPARE(where->text(2), QStringLiteral("struct point"));
        where->setExpanded(true);
        QCOMPARE(Child(where, QStringLiteral("y"))->text(1), QStringLiteral("-7"));
        // at, the list's last node, through its pointer.
        QTreeWidgetItem* at = Child(args, QStringLiteral("at"));
        QCOMPARE(at->text(2), QStringLiteral("struct node *"));
        at->setExpanded(true);
        QVERIFY(at->childCount() == 1);
        QTreeWidgetItem* node = at->child(0);
        node->setExpanded(true);
        QCOMPARE(Child(node, QStringLiteral("value"))->text(1), QStringLiteral("40"));
        // A global array of arrays.
        globals->setExpanded(true);
        QTreeWidgetItem* grid = Child(globals, QStringLiteral("grid"));
        QCOMPARE(grid->text(1), QStringLiteral("{{1, 2, 3}, {4, 5, -6}}"));
        grid->setExpanded(true);
        QCOMPARE(grid->childCount(), 2);
        grid->child(1)->setExpanded(true);
        QCOMPARE(grid->child(1)->child(2)->text(1), QStringLiteral("-6"));
        if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES")) {
            // Tall enough for the structure, the list's node and the array, all open.
            variables->table->setParent(nullptr);
            variables->table->resize(640, 640);
            QVERIFY(variables->table->grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QStringLiteral("/variables.png")));
            variables->layout()->addWidget(variables->table);
        }

        // Expressions: evaluated in the selected frame; one that cannot be says why.
        w.document->watchExpressions = QStringList{QStringLiteral("chain[2].value"), QStringLiteral("at->next"),
                                                   QStringLiteral("sizeof(struct node)"), QStringLiteral("grid[1][2] * 2"),
                                                   QStringLiteral("where.x * 10 + depth"), QStringLiteral("nowhere")};
        watch->update();
        QTreeWidget* list = watch->table;
        QCOMPARE(list->topLevelItemCount(), 6);
        QCOMPARE(list->topLevelItem(0)->text(1), QStringLiteral("30"));
        QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("0x0"));
        QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("8"));
        QCOMPARE(list->topLevelItem(3)->text(1), QStringLiteral("-12"));
        QCOMPARE(list->topLevelItem(4)->text(1), QStringLiteral("60"));
        QCOMPARE(list->topLevelItem(5)->text(1), QStringLiteral("« nowhere » n'est pas une variable visible ici"));

        // Frame #2 chosen: its depth and where, its line in the disassembly; the expressions
        // follow it.
        frames->setCurrentItem(frames->topLevelItem(2));
        QCOMPARE(w.document->selectedFrame, 2);
        w.tabWidget->setCurrentIndex(1);
        variables->update();
        QCOMPARE(Child(Top(table, QStringLiteral("Arguments")), QStringLiteral("depth"))->text(1), QStringLiteral("2"));
        QCOMPARE(Child(Top(table, QStringLiteral("Arguments")), QStringLiteral("where"))->text(1),
                 QStringLiteral("{x = 4, y = -5}"));
        watch->update();
        QCOMPARE(list->topLevelItem(4)->text(1), QStringLiteral("42"));
        if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES")) {
            w.tabWidget->setCurrentIndex(0);
            QVERIFY(w.grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QStringLiteral("/callstack-window.png")));
            w.tabWidget->setCurrentIndex(2);
            QVERIFY(watch->grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QStringLiteral("/watch.png")));
        }

        // The source: hovering "value" in "at->value" shows the chain's value in the frame
        // chosen; a number or a blank shows nothing.
        SourceView* source = nullptr;
        for (int tab = 0; tab < w.tabWidget->count() && !source; ++tab) {
            if (View* root = qobject_cast<View*>(w.tabWidget->widget(tab))) {
                for (View* v : root->manager->SingleViewList()) {
                    if (SourceView* found = qobject_cast<SourceView*>(v)) {
                        source = found;
                        w.tabWidget->setCurrentIndex(tab);
                    }
                }
            }
        }
        QVERIFY(source);
        source->SetStartAddress(stop.front());
        const int sumLine = SourceLine("int sum = at->value") - 1;
        const int column = int(source->text.at(sumLine).indexOf(QStringLiteral("at->value"))) + 5;
        const QPoint point(int((source->columnOrigin + DisaView::machineCodeColumn + column + 0.5) * source->charWidth)
                               - source->hValue,
                           sumLine * source->lineHeight - source->vValue + source->lineHeight / 2);
        QCOMPARE(source->ExpressionAt(point), QStringLiteral("at->value"));
        w.document->selectedFrame = 1;
        QHelpEvent help(QEvent::ToolTip, point, source->mapToGlobal(point));
        QApplication::sendEvent(source, &help);
        QTRY_VERIFY(QToolTip::isVisible());
        // One level up, at is chain[2].
        QCOMPARE(QToolTip::text(), QStringLiteral("at->value = 30"));
        if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES"))
            for (QWidget* top : QApplication::topLevelWidgets())
                if (top->isVisible() && (top->windowFlags() & Qt::ToolTip) == Qt::ToolTip)
                    QVERIFY(top->grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QStringLiteral("/tooltip.png")));
        const int blank = int(source->text.at(sumLine).indexOf(QStringLiteral("int")));
        QCOMPARE(source->ExpressionAt(QPoint(int((source->columnOrigin + DisaView::machineCodeColumn + blank - 1 + 0.5)
                                                     * source->charWidth) - source->hValue,
                                             point.y())),
                 QString());
        w.document->selectedFrame = 2;

        // A step over the stop's line writes total: red at the next stop, the frame back to
        // the innermost.
        QToolTip::hideText();
        // A breakpoint at the pc keeps the step back.
        w.document->RemoveAddressBreakpoint(stop.front());
        w.stepOverLineAction->trigger();
        QVERIFY(WaitIdle(w));
        QVERIFY(w.document->emulator->registers->pc != stop.front());
        QCOMPARE(w.document->selectedFrame, 0);
        variables->update();
        globals = Top(table, QStringLiteral("Variables globales"));
        QTreeWidgetItem* total = Child(globals, QStringLiteral("total"));
        QCOMPARE(total->text(1), QStringLiteral("46"));
        QCOMPARE(total->foreground(1).color(), QColor(Qt::red));
        QVERIFY(Child(globals, QStringLiteral("greeting"))->foreground(1).color() != QColor(Qt::red));

        // letter edited in place, as a user does: a double click on its value, an expression
        // of the calculator, Enter. Memory holds it; Backspace takes it back with the last
        // instruction, which did not write it.
        const unsigned int letterAddress = w.document->symbols->Find(QStringLiteral("letter"))->address;
        QCOMPARE(w.document->memory->Read(letterAddress, 8), unsigned('Z'));
        w.tabWidget->setCurrentIndex(1);
        QTreeWidgetItem* letter = Child(Top(table, QStringLiteral("Variables globales")), QStringLiteral("letter"));
        table->scrollToItem(letter);
        QVERIFY(ShowActive(w));
        const QRect cell = table->visualItemRect(letter);
        const QPoint valueCell(table->columnViewportPosition(1) + 10, cell.center().y());
        QTest::mouseClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, valueCell);
        QTest::mouseDClick(table->viewport(), Qt::LeftButton, Qt::NoModifier, valueCell);
        QLineEdit* editor = table->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, QStringLiteral("$40+1"));
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits in a queued call.
        QTRY_COMPARE(w.document->memory->Read(letterAddress, 8), unsigned('A'));
        letter = Child(Top(table, QStringLiteral("Variables globales")), QStringLiteral("letter"));
        QCOMPARE(letter->text(1), QStringLiteral("65 'A'"));
        // A structure is no number: its row does not edit.
        QVERIFY(!(Child(Top(table, QStringLiteral("Variables globales")), QStringLiteral("bits"))->flags()
                  & Qt::ItemIsEditable));
        QVERIFY(ShowActive(w));
        QTest::keyClick(&w, Qt::Key_Backspace);
        QVERIFY(WaitIdle(w));
        QCOMPARE(w.document->memory->Read(letterAddress, 8), unsigned('Z'));
    }
};

ZENDRA_MAINWINDOW_TEST_MAIN(TestCViews, WALKED)
#include "tst_cviews.moc"
