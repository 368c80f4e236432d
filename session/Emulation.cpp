#include "session/Emulation.h"

#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Register.h"
#include "program/LineTable.h"

#include <algorithm>

Emulation::Emulation(Document* document)
    : QThread(nullptr), document(document), result(Done)
{
}

void Emulation::run()
{
    result = StartEmulation();
}

int Emulation::StartEmulation()
{
    index.Build(document->addressBreakpoints, document->instructionBreakpoints);
    // Watchpoints stop the operations that honour breakpoints; those without, and the quick
    // run, never look at them.
    switch (document->mode) {
    case StepIntoMode:
    case StepOverMode:
    case StepOutMode:
    case RunMode:
    case StepIntoLineMode:
    case StepOverLineMode:
    case RunBackMode:
    case ResumeMode:
    case ResumeStepMode:
    case ReverseRunMode:
        monitor.Start(document);
        break;
    default:
        break;
    }
    watching = monitor.IsActive();
    const int r = Operation();
    monitor.Stop();
    watching = false;
    index.Release(document->addressBreakpoints, document->instructionBreakpoints);
    return r;
}


int Emulation::Operation()
{
    switch (document->mode) {
    case StepIntoMode: return StepInto();
    case StepIntoNoBreakMode: return StepIntoNoBreak();
    case StepOverMode: return StepOver();
    case StepOverNoBreakMode: return StepOverNoBreak();
    case StepOutMode: return StepOut();
    case StepOutNoBreakMode: return StepOutNoBreak();
    case RunMode: return Run();
    case QuickRunMode: return QuickRun();
    case UndoMode: return Undo();
    case StepIntoLineMode: return StepIntoLine();
    case StepOverLineMode: return StepOverLine();
    case RunBackMode: return RunBack();
    case StepOverBackMode: return StepOverBack();
    case ResumeMode: return Resume();
    case ResumeStepMode: return ResumeStep();
    case ReverseRunMode: return ReverseRun();
    default: return Done;
    }
}

Breakpoint Emulation::Lookup() const
{
    return index.IsBuilt() ? document->GetBreakpoint(index) : document->GetBreakpoint();
}

bool Emulation::AtInstructionBreakpoint() const
{
    return index.IsBuilt() ? document->IsInstructionBreakpoint(index) : document->IsInstructionBreakpoint();
}

bool Emulation::Failed() const
{
    return !document->emulator->errorMessage.isEmpty();
}

int Emulation::Executed() const
{
    return Failed() ? Exception : Done;
}

int Emulation::StepInto()
{
    const Breakpoint breakpoint = Lookup();
    if (breakpoint.enabled)
        return breakpoint.type == AddressBreakpoint ? AddressBreak : InstructionBreak;
    if (breakpoint.type == InstructionBreakpoint) {
        document->Skip();
    } else {
        document->emulator->Execute();
        if (watching && !Failed() && monitor.Watched())
            return WatchpointHit;
    }
    return Executed();
}

int Emulation::StepIntoNoBreak()
{
    if (AtInstructionBreakpoint())
        document->Skip();
    else
        document->emulator->Execute();
    return Executed();
}

int Emulation::StepOver()
{
    if (!document->IsJSR())
        return StepInto();
    const int r = StepInto();
    return r == Done ? StepOut() : r;
}

int Emulation::StepOverNoBreak()
{
    if (!document->IsJSR())
        return StepIntoNoBreak();
    const int r = StepIntoNoBreak();
    return r == Done ? StepOutNoBreak() : r;
}

int Emulation::StepOutInstruction(int& depth, bool& returned)
{
    returned = false;
    if (document->IsJSR()) {
        ++depth;
        document->emulator->Execute();
    } else if (document->IsRTS()) {
        document->emulator->Execute();
        if (!Failed()) {
            if (depth == 0)
                returned = true;
            else
                --depth;
        }
    } else {
        document->emulator->Execute();
    }
    return Executed();
}

int Emulation::StepOut()
{
    if (isInterruptionRequested())
        return Done;
    int depth = 0;
    for (;;) {
        const Breakpoint breakpoint = Lookup();
        if (breakpoint.enabled)
            return breakpoint.type == AddressBreakpoint ? AddressBreak : InstructionBreak;
        if (breakpoint.type == InstructionBreakpoint)
            document->Skip(); // and go on at the new pc without a new lookup
        bool returned;
        if (StepOutInstruction(depth, returned) == Exception)
            return Exception;
        if (watching && monitor.Watched())
            return WatchpointHit;
        if (returned)
            return ReturnReached;
        if (isInterruptionRequested())
            return Done;
    }
}

int Emulation::StepOutNoBreak()
{
    int depth = 0;
    for (;;) {
        if (isInterruptionRequested())
            return Done;
        while (AtInstructionBreakpoint()) {
            document->Skip();
            if (isInterruptionRequested())
                return Done;
        }
        bool returned;
        if (StepOutInstruction(depth, returned) == Exception)
            return Exception;
        if (returned)
            return ReturnReached;
    }
}

// Before an instruction of a run: the result of a stop at an enabled breakpoint or on
// request, or -1 to go on. Disabled instruction breakpoints are skipped on the way. Inlined:
// a call here would cost a run a sixth of its speed.
inline __attribute__((always_inline)) int Emulation::StopBefore()
{
    for (;;) {
        const Breakpoint breakpoint = Lookup();
        if (breakpoint.enabled)
            return breakpoint.type == AddressBreakpoint ? AddressBreak : InstructionBreak;
        if (breakpoint.type != InstructionBreakpoint)
            return -1;
        document->Skip();
        if (isInterruptionRequested())
            return Done;
    }
}

