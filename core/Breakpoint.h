#ifndef ZENDRA_CORE_BREAKPOINT_H
#define ZENDRA_CORE_BREAKPOINT_H

enum BreakpointType : int {
    NoBreakpoint = 0,
    AddressBreakpoint = 1,
    InstructionBreakpoint = 2
};

// The breakpoint that applies before an instruction, with the enable flag of its kind at
// the time of the lookup.
class Breakpoint
{
public:
    Breakpoint(BreakpointType type, bool enabled) : type(type), enabled(enabled) {}

    BreakpointType type;
    bool enabled;
};

#endif
