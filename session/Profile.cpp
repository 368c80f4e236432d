#include "session/Profile.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <utility>

int Profile::FunctionIndex(const QString& name) const
{
    for (std::size_t i = 0; i < functions.size(); ++i)
        if (functions[i].name == name)
            return int(i);
    return -1;
}

const Profile::Instruction* Profile::InstructionAt(unsigned int address) const
{
    const auto i = std::lower_bound(executed.begin(), executed.end(), address,
                                    [](const Instruction& x, unsigned int a) { return x.address < a; });
    return i != executed.end() && i->address == address ? &*i : nullptr;
}

const Profile::Line* Profile::LineAt(int file, int line) const
{
    const auto i = std::lower_bound(lines.begin(), lines.end(), std::make_pair(file, line),
                                    [](const Line& x, const std::pair<int, int>& at) {
                                        return std::make_pair(x.file, x.line) < at;
                                    });
    return i != lines.end() && i->file == file && i->line == line ? &*i : nullptr;
}

QStringList Profile::SourcePaths(const QString& programFile) const
{
    QStringList paths;
    for (const QString& name : files) {
        const QFileInfo named(name);
        const QFileInfo beside(QFileInfo(programFile).dir(), named.fileName());
        if (named.isFile())
            paths << named.absoluteFilePath();
        else if (!programFile.isEmpty() && beside.isFile())
            paths << beside.absoluteFilePath();
        else
            paths << name;
    }
    return paths;
}
