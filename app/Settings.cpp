#include "app/Settings.h"

#include "app/BreakpointPlace.h"

#include "core/Calculator.h"
#include "session/Document.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QHash>

#include <algorithm>

namespace {

constexpr int formatVersion = 1;

bool ParseHex(const QString& text, unsigned int* value)
{
    bool ok = false;
    const unsigned long v = text.toULong(&ok, 16);
    if (!ok || v > 0xFFFFFFFFul)
        return false;
    *value = unsigned(v);
    return true;
}

} // namespace

Settings::Settings()
    : settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Zendra"), QStringLiteral("Zendra"))
{
    const QVariant version = settings.value(QStringLiteral("version"));
    compatible = !version.isValid() || version.toString() == QString::number(formatVersion);
    if (!compatible)
        return;
    if (!version.isValid() && settings.isWritable())
        settings.setValue(QStringLiteral("version"), formatVersion);
}

QStringList Settings::Strings(const QString& key) const
{
    if (!compatible)
        return QStringList();
    const QVariant value = settings.value(key);
    // A single string is stored as itself by the INI format.
    if (value.type() == QVariant::String)
        return QStringList(value.toString());
    if (value.type() != QVariant::StringList && value.type() != QVariant::List)
        return QStringList();
    QStringList list;
    for (const QVariant& v : value.toList()) {
        if (list.size() >= entryLimit)
            break;
        if (v.type() == QVariant::String)
            list << v.toString();
    }
    return list;
}

QByteArray Settings::Geometry(const QString& window) const
{
    if (!compatible)
        return QByteArray();
    const QVariant value = settings.value(QStringLiteral("geometry/") + window);
    return value.type() == QVariant::ByteArray ? value.toByteArray() : QByteArray();
}

void Settings::SetGeometry(const QString& window, const QByteArray& geometry)
{
    if (compatible)
        settings.setValue(QStringLiteral("geometry/") + window, geometry);
}

QString Settings::OpenFolder() const
{
    if (!compatible)
        return QString();
    const QVariant value = settings.value(QStringLiteral("files/openFolder"));
    const QString folder = value.type() == QVariant::String ? value.toString() : QString();
    return QFileInfo(folder).isDir() ? folder : QString();
}

void Settings::SetOpenFolder(const QString& folder)
{
    if (compatible)
        settings.setValue(QStringLiteral("files/openFolder"), folder);
}

QStringList Settings::RecentFiles() const
{
    QStringList files;
    for (const QString& file : Strings(QStringLiteral("files/recent"))) {
        if (!file.isEmpty() && !files.contains(file) && files.size() < recentCount)
            files << file;
    }
    return files;
}

void Settings::AddRecentFile(const QString& fileName)
{
    if (!compatible)
        return;
    QStringList files = RecentFiles();
    const QString path = QFileInfo(fileName).absoluteFilePath();
    files.removeAll(path);
    files.prepend(path);
    settings.setValue(QStringLiteral("files/recent"), QStringList(files.mid(0, recentCount)));
}

QString Settings::ProgramKey(const QString& fileName)
{
    const QByteArray path = QFileInfo(fileName).absoluteFilePath().toUtf8();
    return QStringLiteral("programs/")
        + QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha1).toHex().left(16));
}

