#include "session/Session.h"

#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "core/ThreadSanitizer.h"
#include "session/Document.h"
#include "session/ProgramLoader.h"

#include <algorithm>

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

bool Session::Load(const QString& fileName, QString* error)
{
    ProgramLoader loader(fileName, document);
    if (loader.Load())
        return true;
    *error = loader.errorMessage;
    return false;
}

bool Session::Reload(const QString& fileName, QString* error)
{
    // Read whole and checked first, into no machine: a file that the linker is still
    // writing is refused there, and this one is not touched.
    if (!ProgramLoader::Check(fileName, error))
        return false;
    std::fill_n(document->memory->buffer.mainBuffer, MemoryBuffer::videoStart, 0);
    std::fill_n(document->memory->buffer.videoBuffer, MemoryBuffer::videoSize, 0);
    return Load(fileName, error);
}

void Session::Reset()
{
    document->emulator->Reset();
    document->emulator->undoList.items.clear();
}

void Session::SetPause(long long first, std::function<long long()> handler)
{
    untilPause = first;
    pause = std::move(handler);
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

// The run's own limit, or the next pause if it comes first.
void Session::ApplyLimit()
{
    long long limit = remaining;
    if (forward && untilPause > 0)
        limit = limit < 0 ? untilPause : std::min(limit, untilPause);
    emulation.limit = limit;
    emulation.executed = 0;
}

// After an operation: the pause that came is made, and a run that stopped only for it goes
// on from where it is, breakpoints included.
bool Session::Continues()
{
    const long long n = emulation.executed;
    total += n;
    if (remaining > 0)
        remaining -= std::min(remaining, n);
    if (forward && untilPause > 0) {
        untilPause -= std::min(untilPause, n);
        if (untilPause == 0)
            untilPause = pause ? pause() : -1;
    }
    if (emulation.result != LimitReached || remaining == 0 || interrupted)
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
