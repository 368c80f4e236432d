#ifndef ZENDRA_SESSION_EMULATION_H
#define ZENDRA_SESSION_EMULATION_H

#include "core/Breakpoint.h"
#include "core/BreakpointIndex.h"
#include "session/EmulationMode.h"
#include "session/RunStop.h"
#include "session/WatchMonitor.h"

#include <QThread>

class Document;
class ExecutionObserver;

// The run engine: runs the document's emulator, on a worker thread or on the caller's.
// One start of the thread carries out the one operation that the document's mode selects,
// and leaves its result code in result. Every front end's runs are these loops.
class Emulation : public QThread
{
public:
    explicit Emulation(Document* document);

    void run() override;
    EmulationResult StartEmulation();
    // Why the last operation ended, with the pc it left; its message is left to the caller,
    // on the GUI thread.
    RunStop Stop() const;

    EmulationResult StepInto();
    EmulationResult StepIntoNoBreak();
    EmulationResult StepOver();
    EmulationResult StepOverNoBreak();
    EmulationResult StepOut();
    EmulationResult StepOutNoBreak();
    EmulationResult Run();
    EmulationResult QuickRun();
    EmulationResult Undo();
    EmulationResult StepIntoLine();
    EmulationResult StepOverLine();
    EmulationResult RunBack();
    EmulationResult StepOverBack();
    EmulationResult Resume();
    EmulationResult ResumeStep();
    EmulationResult ReverseRun();
    EmulationResult QuickStop();
    EmulationResult ReverseStep();

    Document* document;
    EmulationResult result;
    // When not negative, Run, Resume and QuickStop stop with LimitReached after that many
    // instructions, which executed counts; a run without a limit counts nothing.
    long long limit = -1;
    long long executed = 0;
    // When set, Run, Resume and QuickStop stop with UntilReached before the instruction at
    // until, ahead of any breakpoint there.
    bool untilSet = false;
    unsigned int until = 0;
    // Sees each instruction executed forwards; null for none. Set between runs only.
    ExecutionObserver* observer = nullptr;
    // A stop was requested during the thread's last operation; Stop() tells it apart from a
    // step done.
    bool stopRequested = false;
    // Set between runs: the reads of the keyboard area are noted, and Run, Resume and
    // QuickStop go instruction by instruction and stop with KeyboardRead after the first
    // that reads there; a run without it is not slowed. keyboardRead says, after an
    // operation, whether an instruction of it read there.
    bool keyboardWait = false;
    bool keyboardRead = false;

private:
    // The instructions that a quick run executes between two looks at a request to stop.
    static constexpr long long quickSlice = 1 << 16;
    // And a recorded run, between two looks at it and at the breakpoints that it marks.
    static constexpr long long recordedSlice = 1 << 14;
    // And a run that an observer sees, instruction by instruction.
    static constexpr long long observedSlice = 1 << 12;

    EmulationResult Operation();
    bool Watches() const;
    bool Failed() const;
    Breakpoint Lookup() const;
    bool AtInstructionBreakpoint() const;
    EmulationResult Executed() const;
    // One instruction, recorded or quick, shown to the observer.
    template <bool recorded = true>
    void ExecuteOne();
    // One instruction of a step out: calls deepen, an RTS at depth 0 returns.
    EmulationResult StepOutInstruction(int& depth, bool& returned);
    EmulationResult StepLine(bool over);
    unsigned int BodyStart(unsigned int entry, unsigned int* end) const;
    EmulationResult StopBefore();
    // After an instruction: the program read the keyboard area that the run waits on.
    bool KeyboardWasRead() const;
    template <bool counted, bool recorded>
    EmulationResult RunLoop();
    // Up to count recorded instructions shown to the observer, without the full lookup before each:
    // it stops before one that the index marks, leaving it to the lookup, and after one that
    // fails. Returns how many it executed, the failed one included.
    long long ObservedSlice(long long count);
    EmulationResult Backwards(bool before);

    // Built over the document's breakpoint lists (and until) for the length of one
    // operation, which nothing changes while the thread runs; only this thread reads it.
    BreakpointIndex index;
    // Marks nothing: the quick run without breakpoints, observed.
    const BreakpointIndex noStops;
    AddressBreakpointList indexed;
    // The watchpoints of an operation that honours them; watching when there are any.
    WatchMonitor monitor;
    bool watching = false;
    // What reads are looked up in while the keyboard is waited on without read watchpoints:
    // nothing, but the emulator then notes the keyboard's reads.
    WatchpointIndex noWatchpoints;
};

#endif
