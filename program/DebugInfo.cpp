#include "program/DebugInfo.h"

#include <algorithm>

bool DebugInfo::Block::Contains(unsigned int pc) const
{
    for (const AddressRange& r : ranges)
        if (pc >= r.low && pc < r.high)
            return true;
    return false;
}

void DebugInfo::Clear()
{
    *this = DebugInfo();
}

void DebugInfo::Finish()
{
    std::stable_sort(functions.begin(), functions.end(),
                     [](const Function& a, const Function& b) { return a.low < b.low; });
    // A function that overlaps the one before it (a damaged file) is cut to where the
    // next starts, so that a lookup by address is a search over sorted ranges.
    for (std::size_t i = 0; i + 1 < functions.size(); ++i)
        functions[i].high = std::min(functions[i].high, functions[i + 1].low);
}

const DebugInfo::Function* DebugInfo::FunctionAt(unsigned int pc) const
{
    auto after = std::upper_bound(functions.begin(), functions.end(), pc,
                                  [](unsigned int address, const Function& f) { return address < f.low; });
    if (after == functions.begin())
        return nullptr;
    const Function& f = *(after - 1);
    return pc < f.high ? &f : nullptr;
}

std::vector<const DebugInfo::Variable*> DebugInfo::LocalsAt(const Function& function, unsigned int pc) const
{
    // The innermost block that holds pc, then its parents out to the body.
    int innermost = -1;
    for (std::size_t i = 0; i < function.blocks.size(); ++i)
        if (function.blocks[i].Contains(pc))
            innermost = int(i);
    std::vector<const Variable*> locals;
    for (int b = innermost, steps = 0; b >= 0 && b < int(function.blocks.size()) && steps <= maximumNesting; ++steps) {
        for (const Variable& v : function.blocks[std::size_t(b)].variables)
            locals.push_back(&v);
        b = function.blocks[std::size_t(b)].parent;
    }
    return locals;
}

const DebugInfo::Variable* DebugInfo::FindGlobal(const QString& name, unsigned int pc) const
{
    const Function* f = FunctionAt(pc);
    const Variable* first = nullptr;
    for (const Variable& v : globals) {
        if (v.name != name)
            continue;
        if (f && v.unit == f->unit)
            return &v;
        if (!first)
            first = &v;
    }
    return first;
}
