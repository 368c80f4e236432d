#ifndef ZENDRA_CORE_EMULATOR_H
#define ZENDRA_CORE_EMULATOR_H

#include "core/Decoder.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "core/UndoList.h"
#include "core/VectorNumber.h"

#include <QString>

// Executes 68000 instructions against a Memory and its own register set: the decoder
// classifies the fetched word and calls the handler of its kind. Recorded execution keeps
// an undo item per instruction; quick execution keeps nothing.
class Emulator : public Decoder
{
    Q_OBJECT

public:
    // Condition code bits of SR.
    static constexpr unsigned int FlagC = 0x01;
    static constexpr unsigned int FlagV = 0x02;
    static constexpr unsigned int FlagZ = 0x04;
    static constexpr unsigned int FlagN = 0x08;
    static constexpr unsigned int FlagX = 0x10;

    explicit Emulator(Memory* memory);
    ~Emulator() override;

    void Execute();
    void QuickExecute();
    void Undo();
    void Undo(int count);

    void Reset();
    unsigned int GetVector(VectorNumber number);
    void ExceptionProcessing(VectorNumber number);

    // Memory access as instructions see it: a word or long at an odd address faults.
    inline unsigned int Read(unsigned int address, int size);
    inline void Write(unsigned int address, unsigned int value, int size);

    inline unsigned int GetAddress(unsigned int mode, unsigned int reg, int size, bool update, bool advance);
    inline unsigned int ReadOperand(unsigned int mode, unsigned int reg, int size, bool update, bool advance);
    inline void WriteOperand(unsigned int value, unsigned int mode, unsigned int reg, int size);

    static int Size(unsigned int bits, unsigned int encoding);
    static unsigned int GetN(unsigned int value, int size);
    static unsigned int GetZ(unsigned int value, int size);
    static unsigned int ExtendSign(unsigned char value) { return unsigned(int(static_cast<signed char>(value))); }
    static unsigned int ExtendSign(unsigned short value) { return unsigned(int(static_cast<short>(value))); }
    static unsigned int TestBit(unsigned int value, unsigned int bit) { return (value >> (bit & 31)) & 1; }
    static unsigned int SetBit(unsigned int value, unsigned int bit) { return value | (1u << (bit & 31)); }
    static unsigned int ClearBit(unsigned int value, unsigned int bit) { return value & ~(1u << (bit & 31)); }
    static unsigned int InvertBit(unsigned int value, unsigned int bit) { return value ^ (1u << (bit & 31)); }
    static int CountOne(unsigned short mask);
    static unsigned short Invert(unsigned short mask);
    static unsigned int Lsl(unsigned long long& value, int count, int size);
    static unsigned int Lsr(unsigned long long& value, int count, int size);
    static unsigned int Asr(unsigned long long& value, int count, int size);
    unsigned int Rol(unsigned long long& value, int count, int size);
    unsigned int Ror(unsigned long long& value, int count, int size);
    unsigned int Roxl(unsigned long long& value, bool extend, int count, int size);
    unsigned int Roxr(unsigned long long& value, bool extend, int count, int size);

    // The two stop messages.
    static QString TraceMessage();
    static QString AddressErrorMessage();

    VectorNumber vector;
    UndoList undoList;
    QString errorMessage;
    Memory* memory;
    Register* registers;

protected:
    ZENDRA_DECLARE_HANDLERS

private:
    [[noreturn]] static void ThrowAddressError();
    static unsigned int SizeMask(int size) { return 0xFFFFFFFFu >> (32 - size); }
    static unsigned int SignBit(int size) { return 1u << (size - 1); }
    // The value of the index register that a brief extension word names.
    unsigned int Index(unsigned int extension) const;
    bool Condition(unsigned int cc) const;
    // Replaces the condition code bits of mask with bits.
    void SetFlags(unsigned int mask, unsigned int bits) { registers->sr = (registers->sr & ~mask) | bits; }
    static unsigned int NZ(unsigned int result, int size);
    static unsigned int AddFlags(unsigned int source, unsigned int destination, unsigned int result, int size);
    static unsigned int SubFlags(unsigned int source, unsigned int destination, unsigned int result, int size);
    // Privileged instructions in user state: raise the violation with pc back on the opcode.
    bool PrivilegeViolated();
    void Push(unsigned int value);
    unsigned int Pop();
    void ShiftRegister(int kind);
    void ShiftMemory(int kind);
    void BitOperation(int kind);
    bool FetchAndDecode();
    bool Unmatched();
};

