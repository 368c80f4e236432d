#include "program/DebugLocation.h"

const std::vector<DebugLocation::Op>* DebugLocation::At(unsigned int pc) const
{
    if (kind == Kind::Expression)
        return &ops;
    if (kind == Kind::List)
        for (const Range& r : ranges)
            if (pc >= r.low && pc < r.high)
                return &r.ops;
    return nullptr;
}
