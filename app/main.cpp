#include "app/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Sharp on screens of high density: layouts in device-independent pixels, and the
    // icons' "@2x" pictures where the screen has twice the pixels.
    QApplication::setAttribute(Qt::AA_EnableHighDpiScaling);
    QApplication::setAttribute(Qt::AA_UseHighDpiPixmaps);
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zendra"));
    QApplication::setApplicationVersion(QStringLiteral(ZENDRA_VERSION));
    application.setWindowIcon(QIcon(QStringLiteral(":/Icon/Main")));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulateur et débogueur de programmes 68000."));
    parser.addPositionalArgument(QStringLiteral("PROGRAMME"), QStringLiteral("Exécutable ELF ou fichier S-Record à ouvrir."));
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Afficher cette aide."));
    const QCommandLineOption versionOption(QStringLiteral("version"), QStringLiteral("Afficher la version."));
    parser.addOption(helpOption);
    parser.addOption(versionOption);
    if (!parser.parse(QApplication::arguments())) {
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
    MainWindow window;
    window.show();
    return application.exec();
}
