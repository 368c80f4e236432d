#ifndef ZENDRA_CORE_UNDOITEMRING_H
#define ZENDRA_CORE_UNDOITEMRING_H

#include "core/Memory.h"
#include "core/Register.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What one executed instruction changed, in one cache line (half of what whole register
// sets took, and so half the memory traffic of a full history): pc, usp, ssp and sr before
// it; the data and address registers that bits 0-2 and 9-11 of its first word name, before
// it; and the previous contents of every location it wrote, in the order of the writes. No
// instruction writes other registers but MOVEM to registers, whose item keeps the data and
// address registers whole in a set aside by slot; so does the newest item before the
// registers are edited from outside.
class alignas(64) UndoItem
{
public:
    unsigned int pc;
    unsigned int usp;
    unsigned int ssp;
    // With wholeBit for a whole set, a bit that sr never holds: copied from the register,
    // it comes clear.
    unsigned short sr;
    // The first word, whose bits 0-2 and 9-11 name the kept registers.
    unsigned short named;
    // Dn and An of bits 0-2, then of bits 9-11; A7 stands for pc there, which is kept anyway.
    unsigned int kept[4];
    MemoryRecordList memory;

    // Before the instruction of first word word: its registers, from pc to sr in one copy.
    inline __attribute__((always_inline)) void Keep(const Register& r, unsigned int word)
    {
        const std::size_t low = word & 7;
        const std::size_t high = (word >> 9) & 7;
        const unsigned int* words = Words(r);
        const unsigned int* addresses = words + addressWord;
        // Field by field, as they were stored: one wide load over pc to sr would wait for the
        // store of pc that the instruction before has just made, since a load is forwarded
        // only from a store that covers it. That wait took a third of a recorded slice.
        pc = r.pc;
        usp = r.usp;
        ssp = r.ssp;
        sr = static_cast<unsigned short>(r.sr);
        named = static_cast<unsigned short>(word);
        kept[0] = words[low];
        kept[1] = addresses[low];
        kept[2] = words[high];
        kept[3] = addresses[high];
    }
    // The registers after the instruction, but the whole set's, go back to those before it.
    void Restore(Register& r) const
    {
        const unsigned int low = named & 7;
        const unsigned int high = (named >> 9) & 7;
        unsigned int* words = Words(r);
        words[low] = kept[0];
        words[addressWord + low] = kept[1];
        words[high] = kept[2];
        words[addressWord + high] = kept[3];
        // Last, over A7's stand-in.
        r.pc = pc;
        r.usp = usp;
        r.ssp = ssp;
        r.sr = sr & ~wholeBit;
    }

    bool IsWhole() const { return sr & wholeBit; }

    // The machine's cycle counter before the instruction, by its low bits, which no
    // instruction's cost reaches: taking the item back takes the counter back by their
    // difference with the counter's after it. In the memory list's spare room, so that the
    // item stays one cache line.
    void Stamp(unsigned long long cycles) { memory.tag = static_cast<unsigned short>(cycles); }
    unsigned short CycleStamp() const { return memory.tag; }

    static constexpr unsigned short wholeBit = 0x0040;
    static_assert((Register::srMask & wholeBit) == 0, "sr never holds wholeBit");
    // D0-D7, A0-A6 and pc lie in this order, a word each, from the start of the registers;
    // read from there, so that the compiler sees no array read past its end.
    static constexpr unsigned int addressWord = 8;
    static const unsigned int* Words(const Register& r) { return reinterpret_cast<const unsigned int*>(&r); }
    static unsigned int* Words(Register& r) { return reinterpret_cast<unsigned int*>(&r); }
};

// The items of the undo history, oldest first, read like a list of item pointers. They live
// in place in blocks of consecutive slots, bounded by a capacity: the item being filled is the
// slot after the newest, and once the ring is full that slot is the oldest item's, which the
// new one replaces. Nothing is allocated once every slot has been used, and recording runs
// through memory in order.
class UndoItemRing
{
public:
    explicit UndoItemRing(int capacity);
    ~UndoItemRing();
    UndoItemRing(const UndoItemRing&) = delete;
    UndoItemRing& operator=(const UndoItemRing&) = delete;

    int count() const { return committed < capacity ? int(committed) : capacity; }
    int size() const { return count(); }
    bool isEmpty() const { return committed == 0; }
    // Grows by one with every item committed, past the capacity; an undo takes one back.
    long long Committed() const { return committed; }
    // Item i, counted from the oldest.
    const UndoItem* at(int i) const { return &SlotItem(Slot(i)); }
    const UndoItem* operator[](int i) const { return at(i); }
    const UndoItem* first() const { return at(0); }
    const UndoItem* last() const { return at(count() - 1); }

