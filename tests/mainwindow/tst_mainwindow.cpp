#include "MainWindowTestSupport.h"

#include "app/VideoDialog.h"
#include "app/WindowPlacement.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "splitview/SplitView.h"
#include "splitview/ViewManager.h"
#include "views/StandardDisaView.h"
#include "views/StateFrame.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QToolBar>

using namespace WindowTest;

namespace {

// Addresses in session.s.
constexpr unsigned int sessionStart = 0x1000;
constexpr unsigned int sessionLoop = 0x1004;
constexpr unsigned int sessionCall = 0x1006;
constexpr unsigned int sessionAfterCall = 0x100A;

QStringList Texts(const QList<QAction*>& actions)
{
    QStringList texts;
    for (QAction* a : actions)
        texts << (a->isSeparator() ? QStringLiteral("—") : a->text());
    return texts;
}

QString PanelText(MainWindow& w, const char* name)
{
    QLineEdit* edit = w.stateFrame->findChild<QLineEdit*>(QLatin1String(name));
    return edit ? edit->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

unsigned int Pc(MainWindow& w)
{
    return w.document->emulator->registers->pc;
}

int History(MainWindow& w)
{
    return w.document->emulator->undoList.items.count();
}

void Key(MainWindow& w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(&w, Qt::Key(key), modifiers);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    // Shown and active, so that its keys reach their commands as the user's do.
    void Show(MainWindow& w) { QVERIFY(ShowActive(w)); }

    // The enabled state of every command, as a string, so that one comparison tells all.
    static QString CommandStates(MainWindow& w)
    {
        QString s;
        for (QAction* a : {w.runAction, w.quickRunAction, w.stopEmulationAction, w.stepIntoAction,
                           w.stepOverAction, w.stepOutAction, w.skipAction, w.resetAction, w.openAction,
                           w.undoAction, w.editBreakpointAction, w.removeAllAddressBreakpointAction,
                           w.removeAllInstructionBreakpointAction, w.aboutAction, w.quitAction, w.videoOutAction})
            s += a->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        s += QLatin1Char(' ');
        s += w.tabWidget->isEnabled() ? QLatin1Char('T') : QLatin1Char('t');
        s += w.stateFrame->isEnabled() ? QLatin1Char('P') : QLatin1Char('p');
        return s;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(QFile::exists(Program("mainwindow_session")));
    }

    void startsOnTheCommandLineFileWithEveryCommandInPlace()
    {
        MainWindow w;
        Show(w);
        // As high as the offscreen screen allows, 600 pixels with the frame.
        const QSize room = QGuiApplication::primaryScreen()->availableSize().shrunkBy(WindowPlacement::assumedFrame);
        QCOMPARE(w.size(), QSize(743, 670).boundedTo(room));
        QCOMPARE(w.minimumSize(), QSize(530, 500));

        // The reset read the loaded file's vectors.
        QCOMPARE(Pc(w), sessionStart);
        QCOMPARE(w.document->emulator->registers->ssp, 0x10000u);
        QCOMPARE(PanelText(w, "pcHexaText"), QStringLiteral("00001000"));

        // Three pages, "Désa" current, its lower disassembly view active and at PC.
        QCOMPARE(w.tabWidget->count(), 3);
        QVERIFY(w.tabWidget->tabText(0).startsWith(QStringLiteral("Désa (")));
        QVERIFY(w.tabWidget->tabText(1).startsWith(QStringLiteral("Mémoire (")));
        QVERIFY(w.tabWidget->tabText(2).startsWith(QStringLiteral("Mixte (")));
        QCOMPARE(w.tabWidget->currentIndex(), 0);
        for (int page : {0, 2}) {
            View* root = qobject_cast<View*>(w.tabWidget->widget(page));
            QVERIFY(root && root->manager);
            View* active = root->manager->activeView;
            QVERIFY(MainWindow::IsStandardDisaView(active));
            QCOMPARE(static_cast<StandardDisaView*>(active)->vValue,
                     int(sessionStart / 2) * static_cast<StandardDisaView*>(active)->lineHeight);
        }

        QCOMPARE(Texts(w.menuBar()->actions()), QStringList({QStringLiteral("&Fichier"), QStringLiteral("&Affichage"),
                                                             QStringLiteral("&Déboguer"), QStringLiteral("Aide")}));
        QCOMPARE(Texts(w.debugMenu->actions()),
                 QStringList({"Annuler", "&Réinitialiser", "&Sauter une instruction", "Placer le PC ici", "—",
                              "Exécuter", "Exécuter en mode &rapide", "Exécuter jusqu'au curseur",
                              "Exécuter en arrière", "Stopper l'&exécution", "—",
                              "&Pas à pas principal", "Pas à pas principal sans point d'arrêt",
                              "Pas à pas principal (ligne)", "Pas à pas principal en arrière", "—",
                              "Pas à pas détaillé", "Pas à pas détaillé sans point d'arrêt",
                              "Pas à pas détaillé (ligne)", "—", "Pas à pas s&ortant",
                              "Pas à pas sortant sans point d'arrêt", "—", "Profiler", "Exporter le profil...", "—",
                              "Points d'arrêt", "—", "Serveur GDB..."}));
        QCOMPARE(Texts(w.breakpointMenu->actions()),
                 QStringList({"Gestion des points d'arrêt...", "—", "Activation des points d'arrêt sur les adresses",
                              "Activation des points d'arrêt sur les instructions", "—",
                              "Supprimer tous les points d'arrêt sur les adresses",
                              "Supprimer tous les points d'arrêt sur les instructions"}));
        QCOMPARE(Texts(w.undoMenu->actions()),
                 QStringList({"1 instruction", "10 instructions", "100 instructions", "1000 instructions",
                              "10000 instructions", "100000 instructions", "Toutes les instructions en mémoire"}));
        QCOMPARE(Texts(w.toolBar->actions()),
                 QStringList({"&Ouvrir", "—", "Ajouter une vue de désassemblage", "Ajouter une vue sur la mémoire",
                              "Ajouter une vue mixte", "Afficher la fenêtre de sortie vidéo", "—", "1 instruction",
                              "&Réinitialiser", "&Sauter une instruction", "—", "Exécuter", "Exécuter en mode &rapide",
                              "Stopper l'&exécution", "—", "&Pas à pas principal", "Pas à pas détaillé",
                              "Pas à pas s&ortant", "—", "Gestion des points d'arrêt..."}));

        // Tool tips name the keys in their portable form; the tool-bar breakpoint button names
        // F7 without holding it.
        QCOMPARE(w.runAction->toolTip(), QStringLiteral("Exécuter (F9)"));
        QCOMPARE(w.quickRunAction->toolTip(), QStringLiteral("Exécuter en mode rapide (Ctrl+F9)"));
        QCOMPARE(w.openAction->toolTip(), QStringLiteral("Ouvrir un fichier au format S-Record (Ctrl+O)"));
        QCOMPARE(w.stopEmulationAction->toolTip(), QStringLiteral("Stopper l'exécution (Esc)"));
        QCOMPARE(w.undoAction->toolTip(), QStringLiteral("Annuler la dernière instruction exécutée (Backspace)"));
        QCOMPARE(w.addMixedViewAction->toolTip(), QStringLiteral("Ajouter une vue mixte (Ctrl+F3)"));
        QCOMPARE(w.editBreakpointToolAction->toolTip(),
                 QStringLiteral("Afficher la fenêtre de gestion des points d'arrêt (F7)"));
        QVERIFY(w.editBreakpointToolAction->shortcut().isEmpty());
        QCOMPARE(w.editBreakpointAction->shortcut(), QKeySequence(Qt::Key_F7));
        QVERIFY(w.stepIntoNoBreakAction->toolTip() == w.stepIntoNoBreakAction->text().remove(QLatin1Char('&')) ||
                w.stepIntoNoBreakAction->toolTip() == w.stepIntoNoBreakAction->text());
        QVERIFY(w.videoOutAction->isCheckable() && w.enableAddressBreakpointAction->isCheckable()
                && w.enableInstructionBreakpointAction->isCheckable() && !w.runAction->isCheckable());
        QVERIFY(!w.runAction->icon().isNull() && !w.undoGroup->actions().first()->icon().isNull());
        QVERIFY(w.undoGroup->actions().at(1)->icon().isNull());

        // Idle, with an empty history: everything but stop and undo; the ILLEGAL breakpoint
        // can be removed, no address breakpoint can.
        QCOMPARE(CommandStates(w), QStringLiteral("1101111110101111 TP"));
        QVERIFY(w.enableAddressBreakpointAction->isChecked() && w.enableInstructionBreakpointAction->isChecked());
        QVERIFY(!w.videoOutAction->isChecked());
    }

    void longRunLocksTheWindowUntilEscapeStopsIt()
    {
        MainWindow w;
        Show(w);
        Key(w, Qt::Key_F9);
        QVERIFY(WaitRunning(w));
        QVERIFY(w.running);
        // Only stop (and what never changes the machine) is left.
        QCOMPARE(CommandStates(w), QStringLiteral("0010000000000111 tp"));
        QVERIFY(!w.undoGroup->isEnabled());
        QTest::qWait(100);
        Key(w, Qt::Key_F9); // dropped: the thread is busy
        Key(w, Qt::Key_Escape);
        QVERIFY(WaitIdle(w, 2000));
        QCOMPARE(w.session->LastStop().cause, StopCause::Interrupted);

        // How far the run got depends on the machine's load; what the window shows must
        // follow it whatever it is.
        const Register* r = w.document->emulator->registers;
        QCOMPARE(PanelText(w, "d0HexaText"), QStringLiteral("%1").arg(r->d[0], 8, 16, QLatin1Char('0')).toUpper());
        QCOMPARE(PanelText(w, "pcHexaText"), QStringLiteral("%1").arg(r->pc, 8, 16, QLatin1Char('0')).toUpper());
        QCOMPARE(CommandStates(w), History(w) > 0 ? QStringLiteral("1101111111101111 TP")
                                                  : QStringLiteral("1101111110101111 TP"));
        // Every entry up to the history's size is offered.
        for (QAction* a : w.undoGroup->actions()) {
            const int n = a->data().toInt();
            QCOMPARE(a->isEnabled(), n <= History(w));
        }
    }

    void stepsOverTheCallAndTakesItBack()
    {
        MainWindow w;
        Show(w);
        Key(w, Qt::Key_F11);
        QVERIFY(WaitIdle(w));
        Key(w, Qt::Key_F11);
        QVERIFY(WaitIdle(w));
        Key(w, Qt::Key_F11);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), sessionCall);
        QCOMPARE(w.document->emulator->registers->d[0], 1u);
        // Only D0 changed in the last step: it alone is red.
        QLineEdit* d0 = w.stateFrame->findChild<QLineEdit*>(QStringLiteral("d0HexaText"));
        QLineEdit* d1 = w.stateFrame->findChild<QLineEdit*>(QStringLiteral("d1HexaText"));
        QCOMPARE(d0->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::red));
        QCOMPARE(d1->palette().color(QPalette::Active, QPalette::Text), QColor(Qt::black));

