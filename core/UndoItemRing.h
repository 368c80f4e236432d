#ifndef ZENDRA_CORE_UNDOITEMRING_H
#define ZENDRA_CORE_UNDOITEMRING_H

#include "core/Memory.h"
#include "core/Register.h"

#include <memory>
#include <vector>

// What one executed instruction changed: the registers before it and the previous contents
// of every location it wrote, in the order of the writes.
class UndoItem
{
public:
    UndoItem(const Register& registers, const MemoryRecordList& memory)
        : registers(&registers), memory(memory) {}

    Register registers;
    MemoryRecordList memory;
};

// The items of the undo history, oldest first, read like a list of item pointers. They live
// in a ring of pooled slots bounded by a capacity: once full, every new item takes the slot
// (and the record storage) of the oldest, which it drops, so that nothing is allocated.
class UndoItemRing
{
public:
    explicit UndoItemRing(int capacity);
    UndoItemRing(const UndoItemRing&) = delete;
    UndoItemRing& operator=(const UndoItemRing&) = delete;

    int count() const { return length; }
    int size() const { return length; }
    bool isEmpty() const { return length == 0; }
    // Item i, counted from the oldest.
    const UndoItem* at(int i) const { return pool[Slot(i)].get(); }
    const UndoItem* operator[](int i) const { return at(i); }
    const UndoItem* first() const { return at(0); }
    const UndoItem* last() const { return at(length - 1); }

    // The item that the next Commit appends, to be filled in place.
    UndoItem& Spare();
    // Appends the spare item, dropping the oldest when the ring is full.
    void Commit();
    // Forgets the newest item; its slot stays pooled.
    void removeLast();
    void clear();

private:
    std::size_t Slot(int i) const
    {
        const std::size_t slot = head + std::size_t(i);
        return slot >= pool.size() ? slot - pool.size() : slot;
    }

    const int capacity;
    // Grows up to capacity; head leaves 0 only once it has reached capacity.
    std::vector<std::unique_ptr<UndoItem>> pool;
    std::unique_ptr<UndoItem> spare;
    std::size_t head = 0;
    int length = 0;
};

#endif
