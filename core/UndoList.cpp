#include "core/UndoList.h"

#include <utility>

UndoList::UndoList(int capacity)
    : capacity(capacity > 0 ? capacity : 1)
{
}

void UndoList::Add(const Register& registers, const MemoryRecordList& memory)
{
    UndoItem& item = Spare();
    item.registers.Copy(registers);
    item.memory = memory;
    Commit();
}

UndoItem& UndoList::Spare()
{
    if (!spare)
        spare = std::make_unique<UndoItem>(Register(), MemoryRecordList());
    return *spare;
}

void UndoList::Commit()
{
    Spare();
    if (size == capacity) {
        // Full: the newest item takes the oldest one's slot, and the oldest becomes the spare.
        std::swap(pool[head], spare);
        if (++head == pool.size())
            head = 0;
        return;
    }
    if (std::size_t(size) < pool.size())
        std::swap(pool[Slot(size)], spare);
    else
        pool.push_back(std::move(spare));
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
