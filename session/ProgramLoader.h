#ifndef ZENDRA_SESSION_PROGRAMLOADER_H
#define ZENDRA_SESSION_PROGRAMLOADER_H

#include <QString>

class Document;
class ProgramImage;

// Opens a program file for a front end: an ELF executable or S-Records, told apart by the
// file's first bytes rather than its name. A program loaded brings its symbols and source
// lines into the document (S-Records bring none); the processor is left to the caller.
// Refused, each with its own message: a path that does not exist or is no ordinary file
// (a folder, a device, a pipe), a file in neither format, and a program that would put
// no byte into memory.
class ProgramLoader
{
public:
    ProgramLoader(const QString& fileName, Document* document);

    bool Load();
    // Puts an executable's image into the document: its segments into memory, zeros after
    // each segment's file bytes, then its names and lines in place of the old ones.
    void Commit(ProgramImage& image);

    // Reads a file as Load would and refuses it with the same message, but into no machine:
    // an executable into an image of its own, S-Records line by line without writing them.
    static bool Check(const QString& fileName, QString* error);

    QString fileName;
    Document* document;
    QString errorMessage;
    // After a load that succeeded, what the user should know of the program as it was
    // loaded, on one line in French (S-Records whose checksums or byte counts are wrong,
    // loaded as they stand); empty when there is nothing to say.
    QString warning;

private:
    enum class Format { Elf, Records };

    // The format that the file's content shows; false, with the message, for a path that
    // holds no program file. A file that cannot be read is left to the S-Record loader,
    // which says so.
    static bool Identify(const QString& fileName, Format* format, QString* error);
    static bool NothingToLoad(const QString& fileName, QString* error);
    bool LoadElf();
    bool LoadRecords();
};

#endif
