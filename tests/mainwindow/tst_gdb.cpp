// The window's GDB server: started from its dialog, it lets one client take the machine; the
// window then says so, keeps its run commands off, follows every stop as after a step,
// lends Escape to GDB's runs, and gives everything back when GDB leaves.
#include "MainWindowTestSupport.h"

#include "app/GdbServerDialog.h"
#include "core/Emulator.h"
#include "core/Register.h"
#include "gdb/GdbServer.h"
#include "gdb/GdbTestClient.h"
#include "program/SymbolTable.h"
#include "views/StateFrame.h"

#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QtTest>

using namespace WindowTest;

namespace {

unsigned int Symbol(MainWindow& w, const char* name)
{
    const SymbolTable::Symbol* s = w.document->symbols->Find(QString::fromLatin1(name));
    return s ? s->address : 0;
}

QString PanelText(MainWindow& w, const char* name)
{
    QLineEdit* edit = w.stateFrame->findChild<QLineEdit*>(QLatin1String(name));
    return edit ? edit->text() : QString();
}

// The run commands that GDB takes over, and those that stay the user's.
QList<QAction*> RunCommands(MainWindow& w)
{
    return {w.runAction, w.quickRunAction, w.stepIntoAction, w.stepOverAction, w.stepOutAction, w.stepIntoLineAction,
            w.resetAction, w.skipAction, w.openAction};
}

bool AllEnabled(const QList<QAction*>& actions, bool enabled)
{
    for (QAction* a : actions)
        if (a->isEnabled() != enabled)
            return false;
    return true;
}

} // namespace

class TestGdbWindow : public QObject
{
    Q_OBJECT

private slots:
    void gdbTakesTheMachineAndGivesItBack();
    void anAddressOfTheNetworkIsWarnedOf();
};

void TestGdbWindow::gdbTakesTheMachineAndGivesItBack()
{
    MainWindow w;
    QVERIFY(ShowActive(w));
    QVERIFY(!w.statusBar()->isVisible());
    const unsigned int add = Symbol(w, "add");
    QVERIFY(add != 0);
    QCOMPARE(w.gdbServerAction->shortcut(), QKeySequence(Qt::CTRL + Qt::Key_G));

    // Ctrl+G: the dialog, started on a port that the system picks.
    quint16 port = 0;
    QString state;
    {
        ModalAnswerer answerer([&](QDialog* d) {
            auto* dialog = qobject_cast<GdbServerDialog*>(d);
            if (!dialog)
                return d->reject();
            QCOMPARE(dialog->stateLabel->text(), QStringLiteral("Arrêté"));
            QVERIFY(!dialog->stopButton->isEnabled());
            dialog->portBox->setValue(0);
            QTest::mouseClick(dialog->startButton, Qt::LeftButton);
            state = dialog->stateLabel->text();
            port = w.gdbServer->Port();
            QVERIFY(!dialog->startButton->isEnabled() && !dialog->portBox->isEnabled());
            QCOMPARE(dialog->commandText->text(), QStringLiteral("target remote 127.0.0.1:%1").arg(port));
            QVERIFY(dialog->warningLabel->isHidden());
            if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES"))
                dialog->grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QStringLiteral("/gdb-dialog.png"));
            dialog->reject();
        });
        QTest::keyClick(&w, Qt::Key_G, Qt::ControlModifier);
        QCOMPARE(answerer.dialogs, 1);
    }
    QVERIFY(port != 0);
    QCOMPARE(state, QStringLiteral("En attente de GDB sur 127.0.0.1:%1").arg(port));
    QVERIFY(w.statusBar()->isVisible());
    QCOMPARE(w.gdbLabel->text(), QStringLiteral("Serveur GDB en attente sur 127.0.0.1:%1").arg(port));
    QVERIFY(AllEnabled(RunCommands(w), true));

    // A run of the window's own is ended by GDB's arrival.
    QVERIFY(ShowActive(w));
    QTest::keyClick(&w, Qt::Key_F9);
    QVERIFY(WaitRunning(w));
    GdbTestClient client;
    QVERIFY(client.Connect(port));
    QVERIFY(client.WaitFor([&] { return w.gdbServer->IsConnected(); }));
    QVERIFY(!w.Busy() && !w.running);
    QCOMPARE(w.gdbLabel->text(), QStringLiteral("GDB connecté sur 127.0.0.1:%1 : c'est lui qui mène l'exécution").arg(port));
    QVERIFY(AllEnabled(RunCommands(w), false));
    QVERIFY(w.addDisaViewAction->isEnabled() && w.editBreakpointAction->isEnabled() && w.tabWidget->isEnabled());
    // The keys of the run commands do nothing while GDB holds the machine.
    const unsigned int pc = w.document->emulator->registers->pc;
    QTest::keyClick(&w, Qt::Key_F11);
    QTest::keyClick(&w, Qt::Key_F9);
    QVERIFY(!w.Busy());
    QCOMPARE(w.document->emulator->registers->pc, pc);

    // GDB starts the program again from its entry; its breakpoint is the document's while it
    // is set, and its stop shows in the panel as a step's.
    QCOMPARE(client.Ask("P11=" + QByteArray::number(Symbol(w, "_start"), 16).rightJustified(8, '0')), QByteArray("OK"));
    QCOMPARE(client.Ask("Pf=00080000"), QByteArray("OK"));
    QCOMPARE(client.Ask("Z0," + QByteArray::number(add, 16) + ",2"), QByteArray("OK"));
    QVERIFY(w.document->addressBreakpoints.contains(add));
    QCOMPARE(client.Ask("c"), QByteArray("T05thread:1;swbreak:;"));
    QCOMPARE(PanelText(w, "pcHexaText").toUInt(nullptr, 16), add);
    QCOMPARE(client.Ask("P0=0000abcd"), QByteArray("OK"));
    QCOMPARE(PanelText(w, "d0HexaText").toUInt(nullptr, 16), 0xABCDu);
    if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES"))
        w.grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QStringLiteral("/gdb-window.png"));

    // While GDB runs the machine the window is as during a run; Escape stops GDB's run.
    QCOMPARE(client.Ask("z0," + QByteArray::number(add, 16) + ",2"), QByteArray("OK"));
    client.Send(GdbSession::Frame("c"));
    QVERIFY(client.WaitFor([&] { return w.gdbServer->IsRunning(); }));
    QVERIFY(!w.tabWidget->isEnabled() && !w.stateFrame->isEnabled() && w.stopEmulationAction->isEnabled());
    QTest::keyClick(&w, Qt::Key_Escape);
    QCOMPARE(client.Packet(), QByteArray("T02thread:1;"));
    QVERIFY(w.tabWidget->isEnabled() && w.stateFrame->isEnabled() && !w.stopEmulationAction->isEnabled());
    QCOMPARE(PanelText(w, "pcHexaText").toUInt(nullptr, 16), w.document->emulator->registers->pc);

    // GDB leaves: its breakpoint goes, the commands come back, the server waits again.
    QCOMPARE(client.Ask("Z0,2000,2"), QByteArray("OK"));
    client.socket.abort();
    QVERIFY(client.WaitFor([&] { return !w.gdbServer->IsConnected(); }));
    QVERIFY(w.document->addressBreakpoints.isEmpty());
    QVERIFY(AllEnabled(RunCommands(w), true));
    QCOMPARE(w.gdbLabel->text(), QStringLiteral("Serveur GDB en attente sur 127.0.0.1:%1").arg(port));

    // "Arrêter" in the dialog: nothing listens any more.
    {
        ModalAnswerer answerer([&](QDialog* d) {
            auto* dialog = qobject_cast<GdbServerDialog*>(d);
            if (dialog)
                QTest::mouseClick(dialog->stopButton, Qt::LeftButton);
            d->reject();
        });
        w.gdbServerAction->trigger();
    }
    QVERIFY(!w.gdbServer->IsListening());
    QVERIFY(!w.statusBar()->isVisible());
    GdbTestClient late;
    QVERIFY(!late.Connect(port) || late.WaitFor([&] { return late.socket.state() == QAbstractSocket::UnconnectedState; }));
}

