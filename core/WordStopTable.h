#ifndef ZENDRA_CORE_WORDSTOPTABLE_H
#define ZENDRA_CORE_WORDSTOPTABLE_H

#include <memory>
#include <vector>

class BreakpointIndex;
class Emulator;

// The threaded handlers by first word for one emulator: a shared table's, but for the words
// that a slice stops before, whose entries hand the chain back to the slice's loop. So a
// chain tests no word before each instruction; a marked word costs nothing until it comes.
// The shared tables stay untouched, for the emulators of other threads; the copy (512 KiB) is
// made on the first slice that marks a word, and again only when the shared table changes.
class WordStopTable
{
public:
    using Handler = void (*)(Emulator& emulator, unsigned int opcode);

    // base, with stop for every word that stops marks: the table to chain through until the
    // next Mark. The marks of the Mark before are taken back first.
    const Handler* Mark(const Handler* base, const BreakpointIndex& stops, Handler stop);

private:
    void Replace(unsigned int word, Handler stop);

    std::unique_ptr<Handler[]> table;
    const Handler* copiedFrom = nullptr;
    // The words replaced, to put back; its room is kept from one slice to the next.
    std::vector<unsigned short> replaced;
};

#endif
