// Data movement, integer arithmetic, comparison and decimal instructions.
#include "core/Emulator.h"

#include "core/InstructionSet.h"

namespace {

unsigned int EaMode(unsigned int opcode) { return (opcode >> 3) & 7; }
unsigned int EaReg(unsigned int opcode) { return opcode & 7; }
unsigned int RegX(unsigned int opcode) { return (opcode >> 9) & 7; }

} // namespace

void Emulator::_ADD()
{
    InstructionSet::AddSub<false>(*this, opcode, Size(opcode >> 6, 1), InstructionSet::FormOf(opcode), bool(opcode & 0x100));
}

void Emulator::_SUB()
{
    InstructionSet::AddSub<true>(*this, opcode, Size(opcode >> 6, 1), InstructionSet::FormOf(opcode), bool(opcode & 0x100));
}

void Emulator::_ADDI()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int source = ReadOperand(7, 4, s, true, true);
    const unsigned int destination = ReadOperand(EaMode(opcode), EaReg(opcode), s, false, false);
    const unsigned int result = destination + source;
    WriteOperand(result, EaMode(opcode), EaReg(opcode), s);
    SetFlags(0x1F, AddFlags(source, destination, s));
}

void Emulator::_SUBI()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int source = ReadOperand(7, 4, s, true, true);
    const unsigned int destination = ReadOperand(EaMode(opcode), EaReg(opcode), s, false, false);
    const unsigned int result = destination - source;
    WriteOperand(result, EaMode(opcode), EaReg(opcode), s);
    SetFlags(0x1F, SubFlags(source, destination, s));
}

void Emulator::_ADDQ()
{
    InstructionSet::AddSubQuick<false>(*this, opcode, Size(opcode >> 6, 1), InstructionSet::FormOf(opcode));
}

void Emulator::_SUBQ()
{
    InstructionSet::AddSubQuick<true>(*this, opcode, Size(opcode >> 6, 1), InstructionSet::FormOf(opcode));
}

// ADDX, SUBX, ABCD and SBCD: Dy and Dx, or -(Ay) and -(Ax), as bit 3 says.
void Emulator::ExtendedOperands(int size, unsigned int& source, unsigned int& destination)
{
    const unsigned int x = RegX(opcode);
    const unsigned int y = EaReg(opcode);
    if (!(opcode & 8)) {
        source = registerFile.d[y];
        destination = registerFile.d[x];
    } else {
        source = ReadOperand(4, y, size, true, true);
        destination = ReadOperand(4, x, size, false, false);
    }
}

void Emulator::StoreExtended(unsigned int result, int size)
{
    if (!(opcode & 8))
        registerFile.SetDn(RegX(opcode), result, size);
    else
        WriteOperand(result, 4, RegX(opcode), size);
}

// ADDX and SUBX keep Z set only while every result stays zero, for multi-word arithmetic.
void Emulator::_ADDX()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int extend = (registerFile.sr & FlagX) ? 1 : 0;
    unsigned int source;
    unsigned int destination;
    ExtendedOperands(s, source, destination);
    const unsigned int result = destination + source + extend;
    StoreExtended(result, s);
    unsigned int flags = AddExtendedFlags(source, destination, result, s) & ~FlagZ;
    const unsigned int keep = (result & SizeMask(s)) ? 0 : FlagZ;
    SetFlags(0x1F & ~keep, flags);
}

void Emulator::_SUBX()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int extend = (registerFile.sr & FlagX) ? 1 : 0;
    unsigned int source;
    unsigned int destination;
    ExtendedOperands(s, source, destination);
    const unsigned int result = destination - source - extend;
    StoreExtended(result, s);
    unsigned int flags = SubExtendedFlags(source, destination, result, s) & ~FlagZ;
    const unsigned int keep = (result & SizeMask(s)) ? 0 : FlagZ;
    SetFlags(0x1F & ~keep, flags);
}