inline unsigned int Emulator::Read(unsigned int address, int size)
{
    if ((address & 1) && size > 8)
        ThrowAddressError();
    return memory->Read(address, size);
}

inline void Emulator::Write(unsigned int address, unsigned int value, int size)
{
    if ((address & 1) && size > 8)
        ThrowAddressError();
    memory->Write(address, value, size, false);
}

inline unsigned int Emulator::Index(unsigned int extension) const
{
    const unsigned int n = (extension >> 12) & 7;
    const unsigned int value = (extension & 0x8000) ? registers->AnRef(n) : registers->d[n];
    return (extension & 0x800) ? value : unsigned(ExtendSign(static_cast<unsigned short>(value)));
}

inline unsigned int Emulator::GetAddress(unsigned int mode, unsigned int reg, int size, bool update, bool advance)
{
    Register& r = *registers;
    reg &= 7;
    switch (mode & 7) {
    case 2:
        return r.AnRef(reg);
    case 3: {
        unsigned int& an = r.AnRef(reg);
        const unsigned int address = an;
        if (update)
            an += (reg == 7 && size == 8) ? 2 : unsigned(size / 8);
        return address;
    }
    case 4: {
        unsigned int& an = r.AnRef(reg);
        const unsigned int address = an - ((reg == 7 && size == 8) ? 2 : unsigned(size / 8));
        if (update)
            an = address;
        return address;
    }
    case 5: {
        const unsigned int base = r.AnRef(reg);
        const unsigned int address = base + ExtendSign(static_cast<unsigned short>(Read(r.pc, 16)));
        if (advance)
            r.pc += 2;
        return address;
    }
    case 6: {
        const unsigned int base = r.AnRef(reg);
        const unsigned int extension = Read(r.pc, 16);
        if (advance)
            r.pc += 2;
        return base + Index(extension) + ExtendSign(static_cast<unsigned char>(extension));
    }
    case 7:
        switch (reg) {
        case 0: {
            const unsigned int address = ExtendSign(static_cast<unsigned short>(Read(r.pc, 16)));
            if (advance)
                r.pc += 2;
            return address;
        }
        case 1: {
            const unsigned int address = Read(r.pc, 32);
            if (advance)
                r.pc += 4;
            return address;
        }
        case 2: {
            const unsigned int base = r.pc;
            const unsigned int address = base + ExtendSign(static_cast<unsigned short>(Read(base, 16)));
            if (advance)
                r.pc += 2;
            return address;
        }
        case 3: {
            const unsigned int base = r.pc;
            const unsigned int extension = Read(base, 16);
            if (advance)
                r.pc += 2;
            return base + Index(extension) + ExtendSign(static_cast<unsigned char>(extension));
        }
        default:
            return 0;
        }
    default:
        return 0;
    }
}

inline unsigned int Emulator::ReadOperand(unsigned int mode, unsigned int reg, int size, bool update, bool advance)
{
    Register& r = *registers;
    switch (mode & 7) {
    case 0:
        return r.d[reg & 7];
    case 1:
        return r.AnRef(reg);
    case 7:
        if ((reg & 7) == 4) {
            if (size == 32) {
                const unsigned int value = Read(r.pc, 32);
                if (advance)
                    r.pc += 4;
                return value;
            }
            const unsigned int value = Read(r.pc, 16);
            if (advance)
                r.pc += 2;
            return value;
        }
        [[fallthrough]];
    default:
        return Read(GetAddress(mode, reg, size, update, advance), size);
    }
}

inline void Emulator::WriteOperand(unsigned int value, unsigned int mode, unsigned int reg, int size)
{
    switch (mode & 7) {
    case 0:
        registers->SetDn(reg, value, size);
        break;
    case 1:
        registers->SetAn(reg, value, size);
        break;
    default:
        Write(GetAddress(mode, reg, size, true, true), value, size);
        break;
    }
}

#endif
