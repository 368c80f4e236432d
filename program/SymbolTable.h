#ifndef ZENDRA_PROGRAM_SYMBOLTABLE_H
#define ZENDRA_PROGRAM_SYMBOLTABLE_H

#include "core/SymbolNames.h"

#include <QByteArray>
#include <QString>

#include <vector>

// The names that a program's author gave to addresses: labels, functions and objects with
// their sizes, and the assembler's constants. Expressions look them up by name; the
// disassembly by address, to show labels and to name the addresses of operands.
class SymbolTable final : public SymbolNames
{
public:
    enum Kind { Label, Function, Object, Constant };

    struct Symbol
    {
        // The name's bytes as the file holds them, which is how expressions compare names.
        QByteArray key;
        QString name;
        unsigned int address;
        unsigned int size;
        Kind kind;
        bool global;
    };

    void Clear();
    void Add(const QByteArray& name, unsigned int address, unsigned int size, Kind kind, bool global);
    // Builds the lookups over what was added; call it once after the last Add.
    void Finish();

    bool IsEmpty() const override { return symbols.empty(); }
    int Count() const { return int(symbols.size()); }
    const Symbol& At(int i) const { return symbols[std::size_t(i)]; }

    // The symbol of that name, case-sensitive; among several, a global one, then the lowest.
    const Symbol* Find(const char* name, int length) const;
    const Symbol* Find(const QString& name) const;
    // The label to show before the instruction at address: the best of the symbols that
    // start there. Constants are no labels.
    const Symbol* LabelAt(unsigned int address) const;
    // The first label at address or above it, null when there is none: the disassembly's
    // lines stop there, so that each label starts a line.
    const Symbol* LabelFrom(unsigned int address) const;
    // The symbol that names address: a label there, else the innermost sized symbol that
    // holds it, with the distance from its start in *offset.
    const Symbol* Describe(unsigned int address, unsigned int* offset) const;

    bool AddressOf(const char* name, int length, unsigned int* address) const override;
    const QString* NameOf(unsigned int address, unsigned int* offset) const override;

private:
    // Lies inside [start, end) of the symbol, and of no symbol nested in it.
    struct Extent
    {
        unsigned int start;
        unsigned int end;
        int symbol;
    };

    static int Preference(const Symbol& s);
    void BuildExtents();

    std::vector<Symbol> symbols;
    std::vector<int> byName;
    std::vector<int> labels;
    std::vector<Extent> extents;
};

#endif
