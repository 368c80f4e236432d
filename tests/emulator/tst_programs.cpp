// Whole 68000 programs: assembled ones that store what they compute, compiled C programs
// checked against the same C built for the host, undo of entire runs, random input, and the
// allocations of quick execution.
#include "AllocationCounter.h"
#include "TestMachine.h"
#include "program/SRecordLoader.h"
#include "core/BreakpointIndex.h"
#include "programs.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cstring>
#include <iterator>
#include <memory>
#include <vector>


namespace {

using HostProgram = int (*)(unsigned char*);

const unsigned int resultsAddress = 0x8000;
const unsigned int endMarker = 0x600DC0DE;
const unsigned int outputAddress = 0x20000;
const unsigned int outputLengthAddress = 0x1FFFC;
// BRA.S to itself: where every test program ends.
const unsigned int branchToItself = 0x60FE;

QString Image(const QString& name)
{
    return QStringLiteral(PROGRAM_IMAGES "/%1.hex").arg(name);
}

bool Load(TestMachine& machine, const QString& name)
{
    SRecordLoader loader(Image(name), &machine.memory);
    if (!loader.Load())
        return false;
    machine.emulator.Reset();
    return true;
}

void Step(Emulator& emulator, bool recorded)
{
    if (recorded)
        emulator.Execute();
    else
        emulator.QuickExecute();
}

// Runs to the end marker or to a stop; the number of instructions executed, or -1 when
// the limit came first.
// Random vectors (some odd), random code, random registers and stacks.
void Randomise(TestMachine& machine, QRandomGenerator& random)
{
    Register& r = *machine.emulator.registers;
    for (unsigned int n = 0; n < 256; ++n) {
        const unsigned int choice = random.bounded(4);
        const unsigned int target = choice == 0 ? random.generate() : 0x1000 + random.bounded(0x2000);
        machine.memory.Write(n * 4, target, 32, true);
    }
    for (unsigned int a = 0x1000; a < 0x3000; a += 2)
        machine.memory.Write(a, random.bounded(0x10000), 16, true);
    for (unsigned int& d : r.d)
        d = random.generate();
    for (unsigned int& a : r.a)
        a = random.bounded(4) ? 0x1000 + random.bounded(0x8000) : random.generate();
    r.usp = random.bounded(4) ? 0x4000 + random.bounded(0x4000) : random.generate();
    r.ssp = random.bounded(4) ? 0x8000 + random.bounded(0x4000) : random.generate();
    r.sr = random.generate() & Register::srMask;
    if (random.bounded(4))
        r.sr &= ~Register::traceBit;
    r.pc = random.bounded(8) ? 0x1000 + random.bounded(0x2000) : random.generate();
}

// Steps as a slice of count instructions would take them, to its end or its first stop; the
// steps stopped on the trace bit, which execute nothing, do not count.
long long StepsOfSlice(TestMachine& machine, long long count, bool recorded)
{
    long long steps = 0;
    while (steps < count) {
        const bool traced = machine.emulator.registers->sr & Register::traceBit;
        Step(machine.emulator, recorded);
        if (!traced)
            ++steps;
        if (!machine.emulator.errorMessage.isEmpty())
            break;
    }
    return steps;
}

qint64 RunToEnd(TestMachine& machine, bool recorded, qint64 limit = 50000000)
{
    Emulator& emulator = machine.emulator;
    for (qint64 count = 0; count < limit; ++count) {
        if (machine.memory.Read(emulator.registers->pc, 16) == branchToItself)
            return count;
        Step(emulator, recorded);
        if (!emulator.errorMessage.isEmpty())
            return count + 1;
    }
    return -1;
}

// Registers, the cycle count and every byte of the address space, video area included.
struct MachineState
{
    explicit MachineState(const TestMachine& machine)
        : registers(machine.emulator.registers), cycles(machine.emulator.Cycles()),
          main(machine.memory.buffer.mainBuffer, machine.memory.buffer.mainBuffer + MemoryBuffer::videoStart),
          video(machine.memory.buffer.videoBuffer, machine.memory.buffer.videoBuffer + MemoryBuffer::videoSize)
    {
    }

    // The first difference from a machine, described; empty when there is none.
    QString Difference(const TestMachine& machine) const
    {
        const Register& r = *machine.emulator.registers;
        for (int i = 0; i < 8; ++i) {
            if (r.d[i] != registers.d[i])
                return QStringLiteral("D%1").arg(i);
        }
        for (int i = 0; i < 7; ++i) {
            if (r.a[i] != registers.a[i])
                return QStringLiteral("A%1").arg(i);
        }
        if (r.pc != registers.pc || r.usp != registers.usp || r.ssp != registers.ssp || r.sr != registers.sr)
            return QStringLiteral("PC, USP, SSP or SR");
        if (machine.emulator.Cycles() != cycles)
            return QStringLiteral("cycles");
        const unsigned char* bytes = machine.memory.buffer.mainBuffer;
        if (std::memcmp(bytes, main.data(), main.size())) {
            for (std::size_t a = 0; a < main.size(); ++a) {
                if (bytes[a] != main[a])
                    return QStringLiteral("memory at $%1").arg(a, 6, 16, QLatin1Char('0'));
            }
        }
        if (std::memcmp(video.data(), machine.memory.buffer.videoBuffer, video.size()))
            return QStringLiteral("video memory");
        return QString();
    }

    Register registers;
    quint64 cycles;
    std::vector<unsigned char> main;
    std::vector<unsigned char> video;
};

// The registers before item i of emulator's history, rewound from its registers now into r.
void RegistersBefore(const Emulator& emulator, int i, Register& r)
{
    r.Copy(*emulator.registers);
    for (int k = emulator.undoList.items.count() - 1; k >= i; --k)
        emulator.undoList.items.Rewind(k, r);
}

bool SameRegisters(const Register& x, const Register& y)
{
    return !std::memcmp(x.d, y.d, sizeof x.d) && !std::memcmp(x.a, y.a, sizeof x.a) && x.pc == y.pc
        && x.usp == y.usp && x.ssp == y.ssp && x.sr == y.sr;
}

QVector<uint> Longs(std::initializer_list<uint> values)
{
    return QVector<uint>(values);
}

} // namespace

