#ifndef ZENDRA_RUNNER_RUNOPTIONS_H
#define ZENDRA_RUNNER_RUNOPTIONS_H

#include <QList>

class QCommandLineOption;
class QCommandLineParser;
#include <QPair>
#include <QString>
#include <QStringList>

// What zendra-run was asked to do, as typed: expressions stay text until the program and its
// symbols are loaded. Parse checks everything that can be checked without the program.
class RunOptions
{
public:
    // False with a one-line French message naming the option when the command line is wrong.
    bool Parse(const QStringList& arguments, QString* error);
    // A message on one line whatever the user typed into it: control characters become
    // their escapes ("\n").
    static QString OneLine(const QString& text);

    QString program;
    QString until;
    QStringList breaks;
    bool instructionBreakpoints = true;
    // At least 1.
    long long limit = 1000000000LL;
    // Register name, expression.
    QList<QPair<QString, QString>> sets;
    // Start and length expressions.
    QList<QPair<QString, QString>> memory;
    // Address and length expressions of each --watch, and its kind.
    struct Watch
    {
        QString address;
        QString length;
        int kind;
    };
    QList<Watch> watches;
    QString trace;
    // The keys of --keys, each pressed then released; each event waits until the program has
    // read the keyboard area since the one before, then --key-interval instructions more.
    struct Key
    {
        int key;
        QString text;
        bool shift;
    };
    QList<Key> keys;
    long long keyInterval = 50000;
    QString json;
    QString screen;
    // The run's profile in callgrind's format, its coverage in lcov's.
    QString profile;
    QString coverage;
    // The port to serve GDB on, -1 for a run without GDB; the address, and whether to quit
    // after one connection.
    int gdbPort = -1;
    QString gdbAddress = QStringLiteral("127.0.0.1");
    bool gdbOnce = false;
    bool help = false;
    bool version = false;
    QString helpText;

private:
    static QList<QCommandLineOption> Options();
    static QString ParserError(const QCommandLineParser& parser);
    bool ParseArguments(const QStringList& arguments, QString* error);
    static bool CheckValues(const QCommandLineParser& parser, QString* error);
    static bool CheckSingle(const QCommandLineParser& parser, QString* error);
    bool ReadProgram(const QCommandLineParser& parser, QString* error);
    bool ReadLimit(const QCommandLineParser& parser, QString* error);
    bool ReadSets(const QCommandLineParser& parser, QString* error);
    bool ReadMemory(const QCommandLineParser& parser, QString* error);
    bool ReadKeyInterval(const QCommandLineParser& parser, QString* error);
    bool ParseKeys(const QString& text, QString* error);
    bool ReadWatches(const QCommandLineParser& parser, QString* error);
    bool ParseWatch(const QString& watch, QString* error);
    bool ParseGdb(const QCommandLineParser& parser, QString* error);
};

#endif