void Emulator::_ADDA()
{
    InstructionSet::AddSubAddress<false>(*this, opcode, Size(opcode >> 8, 3), InstructionSet::FormOf(opcode));
}

void Emulator::_SUBA()
{
    InstructionSet::AddSubAddress<true>(*this, opcode, Size(opcode >> 8, 3), InstructionSet::FormOf(opcode));
}

void Emulator::_CMP()
{
    InstructionSet::Compare(*this, opcode, Size(opcode >> 6, 1), InstructionSet::FormOf(opcode));
}

void Emulator::_CMPA()
{
    InstructionSet::CompareAddress(*this, opcode, Size(opcode >> 8, 3), InstructionSet::FormOf(opcode));
}

void Emulator::_CMPI()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int source = ReadOperand(7, 4, s, true, true);
    const unsigned int destination = ReadOperand(EaMode(opcode), EaReg(opcode), s, true, true);
    SetFlags(0x0F, SubFlags(source, destination, s) & 0x0F);
}

void Emulator::_CMPM()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int source = ReadOperand(3, EaReg(opcode), s, true, true);
    const unsigned int destination = ReadOperand(3, RegX(opcode), s, true, true);
    SetFlags(0x0F, SubFlags(source, destination, s) & 0x0F);
}

void Emulator::_NEG()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int destination = ReadOperand(EaMode(opcode), EaReg(opcode), s, false, false);
    const unsigned int result = 0 - destination;
    WriteOperand(result, EaMode(opcode), EaReg(opcode), s);
    const unsigned int msb = SignBit(s);
    unsigned int flags = NZ(result, s);
    if (destination & result & msb)
        flags |= FlagV;
    if ((destination | result) & msb)
        flags |= FlagC | FlagX;
    SetFlags(0x1F, flags);
}

void Emulator::_NEGX()
{
    const int s = Size(opcode >> 6, 1);
    const unsigned int destination = ReadOperand(EaMode(opcode), EaReg(opcode), s, false, false);
    const unsigned int result = 0 - destination - ((registerFile.sr & FlagX) ? 1 : 0);
    WriteOperand(result, EaMode(opcode), EaReg(opcode), s);
    const unsigned int msb = SignBit(s);
    unsigned int flags = (result & msb) ? FlagN : 0;
    if (destination & result & msb)
        flags |= FlagV;
    if ((destination | result) & msb)
        flags |= FlagC | FlagX;
    const unsigned int keep = (result & SizeMask(s)) ? 0 : FlagZ;
    SetFlags(0x1F & ~keep, flags);
}

void Emulator::_CLR()
{
    InstructionSet::Clear(*this, opcode, Size(opcode >> 6, 1), InstructionSet::FormOf(opcode));
}

void Emulator::_TST()
{
    InstructionSet::Test(*this, opcode, Size(opcode >> 6, 1), InstructionSet::FormOf(opcode));
}

void Emulator::_MULU()
{
    const unsigned int source = ReadOperand(EaMode(opcode), EaReg(opcode), 16, true, true) & 0xFFFF;
    AddCycles(CycleTable::MultiplyUnsigned(source));
    unsigned int& dn = registerFile.d[RegX(opcode)];
    dn = (dn & 0xFFFF) * source;
    SetFlags(0x0F, NZ(dn, 32));
}

void Emulator::_MULS()
{
    const unsigned int source = ReadOperand(EaMode(opcode), EaReg(opcode), 16, true, true);
    AddCycles(CycleTable::MultiplySigned(source));
    unsigned int& dn = registerFile.d[RegX(opcode)];
    dn = unsigned(int(static_cast<short>(dn)) * int(static_cast<short>(source)));
    SetFlags(0x0F, NZ(dn, 32));
}

