#include "session/Profile.h"

#include <QDir>
#include <QFileInfo>

int Profile::FunctionIndex(const QString& name) const
{
    for (std::size_t i = 0; i < functions.size(); ++i)
        if (functions[i].name == name)
            return int(i);
    return -1;
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
