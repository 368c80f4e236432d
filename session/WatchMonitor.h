#ifndef ZENDRA_SESSION_WATCHMONITOR_H
#define ZENDRA_SESSION_WATCHMONITOR_H

#include "core/WatchpointIndex.h"

class Document;

// Watches the accesses of a run to the document's enabled watchpoints: built when the run
// starts, asked after each recorded instruction, and then the document's watchHit says what
// was seen. The emulator notes reads only while read watchpoints exist.
class WatchMonitor
{
public:
    void Start(Document* document);
    void Stop();
    bool IsActive() const { return active; }
    bool WatchesReads() const { return index.Watches(WatchRead); }

    // The newest instruction of the history touched a watched range.
    bool Watched();
    // The newest instruction of the history wrote a watched range.
    bool WroteWatched();

private:
    void Hit(int watchpoint, WatchKind access, unsigned int address, int size, unsigned int oldValue,
             unsigned int newValue);

    Document* document = nullptr;
    WatchpointIndex index;
    bool active = false;
};

#endif
