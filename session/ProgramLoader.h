#ifndef ZENDRA_SESSION_PROGRAMLOADER_H
#define ZENDRA_SESSION_PROGRAMLOADER_H

#include <QString>

class Document;

// Opens a program file for a front end: an ELF executable or S-Records, told apart by the
// file's first bytes rather than its name. A program loaded brings its symbols and source
// lines into the document (S-Records bring none); the processor is left to the caller.
class ProgramLoader
{
public:
    ProgramLoader(const QString& fileName, Document* document);

    bool Load();

    QString fileName;
    Document* document;
    QString errorMessage;
};

#endif
