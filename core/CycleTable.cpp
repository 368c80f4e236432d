#include "core/CycleTable.h"

#include "core/Decoder.h"
#include "core/InstructionSet.h"

namespace {

using Set = InstructionSet;
static_assert(Set::FormCount == 13 && Set::FormImmediate == 11 && Set::FormNone == 12,
              "the rules' tables are indexed by InstructionSet's forms");

int Ea(int form, bool isLong)
{
    return CycleTable::AddressTime(form, isLong);
}

// The standard size field's size in bits.
int SizeOf(unsigned int op)
{
    return 8 << ((op >> 6) & 3);
}

// Shifts and rotations: the memory forms shift a word by one; the register forms by a count
// whose 2 cycles a bit the handler adds.
int Shift(unsigned int op, int form)
{
    if (((op >> 6) & 3) == 3)
        return 8 + Ea(form, false);
    return CycleTable::ShiftRegister(SizeOf(op));
}

// BTST, BCHG, BCLR and BSET, the bit number in a register (dynamic) or an immediate word
// (static). On a data register these are the times of a bit in the upper half: the handler
// takes 2 cycles off for one in the lower half, as the hardware spends them only there (the
// manual gives the upper half's as maxima).
int Bit(Decoder::Kind kind, unsigned int op, int form)
{
    const bool dynamic = op & 0x100;
    if (form == 0) {
        switch (kind) {
        case Decoder::Kind_BTST:
            return dynamic ? 6 : 10;
        case Decoder::Kind_BCLR:
            return dynamic ? 10 : 14;
        default:
            return dynamic ? 8 : 12;
        }
    }
    if (kind == Decoder::Kind_BTST)
        return (dynamic ? 4 : 8) + Ea(form, false);
    return (dynamic ? 8 : 12) + Ea(form, false);
}

// ADDI, SUBI, ANDI, ORI, EORI, CMPI: to a data register, or to memory (read, then written
// but for CMPI). The immediate's own words are in the base.
int Immediate(int form, bool isLong, int registerLong, int memoryWordByte, int memoryLong)
{
    if (form == 0)
        return isLong ? registerLong : 8;
    return (isLong ? memoryLong : memoryWordByte) + Ea(form, isLong);
}

int Cost(unsigned int op)
{
    const Decoder::Kind kind = Decoder::KindOf(op);
    const int form = Set::FormOf(op);
    // The standard size field; the kinds with another encoding read theirs.
    const bool isLong = ((op >> 6) & 3) == 2;
    switch (kind) {
    case Decoder::NoKind:
    case Decoder::Kind_ILLEGAL:
        // A line 1010 or 1111 word too: this machine goes on after it, but spends what the
        // exception would.
        return CycleTable::illegalInstruction;
    case Decoder::Kind_NOP:
        return CycleTable::noOperation;
    case Decoder::Kind_MOVEQ:
        return CycleTable::moveQuick;
    case Decoder::Kind_STOP:
    case Decoder::Kind_SWAP:
    case Decoder::Kind_EXT:
    case Decoder::Kind_MOVE_USP:
        return 4;
    case Decoder::Kind_TRAPV:
        return CycleTable::trapOnOverflowNoTrap;
    case Decoder::Kind_RESET:
        return 132;
    case Decoder::Kind_RTE:
    case Decoder::Kind_RTR:
    case Decoder::Kind_ANDItoCCR:
    case Decoder::Kind_EORItoCCR:
    case Decoder::Kind_ORItoCCR:
    case Decoder::Kind_ANDItoSR:
    case Decoder::Kind_EORItoSR:
    case Decoder::Kind_ORItoSR:
        return 20;
    case Decoder::Kind_RTS:
        return CycleTable::returnFromSubroutine;
    case Decoder::Kind_LINK:
        return CycleTable::link;
    case Decoder::Kind_TRAP:
        return CycleTable::trap;
    case Decoder::Kind_UNLK:
        return CycleTable::unlink;
    case Decoder::Kind_EXG:
        return 6;
    case Decoder::Kind_ABCD:
    case Decoder::Kind_SBCD:
        return (op & 8) ? 18 : 6;
    case Decoder::Kind_ADDX:
    case Decoder::Kind_SUBX:
        return (op & 8) ? (isLong ? 30 : 18) : (isLong ? 8 : 4);
    case Decoder::Kind_CMPM:
        return isLong ? 20 : 12;
    case Decoder::Kind_ADDA:
    case Decoder::Kind_SUBA:
        return CycleTable::AddressArithmetic((op & 0x100) ? 32 : 16, form);
    case Decoder::Kind_CMPA:
        return CycleTable::CompareAddress((op & 0x100) ? 32 : 16, form);
    case Decoder::Kind_LEA:
        return CycleTable::LoadAddress(form);
    case Decoder::Kind_PEA:
        return CycleTable::PushAddress(form);
    case Decoder::Kind_JMP:
        return CycleTable::Jump(form);
    case Decoder::Kind_JSR:
        return CycleTable::JumpToSubroutine(form);
    case Decoder::Kind_MULS:
    case Decoder::Kind_MULU:
    case Decoder::Kind_DIVS:
    case Decoder::Kind_DIVU:
        return Ea(form, false);
    case Decoder::Kind_CHK:
        return CycleTable::checkNoTrap + Ea(form, false);
    case Decoder::Kind_CMP:
        return CycleTable::Compare(SizeOf(op), form);
    case Decoder::Kind_CLR:
    case Decoder::Kind_NEG:
    case Decoder::Kind_NEGX:
    case Decoder::Kind_NOT:
        return CycleTable::SingleOperand(SizeOf(op), form);
    case Decoder::Kind_NBCD:
        return form == 0 ? 6 : 8 + Ea(form, false);
    case Decoder::Kind_MOVEfromSR:
        return form == 0 ? 6 : 8 + Ea(form, false);
    case Decoder::Kind_MOVEtoCCR:
    case Decoder::Kind_MOVEtoSR:
        return 12 + Ea(form, false);
    case Decoder::Kind_TAS:
        // Memory: one read-modify-write cycle, longer than a read.
        return form == 0 ? 4 : 10 + Ea(form, false);
    case Decoder::Kind_TST:
        return CycleTable::Test(SizeOf(op), form);
    case Decoder::Kind_ADD:
    case Decoder::Kind_SUB:
    case Decoder::Kind_AND:
    case Decoder::Kind_OR:
        return CycleTable::TwoWay(SizeOf(op), form, op & 0x100);
    case Decoder::Kind_EOR:
        return CycleTable::ExclusiveOr(SizeOf(op), form);
    case Decoder::Kind_ADDI:
    case Decoder::Kind_SUBI:
    case Decoder::Kind_EORI:
    case Decoder::Kind_ORI:
        return Immediate(form, isLong, 16, 12, 20);
    case Decoder::Kind_ANDI:
        return Immediate(form, isLong, 14, 12, 20);
    case Decoder::Kind_CMPI:
        return Immediate(form, isLong, 14, 8, 12);
    case Decoder::Kind_ADDQ:
    case Decoder::Kind_SUBQ:
        return CycleTable::Quick(SizeOf(op), form);
    case Decoder::Kind_Bcc:
        return CycleTable::Branch(int((op >> 8) & 15));
    case Decoder::Kind_DBcc:
        return CycleTable::decrementAndBranch;
    case Decoder::Kind_Scc:
        // False on a register; the handler adds 2 when true.
        return form == 0 ? 4 : 8 + Ea(form, false);
    case Decoder::Kind_BTST:
    case Decoder::Kind_BCHG:
    case Decoder::Kind_BCLR:
    case Decoder::Kind_BSET:
        return Bit(kind, op, form);
    case Decoder::Kind_ASd:
    case Decoder::Kind_LSd:
    case Decoder::Kind_ROd:
    case Decoder::Kind_ROXd:
        return Shift(op, form);
    case Decoder::Kind_MOVE:
        return CycleTable::Move(Emulator::Size(op >> 12, 2), form, Set::FormOf(op >> 6, op >> 9));
    case Decoder::Kind_MOVEA:
        return CycleTable::MoveAddress(Emulator::Size(op >> 12, 2), form);
    case Decoder::Kind_MOVEM:
        return CycleTable::MoveMultiple(form, op & 0x400);
    case Decoder::Kind_MOVEP:
        return (op & 0x40) ? 24 : 16;
    default:
        return 0;
    }
}

struct Table
{
    Table()
    {
        for (unsigned int op = 0; op < 0x10000; ++op)
            costs[op] = static_cast<unsigned char>(Cost(op));
    }
    unsigned char costs[0x10000];
};

} // namespace

