#ifndef ZENDRA_VIEWS_DISALINES_H
#define ZENDRA_VIEWS_DISALINES_H

#include "program/SymbolTable.h"

class Disassembler;

// The lines of the disassembly listing from one address downwards. With the program's
// symbols, a label has a row of its own before the line at its address, and no line runs
// across a label's address: the bytes before it show as data. The listing thus falls into
// step at every label, whatever address it starts from, so that the view shows the same
// lines scrolled up or down. Without symbols, the lines are the disassembler's own.
class DisaLines
{
public:
    DisaLines(Disassembler* disassembler, const SymbolTable* symbols, unsigned int address);

    // The address of the line to come.
    unsigned int Address() const { return address; }
    // The label to show on a row before the line to come, or null.
    const SymbolTable::Symbol* Label() const
    {
        return upcoming && upcoming->address == address ? upcoming : nullptr;
    }
    // Disassembles the line to come into the disassembler's fields, and moves past it.
    void Next();

private:
    Disassembler* disassembler;
    const SymbolTable* symbols;
    unsigned int address;
    // The first label at the address or above it: looked up once a label, not once a line.
    const SymbolTable::Symbol* upcoming;
};

#endif