void Emulator::_DIVU()
{
    const unsigned int divisor = ReadOperand(EaMode(opcode), EaReg(opcode), 16, true, true) & 0xFFFF;
    if (divisor == 0) {
        vector = ZeroDivide;
        AddCycles(CycleTable::zeroDivide);
        return;
    }
    unsigned int& dn = registerFile.d[RegX(opcode)];
    AddCycles(CycleTable::DivideUnsigned(dn, divisor));
    const unsigned int quotient = dn / divisor;
    const unsigned int remainder = dn % divisor;
    if (quotient >= 0x10000) {
        SetFlags(FlagV | FlagC, FlagV);
        return;
    }
    dn = (remainder << 16) | quotient;
    SetFlags(0x0F, NZ(quotient, 16));
}

void Emulator::_DIVS()
{
    const int divisor = static_cast<short>(ReadOperand(EaMode(opcode), EaReg(opcode), 16, true, true));
    if (divisor == 0) {
        vector = ZeroDivide;
        AddCycles(CycleTable::zeroDivide);
        return;
    }
    unsigned int& dn = registerFile.d[RegX(opcode)];
    AddCycles(CycleTable::DivideSigned(dn, unsigned(divisor)));
    const int dividend = int(dn);
    // The one quotient that does not fit in an int is an overflow anyway.
    if (dividend == int(0x80000000u) && divisor == -1) {
        SetFlags(FlagV | FlagC, FlagV);
        return;
    }
    const int quotient = dividend / divisor;
    const int remainder = dividend % divisor;
    if (quotient < -32768 || quotient > 32767) {
        SetFlags(FlagV | FlagC, FlagV);
        return;
    }
    dn = ((unsigned(remainder) & 0xFFFF) << 16) | (unsigned(quotient) & 0xFFFF);
    SetFlags(0x0F, NZ(unsigned(quotient), 16));
}

void Emulator::_MOVE()
{
    InstructionSet::Move(*this, opcode, Size(opcode >> 12, 2), InstructionSet::FormOf(opcode),
                         InstructionSet::FormOf(opcode >> 6, opcode >> 9));
}

void Emulator::_MOVEA()
{
    InstructionSet::MoveAddress(*this, opcode, Size(opcode >> 12, 2), InstructionSet::FormOf(opcode));
}

void Emulator::_MOVEQ()
{
    InstructionSet::MoveQuick(*this, opcode);
}

void Emulator::_EXG()
{
    Register& r = registerFile;
    const unsigned int x = RegX(opcode);
    const unsigned int y = EaReg(opcode);
    unsigned int* first;
    unsigned int* second;
    switch ((opcode >> 3) & 0x1F) {
    case 0x08:
        first = &r.d[x];
        second = &r.d[y];
        break;
    case 0x09:
        first = &r.AnRef(x);
        second = &r.AnRef(y);
        break;
    default:
        first = &r.d[x];
        second = &r.AnRef(y);
        break;
    }
    const unsigned int value = *first;
    *first = *second;
    *second = value;
}

void Emulator::_SWAP()
{
    unsigned int& dn = registerFile.d[EaReg(opcode)];
    dn = (dn >> 16) | (dn << 16);
    SetFlags(0x0F, NZ(dn, 32));
}

void Emulator::_EXT()
{
    unsigned int& dn = registerFile.d[EaReg(opcode)];
    if (!(opcode & 0x40)) {
        const unsigned int word = ExtendSign(static_cast<unsigned char>(dn)) & 0xFFFF;
        dn = (dn & 0xFFFF0000u) | word;
        SetFlags(0x0F, NZ(word, 16));
    } else {
        dn = ExtendSign(static_cast<unsigned short>(dn));
        SetFlags(0x0F, NZ(dn, 32));
    }
}

void Emulator::_LEA()
{
    InstructionSet::LoadAddress(*this, opcode, InstructionSet::FormOf(opcode));
}

void Emulator::_PEA()
{
    InstructionSet::PushAddress(*this, opcode, InstructionSet::FormOf(opcode));
}

