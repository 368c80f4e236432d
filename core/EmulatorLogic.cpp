// Logical instructions, shifts and rotates, single-bit instructions.
#include "core/Emulator.h"

#include "core/InstructionSet.h"

namespace {

unsigned int EaMode(unsigned int opcode) { return (opcode >> 3) & 7; }
unsigned int EaReg(unsigned int opcode) { return opcode & 7; }
unsigned int RegX(unsigned int opcode) { return (opcode >> 9) & 7; }

enum BitKind { Test, Change, Clear, Set };

} // namespace

void Emulator::_AND()
{
    InstructionSet::Logic<InstructionSet::And>(*this, opcode, Size(opcode >> 6, 1), InstructionSet::FormOf(opcode),
                                               bool(opcode & 0x100));
}

void Emulator::_OR()
{
    InstructionSet::Logic<InstructionSet::Or>(*this, opcode, Size(opcode >> 6, 1), InstructionSet::FormOf(opcode),
                                              bool(opcode & 0x100));
}

void Emulator::_EOR()
{
    InstructionSet::Logic<InstructionSet::ExclusiveOr>(*this, opcode, Size(opcode >> 6, 1), InstructionSet::FormOf(opcode),
                                                       true);
}

void Emulator::_ANDI()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int immediate = ReadOperand(7, 4, s, true, true);
    const unsigned int result = immediate & ReadOperand(EaMode(opcode), EaReg(opcode), s, false, false);
    WriteOperand(result, EaMode(opcode), EaReg(opcode), s);
    SetFlags(0x0F, NZ(result, s));
}

void Emulator::_ORI()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int immediate = ReadOperand(7, 4, s, true, true);
    const unsigned int result = immediate | ReadOperand(EaMode(opcode), EaReg(opcode), s, false, false);
    WriteOperand(result, EaMode(opcode), EaReg(opcode), s);
    SetFlags(0x0F, NZ(result, s));
}

void Emulator::_EORI()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int immediate = ReadOperand(7, 4, s, true, true);
    const unsigned int result = immediate ^ ReadOperand(EaMode(opcode), EaReg(opcode), s, false, false);
    WriteOperand(result, EaMode(opcode), EaReg(opcode), s);
    SetFlags(0x0F, NZ(result, s));
}

void Emulator::_NOT()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int result = ~ReadOperand(EaMode(opcode), EaReg(opcode), s, false, false);
    WriteOperand(result, EaMode(opcode), EaReg(opcode), s);
    SetFlags(0x0F, NZ(result, s));
}

void Emulator::ShiftRegister(int kind)
{
    InstructionSet::ShiftRegister(*this, opcode, kind, Size(opcode >> 6, 1), bool(opcode & 0x100), bool(opcode & 0x20),
                                  InstructionSet::Fixed<1>());
}

void Emulator::ShiftMemory(int kind)
{
    const unsigned int mode = EaMode(opcode);
    const unsigned int reg = EaReg(opcode);
    const bool left = opcode & 0x100;
    const unsigned int word = ReadOperand(mode, reg, 16, false, false) & 0xFFFF;
    unsigned long long value = word;
    unsigned int bit;
    unsigned int mask = 0x1F;
    switch (kind) {
    case InstructionSet::Arithmetic:
        bit = left ? (word >> 15) : (word & 1);
        value = left ? (word << 1) : ((word >> 1) | (word & 0x8000));
        break;
    case InstructionSet::Logical:
        bit = left ? (word >> 15) : (word & 1);
        value = left ? (word << 1) : (word >> 1);
        break;
    case InstructionSet::Rotate:
        bit = left ? Rol(value, 1, 16) : Ror(value, 1, 16);
        mask = 0x0F;
        break;
    default: {
        const bool extend = registerFile.sr & FlagX;
        bit = left ? Roxl(value, extend, 1, 16) : Roxr(value, extend, 1, 16);
        break;
    }
    }
    const unsigned int result = unsigned(value) & 0xFFFF;
    WriteOperand(result, mode, reg, 16);
    unsigned int flags = NZ(result, 16);
    if (bit)
        flags |= FlagC | FlagX;
    SetFlags(mask, flags & mask);
}

void Emulator::_ASd()
{
    if (((opcode >> 6) & 3) == 3)
        ShiftMemory(InstructionSet::Arithmetic);
    else
        ShiftRegister(InstructionSet::Arithmetic);
}

void Emulator::_LSd()
{
    if (((opcode >> 6) & 3) == 3)
        ShiftMemory(InstructionSet::Logical);
    else
        ShiftRegister(InstructionSet::Logical);
}

void Emulator::_ROd()
{
    if (((opcode >> 6) & 3) == 3)
        ShiftMemory(InstructionSet::Rotate);
    else
        ShiftRegister(InstructionSet::Rotate);
}

void Emulator::_ROXd()
{
    if (((opcode >> 6) & 3) == 3)
        ShiftMemory(InstructionSet::RotateExtend);
    else
        ShiftRegister(InstructionSet::RotateExtend);
}

void Emulator::BitOperation(int kind)
{
    unsigned int bit;
    if (opcode & 0x100)
        bit = registerFile.d[RegX(opcode)];
    else
        bit = ReadOperand(7, 4, 16, true, true);
    const unsigned int mode = EaMode(opcode);
    const unsigned int reg = EaReg(opcode);
    const int size = mode == 0 ? 32 : 8;
    bit &= (mode == 0) ? 31 : 7;
    if (mode == 0 && kind != Test && bit < 16)
        AddCycles(-CycleTable::lowerHalfBitSaving);
    const bool test = kind == Test;
    const unsigned int value = ReadOperand(mode, reg, size, test, test);
    SetFlags(FlagZ, TestBit(value, bit) ? 0 : FlagZ);
    switch (kind) {
    case Change:
        WriteOperand(InvertBit(value, bit), mode, reg, size);
        break;
    case Clear:
        WriteOperand(ClearBit(value, bit), mode, reg, size);
        break;
    case Set:
        WriteOperand(SetBit(value, bit), mode, reg, size);
        break;
    default:
        break;
    }
}

void Emulator::_BTST()
{
    BitOperation(Test);
}

void Emulator::_BCHG()
{
    BitOperation(Change);
}

void Emulator::_BCLR()
{
    BitOperation(Clear);
}

void Emulator::_BSET()
{
    BitOperation(Set);
}

void Emulator::_TAS()
{
    const unsigned int mode = EaMode(opcode);
    const unsigned int reg = EaReg(opcode);
    const unsigned int value = ReadOperand(mode, reg, 8, false, false) & 0xFF;
    WriteOperand(value | 0x80, mode, reg, 8);
    SetFlags(0x0F, NZ(value, 8));
}
