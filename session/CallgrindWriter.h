#ifndef ZENDRA_SESSION_CALLGRINDWRITER_H
#define ZENDRA_SESSION_CALLGRINDWRITER_H

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

class Profile;

// A profile in Valgrind's callgrind format, version 1, which callgrind_annotate and
// KCachegrind read as one of their own: the events Instructions and Cycles, each cost at a
// source line of a function (fl=, fi=, fn=), each call with its inclusive cost (cfl=, cfn=,
// calls=), and the totals. Files and functions are named once and then by number.
class CallgrindWriter
{
public:
    // files: the paths to name the profile's files by, in its order (the line table's,
    // resolved as the views find them); command: the run's, for cmd:.
    CallgrindWriter(const Profile& profile, const QStringList& files, const QString& command);

    QByteArray Write();

private:
    void WriteFunction(int function);
    QByteArray File(int file);
    QByteArray Name(int function);
    static QByteArray Compressed(QHash<QString, int>& ids, const QString& name);
    QString FileName(int file) const;

    const Profile& profile;
    const QStringList files;
    const QString command;
    QByteArray out;
    QHash<QString, int> fileIds;
    QHash<QString, int> functionIds;
};

#endif
