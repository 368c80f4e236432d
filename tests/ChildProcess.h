#ifndef ZENDRA_TESTS_CHILDPROCESS_H
#define ZENDRA_TESTS_CHILDPROCESS_H

#include <QByteArray>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

// A program that a test runs to its end: its status (-1 when it crashed or did not finish in
// two minutes) and what it wrote.
struct ChildProcess
{
    int status = -1;
    QByteArray out;
    QByteArray err;

    // A make that a test runs is not the build's: no job server nor flags of an outer make
    // reach it.
    static ChildProcess Run(const QString& program, const QStringList& arguments, const QString& folder = QString())
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"MAKEFLAGS", "MFLAGS", "MAKELEVEL"})
            environment.remove(QString::fromLatin1(name));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(folder);
        process.start(program, arguments);
        ChildProcess p;
        if (!process.waitForFinished(120000))
            return p;
        p.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        p.out = process.readAllStandardOutput();
        p.err = process.readAllStandardError();
        return p;
    }
};

#endif
