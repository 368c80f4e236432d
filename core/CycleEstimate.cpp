#include "core/CycleEstimate.h"

#include "core/CycleTable.h"
#include "core/Decoder.h"
#include "core/Memory.h"

#include <QString>

#include <algorithm>

namespace {

// A shift's count in a register is taken modulo 64.
constexpr int largestRegisterCount = 63;

// The sources that give MULU and MULS their fewest and most cycles: no bit set; every bit
// set, or every pair of adjacent bits unequal.
constexpr unsigned int fewestOnes = 0;
constexpr unsigned int allOnes = 0xFFFF;
constexpr unsigned int allChanges = 0x5555;

// The dividends that take a division's fewest and most cycles, whatever its divisor: the
// largest of each sign, of which one overflows before any step wherever any dividend does,
// and 0 and -1, whose quotients have the most zeros. A register's divisor ranges as widely
// at 1 as over all divisors.
constexpr unsigned int extremeDividends[] = {0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 0u};
constexpr unsigned int widestDivisor = 1;

CycleEstimate Between(int a, int b)
{
    return CycleEstimate(std::min(a, b), std::max(a, b));
}

// A division by a divisor other than zero; the dividend is data.
CycleEstimate Division(int fixed, int (*divide)(unsigned int, unsigned int), unsigned int divisor)
{
    int low = divide(extremeDividends[0], divisor);
    int high = low;
    for (unsigned int dividend : extremeDividends) {
        const int cycles = divide(dividend, divisor);
        low = std::min(low, cycles);
        high = std::max(high, cycles);
    }
    return CycleEstimate(fixed + low, fixed + high);
}

CycleEstimate Divide(int fixed, int (*divide)(unsigned int, unsigned int), bool immediate, unsigned int extension)
{
    const int zeroDivide = fixed + CycleTable::zeroDivide;
    if (immediate && extension == 0)
        return CycleEstimate(zeroDivide, zeroDivide).Raising(CycleEstimate::Exception::Always, zeroDivide);
    if (immediate)
        return Division(fixed, divide, extension);
    return Division(fixed, divide, widestDivisor).Raising(CycleEstimate::Exception::Sometimes, zeroDivide);
}

CycleEstimate Multiply(int fixed, int (*multiply)(unsigned int), bool immediate, unsigned int extension,
                       unsigned int most)
{
    if (immediate)
        return CycleEstimate(fixed + multiply(extension), fixed + multiply(extension));
    return Between(fixed + multiply(fewestOnes), fixed + multiply(most));
}

// Bcc by its condition: T (BRA) always branches, F is BSR; the others branch or not.
CycleEstimate Branch(int fixed, unsigned int op)
{
    const unsigned int condition = (op >> 8) & 15;
    if (condition <= 1)
        return CycleEstimate(fixed, fixed);
    return Between(fixed, CycleTable::BranchNotTaken((op & 0xFF) == 0));
}

// DBcc: T always holds and ends the loop; otherwise the condition and the counter decide.
CycleEstimate DecrementAndBranch(unsigned int op)
{
    if (((op >> 8) & 15) == 0)
        return CycleEstimate(CycleTable::decrementAndBranchTrue, CycleTable::decrementAndBranchTrue);
    const int outcomes[] = {CycleTable::decrementAndBranch, CycleTable::decrementAndBranchTrue,
                            CycleTable::decrementAndBranchExpired};
    return CycleEstimate(*std::min_element(std::begin(outcomes), std::end(outcomes)),
                         *std::max_element(std::begin(outcomes), std::end(outcomes)));
}

// Scc on a register: ST always true, SF never.
CycleEstimate Set(int fixed, unsigned int op)
{
    if (((op >> 3) & 7) != 0)
        return CycleEstimate(fixed, fixed);
    const int whenTrue = fixed + CycleTable::setTrueOnRegister;
    switch ((op >> 8) & 15) {
    case 0:
        return CycleEstimate(whenTrue, whenTrue);
    case 1:
        return CycleEstimate(fixed, fixed);
    default:
        return Between(fixed, whenTrue);
    }
}

// BCHG, BCLR, BSET on a register: a static bit number is in the extension word.
CycleEstimate ChangeBit(int fixed, unsigned int op, unsigned int extension)
{
    if (((op >> 3) & 7) != 0)
        return CycleEstimate(fixed, fixed);
    const int lowerHalf = fixed - CycleTable::lowerHalfBitSaving;
    if (op & 0x100)
        return Between(lowerHalf, fixed);
    return (extension & 31) < 16 ? CycleEstimate(lowerHalf, lowerHalf) : CycleEstimate(fixed, fixed);
}

// The register forms by a count in the word (0 for 8) or in a register; the memory forms
// shift a word by one, all in their fixed cost.
CycleEstimate Shift(int fixed, unsigned int op)
{
    if (((op >> 6) & 3) == 3)
        return CycleEstimate(fixed, fixed);
    if (op & 0x20)
        return Between(fixed + CycleTable::ShiftCount(0), fixed + CycleTable::ShiftCount(largestRegisterCount));
    const int count = int((op >> 9) & 7);
    const int cycles = fixed + CycleTable::ShiftCount(count == 0 ? 8 : count);
    return CycleEstimate(cycles, cycles);
}

void AppendNumber(QString& text, int value)
{
    char digits[12];
    int n = 0;
    unsigned int rest = unsigned(value);
    do {
        digits[n++] = char('0' + rest % 10);
        rest /= 10;
    } while (rest != 0);
    while (n > 0)
        text.append(QLatin1Char(digits[--n]));
}

} // namespace

