// A user's day with the window: a program rebuilt while it runs is offered for reloading and
// keeps its breakpoints; a file half written, gone or too big leaves the open program as it
// is; recent files, geometry and breakpoints survive a restart, and a damaged settings file
// harms nothing; the manual and the README agree; the command line answers --version.
#include "MainWindowTestSupport.h"

#include "app/ManualDialog.h"
#include "app/Settings.h"
#include "app/ReloadBar.h"
#include "app/WindowPlacement.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "program/LineTable.h"
#include "program/SymbolTable.h"

#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QtTest>

using namespace WindowTest;

namespace {

const QString demo = QStringLiteral(DEMO_DIRECTORY "/demo.elf");
const QString other = QStringLiteral(OTHER_PROGRAM);

bool Copy(const QString& from, const QString& to)
{
    QFile::remove(to);
    return QFile::copy(from, to) && QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
}

// Writes the bytes in place, as a linker does, rather than replacing the file.
bool Overwrite(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QByteArray Contents(const QString& file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool HasSymbol(MainWindow& w, const char* name)
{
    return w.document->symbols->Find(QString::fromLatin1(name)) != nullptr;
}

bool WaitForBar(MainWindow& w, const QString& text)
{
    QElapsedTimer clock;
    clock.start();
    while (!(w.reloadBar->isVisible() && w.reloadBar->label->text().contains(text))) {
        if (clock.elapsed() > 10000)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// The window shown, on a copy of the demo that the test may rewrite.
bool OpenCopyOfDemo(MainWindow& w, const QString& program)
{
    if (!Copy(demo, program) || !ShowActive(w))
        return false;
    w.OpenProgram(program);
    return w.document->programFile == program;
}

QStringList RecentTexts(MainWindow& w)
{
    QStringList texts;
    for (QAction* a : w.recentMenu->actions())
        texts << a->text();
    return texts;
}

QString SettingsFile()
{
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Zendra"), QStringLiteral("Zendra")).fileName();
}

} // namespace

class TestDailyUse : public QObject
{
    Q_OBJECT

private slots:
    void rebuiltProgramReloadsAndKeepsItsBreakpoints();
    void badFilesLeaveTheProgramAsItIs();
    void settingsSurviveARestart();
    void everyBreakpointKindSurvivesTheSettings();
    void breakpointsStayWithTheirProgram();
    void breakpointsFollowARebuild();
    void damagedSettingsHarmNothing();
    void manualAndReadmeAgree();
    void commandLine();
};

void TestDailyUse::rebuiltProgramReloadsAndKeepsItsBreakpoints()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("prog.elf"));
    MainWindow w;
    QVERIFY(OpenCopyOfDemo(w, program));
    QCOMPARE(w.document->programFile, program);
    QVERIFY(HasSymbol(w, "draw_line") || !w.document->symbols->IsEmpty());
    const int pages = w.tabWidget->count();
    w.document->AddAddressBreakpoint(0x2000);
    w.document->AddWatchpoint(Watchpoint(0x3000, 2, WatchWrite));
    QVERIFY(w.reloadAction->isEnabled());
    QCOMPARE(w.reloadAction->shortcut(), QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_R));

    // Rebuilt during a run: the bar comes, the run goes on with the old program.
    QTest::keyClick(&w, Qt::Key_F9);
    QVERIFY(WaitRunning(w));
    QVERIFY(Overwrite(program, Contents(other)));
    QVERIFY(WaitForBar(w, QStringLiteral("« prog.elf » a changé sur le disque")));
    QVERIFY(w.running && w.session->IsExecuting());
    QVERIFY(!w.reloadAction->isEnabled() && !w.reloadBar->reloadButton->isEnabled());
    if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES"))
        w.grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QStringLiteral("/reload-bar.png"));
    QTest::keyClick(&w, Qt::Key_Escape);
    QVERIFY(WaitIdle(w));

    // Reloaded: the new symbols, the machine reset, breakpoints and pages kept.
    QVERIFY(w.reloadBar->reloadButton->isEnabled());
    QTest::mouseClick(w.reloadBar->reloadButton, Qt::LeftButton);
    QVERIFY(!w.reloadBar->isVisible());
    QVERIFY(HasSymbol(w, "twice"));
    QVERIFY(!HasSymbol(w, "draw_line"));
    QCOMPARE(w.document->emulator->registers->pc, w.document->memory->Read(4, 32));
    QVERIFY(w.document->emulator->undoList.items.isEmpty());
    QVERIFY(w.document->addressBreakpoints.contains(0x2000));
    QCOMPARE(w.document->watchpoints.size(), 1);
    QVERIFY(w.tabWidget->count() >= pages);
    // Nothing of the old program is left in memory past the new one's end.
    QCOMPARE(w.document->memory->Read(0x7000, 32), 0u);

