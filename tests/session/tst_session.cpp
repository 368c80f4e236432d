// The session as the three front ends drive it: the runner's quick run with breakpoints
// against the window's recorded run, limits and pauses that meet breakpoints, an observer
// that sees exactly the instructions executed, one typed stop for every way a run ends, and
// the thread's start, stop and end as the window and GDB see them.
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "program/SymbolTable.h"
#include "session/Document.h"
#include "core/ExecutionObserver.h"
#include "session/Session.h"

#include <QSignalSpy>
#include <QtTest>

#include <cstring>
#include <memory>
#include <vector>

namespace {

QString Program(const char* name)
{
    return QStringLiteral(EMULATOR_PROGRAMS "/%1.elf").arg(QLatin1String(name));
}

unsigned int Symbol(const Session& session, const char* name)
{
    const SymbolTable::Symbol* s = session.document->symbols->Find(QString::fromLatin1(name));
    if (!s)
        qFatal("no symbol %s", name);
    return s->address;
}

std::unique_ptr<Session> Loaded(const char* name)
{
    std::unique_ptr<Session> session(new Session);
    QString error;
    if (!session->Load(Program(name), &error))
        qFatal("%s", qPrintable(error));
    session->Reset();
    return session;
}

// A machine with words at 0x1000, the stacks at 0x8000 and every vector leading to a NOP
// followed by a branch to itself at 0x3000.
std::unique_ptr<Session> WithCode(std::initializer_list<unsigned short> words)
{
    std::unique_ptr<Session> session(new Session);
    Memory& m = *session->document->memory;
    m.Write(0, 0x8000, 32, true);
    m.Write(4, 0x1000, 32, true);
    for (unsigned int v = 2; v < 64; ++v)
        m.Write(v * 4, 0x3000, 32, true);
    m.Write(0x3000, 0x4E71, 16, true);
    m.Write(0x3002, 0x60FE, 16, true);
    unsigned int a = 0x1000;
    for (unsigned short w : words) {
        m.Write(a, w, 16, true);
        a += 2;
    }
    session->Reset();
    return session;
}

bool SameMachine(const Session& a, const Session& b)
{
    const Register& x = *a.document->emulator->registers;
    const Register& y = *b.document->emulator->registers;
    return std::memcmp(x.d, y.d, sizeof x.d) == 0 && std::memcmp(x.a, y.a, sizeof x.a) == 0 && x.pc == y.pc
           && x.sr == y.sr && x.usp == y.usp && x.ssp == y.ssp
           && std::memcmp(a.document->memory->buffer.mainBuffer, b.document->memory->buffer.mainBuffer,
                          MemoryBuffer::videoStart) == 0;
}

// The pcs of the first count instructions, stepped one by one.
std::vector<unsigned int> SteppedPcs(const char* name, long long count)
{
    std::unique_ptr<Session> session = Loaded(name);
    std::vector<unsigned int> pcs;
    Emulator& e = *session->document->emulator;
    for (long long i = 0; i < count; ++i) {
        pcs.push_back(e.registers->pc & 0xFFFFFF);
        e.QuickExecute();
    }
    return pcs;
}

class Recorder final : public ExecutionObserver
{
public:
    void Executed(unsigned int address) override { addresses.push_back(address); }
    std::vector<unsigned int> addresses;
};

} // namespace

