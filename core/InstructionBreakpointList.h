#ifndef ZENDRA_CORE_INSTRUCTIONBREAKPOINTLIST_H
#define ZENDRA_CORE_INSTRUCTIONBREAKPOINTLIST_H

#include <QList>
#include <QString>

// The opcode words before which a run stops wherever they are executed, in the order
// added; duplicates allowed.
class InstructionBreakpointList : public QList<unsigned short>
{
public:
    // The name under which the user sees an instruction breakpoint.
    static QString GetMnemonic(unsigned short opcode);
};

#endif
