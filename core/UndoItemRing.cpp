#include "core/UndoItemRing.h"

#include <algorithm>
#include <new>

UndoItemRing::UndoItemRing(int capacity)
    : capacity(capacity > 0 ? capacity : 1)
{
}

UndoItemRing::~UndoItemRing()
{
    for (std::size_t slot = 0; slot < built; ++slot)
        SlotItem(slot).~UndoItem();
    for (UndoItem* block : blocks)
        ::operator delete(block, std::align_val_t(alignof(UndoItem)));
}

void UndoItemRing::Build()
{
    // Copied from a blank set, a slot's registers carry no names: filling the history the
    // first time would otherwise build 32 strings per instruction.
    static const Register blank;
    if (built % blockSize == 0) {
        const std::size_t count = std::min(blockSize, std::size_t(capacity) - built);
        blocks.push_back(static_cast<UndoItem*>(
            ::operator new(sizeof(UndoItem) * count, std::align_val_t(alignof(UndoItem)))));
    }
    new (&SlotItem(built)) UndoItem(blank, MemoryRecordList());
    ++built;
}

void UndoItemRing::removeLast()
{
    if (length == 0)
        return;
    --length;
    spareSlot = (spareSlot == 0 ? std::size_t(capacity) : spareSlot) - 1;
    spare = nullptr;
}

void UndoItemRing::clear()
{
    length = 0;
    spareSlot = 0;
    spare = nullptr;
}
