#ifndef ZENDRA_PROGRAM_SRECORDLOADER_H
#define ZENDRA_PROGRAM_SRECORDLOADER_H

#include <QString>

class Memory;

// Reads one Motorola S-Record file into the simulated memory, line by line, and leaves a
// French message behind when the file cannot be read or is not in the format.
class SRecordLoader
{
public:
    SRecordLoader(const QString& fileName, Memory* memory);

    bool Load();
    bool ParseLine(const QString& line);
    void SetError(const QString& message);

    QString fileName;
    Memory* memory;
    QString errorMessage;
    bool dataWritten;

private:
    bool FormatError();
};

#endif