class SessionTest : public QObject
{
    Q_OBJECT

private slots:
    // The runner's quick run stops where the window's recorded run stops, in the same state
    // and after as many instructions, without a history: at the until address, at a
    // breakpoint, at the limit; until wins over a breakpoint at the same address, and a
    // breakpoint where the count runs out wins over the limit.
    void quickAndRecordedRunsStopAlike()
    {
        for (const char* name : {"compiled_crc", "compiled_sort", "compiled_recurse"}) {
            std::unique_ptr<Session> quick = Loaded(name);
            std::unique_ptr<Session> recorded = Loaded(name);
            RunBounds bounds;
            bounds.untilSet = true;
            bounds.until = Symbol(*quick, "done");
            bounds.limit = 100000000;
            QCOMPARE(quick->RunHere(QuickStopMode, bounds).cause, StopCause::Until);
            QCOMPARE(recorded->RunHere(RunMode, bounds).cause, StopCause::Until);
            QCOMPARE(quick->LastStop().address, bounds.until);
            QVERIFY(quick->Executed() > 1000);
            QCOMPARE(quick->Executed(), recorded->Executed());
            QVERIFY(SameMachine(*quick, *recorded));
            QVERIFY(quick->document->emulator->undoList.items.isEmpty());
            QCOMPARE(recorded->document->emulator->undoList.items.count(),
                     int(std::min<long long>(recorded->Executed(), 100000)));
            const long long length = quick->Executed();

            // The count to the first call of program, from the steps.
            const unsigned int program = Symbol(*quick, "program");
            const std::vector<unsigned int> pcs = SteppedPcs(name, length);
            const long long toProgram = std::find(pcs.begin(), pcs.end(), program) - pcs.begin();
            QVERIFY(toProgram > 0 && toProgram < length);
            for (EmulationMode mode : {QuickStopMode, RunMode}) {
                std::unique_ptr<Session> s = Loaded(name);
                s->document->AddAddressBreakpoint(program);
                QCOMPARE(s->RunHere(mode, bounds).cause, StopCause::AddressBreakpoint);
                QCOMPARE(s->Executed(), toProgram);
                QCOMPARE(s->document->emulator->registers->pc, program);
                // The limit where the breakpoint stands: the breakpoint.
                s = Loaded(name);
                s->document->AddAddressBreakpoint(program);
                RunBounds exact;
                exact.limit = toProgram;
                QCOMPARE(s->RunHere(mode, exact).cause, StopCause::AddressBreakpoint);
                // One short of it: the limit, one instruction before.
                s = Loaded(name);
                s->document->AddAddressBreakpoint(program);
                exact.limit = toProgram - 1;
                QCOMPARE(s->RunHere(mode, exact).cause, StopCause::Limit);
                QCOMPARE(s->Executed(), toProgram - 1);
                QCOMPARE(s->document->emulator->registers->pc, pcs[std::size_t(toProgram - 1)]);
                // Until and a breakpoint at the same address: until.
                s = Loaded(name);
                s->document->AddAddressBreakpoint(program);
                RunBounds until;
                until.untilSet = true;
                until.until = program;
                QCOMPARE(s->RunHere(mode, until).cause, StopCause::Until);
                QCOMPARE(s->document->emulator->registers->pc, program);
            }
        }
    }

    // Pauses come after exactly their counts of instructions, however the run is cut into
    // slices, and a run goes on after them to its own stop; its count includes them all.
    void pausesComeAtTheirCounts()
    {
        const std::vector<unsigned int> pcs = SteppedPcs("compiled_crc", 20000);
        for (EmulationMode mode : {QuickStopMode, RunMode}) {
            std::unique_ptr<Session> s = Loaded("compiled_crc");
            std::vector<unsigned int> seen;
            const long long intervals[] = {777, 1, 4096, 5000};
            int next = 0;
            s->SetPause(1000, [&] {
                seen.push_back(s->document->emulator->registers->pc & 0xFFFFFF);
                return next < 4 ? intervals[next++] : -1;
            });
            RunBounds bounds;
            bounds.limit = 15000;
            QCOMPARE(s->RunHere(mode, bounds).cause, StopCause::Limit);
            QCOMPARE(s->Executed(), 15000LL);
            QCOMPARE(s->document->emulator->registers->pc & 0xFFFFFF, pcs[15000]);
            const std::vector<unsigned int> expected = {pcs[1000], pcs[1777], pcs[1778], pcs[5874], pcs[10874]};
            QCOMPARE(seen, expected);
            // A quick run goes on quick after its pauses: it keeps no history.
            QCOMPARE(s->document->emulator->undoList.items.isEmpty(), mode == QuickStopMode);
        }
        // Runs backwards make no pauses and count nothing.
        std::unique_ptr<Session> s = Loaded("compiled_crc");
        int pauses = 0;
        s->SetPause(5, [&] { return ++pauses, 5; });
        RunBounds bounds;
        bounds.limit = 3;
        s->RunHere(RunMode, bounds);
        QCOMPARE(pauses, 0);
        QCOMPARE(s->RunHere(RunBackMode).cause, StopCause::StepDone);
        QCOMPARE(pauses, 0);
        QCOMPARE(s->document->emulator->registers->pc & 0xFFFFFF, pcs[0]);
    }

