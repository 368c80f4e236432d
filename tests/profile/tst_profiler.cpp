// The profiler on an assembled program, in the library: exceptions counted as calls and
// closed by RTE, a return by RTR, a longjmp that leaves three calls at once, a short branch
// taken or not, and every instruction and cycle of the runs counted once, undone ones and
// the cycles of an instruction that faulted included.
#include "core/Emulator.h"
#include "core/Memory.h"
#include "program/SymbolTable.h"
#include "session/Document.h"
#include "session/Profiler.h"
#include "session/Session.h"

#include <QtTest>

class ProfilerTest : public QObject
{
    Q_OBJECT

private slots:
    void callsExceptionsAndLongjmp();
    void runsBetweenUndoAndFault();
};

void ProfilerTest::callsExceptionsAndLongjmp()
{
    Session session;
    QString error;
    QVERIFY2(session.Load(QStringLiteral(CALLS), &error), qPrintable(error));
    session.Reset();
    // ILLEGAL runs here: not a breakpoint.
    session.document->instructionBreakpoints.clear();
    Profiler profiler(session.document);
    profiler.Start();
    session.SetObserver(&profiler);
    RunBounds bounds;
    bounds.limit = 1000;
    bounds.untilSet = true;
    bounds.until = session.document->symbols->Find(QStringLiteral("done"))->address;
    QCOMPARE(session.RunHere(QuickStopMode, bounds).cause, StopCause::Until);
    session.SetObserver(nullptr);
    const Profile profile = profiler.Collect();

    QCOMPARE(profile.instructions, (unsigned long long)session.Executed());
    QCOMPARE(profile.cycles, session.document->emulator->Cycles());
    const auto function = [&profile](const char* name) {
        const int i = profile.FunctionIndex(QLatin1String(name));
        return i >= 0 ? profile.functions[std::size_t(i)] : Profile::Function();
    };
    // The traps are calls of their handler, each closed by its RTE: ADDQ and RTE.
    QCOMPARE(function("trap_handler").calls, 2ull);
    QCOMPARE(function("trap_handler").instructions, 4ull);
    QCOMPARE(function("trap_handler").inclusiveInstructions, 4ull);
    QCOMPARE(function("trap_handler").inclusiveCycles, function("trap_handler").cycles);
    // ILLEGAL is a call of its handler from main: NOP and RTE, 4 + 20 cycles; the
    // exception's 34 are the word's own.
    QCOMPARE(function("illegal_handler").calls, 1ull);
    QCOMPARE(function("illegal_handler").inclusiveInstructions, 2ull);
    QCOMPARE(function("illegal_handler").inclusiveCycles, 24ull);
    // RTR returns past the word pushed under its return address.
    QCOMPARE(function("with_rtr").calls, 1ull);
    QCOMPARE(function("with_rtr").inclusiveInstructions, 2ull);
    // outer: MOVE, BSR; inner: BSR; innermost: MOVE, JMP; after_escape: RTS, which returns
    // from all three.
    QCOMPARE(function("outer").calls, 1ull);
    QCOMPARE(function("outer").inclusiveInstructions, 6ull);
    QCOMPARE(function("inner").inclusiveInstructions, 4ull);
    QCOMPARE(function("innermost").inclusiveInstructions, 3ull);
    // main, entered once, holds everything but _start's BSR: each frame was closed once.
    QCOMPARE(function("main").calls, 1ull);
    QCOMPARE(function("main").inclusiveInstructions, profile.instructions - 1);
    QCOMPARE(function("_start").inclusiveCycles, profile.cycles);
    // loop's BNE.S: three runs, two of them branching.
    bool found = false;
    for (const Profile::Branch& b : profile.branches) {
        if (b.executions == 3) {
            QCOMPARE(b.taken, 2ull);
            found = true;
        }
    }
    QVERIFY(found);
    // Each of the two calls of the handler is one Call from main's line of its TRAP.
    int trapCalls = 0;
    for (const Profile::Call& c : profile.calls)
        if (c.callee == profile.FunctionIndex(QStringLiteral("trap_handler")))
            trapCalls += int(c.calls);
    QCOMPARE(trapCalls, 2);
}

// Runs recorded, then taken back, then run on at full speed to an address error: every
// instruction executed counts, the undone ones too, with the cycles of each run, and the
// cycles that the faulting instruction spent go to it.
namespace {

void LoadCalls(Session& session)
{
    QString error;
    QVERIFY2(session.Load(QStringLiteral(CALLS), &error), qPrintable(error));
    session.Reset();
    // ILLEGAL runs here: not a breakpoint.
    session.document->instructionBreakpoints.clear();
}

// From then on after_escape reads a long at an odd address: MOVE.L (A1),D0.
void PlantFault(Session& session)
{
    const unsigned int escape = session.document->symbols->Find(QStringLiteral("after_escape"))->address;
    session.document->memory->Write(escape, 0x2011, 16, true);
    session.document->emulator->registers->a[1] = 0x1001;
}

} // namespace

void ProfilerTest::runsBetweenUndoAndFault()
{
    // The instructions completed from the seventh to the fault, counted by a run that has a
    // limit (a run without counts nothing).
    long long completed;
    {
        Session reference;
        LoadCalls(reference);
        RunBounds bounds;
        bounds.limit = 7;
        reference.RunHere(RunMode, bounds);
        PlantFault(reference);
        bounds.limit = 1000;
        QCOMPARE(reference.RunHere(QuickStopMode, bounds).cause, StopCause::AddressError);
        completed = reference.Executed() - 1;
    }
    Session session;
    LoadCalls(session);
    Profiler profiler(session.document);
    profiler.Start();
    session.SetObserver(&profiler);
    const Emulator& emulator = *session.document->emulator;
    unsigned long long cycles = 0;
    unsigned long long instructions = 0;
    const auto run = [&](EmulationMode mode, long long limit) {
        const unsigned long long before = emulator.Cycles();
        RunBounds bounds;
        bounds.limit = limit;
        const RunStop stop = session.RunHere(mode, bounds);
        cycles += emulator.Cycles() - before;
        instructions += (unsigned long long)session.Executed();
        return stop.cause;
    };
    run(RunMode, 6);
    session.document->undoCount = 3;
    session.RunHere(UndoMode);
    QVERIFY(emulator.Cycles() < cycles);
    run(RunMode, 4);
    PlantFault(session);
    QCOMPARE(run(QuickRunMode, -1), StopCause::AddressError);
    session.SetObserver(nullptr);
    const Profile profile = profiler.Collect();
    QCOMPARE(profile.cycles, cycles);
    QCOMPARE(profile.instructions, instructions + (unsigned long long)completed);
}

QTEST_GUILESS_MAIN(ProfilerTest)
#include "tst_profiler.moc"
