// A seeded random user at a real main window: commands by menu, key and tool bar, runs and
// stops, undo, clicks, keys and wheel turns on the views, context menus, splitting and
// closing views and pages, dialogs answered at random, files good and bad.
#include "MainWindowTestSupport.h"

#include "app/VideoDialog.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Register.h"
#include "splitview/View.h"
#include "splitview/ViewManager.h"
#include "views/StateFrame.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <random>

using namespace WindowTest;

namespace {

class RandomUser
{
public:
    RandomUser(MainWindow& w, unsigned int seed, const QString& directory) : w(w), random(seed), directory(directory)
    {
        // Dialogs and menus that the actions open are answered at random too.
        answerer = new ModalAnswerer([this](QDialog* d) { AnswerDialog(d); });
        QObject::connect(&menuTimer, &QTimer::timeout, [this]() { AnswerMenu(); });
    }
    ~RandomUser() { delete answerer; }

    int Next(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }

    void Act()
    {
        switch (Next(16)) {
        case 0: case 1: Command(); break;
        case 2: Key(); break;
        case 3: ToolButton(); break;
        case 4: RunAndStop(); break;
        case 5: UndoEntry(); break;
        case 6: ViewKeys(); break;
        case 7: ViewMouse(); break;
        case 8: ViewMenu(); break;
        case 9: Reshape(); break;
        case 10: PanelButton(); break;
        case 11: if (Next(8) == 0) OpenFile(); break;
        case 12: VideoKeys(); break;
        default: Step(); break;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }

    // What the session went through, for the log: a session that never reached a dialog or
    // an error box would prove little.
    QString Summary() const
    {
        return QStringLiteral("%1 dialogs answered, %2 message boxes, %3 files written, %4 pages left")
            .arg(answerer->dialogs)
            .arg(answerer->messages.size())
            .arg(files)
            .arg(w.tabWidget->count());
    }
    int DialogCount() const { return answerer->dialogs; }
    int MessageCount() const { return answerer->messages.size(); }

    void StopEverything()
    {
        w.stopEmulationAction->trigger();
        QVERIFY(WaitIdle(w));
    }

private:
    QList<QAction*> Commands() const
    {
        return {w.addDisaViewAction, w.addHexaViewAction, w.addMixedViewAction, w.editBreakpointAction,
                w.enableAddressBreakpointAction, w.enableInstructionBreakpointAction, w.quickRunAction,
                w.removeAllAddressBreakpointAction, w.removeAllInstructionBreakpointAction, w.resetAction,
                w.runAction, w.skipAction, w.stepIntoAction, w.stepIntoNoBreakAction, w.stepOutAction,
                w.stepOutNoBreakAction, w.stepOverAction, w.stepOverNoBreakAction, w.stopEmulationAction,
                w.undoAction, w.videoOutAction, w.aboutAction};
    }

    void Command()
    {
        const QList<QAction*> commands = Commands();
        QAction* a = commands.at(Next(commands.size()));
        // Too many pages only slow the session down.
        if ((a == w.addDisaViewAction || a == w.addHexaViewAction || a == w.addMixedViewAction)
            && w.tabWidget->count() > 6)
            return;
        a->trigger();
    }

    void Key()
    {
        static const int keys[] = {Qt::Key_F8, Qt::Key_F9, Qt::Key_F10, Qt::Key_F11, Qt::Key_F12, Qt::Key_Escape,
                                   Qt::Key_Backspace, Qt::Key_F4, Qt::Key_F2};
        const int key = keys[Next(int(sizeof keys / sizeof keys[0]))];
        const Qt::KeyboardModifiers modifiers = Next(4) == 0 ? Qt::ControlModifier : Qt::NoModifier;
        if (key == Qt::Key_F2 && w.tabWidget->count() > 6)
            return;
        QTest::keyClick(&w, Qt::Key(key), modifiers);
    }

    void ToolButton()
    {
        const QList<QAction*> actions = w.toolBar->actions();
        QAction* a = actions.at(Next(actions.size()));
        if (a->isSeparator() || a == w.openAction || a == w.addDisaViewAction || a == w.addMixedViewAction)
            return;
        if (QWidget* button = w.toolBar->widgetForAction(a))
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(8, 8));
    }

    void RunAndStop()
    {
        (Next(2) ? w.runAction : w.quickRunAction)->trigger();
        QTest::qWait(Next(15));
        // Escape is the stop key only where the user would press it: in the active main window.
        if (w.isActiveWindow() && !w.videoDialog->isVisible() && Next(2))
            QTest::keyClick(&w, Qt::Key_Escape);
        else
            w.stopEmulationAction->trigger();
        QVERIFY(WaitIdle(w));
    }

