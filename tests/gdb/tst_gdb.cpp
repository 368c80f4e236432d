// The real gdb-multiarch against zendra-run --gdb, on a C program built with -g: a source
// debugging session forwards and backwards, a kill, the runner's own options under GDB, and
// the command lines that are refused.
#include "core/Emulator.h"
#include "core/Register.h"
#include "session/Document.h"
#include "session/Session.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// zendra-run serving GDB; the port that it printed after the address shown, or 0.
int StartServer(QProcess& server, const QStringList& options, const QString& shown = QStringLiteral("127.0.0.1"),
                const QString& program = QStringLiteral(DEBUGGED))
{
    server.start(QStringLiteral(RUNNER), QStringList{QStringLiteral("--gdb"), QStringLiteral("0")} + options
                                             + QStringList{program});
    server.setReadChannel(QProcess::StandardError);
    QElapsedTimer timer;
    timer.start();
    // A second without output is no end: a loaded machine, or a checked build, starts slower.
    while (!server.canReadLine() && timer.elapsed() < 10000) {
        if (!server.waitForReadyRead(1000) && server.state() == QProcess::NotRunning)
            break;
    }
    // The first line only: what follows it is the caller's to read.
    const QByteArray err = server.readLine();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^GDB : en attente sur %1:(\\d+)\n").arg(QRegularExpression::escape(shown)))
            .match(QString::fromUtf8(err));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// Runs the commands in GDB connected to the port, in batch mode; what it printed.
QString RunGdb(int port, const QStringList& commands, const QString& host = QStringLiteral("127.0.0.1"),
               const QString& program = QStringLiteral(DEBUGGED))
{
    QTemporaryDir dir;
    QFile script(dir.filePath(QStringLiteral("script.gdb")));
    if (!script.open(QIODevice::WriteOnly))
        return QString();
    script.write("set pagination off\nset confirm off\n");
    script.write(QStringLiteral("target remote %1:%2\n").arg(host).arg(port).toUtf8());
    script.write(commands.join(QLatin1Char('\n')).toUtf8() + '\n');
    script.close();
    QProcess gdb;
    gdb.setProcessChannelMode(QProcess::MergedChannels);
    gdb.start(QStringLiteral(GDB), {QStringLiteral("-batch"), QStringLiteral("-nx"), QStringLiteral("-x"), script.fileName(),
                                    program});
    if (!gdb.waitForFinished(30000)) {
        gdb.kill();
        gdb.waitForFinished();
        return QStringLiteral("GDB did not finish: ") + QString::fromUtf8(gdb.readAll());
    }
    return QString::fromUtf8(gdb.readAll());
}

// GDB's machine interface, as an editor drives it (VS Code's cppdbg among them): the commands
// on its standard input, the records that it wrote.
QString RunMi(int port, const QStringList& commands)
{
    QProcess gdb;
    gdb.setProcessChannelMode(QProcess::MergedChannels);
    gdb.start(QStringLiteral(GDB), {QStringLiteral("--interpreter=mi3"), QStringLiteral("-nx"), QStringLiteral("-q"),
                                    QStringLiteral(DEBUGGED)});
    // As miDebuggerServerAddress names it in the README.
    gdb.write(QStringLiteral("-target-select remote localhost:%1\n").arg(port).toUtf8());
    gdb.write(commands.join(QLatin1Char('\n')).toUtf8() + "\n-gdb-exit\n");
    gdb.closeWriteChannel();
    if (!gdb.waitForFinished(30000)) {
        gdb.kill();
        gdb.waitForFinished();
        return QStringLiteral("GDB did not finish: ") + QString::fromUtf8(gdb.readAll());
    }
    return QString::fromUtf8(gdb.readAll());
}

// The lines of the output in order: each expected text found after the one before.
void ExpectInOrder(const QString& output, const QStringList& texts)
{
    int from = 0;
    for (const QString& text : texts) {
        const int at = output.indexOf(text, from);
        QVERIFY2(at >= 0, qPrintable(QStringLiteral("« %1 » missing after offset %2 in:\n%3").arg(text).arg(from).arg(output)));
        from = at + text.size();
    }
}

} // namespace

class GdbTest : public QObject
{
    Q_OBJECT

private slots:
    void sourceSessionForwardsAndBackwards();
    void killEndsTheServerAndRunnerOptionsApply();
    void listenLinesAndWarnings();
    void refusedCommandLines();
    void stepIntoStopsWhereGdbDoes();
    void monitorCyclesAgreesWithTheRunner();
    void machineInterfaceAsAnEditorDrivesIt();
};

