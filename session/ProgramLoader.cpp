#include "session/ProgramLoader.h"

#include "core/Memory.h"
#include "program/ElfLoader.h"
#include "program/LineTable.h"
#include "program/ProgramImage.h"
#include "program/SRecordLoader.h"
#include "program/SymbolTable.h"
#include "session/Document.h"

#include <QFile>
#include <QFileInfo>

ProgramLoader::ProgramLoader(const QString& fileName, Document* document)
    : fileName(fileName), document(document)
{
}

namespace {

// How much of a file's start is looked at for a line that starts as a record does.
constexpr qint64 recordsWindow = 4096;

bool LooksLikeRecords(const QByteArray& start)
{
    for (int i = 0; i + 1 < start.size(); ++i) {
        const bool lineStart = i == 0 || start[i - 1] == '\n';
        if (lineStart && (start[i] == 'S' || start[i] == 's') && start[i + 1] >= '0' && start[i + 1] <= '9')
            return true;
    }
    return false;
}

} // namespace

bool ProgramLoader::Identify(const QString& fileName, Format* format, QString* error)
{
    const QFileInfo info(fileName);
    if (!info.exists()) {
        *error = QStringLiteral("Le fichier suivant n'existe pas :\n\"%1\"").arg(fileName);
        return false;
    }
    if (info.isDir()) {
        *error = QStringLiteral("Le chemin suivant est celui d'un dossier, pas d'un programme :\n\"%1\"").arg(fileName);
        return false;
    }
    // A device or a pipe may never end (/dev/zero) or hold nothing (/dev/null).
    if (!info.isFile()) {
        *error = QStringLiteral("Le fichier suivant n'est pas un fichier ordinaire (périphérique, tube ou socket) :\n\"%1\"")
                     .arg(fileName);
        return false;
    }
    *format = Format::Records;
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    const QByteArray start = file.read(recordsWindow);
    if (ElfLoader::IsElf(start))
        *format = Format::Elf;
    else if (!start.isEmpty() && !LooksLikeRecords(start)) {
        *error = QStringLiteral("Le fichier suivant n'est ni un exécutable ELF ni un fichier S-Record :\n\"%1\"").arg(fileName);
        return false;
    }
    return true;
}

// S-Records that hold no data record, or only records without data, would leave a run to
// execute whatever memory held.
bool ProgramLoader::NothingToLoad(const QString& fileName, QString* error)
{
    *error = QStringLiteral("Le fichier suivant ne contient aucun octet à charger en mémoire :\n\"%1\"").arg(fileName);
    return false;
}

bool ProgramLoader::Load()
{
    warning.clear();
    Format format;
    if (!Identify(fileName, &format, &errorMessage))
        return false;
    const bool loaded = format == Format::Elf ? LoadElf() : LoadRecords();
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
    if (!loader.Load()) {
        errorMessage = loader.errorMessage;
        return false;
    }
    // Nothing was written: the machine is as it was.
    if (!loader.dataWritten)
        return NothingToLoad(fileName, &errorMessage);
    errorMessage.clear();
    warning = loader.warning;
    document->symbols->Clear();
    document->lines->Clear();
    document->debugInfo->Clear();
    return true;
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
    *document->debugInfo = std::move(image.debug);
}

bool ProgramLoader::Check(const QString& fileName, QString* error)
{
    Format format;
    if (!Identify(fileName, &format, error))
        return false;
    if (format == Format::Elf) {
        ElfLoader loader(fileName);
        ProgramImage image;
        const bool good = loader.Parse(&image);
        *error = loader.errorMessage;
        return good;
    }
    SRecordLoader loader(fileName, nullptr);
    const bool good = loader.Check();
    *error = loader.errorMessage;
    if (good && !loader.dataWritten)
        return NothingToLoad(fileName, error);
    return good;
}
