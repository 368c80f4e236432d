#include "session/CallgrindWriter.h"

#include "session/Profile.h"

#include <QCoreApplication>

namespace {

QByteArray Costs(unsigned long long instructions, unsigned long long cycles)
{
    return QByteArray::number(instructions) + ' ' + QByteArray::number(cycles);
}

} // namespace

CallgrindWriter::CallgrindWriter(const Profile& profile, const QStringList& files, const QString& command)
    : profile(profile), files(files), command(command)
{
}

QByteArray CallgrindWriter::Write()
{
    out.clear();
    fileIds.clear();
    functionIds.clear();
    out += "# callgrind format\n";
    out += "version: 1\n";
    out += "creator: Zendra " + QCoreApplication::applicationVersion().toUtf8() + '\n';
    out += "cmd: " + command.simplified().toUtf8() + '\n';
    out += "positions: line\n";
    out += "events: Instructions Cycles\n";
    out += "summary: " + Costs(profile.instructions, profile.cycles) + "\n\n";
    for (std::size_t f = 0; f < profile.functions.size(); ++f)
        WriteFunction(int(f));
    out += "totals: " + Costs(profile.instructions, profile.cycles) + '\n';
    return out;
}

// The function's own costs line by line in the file where it starts (fi= for lines that
// another file holds, as inlined code), then its calls; a function that never ran is left
// out, as callgrind leaves it.
void CallgrindWriter::WriteFunction(int function)
{
    const Profile::Function& f = profile.functions[std::size_t(function)];
    if (f.instructions == 0 && f.cycles == 0)
        return;
    out += "fl=" + File(f.file) + '\n';
    out += "fn=" + Name(function) + '\n';
    int current = f.file;
    for (const Profile::Cost& c : profile.costs) {
        if (c.function != function)
            continue;
        if (c.file != current) {
            out += "fi=" + File(c.file) + '\n';
            current = c.file;
        }
        out += QByteArray::number(c.line) + ' ' + Costs(c.instructions, c.cycles) + '\n';
    }
    for (const Profile::Call& c : profile.calls) {
        if (c.caller != function)
            continue;
        if (c.file != current) {
            out += "fi=" + File(c.file) + '\n';
            current = c.file;
        }
        const Profile::Function& callee = profile.functions[std::size_t(c.callee)];
        out += "cfl=" + File(callee.file) + '\n';
        out += "cfn=" + Name(c.callee) + '\n';
        out += "calls=" + QByteArray::number(c.calls) + ' ' + QByteArray::number(callee.line) + '\n';
        out += QByteArray::number(c.line) + ' ' + Costs(c.instructions, c.cycles) + '\n';
    }
    out += '\n';
}

QString CallgrindWriter::FileName(int file) const
{
    return file >= 0 && file < files.size() ? files.at(file) : QStringLiteral("???");
}

QByteArray CallgrindWriter::File(int file)
{
    return Compressed(fileIds, FileName(file));
}

QByteArray CallgrindWriter::Name(int function)
{
    return Compressed(functionIds, profile.functions[std::size_t(function)].name);
}

// "(n) name" the first time, "(n)" after.
QByteArray CallgrindWriter::Compressed(QHash<QString, int>& ids, const QString& name)
{
    const auto found = ids.constFind(name);
    if (found != ids.constEnd())
        return '(' + QByteArray::number(found.value()) + ')';
    const int id = ids.size() + 1;
    ids.insert(name, id);
    return '(' + QByteArray::number(id) + ") " + name.toUtf8();
}
