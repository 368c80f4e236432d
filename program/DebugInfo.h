#ifndef ZENDRA_PROGRAM_DEBUGINFO_H
#define ZENDRA_PROGRAM_DEBUGINFO_H

#include "program/CallFrameTable.h"
#include "program/DebugLocation.h"
#include "program/TypeTable.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// A C program's functions, variables and types as its DWARF debugging information gives
// them, read once at load (DebugInfoReader) and then only looked up: by the call stack, the
// variables' views and the runner's backtrace. Empty for a program without it.
class DebugInfo
{
public:
    struct Variable
    {
        QString name;
        int type = -1;
        DebugLocation location;
        // A file-scope or function's static variable, rather than the global of a program.
        bool isStatic = false;
        // The compile unit it comes from, an index into units.
        int unit = -1;
    };

    struct AddressRange
    {
        unsigned int low;
        unsigned int high;
    };

    // A lexical block of a function: its code ranges and the variables declared in it.
    // Blocks are kept flat, each naming its parent (-1 for the function's body, which is
    // block 0 and holds the outermost locals).
    struct Block
    {
        std::vector<AddressRange> ranges;
        int parent = -1;
        std::vector<Variable> variables;
        bool Contains(unsigned int pc) const;
    };

    struct Function
    {
        QString name;
        unsigned int low = 0;
        unsigned int high = 0;
        int returnType = -1;
        DebugLocation frameBase;
        std::vector<Variable> parameters;
        std::vector<Block> blocks;
        int unit = -1;
        // The declaration's place, for a function without lines.
        QString file;
        int line = 0;
    };

    struct Unit
    {
        QString name;
        QString directory;
    };

    // A nested block deeper than this is not read.
    static constexpr int maximumNesting = 32;

    void Clear();
    bool IsEmpty() const { return functions.empty() && globals.empty(); }
    // Sorts what was added and builds the lookups; call it once after the last addition.
    void Finish();

    // The function whose code holds pc, null where none does (assembly, the library).
    const Function* FunctionAt(unsigned int pc) const;
    // The variables in scope at pc in a function, innermost block first as GDB lists them:
    // each block's in declaration order.
    std::vector<const Variable*> LocalsAt(const Function& function, unsigned int pc) const;
    // A global or static variable by name; among several statics of the same name, the one
    // of the unit of pc's function, then the first.
    const Variable* FindGlobal(const QString& name, unsigned int pc) const;

    std::vector<Unit> units;
    // Sorted by their first address; none overlaps the next.
    std::vector<Function> functions;
    // Every unit's global and file-scope variables; a function's static ones are in its blocks.
    std::vector<Variable> globals;
    TypeTable types;
    // The rules for unwinding (.debug_frame), shared by copies of the image.
    std::shared_ptr<const CallFrameTable> frames;
    // The program's entry point: the outermost frame of its call stack lies in the function
    // or code that holds it.
    unsigned int entry = 0;
    // The addresses that the program's segments occupy, code and data: a pointer into them
    // is named by a symbol, one elsewhere (the stack) is not.
    std::vector<AddressRange> segments;
    // What could not be read, one French sentence each; the rest was read all the same.
    QStringList problems;
};

#endif
