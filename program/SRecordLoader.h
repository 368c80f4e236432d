#ifndef ZENDRA_PROGRAM_SRECORDLOADER_H
#define ZENDRA_PROGRAM_SRECORDLOADER_H

#include <QString>

class Memory;

// Reads one Motorola S-Record file into the simulated memory, line by line, and leaves a
// French message behind when the file cannot be read or is not in the format. What the
// lines before a faulty one hold stays written.
class SRecordLoader
{
public:
    // memory may be null for a loader that only checks.
    SRecordLoader(const QString& fileName, Memory* memory);

    bool Load();
    // Reads every line as Load does and stops at the same fault with the same message, but
    // writes nothing: a file can be judged before it replaces a program.
    bool Check();
    bool ParseLine(const QString& line);
    void SetError(const QString& message);

    QString fileName;
    Memory* memory;
    QString errorMessage;
    // Data came before the fault: Load wrote it, Check would have.
    bool dataWritten;

private:
    enum class Action { Write, Check };

    bool ReadFile();
    bool FormatError();

    Action action = Action::Write;
};

#endif
