#ifndef ZENDRA_CORE_CYCLETABLE_H
#define ZENDRA_CORE_CYCLETABLE_H

// What the machine's instructions cost in clock cycles: those of an MC68000 at 8 MHz without
// wait states, as the timing tables of Motorola's M68000 user's manual give them (a base time
// plus the effective address's calculation time), and as the hardware behaves where it departs
// from them (said where it does).
//
// An instruction's cost is split in two. Its fixed part is what its first word alone decides:
// the base time, the effective address's time wherever the word holds the addressing mode
// (extension words included), and the whole cost of a word that always raises an exception.
// Fixed() holds it for every first word, from the rules below; the specialised handlers, whose
// size and modes are compile-time constants, charge the same rules' values as constants, and
// the plain ones read the table. The handlers then add what depends on data: MULU and MULS by
// the source's bits, DIVU and DIVS by the division's steps, a shift by its count, MOVEM by its
// registers, a branch not taken, DBcc's outcome, Scc true on a register, a bit of a register's
// lower half, and the exceptions that an instruction raises only sometimes (CHK, TRAPV,
// division by zero, privilege violation).
//
// An exception's cost runs from the instruction that raises it to the first fetch of its
// handler. This machine stops a run on an address error or the trace bit rather than taking
// them as exceptions: they cost nothing (a recorded instruction that faults is taken back with
// its cycles; a quick one keeps what it had done, its cycles with it).
class CycleTable
{
public:
    // The clock of the machine that the counts are for.
    static constexpr unsigned int clockRate = 8000000;

    // The exceptions, whole.
    static constexpr int illegalInstruction = 34;
    static constexpr int privilegeViolation = 34;
    static constexpr int trap = 34;
    static constexpr int trapOnOverflow = 34;
    // These two add the effective address time of their operand.
    static constexpr int checkTrap = 40;
    static constexpr int zeroDivide = 38;
    // CHK and TRAPV when they do not trap, as the fixed costs hold them (CHK without its
    // operand's time).
    static constexpr int checkNoTrap = 10;
    static constexpr int trapOnOverflowNoTrap = 4;

    static constexpr int returnFromSubroutine = 16;
    static constexpr int link = 16;
    static constexpr int unlink = 12;
    static constexpr int noOperation = 4;
    static constexpr int moveQuick = 4;
    // DBcc as its fixed cost counts it: branching, as a loop's DBcc mostly does. The handler
    // sets the others: a true condition, an expired counter.
    static constexpr int decrementAndBranch = 10;
    static constexpr int decrementAndBranchTrue = 12;
    static constexpr int decrementAndBranchExpired = 14;
    // Scc true on a data register: so many more than false.
    static constexpr int setTrueOnRegister = 2;
    // BCHG, BCLR, BSET of a bit of a data register's lower half: so many less than the fixed
    // cost, which is that of the upper half.
    static constexpr int lowerHalfBitSaving = 2;

    // One cost per first word (an index of 0x10000 entries), built once.
    static const unsigned char* Fixed();

    // Effective address calculation times, by InstructionSet::Form (Dn, An, (An), (An)+,
    // -(An), d16(An), d8(An,Xn), abs.W, abs.L, d16(PC), d8(PC,Xn), #imm, none): the address,
    // its extension words and the operand's read, for a byte or word operand, or a long one.
    static constexpr unsigned char wordTimes[13] = {0, 0, 4, 4, 6, 8, 10, 8, 12, 8, 10, 4, 0};
    static constexpr unsigned char longTimes[13] = {0, 0, 8, 8, 10, 12, 14, 12, 16, 12, 14, 8, 0};
    static constexpr int AddressTime(int form, bool isLong)
    {
        return form < 0 || form > 12 ? 0 : isLong ? longTimes[form] : wordTimes[form];
    }

