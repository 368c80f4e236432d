// zendra-run as a user runs it: the compiled C programs give their host builds' results
// through --json and --memory, from their ELF and from their S-Records; the demo's screen;
// each exit status; every bad option refused before anything runs.
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Keyboard.h"
#include "core/Memory.h"
#include "core/WatchpointIndex.h"
#include "session/ProgramLoader.h"
#include "session/Session.h"
#include "program/SymbolTable.h"
#include "GdbTestClient.h"
#include "programs.h"

#include <QJsonArray>
#include <QtEndian>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

#include <functional>

#include <sys/stat.h>

namespace {

struct Result
{
    int status = -1;
    QByteArray out;
    QByteArray err;
    QJsonObject json;
};

Result Run(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(RUNNER), arguments);
    Result r;
    if (!process.waitForFinished(60000))
        return r;
    r.status = process.exitCode();
    r.out = process.readAllStandardOutput();
    r.err = process.readAllStandardError();
    r.json = QJsonDocument::fromJson(r.out).object();
    return r;
}

QByteArray Hex(const QJsonObject& json, int block)
{
    return json.value("memory").toArray().at(block).toObject().value("hex").toString().toLatin1();
}

using HostProgram = int (*)(unsigned char*);

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(none)");
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// The keyboard area's reads by the program's instructions, seen through a read watch of the
// emulator's own, apart from the session's pacing.
struct KeyboardReads
{
    explicit KeyboardReads(Emulator* emulator) : emulator(emulator)
    {
        index.Build({Watchpoint(Memory::keyboardStart, 0x100, WatchRead)});
        emulator->readWatch = &index;
    }
    ~KeyboardReads() { emulator->readWatch = nullptr; }
    // One instruction; whether it read the area.
    bool Execute()
    {
        emulator->readHit = -1;
        emulator->QuickExecute();
        return emulator->readHit >= 0;
    }
    Emulator* emulator;
    WatchpointIndex index;
};

// The counts of instructions after which the events of keys paced by the program come: each
// interval instructions after the first instruction that read the keyboard area since the
// event before (or the start). apply(k) makes event k, just before the instruction there.
QList<long long> PacedEvents(Document& document, int events, long long interval, long long total,
                             const std::function<void(int)>& apply)
{
    KeyboardReads reads(document.emulator);
    QList<long long> at;
    long long due = -1;
    for (long long count = 0; count < total; ++count) {
        if (count == due) {
            apply(at.size());
            at << count;
            due = -1;
        }
        if (reads.Execute() && due < 0 && at.size() < events)
            due = count + 1 + interval;
    }
    return at;
}

// The demo's screen with the cursor's cross around the pen cleared: it blinks with the turns
// of the main loop, which the typing does not fix.
QImage WithoutCursor(const QImage& screen, unsigned int pen)
{
    QImage image = screen.convertToFormat(QImage::Format_RGB32);
    const int x = int(pen >> 16);
    const int y = int(pen & 0xFFFF);
    for (const QPoint& d : {QPoint(-3, 0), QPoint(-2, 0), QPoint(2, 0), QPoint(3, 0), QPoint(0, -3), QPoint(0, -2),
                            QPoint(0, 2), QPoint(0, 3)})
        image.setPixel(x + d.x(), y + d.y(), qRgb(0, 0, 0));
    return image;
}

// The demo as the window opens it: loaded, and reset from its vectors.
bool LoadDemo(Document& document)
{
    ProgramLoader loader(QStringLiteral(DEMO), &document);
    if (!loader.Load())
        return false;
    document.emulator->Reset();
    return true;
}

} // namespace

