#include "core/UndoList.h"

UndoList::UndoList(int capacity)
    : capacity(capacity > 0 ? capacity : 1)
{
}

void UndoList::Add(const Register& registers, const MemoryRecordList& memory)
{
    if (size == capacity) {
        // Full: the oldest slot becomes the newest item.
        UndoItem& item = *pool[head];
        item.registers.Copy(registers);
        item.memory = memory;
        if (++head == pool.size())
            head = 0;
        return;
    }
    if (std::size_t(size) < pool.size()) {
        UndoItem& item = *pool[Slot(size)];
        item.registers.Copy(registers);
        item.memory = memory;
    } else {
        pool.push_back(std::make_unique<UndoItem>(registers, memory));
    }
    ++size;
}

void UndoList::RemoveLast()
{
    if (size > 0)
        --size;
}

void UndoList::Clear()
{
    size = 0;
    head = 0;
}