class ProgramsTest : public QObject
{
    Q_OBJECT

private slots:
    void assembledPrograms_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QVector<uint>>("expected");
        QTest::newRow("arith") << "program_arith" << Longs({
            0x11, 1, 0x0A, 0x12348000, 0x00, 2, 0, 0x2355,                          // ADD family
            0x00, 0, 0xFFFFFFFF, 0, 0x19, 0xFFFFFFFF, 0x8FF8, 0x19, 0xFFFF00FF,     // SUB family
            0x19, 0x11, 9, 7, 0x14,                                                 // comparisons
            0x1B, 0x80000000, 0x19, 0xFFFFFFFF, 0xFFFFFFFF, 0x14, 0xFFFFFF00,       // NEG, NEGX, CLR
            0x18, 0xFFFE0001, 0xFFFF15A0, 0x10, 0x00640D05, 0x18, 0xFF9CF2FB, 0x12, 0x12345678,
            0x00, 0x2000, 0x00, 0x1999, 0x11, 0x1975,                               // decimal
            0x77880000, 0, 0x11225566, 0x3000, 0x2000, 0xFFFFFFFE, 0xFFFFFF9C,      // moves
            0xABCDEF01, 0x12345678, 0xFFF0, 0x18, 0xFFFFFFF0, 6,
            15, 3, 0x10000, 0xFFFF8001, 0x7FFF, 0x0B0C, 0x110A330B, endMarker});    // MOVEM, MOVEP
        QTest::newRow("logic") << "program_logic" << Longs({
            0x00F000F0, 0x00, 0x12F4, 0x120B, 0x08, 0xEDF4, 0x05AAD5AB, 0xFFFFFFFF, 0x04,
            0x11, 0x02, 0x19, 0xFFFF, 0x15, 0, 0x08, 0x78123456, 0x78124563, 0x08, 0x80000000,
            0x15, 0x10, 0x4000,
            24, 0x1E6A2C48, 54, 0x00, 54, 0x08, 0x80400000, 0x04, 0x08, 0x80000000, endMarker});
        QTest::newRow("control") << "program_control" << Longs({
            0xFFFF0000, 0xFF00FF00, 0xFFFFFF00, 55, 0xFFFF, 3, 900, 5, 0x1F, 144, 0, 0xFFFFFEEC, 111,
            0x271E, 0x2410, 4, 3, endMarker});
        QVector<uint> exceptions;
        for (uint n = 32; n <= 47; ++n)
            exceptions << n << 0x2705 << 0xFFFA;
        exceptions << 0x2705
                   << 5 << 0x2700 << 0xFFFA << 1234                     // zero divide
                   << 6 << 0x2700 << 0xFFFA << 6 << 0x2708 << 0xFFFA    // CHK
                   << 7 << 0x2702 << 0xFFFA                             // TRAPV
                   << 4 << 0x2700 << 0xFFFA << 4 << 0x2700 << 0xFFFA    // illegal words
                   << 0x11 << 2                                         // line 1010 and 1111
                   << 4 << 0xBFFC << 33 << 0 << 0xFFFA << 5 << 0 << 0xFFFA // user state
                   << 8 << 0 << 8 << 0 << 8 << 0 << 8 << 0              // privilege violations
                   << 0x11111111 << 0x11110000 << 8 << 0 << 0x11112000 << 0x10000 << 0xC000 << endMarker;
        QTest::newRow("exceptions") << "program_exceptions" << exceptions;
    }

    void assembledPrograms()
    {
        QFETCH(QString, name);
        QFETCH(QVector<uint>, expected);
        for (const bool recorded : {true, false}) {
            TestMachine machine;
            QVERIFY(Load(machine, name));
            QVERIFY(RunToEnd(machine, recorded) > 0);
            QCOMPARE(machine.emulator.errorMessage, QString());
            const unsigned int stored = (machine.emulator.registers->a[5] - resultsAddress) / 4;
            for (int i = 0; i < expected.size() && i < int(stored); ++i) {
                const uint value = machine.memory.Read(resultsAddress + 4 * unsigned(i), 32);
                QVERIFY2(value == expected[i], qPrintable(QStringLiteral("%1 mode, result %2: $%3 instead of $%4")
                                                              .arg(recorded ? "recorded" : "quick")
                                                              .arg(i)
                                                              .arg(value, 0, 16)
                                                              .arg(expected[i], 0, 16)));
            }
            QCOMPARE(int(stored), expected.size());
        }
    }

    void assembledProgramsRunEveryKind()
    {
        QVector<bool> seen(Decoder::KindCount, false);
        for (const char* name : {"program_arith", "program_logic", "program_control", "program_exceptions"}) {
            TestMachine machine;
            QVERIFY(Load(machine, QString::fromLatin1(name)));
            while (machine.memory.Read(machine.emulator.registers->pc, 16) != branchToItself) {
                machine.emulator.QuickExecute();
                const Decoder::Kind kind = Decoder::KindOf(machine.emulator.opcode);
                if (kind != Decoder::NoKind)
                    seen[kind] = true;
            }
        }
        for (int scenario = 0; scenario < 8; ++scenario) {
            TestMachine machine;
            QVERIFY(Load(machine, QStringLiteral("program_stops")));
            machine.emulator.registers->d[0] = unsigned(scenario);
            while (machine.emulator.errorMessage.isEmpty()) {
                machine.emulator.QuickExecute();
                const Decoder::Kind kind = Decoder::KindOf(machine.emulator.opcode);
                if (kind != Decoder::NoKind)
                    seen[kind] = true;
            }
        }
        QStringList missing;
        for (int kind = 0; kind < Decoder::KindCount; ++kind) {
            if (!seen[kind])
                missing << QString::fromLatin1(Decoder::KindName(Decoder::Kind(kind)));
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(' ')));
    }

    void stops_data()
    {
        QTest::addColumn<int>("scenario");
        QTest::addColumn<bool>("trace");
        QTest::newRow("T set by ORI to SR") << 0 << true;
        QTest::newRow("T set by RTE") << 1 << true;
        QTest::newRow("T set by MOVE to SR") << 2 << true;
        QTest::newRow("word read at an odd address") << 3 << false;
        QTest::newRow("long write at an odd address") << 4 << false;
        QTest::newRow("exception frame on an odd SSP") << 5 << false;
        QTest::newRow("jump to an odd address") << 6 << false;
        QTest::newRow("push on an odd USP") << 7 << false;
    }

    void stops()
    {
        QFETCH(int, scenario);
        QFETCH(bool, trace);
        for (const bool recorded : {true, false}) {
            TestMachine machine;
            QVERIFY(Load(machine, QStringLiteral("program_stops")));
            machine.emulator.registers->d[0] = unsigned(scenario);
            QVERIFY(RunToEnd(machine, recorded, 1000) > 0);
            const unsigned int where = machine.memory.Read(resultsAddress, 32);
            QVERIFY(where != 0xBAD);
            QCOMPARE(machine.emulator.errorMessage,
                     trace ? Emulator::TraceMessage() : Emulator::AddressErrorMessage());
            const MachineState stopped(machine);
            // Stopping is not executing: in recorded mode the machine stands at the
            // instruction, and asking again changes nothing.
            if (recorded || trace || scenario == 6)
                QCOMPARE(machine.emulator.registers->pc, where);
            else
                QVERIFY(machine.emulator.registers->pc > where);
            if (recorded) {
                const int items = machine.emulator.undoList.items.count();
                machine.emulator.Execute();
                QVERIFY(!machine.emulator.errorMessage.isEmpty());
                QCOMPARE(stopped.Difference(machine), QString());
                QCOMPARE(machine.emulator.undoList.items.count(), items);
            }
        }
    }

    void compiledPrograms_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<quintptr>("host");
        QTest::newRow("sort") << "compiled_sort" << quintptr(&sort_program);
        QTest::newRow("crc") << "compiled_crc" << quintptr(&crc_program);
        QTest::newRow("format") << "compiled_format" << quintptr(&format_program);
        QTest::newRow("interp") << "compiled_interp" << quintptr(&interp_program);
        QTest::newRow("recurse") << "compiled_recurse" << quintptr(&recurse_program);
    }

    void compiledPrograms()
    {
        QFETCH(QString, name);
        QFETCH(quintptr, host);
        std::vector<unsigned char> expected(0x10000);
        const int length = reinterpret_cast<HostProgram>(host)(expected.data());
        QVERIFY(length > 0);
        for (const bool recorded : {true, false}) {
            TestMachine machine;
            QVERIFY(Load(machine, name));
            QVERIFY(RunToEnd(machine, recorded) > 0);
            QCOMPARE(machine.emulator.errorMessage, QString());
            QCOMPARE(int(machine.memory.Read(outputLengthAddress, 32)), length);
            for (int i = 0; i < length; ++i) {
                const unsigned int byte = machine.memory.Read(outputAddress + unsigned(i), 8);
                QVERIFY2(byte == expected[std::size_t(i)],
                         qPrintable(QStringLiteral("byte %1 of the output: $%2 instead of $%3")
                                        .arg(i)
                                        .arg(byte, 0, 16)
                                        .arg(expected[std::size_t(i)], 0, 16)));
            }
        }
    }

    // The specialised handlers and the plain ones, instruction by instruction on whole
    // programs: the same registers after every step and the same memory at the end.
    void specialisedHandlersFollowThePlainOnes()
    {
        for (const char* name : {"compiled_sort", "compiled_crc", "compiled_format", "compiled_interp",
                                 "compiled_recurse", "program_arith", "program_logic", "program_control"}) {
            TestMachine specialised;
            TestMachine plain;
            plain.emulator.UseSpecialisedHandlers(false);
            QVERIFY(Load(specialised, name) && Load(plain, name));
            qint64 steps = 0;
            while (specialised.memory.Read(specialised.emulator.registers->pc, 16) != branchToItself) {
                QVERIFY2(steps < 50000000, name);
                specialised.emulator.QuickExecute();
                plain.emulator.QuickExecute();
                ++steps;
                if (!SameRegisters(*specialised.emulator.registers, *plain.emulator.registers))
                    QFAIL(qPrintable(QStringLiteral("%1: the registers differ after %2 instructions").arg(name).arg(steps)));
                QCOMPARE(specialised.emulator.errorMessage, plain.emulator.errorMessage);
            }
            QCOMPARE(MachineState(specialised).Difference(plain), QString());
        }
    }

    void undoTakesWholeRunsBack_data()
    {
        QTest::addColumn<QString>("name");
        for (const char* name : {"program_arith", "program_logic", "program_control", "program_exceptions",
                                 "compiled_sort", "compiled_crc", "compiled_format", "compiled_interp",
                                 "compiled_recurse"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void undoTakesWholeRunsBack()
    {
        QFETCH(QString, name);
        TestMachine machine;
        QVERIFY(Load(machine, name));
        const MachineState loaded(machine);
        const qint64 executed = RunToEnd(machine, true);
        QVERIFY(executed > 0);
        QCOMPARE(machine.emulator.errorMessage, QString());
        const int capacity = machine.emulator.undoList.capacity;
        QCOMPARE(capacity, 100000);
        QCOMPARE(qint64(machine.emulator.undoList.items.count()), qMin(executed, qint64(capacity)));
        if (executed <= capacity) {
            machine.emulator.Undo(0);
            QCOMPARE(loaded.Difference(machine), QString());
        } else {
            // Only the last 100000 instructions can be taken back: undoing them all must
            // give the state that a quick run reaches after the others.
            TestMachine reference;
            QVERIFY(Load(reference, name));
            for (qint64 i = 0; i < executed - capacity; ++i)
                reference.emulator.QuickExecute();
            QCOMPARE(machine.emulator.undoList.items.at(0)->pc, reference.emulator.registers->pc);
            machine.emulator.Undo(0);
            QCOMPARE(MachineState(reference).Difference(machine), QString());
        }
        QVERIFY(machine.emulator.undoList.items.isEmpty());
    }

    void historyDropsTheOldest()
    {
        TestMachine machine;
        // MOVEQ #1,D0 / ADDQ.L #1,D0 / BRA.S back to the ADDQ.
        machine.Prepare("7001 5280 60FC");
        for (int i = 0; i < 100001; ++i)
            machine.emulator.Execute();
        QCOMPARE(machine.emulator.undoList.items.count(), 100000);
        // The MOVEQ's item is gone: the oldest left is the first ADDQ.
        QCOMPARE(machine.emulator.undoList.items.at(0)->pc, 0x1002u);
        Register oldest;
        RegistersBefore(machine.emulator, 0, oldest);
        QCOMPARE(oldest.d[0], 1u);
        QCOMPARE(oldest.pc, 0x1002u);
        machine.emulator.Undo(0);
        QVERIFY(machine.Mismatches("D0=1 PC=$1002").isEmpty());
        machine.emulator.Undo();
        QVERIFY(machine.Mismatches("D0=1 PC=$1002").isEmpty());
    }

    // A slice of quick execution is so many single quick steps: the same state, exception,
    // message and count, whether it ends on its count, on a trace stop or on an address
    // error, on whole programs and on random code.
    void quickSlicesFollowSingleSteps()
    {
        for (const char* name : {"compiled_interp", "program_exceptions", "program_control"}) {
            TestMachine sliced;
            TestMachine stepped;
            QVERIFY(Load(sliced, name) && Load(stepped, name));
            const qint64 length = RunToEnd(stepped, false);
            QVERIFY(length > 0);
            // The interpreter in one slice, much longer than the handlers run without a return.
            const qint64 slice = QByteArray(name) == "compiled_interp" ? length : 997;
            qint64 executed = 0;
            while (executed < length)
                executed += sliced.emulator.QuickExecute(std::min<qint64>(slice, length - executed));
            QCOMPARE(executed, length);
            QCOMPARE(MachineState(stepped).Difference(sliced), QString());
            QCOMPARE(sliced.emulator.vector, stepped.emulator.vector);
        }
        QCOMPARE(TestMachine().emulator.QuickExecute(0), 0LL);

        // An instruction that sets the trace bit ends the slice before the next one: MOVE to
        // SR, ORI and EORI to SR, RTE (from a frame whose SR has it), through either table.
        for (const bool specialised : {true, false}) {
            for (const char* code : {"46FC A700 4E71 4E71", "007C 8000 4E71 4E71", "0A7C 8000 4E71 4E71",
                                     "2F3C 0000 100C 3F3C A700 4E73 4E71 4E71"}) {
                TestMachine machine;
                machine.emulator.UseSpecialisedHandlers(specialised);
                machine.Prepare(QString::fromLatin1(code));
                const int before = QString::fromLatin1(code).startsWith("2F3C") ? 3 : 1;
                QCOMPARE(machine.emulator.QuickExecute(100), qint64(before));
                QCOMPARE(machine.emulator.errorMessage, Emulator::TraceMessage());
                QCOMPARE(machine.emulator.vector, NoVector);
                QVERIFY(machine.emulator.registers->sr & Register::traceBit);
                QCOMPARE(machine.emulator.QuickExecute(100), 0LL);
                // A slice that ends on it leaves the stop to the next.
                machine.Prepare(QString::fromLatin1(code));
                QCOMPARE(machine.emulator.QuickExecute(before), qint64(before));
                QCOMPARE(machine.emulator.errorMessage, QString());
                QCOMPARE(machine.emulator.vector, NoVector);
                QCOMPARE(machine.emulator.QuickExecute(1), 0LL);
                QCOMPARE(machine.emulator.errorMessage, Emulator::TraceMessage());
            }
        }

        int ends[3] = {0, 0, 0};
        for (int trial = 0; trial < 300; ++trial) {
            TestMachine sliced;
            TestMachine stepped;
            QRandomGenerator a(0x51CE + trial);
            QRandomGenerator b(0x51CE + trial);
            Randomise(sliced, a);
            Randomise(stepped, b);
            const long long count = 1 + a.bounded(200);
            const long long steps = StepsOfSlice(stepped, count, false);
            QCOMPARE(sliced.emulator.QuickExecute(count), steps);
            QCOMPARE(sliced.emulator.errorMessage, stepped.emulator.errorMessage);
            QCOMPARE(sliced.emulator.vector, stepped.emulator.vector);
            QCOMPARE(MachineState(stepped).Difference(sliced), QString());
            ++ends[stepped.emulator.errorMessage.isEmpty() ? 0
                   : stepped.emulator.errorMessage == Emulator::TraceMessage() ? 1 : 2];
        }
        // The trials ended all three ways.
        QVERIFY(ends[0] > 0 && ends[1] > 0 && ends[2] > 0);
    }

    // A recorded slice is so many recorded steps: the same state, history, message, vector
    // and count, on whole programs (past a full history) and on random code. Given
    // breakpoints, it stops before the first instruction that they mark, by address or by
    // word, and leaves a stop on the trace bit to the next step, which a run looks up after
    // its breakpoints.
    void recordedSlicesFollowSingleSteps()
    {
        const auto historyDifference = [](const TestMachine& x, const TestMachine& y) {
            const UndoItemRing& a = x.emulator.undoList.items;
            const UndoItemRing& b = y.emulator.undoList.items;
            if (a.count() != b.count())
                return QStringLiteral("%1 items instead of %2").arg(a.count()).arg(b.count());
            // Rewound side by side from the machines' registers.
            Register before(x.emulator.registers);
            Register other(y.emulator.registers);
            for (int i = a.count() - 1; i >= 0; --i) {
                a.Rewind(i, before);
                b.Rewind(i, other);
                const MemoryRecordList& m = a.at(i)->memory;
                const MemoryRecordList& n = b.at(i)->memory;
                bool same = SameRegisters(before, other) && m.count() == n.count();
                for (int j = 0; same && j < m.count(); ++j)
                    same = m[j].address == n[j].address && m[j].value == n[j].value && m[j].size == n[j].size;
                if (!same)
                    return QStringLiteral("item %1").arg(i);
            }
            return QString();
        };
        for (const char* name : {"compiled_interp", "program_exceptions", "program_control"}) {
            TestMachine sliced;
            TestMachine stepped;
            QVERIFY(Load(sliced, name) && Load(stepped, name));
            const qint64 length = RunToEnd(stepped, true);
            QVERIFY(length > 0);
            qint64 executed = 0;
            while (executed < length)
                executed += sliced.emulator.Execute(std::min<qint64>(997, length - executed));
            QCOMPARE(executed, length);
            QCOMPARE(MachineState(stepped).Difference(sliced), QString());
            QCOMPARE(historyDifference(sliced, stepped), QString());
            QCOMPARE(sliced.emulator.vector, stepped.emulator.vector);
        }
        QVERIFY(TestMachine().emulator.undoList.items.isEmpty());

        BreakpointIndex none;
        none.Build(AddressBreakpointList(), InstructionBreakpointList());

        // Breakpoints on an address, on a word, on both: the slice ends before the first
        // instruction marked, which it has not executed, and ends there again at once.
        TestMachine reference;
        QVERIFY(Load(reference, "compiled_sort"));
        QVector<unsigned int> pcs;
        QVector<unsigned int> words;
        for (int i = 0; i < 3000; ++i) {
            pcs << reference.emulator.registers->pc;
            words << reference.memory.Read(pcs.last(), 16);
            reference.emulator.Execute();
        }
        for (int kinds = 1; kinds <= 3; ++kinds) {
            AddressBreakpointList addresses;
            InstructionBreakpointList instructions;
            if (kinds & 1)
                addresses << pcs[2500] << 0xFF0000;
            if (kinds & 2)
                instructions << static_cast<unsigned short>(words[1700]);
            BreakpointIndex index;
            index.Build(addresses, instructions);
            int first = 0;
            while (!addresses.contains(pcs[first]) && !instructions.contains(static_cast<unsigned short>(words[first])))
                ++first;
            QVERIFY(first > 0);
            TestMachine sliced;
            QVERIFY(Load(sliced, "compiled_sort"));
            QCOMPARE(sliced.emulator.Execute(1000000, &index), qint64(first));
            QCOMPARE(sliced.emulator.registers->pc, pcs[first]);
            QCOMPARE(sliced.emulator.undoList.items.last()->pc, pcs[first - 1]);
            QCOMPARE(sliced.emulator.Execute(1000000, &index), 0LL);
            QCOMPARE(sliced.emulator.errorMessage, QString());
        }

        // After an instruction that sets the trace bit, or a line 1010 word that leaves its
        // vector untaken, a slice that stops before the next instruction (on the trace bit,
        // or a breakpoint on NOP) leaves what steps leave. Only without breakpoints does it
        // tell the trace stop at once.
        InstructionBreakpointList nop;
        nop << 0x4E71;
        BreakpointIndex atNop;
        atNop.Build(AddressBreakpointList(), nop);
        for (const QString code : {"46FC A700 4E71", "0A7C 8000 4E71", "2F3C 0000 100C 3F3C A700 4E73 4E71", "A000 4E71"}) {
            const bool traces = !code.startsWith('A');
            for (const BreakpointIndex* index : {&atNop, traces ? nullptr : &atNop}) {
                TestMachine sliced;
                TestMachine stepped;
                sliced.Prepare(code);
                stepped.Prepare(code);
                const int before = code.startsWith("2F3C") ? 3 : 1;
                for (int i = 0; i < before; ++i)
                    stepped.emulator.Execute();
                QCOMPARE(sliced.emulator.Execute(100, index), qint64(before));
                QCOMPARE(sliced.emulator.errorMessage, index ? QString() : Emulator::TraceMessage());
                QCOMPARE(sliced.emulator.vector, stepped.emulator.vector);
                QCOMPARE(historyDifference(sliced, stepped), QString());
            }
        }

        // Two machines for every trial: whatever a trial leaves outside the windows that
        // Clear empties, it left the same in both.
        int ends[3] = {0, 0, 0};
        TestMachine sliced;
        TestMachine stepped;
        for (int trial = 0; trial < 300; ++trial) {
            sliced.Clear();
            stepped.Clear();
            QRandomGenerator a(0x5EC0 + trial);
            QRandomGenerator b(0x5EC0 + trial);
            Randomise(sliced, a);
            Randomise(stepped, b);
            const long long count = 1 + a.bounded(200);
            const long long steps = StepsOfSlice(stepped, count, true);
            const bool withIndex = trial % 2;
            QCOMPARE(sliced.emulator.Execute(count, withIndex ? &none : nullptr), steps);
            if (withIndex && stepped.emulator.errorMessage == Emulator::TraceMessage()) {
                QCOMPARE(sliced.emulator.errorMessage, QString());
                sliced.emulator.Execute();
            }
            QCOMPARE(sliced.emulator.errorMessage, stepped.emulator.errorMessage);
            QCOMPARE(sliced.emulator.vector, stepped.emulator.vector);
            QCOMPARE(MachineState(stepped).Difference(sliced), QString());
            QCOMPARE(historyDifference(sliced, stepped), QString());
            ++ends[stepped.emulator.errorMessage.isEmpty() ? 0
                   : stepped.emulator.errorMessage == Emulator::TraceMessage() ? 1 : 2];
        }
        QVERIFY(ends[0] > 0 && ends[1] > 0 && ends[2] > 0);
    }

    // A quick slice given breakpoints is so many quick steps up to the first instruction
    // that they mark, by address or by word (read at an odd pc too, where the fetch would
    // fault), which it does not execute; it leaves a stop on the trace bit to the next step,
    // and the instruction breakpoint at an odd pc to the run's lookup, not to an address error.
    void quickSlicesStopBeforeMarks()
    {
        TestMachine reference;
        QVERIFY(Load(reference, "compiled_crc"));
        QVector<unsigned int> pcs;
        QVector<unsigned int> words;
        for (int i = 0; i < 3000; ++i) {
            pcs << reference.emulator.registers->pc;
            words << reference.memory.Read(pcs.last(), 16);
            reference.emulator.QuickExecute();
        }
        for (int kinds = 1; kinds <= 3; ++kinds) {
            AddressBreakpointList addresses;
            InstructionBreakpointList instructions;
            if (kinds & 1)
                addresses << pcs[2100] << 0xFF0000;
            // One word, tested by a comparison; with another, through the bitmap.
            if (kinds & 2)
                instructions << static_cast<unsigned short>(words[1300]);
            // The second word comes before the first one's first use, where the bitmap stops.
            if (kinds == 3) {
                const int firstUse = words.indexOf(words[1300]);
                QVERIFY(firstUse > 1);
                instructions << static_cast<unsigned short>(words[firstUse / 2]);
            }
            BreakpointIndex index;
            index.Build(addresses, instructions);
            int first = 0;
            while (!addresses.contains(pcs[first]) && !instructions.contains(static_cast<unsigned short>(words[first])))
                ++first;
            QVERIFY(first > 0);
            TestMachine sliced;
            QVERIFY(Load(sliced, "compiled_crc"));
            QCOMPARE(sliced.emulator.QuickExecute(1000000, &index), qint64(first));
            QCOMPARE(sliced.emulator.registers->pc, pcs[first]);
            QCOMPARE(sliced.emulator.QuickExecute(1000000, &index), 0LL);
            QCOMPARE(sliced.emulator.errorMessage, QString());
            QVERIFY(sliced.emulator.undoList.items.isEmpty());
        }

        // Marks that change from one slice to the next, on one machine: the words that a slice
        // stopped before run as themselves in the next, whose marks lie elsewhere.
        {
            TestMachine changing;
            TestMachine stepped;
            QVERIFY(Load(changing, "compiled_crc"));
            QVERIFY(Load(stepped, "compiled_crc"));
            const unsigned short marked = static_cast<unsigned short>(words[1300]);
            const unsigned short other = static_cast<unsigned short>(words[words.indexOf(words[1300]) / 2]);
            InstructionBreakpointList one;
            one << marked;
            InstructionBreakpointList two;
            two << marked << other;
            InstructionBreakpointList elsewhere;
            elsewhere << 0x4AFC << 0x4AFD;
            BreakpointIndex byOne, byTwo, byElsewhere;
            byOne.Build(AddressBreakpointList(), one);
            byTwo.Build(AddressBreakpointList(), two);
            byElsewhere.Build(AddressBreakpointList(), elsewhere);
            long long done = changing.emulator.QuickExecute(3000, &byOne);
            QCOMPARE(changing.memory.Read(changing.emulator.registers->pc, 16), unsigned(marked));
            for (const BreakpointIndex* index : {&byElsewhere, &byTwo, &byElsewhere})
                done += changing.emulator.QuickExecute(1000, index);
            QCOMPARE(changing.emulator.errorMessage, QString());
            for (long long i = 0; i < done; ++i)
                stepped.emulator.QuickExecute();
            QCOMPARE(MachineState(stepped).Difference(changing), QString());
        }

        // An odd pc whose word is marked: the slice stops before it, without a fault. The
        // word twice in the list is still one word.
        InstructionBreakpointList illegal;
        illegal << 0x4AFC << 0x4AFC;
        BreakpointIndex atIllegal;
        atIllegal.Build(AddressBreakpointList(), illegal);
        TestMachine odd;
        odd.Prepare("4E71");
        odd.memory.Write(0x1001, 0x4AFC, 16, true);
        odd.emulator.registers->pc = 0x1001;
        QCOMPARE(odd.emulator.QuickExecute(10, &atIllegal), 0LL);
        QCOMPARE(odd.emulator.errorMessage, QString());
        QCOMPARE(odd.emulator.Execute(10, &atIllegal), 0LL);
        QCOMPARE(odd.emulator.errorMessage, QString());
        QCOMPARE(odd.emulator.QuickExecute(10), 1LL);
        QCOMPARE(odd.emulator.errorMessage, Emulator::AddressErrorMessage());

        // After an instruction that sets the trace bit, or a line 1010 word that leaves its
        // vector untaken, the slice stops where steps stop, leaving their vector.
        InstructionBreakpointList nop;
        nop << 0x4E71;
        BreakpointIndex atNop;
        atNop.Build(AddressBreakpointList(), nop);
        // In recorded slices too, and after an instruction that leaves no vector.
        for (const QString code :
             {"46FC A700 4E71", "0A7C 8000 4E71", "2F3C 0000 100C 3F3C A700 4E73 4E71", "A000 4E71", "7001 4E71"}) {
            TestMachine sliced;
            TestMachine recorded;
            TestMachine stepped;
            sliced.Prepare(code);
            recorded.Prepare(code);
            stepped.Prepare(code);
            const int before = code.startsWith("2F3C") ? 3 : 1;
            for (int i = 0; i < before; ++i)
                stepped.emulator.Execute();
            QCOMPARE(sliced.emulator.QuickExecute(100, &atNop), qint64(before));
            QCOMPARE(recorded.emulator.Execute(100, &atNop), qint64(before));
            for (const TestMachine* machine : {&sliced, &recorded}) {
                QCOMPARE(machine->emulator.errorMessage, QString());
                QCOMPARE(machine->emulator.vector, stepped.emulator.vector);
                QCOMPARE(MachineState(stepped).Difference(*machine), QString());
            }
            QCOMPARE(recorded.emulator.undoList.items.count(), before);
        }

        // Branches, jumps and returns to an odd address inside a slice fault where steps do.
        for (const QString code : {"41F9 0000 1001 4ED0", "7003 51C8 0003", "41F9 0000 1001 4E90", "7000 6001",
                                   "6100 0003", "2F3C 0000 1001 4E75", "41F9 0000 1001 4EE8 0004"}) {
            TestMachine sliced;
            TestMachine stepped;
            sliced.Prepare(code);
            stepped.Prepare(code);
            long long steps = 0;
            while (steps < 8 && stepped.emulator.errorMessage.isEmpty()) {
                stepped.emulator.QuickExecute();
                ++steps;
            }
            QCOMPARE(stepped.emulator.errorMessage, Emulator::AddressErrorMessage());
            QCOMPARE(sliced.emulator.QuickExecute(8, &atNop), steps);
            QCOMPARE(sliced.emulator.errorMessage, stepped.emulator.errorMessage);
            QCOMPARE(MachineState(stepped).Difference(sliced), QString());
        }

        // Straight-line code that runs on from the main array into the video memory.
        {
            TestMachine sliced;
            TestMachine stepped;
            for (TestMachine* machine : {&sliced, &stepped}) {
                machine->Prepare("4E71");
                machine->Place(MemoryBuffer::videoStart - 4, "7001 7202 7403 7604 7805");
                machine->emulator.registers->pc = MemoryBuffer::videoStart - 4;
            }
            for (int i = 0; i < 5; ++i)
                stepped.emulator.QuickExecute();
            QCOMPARE(sliced.emulator.QuickExecute(5), 5LL);
            QCOMPARE(stepped.emulator.registers->d[4], 5u);
            QCOMPARE(MachineState(stepped).Difference(sliced), QString());
        }

        // Random code, with marks that no instruction meets: the steps' state, message and
        // vector, the trace stop told by the next step.
        BreakpointIndex none;
        AddressBreakpointList far;
        far << 0xFFFFFE;
        none.Build(far, illegal);
        int ends[3] = {0, 0, 0};
        TestMachine sliced;
        TestMachine stepped;
        for (int trial = 0; trial < 300; ++trial) {
            sliced.Clear();
            stepped.Clear();
            QRandomGenerator a(0x9D1C + trial);
            QRandomGenerator b(0x9D1C + trial);
            Randomise(sliced, a);
            Randomise(stepped, b);
            const long long count = 1 + a.bounded(200);
            long long steps = 0;
            while (steps < count && !(stepped.emulator.registers->sr & Register::traceBit)
                   && stepped.memory.Read(stepped.emulator.registers->pc, 16) != 0x4AFC) {
                stepped.emulator.QuickExecute();
                ++steps;
                if (!stepped.emulator.errorMessage.isEmpty())
                    break;
            }
            QCOMPARE(sliced.emulator.QuickExecute(count, &none), steps);
            const bool traced = stepped.emulator.errorMessage.isEmpty() && steps < count
                                && (stepped.emulator.registers->sr & Register::traceBit);
            if (traced) {
                QCOMPARE(sliced.emulator.errorMessage, QString());
                sliced.emulator.QuickExecute();
                stepped.emulator.QuickExecute();
            }
            QCOMPARE(sliced.emulator.errorMessage, stepped.emulator.errorMessage);
            QCOMPARE(sliced.emulator.vector, stepped.emulator.vector);
            QCOMPARE(MachineState(stepped).Difference(sliced), QString());
            ++ends[traced ? 1 : stepped.emulator.errorMessage.isEmpty() ? 0 : 2];
        }
        QVERIFY(ends[0] > 0 && ends[1] > 0 && ends[2] > 0);
    }

    // An exception whose processing faults (the supervisor stack is odd) ends on the
    // instruction that raised it, through either table: a slice counts it and stops where
    // single steps stop, with the address error; recorded, the instruction is taken back.
    void exceptionThatFaultsEndsOnItsInstruction()
    {
        // MOVEQ #1,D0; then TRAP #0, DIVU by zero or an illegal word; then MOVEQ #2,D0.
        for (const char* raiser : {"4E40", "80FC 0000", "4AFC"}) {
            const QString code = QStringLiteral("7001 %1 7002").arg(QLatin1String(raiser));
            for (const bool specialised : {true, false}) {
                TestMachine sliced;
                TestMachine stepped;
                TestMachine recorded;
                for (TestMachine* machine : {&sliced, &stepped, &recorded}) {
                    machine->emulator.UseSpecialisedHandlers(specialised);
                    machine->Prepare(code);
                    machine->emulator.registers->ssp = 0x7FFF;
                }
                QCOMPARE(sliced.emulator.QuickExecute(10), 2LL);
                QCOMPARE(sliced.emulator.errorMessage, Emulator::AddressErrorMessage());
                stepped.emulator.QuickExecute();
                stepped.emulator.QuickExecute();
                QCOMPARE(stepped.emulator.errorMessage, Emulator::AddressErrorMessage());
                QCOMPARE(MachineState(stepped).Difference(sliced), QString());
                QCOMPARE(sliced.emulator.registers->d[0], 1u);

                recorded.emulator.Execute();
                const unsigned int pc = recorded.emulator.registers->pc;
                recorded.emulator.Execute();
                QCOMPARE(recorded.emulator.errorMessage, Emulator::AddressErrorMessage());
                QCOMPARE(recorded.emulator.undoList.items.count(), 1);
                QCOMPARE(recorded.emulator.registers->pc, pc);
                QCOMPARE(recorded.emulator.registers->ssp, 0x7FFFu);
                QCOMPARE(recorded.emulator.registers->sr, 0x2700u);
            }
        }
    }

    // In a slice, the flags of the frequent instructions wait for a reader. Every kind of
    // writer followed by every kind of reader (branches and Scc on each condition, DBcc, X
    // readers, shifts and rotations, SR and CCR moves, an exception that stacks SR) must
    // leave what two single steps leave, from registers chosen to hit equal, zero, negative
    // and overflowing operands.
    void deferredFlagsMeetEveryReader()
    {
        const QStringList writers = {
            "D081",      "D001",      "9041",      "9280", "B081", "B041", "B0C1", "B1C1", "1001", "2001", "70FF",
            "7000",      "4A40",      "4A80",      "4280", "4200", "C081", "8041", "B300", "5200", "5180", "5548",
            "D390",      "9190",      "0C80 8000 0000", "E2A8", "E748", "E200", "E3A0", "E378", "E098", "E2B0"};
        QStringList readers = {"D181", "4000", "E390", "E270", "E398", "E348", "E240", "40C3", "44C2", "023C 001F",
                               "4E40", "C101", "2602", "4203", "B081 6702", "4A80 6B02"};
        for (unsigned int cc = 0; cc < 16; ++cc) {
            readers << QStringLiteral("%1").arg(0x6002 | (cc << 8), 4, 16) << QStringLiteral("%1").arg(0x50C2 | (cc << 8), 4, 16)
                    << QStringLiteral("%1 0002").arg(0x50CA | (cc << 8), 4, 16);
        }
        const unsigned int values[] = {0, 1, 0x7F, 0x80, 0xFF, 0x7FFF, 0x8000, 0xFFFF, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
        QRandomGenerator random(0xF1A6);
        TestMachine stepped;
        TestMachine sliced;
        int checked = 0;
        for (const QString& writer : writers) {
            for (const QString& reader : readers) {
                for (int trial = 0; trial < 4; ++trial) {
                    const QString code = writer + ' ' + reader + " 4E71 4E71";
                    stepped.Clear();
                    sliced.Clear();
                    stepped.Prepare(code);
                    sliced.Prepare(code);
                    Register& r = *stepped.emulator.registers;
                    for (unsigned int& d : r.d)
                        d = random.bounded(2) ? values[random.bounded(int(std::size(values)))] : random.generate();
                    r.d[1] = random.bounded(3) ? r.d[0] : r.d[1];
                    r.a[0] = 0x4000;
                    r.sr = (r.sr & 0xFF00) | (random.generate() & Register::ccrMask);
                    stepped.memory.Write(0x4000, r.d[random.bounded(4)], 32, true);
                    sliced.emulator.registers->Copy(r);
                    sliced.memory.Write(0x4000, stepped.memory.Read(0x4000, 32), 32, true);
                    const int instructions = reader.startsWith("B081") || reader.startsWith("4A80") ? 3 : 2;
                    for (int i = 0; i < instructions; ++i)
                        stepped.emulator.QuickExecute();
                    QCOMPARE(sliced.emulator.QuickExecute(instructions), qint64(instructions));
                    // What these instructions can change: registers, the long at (A0) and the
                    // top of the supervisor stack.
                    const auto state = [](TestMachine& machine) {
                        const Register& m = *machine.emulator.registers;
                        QString text = QString::number(m.sr, 16) + ' ' + QString::number(m.pc, 16);
                        for (unsigned int i = 0; i < 8; ++i)
                            text += ' ' + QString::number(m.d[i], 16);
                        text += ' ' + QString::number(m.a[0], 16) + ' ' + QString::number(m.ssp, 16);
                        for (unsigned int a = 0x4000; a < 0x4004; a += 4)
                            text += ' ' + QString::number(machine.memory.Read(a, 32), 16);
                        for (unsigned int a = TestMachine::stackTop - 8; a < TestMachine::stackTop; a += 2)
                            text += ' ' + QString::number(machine.memory.Read(a, 16), 16);
                        return text;
                    };
                    QCOMPARE(code + ": " + state(sliced), code + ": " + state(stepped));
                    ++checked;
                }
            }
        }
        QCOMPARE(checked, 32 * 64 * 4);
    }

    void quickExecutionAllocatesNothing()
    {
        for (const char* name : {"compiled_interp", "compiled_sort", "program_exceptions"}) {
            TestMachine machine;
            QVERIFY(Load(machine, QString::fromLatin1(name)));
            for (int i = 0; i < 1000; ++i)
                machine.emulator.QuickExecute();
            const std::size_t before = AllocationCounter::Now();
            for (int i = 0; i < 200000; ++i)
                machine.emulator.QuickExecute();
            machine.emulator.QuickExecute(200000);
            QCOMPARE(AllocationCounter::Now(), before);
            QCOMPARE(machine.emulator.errorMessage, QString());
        }
    }

    void randomInput()
    {
        QRandomGenerator random(0x5EED);
        const QString trace = Emulator::TraceMessage();
        const QString address = Emulator::AddressErrorMessage();
        for (const bool recorded : {true, false}) {
            TestMachine machine;
            Emulator& emulator = machine.emulator;
            Register& r = *emulator.registers;
            int stops = 0;
            int taken = 0;
            for (int trial = 0; trial < 150; ++trial) {
                Randomise(machine, random);
                emulator.undoList.items.clear();
                std::unique_ptr<MachineState> start;

                for (int step = 0; step < 300; ++step) {
                    const bool traced = r.sr & Register::traceBit;
                    const Register before(&r);
                    // What undoing everything must come back to: the state before the first
                    // step that leaves an item (line 1010 and 1111 words leave none).
                    if (recorded && emulator.undoList.items.isEmpty())
                        start.reset(new MachineState(machine));
                    const int items = emulator.undoList.items.count();
                    try {
                        Step(emulator, recorded);
                    } catch (...) {
                        QFAIL("an exception left the emulator");
                    }
                    const int v = int(emulator.vector);
                    QVERIFY2(v == -1 || (v >= 4 && v <= 8) || v == 10 || v == 11 || (v >= 32 && v <= 47),
                             qPrintable(QString::number(v)));
                    if (traced) {
                        QCOMPARE(emulator.errorMessage, trace);
                        QVERIFY(SameRegisters(before, r));
                        ++stops;
                        break;
                    }
                    if (!emulator.errorMessage.isEmpty()) {
                        QCOMPARE(emulator.errorMessage, address);
                        if (recorded) {
                            QVERIFY(SameRegisters(before, r));
                            QCOMPARE(emulator.undoList.items.count(), items);
                        }
                        ++stops;
                        break;
                    }
                    if (v >= 4 && v != 10 && v != 11)
                        ++taken;
                }
                QVERIFY(!machine.memory.recording);
                if (recorded && start) {
                    // Every step, the stopped one included, is taken back byte for byte.
                    emulator.Undo(0);
                    QCOMPARE(start->Difference(machine), QString());
                }
            }
            // The trials did reach both outcomes.
            QVERIFY(stops > 0);
            QVERIFY(taken > 0);
        }
    }
};

QTEST_GUILESS_MAIN(ProgramsTest)
#include "tst_programs.moc"
