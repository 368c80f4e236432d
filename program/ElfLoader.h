#ifndef ZENDRA_PROGRAM_ELFLOADER_H
#define ZENDRA_PROGRAM_ELFLOADER_H

#include <QByteArray>
#include <QString>

class ProgramImage;

// Reads a 68000 ELF executable into a program image: its loadable segments, its symbol
// table and, where it was built with debugging information, its line table. The whole file
// is checked before the image is filled, so that a refused file leaves it as it was; the
// French message then says what is wrong. Nothing here touches a machine.
class ElfLoader
{
public:
    explicit ElfLoader(const QString& fileName);

    bool Parse(ProgramImage* image);
    // The same from the file's bytes, already read.
    bool Parse(const QByteArray& bytes, ProgramImage* image);

    // The file starts as an ELF file does, whatever it holds after.
    static bool IsElf(const QByteArray& start);

    QString fileName;
    QString errorMessage;

private:
    bool Fail(const QString& reason);
    bool AccessFailed();
};

#endif