    // The item that the next Commit appends, to be filled in place. When the ring is full it
    // is the oldest item's slot: that item is gone from then on. Kept at hand from one
    // instruction to the next, since every recorded instruction asks for it: spare walks
    // through a run of built slots of one block, always located, and only the end of the run
    // costs a lookup, in Commit.
    UndoItem& Spare() { return *spare; }
    // The newest item's writes, for a write by hand to join them; null without an item.
    MemoryRecordList* LastWrites() { return isEmpty() ? nullptr : &SlotItem(Slot(count() - 1)).memory; }
    // Appends the spare item, which Spare gave, dropping the oldest when the ring is full.
    void Commit()
    {
        ++committed;
        ++spare;
        // A full history is far larger than the caches: every item is written where the
        // processor must first fetch its line. Asked for a few items ahead, it is there in
        // time. As an address, not a pointer: it may lie past the block, where a prefetch is
        // harmless.
        const std::uintptr_t ahead = reinterpret_cast<std::uintptr_t>(spare) + prefetchDistance * sizeof(UndoItem);
        __builtin_prefetch(reinterpret_cast<const void*>(ahead), 1);
        if (__builtin_expect(spare == spareEnd, false))
            LocateSpare();
    }
    // Registers as they were after item i become as they were before it.
    void Rewind(int i, Register& registers) const
    {
        const std::size_t slot = Slot(i);
        const UndoItem& item = SlotItem(slot);
        if (__builtin_expect(item.IsWhole(), false))
            RestoreWhole(slot, registers);
        item.Restore(registers);
    }
    // The spare item keeps its data and address registers whole, from r: an instruction
    // about to write registers that its first word does not name.
    void KeepWhole(const Register& r);
    // The newest item keeps them whole, from current, the registers after it: they are about
    // to be edited, and taking it back must still restore them all.
    void KeepWholeLast(const Register& current);

    // Forgets the newest item; its slot stays pooled.
    void removeLast()
    {
        if (committed == 0)
            return;
        committed = count() - 1;
        // Inside a run, the newest item's slot is the one before the spare one.
        if (spare != run)
            --spare;
        else
            LocateLast();
    }
    void clear();

private:
    static constexpr std::size_t blockSize = 1024;
    static constexpr std::size_t prefetchDistance = 4;

    // The slot after the newest item.
    std::size_t SpareSlot() const
    {
        const std::size_t slot = runSlot + std::size_t(spare - run);
        return slot == std::size_t(capacity) ? 0 : slot;
    }
    // The slot of item i: the oldest item's slot is count() slots before the spare one.
    std::size_t Slot(int i) const
    {
        const std::size_t slot = SpareSlot() + std::size_t(capacity) - std::size_t(count()) + std::size_t(i);
        return slot >= std::size_t(capacity) ? slot - std::size_t(capacity) : slot;
    }
    UndoItem& SlotItem(std::size_t slot) const { return blocks[slot / blockSize][slot % blockSize]; }
    // Points spare at slot, and its run at the rest of the block, building the block first
    // when the ring has not reached it yet.
    void Locate(std::size_t slot);
    // Out of line: the loops pay only for the test.
    void LocateSpare();

    // Data and address registers kept whole, D0-D7 then A0-A6, by slot.
    struct WholeSet
    {
        unsigned int words[15];
    };
    WholeSet& Whole(std::size_t slot);
    void RestoreWhole(std::size_t slot, Register& registers) const;
    // After removeLast at the start of a run: the spare slot is the one before it.
    void LocateLast();

    const int capacity;
    // Slots 0 to built - 1 hold items: the ring builds its blocks in order until it is full.
    std::vector<UndoItem*> blocks;
    std::size_t built = 0;
    // Items committed since the ring was last empty, which may pass the capacity: the count
    // is the smaller of the two, so that a commit only adds one.
    long long committed = 0;
    // The spare item, inside the run of slots from run (slot runSlot) to spareEnd.
    UndoItem* run = nullptr;
    UndoItem* spare = nullptr;
    UndoItem* spareEnd = nullptr;
    std::size_t runSlot = 0;
    // Built by block when a slot of it first needs one: few instructions keep theirs whole.
    std::vector<WholeSet*> wholeBlocks;
};

#endif
