#ifndef ZENDRA_SESSION_EMULATIONMODE_H
#define ZENDRA_SESSION_EMULATIONMODE_H

// What the next start of the emulation thread does. Any int may be stored: one outside the
// modes does nothing.
enum EmulationMode : int {
    StepIntoMode = 0,
    StepIntoNoBreakMode = 1,
    StepOverMode = 2,
    StepOverNoBreakMode = 3,
    StepOutMode = 4,
    StepOutNoBreakMode = 5,
    RunMode = 6,
    QuickRunMode = 7,
    UndoMode = 8,
    // Until the program counter reaches the start of another source line: into calls, or
    // over them.
    StepIntoLineMode = 9,
    StepOverLineMode = 10,
    // Backwards through the undo history: until a breakpoint, a watchpoint hit or its start;
    // and one instruction, or a whole call when it is a return.
    RunBackMode = 11,
    StepOverBackMode = 12,
    // As a debugger resumes from where it stopped: the first instruction is executed
    // whatever breakpoint stands at it; then a run, or nothing more for the step.
    ResumeMode = 13,
    ResumeStepMode = 14,
    // Backwards as a debugger runs back: it stops before, not after, the instruction that
    // touched a watched range, and looks at the instruction it stands after too.
    ReverseRunMode = 15,
    // A run that stops at breakpoints, the until address and the limit as RunMode does,
    // but keeps no history: a runner's run, at quick mode's speed.
    QuickStopMode = 16,
    // One instruction back, as a debugger steps back: a watched range that it wrote is a
    // watchpoint hit.
    ReverseStepMode = 17
};

// Why a run of the emulation thread ended.
enum EmulationResult : int {
    InstructionBreak = 0,
    AddressBreak = 1,
    Done = 2,
    Exception = 3,
    ReturnReached = 4,
    // An access to a watched range: the document's watchHit tells it.
    WatchpointHit = 5,
    // A run given a limit executed that many instructions.
    LimitReached = 6,
    // A run given an address to run until reached it, before executing what stands there.
    UntilReached = 7,
    // A run waiting for the program to read the keyboard area executed the instruction that
    // did: the session starts counting to its next pause there, and the run goes on.
    KeyboardRead = 8,
    // Inside the run loops only: nothing stops the run before this instruction.
    NoStop = -1
};

#endif
