#include "core/UndoItemRing.h"

#include <algorithm>
#include <cstddef>
#include <new>

static_assert(sizeof(UndoItem) == 64, "an item is one cache line");
static_assert(sizeof(MemoryRecordList) == 32 || sizeof(void*) != 8, "the list's tag fits in its alignment's room");
static_assert(offsetof(Register, d) == 0 && offsetof(Register, a) == UndoItem::addressWord * sizeof(unsigned int)
                  && offsetof(Register, pc) == offsetof(Register, a) + 7 * sizeof(unsigned int)
                  && offsetof(Register, usp) == offsetof(Register, pc) + sizeof(unsigned int)
                  && offsetof(Register, ssp) == offsetof(Register, usp) + sizeof(unsigned int)
                  && offsetof(Register, sr) == offsetof(Register, ssp) + sizeof(unsigned int),
              "an item copies the registers by their order");

UndoItemRing::UndoItemRing(int capacity)
    : capacity(capacity > 0 ? capacity : 1)
{
    Locate(0);
}

UndoItemRing::~UndoItemRing()
{
    for (std::size_t slot = 0; slot < built; ++slot)
        SlotItem(slot).~UndoItem();
    for (UndoItem* block : blocks)
        ::operator delete(block, std::align_val_t(alignof(UndoItem)));
    for (WholeSet* block : wholeBlocks)
        delete[] block;
}

UndoItemRing::WholeSet& UndoItemRing::Whole(std::size_t slot)
{
    const std::size_t block = slot / blockSize;
    if (block >= wholeBlocks.size())
        wholeBlocks.resize(block + 1, nullptr);
    if (!wholeBlocks[block])
        wholeBlocks[block] = new WholeSet[blockSize];
    return wholeBlocks[block][slot % blockSize];
}

void UndoItemRing::RestoreWhole(std::size_t slot, Register& registers) const
{
    std::memcpy(UndoItem::Words(registers), wholeBlocks[slot / blockSize][slot % blockSize].words,
                sizeof(WholeSet::words));
}

void UndoItemRing::KeepWhole(const Register& r)
{
    UndoItem& item = Spare();
    std::memcpy(Whole(SpareSlot()).words, UndoItem::Words(r), sizeof(WholeSet::words));
    item.sr |= UndoItem::wholeBit;
}

void UndoItemRing::KeepWholeLast(const Register& current)
{
    if (isEmpty())
        return;
    const std::size_t slot = Slot(count() - 1);
    UndoItem& item = SlotItem(slot);
    if (item.IsWhole())
        return;
    Register before(&current);
    item.Restore(before);
    std::memcpy(Whole(slot).words, UndoItem::Words(before), sizeof(WholeSet::words));
    item.sr |= UndoItem::wholeBit;
}

void UndoItemRing::Locate(std::size_t slot)
{
    const std::size_t first = slot - slot % blockSize;
    const std::size_t count = std::min(blockSize, std::size_t(capacity) - first);
    if (first == built) {
        UndoItem* block = static_cast<UndoItem*>(::operator new(sizeof(UndoItem) * count, std::align_val_t(alignof(UndoItem))));
        for (std::size_t i = 0; i < count; ++i)
            new (block + i) UndoItem();
        blocks.push_back(block);
        built += count;
    }
    run = blocks[first / blockSize];
    runSlot = first;
    spare = run + (slot - first);
    spareEnd = run + count;
}

void UndoItemRing::LocateSpare()
{
    Locate(SpareSlot());
}

void UndoItemRing::LocateLast()
{
    const std::size_t slot = SpareSlot();
    Locate((slot == 0 ? std::size_t(capacity) : slot) - 1);
}

void UndoItemRing::clear()
{
    committed = 0;
    Locate(0);
}
