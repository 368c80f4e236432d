#include "core/Emulation.h"

#include "core/Document.h"
#include "core/Emulator.h"

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
    const int r = Operation();
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
    if (breakpoint.type == InstructionBreakpoint)
        document->Skip();
    else
        document->emulator->Execute();
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

int Emulation::Run()
{
    Emulator* emulator = document->emulator;
    for (;;) {
        if (isInterruptionRequested())
            return Done;
        for (;;) {
            const Breakpoint breakpoint = Lookup();
            if (breakpoint.enabled)
                return breakpoint.type == AddressBreakpoint ? AddressBreak : InstructionBreak;
            if (breakpoint.type != InstructionBreakpoint)
                break;
            document->Skip();
            if (isInterruptionRequested())
                return Done;
        }
        emulator->Execute();
        if (Failed())
            return Exception;
    }
}

int Emulation::QuickRun()
{
    Emulator* emulator = document->emulator;
    emulator->undoList.items.clear();
    for (;;) {
        if (isInterruptionRequested())
            return Done;
        emulator->QuickExecute();
        if (Failed())
            return Exception;
    }
}

int Emulation::Undo()
{
    document->emulator->Undo(document->undoCount);
    return Done;
}
