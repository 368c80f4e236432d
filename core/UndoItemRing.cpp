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

void UndoItemRing::Locate(std::size_t slot)
{
    // Copied from a blank set, a slot's registers carry no names: filling the history the
    // first time would otherwise build 32 strings per instruction.
    static const Register blank;
    const std::size_t first = slot - slot % blockSize;
    const std::size_t count = std::min(blockSize, std::size_t(capacity) - first);
    if (first == built) {
        UndoItem* block = static_cast<UndoItem*>(::operator new(sizeof(UndoItem) * count, std::align_val_t(alignof(UndoItem))));
        for (std::size_t i = 0; i < count; ++i)
            new (block + i) UndoItem(blank, MemoryRecordList());
        blocks.push_back(block);
        built += count;
    }
    run = blocks[first / blockSize];
    runSlot = first;
    spare = run + (slot - first);
    spareEnd = run + count;
}

UndoItem& UndoItemRing::LocateSpare()
{
    Locate(SpareSlot());
    return *spare;
}

void UndoItemRing::removeLast()
{
    if (committed == 0)
        return;
    committed = count() - 1;
    const std::size_t slot = SpareSlot();
    runSlot = (slot == 0 ? std::size_t(capacity) : slot) - 1;
    run = spare = spareEnd = nullptr;
}

void UndoItemRing::clear()
{
    committed = 0;
    runSlot = 0;
    run = spare = spareEnd = nullptr;
}
