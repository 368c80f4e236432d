#ifndef ZENDRA_RUNNER_OUTPUTFILE_H
#define ZENDRA_RUNNER_OUTPUTFILE_H

#include <QString>

#include <memory>

class QFile;
class QIODevice;
class QSaveFile;

// One file that zendra-run writes (--json, --screen, --trace): written whole or not at all.
// An ordinary file is written to a temporary file beside it, which replaces it only at
// Commit, so that a run that cannot start, or that writes nothing, leaves the old one as it
// was. A device or a pipe (/dev/null, /dev/stdout) cannot be replaced: it is written
// directly. "-" is the standard output, where the option allows it.
class OutputFile
{
public:
    OutputFile(const QString& option, const QString& name, bool standardOutput = false);
    ~OutputFile();

    // Checks the name and opens the temporary file (or the device), touching nothing that is
    // there already; false with a one-line French message naming the option.
    bool Open(QString* error);
    bool IsOpen() const { return device != nullptr; }
    QIODevice* Device() const { return device; }
    // The target replaced by what was written; false with the message when it cannot be.
    bool Commit(QString* error);
    // Whether two outputs would land in one file, each replacing the other's.
    bool SameFile(const OutputFile& other) const;

    const QString option;
    const QString name;

private:
    QString CannotWrite() const;

    const bool standardOutput;
    std::unique_ptr<QSaveFile> replaced;
    std::unique_ptr<QFile> direct;
    QIODevice* device = nullptr;
};

#endif