    // "Ignorer": the bar goes, and the same file is not offered again.
    QVERIFY(Overwrite(program, Contents(demo)));
    QVERIFY(WaitForBar(w, QStringLiteral("a changé")));
    QTest::mouseClick(w.reloadBar->ignoreButton, Qt::LeftButton);
    QTest::qWait(600);
    QVERIFY(!w.reloadBar->isVisible());
    QVERIFY(HasSymbol(w, "twice"));
    // The key reloads at once.
    QTest::keyClick(&w, Qt::Key_R, Qt::ControlModifier | Qt::ShiftModifier);
    QVERIFY(!HasSymbol(w, "twice"));
    QVERIFY(w.document->addressBreakpoints.contains(0x2000));
}

void TestDailyUse::badFilesLeaveTheProgramAsItIs()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("prog.elf"));
    MainWindow w;
    QVERIFY(OpenCopyOfDemo(w, program));
    const unsigned int entry = w.document->memory->Read(4, 32);
    const unsigned int code = w.document->memory->Read(entry, 32);

    // Half written by the linker: refused, the old program kept, "Réessayer" offered.
    QVERIFY(Overwrite(program, Contents(other).left(300)));
    QVERIFY(WaitForBar(w, QStringLiteral("a changé")));
    QTest::mouseClick(w.reloadBar->reloadButton, Qt::LeftButton);
    QVERIFY(w.reloadBar->label->text().contains(QStringLiteral("n'a pas pu être rechargé ; l'ancien est conservé")));
    QCOMPARE(w.reloadBar->reloadButton->text(), QStringLiteral("Réessayer"));
    QCOMPARE(w.document->memory->Read(entry, 32), code);
    QVERIFY(!w.document->symbols->IsEmpty());
    // Records that hold data before a faulty line: the check wrote none, and does not say it did.
    QVERIFY(Overwrite(program, "S1051000ABCD00\nS1zz\n"));
    QTest::mouseClick(w.reloadBar->reloadButton, Qt::LeftButton);
    const QString refused = w.reloadBar->label->text();
    QVERIFY2(refused.contains(QStringLiteral("ne contient pas un format S-Record valide"))
                 && !refused.contains(QStringLiteral("probablement")), qPrintable(refused));
    QCOMPARE(w.document->memory->Read(entry, 32), code);
    // Finished: the retry takes it.
    QVERIFY(Overwrite(program, Contents(other)));
    QTest::mouseClick(w.reloadBar->reloadButton, Qt::LeftButton);
    QVERIFY(HasSymbol(w, "twice"));

    // Records whose checksum is wrong load, with a word in the status bar that names the line.
    const QString faulty = dir.filePath(QStringLiteral("faulty.hex"));
    QVERIFY(Overwrite(faulty, "S1051000ABCD72\nS1051002EF0100\nS9030000FC\n"));
    w.OpenProgram(faulty);
    QCOMPARE(w.document->programFile, faulty);
    QCOMPARE(w.document->memory->Read(0x1000, 32), 0xABCDEF01u);
    const QString said = w.findChild<QLabel*>(QStringLiteral("stopLabel"))->text();
    QVERIFY2(said.contains(QStringLiteral("ligne 2")) && w.statusBar()->isVisible(), qPrintable(said));
    w.OpenProgram(program);

    // Gone from the disk: said, and kept in memory.
    QVERIFY(QFile::remove(program));
    QVERIFY(WaitForBar(w, QStringLiteral("n'est plus sur le disque")));
    QVERIFY(!w.reloadBar->reloadButton->isVisible());
    QVERIFY(HasSymbol(w, "twice"));

    // Drops: one file is taken, a folder or two files are not.
    auto dragEnter = [&](const QList<QUrl>& urls) {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent event(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &event);
        return event.isAccepted();
    };
    QVERIFY(dragEnter({QUrl::fromLocalFile(demo)}));
    QVERIFY(!dragEnter({QUrl::fromLocalFile(dir.path())}));
    QVERIFY(!dragEnter({QUrl::fromLocalFile(demo), QUrl::fromLocalFile(other)}));

    // A file of 2 GiB is not a program: said before anything is read.
    const QString huge = dir.filePath(QStringLiteral("huge.elf"));
    {
        QFile f(huge);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(qint64(2) << 30));
    }
    ModalAnswerer answerer;
    w.OpenProgram(huge);
    QCOMPARE(answerer.messages, QStringList{QStringLiteral("Le fichier « huge.elf » est trop gros pour être un programme 68000.")});
    QVERIFY(HasSymbol(w, "twice"));
}