void GdbTest::sourceSessionForwardsAndBackwards()
{
    QElapsedTimer timer;
    timer.start();
    QProcess server;
    const int port = StartServer(server, {QStringLiteral("--gdb-once")});
    QVERIFY(port > 0);
    const QString output = RunGdb(port, {
        "break twice", "continue", "print x", "print counter",
        "next", "step", "finish",
        "watch counter", "continue", "delete 2",
        "tbreak 28", "continue", "x/8xb &history",
        "reverse-step", "reverse-next", "reverse-continue", "print counter",
        "set var counter = 42", "print counter", "x/4xb &counter",
        "info registers", "detach"});
    ExpectInOrder(output, {
        // Forwards: the breakpoint, a parameter and a global, the line steps.
        "Breakpoint 1 at", "Breakpoint 1, twice (x=5) at", "14\t    int first = x;",
        "$1 = 5", "$2 = 1",
        "15\t    int doubled = add(first, x);",
        "add (a=5, b=5) at", "8\t    int sum = a + b;",
        "Value returned is $3 = 10",
        // The watchpoint stops where the global changes, with both values.
        "Hardware watchpoint 2: counter", "Old value = 1", "New value = 12",
        "Temporary breakpoint 3, program", "28\t    counter = counter * 3;",
        "<history>:\t0x00\t0x0c\t0x18\t0x24\t0x30\t0x3c\t0x48\t0x54",
        // Backwards: into the loop's last pass, over a line, and back to the breakpoint, where
        // the global has its value of then.
        "26\t    for (int i = 0; i < 8; i++)", "27\t        history[i] = (unsigned char)(i * counter);",
        "Breakpoint 1, twice (x=5) at", "$4 = 1",
        "$5 = 42", "<counter>:\t0x00\t0x00\t0x00\t0x2a",
        // Every register of the plain 68000, and nothing else.
        "d0 ", "d7 ", "a0 ", "a5 ", "fp ", "sp ", "ps             0x2700", "pc             0x12c0",
        "[Inferior 1 (Remote target) detached]"});
    QVERIFY2(!output.contains(QLatin1String("fp0")) && !output.contains(QLatin1String("warning")), qPrintable(output));
    // --gdb-once: the runner ends with the connection.
    QVERIFY(server.waitForFinished(10000));
    QCOMPARE(server.exitCode(), 0);
    QVERIFY(timer.elapsed() < 30000);
}

void GdbTest::killEndsTheServerAndRunnerOptionsApply()
{
    QProcess server;
    // Without --gdb-once, only a kill or a detach ends the runner.
    const int port = StartServer(server, {QStringLiteral("--break"), QStringLiteral("add"), QStringLiteral("--set"),
                                          QStringLiteral("d7=$1234"), QStringLiteral("--watch"), QStringLiteral("history+3")});
    QVERIFY(port > 0);
    const QString output = RunGdb(port, {"info registers d7", "continue", "continue", "print a", "continue", "print i", "kill"});
    ExpectInOrder(output, {
        "d7             0x1234",
        // The runner's watchpoint and breakpoint are not GDB's: GDB sees traps where they
        // stop. The start-up code clears history[3] first.
        "Program received signal SIGTRAP", "in _start ()",
        "Program received signal SIGTRAP", "add (a=5, b=5)", "$1 = 5",
        "Program received signal SIGTRAP", "$2 = 3",
        "[Inferior 1 (Remote target) killed]"});
    QVERIFY(server.waitForFinished(10000));
    QCOMPARE(server.exitCode(), 0);
}

