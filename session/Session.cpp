#include "session/Session.h"

#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "core/ThreadSanitizer.h"
#include "session/Document.h"
#include "session/ProgramLoader.h"

#include <algorithm>
#include <limits>

Session::Session(QObject* parent)
    : QObject(parent), document(new Document(this)), emulation(document)
{
    qRegisterMetaType<RunStop>();
    connect(&emulation, &QThread::finished, this, &Session::OnThreadFinished);
}

Session::~Session()
{
    // The thread never outlives the document it works on.
    if (emulation.isRunning()) {
        emulation.requestInterruption();
        emulation.wait();
    }
    // The document is destroyed after the thread's last writes, which its end ordered.
    ThreadSanitizer::Acquire(&emulation);
}

bool Session::Load(const QString& fileName, QString* error, QString* warning)
{
    ProgramLoader loader(fileName, document);
    const bool loaded = loader.Load();
    if (warning)
        *warning = loader.warning;
    if (!loaded)
        *error = loader.errorMessage;
    return loaded;
}

bool Session::Reload(const QString& fileName, QString* error, QString* warning)
{
    if (warning)
        warning->clear();
    // Read whole and checked first, into no machine: a file that the linker is still
    // writing is refused there, and this one is not touched.
    if (!ProgramLoader::Check(fileName, error))
        return false;
    std::fill_n(document->memory->buffer.mainBuffer, MemoryBuffer::videoStart, 0);
    std::fill_n(document->memory->buffer.videoBuffer, MemoryBuffer::videoSize, 0);
    return Load(fileName, error, warning);
}

void Session::Reset()
{
    document->emulator->Reset();
    document->emulator->undoList.items.clear();
}

void Session::SetPause(long long first, std::function<long long()> handler, PauseStart start)
{
    untilPause = first;
    pause = std::move(handler);
    pauseStart = start;
    pauseWaits = start == PauseStart::AfterKeyboardRead && first > 0;
}

void Session::SetObserver(ExecutionObserver* observer)
{
    emulation.observer = observer;
}

void Session::Begin(EmulationMode mode, const RunBounds& bounds)
{
    document->mode = mode;
    document->stopMessage.clear();
    emulation.untilSet = bounds.untilSet;
    emulation.until = bounds.until;
    forward = mode == ResumeMode || mode == ResumeStepMode || mode == RunMode || mode == QuickStopMode;
    remaining = bounds.limit;
    total = 0;
    interrupted = false;
    startPc = document->emulator->registers->pc & 0xFFFFFF;
    startCommitted = document->emulator->undoList.items.Committed();
    ApplyLimit();
}

// The run's own limit, or the next pause if it comes first. A count that waits for a read of
// the keyboard has not started: the run goes on until that read, counted all the same.
void Session::ApplyLimit()
{
    long long limit = remaining;
    const bool pausing = forward && untilPause > 0;
    emulation.keyboardWait = pausing && pauseWaits;
    if (pausing && !pauseWaits)
        limit = limit < 0 ? untilPause : std::min(limit, untilPause);
    else if (pausing && limit < 0)
        limit = std::numeric_limits<long long>::max();
    emulation.limit = limit;
    emulation.executed = 0;
}

// The pause's count goes on, or starts after the read it waited for; the pause that comes is
// made, and the next count waits in its turn.
void Session::CountToPause(long long executed)
{
    if (!forward || untilPause <= 0)
        return;
    if (pauseWaits) {
        pauseWaits = !emulation.keyboardRead;
        return;
    }
    untilPause -= std::min(untilPause, executed);
    if (untilPause > 0)
        return;
    untilPause = pause ? pause() : -1;
    pauseWaits = pauseStart == PauseStart::AfterKeyboardRead && untilPause > 0;
}

// After an operation: the pause that came is made, and a run that stopped only for it goes
// on from where it is, breakpoints included.
bool Session::Continues()
{
    const long long n = emulation.executed;
    total += n;
    if (remaining > 0)
        remaining -= std::min(remaining, n);
    CountToPause(n);
    const bool paused = emulation.result == LimitReached || emulation.result == KeyboardRead;
    if (!paused || remaining == 0 || interrupted)
        return false;
    if (document->mode != QuickStopMode)
        document->mode = RunMode;
    ApplyLimit();
    return true;
}

void Session::TakeStop()
{
    lastStop = emulation.Stop();
    if (lastStop.cause == StopCause::Watchpoint)
        lastStop.message = document->WatchHitMessage();
    else if (!lastStop.IsFault())
        lastStop.message = document->stopMessage;
    // Every forward operation that honours breakpoints records what it executes; the quick
    // ones, which keep no history, cannot tell.
    const bool breakpoint = lastStop.cause == StopCause::AddressBreakpoint
                            || lastStop.cause == StopCause::InstructionBreakpoint;
    lastStop.refused = breakpoint && document->mode != QuickStopMode && lastStop.address == startPc
                       && document->emulator->undoList.items.Committed() == startCommitted;
}

bool Session::Start(EmulationMode mode, const RunBounds& bounds)
{
    if (busy)
        return false;
    Begin(mode, bounds);
    busy = true;
    emulation.start(QThread::TimeCriticalPriority);
    return true;
}

const RunStop& Session::RunHere(EmulationMode mode, const RunBounds& bounds)
{
    Begin(mode, bounds);
    do
        emulation.result = emulation.StartEmulation();
    while (Continues());
    TakeStop();
    return lastStop;
}

void Session::Interrupt()
{
    if (!busy)
        return;
    interrupted = true;
    emulation.requestInterruption();
}

void Session::StopAndWait()
{
    if (!busy)
        return;
    Interrupt();
    emulation.wait();
    OnThreadFinished();
}

void Session::OnThreadFinished()
{
    // Taken in already by StopAndWait, or a late signal of a run before the current one.
    if (!busy || emulation.isRunning())
        return;
    // The thread's writes come before here, ordered by the queued signal or by wait.
    ThreadSanitizer::Acquire(&emulation);
    if (Continues()) {
        emulation.start(QThread::TimeCriticalPriority);
        return;
    }
    busy = false;
    TakeStop();
    emit Finished(lastStop);
}
