#ifndef ZENDRA_RUNNER_BATCHRUN_H
#define ZENDRA_RUNNER_BATCHRUN_H

#include "core/BreakpointIndex.h"
#include "core/Keyboard.h"
#include "session/WatchMonitor.h"
#include "runner/RunOptions.h"

#include <QFile>

#include <memory>

class Document;

// One run of zendra-run: the program loaded and reset as the window does, the options
// applied, the machine run to a stop, and the final state reported.
class BatchRun
{
public:
    enum Stop { Until, Breakpoint, Watchpoint, Error, Limit };

    explicit BatchRun(const RunOptions& options);
    ~BatchRun();

    // Loads the program, evaluates every expression and opens every output: false, with a
    // one-line French message naming what is wrong, when the run cannot start.
    bool Prepare(QString* error);
    void Run();
    bool Report(QString* error);
    // 0 at --until, a breakpoint or a watchpoint, 1 on the machine's error, 3 at the limit.
    int ExitStatus() const;
    // For a machine that GDB runs: the instructions before the first key event of --keys,
    // then the next event applied and the instructions before the one after it; -1 for none.
    long long FirstKeyEvent() const;
    long long NextKeyEvent();

    RunOptions options;
    std::unique_ptr<Document> document;
    Stop stop = Limit;
    long long instructions = 0;

private:
    bool Evaluate(const QString& option, const QString& text, unsigned int* value, QString* error);
    bool Open(QFile& file, const QString& option, const QString& name, QString* error);
    QByteArray Json() const;

    bool untilSet = false;
    unsigned int until = 0;
    // Start and length of each --memory range.
    QList<QPair<unsigned int, unsigned int>> ranges;
    QFile jsonFile;
    QFile screenFile;
    QFile traceFile;
    BreakpointIndex index;
    WatchMonitor monitor;
    // A stop before the next instruction: until, a breakpoint, a key event due; the limit.
    bool StopBefore(long long count);
    void RunQuick();
    template <int opcodes>
    long long QuickLoop(long long count, long long next);
    void RunRecorded();
    // One line of the trace for the newest instruction of the history.
    void Trace(QByteArray& buffer);
    Keyboard keyboard;
    // The key event that comes next (a press at even numbers, a release at odd), and the
    // instruction count at which it comes.
    int keyEvent = 0;
    long long nextKeyEvent = 0;
    void KeyEvent();
};

#endif
