#ifndef ZENDRA_TESTS_DISASSEMBLER_TESTMACHINE_H
#define ZENDRA_TESTS_DISASSEMBLER_TESTMACHINE_H

#include "core/Disassembler.h"
#include "core/Memory.h"

#include <QByteArray>
#include <QString>

#include <memory>

// A 16 MiB address space with a disassembler on it, and the helpers the tests share.
class TestMachine
{
public:
    TestMachine();

    // Stores hexadecimal groups ("4E56 FFF8", "23FC 12345678") from address on, big-endian.
    void Store(unsigned int address, const QString& groups);
    void StoreBytes(unsigned int address, const QByteArray& bytes);
    // count bytes from address, wrapping at the top of memory as the processor does.
    QByteArray Bytes(unsigned int address, int count) const;
    // Disassembles at address and returns the line as "MNEMONIC OPERANDS".
    QString LineAt(unsigned int address);

    // "MNEMONIC OPERANDS", or the mnemonic alone.
    static QString Text(const Disassembler& disassembler);
    // Bytes that a machine-code text stands for: groups of 4 or 8 upper-case hexadecimal
    // digits separated by one blank; -1 if the text has any other shape.
    static int MachineCodeBytes(const QString& machineCode);
    // The bytes that a machine-code text stands for, or an empty array if malformed.
    static QByteArray MachineCodeToBytes(const QString& machineCode);

    std::unique_ptr<unsigned char[]> video;
    Memory memory;
    Disassembler disassembler;
};

#endif
