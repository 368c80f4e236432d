#ifndef ZENDRA_TESTS_EMULATOR_TESTMACHINE_H
#define ZENDRA_TESTS_EMULATOR_TESTMACHINE_H

#include "core/Emulator.h"
#include "core/Memory.h"

#include <QString>
#include <QStringList>

#include <memory>

// A memory, its video area and an emulator, with a small notation for setting up and checking
// machine state in data-driven tests: "D0=$FF A0=$2000 CCR=%10101 [$2000].w=$1234 vector=5".
// Names are the register set's own ("D0", "A7", "SR", "CCR", "X", ...), plus "vector" and
// "error" (none, trace or address) on the checking side.
class TestMachine
{
public:
    static constexpr unsigned int codeAddress = 0x1000;
    static constexpr unsigned int stackTop = 0x8000;
    static constexpr unsigned int userStackTop = 0x6000;
    // Exception vector n leads to handlerBase + 16 * n, where a NOP waits.
    static constexpr unsigned int handlerBase = 0x3000;

    // The windows of the address space that the unit tests use: the vectors, code, data and
    // stacks at the bottom, and the top, where absolute short addresses land.
    static constexpr unsigned int lowWindow = 0x20000;
    static constexpr unsigned int highWindow = 0xFF0000;

    TestMachine();

    // Back to the state of a new machine within the windows: registers and windows zero,
    // empty history, no message. Cheaper than a new 16 MiB machine for every test row.
    void Clear();

    // Supervisor state, ssp = stackTop, usp = userStackTop, pc = codeAddress, the words
    // placed at pc and a vector table leading to handlerBase.
    void Prepare(const QString& code);
    void Place(unsigned int address, const QString& words);
    void Apply(const QString& assignments);
    // Every assignment that does not hold, described; empty when all hold.
    QString Mismatches(const QString& expectations);
    // A textual view of registers and memory, for comparing two machines.
    QString State(unsigned int from, unsigned int to);
    // The registers and the two windows, raw, for comparing a machine with itself.
    QByteArray Snapshot() const;

    static unsigned int Number(const QString& text, bool* ok = nullptr);

    // Runs the code from the prepared state plus before, once recorded and once quick, for
    // steps instructions, and checks after in both; the recorded run must also undo back to
    // the exact state it started from. Returns what went wrong, empty when nothing did.
    static QString CheckInstruction(const QString& code, const QString& before, const QString& after, int steps = 1);

    std::unique_ptr<unsigned char[]> video;
    Memory memory;
    Emulator emulator;

private:
    bool Access(const QString& name, unsigned int& address, int& size) const;
};

#endif
