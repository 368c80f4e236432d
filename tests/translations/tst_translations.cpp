// Qt's own texts in French once QtTranslations is installed, as both programs install it:
// the key names of the menus, the message boxes' buttons, the file dialog, the command line's
// usage and errors; English, and no failure, without the translation file. Both programs
// answer --help and --version on a terminal without a display. Zendra's own main() runs
// here first, watched from inside its application objects: the command line's, then the
// window's, which has the French texts, the high-density attributes and the program.
#include "mainwindow/MainWindowTestSupport.h"
#include "session/QtTranslations.h"

#include <QCommandLineParser>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>

namespace {

struct Output
{
    int status = -1;
    QString out;
    QString err;
};

// A program run from a terminal without a display: no X, no Wayland, no platform chosen.
Output RunWithoutDisplay(const QString& program, const QStringList& arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    Output o;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return o;
    o.status = process.exitCode();
    o.out = QString::fromUtf8(process.readAllStandardOutput());
    o.err = QString::fromUtf8(process.readAllStandardError());
    return o;
}

bool TranslationsInstalled()
{
    return QFile::exists(QLibraryInfo::location(QLibraryInfo::TranslationsPath) + QStringLiteral("/qtbase_fr.qm"));
}

QString Native(const char* keys)
{
    return QKeySequence(QString::fromLatin1(keys)).toString(QKeySequence::NativeText);
}

// What Zendra's main() did, seen from inside each application object that it made.
struct StartUp
{
    bool watching = false;
    int applications = 0;
    bool highDensity = false;
    QString runBackKeys;
    QString program;
    QStringList lateAttributes;
    int status = -1;
} startUp;

QtMessageHandler defaultHandler = nullptr;

// Qt warns when an attribute that it reads at start-up is set after an application object.
void CollectWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (startUp.watching && message.contains(QStringLiteral("must be set before")))
        startUp.lateAttributes << message;
    defaultHandler(type, context, message);
}

// Called by each new application object. The window's, once its loop runs, reads the window
// and ends the loop.
void WatchStartUp()
{
    if (!startUp.watching)
        return;
    ++startUp.applications;
    if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    startUp.highDensity = QCoreApplication::testAttribute(Qt::AA_EnableHighDpiScaling);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                if (MainWindow* window = qobject_cast<MainWindow*>(widget)) {
                    startUp.runBackKeys = window->runBackAction->shortcut().toString(QKeySequence::NativeText);
                    startUp.program = window->document->programFile;
                    window->close();
                }
            }
            QCoreApplication::quit();
        },
        Qt::QueuedConnection);
}

void SavePicture(QWidget* widget, const char* name)
{
    if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES"))
        widget->grab().save(qEnvironmentVariable("ZENDRA_PICTURES") + QLatin1Char('/') + QLatin1String(name));
}

} // namespace

class TranslationsTest : public QObject
{
    Q_OBJECT

private slots:
    void zendraStartsInFrench();
    void qtTextsInFrench();
    void openDialogAndMenusInFrench();
    void commandLinesInFrenchWithoutDisplay();
};

void TranslationsTest::zendraStartsInFrench()
{
    QCOMPARE(startUp.status, 0);
    QCOMPARE(startUp.applications, 2);
    QVERIFY2(startUp.lateAttributes.isEmpty(), qPrintable(startUp.lateAttributes.join(QLatin1Char('\n'))));
    QVERIFY(startUp.highDensity);
    QCOMPARE(startUp.program, QStringLiteral(DEMO));
    if (!TranslationsInstalled())
        QSKIP("qttranslations5-l10n is not installed");
    QCOMPARE(startUp.runBackKeys, QStringLiteral("Maj+F9"));
}

void TranslationsTest::qtTextsInFrench()
{
    // Without the file: nothing read, nothing installed, Qt's texts stay English.
    QTemporaryDir empty;
    QtTranslations missing(empty.path());
    QVERIFY(!missing.IsLoaded());
    missing.Install();
    QCOMPARE(Native("Shift+F9"), QStringLiteral("Shift+F9"));
    if (!TranslationsInstalled())
        QSKIP("qttranslations5-l10n is not installed");

    QtTranslations translations;
    QVERIFY(translations.IsLoaded());
    translations.Install();
    QCOMPARE(Native("Shift+F9"), QStringLiteral("Maj+F9"));
    QCOMPARE(Native("Ctrl+Shift+Backspace"), QStringLiteral("Ctrl+Maj+Effacement"));
    QCOMPARE(Native("Escape"), QStringLiteral("Échap"));

    // A question asked as the window asks "Dernière écriture", and the buttons of dialogs.
    QMessageBox question(QMessageBox::Question, QStringLiteral("Zendra"), QStringLiteral("Revenir ?"),
                         QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(question.button(QMessageBox::Yes)->text(), QStringLiteral("&Oui"));
    QCOMPARE(question.button(QMessageBox::No)->text(), QStringLiteral("&Non"));
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Close);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("Annuler"));
    QCOMPARE(buttons.button(QDialogButtonBox::Close)->text(), QStringLiteral("Fermer"));

    QCOMPARE(QCoreApplication::translate("QCommandLineParser", "Usage: %1"), QStringLiteral("Utilisation : %1"));
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("PROGRAMME"), QStringLiteral("Programme."));
    parser.addOption(QCommandLineOption(QStringLiteral("version")));
    QVERIFY(!parser.parse({QStringLiteral("zendra"), QStringLiteral("--vitesse")}));
    QCOMPARE(parser.errorText(), QStringLiteral("Option inconnue \"vitesse\"."));
    const QString help = parser.helpText();
    QVERIFY2(help.startsWith(QStringLiteral("Utilisation : ")) && help.contains(QStringLiteral("Options :"))
                 && help.contains(QStringLiteral("Arguments :")),
             qPrintable(help));
}

