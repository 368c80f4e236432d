#include "app/StopReport.h"

#include "core/Disassembler.h"
#include "core/InstructionBreakpointList.h"
#include "core/Memory.h"
#include "program/SymbolTable.h"
#include "session/Document.h"

QString StopReport::Text(const RunStop& stop, const Document& document, const QString& stepKey)
{
    if (stop.cause != StopCause::AddressBreakpoint && stop.cause != StopCause::InstructionBreakpoint)
        return QString();
    if (!stop.refused)
        return QStringLiteral("Arrêt sur %1.").arg(Breakpoint(stop, document));
    // No condition here: it held, or the breakpoint would not have stopped anything.
    const QString kind = stop.cause == StopCause::InstructionBreakpoint ? QStringLiteral("Point d'arrêt d'instruction")
                                                                       : QStringLiteral("Point d'arrêt");
    return QStringLiteral("%1 sur le PC, en %2 : rien n'a été exécuté. Pour continuer : %3 "
                          "(«\u00A0Pas à pas détaillé sans point d'arrêt\u00A0»), ou retirez le point d'arrêt.")
        .arg(kind, Place(stop.address, document), stepKey);
}

// "$001044 (sum+4)", or the address alone where no symbol names it.
QString StopReport::Place(unsigned int address, const Document& document)
{
    const QString hexa = QLatin1Char('$') + Disassembler::Hexa(address, 6);
    unsigned int offset = 0;
    const SymbolTable::Symbol* symbol = document.symbols->Describe(address, &offset);
    if (!symbol)
        return hexa;
    const QString name = offset ? QStringLiteral("%1+%2").arg(symbol->name).arg(offset) : symbol->name;
    return QStringLiteral("%1 (%2)").arg(hexa, name);
}

QString StopReport::Breakpoint(const RunStop& stop, const Document& document)
{
    const QString place = Place(stop.address, document);
    if (stop.cause == StopCause::InstructionBreakpoint) {
        const QString name = InstructionBreakpointList::GetMnemonic(static_cast<unsigned short>(document.memory->Read(stop.address, 16)));
        return QStringLiteral("le point d'arrêt sur l'instruction %1 en %2").arg(name, place);
    }
    QString text = QStringLiteral("le point d'arrêt en %1").arg(place);
    const auto it = document.conditions.constFind(stop.address);
    // A condition that could not be evaluated is told in a box, not here.
    if (stop.message.isEmpty() && it != document.conditions.cend() && it->HasCondition())
        text += QStringLiteral(", dont la condition «\u00A0%1\u00A0» est vraie").arg(it->condition.text);
    return text;
}
