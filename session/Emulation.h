#ifndef ZENDRA_SESSION_EMULATION_H
#define ZENDRA_SESSION_EMULATION_H

#include "core/BreakpointIndex.h"
#include "session/WatchMonitor.h"
#include "session/EmulationMode.h"

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
    int Resume();
    int ResumeStep();
    int ReverseRun();

    Document* document;
    int result;
    // When not negative, Run and Resume stop with LimitReached after that many instructions,
    // which executed counts; a run without a limit counts nothing.
    long long limit = -1;
    long long executed = 0;

private:
    // The instructions that a quick run executes between two looks at a request to stop.
    static constexpr long long quickSlice = 1 << 16;
    // And a recorded run, between two looks at it and at the breakpoints that it marks.
    static constexpr long long recordedSlice = 1 << 14;

    int Operation();
    bool Failed() const;
    Breakpoint Lookup() const;
    bool AtInstructionBreakpoint() const;
    int Executed() const;
    // One instruction of a step out: calls deepen, an RTS at depth 0 returns.
    int StepOutInstruction(int& depth, bool& returned);
    int StepLine(bool over);
    int StopBefore();
    template <bool counted>
    int RunLoop();
    int Backwards(bool before);

    // Built over the document's breakpoint lists for the length of one operation, which
    // nothing changes while the thread runs; only this thread reads it.
    BreakpointIndex index;
    // The watchpoints of an operation that honours them; watching when there are any.
    WatchMonitor monitor;
    bool watching = false;
};

#endif
