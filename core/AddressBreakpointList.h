#ifndef ZENDRA_CORE_ADDRESSBREAKPOINTLIST_H
#define ZENDRA_CORE_ADDRESSBREAKPOINTLIST_H

#include <QList>

// The 24-bit addresses before which a run stops, in the order added; duplicates allowed.
class AddressBreakpointList : public QList<unsigned int>
{
};

#endif
