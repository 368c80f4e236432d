#include "app/BreakpointPlace.h"

#include "program/LineTable.h"
#include "program/SymbolTable.h"
#include "session/Document.h"

#include <QStringList>

QString BreakpointPlace::Describe(const Document& document, unsigned int address)
{
    const LineTable& lines = *document.lines;
    if (const LineTable::Row* row = lines.Find(address)) {
        const std::vector<unsigned int> starts = lines.Addresses(row->file, row->line);
        if (!starts.empty() && starts.front() == address)
            return QStringLiteral("l;%1;%2").arg(row->line).arg(lines.Files().at(row->file));
    }
    unsigned int offset = 0;
    if (const SymbolTable::Symbol* symbol = document.symbols->Describe(address, &offset))
        return QStringLiteral("f;%1;%2").arg(offset).arg(QString::fromUtf8(symbol->key));
    return QString();
}

bool BreakpointPlace::Resolve(const Document& document, const QString& place, unsigned int* address)
{
    const QString kind = place.section(QLatin1Char(';'), 0, 0);
    bool ok = false;
    const unsigned int number = place.section(QLatin1Char(';'), 1, 1).toUInt(&ok);
    const QString name = place.section(QLatin1Char(';'), 2);
    if (!ok || name.isEmpty())
        return false;
    if (kind == QLatin1String("l")) {
        const int file = document.lines->Files().indexOf(name);
        if (file < 0 || number > 0x7FFFFFFF)
            return false;
        const std::vector<unsigned int> starts = document.lines->Addresses(file, int(number));
        if (starts.empty())
            return false;
        *address = starts.front();
        return true;
    }
    if (kind != QLatin1String("f"))
        return false;
    const SymbolTable::Symbol* symbol = document.symbols->Find(name);
    // Past the end of a function that shrank, the offset points at something else.
    if (!symbol || (symbol->size > 0 && number >= symbol->size))
        return false;
    *address = (symbol->address + number) & 0xFFFFFF;
    return true;
}
