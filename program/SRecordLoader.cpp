#include "program/SRecordLoader.h"

#include "core/Hex.h"
#include "core/Memory.h"

#include <QFile>
#include <QTextStream>

namespace {

// Only plain hexadecimal digits count: a lenient conversion would also take blanks, a
// sign or a "0x" prefix inside a field and write a byte that the file never held.
bool ParseHex(const QString& line, int position, int width, unsigned int& value)
{
    const int end = qMin(line.size(), position + width);
    if (position >= end)
        return false;
    value = 0;
    for (int i = position; i < end; ++i) {
        const int digit = Hex::Digit(line[i]);
        if (digit < 0)
            return false;
        value = (value << 4) | unsigned(digit);
    }
    return true;
}

} // namespace

SRecordLoader::SRecordLoader(const QString& fileName, Memory* memory)
    : fileName(fileName), memory(memory), dataWritten(false)
{
}

bool SRecordLoader::Load()
{
    action = Action::Write;
    return ReadFile();
}

bool SRecordLoader::Check()
{
    action = Action::Check;
    return ReadFile();
}

bool SRecordLoader::ReadFile()
{
    const QString accessError = QStringLiteral("Une erreur est survenue lors de l'accès au fichier suivant :\n\"%1\".");
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        SetError(accessError.arg(fileName));
        return false;
    }
    QTextStream stream(&file);
    while (!stream.atEnd()) {
        if (!ParseLine(stream.readLine()))
            return false;
    }
    // A read that fails part-way (a device error, a directory) looks like the end of
    // the stream: report it rather than a successful load of what came before.
    if (file.error() != QFileDevice::NoError || stream.status() == QTextStream::ReadCorruptData) {
        SetError(accessError.arg(fileName));
        return false;
    }
    file.close();
    return true;
}

bool SRecordLoader::ParseLine(const QString& line)
{
    const QString type = line.left(2);
    if (type == QLatin1String("S0") || type == QLatin1String("S5") || type == QLatin1String("S7")
        || type == QLatin1String("S8") || type == QLatin1String("S9"))
        return true;

    int width;
    if (type == QLatin1String("S1"))
        width = 4;
    else if (type == QLatin1String("S2"))
        width = 6;
    else if (type == QLatin1String("S3"))
        width = 8;
    else
        return FormatError();

    unsigned int address = 0;
    if (!ParseHex(line, 4, width, address))
        return FormatError();

    const int dataStart = 4 + width;
    const int dataEnd = line.size() - 2;
    for (int p = dataStart; p < dataEnd; p += 2) {
        unsigned int byte = 0;
        if (!ParseHex(line, p, 2, byte))
            return FormatError();
        if (action == Action::Write)
            memory->Write(address, byte, 8, true);
        ++address;
        dataWritten = true;
    }
    return true;
}

void SRecordLoader::SetError(const QString& message)
{
    errorMessage = message;
    if (dataWritten)
        errorMessage += QStringLiteral("\nDes données erronées ont probablement été écrites dans la mémoire.");
}

bool SRecordLoader::FormatError()
{
    SetError(QStringLiteral("Le fichier suivant ne contient pas un format S-Record valide :\n\"%1\"").arg(fileName));
    return false;
}
