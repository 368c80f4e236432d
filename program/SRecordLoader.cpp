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
    lineNumber = 0;
    faultyRecords = 0;
    firstFault.clear();
    warning.clear();
    while (!stream.atEnd()) {
        const QString line = stream.readLine();
        ++lineNumber;
        if (!ParseLine(line))
            return false;
        const QString fault = RecordFault(line);
        if (!fault.isEmpty() && faultyRecords++ == 0)
            firstFault = QStringLiteral("ligne %1, %2").arg(lineNumber).arg(fault);
    }
    // A read that fails part-way (a device error, a directory) looks like the end of
    // the stream: report it rather than a successful load of what came before.
    if (file.error() != QFileDevice::NoError || stream.status() == QTextStream::ReadCorruptData) {
        SetError(accessError.arg(fileName));
        return false;
    }
    file.close();
    if (faultyRecords > 0)
        warning = QStringLiteral("Des enregistrements S-Record fautifs ont été chargés tels quels : %1%2.")
                      .arg(firstFault, faultyRecords > 1 ? QStringLiteral(" (et %1 de plus)").arg(faultyRecords - 1)
                                                         : QString());
    return true;
}

// The count is of the bytes after it: address, data and checksum; the checksum is the
// complement of the low byte of the sum of the bytes before it, count included.
QString SRecordLoader::RecordFault(const QString& line)
{
    unsigned int count = 0;
    if (line.size() < 4 || !ParseHex(line, 2, 2, count))
        return QStringLiteral("le nombre d'octets est illisible");
    const int digits = line.size() - 4;
    if (digits % 2 != 0)
        return QStringLiteral("la ligne n'a pas un nombre entier d'octets");
    if (count != unsigned(digits / 2))
        return QStringLiteral("l'enregistrement annonce %1 octets mais en porte %2").arg(count).arg(digits / 2);
    unsigned int sum = count;
    for (int p = 4; p < line.size() - 2; p += 2) {
        unsigned int byte = 0;
        if (!ParseHex(line, p, 2, byte))
            return QStringLiteral("ses octets ne sont pas tous en hexadécimal");
        sum += byte;
    }
    unsigned int checksum = 0;
    if (count == 0)
        return QStringLiteral("l'enregistrement n'a pas de somme de contrôle");
    if (!ParseHex(line, line.size() - 2, 2, checksum))
        return QStringLiteral("la somme de contrôle est illisible");
    const unsigned int expected = ~sum & 0xFF;
    if (checksum != expected)
        return QStringLiteral("la somme de contrôle est $%1 au lieu de $%2")
            .arg(Hex::Text(checksum, 2), Hex::Text(expected, 2));
    return QString();
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
    // A check writes nothing: only a load has left the records before the fault in memory.
    if (dataWritten && action == Action::Write)
        errorMessage += QStringLiteral("\nDes données erronées ont probablement été écrites dans la mémoire.");
}

bool SRecordLoader::FormatError()
{
    SetError(QStringLiteral("Le fichier suivant ne contient pas un format S-Record valide :\n\"%1\"").arg(fileName));
    return false;
}
