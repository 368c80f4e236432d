#include "app/MainWindow.h"
#include "session/QtTranslations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>
#include <optional>

namespace {

// Qt's own options for the window system, which QApplication takes off the command line
// once it exists. The command line is read before it, so these pass unseen in the help.
QList<QCommandLineOption> WindowSystemOptions()
{
    QList<QCommandLineOption> options;
    for (const char* name : {"platform", "platformpluginpath", "platformtheme", "plugin", "qwindowgeometry", "qwindowicon",
                             "qwindowtitle", "session", "display", "geometry", "style", "stylesheet"})
        options << QCommandLineOption(QString::fromLatin1(name), QString(), QStringLiteral("valeur"));
    for (const char* name : {"reverse", "widgetcount"})
        options << QCommandLineOption(QString::fromLatin1(name));
    for (QCommandLineOption& option : options)
        option.setFlags(QCommandLineOption::HiddenFromHelp);
    return options;
}

// Reads the command line on an application object that needs no window system, so that
// --help, --version and the errors answer on a terminal without a display. Gives the exit
// status when Zendra ends there.
std::optional<int> ReadCommandLine(int& argc, char** argv, QtTranslations& translations)
{
    QCoreApplication application(argc, argv);
    translations.Install();
    QCommandLineParser parser;
    // Qt's options are single-dash words (-platform, -style), as QApplication reads them.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("Simulateur et débogueur de programmes 68000."));
    parser.addPositionalArgument(QStringLiteral("PROGRAMME"), QStringLiteral("Exécutable ELF ou fichier S-Record à ouvrir."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Afficher cette aide."));
    const QCommandLineOption versionOption(QStringLiteral("version"), QStringLiteral("Afficher la version."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    parser.addOptions(WindowSystemOptions());
    if (!parser.parse(QCoreApplication::arguments())) {
        std::fprintf(stderr, "Zendra : %s\n", qUtf8Printable(parser.errorText()));
        return 2;
    }
    if (parser.isSet(helpOption)) {
        std::fputs(qUtf8Printable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("Zendra %s\n", ZENDRA_VERSION);
        return 0;
    }
    if (parser.positionalArguments().size() > 1) {
        std::fprintf(stderr, "Zendra : un seul programme à la fois\n");
        return 2;
    }
    return std::nullopt;
}

} // namespace

int main(int argc, char* argv[])
{
    // Sharp on screens of high density: layouts in device-independent pixels, and the
    // icons' "@2x" pictures where the screen has twice the pixels. Qt wants them set before
    // any application object, the command line's too.
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QCoreApplication::setApplicationName(QStringLiteral("Zendra"));
    QCoreApplication::setApplicationVersion(QStringLiteral(ZENDRA_VERSION));
    QtTranslations translations;
    if (const std::optional<int> status = ReadCommandLine(argc, argv, translations))
        return *status;
    QApplication application(argc, argv);
    translations.Install();
    application.setWindowIcon(QIcon(QStringLiteral(":/Icon/Main")));
    MainWindow window;
    window.show();
    return application.exec();
}
