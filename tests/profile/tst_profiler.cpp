// The profiler on an assembled program, in the library: exceptions counted as calls and
// closed by RTE, a longjmp that leaves three calls at once, a short branch taken or not,
// and every instruction and cycle of the run counted once.
#include "core/Emulator.h"
#include "session/Document.h"
#include "session/Profiler.h"
#include "session/Session.h"

#include <QtTest>

class ProfilerTest : public QObject
{
    Q_OBJECT

private slots:
    void callsExceptionsAndLongjmp();
};

void ProfilerTest::callsExceptionsAndLongjmp()
{
    Session session;
    QString error;
    QVERIFY2(session.Load(QStringLiteral(CALLS), &error), qPrintable(error));
    session.Reset();
    Profiler profiler(session.document);
    profiler.Start();
    session.SetObserver(&profiler);
    RunBounds bounds;
    bounds.limit = 1000;
    bounds.untilSet = true;
    bounds.until = 0xC4; // done
    QCOMPARE(session.RunHere(QuickStopMode, bounds).cause, StopCause::Until);
    session.SetObserver(nullptr);
    profiler.Finish();
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
    // outer: MOVE, BSR; inner: BSR; innermost: MOVE, JMP; after_escape: RTS, which returns
    // from all three.
    QCOMPARE(function("outer").calls, 1ull);
    QCOMPARE(function("outer").inclusiveInstructions, 6ull);
    QCOMPARE(function("inner").inclusiveInstructions, 4ull);
    QCOMPARE(function("innermost").inclusiveInstructions, 3ull);
    // main, entered once, holds everything but _start's BSR.
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

QTEST_GUILESS_MAIN(ProfilerTest)
#include "tst_profiler.moc"
