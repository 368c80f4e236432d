#include "session/ProgramLoader.h"

#include "core/Memory.h"
#include "program/ElfLoader.h"
#include "program/LineTable.h"
#include "program/ProgramImage.h"
#include "program/SRecordLoader.h"
#include "program/SymbolTable.h"
#include "session/Document.h"

#include <QFile>

ProgramLoader::ProgramLoader(const QString& fileName, Document* document)
    : fileName(fileName), document(document)
{
}

bool ProgramLoader::IsElfFile(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) && ElfLoader::IsElf(file.read(4));
}

bool ProgramLoader::Load()
{
    // Everything that is not ELF is read as S-Records, whose loader reports a file it
    // cannot open.
    const bool loaded = IsElfFile(fileName) ? LoadElf() : LoadRecords();
    if (loaded) {
        document->programFile = fileName;
        ++document->programSerial;
    }
    return loaded;
}

bool ProgramLoader::LoadElf()
{
    ElfLoader loader(fileName);
    ProgramImage image;
    const bool parsed = loader.Parse(&image);
    errorMessage = loader.errorMessage;
    if (parsed)
        Commit(image);
    return parsed;
}

bool ProgramLoader::LoadRecords()
{
    SRecordLoader loader(fileName, document->memory);
    const bool loaded = loader.Load();
    errorMessage = loader.errorMessage;
    if (loaded) {
        document->symbols->Clear();
        document->lines->Clear();
    }
    return loaded;
}

void ProgramLoader::Commit(ProgramImage& image)
{
    Memory* memory = document->memory;
    for (const ProgramImage::Segment& segment : image.segments) {
        const unsigned int fileSize = unsigned(segment.bytes.size());
        for (unsigned int i = 0; i < segment.memorySize; ++i) {
            const unsigned int byte = i < fileSize ? static_cast<unsigned char>(segment.bytes[int(i)]) : 0;
            memory->Write(segment.address + i, byte, 8, true);
        }
    }
    *document->symbols = std::move(image.symbols);
    *document->lines = std::move(image.lines);
}

bool ProgramLoader::Check(const QString& fileName, QString* error)
{
    bool good;
    if (IsElfFile(fileName)) {
        ElfLoader loader(fileName);
        ProgramImage image;
        good = loader.Parse(&image);
        *error = loader.errorMessage;
    } else {
        SRecordLoader loader(fileName, nullptr);
        good = loader.Check();
        *error = loader.errorMessage;
    }
    return good;
}