void TestDailyUse::settingsSurviveARestart()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.elf"));
    const QString second = dir.filePath(QStringLiteral("second.elf"));
    QVERIFY(Copy(demo, first));
    QVERIFY(Copy(other, second));
    {
        MainWindow w;
        QVERIFY(ShowActive(w));
        w.OpenProgram(first);
        w.document->AddAddressBreakpoint(0x1234);
        w.OpenProgram(second);
        w.document->RemoveAllAddressBreakpoints();
        w.document->AddAddressBreakpoint(0x5678);
        BreakpointCondition condition;
        QVERIFY(condition.condition.Parse(QStringLiteral("d0==3 && [counter].l!=0"), w.document->conditionCalculator));
        condition.ignoreCount = 2;
        w.document->conditions.insert(0x5678, condition);
        w.document->AddWatchpoint(Watchpoint(0x4000, 4, WatchRead, false));
        w.resize(760, 540);
        w.close();
    }
    MainWindow w;
    QVERIFY(ShowActive(w));
    QCOMPARE(w.size(), QSize(760, 540));
    const QStringList recent = RecentTexts(w);
    // The program this window started on, then the two, before the programs of earlier tests.
    QVERIFY(recent.size() >= 3 && recent.size() <= Settings::recentCount);
    QCOMPARE(recent.at(0), QStringLiteral("&1 ") + demo);
    QCOMPARE(recent.at(1), QStringLiteral("&2 ") + second);
    QCOMPARE(recent.at(2), QStringLiteral("&3 ") + first);
    QCOMPARE(w.recentMenu->actions().first()->shortcut(), QKeySequence(Qt::CTRL + Qt::SHIFT + Qt::Key_O));
    // A recent file, with its breakpoint, condition and watchpoint.
    w.document->RemoveAllAddressBreakpoints();
    w.recentMenu->actions().at(1)->trigger();
    QCOMPARE(w.document->programFile, second);
    QCOMPARE(w.document->addressBreakpoints, AddressBreakpointList() << 0x5678);
    QCOMPARE(w.document->conditions.value(0x5678).condition.text, QStringLiteral("d0==3 && [counter].l!=0"));
    QCOMPARE(w.document->conditions.value(0x5678).ignoreCount, 2);
    QCOMPARE(w.document->watchpoints.size(), 1);
    QVERIFY(w.document->watchpoints.first().SameRange(Watchpoint(0x4000, 4, WatchRead)));
    QVERIFY(!w.document->watchpoints.first().enabled);
    // A recent file that no longer exists is refused as "Ouvrir" refuses it.
    QVERIFY(QFile::remove(first));
    ModalAnswerer answerer;
    w.recentMenu->actions().at(2)->trigger();
    QCOMPARE(answerer.titles, QStringList{QStringLiteral("Zendra - Erreur")});
    QCOMPARE(w.document->programFile, second);
}