// The line that names where the runner listens, brackets around an IPv6 address as GDB's
// target command takes it, and after it a warning for every address but a loopback one; the
// reasons it cannot listen, in French, the system's own words at the end.
void GdbTest::listenLinesAndWarnings()
{
    const struct {
        const char* address;
        const char* shown;
        const char* host;
        bool warned;
    } cases[] = {
        {"::1", "[::1]", "[::1]", false},
        {"::", "[::]", "[::1]", true},
        {"0.0.0.0", "0.0.0.0", "127.0.0.1", true},
    };
    for (const auto& c : cases) {
        QProcess server;
        const int port = StartServer(server, {QStringLiteral("--gdb-address"), QLatin1String(c.address)}, QLatin1String(c.shown));
        QVERIFY2(port > 0, c.address);
        const QString output = RunGdb(port, {"print counter", "kill"}, QLatin1String(c.host));
        QVERIFY2(output.contains(QLatin1String("$1 = 0")), qPrintable(output));
        QVERIFY(server.waitForFinished(10000));
        const QStringList lines = QString::fromUtf8(server.readAllStandardError()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        const QString warning = QStringLiteral("Attention : le serveur GDB écoute sur %1:%2, toute machine du réseau qui le joint "
                                               "peut lire et écrire la mémoire et les registres")
                                    .arg(QLatin1String(c.shown)).arg(port);
        QCOMPARE(lines, c.warned ? QStringList{warning} : QStringList());
    }

    // The port taken, and an address of no interface of this machine.
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
    const struct {
        QStringList arguments;
        QString message;
    } refused[] = {
        {{"--gdb", QString::number(taken.serverPort())},
         QStringLiteral("Impossible d'écouter sur 127.0.0.1:%1 : ce port est déjà pris sur cette adresse (").arg(taken.serverPort())},
        {{"--gdb", "0", "--gdb-address", "192.0.2.1"},
         QStringLiteral("Impossible d'écouter sur 192.0.2.1:0 : cette adresse n'est celle d'aucune interface de cette machine (")},
    };
    for (const auto& r : refused) {
        QProcess runner;
        runner.start(QStringLiteral(RUNNER), r.arguments + QStringList{QStringLiteral(DEBUGGED)});
        QVERIFY(runner.waitForFinished(10000));
        QCOMPARE(runner.exitCode(), 2);
        const QString err = QString::fromUtf8(runner.readAllStandardError());
        QVERIFY2(err.startsWith(QStringLiteral("zendra-run : ") + r.message) && err.endsWith(QLatin1String(")\n"))
                     && err.count(QLatin1Char('\n')) == 1,
                 qPrintable(err));
    }
}

void GdbTest::refusedCommandLines()
{
    const struct {
        QStringList arguments;
        const char* message;
    } cases[] = {
        {{"--gdb", "port"}, "--gdb attend un port entre 0 et 65535 : port"},
        {{"--gdb", "65536"}, "--gdb attend un port entre 0 et 65535 : 65536"},
        {{"--gdb-once"}, "--gdb-once ne va qu'avec --gdb"},
        {{"--gdb-address", "0.0.0.0"}, "--gdb-address ne va qu'avec --gdb"},
        {{"--gdb", "0", "--gdb-address", "localhost"}, "--gdb-address attend une adresse IP : localhost"},
        {{"--gdb", "0", "--trace", "t.txt"}, "--trace ne va pas avec --gdb : c'est GDB qui mène l'exécution"},
        {{"--gdb", "0", "--until", "add"}, "--until ne va pas avec --gdb"},
    };
    for (const auto& c : cases) {
        QProcess runner;
        runner.start(QStringLiteral(RUNNER), c.arguments + QStringList{QStringLiteral(DEBUGGED)});
        QVERIFY(runner.waitForFinished(10000));
        QCOMPARE(runner.exitCode(), 2);
        const QString err = QString::fromUtf8(runner.readAllStandardError());
        QVERIFY2(err.startsWith(QStringLiteral("zendra-run : ") + QString::fromUtf8(c.message)), qPrintable(err));
    }
}

// Stepping by lines into a call, from the window's engine and from GDB, stops at the same
// place: past the frame's set-up in the program built without optimisation, at the entry of
// the functions that have no frame in the optimised one, and at the end of the line where
// the set-up ends in its middle.
void GdbTest::stepIntoStopsWhereGdbDoes()
{
    for (const QString& program : {QStringLiteral(DEBUGGED), QStringLiteral(DEBUGGED_O1), QStringLiteral(DEBUGGED_O1_FRAME)}) {
        QProcess server;
        const int port = StartServer(server, {QStringLiteral("--gdb-once")}, QStringLiteral("127.0.0.1"), program);
        QVERIFY(port > 0);
        // Into twice() from program(), then into add() from twice().
        const QString output = RunGdb(port, {"tbreak 24", "continue", "printf \"at %x\\n\", $pc", "step",
                                             "printf \"at %x\\n\", $pc", "tbreak 15", "continue",
                                             "printf \"at %x\\n\", $pc", "step", "printf \"at %x\\n\", $pc",
                                             "kill"},
                                      QStringLiteral("127.0.0.1"), program);
        QList<unsigned int> pcs;
        QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("^at ([0-9a-f]+)$"),
                                                                QRegularExpression::MultilineOption).globalMatch(output);
        while (it.hasNext())
            pcs << it.next().captured(1).toUInt(nullptr, 16);
        QVERIFY2(pcs.size() == 4, qPrintable(output));
        server.waitForFinished(10000);

        Session session;
        QString error;
        QVERIFY2(session.Load(program, &error), qPrintable(error));
        session.Reset();
        Document& d = *session.document;
        for (int call = 0; call < 2; ++call) {
            d.AddAddressBreakpoint(pcs[2 * call]);
            QCOMPARE(session.RunHere(RunMode).cause, StopCause::AddressBreakpoint);
            d.RemoveAllAddressBreakpoints();
            QCOMPARE(d.emulator->registers->pc, pcs[2 * call]);
            session.RunHere(StepIntoLineMode);
            QVERIFY2(d.emulator->registers->pc == pcs[2 * call + 1],
                     qPrintable(QStringLiteral("%1: %2 against GDB's %3").arg(program).arg(d.emulator->registers->pc, 0, 16)
                                    .arg(pcs[2 * call + 1], 0, 16)));
        }
    }
}

