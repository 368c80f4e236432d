// The window on the watch test program: watchpoints and conditions set in the breakpoint
// manager and from the memory view, the stops they give forwards and backwards with their
// messages, and "Dernière écriture" for a byte, a register and a pixel.
#include "MainWindowTestSupport.h"

#include "app/AddWatchpointDialog.h"
#include "app/BreakpointConditionDialog.h"
#include "app/EditBreakpointDialog.h"
#include "app/VideoDialog.h"
#include "core/Disassembler.h"
#include "core/Emulator.h"
#include "core/Register.h"
#include "program/SymbolTable.h"
#include "splitview/ViewManager.h"
#include "views/MemoryView.h"
#include "views/StateFrame.h"
#include "views/StateFrameForm.h"

#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QtTest>

using namespace WindowTest;
using namespace SplitTest;

namespace {

unsigned int At(MainWindow& w, const char* name)
{
    const SymbolTable::Symbol* s = w.document->symbols->Find(QString::fromLatin1(name));
    if (!s)
        qFatal("no symbol %s", name);
    return s->address;
}

Register& R(MainWindow& w)
{
    return *w.document->emulator->registers;
}

// Answers the boxes that ask a question with the given button, and notes every box's text.
class Answers : public QObject
{
public:
    explicit Answers(QMessageBox::StandardButton answer) : answer(answer)
    {
        connect(&timer, &QTimer::timeout, this, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || !box->isVisible())
                return;
            texts << box->text();
            if (QAbstractButton* b = box->button(this->answer))
                b->click();
            else
                box->done(QMessageBox::Ok);
        });
        timer.start(5);
    }
    QStringList texts;

private:
    QMessageBox::StandardButton answer;
    QTimer timer;
};

} // namespace

class TestHistory : public QObject
{
    Q_OBJECT

private:
    // A key of the window's, pressed once it is active again after the boxes.
    void Press(MainWindow& w, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QTest::keyClick(&w, key, modifiers);
        QVERIFY(WaitIdle(w));
    }

    // Types into the nested dialog that the button opens, and accepts it.
    static void Type(QDialog* dialog, const char* field, const QString& text)
    {
        auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(field));
        edit->setText(text);
        dialog->accept();
    }