// Each kind of address breakpoint, saved for a program and restored: plain, with an ignore
// count alone, with a condition alone, with both; and watchpoints of every kind, nested,
// overlapping, disabled. Restored into a document that has some of them already, none comes
// twice; saved again from there, the same comes back; the passes counted are not kept.
void TestDailyUse::everyBreakpointKindSurvivesTheSettings()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("kinds.elf"));
    struct Kept
    {
        unsigned int address;
        const char* condition;
        int ignore;
    };
    const Kept kept[] = {
        {0x1000, "", 0},
        {0x1002, "", 5},
        {0x1004, "d1==3", 0},
        {0x1006, "d0!=0 && [a0].w==2", 0x12},
        {0x1008, "", 0x7FFFFFFF},
        {0x100A, "", 1},
        {0xFFFFFE, "d7>=1", 0},
    };
    const QList<Watchpoint> watchpoints = {
        Watchpoint(0x2000, 0x100, WatchRead), Watchpoint(0x2010, 4, WatchWrite), Watchpoint(0x2010, 4, WatchAccess, false),
        Watchpoint(0x2012, 1, WatchRead, false), Watchpoint(0x2008, 0x10, WatchAccess), Watchpoint(0xFFFFFF, 0x10000, WatchWrite),
    };
    {
        Document document;
        document.programFile = program;
        for (const Kept& k : kept) {
            document.AddAddressBreakpoint(k.address);
            if (!*k.condition && k.ignore == 0)
                continue;
            BreakpointCondition c;
            if (*k.condition)
                QVERIFY(c.condition.Parse(QString::fromLatin1(k.condition), document.conditionCalculator));
            c.ignoreCount = k.ignore;
            c.passes = 1;
            document.conditions.insert(k.address, c);
        }
        for (const Watchpoint& w : watchpoints)
            QVERIFY(document.AddWatchpoint(w));
        Settings().SaveProgram(document);
    }
    const auto check = [&](Document& d) {
        for (const Kept& k : kept) {
            const QString where = QString::number(k.address, 16);
            QVERIFY2(d.addressBreakpoints.count(k.address) == 1, qPrintable(where));
            if (!*k.condition && k.ignore == 0) {
                QVERIFY2(!d.conditions.contains(k.address), qPrintable(where));
                continue;
            }
            QVERIFY2(d.conditions.contains(k.address), qPrintable(where));
            const BreakpointCondition& c = d.conditions[k.address];
            QVERIFY2(c.condition.text == QLatin1String(k.condition), qPrintable(where + ": " + c.condition.text));
            QVERIFY2(c.HasCondition() == bool(*k.condition), qPrintable(where));
            QVERIFY2(c.ignoreCount == k.ignore, qPrintable(where + QStringLiteral(": %1").arg(c.ignoreCount)));
            QVERIFY2(c.passes == 0, qPrintable(where));
        }
        QCOMPARE(d.addressBreakpoints.size(), int(sizeof kept / sizeof kept[0]));
        int carried = 0;
        for (const Kept& k : kept)
            carried += *k.condition || k.ignore > 0;
        QCOMPARE(d.conditions.size(), carried);
        QCOMPARE(d.watchpoints.size(), watchpoints.size());
        for (int i = 0; i < watchpoints.size(); ++i) {
            QVERIFY2(d.watchpoints[i].SameRange(watchpoints[i]), qPrintable(d.watchpoints[i].Text()));
            QCOMPARE(d.watchpoints[i].enabled, watchpoints[i].enabled);
        }
    };
    Document restored;
    restored.programFile = program;
    QVERIFY(Settings().RestoreProgram(restored));
    check(restored);
    if (QTest::currentTestFailed())
        return;
    // The ignore count alone lets its passes go by, then stops.
    for (int pass = 0; pass < 5; ++pass)
        QVERIFY(!restored.ConditionAllows(0x1002));
    QVERIFY(restored.ConditionAllows(0x1002));
    QVERIFY(!restored.ConditionAllows(0x100A));
    QVERIFY(restored.ConditionAllows(0x100A));
    QVERIFY(restored.ConditionAllows(0x1000));

    Settings().SaveProgram(restored);
    Document again;
    again.programFile = program;
    again.AddAddressBreakpoint(0x1002);
    again.AddAddressBreakpoint(0xFFFFFE);
    again.AddWatchpoint(watchpoints.first());
    QVERIFY(Settings().RestoreProgram(again));
    // Restored after the two that were there, in the order saved.
    QCOMPARE(again.addressBreakpoints.mid(0, 2), QList<unsigned int>({0x1002, 0xFFFFFE}));
    check(again);

    Document other;
    other.programFile = dir.filePath(QStringLiteral("other.elf"));
    QVERIFY(!Settings().RestoreProgram(other));
    QVERIFY(other.addressBreakpoints.isEmpty() && other.conditions.isEmpty() && other.watchpoints.isEmpty());
}

