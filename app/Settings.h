#ifndef ZENDRA_APP_SETTINGS_H
#define ZENDRA_APP_SETTINGS_H

#include "core/Watchpoint.h"

#include <QHash>
#include <QList>
#include <QSettings>
#include <QStringList>

class Document;

// What Zendra remembers from one start to the next, in the platform's usual place: the
// windows' geometry, the open dialog's folder, the recent files, and each program's address
// breakpoints with their conditions, and its watchpoints. What is read back is checked: a
// value of another type, an entry that does not parse, a list past its bound or a file
// written by another version is ignored, never trusted.
class Settings
{
public:
    static constexpr int recentCount = 8;
    // The programs whose breakpoints are kept; the least recently saved goes first.
    static constexpr int programCount = 32;
    // Entries read per list, at most: more is a damaged file.
    static constexpr int entryLimit = 10000;

    Settings();

    QByteArray Geometry(const QString& window) const;
    void SetGeometry(const QString& window, const QByteArray& geometry);
    QString OpenFolder() const;
    void SetOpenFolder(const QString& folder);
    QStringList RecentFiles() const;
    // Puts the file first, once, and keeps the list to recentCount.
    void AddRecentFile(const QString& fileName);

    // What "Ouvrir" kept of the previous program's: it is not this program's to remember.
    struct Carried
    {
        QList<unsigned int> breakpoints;
        QList<Watchpoint> watchpoints;
    };

    // The document's breakpoints, conditions and watchpoints but the carried ones, under its
    // program file; each breakpoint with its place in the program's lines or symbols too.
    void SaveProgram(const Document& document, const Carried& carried = Carried());
    // Something was saved for that program file.
    bool HasProgram(const QString& fileName) const;
    // Adds what was saved for the document's program file to what it has; false if nothing.
    // A breakpoint whose line or function the program still has goes where it is now.
    bool RestoreProgram(Document& document) const;

private:
    static QString ProgramKey(const QString& fileName);
    QHash<unsigned int, unsigned int> Relocations(const QString& key, const Document& document) const;
    QStringList Strings(const QString& key) const;

    QSettings settings;
    bool compatible;
};

#endif
