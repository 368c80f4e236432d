#include "session/WatchMonitor.h"

#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"

void WatchMonitor::Start(Document* d)
{
    document = d;
    index.Clear();
    if (document->watchpointsEnabled)
        index.Build(document->watchpoints);
    active = !index.IsEmpty();
    Emulator* emulator = document->emulator;
    emulator->readHit = -1;
    emulator->readWatch = index.Watches(WatchRead) ? &index : nullptr;
}

void WatchMonitor::Stop()
{
    if (document)
        document->emulator->readWatch = nullptr;
    index.Clear();
    active = false;
}

void WatchMonitor::Hit(int watchpoint, WatchKind access, unsigned int address, int size, unsigned int oldValue,
                       unsigned int newValue)
{
    WatchHit& h = document->watchHit;
    h.watchpoint = document->watchpoints.at(watchpoint);
    h.instruction = document->emulator->undoList.items.last()->pc & 0xFFFFFF;
    h.access = access;
    h.address = address;
    h.size = size;
    h.oldValue = oldValue;
    h.newValue = newValue;
}

bool WatchMonitor::WroteWatched()
{
    const UndoItemRing& items = document->emulator->undoList.items;
    if (items.isEmpty() || !index.Watches(WatchWrite))
        return false;
    for (const MemoryRecordItem& record : items.last()->memory) {
        const int w = index.Find(record.address, record.size, WatchWrite);
        if (w >= 0) {
            Hit(w, WatchWrite, record.address, record.size, record.value,
                document->memory->Read(record.address, record.size));
            return true;
        }
    }
    return false;
}

bool WatchMonitor::Watched()
{
    if (WroteWatched())
        return true;
    Emulator* emulator = document->emulator;
    if (emulator->readHit < 0)
        return false;
    Hit(emulator->readHit, WatchRead, emulator->readAddress, emulator->readSize, 0,
        document->memory->Read(emulator->readAddress, emulator->readSize));
    emulator->readHit = -1;
    return true;
}
