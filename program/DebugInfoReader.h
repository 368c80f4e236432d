#ifndef ZENDRA_PROGRAM_DEBUGINFOREADER_H
#define ZENDRA_PROGRAM_DEBUGINFOREADER_H

class DebugInfo;
struct Dwarf;

// Reads the DWARF debugging information of a program with libdw into a DebugInfo: each
// compile unit's functions with their parameters, blocks and locals, its global and static
// variables, and the types they use. Damaged or unusual information does not refuse the
// program: what cannot be read is left out and told in the DebugInfo's problems, every walk
// over the entries is bounded, and a type is read once however often it is referred to, so
// that a type that refers to itself ends.
class DebugInfoReader
{
public:
    // Fills info, which should be empty, and finishes it.
    static void Read(Dwarf* dwarf, DebugInfo* info);
};

#endif
