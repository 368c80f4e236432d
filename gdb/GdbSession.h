#ifndef ZENDRA_GDB_GDBSESSION_H
#define ZENDRA_GDB_GDBSESSION_H

#include "session/EmulationMode.h"
#include "session/RunStop.h"
#include "core/Watchpoint.h"

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QSet>

class Document;
class Session;

// The commands of one GDB client on a session's machine: each packet's payload is answered at once,
// or asks for the machine to be resumed, and the stop reply is made when the run is over.
// GDB's breakpoints and watchpoints become the document's own, so that the views show them
// and memory is never patched; they are taken away when the client goes.
class GdbSession
{
public:
    enum Action {
        Reply,
        // Start the session in resumeMode, then answer with Stopped().
        Resume,
        // End the connection: Kill without an answer, Detach after the reply.
        Kill,
        Detach
    };

    explicit GdbSession(Session* target);

    // A new client: acknowledgements on, no breakpoints of its own yet.
    void Begin();
    // The client is gone: the breakpoints and watchpoints that it set are removed.
    void End();

    Action Handle(const QByteArray& payload, QByteArray* reply);
    // The stop reply for a resumed run that ended so. console is set to the text for GDB's
    // console that goes before it, if any.
    QByteArray Stopped(const RunStop& stop, QByteArray* console);

    // "$payload#xx"; binary payloads are escaped by the commands that make them.
    static QByteArray Frame(const QByteArray& payload);
    static QByteArray ConsoleOutput(const QString& text);

    EmulationMode resumeMode = ResumeMode;
    // Acknowledgements are sent until GDB asks for QStartNoAckMode.
    bool acknowledging = true;
    // The last command changed registers, memory, breakpoints or watchpoints.
    bool changed = false;
    // Output for GDB's console that the last command's reply comes after ("O" packets), as
    // a monitor command's; empty for none.
    QList<QByteArray> console;

private:
    QByteArray Query(const QByteArray& payload);
    QByteArray Features(const QByteArray& request) const;
    QByteArray ReadRegisters() const;
    QByteArray WriteRegisters(const QByteArray& data);
    QByteArray ReadRegister(const QByteArray& arguments) const;
    QByteArray WriteRegister(const QByteArray& arguments);
    QByteArray ReadMemory(const QByteArray& arguments) const;
    QByteArray WriteMemory(const QByteArray& arguments, bool binary);
    QByteArray Breakpoint(const QByteArray& arguments, bool insert);
    Action Continue(const QByteArray& arguments, bool step, bool withSignal, QByteArray* reply);
    Action ContinueActions(const QByteArray& actions, QByteArray* reply);
    QByteArray StepBack();
    QByteArray WatchStop() const;
    QByteArray Monitor(const QByteArray& hexCommand);
    static bool Remove(QList<Watchpoint>& list, const Watchpoint& watchpoint);
    unsigned int RegisterValue(int number) const;
    void SetRegister(int number, unsigned int value);

    Session* target;
    Document* document;
    QByteArray lastStop;
    // Where GDB stops on a breakpoint of its own, and how it set it: '0' software, '1'
    // hardware. Those that it added to the document (not there before) are removed with it.
    QHash<unsigned int, char> breakpointKinds;
    QSet<unsigned int> addedBreakpoints;
    // GDB's watchpoints, and those of them that it added to the document. A stop at another
    // watchpoint (the user's) is a plain trap to GDB: it would resume at a watchpoint that
    // it does not know.
    QList<Watchpoint> clientWatchpoints;
    QList<Watchpoint> addedWatchpoints;
};

#endif
