#include "runner/LcovWriter.h"

#include "session/Profile.h"

#include <QHash>
#include <QSet>

LcovWriter::LcovWriter(const Profile& profile, const QStringList& files) : profile(profile), files(files)
{
}

QByteArray LcovWriter::Write() const
{
    QByteArray out;
    for (int file = 0; file < profile.files.size(); ++file) {
        bool any = false;
        for (const Profile::Line& l : profile.lines)
            any = any || l.file == file;
        if (any)
            WriteFile(file, out);
    }
    return out;
}

void LcovWriter::WriteFile(int file, QByteArray& out) const
{
    out += "TN:\n";
    out += "SF:" + (file < files.size() ? files.at(file) : profile.files.at(file)).toUtf8() + '\n';
    WriteFunctions(file, out);
    WriteBranches(file, out);
    WriteLines(file, out);
    out += "end_of_record\n";
}

// A function that ran without being called (the entry point) counts once.
void LcovWriter::WriteFunctions(int file, QByteArray& out) const
{
    QByteArray counts;
    int found = 0;
    int hit = 0;
    QSet<QString> named;
    for (const Profile::Function& f : profile.functions) {
        if (f.file != file || f.line <= 0 || named.contains(f.name) || (!f.declared && f.instructions == 0))
            continue;
        named.insert(f.name);
        const QByteArray name = f.name.toUtf8();
        const unsigned long long count = f.calls > 0 ? f.calls : (f.instructions > 0 ? 1 : 0);
        out += "FN:" + QByteArray::number(f.line) + ',' + name + '\n';
        counts += "FNDA:" + QByteArray::number(count) + ',' + name + '\n';
        ++found;
        if (count > 0)
            ++hit;
    }
    out += counts;
    out += "FNF:" + QByteArray::number(found) + '\n';
    out += "FNH:" + QByteArray::number(hit) + '\n';
}

// A branch that never ran is "-" both ways, as lcov writes a block never reached.
void LcovWriter::WriteBranches(int file, QByteArray& out) const
{
    int found = 0;
    int hit = 0;
    // A line's branches are numbered in the order of their addresses.
    QHash<int, int> blocks;
    for (const Profile::Branch& b : profile.branches) {
        if (b.file != file)
            continue;
        const int block = blocks.value(b.line, 0);
        blocks.insert(b.line, block + 1);
        const QByteArray prefix = "BRDA:" + QByteArray::number(b.line) + ',' + QByteArray::number(block) + ',';
        const unsigned long long ways[2] = {b.taken, b.executions - b.taken};
        for (int way = 0; way < 2; ++way) {
            out += prefix + QByteArray::number(way) + ','
                + (b.executions == 0 ? QByteArray("-") : QByteArray::number(ways[way])) + '\n';
            ++found;
            if (b.executions > 0 && ways[way] > 0)
                ++hit;
        }
    }
    out += "BRF:" + QByteArray::number(found) + '\n';
    out += "BRH:" + QByteArray::number(hit) + '\n';
}

void LcovWriter::WriteLines(int file, QByteArray& out) const
{
    int found = 0;
    int hit = 0;
    for (const Profile::Line& l : profile.lines) {
        if (l.file != file)
            continue;
        out += "DA:" + QByteArray::number(l.line) + ',' + QByteArray::number(l.executions) + '\n';
        ++found;
        if (l.executions > 0)
            ++hit;
    }
    out += "LF:" + QByteArray::number(found) + '\n';
    out += "LH:" + QByteArray::number(hit) + '\n';
}
