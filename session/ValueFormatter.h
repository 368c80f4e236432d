#ifndef ZENDRA_SESSION_VALUEFORMATTER_H
#define ZENDRA_SESSION_VALUEFORMATTER_H

#include "session/DebugValue.h"

#include <QString>

#include <vector>

class Memory;
class SymbolTable;
class DebugInfo;
class TypeTable;

// The text of a C value as GDB prints it by default, from the machine's memory: integers in
// decimal, characters as 65 'A', _Bool as true or false, enumerations by name, floats and
// doubles, pointers as 0x1234 <symbol+4> where a symbol names the address (a char * with the
// string it points at), structures as {x = 1, y = 2}, arrays as {1, 2, 3} with runs of one
// value as <repeats 16 times>. The hexadecimal variant is GDB's print/x. A structure's or an
// array's text is cut after a bounded number of elements, and nesting is bounded too, so
// that no value, however large or self-referring, costs much.
class ValueFormatter
{
public:
    enum class Radix { Natural, Hexadecimal };

    // GDB's "print elements" limit, and its "repeats" threshold.
    static constexpr int maximumElements = 200;
    static constexpr int repeatThreshold = 10;
    static constexpr int maximumNesting = 8;

    // A pointer is named by a symbol where it points into the program's segments, as GDB
    // names it.
    ValueFormatter(const DebugInfo* debug, const Memory* memory, const SymbolTable* symbols);

    QString Text(const DebugValue& value, Radix radix = Radix::Natural) const;
    // The type's C name, as GDB's whatis gives it.
    QString TypeName(const DebugValue& value) const;
    // A structure's members, an array's elements (the first maximumElements), what a
    // non-void pointer points at (one child, named *name); none for the others.
    std::vector<DebugValue> Children(const DebugValue& value) const;
    bool HasChildren(const DebugValue& value) const;
    // The value as an unsigned number of up to 64 bits, read from memory or bytes: false for
    // what is no scalar or cannot be read.
    bool Scalar(const DebugValue& value, unsigned long long* bits) const;

private:
    // What a Text call may still print, in elements, so that nested arrays stay cheap.
    struct Budget
    {
        int elements = 4 * maximumElements;
    };

    bool ReadBytes(const DebugValue& value, unsigned int size, QByteArray* out) const;
    DebugValue Part(const DebugValue& value, const QString& name, int type, unsigned int offset) const;
    QString Format(const DebugValue& value, Radix radix, int depth, Budget* budget) const;
    QString FormatScalar(const DebugValue& value, int type, Radix radix) const;
    QString FormatPointer(int target, unsigned int address, Radix radix) const;
    QString FormatArray(const DebugValue& value, int type, Radix radix, int depth, Budget* budget) const;
    QString FormatStructure(const DebugValue& value, int type, Radix radix, int depth, Budget* budget) const;
    QString FormatCharacters(const DebugValue& value, int count) const;
    QString CString(unsigned int address) const;
    bool InProgram(unsigned int address) const;

    const DebugInfo* debug;
    const TypeTable* types;
    const Memory* memory;
    const SymbolTable* symbols;
};

#endif
