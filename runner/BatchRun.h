#ifndef ZENDRA_RUNNER_BATCHRUN_H
#define ZENDRA_RUNNER_BATCHRUN_H

#include "core/Keyboard.h"
#include "runner/OutputFile.h"
#include "runner/RunOptions.h"
#include "core/ExecutionObserver.h"

#include <memory>

class Document;
class Profiler;
class Session;

// One run of zendra-run: the program loaded and reset as the window does, the options
// applied, the machine run to a stop by the session, and the final state reported. It
// observes the run to write the trace.
class BatchRun final : private ExecutionObserver
{
public:
    enum Stop { Until, Breakpoint, Watchpoint, Error, Limit };

    explicit BatchRun(const RunOptions& options);
    ~BatchRun();

    // Loads the program, evaluates every expression and opens every output: false, with a
    // one-line French message naming what is wrong, when the run cannot start. No file is
    // changed then; a warning of the load (S-Records with faulty checksums) is left in
    // warning, on one line.
    bool Prepare(QString* error);
    void Run();
    // Writes the outputs and puts each in place whole.
    bool Report(QString* error);
    // 0 at --until, a breakpoint or a watchpoint, 1 on the machine's error, 3 at the limit.
    int ExitStatus() const;
    // The keys of --keys, paced by the program: each key event comes --key-interval
    // instructions after the program has read the keyboard area since the one before. The
    // session pauses there, in the runner's run or in GDB's.
    void PaceKeys();

    RunOptions options;
    std::unique_ptr<Session> session;
    Document* const document;
    Stop stop = Limit;
    long long instructions = 0;
    QString warning;

private:
    // The instructions before the first key event of --keys, then the next event applied and
    // the instructions before the one after it; -1 for none.
    long long FirstKeyEvent() const;
    long long NextKeyEvent();
    bool Evaluate(const QString& option, const QString& text, unsigned int* value, QString* error);
    bool EvaluateAll(QString* error);
    // Every output asked for, checked and opened, or none.
    bool OpenOutputs(QString* error);
    QByteArray Json() const;
    // The profile and the coverage into their outputs, from what the profiler saw.
    void WriteProfile();

    bool untilSet = false;
    unsigned int until = 0;
    // Start and length of each --memory range.
    QList<QPair<unsigned int, unsigned int>> ranges;
    std::unique_ptr<OutputFile> jsonFile;
    std::unique_ptr<OutputFile> screenFile;
    std::unique_ptr<OutputFile> traceFile;
    // Written with the others, whole at the end of the run or not at all.
    std::unique_ptr<OutputFile> profileFile;
    std::unique_ptr<OutputFile> coverageFile;
    // Observes the run when a profile or coverage is asked for.
    std::unique_ptr<Profiler> profiler;
    // One line of the trace for the newest instruction of the history, after each; the
    // profiler sees the instruction too.
    void Executed(unsigned int address) override;
    void Starting() override;
    void Stopped() override;
    void Trace(QByteArray& buffer);
    QByteArray traceBuffer;
    Keyboard keyboard;
    // The key event that comes next: a press at even numbers, a release at odd.
    int keyEvent = 0;
    void KeyEvent();
};

#endif
