#include "runner/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace {

// The file that a name stands for: symbolic links followed where they lead, so that a link
// to an ordinary file is replaced at its target and not turned into a file itself.
QString Target(const QString& name)
{
    const QFileInfo info(name);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
}

} // namespace

OutputFile::OutputFile(const QString& option, const QString& name, bool standardOutput)
    : option(option), name(name), standardOutput(standardOutput && name == QLatin1String("-"))
{
}

OutputFile::~OutputFile() = default;

QString OutputFile::CannotWrite() const
{
    return QStringLiteral("%1 : impossible d'écrire le fichier « %2 »").arg(option, name);
}

bool OutputFile::Open(QString* error)
{
    if (standardOutput) {
        direct.reset(new QFile);
        if (!direct->open(stdout, QIODevice::WriteOnly)) {
            *error = CannotWrite();
            return false;
        }
        device = direct.get();
        return true;
    }
    const QFileInfo info(Target(name));
    if (info.isDir()) {
        *error = QStringLiteral("%1 : « %2 » est un dossier, pas un fichier").arg(option, name);
        return false;
    }
    if (info.exists() && !info.isFile()) {
        // A device or a pipe holds nothing to keep, and renaming over it would replace it.
        direct.reset(new QFile(info.filePath()));
        if (!direct->open(QIODevice::WriteOnly)) {
            *error = CannotWrite();
            return false;
        }
        device = direct.get();
        return true;
    }
    replaced.reset(new QSaveFile(info.filePath()));
    if (!replaced->open(QIODevice::WriteOnly)) {
        *error = CannotWrite();
        replaced.reset();
        return false;
    }
    device = replaced.get();
    return true;
}

bool OutputFile::Commit(QString* error)
{
    if (!device)
        return true;
    bool written = true;
    if (replaced)
        written = replaced->commit();
    else
        written = direct->flush() && direct->error() == QFileDevice::NoError;
    device = nullptr;
    if (!written)
        *error = CannotWrite();
    return written;
}

bool OutputFile::SameFile(const OutputFile& other) const
{
    if (standardOutput || other.standardOutput)
        return false;
    const QString target = Target(name);
    // Two outputs may well share a device (/dev/null): nothing is replaced there.
    const QFileInfo info(target);
    return target == Target(other.name) && !(info.exists() && !info.isFile());
}
