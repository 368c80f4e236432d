// The settings file as another program or a damaged disk may leave it: whatever it holds,
// what Zendra reads back from it keeps its bounds, and a program's restored breakpoints,
// conditions and watchpoints are ones the machine can have.
#include "FuzzApplication.h"
#include "app/Settings.h"
#include "session/Document.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MakeFuzzApplication("fuzz_settings");
    static QTemporaryDir folder;
    static Document document;
    static bool once = [] {
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder.path());
        return QDir(folder.path()).mkpath(QStringLiteral("Zendra"));
    }();
    (void)once;
    // The program the file's entries may name: the one of the first seed.
    document.programFile = QStringLiteral("/tmp/prog.elf");
    document.RemoveAllAddressBreakpoints();
    document.watchpoints.clear();
    {
        QFile file(folder.filePath(QStringLiteral("Zendra/Zendra.ini")));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        file.write(reinterpret_cast<const char*>(data), qint64(size));
    }
    const Settings settings;
    if (settings.RecentFiles().size() > Settings::recentCount)
        __builtin_trap();
    settings.Geometry(QStringLiteral("window"));
    const QString openFolder = settings.OpenFolder();
    if (!openFolder.isEmpty() && !QDir(openFolder).exists())
        __builtin_trap();
    settings.RestoreProgram(document);
    for (const unsigned int address : document.addressBreakpoints)
        if (address > 0xFFFFFF)
            __builtin_trap();
    for (auto i = document.conditions.cbegin(); i != document.conditions.cend(); ++i)
        if (!document.addressBreakpoints.contains(i.key()) || i->ignoreCount < 0)
            __builtin_trap();
    for (const Watchpoint& w : document.watchpoints)
        if (w.length < 1 || w.length > Watchpoint::maximumLength || w.kind < WatchWrite || w.kind > WatchAccess)
            __builtin_trap();
    document.conditions.clear();
    return 0;
}
