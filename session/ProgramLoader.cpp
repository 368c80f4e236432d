#include "session/ProgramLoader.h"

#include "session/Document.h"
#include "program/ElfLoader.h"
#include "program/LineTable.h"
#include "program/SRecordLoader.h"
#include "program/SymbolTable.h"

#include <QFile>

ProgramLoader::ProgramLoader(const QString& fileName, Document* document)
    : fileName(fileName), document(document)
{
}

bool ProgramLoader::Load()
{
    QByteArray start;
    {
        QFile file(fileName);
        if (file.open(QIODevice::ReadOnly))
            start = file.read(4);
    }
    bool loaded;
    if (ElfLoader::IsElf(start)) {
        ElfLoader loader(fileName, document->memory, document->symbols, document->lines);
        loaded = loader.Load();
        errorMessage = loader.errorMessage;
    } else {
        // Everything else is read as S-Records, whose loader reports a file it cannot open.
        SRecordLoader loader(fileName, document->memory);
        loaded = loader.Load();
        errorMessage = loader.errorMessage;
        if (loaded) {
            document->symbols->Clear();
            document->lines->Clear();
        }
    }
    if (loaded) {
        document->programFile = fileName;
        ++document->programSerial;
    }
    return loaded;
}
