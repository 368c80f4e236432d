#ifndef ZENDRA_PROGRAM_ELFLOADER_H
#define ZENDRA_PROGRAM_ELFLOADER_H

#include <QByteArray>
#include <QString>

class LineTable;
class Memory;
class SymbolTable;

// Reads a 68000 ELF executable: its loadable segments into the simulated memory, its symbol
// table and, where it was built with debugging information, its line table. The whole file
// is checked before anything is written, so that a refused file leaves memory and tables as
// they were; the French message then says what is wrong.
class ElfLoader
{
public:
    ElfLoader(const QString& fileName, Memory* memory, SymbolTable* symbols, LineTable* lines);

    bool Load();
    // The same from the file's bytes, already read.
    bool Load(const QByteArray& image);

    // The file starts as an ELF file does, whatever it holds after.
    static bool IsElf(const QByteArray& start);

    QString fileName;
    Memory* memory;
    SymbolTable* symbols;
    LineTable* lines;
    QString errorMessage;

private:
    bool Fail(const QString& reason);
};

#endif
