#ifndef ZENDRA_SESSION_PROGRAMLOADER_H
#define ZENDRA_SESSION_PROGRAMLOADER_H

#include <QString>

class Document;
class ProgramImage;

// Opens a program file for a front end: an ELF executable or S-Records, told apart by the
// file's first bytes rather than its name. A program loaded brings its symbols and source
// lines into the document (S-Records bring none); the processor is left to the caller.
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

private:
    static bool IsElfFile(const QString& fileName);
    bool LoadElf();
    bool LoadRecords();
};

#endif
