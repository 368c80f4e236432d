#ifndef ZENDRA_CORE_EMULATION_H
#define ZENDRA_CORE_EMULATION_H

#include "core/BreakpointIndex.h"
#include "core/WatchpointIndex.h"
#include "core/EmulationMode.h"

#include "core/Breakpoint.h"

#include <QThread>

class Document;

// Runs the document's emulator on a worker thread: one start of the thread carries out the
// one operation that the document's mode selects, and leaves its result code in result.
class Emulation : public QThread
{
public:
    explicit Emulation(Document* document);

    void run() override;
    int StartEmulation();

    int StepInto();
    int StepIntoNoBreak();
    int StepOver();
    int StepOverNoBreak();
    int StepOut();
    int StepOutNoBreak();
    int Run();
    int QuickRun();
    int Undo();
    int StepIntoLine();
    int StepOverLine();
    int RunBack();
    int StepOverBack();

    Document* document;
    int result;

private:
    int Operation();
    bool Failed() const;
    Breakpoint Lookup() const;
    bool AtInstructionBreakpoint() const;
    int Executed() const;
    // One instruction of a step out: calls deepen, an RTS at depth 0 returns.
    int StepOutInstruction(int& depth, bool& returned);
    int StepLine(bool over);
    int StopBefore();
    // After an instruction: it touched a watched range (the document's watchHit says how).
    bool Watched();
    // The newest item of the history wrote a watched range, as it would be seen going forwards.
    bool WroteWatched();
    void Hit(int watchpoint, WatchKind access, unsigned int address, int size, unsigned int oldValue,
             unsigned int newValue);

    // Built over the document's breakpoint lists for the length of one operation, which
    // nothing changes while the thread runs; only this thread reads it.
    BreakpointIndex index;
    // The enabled watchpoints of an operation that honours them; watching when there are any.
    WatchpointIndex watchIndex;
    bool watching = false;
};

#endif