// "Ouvrir" keeps the document's breakpoints, but they stay the program's that set them: the
// next program does not remember them as its own, and a program remembered opens with its
// own alone.
void TestDailyUse::breakpointsStayWithTheirProgram()
{
    QTemporaryDir dir;
    const QString first = dir.filePath(QStringLiteral("first.elf"));
    const QString second = dir.filePath(QStringLiteral("second.elf"));
    QVERIFY(Copy(demo, first) && Copy(other, second));
    const AddressBreakpointList none;
    {
        MainWindow w;
        w.OpenProgram(first);
        QCOMPARE(w.document->programFile, first);
        w.document->AddAddressBreakpoint(0x1044);
        w.document->AddWatchpoint(Watchpoint(0x3000, 2, WatchWrite));
        // Never opened before: it keeps what the document has.
        w.OpenProgram(second);
        QCOMPARE(w.document->addressBreakpoints, AddressBreakpointList() << 0x1044);
        QCOMPARE(w.document->watchpoints.size(), 1);
        w.document->AddAddressBreakpoint(0x2000);
        w.OpenProgram(first);
        QCOMPARE(w.document->addressBreakpoints, AddressBreakpointList() << 0x1044);
        QCOMPARE(w.document->watchpoints.size(), 1);
        // Remembered with its own alone.
        w.OpenProgram(second);
        QCOMPARE(w.document->addressBreakpoints, AddressBreakpointList() << 0x2000);
        QVERIFY(w.document->watchpoints.isEmpty());
        w.close();
    }
    // After a restart too, from the command line's program on.
    MainWindow w;
    w.OpenProgram(second);
    QCOMPARE(w.document->addressBreakpoints, AddressBreakpointList() << 0x2000);
    w.document->RemoveAllAddressBreakpoints();
    w.OpenProgram(first);
    QCOMPARE(w.document->addressBreakpoints, AddressBreakpointList() << 0x1044);
    w.OpenProgram(second);
    QCOMPARE(w.document->addressBreakpoints, none);
}

// A breakpoint on a line's first statement comes back on that line, one inside a function
// at the same offset in it, wherever a rebuild put them; one that neither places, or whose
// place is gone, at its address. Conditions go with their breakpoints.
void TestDailyUse::breakpointsFollowARebuild()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("rebuilt.elf"));
    // main, then sum with lines 20 and 21; the rebuild moves sum and its lines.
    const auto build = [&](Document& d, unsigned int sum, bool withHelper) {
        d.programFile = program;
        d.symbols->Add("main", 0x1000, 0x40, SymbolTable::Function, true);
        d.symbols->Add("sum", sum, 0x20, SymbolTable::Function, true);
        if (withHelper)
            d.symbols->Add("helper", 0x1300, 0x10, SymbolTable::Function, false);
        // Moved and shorter after the rebuild: an offset past its new end places nothing.
        d.symbols->Add("tail", withHelper ? 0x1400 : 0x1500, withHelper ? 0x10 : 0x8, SymbolTable::Function, false);
        d.symbols->Finish();
        const int file = d.lines->AddFile(QStringLiteral("/src/main.c"));
        d.lines->Add({0x1000, file, 10, true, false});
        d.lines->Add({sum, file, 20, true, false});
        d.lines->Add({sum + 8, file, 21, true, false});
        // Line 20 again, as a loop's condition after its body: not where the line starts.
        d.lines->Add({sum + 0x10, file, 20, true, false});
        d.lines->Add({sum + 0x20, file, 0, false, true});
        d.lines->Finish();
    };
    {
        Document d;
        build(d, 0x1040, true);
        for (unsigned int a : {0x1048u, 0x1044u, 0x1304u, 0x2000u, 0x1050u, 0x140Cu})
            d.AddAddressBreakpoint(a);
        BreakpointCondition c;
        QVERIFY(c.condition.Parse(QStringLiteral("d0==2"), d.conditionCalculator));
        d.conditions.insert(0x1044, c);
        Settings().SaveProgram(d);
    }
    Document d;
    build(d, 0x1100, false);
    QVERIFY(Settings().RestoreProgram(d));
    // Line 21, sum+4, helper's address (helper is gone), the unplaced address, sum+0x10,
    // and tail's old address.
    QCOMPARE(d.addressBreakpoints, AddressBreakpointList() << 0x1108 << 0x1104 << 0x1304 << 0x2000 << 0x1110 << 0x140C);
    QCOMPARE(d.conditions.keys(), QList<unsigned int>{0x1104});
    QCOMPARE(d.conditions.value(0x1104).condition.text, QStringLiteral("d0==2"));
}

