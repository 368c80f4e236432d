#ifndef ZENDRA_RUNNER_BATCHRUN_H
#define ZENDRA_RUNNER_BATCHRUN_H

#include "core/Keyboard.h"
#include "runner/RunOptions.h"
#include "session/ExecutionObserver.h"

#include <QFile>

#include <memory>

class Document;
class Profiler;
class QSaveFile;
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
    std::unique_ptr<Session> session;
    Document* const document;
    Stop stop = Limit;
    long long instructions = 0;

private:
    bool Evaluate(const QString& option, const QString& text, unsigned int* value, QString* error);
    bool Open(QFile& file, const QString& option, const QString& name, QString* error);
    QByteArray Json() const;
    bool OpenWhole(std::unique_ptr<QSaveFile>& file, const QString& option, const QString& name, QString* error);
    bool WriteProfile(QString* error);

    bool untilSet = false;
    unsigned int until = 0;
    // Start and length of each --memory range.
    QList<QPair<unsigned int, unsigned int>> ranges;
    QFile jsonFile;
    QFile screenFile;
    QFile traceFile;
    // Written whole at the end of the run or not at all.
    std::unique_ptr<QSaveFile> profileFile;
    std::unique_ptr<QSaveFile> coverageFile;
    // Observes the run when a profile or coverage is asked for.
    std::unique_ptr<Profiler> profiler;
    // One line of the trace for the newest instruction of the history, after each; the
    // profiler sees the instruction too.
    void Executed(unsigned int address) override;
    void Trace(QByteArray& buffer);
    QByteArray traceBuffer;
    Keyboard keyboard;
    // The key event that comes next: a press at even numbers, a release at odd.
    int keyEvent = 0;
    void KeyEvent();
};

#endif
