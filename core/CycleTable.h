#ifndef ZENDRA_CORE_CYCLETABLE_H
#define ZENDRA_CORE_CYCLETABLE_H

// What the machine's instructions cost in clock cycles: those of an MC68000 at 8 MHz without
// wait states, as the timing tables of Motorola's M68000 user's manual give them (base time
// plus effective address time), and as the hardware behaves where it departs from them.
//
// An instruction's cost is split in two. Fixed() holds, for every first word, what the word
// alone decides: the base time, the effective address's time wherever the word holds the
// addressing mode (extension words included), and the whole cost of a word that always raises
// an exception. The handlers add at run time what depends on data, with the rules below:
// MULU and MULS by the source's bits, DIVU and DIVS by the division's steps, a shift by a
// register's count, MOVEM by its registers, a branch taken or not, DBcc expired, Scc true,
// a bit number of a register's upper half, and the exceptions that an instruction raises
// only sometimes (CHK, TRAPV, division by zero, privilege violation).
//
// An exception's cost runs from the instruction that raises it to the first fetch of its
// handler. This machine stops a run on an address error or the trace bit rather than taking
// them as exceptions: they cost nothing (a recorded instruction that faults is taken back
// with its cycles; a quick one keeps what it had done, its cycles with it).
class CycleTable
{
public:
    // The clock of the machine the counts are for.
    static constexpr unsigned int clockRate = 8000000;

    // The exceptions, whole.
    static constexpr int illegalInstruction = 34;
    static constexpr int privilegeViolation = 34;
    static constexpr int trap = 34;
    static constexpr int trapOnOverflow = 34;
    // Both add the effective address time of their operand.
    static constexpr int checkTrap = 40;
    static constexpr int zeroDivide = 38;
    // CHK and TRAPV when they do not trap, as Fixed() holds them (CHK without its operand).
    static constexpr int checkNoTrap = 10;
    static constexpr int trapOnOverflowNoTrap = 4;

    // One cost per first word (an index of 0x10000 entries), built once.
    static const unsigned char* Fixed();

    // The time to compute an operand's address and read it: form is an InstructionSet::Form,
    // for a byte or word operand, or a long one.
    static int AddressTime(int form, bool isLong);

    // The run-time parts of MULU and MULS: 38 + 2n clock cycles, n the number of ones in the
    // 16-bit source for MULU, of pairs of unequal adjacent bits in the source with a zero
    // appended on its right for MULS.
    static int MultiplyUnsigned(unsigned int source);
    static int MultiplySigned(unsigned int source);
    // The run-time parts of DIVU and DIVS by a divisor other than zero, overflow included
    // (see CycleTable.cpp for the rules).
    static int DivideUnsigned(unsigned int dividend, unsigned int divisor);
    static int DivideSigned(unsigned int dividend, unsigned int divisor);
};

#endif
