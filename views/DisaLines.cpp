#include "views/DisaLines.h"

#include "core/Disassembler.h"

#include <climits>

DisaLines::DisaLines(Disassembler* disassembler, const SymbolTable* symbols, unsigned int address)
    : disassembler(disassembler),
      symbols(symbols),
      address(address),
      upcoming(symbols->LabelFrom(address))
{
}

void DisaLines::Next()
{
    // The label's own row has been shown: the line now ends at the label after it.
    if (Label())
        upcoming = symbols->LabelFrom(address + 1);
    disassembler->SetStartAddress(address);
    disassembler->DisassembleBefore(upcoming ? upcoming->address : UINT_MAX);
    address = disassembler->nextAddress;
}
