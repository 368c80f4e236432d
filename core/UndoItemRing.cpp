#include "core/UndoItemRing.h"

#include <utility>

UndoItemRing::UndoItemRing(int capacity)
    : capacity(capacity > 0 ? capacity : 1)
{
}

UndoItem& UndoItemRing::Spare()
{
    // Copied from a blank set, a slot's registers carry no names: filling the history the
    // first time would otherwise build 32 strings per instruction.
    static const Register blank;
    if (!spare)
        spare = std::make_unique<UndoItem>(blank, MemoryRecordList());
    return *spare;
}

void UndoItemRing::Commit()
{
    Spare();
    if (length == capacity) {
        // Full: the new item takes the oldest one's slot, and the oldest becomes the spare.
        std::swap(pool[head], spare);
        if (++head == pool.size())
            head = 0;
        return;
    }
    if (std::size_t(length) < pool.size())
        std::swap(pool[Slot(length)], spare);
    else
        pool.push_back(std::move(spare));
    ++length;
}

void UndoItemRing::removeLast()
{
    if (length > 0)
        --length;
}

void UndoItemRing::clear()
{
    length = 0;
    head = 0;
}
