#ifndef ZENDRA_CORE_SYMBOLNAMES_H
#define ZENDRA_CORE_SYMBOLNAMES_H

#include <QString>

// What the machine's interpreters ask of a program's names: an expression an address by
// name, the disassembly a name by address. The loaded program's symbol table answers; the
// machine knows nothing else of programs.
class SymbolNames
{
public:
    virtual bool IsEmpty() const = 0;
    // The address of the symbol of that name, case-sensitive; false when there is none.
    virtual bool AddressOf(const char* name, int length, unsigned int* address) const = 0;
    // The name of the symbol that names address, with the distance from its start in
    // *offset; null when none does.
    virtual const QString* NameOf(unsigned int address, unsigned int* offset) const = 0;

protected:
    ~SymbolNames() = default;
};

#endif