        // Step over the BSR: the subroutine runs whole, and the step is a long run.
        Key(w, Qt::Key_F10);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), sessionAfterCall);
        QCOMPARE(w.document->emulator->registers->d[1], 1u);
        QCOMPARE(w.document->memory->Read(0x2000, 32), 1u);
        QCOMPARE(History(w), 7);
        QCOMPARE(w.session->LastStop().cause, StopCause::ReturnReached);

        // Every standard disassembly view follows PC.
        for (int page : {0, 2}) {
            View* root = qobject_cast<View*>(w.tabWidget->widget(page));
            auto* view = static_cast<StandardDisaView*>(root->manager->activeView);
            QCOMPARE(view->vValue, int(sessionAfterCall / 2) * view->lineHeight);
        }

        // Undo 1 with Backspace: back into the subroutine's RTS.
        Key(w, Qt::Key_Backspace);
        QVERIFY(WaitIdle(w));
        QCOMPARE(History(w), 6);
        QCOMPARE(w.document->memory->Read(0x2000, 32), 1u);
        // Undo 10 from the menu with fewer items is disabled, so the tool bar's drop-down
        // offers 1 and all only.
        w.UpdateCommand();
        QVERIFY(w.undoGroup->actions().at(0)->isEnabled());
        QVERIFY(!w.undoGroup->actions().at(1)->isEnabled());
        QVERIFY(w.undoGroup->actions().at(6)->isEnabled());

        // Run a while so that 10 can be taken back, then all of it with Ctrl+Backspace.
        for (int i = 0; i < 12; ++i) {
            Key(w, Qt::Key_F11);
            QVERIFY(WaitIdle(w));
        }
        const int before = History(w);
        w.undoGroup->actions().at(1)->trigger();
        QVERIFY(WaitIdle(w));
        QCOMPARE(History(w), before - 10);
        Key(w, Qt::Key_Backspace, Qt::ControlModifier);
        QVERIFY(WaitIdle(w));
        QCOMPARE(History(w), 0);
        QCOMPARE(Pc(w), sessionStart);
        QCOMPARE(w.document->memory->Read(0x2000, 32), 0u);
        QCOMPARE(w.document->emulator->registers->d[0], 0u);
        QVERIFY(!w.undoAction->isEnabled());
        QCOMPARE(PanelText(w, "pcHexaText"), QStringLiteral("00001000"));
    }

    // At the call, with an address breakpoint inside the subroutine, each step command of the
    // window goes where it alone goes: into the call, to the breakpoint, over it, past it
    // unexecuted, and out of the subroutine with and without stopping.
    void eachStepCommandAtTheCall()
    {
        constexpr unsigned int subroutine = 0x100C;
        constexpr unsigned int store = 0x100E;
        struct Row {
            QAction* MainWindow::*first;
            QAction* MainWindow::*second;
            unsigned int pc;
            int history;
        };
        const Row rows[] = {
            {&MainWindow::stepIntoAction, nullptr, subroutine, 4},
            {&MainWindow::stepIntoNoBreakAction, nullptr, subroutine, 4},
            {&MainWindow::stepOverAction, nullptr, store, 5},
            {&MainWindow::stepOverNoBreakAction, nullptr, sessionAfterCall, 7},
            {&MainWindow::skipAction, nullptr, sessionAfterCall, 3},
            {&MainWindow::stepIntoAction, &MainWindow::stepOutAction, store, 5},
            {&MainWindow::stepIntoAction, &MainWindow::stepOutNoBreakAction, sessionAfterCall, 7},
        };
        for (const Row& row : rows) {
            MainWindow w;
            Show(w);
            for (int i = 0; i < 3; ++i) {
                w.OnAction_StepInto();
                QVERIFY(WaitIdle(w));
            }
            QCOMPARE(Pc(w), sessionCall);
            w.document->AddAddressBreakpoint(store);
            for (QAction* MainWindow::*field : {row.first, row.second}) {
                if (field) {
                    (w.*field)->trigger();
                    QVERIFY(WaitIdle(w));
                }
            }
            QVERIFY2(Pc(w) == row.pc && History(w) == row.history,
                     qPrintable(QStringLiteral("%1: pc $%2, %3 in the history")
                                    .arg((w.*(row.second ? row.second : row.first))->text())
                                    .arg(Pc(w), 0, 16)
                                    .arg(History(w))));
        }
    }

    // Opening "Affichage", "Annuler" or "Points d'arrêt" brings their entries up to date
    // before the user sees them, whatever was left stale.
    void menusAreUpToDateWhenOpened()
    {
        MainWindow w;
        Show(w);
        w.stepIntoAction->trigger();
        QVERIFY(WaitIdle(w));
        w.document->AddAddressBreakpoint(sessionCall);
        const QPair<QMenu*, QAction*> entries[] = {
            {w.viewMenu, w.addHexaViewAction},
            {w.undoMenu, w.undoGroup->actions().at(0)},
            {w.breakpointMenu, w.removeAllAddressBreakpointAction},
        };
        for (const auto& entry : entries) {
            entry.second->setEnabled(false);
            entry.first->popup(w.mapToGlobal(QPoint(10, 10)));
            QVERIFY2(entry.second->isEnabled(), qPrintable(entry.first->title()));
            entry.first->hide();
        }
    }

    void skipResetAndTheBreakpointCommands()
    {
        MainWindow w;
        Show(w);
        Key(w, Qt::Key_F8); // skip the first MOVEQ
        QCOMPARE(Pc(w), sessionStart + 2);
        QCOMPARE(History(w), 0);
        Key(w, Qt::Key_F8);
        Key(w, Qt::Key_F11);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), sessionCall);
        w.document->AddAddressBreakpoint(0x100C);

        // Reset keeps memory and breakpoints, empties the history and goes back to the vectors.
        Key(w, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(Pc(w), sessionStart);
        QCOMPARE(History(w), 0);
        QCOMPARE(w.document->addressBreakpoints.count(), 1);
        QCOMPARE(PanelText(w, "pcHexaText"), QStringLiteral("00001000"));

        // A run stops before the breakpoint in the subroutine.
        Key(w, Qt::Key_F9);
        QVERIFY(WaitIdle(w));
        QCOMPARE(w.session->LastStop().cause, StopCause::AddressBreakpoint);
        QCOMPARE(Pc(w), 0x100Cu);

        // The switch turns the address breakpoints off without removing them.
        w.enableAddressBreakpointAction->trigger();
        QVERIFY(!w.document->addressBreakpointsEnabled);
        QCOMPARE(w.document->addressBreakpoints.count(), 1);
        w.breakpointMenu->popup(w.mapToGlobal(QPoint(50, 50)));
        QVERIFY(!w.enableAddressBreakpointAction->isChecked());
        w.breakpointMenu->hide();
        w.enableInstructionBreakpointAction->trigger();
        QVERIFY(!w.document->instructionBreakpointsEnabled);

        w.removeAllAddressBreakpointAction->trigger();
        w.removeAllInstructionBreakpointAction->trigger();
        QVERIFY(w.document->addressBreakpoints.isEmpty());
        QVERIFY(w.document->instructionBreakpoints.isEmpty());
        w.UpdateCommand();
        QVERIFY(!w.removeAllAddressBreakpointAction->isEnabled());
        QVERIFY(!w.removeAllInstructionBreakpointAction->isEnabled());

        // F7 opens the management dialog once, for all its two actions.
        ModalAnswerer answerer;
        Key(w, Qt::Key_F7);
        QCOMPARE(answerer.dialogs, 1);
    }

    void opensGoodAndBadFiles()
    {
        MainWindow w;
        Show(w);
        Key(w, Qt::Key_F11);
        QVERIFY(WaitIdle(w));
        const unsigned int pc = Pc(w);

        QTemporaryDir dir;
        const QString bad = dir.filePath(QStringLiteral("bad.hex"));
        QFile file(bad);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("S1130000FFFFFFFF\nnot a record\n");
        file.close();

        QString toOpen = bad;
        ModalAnswerer answerer([&](QDialog* dialog) {
            if (QFileDialog* files = qobject_cast<QFileDialog*>(dialog)) {
                ChooseFile(files, toOpen);
            } else {
                dialog->reject();
            }
        });
        Key(w, Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(answerer.messages.size(), 1);
        QCOMPARE(answerer.titles.at(0), QStringLiteral("Zendra - Erreur"));
        QVERIFY(!answerer.messages.at(0).isEmpty());
        // Nothing but the memory the loader wrote changed.
        QCOMPARE(Pc(w), pc);
        QCOMPARE(History(w), 1);

        toOpen = dir.filePath(QStringLiteral("missing.hex"));
        w.openAction->trigger();
        QCOMPARE(answerer.messages.size(), 2);
        QCOMPARE(Pc(w), pc);

        // A good file resets the processor and forgets the history.
        toOpen = Program("mainwindow_fault");
        w.openAction->trigger();
        QCOMPARE(answerer.messages.size(), 2);
        QCOMPARE(Pc(w), sessionStart);
        QCOMPARE(History(w), 0);
        QCOMPARE(w.document->memory->Read(0x1000, 16), 0x4EF8u); // JMP (xxx).W

        // Its first instruction faults: the message shows once, after the views are refreshed.
        w.runAction->trigger();
        QVERIFY(WaitIdle(w));
        QTRY_COMPARE(answerer.messages.size(), 3);
        QCOMPARE(answerer.messages.at(2), w.document->emulator->errorMessage);
        QCOMPARE(w.session->LastStop().cause, StopCause::AddressError);
        QCOMPARE(w.session->LastStop().message, w.document->emulator->errorMessage);
        QVERIFY(w.runAction->isEnabled());
    }

    void toolBarButtonsAndMenuEntriesReachTheirCommands()
    {
        MainWindow w;
        Show(w);
        auto click = [&](QAction* a) {
            QWidget* button = w.toolBar->widgetForAction(a);
            QVERIFY(button && button->isVisible());
            QTest::mouseClick(button, Qt::LeftButton, Qt::NoModifier, QPoint(6, button->height() / 2));
        };
        auto menuEntry = [&](char menuKey, char entryKey) {
            QTest::keyClick(&w, menuKey, Qt::AltModifier);
            QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu);
            QTest::keyClick(menu, entryKey);
        };

        click(w.stepIntoAction);
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), sessionStart + 2);
        click(w.skipAction);
        QCOMPARE(Pc(w), sessionLoop);
        menuEntry('d', 's'); // "&Déboguer", "&Sauter une instruction"
        QCOMPARE(Pc(w), sessionCall);
        menuEntry('d', 'p'); // "&Pas à pas principal" over the BSR
        QVERIFY(WaitIdle(w));
        QCOMPARE(Pc(w), sessionAfterCall);
        QCOMPARE(History(w), 5);
        click(w.undoAction);
        QVERIFY(WaitIdle(w));
        QCOMPARE(History(w), 4);
        click(w.runAction);
        QVERIFY(WaitRunning(w));
        QVERIFY(w.toolBar->widgetForAction(w.stopEmulationAction)->isEnabled());
        QVERIFY(!w.toolBar->widgetForAction(w.runAction)->isEnabled());
        click(w.stopEmulationAction);
        QVERIFY(WaitIdle(w));
        click(w.resetAction);
        QCOMPARE(Pc(w), sessionStart);
        QCOMPARE(History(w), 0);
        click(w.addHexaViewAction);
        QCOMPARE(w.tabWidget->count(), 4);
        menuEntry('a', 'm'); // no entry of "&Affichage" answers m: nothing happens
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        QCOMPARE(w.tabWidget->count(), 4);
    }

    void videoWindowFollowsItsCommand()
    {
        MainWindow w;
        Show(w);
        Key(w, Qt::Key_F4);
        QVERIFY(w.videoDialog->isVisible());
        QVERIFY(w.videoOutAction->isChecked());
        QCOMPARE(w.videoDialog->size(), QSize(480, 320));
        // Its own close button hides it; the check mark follows.
        w.videoDialog->close();
        QVERIFY(!w.videoDialog->isVisible());
        QVERIFY(!w.videoOutAction->isChecked());
        w.videoOutAction->trigger();
        QVERIFY(w.videoOutAction->isChecked());
        w.videoOutAction->trigger();
        QVERIFY(!w.videoOutAction->isChecked());
    }

    void closingDuringARunEndsTheThreadFirst()
    {
        QElapsedTimer clock;
        {
            auto* w = new MainWindow;
            Show(*w);
            w->quickRunAction->trigger();
            QVERIFY(WaitRunning(*w));
            QTest::qWait(20);
            clock.start();
            QVERIFY(w->close());
            QVERIFY(!w->isVisible());
            delete w;
        }
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
    }

    void aboutBoxAndAddedPages()
    {
        MainWindow w;
        Show(w);
        ModalAnswerer answerer([](QDialog* dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("À propos de Zendra"));
            QCOMPARE(dialog->size(), QSize(256, 117));
            QLabel* label = dialog->findChild<QLabel*>(QStringLiteral("label"));
            QVERIFY(label);
            QCOMPARE(label->text(), QStringLiteral("Zendra - Version 6.0"));
            dialog->accept();
        });
        w.aboutAction->trigger();
        QCOMPARE(answerer.dialogs, 1);
        // The box had no parent: the window takes the keys back once it is active again.
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        Key(w, Qt::Key_F2);
        Key(w, Qt::Key_F3);
        Key(w, Qt::Key_F3, Qt::ControlModifier);
        QCOMPARE(w.tabWidget->count(), 6);
        QCOMPARE(w.tabWidget->currentIndex(), 5);
        QVERIFY(w.tabWidget->tabText(3).startsWith(QStringLiteral("Désa (")));
        QVERIFY(w.tabWidget->tabText(5).startsWith(QStringLiteral("Mixte (")));
        // The new pages follow PC like the first ones.
        Key(w, Qt::Key_F11);
        QVERIFY(WaitIdle(w));
        View* root = qobject_cast<View*>(w.tabWidget->widget(5));
        auto* view = static_cast<StandardDisaView*>(root->manager->activeView);
        QCOMPARE(view->vValue, int(Pc(w) / 2) * view->lineHeight);
    }
};

ZENDRA_MAINWINDOW_TEST_MAIN(TestMainWindow, MAINWINDOW_PROGRAMS "/mainwindow_session.hex")
#include "tst_mainwindow.moc"
