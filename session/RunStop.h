#ifndef ZENDRA_SESSION_RUNSTOP_H
#define ZENDRA_SESSION_RUNSTOP_H

#include <QMetaType>
#include <QString>

// Why the machine stopped, as every front end is told it.
enum class StopCause {
    AddressBreakpoint,
    InstructionBreakpoint,
    Watchpoint,
    // The address that the run was given to run until.
    Until,
    // A step, an undo or a run backwards finished.
    StepDone,
    // A step out executed the return from the subroutine it started in.
    ReturnReached,
    // The run executed the number of instructions it was allowed.
    Limit,
    AddressError,
    Trace,
    // Stopped on request (Escape, GDB's Ctrl-C).
    Interrupted
};

// A stop: its cause, the program counter where the machine stands, and the text that tells
// it to a user (the fault's, the watchpoint hit's, or a condition's that could not be
// evaluated; empty when the cause says it all).
struct RunStop
{
    StopCause cause = StopCause::StepDone;
    unsigned int address = 0;
    QString message;
    // A forward run or step that a breakpoint at the program counter kept from executing
    // anything: the stop is where it started.
    bool refused = false;

    bool IsFault() const { return cause == StopCause::AddressError || cause == StopCause::Trace; }
};

Q_DECLARE_METATYPE(RunStop)

#endif
