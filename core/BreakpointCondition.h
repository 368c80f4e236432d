#ifndef ZENDRA_CORE_BREAKPOINTCONDITION_H
#define ZENDRA_CORE_BREAKPOINTCONDITION_H

#include "core/Condition.h"

// What an address breakpoint may carry beyond its address: a condition that must hold, and
// a number of passes (with the condition holding) to let go by before it stops.
class BreakpointCondition
{
public:
    bool HasCondition() const { return !condition.text.isEmpty(); }

    Condition condition;
    int ignoreCount = 0;
    // Passes let go by so far; the run that counts them is the only writer.
    int passes = 0;
};

#endif
