#include "session/Emulation.h"

#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "core/ThreadSanitizer.h"
#include "program/LineTable.h"
#include "program/SymbolTable.h"
#include "session/Document.h"
#include "core/ExecutionObserver.h"

#include <algorithm>

Emulation::Emulation(Document* document)
    : QThread(nullptr), document(document), result(Done)
{
}

void Emulation::run()
{
    result = StartEmulation();
    stopRequested = isInterruptionRequested();
    // The GUI thread takes the machine back after Qt's finished signal or wait.
    ThreadSanitizer::Release(this);
}

// Watchpoints stop the operations that honour breakpoints; those without, and the quick
// runs, never look at them.
bool Emulation::Watches() const
{
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
    case ReverseStepMode:
        return true;
    default:
        return false;
    }
}

EmulationResult Emulation::StartEmulation()
{
    stopRequested = false;
    // The address to run until is looked up with the breakpoints', in the same bitmap.
    indexed = document->addressBreakpoints;
    if (untilSet)
        indexed.append(until & 0xFFFFFF);
    index.Build(indexed, document->instructionBreakpoints);
    if (Watches())
        monitor.Start(document);
    watching = monitor.IsActive();
    Emulator* emulator = document->emulator;
    emulator->keyboardRead = false;
    if (keyboardWait) {
        emulator->noteKeyboardReads = true;
        if (!emulator->readWatch)
            emulator->readWatch = &noWatchpoints;
    }
    if (observer)
        observer->Starting();
    const EmulationResult r = Operation();
    if (observer)
        observer->Stopped();
    keyboardRead = emulator->keyboardRead;
    emulator->noteKeyboardReads = false;
    if (emulator->readWatch == &noWatchpoints)
        emulator->readWatch = nullptr;
    monitor.Stop();
    watching = false;
    index.Release(indexed, document->instructionBreakpoints);
    return r;
}

EmulationResult Emulation::Operation()
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
    case QuickStopMode: return QuickStop();
    case ReverseStepMode: return ReverseStep();
    default: return Done;
    }
}

RunStop Emulation::Stop() const
{
    RunStop stop;
    stop.address = document->emulator->registers->pc & 0xFFFFFF;
    switch (result) {
    case InstructionBreak: stop.cause = StopCause::InstructionBreakpoint; break;
    case AddressBreak: stop.cause = StopCause::AddressBreakpoint; break;
    case WatchpointHit: stop.cause = StopCause::Watchpoint; break;
    case ReturnReached: stop.cause = StopCause::ReturnReached; break;
    case LimitReached: stop.cause = StopCause::Limit; break;
    case UntilReached: stop.cause = StopCause::Until; break;
    case Exception:
        stop.cause = document->emulator->fault == Emulator::Fault::Trace ? StopCause::Trace : StopCause::AddressError;
        stop.message = document->emulator->errorMessage;
        break;
    default:
        stop.cause = stopRequested ? StopCause::Interrupted : StopCause::StepDone;
        break;
    }
    return stop;
}

