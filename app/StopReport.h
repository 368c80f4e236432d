#ifndef ZENDRA_APP_STOPREPORT_H
#define ZENDRA_APP_STOPREPORT_H

#include "session/RunStop.h"

#include <QString>

class Document;

// The status bar's words for a stop that no box tells: which breakpoint stopped the run and
// why, or how to go on when one at the program counter kept a run or step from starting.
class StopReport
{
public:
    // stepKey is the key of "Pas à pas détaillé sans point d'arrêt", as the menus show it.
    // Empty for the stops that need no word (a step done, a box's).
    static QString Text(const RunStop& stop, const Document& document, const QString& stepKey);

private:
    static QString Place(unsigned int address, const Document& document);
    static QString Breakpoint(const RunStop& stop, const Document& document);
};

#endif
