#include "core/WatchpointIndex.h"

#include <algorithm>

namespace {

constexpr unsigned int addressSpace = 0x1000000;

} // namespace

void WatchpointIndex::Clear()
{
    ranges.clear();
    reach.clear();
    kinds = 0;
}

void WatchpointIndex::Build(const QList<Watchpoint>& watchpoints)
{
    Clear();
    for (int i = 0; i < watchpoints.size(); ++i) {
        const Watchpoint& w = watchpoints.at(i);
        if (!w.enabled || w.length == 0)
            continue;
        const unsigned int length = std::min(w.length, Watchpoint::maximumLength);
        const unsigned int start = w.address & (addressSpace - 1);
        const unsigned long long end = static_cast<unsigned long long>(start) + length;
        // A range past the top of memory goes on at its bottom.
        ranges.push_back(Range{start, unsigned(std::min<unsigned long long>(end, addressSpace)), w.kind, i});
        if (end > addressSpace)
            ranges.push_back(Range{0, unsigned(end - addressSpace), w.kind, i});
        kinds |= w.kind;
    }
    std::sort(ranges.begin(), ranges.end(), [](const Range& a, const Range& b) {
        return a.start != b.start ? a.start < b.start : a.watchpoint < b.watchpoint;
    });
    unsigned int far = 0;
    for (const Range& r : ranges) {
        far = std::max(far, r.end);
        reach.push_back(far);
    }
}

int WatchpointIndex::FindIn(unsigned int start, unsigned int end, WatchKind kind) const
{
    // The ranges that start before the access ends; of those, the ones that reach past its start.
    auto it = std::lower_bound(ranges.begin(), ranges.end(), end,
                               [](const Range& r, unsigned int e) { return r.start < e; });
    int found = -1;
    for (std::size_t i = std::size_t(it - ranges.begin()); i-- > 0;) {
        if (reach[i] <= start)
            break;
        const Range& r = ranges[i];
        if (r.end > start && (r.kinds & kind) && (found < 0 || r.watchpoint < found))
            found = r.watchpoint;
    }
    return found;
}

int WatchpointIndex::Find(unsigned int address, int size, WatchKind kind) const
{
    if (!(kinds & kind))
        return -1;
    const unsigned int start = address & (addressSpace - 1);
    const unsigned int bytes = size > 8 ? unsigned(size / 8) : 1u;
    const unsigned int end = start + bytes;
    if (end <= addressSpace)
        return FindIn(start, end, kind);
    const int high = FindIn(start, addressSpace, kind);
    const int low = FindIn(0, end - addressSpace, kind);
    if (high < 0)
        return low;
    return low < 0 ? high : std::min(high, low);
}
