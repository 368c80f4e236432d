#ifndef ZENDRA_CORE_WATCHPOINTINDEX_H
#define ZENDRA_CORE_WATCHPOINTINDEX_H

#include "core/Watchpoint.h"

#include <QList>

#include <vector>

// The enabled watchpoints of a run, sorted by start, so that an access finds the ranges it
// touches in logarithmic time however many there are.
class WatchpointIndex
{
public:
    void Build(const QList<Watchpoint>& watchpoints);
    void Clear();
    bool IsEmpty() const { return ranges.empty(); }
    // Some watchpoint stops on kind: a run must note that kind of access.
    bool Watches(WatchKind kind) const { return (kinds & kind) != 0; }
    // The first watchpoint of a kind that an access of size bits at address touches, or -1.
    int Find(unsigned int address, int size, WatchKind kind) const;

private:
    struct Range
    {
        unsigned int start;
        unsigned int end; // exclusive, at most 0x1000000
        int kinds;
        int watchpoint;
    };
    int FindIn(unsigned int start, unsigned int end, WatchKind kind) const;

    std::vector<Range> ranges;
    // The largest end of the ranges up to each one, to stop looking back early.
    std::vector<unsigned int> reach;
    int kinds = 0;
};

#endif