// The window's own file dialog and menus, with the translations installed as main() does.
void TranslationsTest::openDialogAndMenusInFrench()
{
    if (!TranslationsInstalled())
        QSKIP("qttranslations5-l10n is not installed");
    QtTranslations translations;
    translations.Install();
    MainWindow w;
    QVERIFY(WindowTest::ShowActive(w));

    QStringList labels;
    QStringList buttons;
    WindowTest::ModalAnswerer answerer([&](QDialog* dialog) {
        if (QFileDialog* files = qobject_cast<QFileDialog*>(dialog)) {
            for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"})
                if (QLabel* label = files->findChild<QLabel*>(QLatin1String(name)))
                    labels << label->text();
            if (QDialogButtonBox* box = files->findChild<QDialogButtonBox*>(QStringLiteral("buttonBox")))
                for (QAbstractButton* button : box->buttons())
                    buttons << button->text();
            SavePicture(files, "file-dialog.png");
        }
        dialog->reject();
    });
    QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
    QTRY_COMPARE(answerer.dialogs, 1);
    QCOMPARE(labels, (QStringList{QStringLiteral("Voir dans :"), QStringLiteral("&Nom de fichier :"),
                                  QStringLiteral("Fichiers de type :")}));
    QVERIFY2(buttons.contains(QStringLiteral("&Ouvrir")) && buttons.contains(QStringLiteral("Annuler")),
             qPrintable(buttons.join(QLatin1Char('|'))));

    // The menu shows each command's keys by their French names.
    QCOMPARE(w.runBackAction->shortcut().toString(QKeySequence::NativeText), QStringLiteral("Maj+F9"));
    QVERIFY(w.debugMenu->actions().contains(w.runBackAction));
    w.debugMenu->popup(w.mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(w.debugMenu));
    SavePicture(w.debugMenu, "debug-menu.png");
    w.debugMenu->hide();
}

// Both programs read their command lines without a window system, with Qt's parts in French.
void TranslationsTest::commandLinesInFrenchWithoutDisplay()
{
    const bool french = TranslationsInstalled();
    for (const QString& program : {QStringLiteral(ZENDRA_EXECUTABLE), QStringLiteral(RUNNER)}) {
        const QString name = QFileInfo(program).fileName();
        Output o = RunWithoutDisplay(program, {QStringLiteral("--help")});
        QCOMPARE(o.status, 0);
        QVERIFY2(o.out.contains(QStringLiteral("PROGRAMME")) && o.out.contains(QStringLiteral("--version")), qPrintable(o.out));
        if (french)
            QVERIFY2(o.out.startsWith(QStringLiteral("Utilisation : ")) && o.out.contains(QStringLiteral("\nOptions :\n"))
                         && o.out.contains(QStringLiteral("\nArguments :\n")),
                     qPrintable(o.out));
        o = RunWithoutDisplay(program, {QStringLiteral("--version")});
        QCOMPARE(o.status, 0);
        QCOMPARE(o.out, name + QStringLiteral(" " ZENDRA_VERSION "\n"));
        QVERIFY2(o.err.isEmpty(), qPrintable(o.err));
    }

    // Qt's error for an unknown option, and the window's own for two programs.
    Output o = RunWithoutDisplay(QStringLiteral(ZENDRA_EXECUTABLE), {QStringLiteral("--vitesse")});
    QCOMPARE(o.status, 2);
    if (french)
        QCOMPARE(o.err, QStringLiteral("Zendra : Option inconnue \"vitesse\".\n"));
    o = RunWithoutDisplay(QStringLiteral(ZENDRA_EXECUTABLE), {QStringLiteral(DEMO), QStringLiteral(DEMO)});
    QCOMPARE(o.status, 2);
    QCOMPARE(o.err, QStringLiteral("Zendra : un seul programme à la fois\n"));
    // QApplication's own options still pass the command line, unnamed in the help.
    o = RunWithoutDisplay(QStringLiteral(ZENDRA_EXECUTABLE),
                          {QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("-reverse"), QStringLiteral("--version")});
    QCOMPARE(o.status, 0);
    QCOMPARE(o.out, QStringLiteral("Zendra " ZENDRA_VERSION "\n"));

    // The runner names the option that lacks its value from Qt's message, whichever its quotes.
    o = RunWithoutDisplay(QStringLiteral(RUNNER), {QStringLiteral(DEMO), QStringLiteral("--until")});
    QCOMPARE(o.status, 2);
    QCOMPARE(o.err, QStringLiteral("zendra-run : l'option --until attend une valeur\n"));
}

// app/main.cpp, built into this test with its main() renamed.
int ZendraMain(int argc, char* argv[]);

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir settingsDir;
    WindowTest::UseSettingsIn(settingsDir.path());
    {
        QByteArray program("Zendra"), file(DEMO);
        char* zendraArgv[] = {program.data(), file.data(), nullptr};
        startUp.watching = true;
        qAddPreRoutine(WatchStartUp);
        defaultHandler = qInstallMessageHandler(CollectWarnings);
        startUp.status = ZendraMain(2, zendraArgv);
        startUp.watching = false;
    }
    QByteArray program("zendra"), file(DEMO);
    int appArgc = 2;
    char* appArgv[] = {program.data(), file.data(), nullptr};
    QApplication app(appArgc, appArgv);
    SplitTest::QuietPlatformWarnings();
    TranslationsTest test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_translations.moc"
