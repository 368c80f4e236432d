#ifndef ZENDRA_CORE_UNDOITEMRING_H
#define ZENDRA_CORE_UNDOITEMRING_H

#include "core/Memory.h"
#include "core/Register.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// What one executed instruction changed: the registers before it and the previous contents
// of every location it wrote, in the order of the writes. Two cache lines, aligned, with the
// usual one or two records inside.
class alignas(64) UndoItem
{
public:
    UndoItem(const Register& registers, const MemoryRecordList& memory)
        : registers(&registers), memory(memory) {}

    Register registers;
    MemoryRecordList memory;
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
    // Item i, counted from the oldest.
    const UndoItem* at(int i) const { return &SlotItem(Slot(i)); }
    const UndoItem* operator[](int i) const { return at(i); }
    const UndoItem* first() const { return at(0); }
    const UndoItem* last() const { return at(count() - 1); }

    // The item that the next Commit appends, to be filled in place. When the ring is full it
    // is the oldest item's slot: that item is gone from then on. Kept at hand from one
    // instruction to the next, since every recorded instruction asks for it: spare walks
    // through a run of built slots of one block, and only its end costs a lookup.
    UndoItem& Spare()
    {
        if (spare == spareEnd)
            return LocateSpare();
        return *spare;
    }
    // Appends the spare item, which Spare gave, dropping the oldest when the ring is full.
    void Commit()
    {
        ++committed;
        ++spare;
        // A full history is far larger than the caches: every item is written where the
        // processor must first fetch its two lines. Asked for a few items ahead, they are
        // there in time (a fifth more instructions per second, measured). As an address, not
        // a pointer: it may lie past the block, where a prefetch is harmless.
        const std::uintptr_t ahead = reinterpret_cast<std::uintptr_t>(spare) + prefetchDistance * sizeof(UndoItem);
        for (std::uintptr_t line = 0; line < sizeof(UndoItem); line += alignof(UndoItem))
            __builtin_prefetch(reinterpret_cast<const void*>(ahead + line), 1);
    }
    // Forgets the newest item; its slot stays pooled.
    void removeLast();
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
    // Out of line and returning it, so that a caller keeps no register across the call.
    UndoItem& LocateSpare();

    const int capacity;
    // Slots 0 to built - 1 hold items: the ring builds its blocks in order until it is full.
    std::vector<UndoItem*> blocks;
    std::size_t built = 0;
    // Items committed since the ring was last empty, which may pass the capacity: the count
    // is the smaller of the two, so that a commit only adds one.
    long long committed = 0;
    // The spare item, inside the run of slots from run (slot runSlot) to spareEnd. An empty
    // run (all null) says that the spare slot is runSlot, not yet located.
    UndoItem* run = nullptr;
    UndoItem* spare = nullptr;
    UndoItem* spareEnd = nullptr;
    std::size_t runSlot = 0;
};

#endif