const unsigned char* CycleTable::Fixed()
{
    static const Table table;
    return table.costs;
}

int CycleTable::MultiplyUnsigned(unsigned int source)
{
    return 38 + 2 * __builtin_popcount(source & 0xFFFF);
}

int CycleTable::MultiplySigned(unsigned int source)
{
    // Bit i of the pairs is bit i-1 against bit i, the first against the zero appended.
    return 38 + 2 * __builtin_popcount(((source << 1) ^ source) & 0xFFFF);
}

// DIVU divides by restoring steps on the dividend, the divisor in the upper word. A quotient
// that cannot fit (the upper word not below the divisor) is found before any step: 10 cycles.
// Otherwise 76 cycles, and for each of the first 15 of the 16 steps, 2 more when the shifted
// dividend reaches the divisor and it is subtracted, 4 when it does not; nothing when the bit
// shifted out was set, which makes the subtraction certain. 76 to 136 cycles.
int CycleTable::DivideUnsigned(unsigned int dividend, unsigned int divisor)
{
    divisor &= 0xFFFF;
    if ((dividend >> 16) >= divisor)
        return 10;
    const unsigned int high = divisor << 16;
    int cycles = 76;
    for (int step = 0; step < 15; ++step) {
        const bool carry = dividend & 0x80000000u;
        dividend <<= 1;
        if (carry) {
            dividend -= high;
        } else if (dividend >= high) {
            dividend -= high;
            cycles += 2;
        } else {
            cycles += 4;
        }
    }
    return cycles;
}

