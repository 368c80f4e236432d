#ifndef ZENDRA_PROGRAM_PROGRAMIMAGE_H
#define ZENDRA_PROGRAM_PROGRAMIMAGE_H

#include "program/DebugInfo.h"
#include "program/LineTable.h"
#include "program/SymbolTable.h"

#include <QByteArray>

#include <vector>

// A program as its file describes it, read whole and checked but not yet in any machine:
// what goes where in memory, where it starts, its names and its source lines. Putting it
// into a machine is the session's step, so that a file can be checked without one.
class ProgramImage
{
public:
    struct Segment
    {
        unsigned int address;
        // The file's bytes; the memory past them, up to memorySize, is zeros (a program's
        // uninitialised data), which need not be held here.
        QByteArray bytes;
        unsigned int memorySize;
    };

    // In the order of the file's segment table; no two overlap.
    std::vector<Segment> segments;
    unsigned int entry = 0;
    SymbolTable symbols;
    LineTable lines;
    // The C functions, variables and types, empty without DWARF debugging information.
    DebugInfo debug;
};

#endif