    void Step()
    {
        QAction* steps[] = {w.stepIntoAction, w.stepIntoNoBreakAction, w.stepOverAction, w.stepOverNoBreakAction,
                            w.stepOutAction, w.skipAction};
        steps[Next(6)]->trigger();
        // Step over and out may run on: they are stopped like runs.
        if (Next(3) == 0)
            w.stopEmulationAction->trigger();
    }

    void UndoEntry()
    {
        const QList<QAction*> entries = w.undoGroup->actions();
        entries.at(Next(entries.size()))->trigger();
    }

    QList<View*> Leaves() const
    {
        QList<View*> leaves;
        for (int i = 0; i < w.tabWidget->count(); ++i)
            if (View* root = qobject_cast<View*>(w.tabWidget->widget(i)); root && root->manager)
                leaves += root->manager->SingleViewList();
        return leaves;
    }

    View* SomeView()
    {
        const int page = w.tabWidget->currentIndex();
        View* root = qobject_cast<View*>(w.tabWidget->widget(page));
        if (!root || !root->manager || root->manager->SingleViewList().isEmpty())
            return nullptr;
        const QList<View*>& leaves = root->manager->SingleViewList();
        return leaves.at(Next(leaves.size()));
    }

    void ViewKeys()
    {
        View* v = SomeView();
        if (!v || !v->isVisible())
            return;
        static const int keys[] = {Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home,
                                   Qt::Key_End, Qt::Key_Left, Qt::Key_Right};
        const Qt::KeyboardModifiers modifiers = Next(3) == 0 ? Qt::ControlModifier : Qt::NoModifier;
        for (int i = Next(4) + 1; i > 0; --i)
            QTest::keyClick(v, Qt::Key(keys[Next(8)]), modifiers);
    }

    void ViewMouse()
    {
        View* v = SomeView();
        if (!v || !v->isVisible() || v->width() < 2 || v->height() < 2)
            return;
        const QPoint p(Next(v->width()), Next(v->height()));
        if (Next(2)) {
            QTest::mouseClick(v, Qt::LeftButton, Qt::NoModifier, p);
        } else if (Next(2)) {
            QTest::mouseMove(v, p);
        } else {
            QWheelEvent wheel(p, v->mapToGlobal(p), QPoint(), QPoint(0, Next(2) ? 120 : -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(v, &wheel);
        }
    }

    void ViewMenu()
    {
        View* v = SomeView();
        if (!v || !v->isVisible())
            return;
        menuSteps = 0;
        menuTimer.start(3);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), v->mapToGlobal(QPoint(5, 5)));
        QCoreApplication::sendEvent(v, &event);
        menuTimer.stop();
    }

    // In an open context menu: move down a few entries, then open a submenu, pick the entry
    // or give up.
    void AnswerMenu()
    {
        QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        if (++menuSteps > 8) {
            QTest::keyClick(menu, Qt::Key_Escape);
            return;
        }
        for (int i = Next(8); i > 0; --i)
            QTest::keyClick(menu, Qt::Key_Down);
        const int choice = Next(10);
        const Qt::Key key = choice < 4 ? Qt::Key_Right : choice < 9 ? Qt::Key_Return : Qt::Key_Escape;
        // The entry picked may open a dialog: press the key from a queued call, so that this
        // timer is free to answer the menus of the next round.
        const QPointer<QMenu> target(menu);
        QMetaObject::invokeMethod(
            &menuTimer,
            [target, key]() {
                if (target && target->isVisible())
                    QTest::keyClick(target, key);
            },
            Qt::QueuedConnection);
    }

    void Reshape()
    {
        View* v = SomeView();
        if (!v)
            return;
        switch (Next(5)) {
        case 0: if (Leaves().size() < 24) v->HSplit(); break;
        case 1: if (Leaves().size() < 24) v->VSplit(); break;
        case 2: v->Delete(); break;
        case 3:
            if (w.tabWidget->count() > 1)
                emit w.tabWidget->tabCloseRequested(Next(w.tabWidget->count()));
            break;
        default:
            w.tabWidget->setCurrentIndex(Next(w.tabWidget->count()));
            break;
        }
    }

    void PanelButton()
    {
        const QList<QPushButton*> buttons = w.stateFrame->findChildren<QPushButton*>();
        if (buttons.isEmpty() || !w.stateFrame->isEnabled())
            return;
        QPushButton* b = buttons.at(Next(buttons.size()));
        if (b->isVisible())
            QTest::mouseClick(b, Qt::LeftButton);
        else
            b->click();
    }