private slots:
    void watchConditionsBackwardsAndWhoWroteThis()
    {
        MainWindow w;
        QVERIFY(ShowActive(w));
        const unsigned int count = At(w, "count");
        w.document->AddAddressBreakpoint(count);

        // The manager: a watchpoint added twice is refused once; a condition typed wrong is
        // refused with its fault selected; "Annuler" changes nothing, "OK" everything.
        QString selected;
        {
        ModalAnswerer nested([&](QDialog* dialog) {
            if (qobject_cast<AddWatchpointDialog*>(dialog)) {
                Type(dialog, "addressText", QStringLiteral("buffer+3"));
            } else if (qobject_cast<BreakpointConditionDialog*>(dialog)) {
                auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("conditionText"));
                edit->setText(QStringLiteral("d1==3 && q"));
                dialog->accept();
                selected = edit->selectedText();
                edit->setText(QStringLiteral("d1==3"));
                dialog->findChild<QSpinBox*>(QStringLiteral("ignoreBox"))->setValue(0);
                dialog->grab().save(QStringLiteral(MAINWINDOW_PROGRAMS "/condition-dialog.png"));
                dialog->accept();
            } else {
                dialog->reject();
            }
        });
        for (bool ok : {false, true}) {
            EditBreakpointDialog manager(w.document, &w);
            manager.show();
            QCOMPARE(manager.findChild<QTabWidget*>()->tabText(2), QStringLiteral("Données"));
            manager.addWatchButton->click();
            manager.addWatchButton->click();
            QCOMPARE(manager.watchListWidget->count(), 1);
            QCOMPARE(manager.watchListWidget->item(0)->text(),
                     QStringLiteral("$%1 (1 octet, écriture)").arg(Disassembler::Hexa(At(w, "buffer") + 3, 6)));
            manager.findChild<QTabWidget*>()->setCurrentIndex(2);
            QVERIFY(manager.grab().save(QStringLiteral(MAINWINDOW_PROGRAMS "/manager-data.png")));
            manager.findChild<QTabWidget*>()->setCurrentIndex(0);
            manager.conditionButton->click();
            if (ok) {
                QVERIFY(manager.grab().save(QStringLiteral(MAINWINDOW_PROGRAMS "/manager-addresses.png")));
                QCOMPARE(selected, QStringLiteral("q"));
                QVERIFY(manager.findChild<QListWidget*>(QStringLiteral("addressListWidget"))
                            ->item(0)->text().endsWith(QStringLiteral("[si d1==3]")));
                manager.accept();
            } else {
                manager.reject();
                QVERIFY(w.document->watchpoints.isEmpty() && w.document->conditions.isEmpty());
            }
        }
        QCOMPARE(nested.messages, QStringList({"Le point d'observation existe déjà.", "La condition saisie est invalide.",
                                               "Le point d'observation existe déjà.",
                                               "La condition saisie est invalide."}));
        }
        QCOMPARE(w.document->watchpoints.size(), 1);
        QVERIFY(w.document->conditions.value(count).HasCondition());

        // Forwards: the watchpoint stops after its writer with a box that names it, then the
        // condition stops the loop at its fourth pass.
        {
        Answers boxes(QMessageBox::Ok);
        Press(w, Qt::Key_F9);
        QCOMPARE(R(w).pc, At(w, "fill") + 2);
        QCOMPARE(boxes.texts.size(), 1);
        QVERIFY2(boxes.texts.last().contains(QStringLiteral("MOVE.B D0,(A0)+")), qPrintable(boxes.texts.last()));
        Press(w, Qt::Key_F9);
        QCOMPARE(R(w).pc, count);
        QCOMPARE(R(w).d[1], 3u);
        QCOMPARE(boxes.texts.size(), 1);
        // The status bar tells the stop: the breakpoint by address and name, the condition.
        const QString where = QStringLiteral("$%1 (count)").arg(Disassembler::Hexa(count, 6));
        QVERIFY(w.statusBar()->isVisible());
        QCOMPARE(w.findChild<QLabel*>(QStringLiteral("stopLabel"))->text(),
                 QStringLiteral("Arrêt sur le point d'arrêt en %1, dont la condition «\u00A0d1==3\u00A0» est vraie.").arg(where));
        QApplication::processEvents();
        w.grab().save(QStringLiteral(MAINWINDOW_PROGRAMS "/status-condition.png"));
        // A step refused there says how to go on, and the bar stays through the next run.
        const long long before = w.document->emulator->undoList.items.Committed();
        Press(w, Qt::Key_F11);
        QCOMPARE(R(w).pc, count);
        QCOMPARE(w.document->emulator->undoList.items.Committed(), before);
        const QString refused = w.findChild<QLabel*>(QStringLiteral("stopLabel"))->text();
        QVERIFY2(refused.startsWith(QStringLiteral("Point d'arrêt sur le PC, en %1 : rien n'a été exécuté.").arg(where))
                     && refused.contains(QStringLiteral("Ctrl+F11 («\u00A0Pas à pas détaillé sans point d'arrêt\u00A0»)")),
                 qPrintable(refused));
        QApplication::processEvents();
        w.grab().save(QStringLiteral(MAINWINDOW_PROGRAMS "/status-refused.png"));

        // Backwards to the writer again, then step back over nothing but one instruction.
        QVERIFY(w.runBackAction->isEnabled());
        // The menu with its new commands, to look at.
        w.debugMenu->popup(w.mapToGlobal(QPoint(0, 0)));
        QVERIFY(QTest::qWaitForWindowExposed(w.debugMenu));
        w.debugMenu->grab().save(QStringLiteral(MAINWINDOW_PROGRAMS "/debug-menu.png"));
        w.debugMenu->close();
        Press(w, Qt::Key_F9, Qt::ShiftModifier);
        QCOMPARE(R(w).pc, At(w, "fill") + 2);
        QCOMPARE(boxes.texts.size(), 2);
        // A watchpoint's box tells that stop: the bar's words of the last one are gone.
        QVERIFY(w.findChild<QLabel*>(QStringLiteral("stopLabel"))->text().isEmpty());
        QVERIFY(w.statusBar()->isVisible());
        Press(w, Qt::Key_Backspace, Qt::ShiftModifier);
        QCOMPARE(R(w).pc, At(w, "fill"));
        }

        // To the end, then who wrote the byte (from the memory view), D5 (from the panel) and
        // the pixel (from the video window), each time going back just after the writer.
        w.document->watchpoints.clear();
        w.document->RemoveAllAddressBreakpoints();
        w.document->AddAddressBreakpoint(At(w, "done"));
        Press(w, Qt::Key_F9);
        Answers yes(QMessageBox::Yes);
        w.tabWidget->setCurrentIndex(1);
        MemoryView* memory = nullptr;
        for (View* v : qobject_cast<View*>(w.tabWidget->currentWidget())->manager->SingleViewList())
            memory = qobject_cast<MemoryView*>(v);
        QVERIFY(memory);
        memory->SetStartAddress(At(w, "buffer"));
        // The bytes of a line stand three cells apart from cell 7 on.
        auto cell = [&](int c) { return QPoint(int((c + memory->columnOrigin) * memory->charWidth) + 2, memory->lineHeight / 2); };
        const long long first = memory->AddressAt(cell(7));
        const QPoint byte = cell(7 + 3 * int(At(w, "buffer") + 3 - first));
        QCOMPARE(memory->AddressAt(byte), (long long)At(w, "buffer") + 3);
        ContextMenu(memory, byte, [&](QMenu* menu) { Click(menu, Entry(menu, QStringLiteral("Dernière écriture"))); });
        QCOMPARE(R(w).pc, At(w, "fill") + 2);
        QCOMPARE(w.document->emulator->undoList.items.last()->pc, At(w, "fill"));
        QVERIFY2(yes.texts.last().contains(QStringLiteral("l'octet en $%1").arg(Disassembler::Hexa(At(w, "buffer") + 3, 6))),
                 qPrintable(yes.texts.last()));

        Press(w, Qt::Key_F9);
        QPushButton* d5 = w.stateFrame->ui->dButton[5];
        ContextMenu(d5, QPoint(4, 4), [&](QMenu* menu) { Click(menu, Entry(menu, QStringLiteral("Dernière écriture"))); });
        QCOMPARE(R(w).pc, At(w, "set_d5") + 6);
        QCOMPARE(R(w).d[5], 0x12345678u);

        // The pixel at (1, 0), set by a byte store before the call; (2, 0) was never set. (A
        // click at (0, 0) would be taken for one at the middle of the window.)
        w.videoDialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.videoDialog));
        const int asked = yes.texts.size();
        QCOMPARE(ContextMenu(w.videoDialog, QPoint(1, 0), [&](QMenu* menu) { Click(menu, menu->actions().first()); }), 1);
        QCOMPARE(yes.texts.size(), asked + 1);
        QCOMPARE(w.document->emulator->undoList.items.last()->pc, At(w, "count") + 8);
        ContextMenu(w.videoDialog, QPoint(2, 0), [&](QMenu* menu) { Click(menu, menu->actions().first()); });
        QVERIFY(yes.texts.last().startsWith(QStringLiteral("Aucune des")));
        QVERIFY(yes.texts.last().contains(QStringLiteral("le point (2, 0) de l'écran")));
        // The store that set (1, 0) wrote (2, 0) too, with the value it had: not a change.
        QVERIFY2(yes.texts.last().contains(QStringLiteral("n'a modifié")), qPrintable(yes.texts.last()));
        w.videoDialog->hide();
    }
};

ZENDRA_MAINWINDOW_TEST_MAIN(TestHistory, WATCH_PROGRAM)
#include "tst_history.moc"