// A server listening on every address (as the runner's can): the dialog and the status bar
// show it as GDB's target command takes it, and the dialog warns of it until the server
// listens on 127.0.0.1 again.
void TestGdbWindow::anAddressOfTheNetworkIsWarnedOf()
{
    MainWindow w;
    QVERIFY(ShowActive(w));
    QString error;
    QVERIFY(w.gdbServer->Listen(QHostAddress::AnyIPv6, 0, &error));
    const QString where = QStringLiteral("[::]:%1").arg(w.gdbServer->Port());
    const QString warning = QStringLiteral("Attention : le serveur GDB écoute sur %1, toute machine du réseau qui le joint "
                                           "peut lire et écrire la mémoire et les registres").arg(where);
    {
        ModalAnswerer answerer([&](QDialog* d) {
            auto* dialog = qobject_cast<GdbServerDialog*>(d);
            if (!dialog)
                return d->reject();
            QCOMPARE(dialog->stateLabel->text(), QStringLiteral("En attente de GDB sur ") + where);
            QCOMPARE(dialog->commandText->text(), QStringLiteral("target remote ") + where);
            QVERIFY(!dialog->warningLabel->isHidden());
            QCOMPARE(dialog->warningLabel->text(), warning);
            if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES"))
                dialog->grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QStringLiteral("/gdb-dialog-warning.png"));
            dialog->reject();
        });
        w.gdbServerAction->trigger();
        QCOMPARE(answerer.dialogs, 1);
    }
    QCOMPARE(w.gdbLabel->text(), QStringLiteral("Serveur GDB en attente sur ") + where);
    GdbTestClient client;
    client.socket.connectToHost(QHostAddress::LocalHostIPv6, w.gdbServer->Port());
    QVERIFY(client.socket.waitForConnected(5000));
    QVERIFY(client.WaitFor([&] { return w.gdbServer->IsConnected(); }));
    QCOMPARE(w.gdbLabel->text(), QStringLiteral("GDB connecté sur %1 : c'est lui qui mène l'exécution").arg(where));

    // Stopped, then started from the dialog: on 127.0.0.1, without a warning.
    quint16 port = 0;
    {
        ModalAnswerer answerer([&](QDialog* d) {
            auto* dialog = qobject_cast<GdbServerDialog*>(d);
            if (!dialog)
                return d->reject();
            QVERIFY(!dialog->warningLabel->isHidden());
            QTest::mouseClick(dialog->stopButton, Qt::LeftButton);
            QVERIFY(dialog->warningLabel->isHidden());
            dialog->portBox->setValue(0);
            QTest::mouseClick(dialog->startButton, Qt::LeftButton);
            port = w.gdbServer->Port();
            QCOMPARE(dialog->commandText->text(), QStringLiteral("target remote 127.0.0.1:%1").arg(port));
            QVERIFY(dialog->warningLabel->isHidden());
            dialog->reject();
        });
        w.gdbServerAction->trigger();
        QCOMPARE(answerer.dialogs, 1);
    }
    QVERIFY(port != 0);
    QCOMPARE(w.gdbLabel->text(), QStringLiteral("Serveur GDB en attente sur 127.0.0.1:%1").arg(port));
}

ZENDRA_MAINWINDOW_TEST_MAIN(TestGdbWindow, DEBUGGED)
#include "tst_gdb.moc"
