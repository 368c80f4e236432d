#include "core/InstructionBreakpointList.h"

#include "core/Disassembler.h"

QString InstructionBreakpointList::GetMnemonic(unsigned short opcode)
{
    if ((opcode & 0xFFF0) == 0x4E40)
        return QStringLiteral("TRAP #%1").arg(opcode & 0xF);
    switch (opcode) {
    case 0x4AFC: return QStringLiteral("ILLEGAL");
    case 0x4E70: return QStringLiteral("RESET");
    case 0x4E71: return QStringLiteral("NOP");
    case 0x4E73: return QStringLiteral("RTE");
    case 0x4E75: return QStringLiteral("RTS");
    case 0x4E76: return QStringLiteral("TRAPV");
    case 0x4E77: return QStringLiteral("RTR");
    default: return QStringLiteral("DC.W $") + Disassembler::Hexa(opcode, 4);
    }
}