template <bool recorded>
inline void Emulation::ExecuteOne()
{
    Emulator* emulator = document->emulator;
    if (__builtin_expect(observer != nullptr, false)) {
        const unsigned int pc = emulator->registers->pc & 0xFFFFFF;
        recorded ? emulator->Execute() : emulator->QuickExecute();
        if (!Failed())
            observer->Executed(pc);
        return;
    }
    recorded ? emulator->Execute() : emulator->QuickExecute();
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

EmulationResult Emulation::Executed() const
{
    return Failed() ? Exception : Done;
}

EmulationResult Emulation::StepInto()
{
    const Breakpoint breakpoint = Lookup();
    if (breakpoint.enabled)
        return breakpoint.type == AddressBreakpoint ? AddressBreak : InstructionBreak;
    if (breakpoint.type == InstructionBreakpoint) {
        document->Skip();
    } else {
        ExecuteOne();
        if (watching && !Failed() && monitor.Watched())
            return WatchpointHit;
    }
    return Executed();
}

EmulationResult Emulation::StepIntoNoBreak()
{
    if (AtInstructionBreakpoint())
        document->Skip();
    else
        ExecuteOne();
    return Executed();
}

EmulationResult Emulation::StepOver()
{
    if (!document->IsJSR())
        return StepInto();
    const EmulationResult r = StepInto();
    return r == Done ? StepOut() : r;
}

EmulationResult Emulation::StepOverNoBreak()
{
    if (!document->IsJSR())
        return StepIntoNoBreak();
    const EmulationResult r = StepIntoNoBreak();
    return r == Done ? StepOutNoBreak() : r;
}

EmulationResult Emulation::StepOutInstruction(int& depth, bool& returned)
{
    returned = false;
    if (document->IsJSR()) {
        ++depth;
        ExecuteOne();
    } else if (document->IsRTS()) {
        ExecuteOne();
        if (!Failed()) {
            if (depth == 0)
                returned = true;
            else
                --depth;
        }
    } else {
        ExecuteOne();
    }
    return Executed();
}

EmulationResult Emulation::StepOut()
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

EmulationResult Emulation::StepOutNoBreak()
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

// Before an instruction of a run: the result of a stop at the until address, at an enabled
// breakpoint or on request, or NoStop to go on. Disabled instruction breakpoints are skipped
// on the way. Inlined: a call here would cost a run a sixth of its speed.
inline __attribute__((always_inline)) EmulationResult Emulation::StopBefore()
{
    for (;;) {
        if (untilSet && ((document->emulator->registers->pc ^ until) & 0xFFFFFF) == 0)
            return UntilReached;
        const Breakpoint breakpoint = Lookup();
        if (breakpoint.enabled)
            return breakpoint.type == AddressBreakpoint ? AddressBreak : InstructionBreak;
        if (breakpoint.type != InstructionBreakpoint)
            return NoStop;
        document->Skip();
        if (isInterruptionRequested())
            return Done;
    }
}

inline bool Emulation::KeyboardWasRead() const
{
    return keyboardWait && document->emulator->keyboardRead;
}

EmulationResult Emulation::Run()
{
    return limit < 0 ? RunLoop<false, true>() : RunLoop<true, true>();
}

EmulationResult Emulation::QuickStop()
{
    document->emulator->undoList.items.clear();
    return limit < 0 ? RunLoop<false, false>() : RunLoop<true, false>();
}

// A run without a limit keeps no count: the window's runs are not slowed by a feature that
// only a debugger's pauses and a runner use. Without watchpoints or an observer, the
// instructions that no breakpoint marks run in slices, which stop before the next marked one
// for the full lookup. The limit is tested after the lookup, so that a breakpoint or the
// until address where the count runs out is the stop.
template <bool counted, bool recorded>
EmulationResult Emulation::RunLoop()
{
    Emulator* emulator = document->emulator;
    for (;;) {
        if (isInterruptionRequested())
            return Done;
        const EmulationResult stop = StopBefore();
        if (stop != NoStop)
            return stop;
        if (counted && executed >= limit)
            return LimitReached;
        ExecuteOne<recorded>();
        if (counted)
            ++executed;
        if (Failed())
            return Exception;
        if (watching || keyboardWait) {
            if (watching && monitor.Watched())
                return WatchpointHit;
            if (KeyboardWasRead())
                return counted && executed >= limit ? LimitReached : KeyboardRead;
            continue;
        }
        if (recorded && observer) {
            const long long done = ObservedSlice(counted ? std::min(observedSlice, limit - executed) : observedSlice);
            if (counted)
                executed += done;
            if (Failed())
                return Exception;
            continue;
        }
        const long long slice = recorded ? recordedSlice : quickSlice;
        const long long count = counted ? std::min(slice, limit - executed) : slice;
        const long long done = recorded ? emulator->Execute(count, &index)
                               : observer ? emulator->QuickExecute(count, &index, observer)
                                          : emulator->QuickExecute(count, &index);
        if (counted)
            executed += done;
        if (Failed())
            return Exception;
    }
}

long long Emulation::ObservedSlice(long long count)
{
    Emulator* emulator = document->emulator;
    const Register& r = *emulator->registers;
    const Memory& memory = *document->memory;
    const bool addresses = index.HasAddresses();
    const bool instructions = index.HasInstructions();
    long long done = 0;
    while (done < count) {
        const unsigned int pc = r.pc & 0xFFFFFF;
        if ((pc & 1) || (addresses && index.HasAddress(pc)) || (instructions && index.HasInstruction(memory.Read(pc, 16))))
            break;
        emulator->Execute();
        ++done;
        if (!emulator->errorMessage.isEmpty())
            break;
        observer->Executed(pc);
    }
    return done;
}

EmulationResult Emulation::ResumeStep()
{
    ExecuteOne();
    ++executed;
    if (Failed())
        return Exception;
    if (watching && monitor.Watched())
        return WatchpointHit;
    return Done;
}

EmulationResult Emulation::Resume()
{
    executed = 0;
    if (limit == 0)
        return LimitReached;
    const EmulationResult r = ResumeStep();
    if (r == Done && KeyboardWasRead())
        return limit >= 0 && executed >= limit ? LimitReached : KeyboardRead;
    return r == Done ? Run() : r;
}

EmulationResult Emulation::QuickRun()
{
    Emulator* emulator = document->emulator;
    emulator->undoList.items.clear();
    // In slices short enough that a request to stop is seen within a millisecond.
    for (;;) {
        if (isInterruptionRequested())
            return Done;
        if (observer)
            emulator->QuickExecute(quickSlice, &noStops, observer);
        else
            emulator->QuickExecute(quickSlice);
        if (Failed())
            return Exception;
    }
}

EmulationResult Emulation::Undo()
{
    document->emulator->Undo(document->undoCount);
    return Done;
}

EmulationResult Emulation::StepIntoLine()
{
    return StepLine(false);
}

EmulationResult Emulation::StepOverLine()
{
    return StepLine(true);
}

// Executes until the program counter stands where a statement of another line begins, or
// loops back to the start of the line it is on. Code without lines (a library's) is stepped
// through; coming back into the middle of a line, as after a call, makes that line the one
// to leave. Breakpoints stop it as they stop a run; going over, a call runs until it returns;
// going into a function, its frame's set-up runs too, as GDB's step runs it.
EmulationResult Emulation::StepLine(bool over)
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
    // The function entered and where its body starts, while its prologue runs.
    bool prologue = false;
    unsigned int entry = 0;
    unsigned int body = 0;
    unsigned int functionEnd = 0;
    for (;;) {
        const EmulationResult stop = StopBefore();
        if (stop != NoStop)
            return stop;
        const bool call = document->IsJSR();
        ExecuteOne();
        if (Failed())
            return Exception;
        if (watching && monitor.Watched())
            return WatchpointHit;
        if (call && over) {
            const EmulationResult r = StepOut();
            if (r != ReturnReached)
                return r;
        }
        const unsigned int pc = registers->pc & 0xFFFFFF;
        if (call && !over) {
            entry = pc;
            body = BodyStart(pc, &functionEnd);
            prologue = body != pc;
        }
        if (prologue) {
            if (pc == body)
                return Done;
            // Still in the prologue; out of the function, the lines decide again.
            prologue = pc >= entry && pc < functionEnd;
        }
        if (const LineTable::Row* row = prologue ? nullptr : lines->Find(pc)) {
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

// Where a step into the function that starts at entry stops, as GDB's step does on this
// processor: after the frame's set-up (LINK A6, or PEA (A6) and MOVE.L A7,A6) and the
// register saves that follow it, and on to the end of the table's row when that is in its
// middle.
// A function without a frame is stopped in at its entry, as GDB stops there. *end is where
// the function ends.
unsigned int Emulation::BodyStart(unsigned int entry, unsigned int* end) const
{
    unsigned int offset = 0;
    const SymbolTable::Symbol* function = document->symbols->Describe(entry, &offset);
    if (!function || offset != 0 || function->size == 0)
        return entry;
    *end = entry + function->size;
    const Memory& memory = *document->memory;
    unsigned int pc = entry;
    const unsigned int first = memory.Read(pc, 16);
    if (first == 0x4E56)                                      // LINK.W A6,#d
        pc += 4;
    else if (first == 0x480E)                                 // LINK.L A6,#d
        pc += 6;
    else if (first == 0x4856 && memory.Read(pc + 2, 16) == 0x2C4F) // PEA (A6); MOVE.L A7,A6
        pc += 4;
    else
        return entry;
    for (;;) {
        const unsigned int op = memory.Read(pc, 16);
        if (op == 0x48E7)                                     // MOVEM.L registers,-(A7)
            pc += 4;
        else if ((op & 0xFFF0) == 0x2F00)                     // MOVE.L Dn/An,-(A7)
            pc += 2;
        else
            break;
    }
    // GDB's lines are the table's rows: the middle of one is where no row starts.
    const LineTable& lines = *document->lines;
    const LineTable::Row* row = lines.Find(pc);
    if (!row || row->address == pc)
        return pc;
    int next = int(row - &lines.RowAt(0)) + 1;
    while (next < lines.RowCount() && lines.RowAt(next).address <= pc)
        ++next;
    if (next < lines.RowCount() && lines.RowAt(next).address < *end)
        return lines.RowAt(next).address;
    return pc;
}

// Takes instructions back until the machine stands just after an instruction that touched a
// watched range, or before one at an address breakpoint whose condition holds, or at the
// start of the history. The instruction that the machine stands after when it starts is not
// looked at: it is where the last stop was.
EmulationResult Emulation::RunBack()
{
    return Backwards(false);
}

// As RunBack, but a watched access stops the machine before the instruction that made it,
// where a debugger going backwards sees the value change.
EmulationResult Emulation::ReverseRun()
{
    return Backwards(true);
}

// Reads are not in the history: an instruction taken back is run again to see what it
// reads, and taken back once more.
EmulationResult Emulation::Backwards(bool before)
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
EmulationResult Emulation::StepOverBack()
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

// One instruction back, at once. A write to a watched range that it takes back is a hit, as
// going forward it would have been.
EmulationResult Emulation::ReverseStep()
{
    Emulator* emulator = document->emulator;
    if (emulator->undoList.items.isEmpty())
        return Done;
    const bool hit = watching && monitor.WroteWatched();
    emulator->Undo();
    emulator->ClearFault();
    return hit ? WatchpointHit : Done;
}