    // The fixed parts, by size in bits (8, 16, 32) and forms.
    // MOVE: 4 + source + destination, where -(An) costs what (An) does, its decrement
    // overlapping; MOVEA: 4 + source.
    static constexpr int Move(int size, int source, int destination)
    {
        return 4 + AddressTime(source, size == 32) + AddressTime(destination == 4 ? 2 : destination, size == 32);
    }
    static constexpr int MoveAddress(int size, int source) { return 4 + AddressTime(source, size == 32); }
    // ADD, SUB, AND, OR, Dn op <ea> to Dn, or to <ea>: a long to a register takes 2 more from
    // a register or an immediate, which leave no operand's read for its operation to overlap.
    static constexpr int TwoWay(int size, int form, bool toMemory)
    {
        return toMemory ? (size == 32 ? 12 : 8) + AddressTime(form, size == 32)
            : size != 32 ? 4 + AddressTime(form, false)
                         : (RegisterOrImmediate(form) ? 8 : 6) + AddressTime(form, true);
    }
    // ADDA, SUBA: the same rule for a long; a word is widened, 8.
    static constexpr int AddressArithmetic(int size, int form)
    {
        return size == 32 ? (RegisterOrImmediate(form) ? 8 : 6) + AddressTime(form, true) : 8 + AddressTime(form, false);
    }
    static constexpr int Compare(int size, int form) { return (size == 32 ? 6 : 4) + AddressTime(form, size == 32); }
    static constexpr int CompareAddress(int size, int form) { return 6 + AddressTime(form, size == 32); }
    // CLR, NEG, NEGX, NOT: a data register, or memory read and written.
    static constexpr int SingleOperand(int size, int form)
    {
        return form == 0 ? (size == 32 ? 6 : 4) : (size == 32 ? 12 : 8) + AddressTime(form, size == 32);
    }
    static constexpr int Test(int size, int form) { return 4 + AddressTime(form, size == 32); }
    static constexpr int ExclusiveOr(int size, int form)
    {
        return form == 0 ? (size == 32 ? 8 : 4) : (size == 32 ? 12 : 8) + AddressTime(form, size == 32);
    }
    // ADDQ, SUBQ. To An, a word too is a whole register's addition: 8 cycles, as the hardware
    // takes for both sizes (the manual gives 4 for ADDQ.W).
    static constexpr int Quick(int size, int form)
    {
        return form == 1 ? 8 : form == 0 ? (size == 32 ? 8 : 4) : (size == 32 ? 12 : 8) + AddressTime(form, size == 32);
    }
    // The control instructions, by form from (An); 0 where the form is not theirs.
    static constexpr unsigned char jumpTimes[13] = {0, 0, 8, 0, 0, 10, 14, 10, 12, 10, 14, 0, 0};
    static constexpr unsigned char subroutineTimes[13] = {0, 0, 16, 0, 0, 18, 22, 18, 20, 18, 22, 0, 0};
    static constexpr unsigned char loadAddressTimes[13] = {0, 0, 4, 0, 0, 8, 12, 8, 12, 8, 12, 0, 0};
    static constexpr unsigned char pushAddressTimes[13] = {0, 0, 12, 0, 0, 16, 20, 16, 20, 16, 20, 0, 0};
    static constexpr int Jump(int form) { return Control(jumpTimes, form); }
    static constexpr int JumpToSubroutine(int form) { return Control(subroutineTimes, form); }
    static constexpr int LoadAddress(int form) { return Control(loadAddressTimes, form); }
    static constexpr int PushAddress(int form) { return Control(pushAddressTimes, form); }
    // MOVEM's base, by form, registers to memory or memory to registers; the handler adds
    // MoveMultipleRegisters for the registers moved.
    static constexpr unsigned char toMemoryTimes[13] = {0, 0, 8, 0, 8, 12, 14, 12, 16, 0, 0, 0, 0};
    static constexpr unsigned char toRegistersTimes[13] = {0, 0, 12, 12, 0, 16, 18, 16, 20, 16, 18, 0, 0};
    static constexpr int MoveMultiple(int form, bool toRegisters)
    {
        return Control(toRegisters ? toRegistersTimes : toMemoryTimes, form);
    }
    // 4 cycles a word, 8 a long, for each register.
    static constexpr int MoveMultipleRegisters(int count, int size) { return count * (size / 4); }
    // Bcc by its condition: BSR 18; BRA and the others counted taken, 10 for either
    // displacement, the handler setting the difference when a branch is not taken (8 for a
    // byte displacement, 12 for a word one).
    static constexpr int Branch(int condition) { return condition == 1 ? 18 : 10; }
    static constexpr int BranchNotTaken(bool wordDisplacement) { return wordDisplacement ? 12 : 8; }
    // A shift or rotation of a data register: the handler adds ShiftCount, for a count in the
    // word or in a register.
    static constexpr int ShiftRegister(int size) { return size == 32 ? 8 : 6; }
    // 2 cycles a bit.
    static constexpr int ShiftCount(int count) { return 2 * count; }

    // The run-time parts of MULU and MULS: 38 + 2n clock cycles, n the number of ones in the
    // 16-bit source for MULU, of pairs of unequal adjacent bits in the source with a zero
    // appended on its right for MULS.
    static int MultiplyUnsigned(unsigned int source);
    static int MultiplySigned(unsigned int source);
    // The run-time parts of DIVU and DIVS by a divisor other than zero, overflow included
    // (the rules are in CycleTable.cpp).
    static int DivideUnsigned(unsigned int dividend, unsigned int divisor);
    static int DivideSigned(unsigned int dividend, unsigned int divisor);

private:
    static constexpr bool RegisterOrImmediate(int form) { return form <= 1 || form == 11; }
    static constexpr int Control(const unsigned char (&times)[13], int form)
    {
        return form < 0 || form > 12 ? 0 : times[form];
    }
};

#endif
