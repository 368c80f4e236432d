#include "app/ProgramWatcher.h"

#include <QDir>
#include <QFileInfo>

ProgramWatcher::ProgramWatcher(QObject* parent)
    : QObject(parent)
{
    timer.setSingleShot(true);
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, &ProgramWatcher::OnSomethingChanged);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, &ProgramWatcher::OnSomethingChanged);
    connect(&timer, &QTimer::timeout, this, &ProgramWatcher::OnSettled);
}

ProgramWatcher::Stamp ProgramWatcher::Now() const
{
    const QFileInfo info(fileName);
    Stamp s;
    s.exists = info.isFile();
    if (s.exists) {
        s.size = info.size();
        s.modified = info.lastModified();
    }
    return s;
}

void ProgramWatcher::Rewatch()
{
    if (!watcher.files().isEmpty())
        watcher.removePaths(watcher.files());
    if (!watcher.directories().isEmpty())
        watcher.removePaths(watcher.directories());
    if (fileName.isEmpty())
        return;
    // The folder too: a linker may replace the file rather than write it in place.
    const QFileInfo info(fileName);
    if (info.dir().exists())
        watcher.addPath(info.absolutePath());
    if (info.isFile())
        watcher.addPath(info.absoluteFilePath());
}

void ProgramWatcher::Watch(const QString& name)
{
    fileName = QFileInfo(name).absoluteFilePath();
    TakeAsLoaded();
}

void ProgramWatcher::TakeAsLoaded()
{
    timer.stop();
    loaded = Now();
    seen = loaded;
    reportedMissing = false;
    Rewatch();
}

void ProgramWatcher::OnSomethingChanged()
{
    if (fileName.isEmpty())
        return;
    // A replaced file drops out of the watcher: it is watched again as it is now.
    if (!watcher.files().contains(fileName) && QFileInfo(fileName).isFile())
        watcher.addPath(fileName);
    seen = Now();
    timer.start(settleMilliseconds);
}

void ProgramWatcher::OnSettled()
{
    const Stamp now = Now();
    if (now != seen) {
        seen = now;
        timer.start(settleMilliseconds);
        return;
    }
    if (!now.exists) {
        if (!reportedMissing) {
            reportedMissing = true;
            emit Missing();
        }
        return;
    }
    reportedMissing = false;
    if (now != loaded)
        emit Changed();
}