    // The observer sees each instruction executed forwards, in order, in recorded and quick
    // runs and in steps; not one that faulted, nor those taken back.
    void observerSeesTheInstructionsExecuted()
    {
        const std::vector<unsigned int> pcs = SteppedPcs("compiled_sort", 6000);
        for (EmulationMode mode : {QuickStopMode, RunMode}) {
            std::unique_ptr<Session> s = Loaded("compiled_sort");
            Recorder recorder;
            s->SetObserver(&recorder);
            RunBounds bounds;
            bounds.limit = 5000;
            s->RunHere(mode, bounds);
            QCOMPARE(recorder.addresses, std::vector<unsigned int>(pcs.begin(), pcs.begin() + 5000));
            s->RunHere(StepIntoMode);
            s->RunHere(StepIntoMode);
            QCOMPARE(recorder.addresses.size(), std::size_t(5002));
            QCOMPARE(recorder.addresses.back(), pcs[5001]);
            if (mode == RunMode) {
                s->RunHere(RunBackMode);
                QCOMPARE(recorder.addresses.size(), std::size_t(5002));
            }
            // Nobody observes: nothing more is seen.
            s->SetObserver(nullptr);
            s->RunHere(StepIntoMode);
            QCOMPARE(recorder.addresses.size(), std::size_t(5002));
        }
        // MOVEQ #1,D0; then a word read at an odd address: the first is seen, not the fault.
        std::unique_ptr<Session> s = WithCode({0x7001, 0x3028, 0x0001});
        Recorder recorder;
        s->SetObserver(&recorder);
        QCOMPARE(s->RunHere(RunMode).cause, StopCause::AddressError);
        QCOMPARE(recorder.addresses, std::vector<unsigned int>({0x1000}));
    }

    // Every way a run ends is one cause, with the pc and the message to show.
    void everyStopHasItsCause()
    {
        // NOP, NOP, ILLEGAL.
        std::unique_ptr<Session> s = WithCode({0x4E71, 0x4E71, 0x4AFC});
        QCOMPARE(s->RunHere(StepIntoMode).cause, StopCause::StepDone);
        QCOMPARE(s->LastStop().address, 0x1002u);
        const RunStop& illegal = s->RunHere(RunMode);
        QCOMPARE(illegal.cause, StopCause::InstructionBreakpoint);
        QCOMPARE(illegal.address, 0x1004u);
        QVERIFY(illegal.message.isEmpty());
        s->document->AddAddressBreakpoint(0x1004);
        s->document->instructionBreakpointsEnabled = false;
        QCOMPARE(s->RunHere(RunMode).cause, StopCause::AddressBreakpoint);

        // The trace bit, an address error: told apart by their cause, with the messages.
        s = WithCode({0x4E71});
        s->document->emulator->registers->sr |= Register::traceBit;
        const RunStop& trace = s->RunHere(RunMode);
        QCOMPARE(trace.cause, StopCause::Trace);
        QVERIFY(trace.IsFault());
        QCOMPARE(trace.message, Emulator::TraceMessage());
        QCOMPARE(trace.address, 0x1000u);
        s = WithCode({0x3028, 0x0001});
        QCOMPARE(s->RunHere(QuickStopMode).cause, StopCause::AddressError);
        QCOMPARE(s->LastStop().message, Emulator::AddressErrorMessage());

        // BSR to a NOP and RTS; a step out from inside it returns.
        s = WithCode({0x6104, 0x4E71, 0x60FE, 0x4E71, 0x4E75});
        s->RunHere(StepIntoMode);
        QCOMPARE(s->RunHere(StepOutMode).cause, StopCause::ReturnReached);
        QCOMPARE(s->LastStop().address, 0x1002u);

        // A write to a watched word: the hit's message; a condition that divides by zero:
        // the stop at its breakpoint says why.
        s = WithCode({0x31FC, 0x1234, 0x2000, 0x4E71, 0x60FE}); // MOVE.W #$1234,$2000.W
        s->document->AddWatchpoint(Watchpoint(0x2000, 2, WatchWrite));
        const RunStop& watched = s->RunHere(RunMode);
        QCOMPARE(watched.cause, StopCause::Watchpoint);
        QCOMPARE(watched.address, 0x1006u);
        QVERIFY2(watched.message.startsWith(QStringLiteral("Point d'observation")), qPrintable(watched.message));
        QVERIFY(watched.message.contains(QStringLiteral("$1234")));
        s = WithCode({0x4E71, 0x4E71, 0x60FE});
        BreakpointCondition condition;
        QVERIFY(condition.condition.Parse(QStringLiteral("d0/d1==1"), s->document->conditionCalculator));
        s->document->AddAddressBreakpoint(0x1002);
        s->document->conditions.insert(0x1002, condition);
        const RunStop& conditional = s->RunHere(RunMode);
        QCOMPARE(conditional.cause, StopCause::AddressBreakpoint);
        QVERIFY2(conditional.message.contains(QStringLiteral("n'a pas pu être évaluée")), qPrintable(conditional.message));
        // The next run starts with no message of the last.
        s->document->RemoveAllAddressBreakpoints();
        QCOMPARE(s->RunHere(StepIntoMode).message, QString());
    }