// "monitor cycles" at a breakpoint tells what zendra-run --until that address reports as
// its cycles; "monitor cycles reset" starts the count again; help lists both.
void GdbTest::monitorCyclesAgreesWithTheRunner()
{
    QProcess server;
    const int port = StartServer(server, {QStringLiteral("--gdb-once")});
    QVERIFY(port > 0);
    const QString output = RunGdb(port, {"break add", "continue", "monitor cycles", "monitor cycles reset", "monitor cycles",
                                         "next", "monitor cycles", "monitor help", "monitor nothing", "detach"});
    QVERIFY(server.waitForFinished(10000));
    const QRegularExpressionMatch breakpoint = QRegularExpression(QStringLiteral("Breakpoint 1 at (0x[0-9a-f]+)")).match(output);
    QVERIFY2(breakpoint.hasMatch(), qPrintable(output));
    QList<qulonglong> counts;
    QRegularExpressionMatchIterator it = QRegularExpression(QStringLiteral("(\\d+) cycles d'horloge depuis")).globalMatch(output);
    while (it.hasNext())
        counts << it.next().captured(1).toULongLong();
    QCOMPARE(counts.size(), 3);
    QCOMPARE(counts.at(1), 0ull);
    QVERIFY(counts.at(2) > 0 && counts.at(2) < counts.at(0));
    ExpectInOrder(output, {"Compteur de cycles remis à zéro", "monitor cycles reset : remettre le compteur de cycles à zéro",
                           "Commande inconnue : « nothing »"});

    QProcess runner;
    runner.start(QStringLiteral(RUNNER), {QStringLiteral(DEBUGGED), "--until", "$" + breakpoint.captured(1).mid(2), "--json", "-"});
    QVERIFY(runner.waitForFinished(30000));
    QCOMPARE(runner.exitCode(), 0);
    const QRegularExpressionMatch cycles = QRegularExpression(QStringLiteral("\"cycles\":(\\d+)")).match(QString::fromUtf8(runner.readAllStandardOutput()));
    QVERIFY(cycles.hasMatch());
    QCOMPARE(cycles.captured(1).toULongLong(), counts.at(0));
}

QTEST_GUILESS_MAIN(GdbTest)

// The records that an editor reads: a breakpoint set and hit, the stack and the variables of
// the frame, a line forwards, then a step back that restores the local that it assigned.
void GdbTest::machineInterfaceAsAnEditorDrivesIt()
{
    QProcess server;
    const int port = StartServer(server, {QStringLiteral("--gdb-once")});
    QVERIFY(port > 0);
    const QString output = RunMi(port, {"-break-insert twice", "-exec-continue", "-stack-list-frames",
                                        "-stack-list-variables --all-values", "-exec-next",
                                        "-stack-list-variables --all-values", "-exec-step --reverse",
                                        "-stack-list-variables --all-values", "-target-detach"});
    const QString frame = QStringLiteral("func=\"twice\",args=[{name=\"x\",value=\"5\"}],file=\"%1\",fullname=\"%1\",line=")
                              .arg(QFileInfo(QStringLiteral(PROJECT_SOURCE "/tests/gdb/debugged.c")).absoluteFilePath());
    ExpectInOrder(output, {
        "^connected",
        "^done,bkpt={number=\"1\",type=\"breakpoint\"", "func=\"twice\"", "line=\"14\"",
        "^running", "*stopped,reason=\"breakpoint-hit\",disp=\"keep\",bkptno=\"1\",frame={", frame + "\"14\"",
        "^done,stack=[frame={level=\"0\"", "func=\"twice\"", "line=\"14\"", "frame={level=\"1\"",
        "func=\"program\"", "line=\"24\"",
        "^done,variables=[{name=\"x\",arg=\"1\",value=\"5\"},{name=\"first\",value=\"0\"}",
        "^running", "*stopped,reason=\"end-stepping-range\",frame={", frame + "\"15\"",
        "^done,variables=[{name=\"x\",arg=\"1\",value=\"5\"},{name=\"first\",value=\"5\"}",
        // Backwards onto the breakpoint's line: the breakpoint there is the stop's reason.
        "^running", "*stopped,reason=\"breakpoint-hit\"", frame + "\"14\"",
        "^done,variables=[{name=\"x\",arg=\"1\",value=\"5\"},{name=\"first\",value=\"0\"}",
        "[Inferior 1 (Remote target) detached]", "^done", "^exit"});
    QVERIFY2(!output.contains(QLatin1String("^error")), qPrintable(output));
    QVERIFY(server.waitForFinished(10000));
    QCOMPARE(server.exitCode(), 0);
}

#include "tst_gdb.moc"