void TestDailyUse::damagedSettingsHarmNothing()
{
    const QString file = SettingsFile();
    QDir().mkpath(QFileInfo(file).absolutePath());
    const struct {
        const char* name;
        QByteArray text;
    } cases[] = {
        {"wrong types", "[General]\nversion=1\n[geometry]\nwindow=12\nvideo=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5QRect)\n"
                        "[files]\nrecent=@Variant(garbage\nopenFolder=/no/such/folder\n"
                        "[programs]\norder=x\n"},
        {"huge list", "[General]\nversion=1\n[files]\nrecent=" + QByteArray("/a, ").repeated(200000) + "/b\n"},
        {"another version", "[General]\nversion=99\n[files]\nrecent=/x.elf\n"},
        {"not INI at all", QByteArray("\x00\xff\xfe[[[=\n\n==]", 12)},
    };
    // The default size, as high as the offscreen screen allows with the frame.
    const QSize room = QGuiApplication::primaryScreen()->availableSize().shrunkBy(WindowPlacement::assumedFrame);
    for (const auto& c : cases) {
        QVERIFY(Overwrite(file, c.text));
        MainWindow w;
        QVERIFY2(ShowActive(w), c.name);
        QVERIFY2(w.size() == QSize(743, 670).boundedTo(room), c.name);
        QVERIFY2(RecentTexts(w).size() <= Settings::recentCount, c.name);
        QVERIFY2(!w.document->programFile.isEmpty(), c.name);
        w.close();
    }
    QFile::remove(file);
}

void TestDailyUse::manualAndReadmeAgree()
{
    MainWindow w;
    QVERIFY(ShowActive(w));
    QTest::keyClick(&w, Qt::Key_F1);
    auto* manual = w.findChild<ManualDialog*>();
    QVERIFY(manual && manual->isVisible());
    const QString shown = manual->browser->toPlainText();
    QVERIFY(shown.startsWith(QStringLiteral("Manuel de Zendra")));
    if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES"))
        manual->grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QStringLiteral("/manual.png"));
    // Every key of the window is in the manual, as it names it.
    const QString text = ManualDialog::Text();
    QList<QAction*> actions = w.findChildren<QAction*>();
    for (QAction* a : actions) {
        const QKeySequence key = a->shortcut();
        if (key.isEmpty())
            continue;
        QString name = key.toString(QKeySequence::PortableText);
        name.replace(QStringLiteral("Esc"), QStringLiteral("Échap")).replace(QStringLiteral("Backspace"), QStringLiteral("Retour arrière"));
        QVERIFY2(QRegularExpression(QStringLiteral("(^|[^+\\w])%1([^+\\w]|$)").arg(QRegularExpression::escape(name))).match(text).hasMatch(),
                 qPrintable(name));
    }
    // The facts that both tell: the memory map, the runner's options and its statuses.
    QFile readmeFile(QStringLiteral(README));
    QVERIFY(readmeFile.open(QIODevice::ReadOnly));
    const QString readme = QString::fromUtf8(readmeFile.readAll());
    for (const char* fact : {"0xFFB500-0xFFFFFF", "0x000400-0x0004FF", "60", "0x402-0x403", "0x406-0x408", "0x61", "0x65",
                             "0x6F", "0x70", "0x71", "0x72", "0x80", "480 × 320", "--until", "--break", "--limit", "--watch",
                             "--set", "--keys", "--json", "--memory", "--screen", "--trace", "--gdb", "Ctrl+G",
                             "target remote 127.0.0.1:1234", "reverse-continue", "-m68000", "-nostdlib -ffreestanding",
                             "Afficher les cycles"}) {
        QVERIFY2(readme.contains(QString::fromUtf8(fact)), fact);
        QVERIFY2(text.contains(QString::fromUtf8(fact)), fact);
    }
}

void TestDailyUse::commandLine()
{
    QProcess zendra;
    zendra.start(QStringLiteral(ZENDRA_EXECUTABLE), {QStringLiteral("--version")});
    QVERIFY(zendra.waitForFinished(10000));
    QCOMPARE(zendra.exitCode(), 0);
    QVERIFY(zendra.readAllStandardOutput().startsWith("Zendra 0."));
    zendra.start(QStringLiteral(ZENDRA_EXECUTABLE), {QStringLiteral("--help")});
    QVERIFY(zendra.waitForFinished(10000));
    const QString help = QString::fromUtf8(zendra.readAllStandardOutput());
    QVERIFY(help.contains(QStringLiteral("PROGRAMME")) && help.contains(QStringLiteral("--version")));
    zendra.start(QStringLiteral(ZENDRA_EXECUTABLE), {QStringLiteral("--nonsense")});
    QVERIFY(zendra.waitForFinished(10000));
    QCOMPARE(zendra.exitCode(), 2);
}

ZENDRA_MAINWINDOW_TEST_MAIN(TestDailyUse, DEMO_DIRECTORY "/demo.elf")
#include "tst_dailyuse.moc"
