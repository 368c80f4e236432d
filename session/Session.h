#ifndef ZENDRA_SESSION_SESSION_H
#define ZENDRA_SESSION_SESSION_H

#include "session/Emulation.h"
#include "session/RunStop.h"

#include <QObject>

#include <functional>

class Document;
class ExecutionObserver;

// When the count to a pause starts: at once, or once the program has read the keyboard area
// (0x400-0x4FF) after the pause before (or after SetPause for the first), so that the keys
// that the runner types there wait for the program to look at them.
enum class PauseStart { Now, AfterKeyboardRead };

// What a run may be given besides its mode: a number of instructions after which it stops,
// and an address before which it stops.
struct RunBounds
{
    long long limit = -1;
    bool untilSet = false;
    unsigned int until = 0;
};

// One machine and the one way to drive it, shared by the window, the runner and the GDB
// server: load a program, reset, run or step (on the worker thread, or here), run back,
// stop; each run ends in one RunStop. The front ends own no thread and no run loop.
//
// Threading. The session lives on the GUI thread; Start hands the machine to the emulation
// thread until Finished is emitted (a queued call, which orders everything the thread wrote
// before it). Meanwhile the GUI thread may only:
// - read memory and pc to repaint (the video window's image is the memory's video area; a
//   repaint may show a frame that the program is half-way through drawing, which the design
//   allows): Memory::Peek, or under ThreadSanitizer::Unchecked;
// - store the keyboard bytes 0x000400-0x0004FF, which programs only read (Keyboard);
// - ask the run to stop (Interrupt: QThread's interruption flag, which the loops poll).
// Everything else of the document (registers, breakpoints, watchpoints, mode, history) is
// the thread's until Finished; IsRunning() says when. The window runs its commands of one
// instruction, for which it stays enabled, here (RunHere). ThreadSanitizer does not see the
// order that Qt's queued call and QThread::wait give: the run releases the emulation object
// at its end, and the GUI thread acquires it before it reads what the run wrote.
class Session : public QObject
{
    Q_OBJECT

public:
    explicit Session(QObject* parent = nullptr);
    ~Session() override;

    // The program file's content into memory, with its names and lines; the processor is
    // left as it is. False, with the French message in *error, when it cannot be loaded.
    // A program that loads but may not be what its author meant (S-Records whose checksums
    // or byte counts are wrong) gives a one-line French warning in *warning, for a status
    // bar or the runner's error stream; it is emptied when there is none.
    bool Load(const QString& fileName, QString* error, QString* warning = nullptr);
    // The same after clearing what the previous program left in memory, once the file is
    // known to load: one that does not leaves the machine as it was.
    bool Reload(const QString& fileName, QString* error, QString* warning = nullptr);
    // The processor from the vectors, and an empty history.
    void Reset();

    // Starts mode on the emulation thread; false, and nothing started, while a run is going.
    bool Start(EmulationMode mode, const RunBounds& bounds = RunBounds());
    // Carries out mode on the caller's thread, pauses included, and returns its stop.
    const RunStop& RunHere(EmulationMode mode, const RunBounds& bounds = RunBounds());
    // Asks the thread's run to stop at the next instruction boundary.
    void Interrupt();
    // Stops a run in progress and takes its end in now (Finished is emitted here).
    void StopAndWait();
    // Started and its end not yet taken in: starts are refused until then.
    bool IsRunning() const { return busy; }
    // The emulation thread is executing now (its end may not be taken in yet).
    bool IsExecuting() const { return emulation.isRunning(); }

    // After first instructions of a forward run, and then after each number that it
    // returns, pause() is called between two instructions (the runner presses its keys
    // there); a negative number means no more pauses. After a keyboard read, each count
    // starts after the instruction of a forward run that next reads the keyboard area; until
    // then, and only then, runs go instruction by instruction to see it.
    void SetPause(long long first, std::function<long long()> pause, PauseStart start = PauseStart::Now);
    // Sees every instruction executed forwards from the next run on; null for none.
    void SetObserver(ExecutionObserver* observer);

    const RunStop& LastStop() const { return lastStop; }
    // The instructions that the last run executed, pauses included; counted only for runs
    // given a limit or pauses.
    long long Executed() const { return total; }

    // Owned, as a Qt child. The window's views and the GDB server read and edit it between
    // runs.
    Document* const document;

signals:
    void Finished(const RunStop& stop);

private:
    void Begin(EmulationMode mode, const RunBounds& bounds);
    void ApplyLimit();
    void CountToPause(long long executed);
    bool Continues();
    void TakeStop();
    void OnThreadFinished();

    Emulation emulation;
    bool busy = false;
    bool interrupted = false;
    bool forward = false;
    long long remaining = -1;
    long long total = 0;
    long long untilPause = -1;
    std::function<long long()> pause;
    PauseStart pauseStart = PauseStart::Now;
    // The count to the next pause waits for the program to read the keyboard area.
    bool pauseWaits = false;
    RunStop lastStop;
    // Where the run began, to tell a run that a breakpoint refused from one that came back.
    unsigned int startPc = 0;
    long long startCommitted = 0;
};

#endif
