#include "TestMachine.h"

#include <QRegularExpression>

#include <cstring>

TestMachine::TestMachine()
    : video(new unsigned char[MemoryBuffer::videoSize]), memory(video.get()), emulator(&memory)
{
}

unsigned int TestMachine::Number(const QString& text, bool* ok)
{
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith('-')) {
        negative = true;
        t = t.mid(1);
    }
    bool valid = false;
    unsigned int value;
    if (t.startsWith('$'))
        value = t.mid(1).toUInt(&valid, 16);
    else if (t.startsWith('%'))
        value = t.mid(1).toUInt(&valid, 2);
    else
        value = t.toUInt(&valid, 10);
    if (ok)
        *ok = valid;
    return negative ? 0u - value : value;
}

void TestMachine::Clear()
{
    std::memset(memory.buffer.mainBuffer, 0, lowWindow);
    for (unsigned int a = highWindow; a < 0x1000000; a += 4)
        memory.Write(a, 0, 32, true);
    emulator.registers->Copy(Register());
    emulator.undoList.items.clear();
    emulator.errorMessage.clear();
    emulator.vector = NoVector;
    memory.records.clear();
    memory.recording = false;
}

void TestMachine::Prepare(const QString& code)
{
    Register& r = *emulator.registers;
    r.sr = 0x2700;
    r.ssp = stackTop;
    r.usp = userStackTop;
    r.pc = codeAddress;
    for (unsigned int n = 2; n < 64; ++n) {
        memory.Write(n * 4, handlerBase + 16 * n, 32, true);
        memory.Write(handlerBase + 16 * n, 0x4E71, 16, true);
    }
    Place(codeAddress, code);
}

void TestMachine::Place(unsigned int address, const QString& words)
{
    for (const QString& word : words.split(' ', Qt::SkipEmptyParts)) {
        memory.Write(address, word.toUInt(nullptr, 16), 16, true);
        address += 2;
    }
}

bool TestMachine::Access(const QString& name, unsigned int& address, int& size) const
{
    static const QRegularExpression pattern(QStringLiteral("^\\[([^\\]]+)\\]\\.([bwl])$"));
    const QRegularExpressionMatch match = pattern.match(name);
    if (!match.hasMatch())
        return false;
    address = Number(match.captured(1));
    const QChar kind = match.captured(2).at(0);
    size = kind == 'b' ? 8 : kind == 'w' ? 16 : 32;
    return true;
}

void TestMachine::Apply(const QString& assignments)
{
    for (const QString& assignment : assignments.split(' ', Qt::SkipEmptyParts)) {
        const int equal = assignment.indexOf('=');
        const QString name = assignment.left(equal);
        const unsigned int value = Number(assignment.mid(equal + 1));
        unsigned int address;
        int size;
        if (Access(name, address, size))
            memory.Write(address, value, size, true);
        else
            emulator.registers->Set(name, value);
    }
}

QString TestMachine::Mismatches(const QString& expectations)
{
    QStringList wrong;
    for (const QString& expectation : expectations.split(' ', Qt::SkipEmptyParts)) {
        const int equal = expectation.indexOf('=');
        const QString name = expectation.left(equal);
        const QString wanted = expectation.mid(equal + 1);
        unsigned int actual;
        unsigned int address;
        int size;
        if (name == QLatin1String("error")) {
            QString state = QStringLiteral("none");
            if (emulator.errorMessage == Emulator::TraceMessage())
                state = QStringLiteral("trace");
            else if (emulator.errorMessage == Emulator::AddressErrorMessage())
                state = QStringLiteral("address");
            else if (!emulator.errorMessage.isEmpty())
                state = emulator.errorMessage;
            if (state != wanted)
                wrong << QStringLiteral("error is %1").arg(state);
            continue;
        }
        if (name == QLatin1String("vector"))
            actual = unsigned(int(emulator.vector));
        else if (Access(name, address, size))
            actual = memory.Read(address, size);
        else if (emulator.registers->IsRegister(name))
            actual = emulator.registers->Get(name);
        else {
            wrong << QStringLiteral("unknown name %1").arg(name);
            continue;
        }
        if (actual != Number(wanted))
            wrong << QStringLiteral("%1 is $%2, not %3").arg(name).arg(actual, 0, 16).arg(wanted);
    }
    return wrong.join(QStringLiteral(", "));
}

QString TestMachine::State(unsigned int from, unsigned int to)
{
    const Register& r = *emulator.registers;
    QStringList parts;
    for (int i = 0; i < 8; ++i)
        parts << QString::number(r.d[i], 16);
    for (int i = 0; i < 7; ++i)
        parts << QString::number(r.a[i], 16);
    parts << QString::number(r.pc, 16) << QString::number(r.usp, 16) << QString::number(r.ssp, 16)
          << QString::number(r.sr, 16);
    QByteArray bytes;
    for (unsigned int a = from; a < to; ++a)
        bytes.append(char(memory.Read(a, 8)));
    return parts.join(' ') + ' ' + QString::fromLatin1(bytes.toHex());
}

QByteArray TestMachine::Snapshot() const
{
    const Register& r = *emulator.registers;
    QByteArray bytes;
    bytes.append(reinterpret_cast<const char*>(r.d), sizeof r.d);
    bytes.append(reinterpret_cast<const char*>(r.a), sizeof r.a);
    for (const unsigned int value : {r.pc, r.usp, r.ssp, r.sr})
        bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
    const MemoryBuffer& b = memory.buffer;
    bytes.append(reinterpret_cast<const char*>(b.mainBuffer), lowWindow);
    bytes.append(reinterpret_cast<const char*>(b.mainBuffer) + highWindow, int(MemoryBuffer::videoStart - highWindow));
    bytes.append(reinterpret_cast<const char*>(b.videoBuffer), int(MemoryBuffer::videoSize));
    return bytes;
}

QString TestMachine::CheckInstruction(const QString& code, const QString& before, const QString& after, int steps)
{
    static TestMachine machines[3];
    QStringList problems;
    // Recorded and quick through the specialised handlers, then quick through the plain ones.
    for (int pass = 0; pass < 3; ++pass) {
        const bool recorded = pass == 0;
        TestMachine& machine = machines[pass];
        machine.emulator.UseSpecialisedHandlers(pass < 2);
        machine.Clear();
        machine.Prepare(code);
        machine.Apply(before);
        const QByteArray start = machine.Snapshot();
        for (int i = 0; i < steps; ++i) {
            if (recorded)
                machine.emulator.Execute();
            else
                machine.emulator.QuickExecute();
        }
        const QString wrong = machine.Mismatches(after);
        const QString mode = recorded ? QStringLiteral("recorded") : pass == 1 ? QStringLiteral("quick") : QStringLiteral("plain");
        if (!wrong.isEmpty())
            problems << mode + ": " + wrong;
        if (!recorded)
            continue;
        machine.emulator.Undo(0);
        if (machine.Snapshot() != start)
            problems << QStringLiteral("undo did not restore the registers and memory");
    }
    return problems.join(QStringLiteral("; "));
}
