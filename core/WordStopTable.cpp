#include "core/WordStopTable.h"

#include "core/BreakpointIndex.h"
#include "core/Memory.h"

#include <algorithm>
#include <cstdint>

namespace {
constexpr unsigned int wordCount = 0x10000;
}

const WordStopTable::Handler* WordStopTable::Mark(const Handler* base, const BreakpointIndex& stops, Handler stop)
{
    if (copiedFrom != base) {
        if (!table)
            table.reset(new Handler[wordCount]);
        std::copy(base, base + wordCount, table.get());
        copiedFrom = base;
        replaced.clear();
    }
    for (unsigned short word : replaced)
        table[word] = base[word];
    replaced.clear();
    if (stops.OnlyInstruction() >= 0) {
        Replace(unsigned(stops.OnlyInstruction()), stop);
    } else if (stops.HasInstructions()) {
        const std::uint64_t* bits = stops.InstructionBits();
        for (unsigned int i = 0; i < wordCount / 64; ++i)
            for (std::uint64_t b = bits[i]; b; b &= b - 1)
                Replace(i * 64 + unsigned(__builtin_ctzll(b)), stop);
    }
    return table.get();
}

// The threaded tables are indexed by the word in the host's byte order.
void WordStopTable::Replace(unsigned int word, Handler stop)
{
    const unsigned int host = Memory::SwapHostWord(word);
    table[host] = stop;
    replaced.push_back(static_cast<unsigned short>(host));
}
