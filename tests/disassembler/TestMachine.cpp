#include "TestMachine.h"

#include <QStringList>

TestMachine::TestMachine()
    : video(new unsigned char[MemoryBuffer::videoSize]), memory(video.get()), disassembler(&memory)
{
}

void TestMachine::Store(unsigned int address, const QString& groups)
{
    StoreBytes(address, QByteArray::fromHex(QString(groups).remove(QLatin1Char(' ')).toLatin1()));
}

void TestMachine::StoreBytes(unsigned int address, const QByteArray& bytes)
{
    for (int i = 0; i < bytes.size(); ++i)
        memory.Write(address + unsigned(i), static_cast<unsigned char>(bytes[i]), 8, true);
}

QByteArray TestMachine::Bytes(unsigned int address, int count) const
{
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char(memory.Read((address + unsigned(i)) & Memory::addressMask, 8)));
    return bytes;
}

QString TestMachine::LineAt(unsigned int address)
{
    disassembler.SetStartAddress(address);
    disassembler.Disassemble();
    return Text(disassembler);
}

QString TestMachine::Text(const Disassembler& disassembler)
{
    if (disassembler.operand.isEmpty())
        return disassembler.mnemonic;
    return disassembler.mnemonic + QLatin1Char(' ') + disassembler.operand;
}

int TestMachine::MachineCodeBytes(const QString& machineCode)
{
    const QByteArray bytes = MachineCodeToBytes(machineCode);
    return bytes.isEmpty() ? -1 : bytes.size();
}

QByteArray TestMachine::MachineCodeToBytes(const QString& machineCode)
{
    QByteArray bytes;
    for (const QString& group : machineCode.split(QLatin1Char(' '))) {
        if (group.size() != 4 && group.size() != 8)
            return QByteArray();
        for (const QChar c : group) {
            if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('A') && c <= QLatin1Char('F'))))
                return QByteArray();
        }
        bytes += QByteArray::fromHex(group.toLatin1());
    }
    return bytes;
}
