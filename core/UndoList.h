#ifndef ZENDRA_CORE_UNDOLIST_H
#define ZENDRA_CORE_UNDOLIST_H

#include "core/UndoItemRing.h"

// The undo history: one item per instruction executed in recorded mode, oldest first, at
// most capacity of them; the item that makes the list overflow drops the oldest.
class UndoList
{
public:
    static constexpr int defaultCapacity = 100000;

    explicit UndoList(int capacity = defaultCapacity) : items(capacity), capacity(capacity > 0 ? capacity : 1) {}

    void Add(const Register& registers, const MemoryRecordList& memory)
    {
        // Whole: no instruction names its registers.
        UndoItem& item = items.Spare();
        item.Keep(registers, 0);
        items.KeepWhole(registers);
        item.memory = memory;
        items.Commit();
    }

    UndoItemRing items;
    const int capacity;
};

#endif
