#ifndef ZENDRA_CORE_UNDOLIST_H
#define ZENDRA_CORE_UNDOLIST_H

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

// The undo history, oldest item first, bounded by capacity: once full, every new item
// drops the oldest. Items live in a ring of pooled pool, so that a full history reuses
// the slot (and the record storage) of the item it drops instead of allocating.
class UndoList
{
public:
    static constexpr int defaultCapacity = 100000;

    explicit UndoList(int capacity = defaultCapacity);
    UndoList(const UndoList&) = delete;
    UndoList& operator=(const UndoList&) = delete;

    void Add(const Register& registers, const MemoryRecordList& memory);
    // The item that the next Commit appends, to be filled in place: recorded execution
    // snapshots the registers into it and hands it its write records without copying them.
    UndoItem& Spare();
    void Commit();

    int count() const { return size; }
    bool isEmpty() const { return size == 0; }
    // Item i, counted from the oldest.
    const UndoItem& at(int i) const { return *pool[Slot(i)]; }
    const UndoItem& last() const { return at(size - 1); }
    // Forgets the newest item; its slot stays pooled for the next Add.
    void RemoveLast();
    void Clear();

    const int capacity;

private:
    std::size_t Slot(int i) const
    {
        std::size_t slot = head + std::size_t(i);
        return slot >= pool.size() ? slot - pool.size() : slot;
    }

    // Grows up to capacity; head leaves 0 only once it has reached capacity.
    std::vector<std::unique_ptr<UndoItem>> pool;
    std::unique_ptr<UndoItem> spare;
    std::size_t head = 0;
    int size = 0;
};

#endif
