#ifndef ZENDRA_CORE_WATCHPOINT_H
#define ZENDRA_CORE_WATCHPOINT_H

#include <QString>

// Which accesses to a watched range stop a run: writes, reads, or both.
enum WatchKind : int {
    WatchWrite = 1,
    WatchRead = 2,
    WatchAccess = 3
};

// A range of 1 to 65,536 bytes of memory whose accesses of a kind stop a run after the
// instruction that made them. A range may run past $FFFFFF and go on at 0, as addresses do.
class Watchpoint
{
public:
    static constexpr unsigned int maximumLength = 0x10000;

    Watchpoint(unsigned int address = 0, unsigned int length = 1, WatchKind kind = WatchWrite, bool enabled = true)
        : address(address & 0xFFFFFF), length(length), kind(kind), enabled(enabled) {}

    bool SameRange(const Watchpoint& other) const
    {
        return address == other.address && length == other.length && kind == other.kind;
    }
    // As the user reads it: "$010004 (2 octets, écriture)".
    QString Text() const;
    static QString KindName(WatchKind kind);

    unsigned int address;
    unsigned int length;
    WatchKind kind;
    bool enabled;
};

#endif