// DIVS divides the absolute values, with sign handling around. A quotient of the absolute
// values that cannot fit in 16 bits is found early: 16 cycles, 18 for a negative dividend.
// Otherwise 120 cycles for two positive operands, 122 for a negative divisor, 124 for both
// negative, 126 for a negative dividend alone, and 2 more for each zero among the 15 upper
// bits of the absolute quotient. 120 to 156 cycles. A quotient that fits as an absolute
// value but not as a signed one takes the whole time, then overflows.
int CycleTable::DivideSigned(unsigned int dividend, unsigned int divisor)
{
    const bool negativeDividend = dividend & 0x80000000u;
    const bool negativeDivisor = divisor & 0x8000;
    const unsigned int absoluteDividend = negativeDividend ? 0u - dividend : dividend;
    const unsigned int absoluteDivisor = negativeDivisor ? (0x10000 - (divisor & 0xFFFF)) : (divisor & 0xFFFF);
    if ((absoluteDividend >> 16) >= absoluteDivisor)
        return negativeDividend ? 18 : 16;
    int cycles = negativeDividend ? (negativeDivisor ? 124 : 126) : (negativeDivisor ? 122 : 120);
    const unsigned int quotient = absoluteDividend / absoluteDivisor;
    // The zeros among bits 15 to 1: the ones of the complement, bit 0 left out.
    cycles += 2 * __builtin_popcount(~quotient & 0xFFFE);
    return cycles;
}