    // A step back takes one instruction back, and names the watched write that it takes back.
    void reverseStepReportsAWatchedWrite()
    {
        std::unique_ptr<Session> s = WithCode({0x31FC, 0x1234, 0x2000, 0x7005, 0x60FE});
        QCOMPARE(s->RunHere(ReverseStepMode).cause, StopCause::StepDone);
        s->RunHere(StepIntoMode);
        s->RunHere(StepIntoMode);
        s->document->AddWatchpoint(Watchpoint(0x2001, 1, WatchWrite));
        QCOMPARE(s->RunHere(ReverseStepMode).cause, StopCause::StepDone);
        QCOMPARE(s->document->emulator->registers->d[0], 0u);
        QCOMPARE(s->RunHere(ReverseStepMode).cause, StopCause::Watchpoint);
        QCOMPARE(s->document->watchHit.address, 0x2000u);
        QCOMPARE(s->document->memory->Read(0x2000, 16), 0u);
        QCOMPARE(s->document->emulator->registers->pc, 0x1000u);
        QVERIFY(s->document->emulator->undoList.items.isEmpty());
    }

    // On the thread: a second start is refused while the first runs; an interruption ends
    // the run with its cause, told once; StopAndWait tells the end at once, and the thread's
    // late signal tells nothing more.
    void threadRunsAreToldOnce()
    {
        std::unique_ptr<Session> s = WithCode({0x5280, 0x60FC}); // ADDQ.L #1,D0; BRA back
        QSignalSpy finished(s.get(), &Session::Finished);
        QVERIFY(s->Start(RunMode));
        QVERIFY(s->IsRunning());
        QVERIFY(!s->Start(StepIntoMode));
        QTest::qWait(30);
        s->Interrupt();
        QTRY_COMPARE(finished.count(), 1);
        QCOMPARE(finished.at(0).at(0).value<RunStop>().cause, StopCause::Interrupted);
        QVERIFY(!s->IsRunning());
        QCOMPARE(s->LastStop().cause, StopCause::Interrupted);
        QVERIFY(s->document->emulator->registers->d[0] > 0);

        QVERIFY(s->Start(QuickRunMode));
        QTest::qWait(20);
        s->StopAndWait();
        QCOMPARE(finished.count(), 2);
        QCOMPARE(s->LastStop().cause, StopCause::Interrupted);
        QVERIFY(!s->IsExecuting());
        QTest::qWait(50);
        QCOMPARE(finished.count(), 2);

        // A step on the thread: done, not interrupted.
        QVERIFY(s->Start(StepIntoMode));
        QTRY_COMPARE(finished.count(), 3);
        QCOMPARE(s->LastStop().cause, StopCause::StepDone);

        // Pauses on the thread too, and the run goes on to its limit.
        int pauses = 0;
        s->SetPause(100, [&] { return ++pauses < 3 ? 100 : -1; });
        RunBounds bounds;
        bounds.limit = 1000;
        QVERIFY(s->Start(RunMode, bounds));
        QTRY_COMPARE(finished.count(), 4);
        QCOMPARE(pauses, 3);
        QCOMPARE(s->LastStop().cause, StopCause::Limit);
        QCOMPARE(s->Executed(), 1000LL);
    }
};

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_session.moc"