int Emulation::Run()
{
    return limit < 0 ? RunLoop<false>() : RunLoop<true>();
}

// A run without a limit keeps no count: the window's runs are not slowed by a feature that
// only a debugger's pauses use. Without watchpoints, the instructions that no breakpoint
// marks run in slices, which stop before the next marked one for the full lookup.
template <bool counted>
int Emulation::RunLoop()
{
    Emulator* emulator = document->emulator;
    for (;;) {
        if (isInterruptionRequested())
            return Done;
        if (counted && executed >= limit)
            return LimitReached;
        const int stop = StopBefore();
        if (stop >= 0)
            return stop;
        emulator->Execute();
        if (counted)
            ++executed;
        if (Failed())
            return Exception;
        if (watching) {
            if (monitor.Watched())
                return WatchpointHit;
            continue;
        }
        const long long done = emulator->Execute(counted ? std::min(recordedSlice, limit - executed) : recordedSlice, &index);
        if (counted)
            executed += done;
        if (Failed())
            return Exception;
    }
}

int Emulation::ResumeStep()
{
    document->emulator->Execute();
    ++executed;
    if (Failed())
        return Exception;
    if (watching && monitor.Watched())
        return WatchpointHit;
    return Done;
}

int Emulation::Resume()
{
    executed = 0;
    if (limit == 0)
        return LimitReached;
    const int r = ResumeStep();
    return r == Done ? Run() : r;
}

int Emulation::QuickRun()
{
    Emulator* emulator = document->emulator;
    emulator->undoList.items.clear();
    // In slices short enough that a request to stop is seen within a millisecond.
    for (;;) {
        if (isInterruptionRequested())
            return Done;
        emulator->QuickExecute(quickSlice);
        if (Failed())
            return Exception;
    }
}

int Emulation::Undo()
{
    document->emulator->Undo(document->undoCount);
    return Done;
}

int Emulation::StepIntoLine()
{
    return StepLine(false);
}

int Emulation::StepOverLine()
{
    return StepLine(true);
}

// Executes until the program counter stands where a statement of another line begins, or
// loops back to the start of the line it is on. Code without lines (a library's) is stepped
// through; coming back into the middle of a line, as after a call, makes that line the one
// to leave. Breakpoints stop it as they stop a run; going over, a call runs until it returns.
int Emulation::StepLine(bool over)
{
    const LineTable* lines = document->lines;
    if (lines->IsEmpty())
        return Done;
    Register* registers = document->emulator->registers;
    const LineTable::Row* current = lines->Find(registers->pc & 0xFFFFFF);
    int file = current ? current->file : -1;
    int line = current ? current->line : -1;
    unsigned int start = 0;
    unsigned int end = 0;
    if (!lines->Range(registers->pc & 0xFFFFFF, &start, &end))
        start = 0xFFFFFFFFu;
    for (;;) {
        const int stop = StopBefore();
        if (stop >= 0)
            return stop;
        const bool call = over && document->IsJSR();
        document->emulator->Execute();
        if (Failed())
            return Exception;
        if (watching && monitor.Watched())
            return WatchpointHit;
        if (call) {
            const int r = StepOut();
            if (r != ReturnReached)
                return r;
        }
        const unsigned int pc = registers->pc & 0xFFFFFF;
        if (const LineTable::Row* row = lines->Find(pc)) {
            const bool same = row->file == file && row->line == line;
            if (lines->IsStatement(pc) && (!same || pc == start))
                return Done;
            if (!same) {
                file = row->file;
                line = row->line;
                lines->Range(pc, &start, &end);
            }
        }
        if (isInterruptionRequested())
            return Done;
    }
}

// Takes instructions back until the machine stands just after an instruction that touched a
// watched range, or before one at an address breakpoint whose condition holds, or at the
// start of the history. The instruction that the machine stands after when it starts is not
// looked at: it is where the last stop was.
int Emulation::RunBack()
{
    return Backwards(false);
}

// As RunBack, but a watched access stops the machine before the instruction that made it,
// where a debugger going backwards sees the value change.
int Emulation::ReverseRun()
{
    return Backwards(true);
}

// Reads are not in the history: an instruction taken back is run again to see what it
// reads, and taken back once more.
int Emulation::Backwards(bool before)
{
    Emulator* emulator = document->emulator;
    const UndoItemRing& items = emulator->undoList.items;
    bool first = !before;
    for (;;) {
        if (items.isEmpty() || isInterruptionRequested())
            return Done;
        bool hit = false;
        if (!first && watching) {
            if (monitor.WroteWatched()) {
                hit = true;
            } else if (monitor.WatchesReads()) {
                emulator->Undo();
                emulator->readHit = -1;
                emulator->Execute();
                if (emulator->readHit >= 0) {
                    monitor.Watched();
                    hit = true;
                }
            }
        }
        if (hit && !before)
            return WatchpointHit;
        first = false;
        emulator->Undo();
        if (hit)
            return WatchpointHit;
        const unsigned int pc = emulator->registers->pc & 0xFFFFFF;
        if (document->addressBreakpointsEnabled && index.HasAddress(pc) && document->ConditionAllows(pc))
            return AddressBreak;
    }
}

// One instruction back; when it is a return, back to before the call that it returned from,
// counting the returns and calls in between.
int Emulation::StepOverBack()
{
    Emulator* emulator = document->emulator;
    const UndoItemRing& items = emulator->undoList.items;
    int depth = 0;
    do {
        if (items.isEmpty() || isInterruptionRequested())
            return Done;
        emulator->Undo();
        if (document->IsRTS())
            ++depth;
        else if (document->IsJSR() && depth > 0)
            --depth;
    } while (depth > 0);
    return Done;
}
