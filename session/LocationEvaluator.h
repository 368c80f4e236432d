#ifndef ZENDRA_SESSION_LOCATIONEVALUATOR_H
#define ZENDRA_SESSION_LOCATIONEVALUATOR_H

#include "program/DebugLocation.h"
#include "session/DebugValue.h"

#include <vector>

class Memory;

// Evaluates the DWARF location expressions of a program's variables and of its call frame
// information with one frame's registers and the machine's memory: the registers
// (DW_OP_reg*, breg*, regx, bregx), the frame base (fbreg, through the function's own
// expression, usually DW_OP_call_frame_cfa), addresses, constants, arithmetic, deref,
// stack_value, implicit values and pieces. What it cannot evaluate (an entry value, an
// unknown operation, a register that unwinding lost) leaves the value unreadable with a
// French word of why; it never reads outside the 24-bit address space, and its stack and
// its steps are bounded.
class LocationEvaluator
{
public:
    // A frame's registers in DWARF numbering (CallFrameTable): D0-D7, A0-A7, each known or
    // not: unwinding an outer frame may lose the registers that the callee does not save.
    struct Registers
    {
        unsigned int values[16] = {};
        bool known[16] = {};
        // The address by which blocks and location lists are looked up: the pc, but in an
        // outer frame the byte before its return address, which lies in the call.
        unsigned int pc = 0;
    };

    struct Context
    {
        const Memory* memory = nullptr;
        Registers registers;
        // The frame's canonical address, for DW_OP_call_frame_cfa.
        bool cfaKnown = false;
        unsigned int cfa = 0;
        // The function's DW_AT_frame_base, for DW_OP_fbreg; null outside a function.
        const DebugLocation* frameBase = nullptr;
    };

    static constexpr int maximumStack = 64;

    explicit LocationEvaluator(const Context& context) : context(context) {}

    // Where a variable of size bytes lives at the context's pc: in memory, or its bytes.
    DebugValue Place(const DebugLocation& location, unsigned int size) const;
    // The value that an expression leaves on its stack, as the call frame information and
    // DW_OP_fbreg use them: false, with why, when it cannot be computed.
    bool Compute(const std::vector<DebugLocation::Op>& ops, unsigned int* value, QString* why) const;
    // The function's frame base at the context's pc, for DW_OP_fbreg.
    bool FrameBase(unsigned int* value, QString* why) const;

    Context context;

private:
    bool Evaluate(const std::vector<DebugLocation::Op>& ops, unsigned int size, DebugValue* out, QString* why,
                  int depth) const;
};

#endif
