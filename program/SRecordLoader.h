#ifndef ZENDRA_PROGRAM_SRECORDLOADER_H
#define ZENDRA_PROGRAM_SRECORDLOADER_H

#include <QString>

class Memory;

// Reads one Motorola S-Record file into the simulated memory, line by line, and leaves a
// French message behind when the file cannot be read or is not in the format. What the
// lines before a faulty one hold stays written. A record whose byte count or checksum is
// wrong is still loaded as it stands, as it always was, but a warning names the first.
class SRecordLoader
{
public:
    // memory may be null for a loader that only checks.
    SRecordLoader(const QString& fileName, Memory* memory);

    bool Load();
    // Reads every line as Load does and stops at the same fault with the same message, but
    // writes nothing, and so does not say that it did: a file can be judged before it
    // replaces a program.
    bool Check();
    bool ParseLine(const QString& line);
    void SetError(const QString& message);

    QString fileName;
    Memory* memory;
    QString errorMessage;
    // After a load or a check that succeeded: one line naming the first record whose byte
    // count or checksum is wrong and how many more there are; empty when there is none.
    QString warning;
    // Data came before the fault: Load wrote it, Check would have.
    bool dataWritten;

private:
    enum class Action { Write, Check };

    bool ReadFile();
    bool FormatError();
    // The fault of a record's count or checksum, empty for none.
    static QString RecordFault(const QString& line);

    Action action = Action::Write;
    // The line being read, from 1; the faulty records seen so far, the first one's fault.
    int lineNumber = 0;
    int faultyRecords = 0;
    QString firstFault;
};

#endif
