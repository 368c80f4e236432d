#ifndef ZENDRA_SESSION_WATCHHIT_H
#define ZENDRA_SESSION_WATCHHIT_H

#include "core/Watchpoint.h"

// What a run that stopped at a watchpoint saw: the facts only, which the window turns into
// its message once the run is over.
class WatchHit
{
public:
    Watchpoint watchpoint;
    // The instruction that made the access, and the access itself.
    unsigned int instruction = 0;
    unsigned int address = 0;
    int size = 8;
    WatchKind access = WatchWrite;
    unsigned int oldValue = 0;
    unsigned int newValue = 0;
};

#endif