// "address" per breakpoint; "address;place" per breakpoint that the program's lines or
// symbols place; "address;ignore count;condition" per condition (the text last, whatever it
// holds); "address:length:kind:enabled" per watchpoint; all numbers hexadecimal.
void Settings::SaveProgram(const Document& document, const Carried& carried)
{
    if (!compatible || document.programFile.isEmpty())
        return;
    const QString key = ProgramKey(document.programFile);
    QStringList breakpoints;
    QStringList places;
    for (const unsigned int address : document.addressBreakpoints) {
        const QString text = QString::number(address, 16);
        if (carried.breakpoints.contains(address) || breakpoints.contains(text))
            continue;
        breakpoints << text;
        const QString place = BreakpointPlace::Describe(document, address);
        if (!place.isEmpty())
            places << text + QLatin1Char(';') + place;
    }
    QStringList conditions;
    for (auto i = document.conditions.cbegin(); i != document.conditions.cend(); ++i) {
        if (!carried.breakpoints.contains(i.key()))
            conditions << QStringLiteral("%1;%2;%3").arg(i.key(), 0, 16).arg(i->ignoreCount, 0, 16).arg(i->condition.text);
    }
    QStringList watchpoints;
    for (const Watchpoint& w : document.watchpoints) {
        const bool kept = std::any_of(carried.watchpoints.cbegin(), carried.watchpoints.cend(),
                                      [&w](const Watchpoint& c) { return c.SameRange(w); });
        if (!kept)
            watchpoints << QStringLiteral("%1:%2:%3:%4").arg(w.address, 0, 16).arg(w.length, 0, 16).arg(int(w.kind)).arg(int(w.enabled));
    }
    settings.setValue(key + QStringLiteral("/file"), QFileInfo(document.programFile).absoluteFilePath());
    settings.setValue(key + QStringLiteral("/breakpoints"), breakpoints);
    settings.setValue(key + QStringLiteral("/places"), places);
    settings.setValue(key + QStringLiteral("/conditions"), conditions);
    settings.setValue(key + QStringLiteral("/watchpoints"), watchpoints);
    // The most recently saved last; the oldest are forgotten.
    QStringList order = Strings(QStringLiteral("programs/order"));
    order.removeAll(key);
    order << key;
    while (order.size() > programCount)
        settings.remove(order.takeFirst());
    settings.setValue(QStringLiteral("programs/order"), order);
}

bool Settings::HasProgram(const QString& fileName) const
{
    if (!compatible || fileName.isEmpty())
        return false;
    const QVariant file = settings.value(ProgramKey(fileName) + QStringLiteral("/file"));
    return file.type() == QVariant::String && file.toString() == QFileInfo(fileName).absoluteFilePath();
}

// Where each saved address stands in the program now, for those whose place it still has.
QHash<unsigned int, unsigned int> Settings::Relocations(const QString& key, const Document& document) const
{
    QHash<unsigned int, unsigned int> moved;
    for (const QString& text : Strings(key + QStringLiteral("/places"))) {
        unsigned int saved = 0;
        unsigned int now = 0;
        if (ParseHex(text.section(QLatin1Char(';'), 0, 0), &saved)
            && BreakpointPlace::Resolve(document, text.section(QLatin1Char(';'), 1), &now))
            moved.insert(saved, now);
    }
    return moved;
}

bool Settings::RestoreProgram(Document& document) const
{
    if (!HasProgram(document.programFile))
        return false;
    const QString key = ProgramKey(document.programFile);
    const QHash<unsigned int, unsigned int> moved = Relocations(key, document);
    for (const QString& text : Strings(key + QStringLiteral("/breakpoints"))) {
        unsigned int address = 0;
        if (!ParseHex(text, &address) || address > 0xFFFFFF)
            continue;
        address = moved.value(address, address);
        if (!document.addressBreakpoints.contains(address))
            document.AddAddressBreakpoint(address);
    }
    for (const QString& text : Strings(key + QStringLiteral("/conditions"))) {
        const QStringList parts = text.split(QLatin1Char(';'));
        unsigned int address = 0;
        unsigned int ignore = 0;
        if (parts.size() < 3 || !ParseHex(parts.at(0), &address) || !ParseHex(parts.at(1), &ignore))
            continue;
        address = moved.value(address, address);
        if (ignore > 0x7FFFFFFF || !document.addressBreakpoints.contains(address))
            continue;
        BreakpointCondition condition;
        condition.ignoreCount = int(ignore);
        const QString expression = text.section(QLatin1Char(';'), 2);
        // A condition that no longer parses (a symbol gone) is dropped with its text.
        if (!expression.isEmpty() && !condition.condition.Parse(expression, document.conditionCalculator))
            continue;
        if (condition.HasCondition() || condition.ignoreCount > 0)
            document.conditions.insert(address, condition);
    }
    for (const QString& text : Strings(key + QStringLiteral("/watchpoints"))) {
        const QStringList parts = text.split(QLatin1Char(':'));
        unsigned int address = 0;
        unsigned int length = 0;
        if (parts.size() != 4 || !ParseHex(parts.at(0), &address) || !ParseHex(parts.at(1), &length) || length < 1
            || length > Watchpoint::maximumLength)
            continue;
        const int kind = parts.at(2).toInt();
        if (kind < WatchWrite || kind > WatchAccess || (parts.at(3) != QLatin1String("0") && parts.at(3) != QLatin1String("1")))
            continue;
        document.AddWatchpoint(Watchpoint(address, length, static_cast<WatchKind>(kind), parts.at(3) == QLatin1String("1")));
    }
    return true;
}
