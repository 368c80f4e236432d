#include "core/Watchpoint.h"

#include "core/Disassembler.h"

QString Watchpoint::KindName(WatchKind kind)
{
    switch (kind) {
    case WatchWrite: return QStringLiteral("écriture");
    case WatchRead: return QStringLiteral("lecture");
    default: return QStringLiteral("accès");
    }
}

QString Watchpoint::Text() const
{
    return QStringLiteral("$%1 (%2 octet%3, %4)")
        .arg(Disassembler::Hexa(address, 6))
        .arg(length)
        .arg(length > 1 ? QStringLiteral("s") : QString())
        .arg(KindName(kind));
}