CycleEstimate& CycleEstimate::Raising(Exception kind, int cycles)
{
    exception = kind;
    exceptionCycles = cycles;
    return *this;
}

CycleEstimate CycleEstimate::Of(const Memory& memory, unsigned int address)
{
    return Of(memory.Peek(address, 16), memory.Peek(address + 2, 16));
}

CycleEstimate CycleEstimate::Of(unsigned int opcode, unsigned int extension)
{
    const unsigned int op = opcode & 0xFFFF;
    extension &= 0xFFFF;
    const int fixed = CycleTable::Fixed()[op];
    const bool immediate = (op & 0x3F) == 0x3C;
    switch (Decoder::KindOf(op)) {
    case Decoder::NoKind:
    case Decoder::Kind_ILLEGAL:
    case Decoder::Kind_TRAP:
        return CycleEstimate(fixed, fixed).Raising(Exception::Always, fixed);
    case Decoder::Kind_MULU:
        return Multiply(fixed, &CycleTable::MultiplyUnsigned, immediate, extension, allOnes);
    case Decoder::Kind_MULS:
        return Multiply(fixed, &CycleTable::MultiplySigned, immediate, extension, allChanges);
    case Decoder::Kind_DIVU:
        return Divide(fixed, &CycleTable::DivideUnsigned, immediate, extension);
    case Decoder::Kind_DIVS:
        return Divide(fixed, &CycleTable::DivideSigned, immediate, extension);
    case Decoder::Kind_CHK:
        return CycleEstimate(fixed, fixed)
            .Raising(Exception::Sometimes, fixed + CycleTable::checkTrap - CycleTable::checkNoTrap);
    case Decoder::Kind_TRAPV:
        return CycleEstimate(fixed, fixed)
            .Raising(Exception::Sometimes, fixed + CycleTable::trapOnOverflow - CycleTable::trapOnOverflowNoTrap);
    case Decoder::Kind_RTE:
    case Decoder::Kind_RESET:
    case Decoder::Kind_MOVEtoSR:
    case Decoder::Kind_ANDItoSR:
    case Decoder::Kind_EORItoSR:
    case Decoder::Kind_ORItoSR:
    case Decoder::Kind_MOVE_USP:
        // SR decides: in user state they raise a privilege violation instead.
        return CycleEstimate(fixed, fixed).Raising(Exception::Sometimes, CycleTable::privilegeViolation);
    case Decoder::Kind_Bcc:
        return Branch(fixed, op);
    case Decoder::Kind_DBcc:
        return DecrementAndBranch(op);
    case Decoder::Kind_Scc:
        return Set(fixed, op);
    case Decoder::Kind_BCHG:
    case Decoder::Kind_BCLR:
    case Decoder::Kind_BSET:
        return ChangeBit(fixed, op, extension);
    case Decoder::Kind_ASd:
    case Decoder::Kind_LSd:
    case Decoder::Kind_ROd:
    case Decoder::Kind_ROXd:
        return Shift(fixed, op);
    case Decoder::Kind_MOVEM: {
        const int registers = __builtin_popcount(extension);
        const int cycles = fixed + CycleTable::MoveMultipleRegisters(registers, (op & 0x40) ? 32 : 16);
        return CycleEstimate(cycles, cycles);
    }
    default:
        return CycleEstimate(fixed, fixed);
    }
}

QString CycleEstimate::Text() const
{
    QString text;
    AppendText(text);
    return text;
}

void CycleEstimate::AppendText(QString& text) const
{
    AppendNumber(text, low);
    if (high != low) {
        text.append(QLatin1Char('-'));
        AppendNumber(text, high);
    }
    if (exception == Exception::Sometimes)
        text.append(QLatin1Char('+'));
}
