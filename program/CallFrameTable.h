#ifndef ZENDRA_PROGRAM_CALLFRAMETABLE_H
#define ZENDRA_PROGRAM_CALLFRAMETABLE_H

#include "program/DebugLocation.h"

#include <QByteArray>

#include <vector>

struct Dwarf;
struct Dwarf_CFI_s;
struct Elf;

// The call frame information of a program (.debug_frame, as GCC writes it for the 68000):
// for an address of its code, how to find the frame's canonical address (CFA) and where the
// caller's registers were saved. libdw reads the rules when asked, from a copy of the file
// that the table keeps; it is opened once at load. Not to be asked from two threads at
// once: the call stack is computed on the thread that owns the stopped machine.
//
// Registers are numbered as GCC and GDB number them for the 68000 in DWARF: D0-D7 are 0-7,
// A0-A7 are 8-15 (A7, 15, the stack pointer), and the return address is column 24.
class CallFrameTable
{
public:
    static constexpr int registerCount = 16;
    static constexpr int returnColumn = 24;
    static constexpr int stackPointer = 15;
    static constexpr int framePointer = 14;

    enum class RuleKind {
        // Nothing said: callee-saved registers keep their value, as GDB takes them.
        SameValue,
        Undefined,
        // Saved in memory at the address that the expression computes from the CFA.
        SavedAt,
        // The value itself is the expression's.
        Value
    };

    struct Rule
    {
        RuleKind kind = RuleKind::SameValue;
        std::vector<DebugLocation::Op> ops;
    };

    struct Row
    {
        // The CFA: an expression over the registers, usually DW_OP_breg15 or DW_OP_breg14.
        std::vector<DebugLocation::Op> cfa;
        Rule registers[registerCount];
        Rule returnAddress;
    };

    // Opens the table of a file's bytes, .debug_frame or else .eh_frame; empty when the file
    // has neither or libdw cannot read them.
    explicit CallFrameTable(const QByteArray& file);
    ~CallFrameTable();
    CallFrameTable(const CallFrameTable&) = delete;
    CallFrameTable& operator=(const CallFrameTable&) = delete;

    bool IsEmpty() const { return cfi == nullptr; }
    // The rules at pc; false where the table has none for it.
    bool Find(unsigned int pc, Row* row) const;

private:
    QByteArray bytes;
    Elf* elf = nullptr;
    Dwarf* dwarf = nullptr;
    Dwarf_CFI_s* cfi = nullptr;
    // .eh_frame's table is the table's own to end; .debug_frame's belongs to dwarf.
    bool ownsCfi = false;
};

#endif