class RunnerTest : public QObject
{
    Q_OBJECT

private slots:
    void compiledProgramsGiveTheHostsResults_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quintptr>("host");
        QTest::newRow("sort") << "sort" << quintptr(&sort_program);
        QTest::newRow("crc") << "crc" << quintptr(&crc_program);
        QTest::newRow("format") << "format" << quintptr(&format_program);
        QTest::newRow("interp") << "interp" << quintptr(&interp_program);
        QTest::newRow("recurse") << "recurse" << quintptr(&recurse_program);
    }

    void compiledProgramsGiveTheHostsResults()
    {
        QFETCH(QString, name);
        QFETCH(quintptr, host);
        QByteArray expected(0x10000, '\0');
        const int length = reinterpret_cast<HostProgram>(host)(reinterpret_cast<unsigned char*>(expected.data()));
        expected.truncate(length);
        const QString elf = QStringLiteral(COMPILED "/compiled_%1.elf").arg(name);
        Document document;
        ProgramLoader loader(elf, &document);
        QVERIFY(loader.Load());
        const unsigned int done = document.symbols->Find(QStringLiteral("done"))->address;
        const QString memory = QStringLiteral("$20000:%1").arg(length);
        // The ELF stops at its symbol, the S-Records at its address.
        for (const QString& program : {elf, QString(elf).replace(".elf", ".hex")}) {
            const QString until = program.endsWith(".elf") ? QStringLiteral("done") : QStringLiteral("$%1").arg(done, 0, 16);
            const Result r = Run({program, "--until", until, "--memory", memory, "--memory", "$1FFFC:4", "--json", "-"});
            QCOMPARE(r.status, 0);
            QVERIFY(r.err.isEmpty());
            QCOMPARE(r.json.value("stop").toString(), QStringLiteral("until"));
            QCOMPARE(r.json.value("message").toString(), QString());
            QCOMPARE(unsigned(r.json.value("registers").toObject().value("pc").toDouble()), done);
            QVERIFY(r.json.value("instructions").toDouble() > 1000);
            QCOMPARE(Hex(r.json, 0), expected.toHex());
            QCOMPARE(Hex(r.json, 1).toUInt(nullptr, 16), unsigned(length));
        }
    }

    // The exit statuses, and the screen as the window's own image holds it.
    void exitStatusesAndTheScreen()
    {
        QTemporaryDir dir;
        const QString png = dir.filePath("screen.png");
        Result r = Run({DEMO, "--until", "main_loop", "--screen", png, "--json", "-"});
        QCOMPARE(r.status, 0);
        Document document;
        QVERIFY(LoadDemo(document));
        const unsigned int mainLoop = document.symbols->Find(QStringLiteral("main_loop"))->address;
        long long count = 0;
        while (document.emulator->registers->pc != mainLoop) {
            document.emulator->QuickExecute();
            ++count;
        }
        QCOMPARE((long long)r.json.value("instructions").toDouble(), count);
        const QImage screen(png);
        QCOMPARE(screen.size(), QSize(480, 320));
        QCOMPARE(screen.convertToFormat(QImage::Format_RGB32),
                 document.videoImage.convertToFormat(QImage::Format_RGB32));

        r = Run({DEMO, "--limit", "1000", "--json", "-"});
        QCOMPARE(r.status, 3);
        QCOMPARE(r.json.value("stop").toString(), QStringLiteral("limit"));
        QCOMPARE(r.json.value("instructions").toDouble(), 1000.0);
        r = Run({DEMO, "--break", "main_loop", "--break", "clear_screen+6", "--json", "-"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.json.value("stop").toString(), QStringLiteral("breakpoint"));
        QCOMPARE(unsigned(r.json.value("registers").toObject().value("pc").toDouble()),
                 document.symbols->Find(QStringLiteral("clear_screen"))->address + 6);
        // An odd program counter faults at the first fetch, with the window's message.
        r = Run({DEMO, "--set", "pc=$1001", "--set", "D3=d0+7", "--json", "-"});
        QCOMPARE(r.status, 1);
        QCOMPARE(r.json.value("stop").toString(), QStringLiteral("error"));
        QVERIFY(r.json.value("message").toString().contains(QStringLiteral("Address Error")));
        QCOMPARE(r.json.value("registers").toObject().value("d3").toDouble(), 7.0);
        QCOMPARE(r.json.value("instructions").toDouble(), 0.0);
        r = Run({"--version"});
        QCOMPARE(r.status, 0);
        QVERIFY(r.out.startsWith("zendra-run "));
        r = Run({"--help"});
        QVERIFY(r.status == 0 && r.out.contains("--until"));
    }

    // A watchpoint stops with the window's message; the trace has a line per instruction with
    // the registers it changed, ending on the one that made the access.
    void watchpointsAndTrace()
    {
        QTemporaryDir dir;
        const QString trace = dir.filePath("trace.txt");
        const QString program = QStringLiteral(COMPILED "/../program/watch.elf");
        Result r = Run({program, "--watch", "limit:2:r", "--trace", trace, "--json", "-"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.json.value("stop").toString(), QStringLiteral("watchpoint"));
        QVERIFY(r.json.value("message").toString().contains(QStringLiteral("a lu $0005")));
        QFile file(trace);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size() - 1, int(r.json.value("instructions").toDouble()));
        QVERIFY2(lines.first().startsWith("001000  LEA.L   $1040(PC) <buffer>,A0  A0=$00001040"), lines.first());
        QVERIFY2(lines.at(lines.size() - 2).startsWith("00101C  CMP.W   $1058(PC) <limit>,D1"), lines.at(lines.size() - 2));
        // ILLEGAL stops a run as the instruction breakpoint it is by default; without the
        // instruction breakpoints it raises its exception through vector 4.
        r = Run({program, "--set", "pc=illegal_here", "--json", "-"});
        QCOMPARE(r.json.value("stop").toString(), QStringLiteral("breakpoint"));
        QCOMPARE(r.json.value("instructions").toDouble(), 0.0);
        r = Run({program, "--set", "pc=illegal_here", "--no-instruction-breakpoints", "--limit", "1", "--json", "-"});
        QCOMPARE(r.status, 3);
        QCOMPARE(r.json.value("registers").toObject().value("pc").toDouble(), 0.0);
        QCOMPARE(r.json.value("registers").toObject().value("ssp").toDouble(), double(0x8000 - 6));
        r = Run({program, "--watch", "saved+4:4", "--watch", "result:2:rw", "--json", "-"});
        QCOMPARE(r.json.value("stop").toString(), QStringLiteral("watchpoint"));
        QCOMPARE(r.json.value("instructions").toDouble(), 35.0);
        r = Run({program, "--watch", "result:2:r", "--until", "done", "--json", "-"});
        QCOMPARE(r.json.value("stop").toString(), QStringLiteral("until"));
    }

    // Every line of a trace: the address in six upper-case digits and two blanks, then each
    // register that changed with all of its digits in upper case, eight or SR's four. The
    // clearing loop of the compiled CRC program writes addresses with letters in them.
    void traceLinesKeepTheirDigits()
    {
        QTemporaryDir dir;
        const QString trace = dir.filePath("trace.txt");
        const Result r = Run({COMPILED "/compiled_crc.elf", "--limit", "3000", "--trace", trace});
        QCOMPARE(r.status, 3);
        QFile file(trace);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QList<QByteArray> lines = file.readAll().split('\n');
        QCOMPARE(lines.size() - 1, 3000);
        const QRegularExpression address(QStringLiteral("^[0-9A-F]{6}  \\S"));
        const QRegularExpression change(QStringLiteral(" ([A-Z][A-Z0-9]+)=\\$(\\S+)"));
        const QRegularExpression letter(QStringLiteral("[A-F]"));
        int letteredAddresses = 0;
        int letteredValues = 0;
        for (int i = 0; i < lines.size() - 1; ++i) {
            const QString line = QString::fromLatin1(lines.at(i));
            QVERIFY2(address.match(line).hasMatch(), lines.at(i));
            letteredAddresses += line.left(6).contains(letter);
            for (auto m = change.globalMatch(line); m.hasNext();) {
                const QRegularExpressionMatch c = m.next();
                const QString digits = c.captured(2);
                QVERIFY2(digits.size() == (c.captured(1) == QLatin1String("SR") ? 4 : 8), lines.at(i));
                QVERIFY2(QRegularExpression(QStringLiteral("^[0-9A-F]+$")).match(digits).hasMatch(), lines.at(i));
                letteredValues += digits.contains(letter);
            }
        }
        QVERIFY(letteredAddresses > 100 && letteredValues > 100);
    }

    // Keys paced by the demo move its pen right, then down, drawing as the window's keyboard
    // would make it draw: each key event comes a million instructions after the demo first
    // read the keyboard area since the event before, and the same events through the same
    // area at the same counts give the same screen.
    void demoDrivenByKeys()
    {
        QTemporaryDir dir;
        const QString png = dir.filePath("keys.png");
        const Result r = Run({DEMO, "--keys", "{Right}{Down}", "--key-interval", "1000000", "--limit", "5000000",
                              "--memory", "pen_x:4", "--screen", png, "--json", "-"});
        QCOMPARE(r.status, 3);
        Document document;
        QVERIFY(LoadDemo(document));
        const unsigned int penX = document.symbols->Find(QStringLiteral("pen_x"))->address;
        Keyboard keyboard(document.memory);
        const QList<long long> events = PacedEvents(document, 4, 1000000, 5000000, [&](int event) {
            const int key = event < 2 ? Qt::Key_Right : Qt::Key_Down;
            event % 2 ? keyboard.Release(key) : keyboard.Press(key, QString());
        });
        QCOMPARE(events.size(), 4);
        // The demo draws for some 570,000 instructions before it first reads the keyboard, then
        // polls it between pauses of some 50,000: the events come later than a million apart,
        // but not by a turn of its loop more.
        QVERIFY(events[0] > 1500000);
        for (int i = 1; i < 4; ++i) {
            QVERIFY2(events[i] - events[i - 1] > 1000000, qPrintable(QString::number(events[i])));
            QVERIFY2(events[i] - events[i - 1] < 1100000, qPrintable(QString::number(events[i])));
        }
        QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB32), document.videoImage.convertToFormat(QImage::Format_RGB32));
        const unsigned int pen = document.memory->Read(penX, 32);
        QCOMPARE(Hex(r.json, 0).toUInt(nullptr, 16), pen);
        // Right, then down, from the pen's start at (16, 104).
        QVERIFY((pen >> 16) > 16 && (pen & 0xFFFF) > 104);
    }

    // Keys typed at the default interval, faster than the demo turns its loop, each wait for
    // the demo to look: "Bonjour" is written whole, as a person typing it in the window
    // writes it, a key held for twenty turns of the loop and released for twenty more.
    void typedKeysWaitForTheProgram()
    {
        QTemporaryDir dir;
        const QString png = dir.filePath("bonjour.png");
        const Result r = Run({DEMO, "--keys", "Bonjour", "--limit", "3000000", "--memory", "pen_x:4", "--screen", png,
                              "--json", "-"});
        QCOMPARE(r.status, 3);
        QVERIFY2(r.err.isEmpty(), r.err);
        Document document;
        QVERIFY(LoadDemo(document));
        Keyboard keyboard(document.memory);
        Emulator* emulator = document.emulator;
        const QString text = QStringLiteral("Bonjour");
        for (const QChar c : text) {
            keyboard.SetModifiers(c.isUpper(), false, false);
            keyboard.Press(c.toUpper().unicode(), QString(c));
            QCOMPARE(emulator->QuickExecute(1000000LL), 1000000LL);
            keyboard.Release(c.toUpper().unicode());
            keyboard.SetModifiers(false, false, false);
            QCOMPARE(emulator->QuickExecute(1000000LL), 1000000LL);
        }
        const unsigned int pen = document.memory->Read(document.symbols->Find(QStringLiteral("pen_x"))->address, 32);
        // Seven cells of eight pixels right of where the pen starts.
        QCOMPARE(pen, (16u + 7 * 8) << 16 | 104u);
        QCOMPARE(Hex(r.json, 0).toUInt(nullptr, 16), pen);
        QCOMPARE(WithoutCursor(QImage(png), pen), WithoutCursor(document.videoImage, pen));
    }

    // The session's pauses for keys wait for the program's reads of the keyboard area, in
    // quick runs and recorded ones, through runs that a read watchpoint on the same bytes
    // stops after each read, and through runs resumed, as GDB resumes them, from a
    // breakpoint on the instruction that reads: the pauses come where the reads alone place
    // them.
    void keyPausesWaitForTheProgramsReads_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("stops");
        QTest::newRow("quick") << int(QuickStopMode) << QString();
        QTest::newRow("recorded") << int(RunMode) << QString();
        QTest::newRow("read watchpoint") << int(RunMode) << QStringLiteral("watchpoint");
        QTest::newRow("resumed at the read") << int(ResumeMode) << QStringLiteral("breakpoint");
    }

    void keyPausesWaitForTheProgramsReads()
    {
        QFETCH(int, mode);
        QFETCH(QString, stops);
        const long long interval = 30000;
        const long long total = 1500000;
        Document probe;
        QVERIFY(LoadDemo(probe));
        const QList<long long> expected = PacedEvents(probe, 8, interval, total, [](int) {});
        QCOMPARE(expected.size(), 8);
        Session session;
        QString error;
        QVERIFY(session.Load(QStringLiteral(DEMO), &error));
        session.Reset();
        // poll_keys reads the last key pressed in its second instruction.
        const unsigned int read = session.document->symbols->Find(QStringLiteral("poll_keys"))->address + 2;
        if (stops == QLatin1String("watchpoint"))
            session.document->AddWatchpoint(Watchpoint(0x404, 1, WatchRead));
        else if (!stops.isEmpty())
            session.document->AddAddressBreakpoint(read);
        long long before = 0;
        QList<long long> pauses;
        session.SetPause(
            interval, [&] { return pauses << before + session.Executed(), pauses.size() < 8 ? interval : -1; },
            PauseStart::AfterKeyboardRead);
        int stopped = 0;
        while (before < total) {
            RunBounds bounds;
            bounds.limit = total - before;
            const RunStop& stop = session.RunHere(EmulationMode(mode), bounds);
            before += session.Executed();
            if (stop.cause == StopCause::Limit)
                break;
            QCOMPARE(stop.address, stops == QLatin1String("watchpoint") ? read + 4 : read);
            ++stopped;
        }
        QCOMPARE(before, total);
        QCOMPARE(pauses, expected);
        // A stop at each turn of the loop after the start's drawing.
        QCOMPARE(stopped > 10, !stops.isEmpty());
    }

    // The keys wait for the program in a run that GDB drives too: each key that the demo
    // handles comes to its key_pressed, in order, none lost.
    void keysPacedUnderGdb()
    {
        Document document;
        QVERIFY(LoadDemo(document));
        const unsigned int keyPressed = document.symbols->Find(QStringLiteral("key_pressed"))->address;
        QProcess runner;
        runner.setReadChannel(QProcess::StandardError);
        runner.start(QStringLiteral(RUNNER), {"--gdb", "0", "--gdb-once", "--keys", "Bonjour", DEMO});
        QByteArray said;
        while (!said.contains('\n') && runner.waitForReadyRead(10000))
            said += runner.readAll();
        const QRegularExpressionMatch where = QRegularExpression(QStringLiteral(":(\\d+)\n")).match(QString::fromUtf8(said));
        QVERIFY2(where.hasMatch(), said);
        GdbTestClient client;
        QVERIFY(client.Connect(quint16(where.captured(1).toUInt())));
        QCOMPARE(client.Ask("Z0," + QByteArray::number(keyPressed, 16) + ",2"), QByteArray("OK"));
        for (const char c : QByteArray("BONJOUR")) {
            QVERIFY(client.Ask("c").startsWith("T05"));
            // D0 holds the code of the key, first of the registers.
            QCOMPARE(client.Ask("g").left(8).toUInt(nullptr, 16) & 0xFF, unsigned(c));
        }
        client.Send(GdbSession::Frame("k"));
        QVERIFY(runner.waitForFinished(10000));
        QCOMPARE(runner.exitCode(), 0);
    }

    // An executable whose segment runs past the 16 MiB is refused with the segment's first
    // and last addresses, in upper case after a dollar, even where the last passes 32 bits.
    void segmentPastTheAddressSpaceIsNamed()
    {
        QFile file(QStringLiteral(COMPILED "/../program/watch.elf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray good = file.readAll();
        const auto get32 = [](const QByteArray& b, int at) { return qFromBigEndian<quint32>(b.constData() + at); };
        const int header = int(get32(good, 28));
        const quint64 size = get32(good, header + 20);
        QTemporaryDir dir;
        for (const quint32 start : {0xFFFF00u, 0xFFFFFFF0u}) {
            QByteArray bad = good;
            qToBigEndian(start, bad.data() + header + 12);
            const QString path = dir.filePath(QStringLiteral("past-%1.elf").arg(start));
            QFile out(path);
            QVERIFY(out.open(QIODevice::WriteOnly) && out.write(bad) == bad.size());
            out.close();
            const Result r = Run({path, "--json", "-"});
            QCOMPARE(r.status, 2);
            const QString bounds = QStringLiteral("($%1-$%2)").arg(QString::number(start, 16).toUpper(),
                                                                   QString::number(start + size - 1, 16).toUpper());
            QVERIFY2(QString::fromUtf8(r.err).contains(bounds), r.err);
        }
    }

    // A run that cannot start changes no file, and one that runs puts each output in place
    // whole, leaving no temporary file behind; a device is written as it is.
    void refusedStartsChangeNoFile()
    {
        QTemporaryDir dir;
        const QString json = dir.filePath("keep.json");
        const QString trace = dir.filePath("keep.txt");
        const QString screen = dir.filePath("keep.png");
        for (const QString& file : {json, trace, screen})
            QVERIFY(Write(file, "ancien\n"));
        QVERIFY(QDir(dir.path()).mkdir("adir"));
        const QStringList kept = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
        const QList<QStringList> refused = {
            {"--json", json, "--screen", dir.filePath("adir"), DEMO},
            {"--trace", trace, "--json", "/nonexistent/state.json", DEMO},
            {"--json", json, "--trace", trace, "--screen", screen, "--until", "nowhere", DEMO},
            {"--json", json, "--trace", trace, "/nonexistent/prog.elf"},
            {"--json", json, "--trace", trace, "--limit", "0", DEMO},
            {"--json", json, "--screen", json, DEMO},
        };
        for (const QStringList& arguments : refused) {
            const Result r = Run(arguments);
            QCOMPARE(r.status, 2);
            for (const QString& file : {json, trace, screen})
                QVERIFY2(Contents(file) == "ancien\n", qPrintable(arguments.join(' ')));
            QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), kept);
        }
        const Result r = Run({"--json", json, "--trace", trace, "--screen", screen, "--limit", "100", DEMO});
        QCOMPARE(r.status, 3);
        QCOMPARE(QJsonDocument::fromJson(Contents(json)).object().value("instructions").toDouble(), 100.0);
        QCOMPARE(Contents(trace).count('\n'), 100);
        QCOMPARE(QImage(screen).size(), QSize(480, 320));
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), kept);
        // A device is no file to replace; two outputs may share it.
        const Result quiet = Run({"--json", "/dev/null", "--trace", "/dev/null", "--limit", "10", DEMO});
        QCOMPARE(quiet.status, 3);
        QVERIFY(quiet.out.isEmpty() && quiet.err.isEmpty());
        struct stat device;
        QVERIFY(stat("/dev/null", &device) == 0 && S_ISCHR(device.st_mode));
    }

    // S-Records with wrong checksums or byte counts run as they load, after one line of
    // warning that names the first faulty line.
    void faultyRecordsWarnAndRun()
    {
        const QString hex = QStringLiteral(COMPILED "/compiled_sort.hex");
        QList<QByteArray> lines = Contents(hex).split('\n');
        QVERIFY(lines.size() > 12);
        lines[4].replace(2, 2, "FF");
        lines[9].replace(lines[9].size() - 2, 2, lines[9].endsWith("00") ? "01" : "00");
        QTemporaryDir dir;
        const QString faulty = dir.filePath("faulty.hex");
        QVERIFY(Write(faulty, lines.join('\n')));
        Document document;
        QVERIFY(ProgramLoader(QStringLiteral(COMPILED "/compiled_sort.elf"), &document).Load());
        const QString done = QStringLiteral("$%1").arg(document.symbols->Find(QStringLiteral("done"))->address, 0, 16);
        const Result good = Run({hex, "--until", done, "--json", "-"});
        const Result r = Run({faulty, "--until", done, "--json", "-"});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.json, good.json);
        const QString err = QString::fromUtf8(r.err);
        QVERIFY2(err.startsWith(QStringLiteral("zendra-run : Avertissement : ")) && err.count('\n') == 1, r.err);
        QVERIFY2(err.contains(QStringLiteral(" : ligne 5, l'enregistrement annonce 255 octets")), r.err);
        QVERIFY2(err.contains(QStringLiteral("(et 1 de plus)")), r.err);
    }

    // Refused before anything runs: status 2, one French line on the error stream that
    // names the option, nothing on the output and no file written.
    void badInputIsRefusedBeforeAnythingRuns_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("named");
        QTest::newRow("no program") << QStringList{} << "aucun programme";
        QTest::newRow("two programs") << QStringList{DEMO, DEMO} << "un seul programme";
        QTest::newRow("missing value") << QStringList{DEMO, "--until"} << "--until";
        QTest::newRow("empty value") << QStringList{DEMO, "--screen", ""} << "--screen";
        QTest::newRow("empty program") << QStringList{""} << "aucun programme";
        QTest::newRow("line break in a value") << QStringList{DEMO, "--until", "done\n+1"} << "done\\n+1";
        QTest::newRow("unknown option") << QStringList{DEMO, "--fast"} << "--fast";
        QTest::newRow("negative limit") << QStringList{DEMO, "--limit", "-1"} << "--limit";
        QTest::newRow("limit not a number") << QStringList{DEMO, "--limit", "beaucoup"} << "--limit";
        QTest::newRow("unknown register") << QStringList{DEMO, "--set", "x9=1"} << "--set";
        QTest::newRow("set without value") << QStringList{DEMO, "--set", "d0"} << "--set";
        QTest::newRow("unknown symbol") << QStringList{DEMO, "--until", "nowhere+2"} << "nowhere";
        QTest::newRow("bad break") << QStringList{DEMO, "--break", "1 + 2"} << "--break";
        QTest::newRow("memory past the end") << QStringList{DEMO, "--memory", "$FFFFFF:2"} << "--memory";
        QTest::newRow("memory of nothing") << QStringList{DEMO, "--memory", "0:0"} << "--memory";
        QTest::newRow("memory without length") << QStringList{DEMO, "--memory", "$1000"} << "--memory";
        QTest::newRow("unknown key") << QStringList{DEMO, "--keys", "ab{Tabulation}"} << "{Tabulation}";
        QTest::newRow("unclosed key") << QStringList{DEMO, "--keys", "{Right"} << "--keys";
        QTest::newRow("key interval") << QStringList{DEMO, "--key-interval", "0"} << "--key-interval";
        QTest::newRow("watch form") << QStringList{DEMO, "--watch", "a:1:r:w"} << "--watch";
        QTest::newRow("watch length") << QStringList{DEMO, "--watch", "SCREEN:70000"} << "--watch";
        QTest::newRow("unwritable trace") << QStringList{DEMO, "--trace", "/nonexistent/t.txt"} << "--trace";
        QTest::newRow("unwritable json") << QStringList{DEMO, "--json", "/nonexistent/state.json"} << "--json";
        QTest::newRow("unwritable screen") << QStringList{DEMO, "--screen", "/nonexistent/s.png"} << "--screen";
        QTest::newRow("missing program") << QStringList{"/nonexistent/prog.elf"} << "/nonexistent/prog.elf";
        QTest::newRow("missing program said so") << QStringList{"/nonexistent/prog.elf"} << "n'existe pas";
        QTest::newRow("not a 68000 program") << QStringList{RUNNER} << "68000";
        QTest::newRow("zero limit") << QStringList{DEMO, "--limit", "0"} << "--limit attend un nombre d'instructions positif : 0";
        QTest::newRow("until twice") << QStringList{DEMO, "--until", "done", "--until", "main_loop"}
                                     << "l'option --until ne peut être donnée qu'une fois : done puis main_loop";
        for (const char* option : {"limit", "keys", "key-interval", "trace", "screen", "gdb", "gdb-address"}) {
            const QString name = QStringLiteral("--%1").arg(QLatin1String(option));
            QTest::newRow(qPrintable(name + " twice")) << QStringList{DEMO, name, "1", name, "2"}
                                                       << QStringLiteral("l'option %1 ne peut être donnée qu'une fois").arg(name);
        }
        QTest::newRow("json twice") << QStringList{DEMO, "--json", "-", "--json", "-"} << "--json ne peut être donnée qu'une fois";
        QTest::newRow("directory") << QStringList{"/tmp"} << "dossier";
        QTest::newRow("/dev/null") << QStringList{"/dev/null"} << "n'est pas un fichier ordinaire";
        QTest::newRow("/dev/zero") << QStringList{"/dev/zero"} << "n'est pas un fichier ordinaire";
        QTest::newRow("text") << QStringList{SOURCES "/examples/demo.s"} << "ni un exécutable ELF ni un fichier S-Record";
        QTest::newRow("two outputs in one file") << QStringList{DEMO, "--trace", "/tmp/same.txt", "--screen", "/tmp/../tmp/same.txt"}
                                                 << "--trace et --screen désignent le même fichier";
    }

    void badInputIsRefusedBeforeAnythingRuns()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, named);
        QTemporaryDir dir;
        const QString json = dir.filePath("state.json");
        const Result r = Run(QStringList{"--json", json} + arguments);
        QCOMPARE(r.status, 2);
        QVERIFY(r.out.isEmpty());
        const QString err = QString::fromUtf8(r.err);
        QVERIFY2(err.startsWith("zendra-run : ") && err.count('\n') == 1 && err.contains(named), qPrintable(err));
        if (!arguments.contains("--json"))
            QVERIFY(!QFile::exists(json) || QFileInfo(json).size() == 0);
    }
};

QTEST_GUILESS_MAIN(RunnerTest)
#include "tst_runner.moc"