    void VideoKeys()
    {
        if (!w.videoDialog->isVisible())
            return;
        static const int keys[] = {Qt::Key_A, Qt::Key_Space, Qt::Key_Left, Qt::Key_Up, Qt::Key_Escape, Qt::Key_Shift,
                                   Qt::Key_Return, Qt::Key_F1, Qt::Key_Control};
        const int key = keys[Next(9)];
        if (Next(2))
            QTest::keyPress(w.videoDialog, Qt::Key(key));
        else
            QTest::keyRelease(w.videoDialog, Qt::Key(key));
    }

    // Random S-Records, sometimes over the vectors, or a file that is not S-Records at all.
    void OpenFile()
    {
        const QString name = directory + QStringLiteral("/random%1.hex").arg(++files);
        QFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            return;
        if (Next(3) == 0) {
            for (int i = Next(200); i > 0; --i)
                file.putChar(char(Next(256)));
        } else {
            for (int r = Next(6) + 1; r > 0; --r) {
                const unsigned int address = Next(4) == 0 ? 0u : unsigned(Next(0x3000)) & ~1u;
                QByteArray data;
                for (int i = Next(16) + 2; i > 0; --i)
                    data.append(char(Next(256)));
                QByteArray line = "S1" + QByteArray::number(data.size() + 3, 16).rightJustified(2, '0')
                                  + QByteArray::number(address, 16).rightJustified(4, '0') + data.toHex() + "00\n";
                file.write(line.toUpper());
            }
        }
        file.close();
        fileToOpen = Next(8) == 0 ? Program("mainwindow_session") : name;
        w.openAction->trigger();
    }

    void AnswerDialog(QDialog* d)
    {
        if (QFileDialog* files = qobject_cast<QFileDialog*>(d)) {
            ChooseFile(files, fileToOpen);
            return;
        }
        // Whatever line edit the dialog has gets a random expression, valid or not.
        static const char* const expressions[] = {"", "1 +", "d0+1", "$1000", "pc", "((", "é€", "a7*2", "%101",
                                                  "$FFFFFFFF", "sp-4", "123456789012345678901234567890"};
        if (QLineEdit* edit = d->findChild<QLineEdit*>()) {
            if (!edit->isReadOnly() && edit->isEnabled())
                edit->setText(QString::fromUtf8(expressions[Next(12)]));
        }
        if (++dialogAnswers % 3 == 0 || Next(2))
            d->reject();
        else
            d->accept();
        // A dialog that refused its input stays open: the next round rejects it.
        if (d->isVisible() && Next(2))
            d->reject();
    }

    MainWindow& w;
    std::mt19937 random;
    QString directory;
    ModalAnswerer* answerer;
    QTimer menuTimer;
    int menuSteps = 0;
    int files = 0;
    int dialogAnswers = 0;
    QString fileToOpen;
};

} // namespace

class TestRandomSession : public QObject
{
    Q_OBJECT

private slots:
    void fiveThousandActions()
    {
        const int viewsBefore = View::viewCount;
        QTemporaryDir directory;
        {
            MainWindow w;
            w.show();
            w.activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&w));
            const unsigned int seed = qEnvironmentVariableIsSet("ZENDRA_SESSION_SEED")
                                          ? qEnvironmentVariableIntValue("ZENDRA_SESSION_SEED")
                                          : 20261207u;
            RandomUser user(w, seed, directory.path());
            for (int i = 0; i < 5000; ++i) {
                user.Act();
                if (QTest::currentTestFailed())
                    QFAIL(qPrintable(QStringLiteral("action %1").arg(i)));
            }
            user.StopEverything();
            qInfo().noquote() << user.Summary();
            QVERIFY(user.DialogCount() > 50);
            QVERIFY(user.MessageCount() > 20);
            QTRY_VERIFY(!QApplication::activeModalWidget());

            // The panel shows the document's registers.
            const Register* r = w.document->emulator->registers;
            QVERIFY(w.stateFrame->isEnabled());
            w.stateFrame->UpdateControl();
            for (int n = 0; n < 8; ++n) {
                QLineEdit* d = w.stateFrame->findChild<QLineEdit*>(QStringLiteral("d%1HexaText").arg(n));
                QCOMPARE(d->text(), QStringLiteral("%1").arg(r->d[n], 8, 16, QLatin1Char('0')).toUpper());
            }
            QCOMPARE(w.stateFrame->findChild<QLineEdit*>(QStringLiteral("pcHexaText"))->text(),
                     QStringLiteral("%1").arg(r->pc, 8, 16, QLatin1Char('0')).toUpper());
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(View::viewCount, viewsBefore);
    }
};

ZENDRA_MAINWINDOW_TEST_MAIN(TestRandomSession, MAINWINDOW_PROGRAMS "/mainwindow_session.hex")
#include "tst_randomsession.moc"