void Emulator::_MOVEM()
{
    const int form = InstructionSet::FormOf(opcode);
    if (opcode & 0x40)
        InstructionSet::MoveMultiple(*this, opcode, InstructionSet::Fixed<32>(), form);
    else
        InstructionSet::MoveMultiple(*this, opcode, InstructionSet::Fixed<16>(), form);
}

void Emulator::_MOVEP()
{
    Register& r = registerFile;
    const unsigned int n = RegX(opcode);
    const unsigned int address = GetAddress(5, EaReg(opcode), 0, true, true);
    switch ((opcode >> 6) & 7) {
    case 4:
        r.SetDn(n, (Read(address, 8) << 8) | Read(address + 2, 8), 16);
        break;
    case 5:
        r.d[n] = (Read(address, 8) << 24) | (Read(address + 2, 8) << 16) | (Read(address + 4, 8) << 8)
            | Read(address + 6, 8);
        break;
    case 6:
        Write(address, r.d[n] >> 8, 8);
        Write(address + 2, r.d[n], 8);
        break;
    default: {
        const unsigned int value = r.d[n];
        Write(address, value >> 24, 8);
        Write(address + 2, value >> 16, 8);
        Write(address + 4, value >> 8, 8);
        Write(address + 6, value, 8);
        break;
    }
    }
}

// The decimal instructions keep N and V, clear Z only on a non-zero result, and set X = C.
namespace {

unsigned int DecimalFlags(unsigned int result, bool carry, unsigned int sr)
{
    unsigned int mask = Emulator::FlagX | Emulator::FlagC;
    if (result & 0xFF)
        mask |= Emulator::FlagZ;
    const unsigned int bits = carry ? (Emulator::FlagX | Emulator::FlagC) : 0;
    return (sr & ~mask) | bits;
}

} // namespace

void Emulator::_ABCD()
{
    const unsigned int extend = (registerFile.sr & FlagX) ? 1 : 0;
    unsigned int source;
    unsigned int destination;
    ExtendedOperands(8, source, destination);
    source &= 0xFF;
    destination &= 0xFF;
    const unsigned int low = (source & 0xF) + (destination & 0xF) + extend;
    unsigned int sum = source + destination + extend;
    if (low > 9)
        sum += 6;
    bool carry = false;
    if (sum > 0x9F) {
        sum += 0x60;
        carry = true;
    }
    StoreExtended(sum, 8);
    registerFile.sr = DecimalFlags(sum, carry, registerFile.sr);
}

void Emulator::_SBCD()
{
    const unsigned int extend = (registerFile.sr & FlagX) ? 1 : 0;
    unsigned int source;
    unsigned int destination;
    ExtendedOperands(8, source, destination);
    source &= 0xFF;
    destination &= 0xFF;
    const unsigned int diff = destination - source - extend;
    const unsigned int low = (destination & 0xF) - (source & 0xF) - extend;
    const bool lowBorrow = low & 0x10;
    const bool highBorrow = diff & 0x8000;
    const bool carry = ((lowBorrow ? diff - 6 : diff) >> 15) & 1;
    unsigned int result = diff;
    if (lowBorrow)
        result -= 6;
    if (highBorrow)
        result -= 0x60;
    StoreExtended(result, 8);
    registerFile.sr = DecimalFlags(result, carry, registerFile.sr);
}

void Emulator::_NBCD()
{
    const unsigned int mode = EaMode(opcode);
    const unsigned int reg = EaReg(opcode);
    const unsigned int source = ReadOperand(mode, reg, 8, false, false) & 0xFF;
    const unsigned int extend = (registerFile.sr & FlagX) ? 1 : 0;
    unsigned int result = 0;
    bool carry = false;
    if (source + extend != 0) {
        result = 0 - source - extend;
        if ((source & 0xF) + extend != 0)
            result -= 6;
        result -= 0x60;
        carry = true;
    }
    WriteOperand(result, mode, reg, 8);
    registerFile.sr = DecimalFlags(result, carry, registerFile.sr);
}
