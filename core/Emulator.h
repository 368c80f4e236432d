#ifndef ZENDRA_CORE_EMULATOR_H
#define ZENDRA_CORE_EMULATOR_H

#include "core/CycleTable.h"
#include "core/Decoder.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "core/UndoList.h"
#include "core/VectorNumber.h"
#include "core/WatchpointIndex.h"
#include "core/WordStopTable.h"

#include <QString>

#include <cstdint>
#include <cstring>

class BreakpointIndex;
class ExecutionObserver;

// Bound inside the library that defines them: the emulator's own calls of these are direct
// instead of going through the dynamic linker's tables, and may be inlined. Other modules
// see ordinary declarations.
#ifdef Quorvex_EXPORTS
#define ZENDRA_DIRECT __attribute__((visibility("protected")))
#else
#define ZENDRA_DIRECT
#endif

// Executes 68000 instructions against a Memory and its own register set: the decoder
// classifies the fetched word and calls the handler of its kind. Recorded execution keeps
// an undo item per instruction; quick execution keeps nothing.
class Emulator final : public Decoder
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

    ZENDRA_DIRECT void Execute();
    ZENDRA_DIRECT void QuickExecute();
    // Up to count instructions in quick mode, exactly as so many calls of QuickExecute() but
    // without a call's cost for each: it stops after the first that fails (errorMessage says
    // why). Returns how many instructions it executed, the failed one included.
    ZENDRA_DIRECT long long QuickExecute(long long count);
    // The same, stopping before an instruction whose address or first word stops marks, and
    // before one that the trace bit stops, leaving that stop to QuickExecute(): a run with
    // breakpoints but without a history looks them up first.
    ZENDRA_DIRECT long long QuickExecute(long long count, const BreakpointIndex* stops);
    // The same, telling observer of each instruction as it completes (its exception taken):
    // a profiled run keeps the slices' speed.
    ZENDRA_DIRECT long long QuickExecute(long long count, const BreakpointIndex* stops, ExecutionObserver* observer);
    // Up to count instructions in recorded mode, exactly as so many calls of Execute() but
    // without a call's cost for each: it stops after the first that fails (errorMessage says
    // why). Given stops, it also stops before an instruction whose address or first word
    // stops marks, and before one that the trace bit stops, leaving that stop to Execute():
    // a run looks up its breakpoints first. Returns how many instructions it executed, the
    // failed one included.
    ZENDRA_DIRECT long long Execute(long long count, const BreakpointIndex* stops = nullptr);
    // On (the default), each first word runs a handler specialised for its size and
    // addressing modes; off, every instruction goes through Decode and the per-kind handlers.
    // Both give the same results: off is the reference that on is checked against.
    void UseSpecialisedHandlers(bool on);
    ZENDRA_DIRECT void Undo();
    void Undo(int count);
    // To be called before the registers are edited between instructions (by a user, a
    // debugger, a runner), so that taking back the last instruction still restores them.
    void EditingRegisters();
    // Before bytes are written by hand (a variable edited): their contents join the last
    // instruction's writes, so that taking it back takes the edit back too.
    void EditingMemory(unsigned int address, int bytes);

    // Resets the processor from the vectors, and the cycle counter to 0.
    void Reset();
    ZENDRA_DIRECT unsigned int GetVector(VectorNumber number);

    // Clock cycles that the instructions executed since the last reset (Reset() or
    // ResetCycles()) take on an MC68000 at CycleTable::clockRate without wait states, the
    // exceptions that they raised included (see CycleTable for what each costs). Quick and
    // recorded execution count alike; Undo() takes each instruction's cycles back with it. An
    // undo past the last reset leaves 0: the count starts again from there going forward. Read
    // and reset between runs, as the registers are (see the threading contract in Session.h).
    quint64 Cycles() const { return elapsed > origin ? elapsed - origin : 0; }
    // Starts the count again from 0 here, for a user timing a stretch of a program. Taking
    // instructions back then counts down to 0, no further.
    void ResetCycles() { origin = elapsed; }

    ZENDRA_DIRECT void ExceptionProcessing(VectorNumber number);

    // Memory access as instructions see it: a word or long at an odd address faults.
    inline __attribute__((always_inline)) unsigned int Read(unsigned int address, int size);
    inline __attribute__((always_inline)) void Write(unsigned int address, unsigned int value, int size);

    // The instruction's own words at pc. They are never odd, since the opcode before them was
    // fetched from an even pc, and never data for the read watch: neither test applies.
    inline __attribute__((always_inline)) unsigned int Extension(int size) const
    {
        const unsigned int pc = registerFile.pc;
        return pc <= MemoryBuffer::videoStart - unsigned(size / 8) ? Memory::ReadDirect(mainArray, pc, size)
                                                                  : memory->Read(pc, size);
    }
    // An opcode: it faults at an odd pc, and is no data either. main is the memory's main
    // array, which a loop of fetches keeps at hand.
    inline __attribute__((always_inline)) unsigned int Fetch(unsigned int pc, const unsigned char* main) const
    {
        // The usual case, an even pc wholly inside the main array, is one comparison.
        if (Memory::Direct(pc, 16))
            return Memory::ReadDirect(main, pc, 16);
        if (pc & 1)
            ThrowAddressError();
        return memory->Read(pc, 16);
    }
    inline __attribute__((always_inline)) unsigned int Fetch(unsigned int pc) const
    {
        return Fetch(pc, mainArray);
    }

    inline unsigned int GetAddress(unsigned int mode, unsigned int reg, int size, bool update, bool advance);
    inline unsigned int ReadOperand(unsigned int mode, unsigned int reg, int size, bool update, bool advance);
    inline void WriteOperand(unsigned int value, unsigned int mode, unsigned int reg, int size);

    // The operation size of an opcode's size field; the two-bit encodings are tables packed
    // one byte per field value (8, 16, 32, 0 and 0, 8, 32, 16).
    static int Size(unsigned int bits, unsigned int encoding)
    {
        switch (encoding) {
        case 1:
            return (0x00201008 >> (8 * (bits & 3))) & 0xFF;
        case 2:
            return (0x10200800 >> (8 * (bits & 3))) & 0xFF;
        case 3:
            return (bits & 1) ? 32 : 16;
        default:
            return 0;
        }
    }
    static unsigned int GetN(unsigned int value, int size)
    {
        return (size == 8 || size == 16 || size == 32) ? (value >> (size - 1)) & 1 : 0;
    }
    static unsigned int GetZ(unsigned int value, int size)
    {
        return (size == 8 || size == 16 || size == 32) ? (value & SizeMask(size)) == 0 : 0;
    }
    static unsigned int ExtendSign(unsigned char value) { return unsigned(int(static_cast<signed char>(value))); }
    static unsigned int ExtendSign(unsigned short value) { return unsigned(int(static_cast<short>(value))); }
    static unsigned int TestBit(unsigned int value, unsigned int bit) { return (value >> (bit & 31)) & 1; }
    static unsigned int SetBit(unsigned int value, unsigned int bit) { return value | (1u << (bit & 31)); }
    static unsigned int ClearBit(unsigned int value, unsigned int bit) { return value & ~(1u << (bit & 31)); }
    static unsigned int InvertBit(unsigned int value, unsigned int bit) { return value ^ (1u << (bit & 31)); }
    // Inline, for MOVEM, in a few instructions where the host may have no population count.
    static int CountOne(unsigned short mask)
    {
        unsigned int x = mask;
        x -= (x >> 1) & 0x5555;
        x = (x & 0x3333) + ((x >> 2) & 0x3333);
        x = (x + (x >> 4)) & 0x0F0F;
        return int((x + (x >> 8)) & 0x1F);
    }
    static unsigned short Invert(unsigned short mask)
    {
        // Bytes, then nibbles, pairs and single bits change places.
        unsigned int x = mask;
        x = ((x >> 8) | (x << 8)) & 0xFFFF;
        x = ((x >> 4) & 0x0F0F) | ((x & 0x0F0F) << 4);
        x = ((x >> 2) & 0x3333) | ((x & 0x3333) << 2);
        x = ((x >> 1) & 0x5555) | ((x & 0x5555) << 1);
        return static_cast<unsigned short>(x);
    }
    ZENDRA_DIRECT static unsigned int Lsl(unsigned long long& value, int count, int size);
    ZENDRA_DIRECT static unsigned int Lsr(unsigned long long& value, int count, int size);
    ZENDRA_DIRECT static unsigned int Asr(unsigned long long& value, int count, int size);
    ZENDRA_DIRECT unsigned int Rol(unsigned long long& value, int count, int size);
    ZENDRA_DIRECT unsigned int Ror(unsigned long long& value, int count, int size);
    ZENDRA_DIRECT unsigned int Roxl(unsigned long long& value, bool extend, int count, int size);
    ZENDRA_DIRECT unsigned int Roxr(unsigned long long& value, bool extend, int count, int size);

    // The two stop messages.
    ZENDRA_DIRECT static QString TraceMessage();
    ZENDRA_DIRECT static QString AddressErrorMessage();

    VectorNumber vector;
    // While set, the reads of instructions (not their fetches) are looked up in it, and the
    // first that touches a read watchpoint is kept: its watchpoint (-1 for none), address
    // and size. Reads cost one test more only while it is set.
    const WatchpointIndex* readWatch = nullptr;
    int readHit = -1;
    unsigned int readAddress = 0;
    int readSize = 0;
    // With readWatch set (empty if need be), a read of an instruction that touches the
    // keyboard area sets keyboardRead, whatever the watchpoints: the runner's keys wait for it.
    bool noteKeyboardReads = false;
    bool keyboardRead = false;
    ZENDRA_DIRECT void NoteRead(unsigned int address, int size);
    UndoList undoList;
    // Why execution stopped on its own, as a message for the user and as a kind for the
    // code: empty and None while nothing went wrong.
    QString errorMessage;
    enum class Fault : unsigned char { None, Trace, AddressError };
    Fault fault = Fault::None;
    void ClearFault()
    {
        errorMessage.clear();
        fault = Fault::None;
    }
    Memory* memory;
    // The emulator's own registers (registerFile).
    Register* registers;

protected:
#define ZENDRA_EMULATOR_HANDLER(name) ZENDRA_DIRECT void _##name() override;
    ZENDRA_INSTRUCTION_KINDS(ZENDRA_EMULATOR_HANDLER)
#undef ZENDRA_EMULATOR_HANDLER

private:
    friend class InstructionSet;
    using Handler = void (*)(Emulator& emulator, unsigned int opcode);
    // The handler of every first word, and the one that quick slices call (see
    // InstructionSet::ThreadedTable).
    const Handler* handlers;
    const Handler* threaded;
    const Handler* threadedByAddress;
    // What a threaded slice's chains go on through: one of the two, or its copy in wordStops
    // whose marked words stop them; and the addresses marked, for the second.
    const Handler* chained;
    WordStopTable wordStops;
    const std::uint64_t* threadMarks = nullptr;
    // How many more instructions threaded handlers may execute before they return.
    long long threadLeft = 0;
    static constexpr long long longestChain = 4096;
    // The fixed cost in cycles of every first word (CycleTable::Fixed()), which the plain
    // handlers charge from here and the specialised ones as constants of their own.
    const unsigned char* const costs;
    // The registers that registers points at, inside the emulator, so that the handlers reach
    // them at a fixed offset from it rather than through a pointer loaded first.
    Register registerFile;
    // Clock cycles since the emulator was made: moved only by what instructions cost and by
    // Undo(), which finds each instruction's cost from its item's stamp of the counter's low
    // bits. A reset moves origin, from where Cycles() counts, instead.
    unsigned long long elapsed = 0;
    unsigned long long origin = 0;
    void AddCycles(int cycles) { elapsed += static_cast<unsigned long long>(static_cast<long long>(cycles)); }
    // The memory's main array, which never moves, one load nearer.
    const unsigned char* const mainArray;

    [[noreturn]] ZENDRA_DIRECT static void ThrowAddressError();
    void Fail(Fault kind)
    {
        errorMessage = kind == Fault::Trace ? TraceMessage() : AddressErrorMessage();
        fault = kind;
    }
    static unsigned int SizeMask(int size) { return 0xFFFFFFFFu >> (32 - size); }
    static unsigned int SignBit(int size) { return 1u << (size - 1); }
    // The memory modes of GetAddress and ReadOperand, out of line.
    ZENDRA_DIRECT unsigned int MemoryAddress(unsigned int mode, unsigned int reg, int size, bool update, bool advance);
    ZENDRA_DIRECT unsigned int MemoryOperand(unsigned int mode, unsigned int reg, int size, bool update, bool advance);
    // The value of the index register that a brief extension word names.
    unsigned int Index(unsigned int extension) const
    {
        const unsigned int n = (extension >> 12) & 7;
        const unsigned int value = (extension & 0x8000) ? registerFile.AnRef(n) : registerFile.d[n];
        return (extension & 0x800) ? value : ExtendSign(static_cast<unsigned short>(value));
    }
    // Whether condition cc holds: from sr, or from the flags still pending.
    inline __attribute__((always_inline)) bool Condition(unsigned int cc);
    static inline __attribute__((always_inline)) bool Holds(unsigned int cc, bool n, bool z, bool v, bool c);
    // Replaces the condition code bits of mask with bits, settling the pending flags first
    // unless bits replace them all.
    void SetFlags(unsigned int mask, unsigned int bits)
    {
        if (FlagsPending()) {
            if ((mask & 0x0F) == 0x0F)
                pending.kind = FlagsSettled;
            if (mask & FlagX)
                pending.extend = 0;
            SettleFlags();
        }
        StoreFlags(mask, bits);
    }
    // The same where no flag can be pending.
    void StoreFlags(unsigned int mask, unsigned int bits) { registerFile.sr = (registerFile.sr & ~mask) | bits; }
    // During a quick run, N, Z, V and C of the frequent instructions are kept as their
    // operands until something reads them, since most are overwritten unread: how they set the
    // flags, and the operands at the top of a host word (the result alone for a move or a
    // logical operation, which clear V and C; the result and C for a shift or rotation, which
    // clear V). X waits apart, as the bit that an addition, subtraction or shift left, since
    // the moves and comparisons that follow it keep it. Recorded execution sets every flag at
    // once: it would have to settle them after every instruction anyway. Nothing outside
    // QuickExecute ever sees them pending.
    enum PendingFlags : unsigned char { FlagsSettled, FlagsOfMove, FlagsOfAdd, FlagsOfSubtract, FlagsOfCompare, FlagsOfShift };
    // extend is 0, or extendPending with X in bit 0. Each byte is read as it is stored: one
    // read of both would wait for the handler's store of either, not forwarded to it.
    struct Pending
    {
        PendingFlags kind;
        unsigned char extend;
    };
    static constexpr unsigned char extendPending = 2;
    bool deferring = false;
    // The operands apart, so that the compiler does not pair their stores in a vector register.
    unsigned int pendingDestination = 0;
    Pending pending = {FlagsSettled, 0};
    unsigned int pendingSource = 0;
    bool FlagsPending() const
    {
        return pending.kind != FlagsSettled || pending.extend != 0;
    }
    void SettleFlags()
    {
        if (FlagsPending())
            Settle();
    }
    ZENDRA_DIRECT void Settle();
    void DeferFlags(unsigned int result, int size)
    {
        pending.kind = FlagsOfMove;
        pendingDestination = result << (32 - size);
    }
    // A shift's or rotation's result and carry, which is X too when setsExtend.
    void DeferShiftFlags(unsigned int result, unsigned int carry, bool setsExtend, int size)
    {
        pending.kind = FlagsOfShift;
        pendingDestination = result << (32 - size);
        pendingSource = carry;
        if (setsExtend)
            pending.extend = extendPending | carry;
    }
    void DeferFlags(PendingFlags kind, unsigned int source, unsigned int destination, int size)
    {
        const unsigned int a = destination << (32 - size);
        const unsigned int b = source << (32 - size);
        pending.kind = kind;
        pendingDestination = a;
        pendingSource = b;
        if (kind == FlagsOfAdd)
            pending.extend = extendPending | (a + b < a);
        else if (kind == FlagsOfSubtract)
            pending.extend = extendPending | (a < b);
    }
    static unsigned int NZ(unsigned int result, int size)
    {
        return ((result & SignBit(size)) ? FlagN : 0) | ((result & SizeMask(size)) ? 0 : FlagZ);
    }
    // The flags of destination + source and of destination - source at a size. Moved to the
    // top of a host word, the operands give the 68000's carry as the host's, which the
    // compiler reads from the host's own flags.
    static unsigned int AddFlags(unsigned int source, unsigned int destination, int size)
    {
        const unsigned int a = destination << (32 - size);
        const unsigned int b = source << (32 - size);
        unsigned int top;
        const bool carry = __builtin_add_overflow(a, b, &top);
        return TopFlags(top, carry, ((a ^ top) & (b ^ top)) >> 31);
    }
    // carryFlags is C alone for a comparison, which leaves X.
    static unsigned int SubFlags(unsigned int source, unsigned int destination, int size,
                                 unsigned int carryFlags = FlagC | FlagX)
    {
        const unsigned int a = destination << (32 - size);
        const unsigned int b = source << (32 - size);
        unsigned int top;
        const bool borrow = __builtin_sub_overflow(a, b, &top);
        return TopFlags(top, borrow, ((a ^ b) & (a ^ top)) >> 31, carryFlags);
    }
    // carryFlags (X and C) from carry, V from overflow, N and Z from a result at the top of a
    // host word.
    static unsigned int TopFlags(unsigned int top, unsigned int carry, unsigned int overflow,
                                 unsigned int carryFlags = FlagC | FlagX)
    {
        return carry * carryFlags + overflow * FlagV + (top == 0) * FlagZ + (top >> 31) * FlagN;
    }
    // The same for ADDX and SUBX, whose result also counts the X bit.
    static unsigned int AddExtendedFlags(unsigned int source, unsigned int destination, unsigned int result, int size)
    {
        const unsigned int msb = SignBit(size);
        unsigned int flags = NZ(result, size);
        if (((source & destination) | (~result & destination) | (source & ~result)) & msb)
            flags |= FlagC | FlagX;
        if (((source & destination & ~result) | (~source & ~destination & result)) & msb)
            flags |= FlagV;
        return flags;
    }
    static unsigned int SubExtendedFlags(unsigned int source, unsigned int destination, unsigned int result, int size)
    {
        const unsigned int msb = SignBit(size);
        unsigned int flags = NZ(result, size);
        if (((source & ~destination) | (result & ~destination) | (source & result)) & msb)
            flags |= FlagC | FlagX;
        if (((~source & destination & ~result) | (source & ~destination & result)) & msb)
            flags |= FlagV;
        return flags;
    }
    // Only a per-kind handler can set the trace bit (MOVE to SR, RTE, ORI or EORI to SR,
    // STOP). It says so through vector, which the loops test after every instruction anyway,
    // so that a slice need not test sr after every one; no exception is taken for it.
    static constexpr VectorNumber traceArmed = VectorNumber(-2);
    void ArmTrace()
    {
        if ((registerFile.sr & Register::traceBit) && vector == NoVector)
            vector = traceArmed;
    }
    // Takes the exception that an instruction left, if it is one to take; false when that
    // faults. Out of line: the loops only call it after an instruction that left a vector.
    ZENDRA_DIRECT bool TakeException();
    ZENDRA_DIRECT void TakeBack();
    // After an instruction of a slice: takes the exception that it left, if any, and tells
    // whether the slice stops there, on its last instruction or on the trace bit.
    ZENDRA_DIRECT bool StopsAfter(bool last, bool told);
    // QuickExecute(count) through the threaded handlers, stopping before an instruction whose
    // address or first word stops marks (none when null); told: a stop on the trace bit says
    // so at once, as SliceStarts.
    long long ThreadedSlice(long long count, bool told, const BreakpointIndex* stops);
    bool SliceStarts(long long count, bool told);
    // Before a recorded instruction of first word word: the registers that it may write are
    // kept, and its writes recorded, straight into the item that it will add. recording: the
    // memory is recording already, as it stays from one instruction of a slice to the next.
    template <bool recording = false>
    inline __attribute__((always_inline)) void StartItem(unsigned int word)
    {
        UndoItem& item = undoList.items.Spare();
        item.Keep(registerFile, word);
        item.Stamp(elapsed);
        item.memory.clear();
        if (recording)
            memory->RecordNext(&item.memory);
        else
            memory->RecordInto(&item.memory);
    }
    // The same for a recorded slice, which adds the instruction's item here: taken back when
    // the exception faults. told: a stop on the trace bit says so at once.
    ZENDRA_DIRECT bool RecordedStopsAfter(bool last, bool told);
    // marked: given an index, whose kinds of marks it tests.
    template <bool marked, bool addresses, bool instructions>
    long long RecordedSlice(long long count, const BreakpointIndex* stops);
    // instructions: 0 for none, 1 for one word marked, 2 for a bitmap of them.
    template <bool addresses, int instructions, bool observed = false>
    long long QuickSlice(long long count, const BreakpointIndex* stops, ExecutionObserver* observer = nullptr);
    // Whether the trace bit stops execution here; told: the stop's message is set at once.
    bool TraceStops(bool told = true)
    {
        if (!(registerFile.sr & Register::traceBit))
            return false;
        if (told)
            Fail(Fault::Trace);
        return true;
    }
    // Whether the vector that an instruction left is an exception to take: not a line 1010
    // or 1111 word, nor the trace bit's mark, which it clears.
    bool TakesException()
    {
        if (vector == traceArmed) {
            vector = NoVector;
            return false;
        }
        return !LineWord();
    }
    // Privileged instructions in user state: raise the violation with pc back on the opcode.
    ZENDRA_DIRECT bool PrivilegeViolated();
    inline void Push(unsigned int value);
    inline unsigned int Pop();
    ZENDRA_DIRECT void ShiftRegister(int kind);
    ZENDRA_DIRECT void ShiftMemory(int kind);
    ZENDRA_DIRECT void BitOperation(int kind);
    void ExtendedOperands(int size, unsigned int& source, unsigned int& destination);
    void StoreExtended(unsigned int result, int size);
    ZENDRA_DIRECT bool Unmatched();
    // The vector of a line 1010 or 1111 word, which is consumed without an exception.
    bool LineWord() const { return vector == Line1010Emulator || vector == Line1111Emulator; }
};

inline unsigned int Emulator::Read(unsigned int address, int size)
{
    const bool direct = Memory::Direct(address, size);
    if (!direct && (address & 1) && size > 8)
        ThrowAddressError();
    if (__builtin_expect(readWatch != nullptr, false))
        NoteRead(address, size);
    return direct ? Memory::ReadDirect(mainArray, address, size) : memory->Read(address, size);
}

inline void Emulator::Write(unsigned int address, unsigned int value, int size)
{
    if (Memory::Direct(address, size)) {
        memory->WriteDirect(address, value, size);
        return;
    }
    if ((address & 1) && size > 8)
        ThrowAddressError();
    memory->Write(address, value, size, false);
}

inline unsigned int Emulator::GetAddress(unsigned int mode, unsigned int reg, int size, bool update, bool advance)
{
    if ((mode & 7) == 2)
        return registerFile.AnRef(reg);
    return MemoryAddress(mode, reg, size, update, advance);
}

inline unsigned int Emulator::ReadOperand(unsigned int mode, unsigned int reg, int size, bool update, bool advance)
{
    switch (mode & 7) {
    case 0:
        return registerFile.d[reg & 7];
    case 1:
        return registerFile.AnRef(reg);
    case 2:
        return Read(registerFile.AnRef(reg), size);
    default:
        return MemoryOperand(mode, reg, size, update, advance);
    }
}

inline void Emulator::WriteOperand(unsigned int value, unsigned int mode, unsigned int reg, int size)
{
    switch (mode & 7) {
    case 0:
        registerFile.SetDn(reg, value, size);
        break;
    case 1:
        registerFile.SetAn(reg, value, size);
        break;
    default:
        Write(GetAddress(mode, reg, size, true, true), value, size);
        break;
    }
}

inline bool Emulator::Condition(unsigned int cc)
{
    cc &= 15;
    // Always and never read no flag.
    if (cc < 2)
        return cc == 0;
    // Settled first: recorded execution finds them so every time.
    if (pending.kind == FlagsSettled) {
        const unsigned int sr = registerFile.sr;
        return Holds(cc, sr & FlagN, sr & FlagZ, sr & FlagV, sr & FlagC);
    }
    const unsigned int a = pendingDestination;
    const unsigned int b = pendingSource;
    switch (pending.kind) {
    case FlagsOfMove:
        return Holds(cc, a >> 31, a == 0, false, false);
    case FlagsOfAdd: {
        const unsigned int r = a + b;
        return Holds(cc, r >> 31, r == 0, ((a ^ r) & (b ^ r)) >> 31, r < a);
    }
    case FlagsOfShift:
        return Holds(cc, a >> 31, a == 0, false, b != 0);
    default: {
        const unsigned int r = a - b;
        return Holds(cc, r >> 31, r == 0, ((a ^ b) & (a ^ r)) >> 31, a < b);
    }
    }
}

inline bool Emulator::Holds(unsigned int cc, bool n, bool z, bool v, bool c)
{
    switch (cc & 15) {
    case 0: return true;
    case 1: return false;
    case 2: return !c && !z;
    case 3: return c || z;
    case 4: return !c;
    case 5: return c;
    case 6: return !z;
    case 7: return z;
    case 8: return !v;
    case 9: return v;
    case 10: return !n;
    case 11: return n;
    case 12: return n == v;
    case 13: return n != v;
    case 14: return !z && n == v;
    default: return z || n != v;
    }
}

inline void Emulator::Push(unsigned int value)
{
    unsigned int& sp = registerFile.A7();
    sp -= 4;
    Write(sp, value, 32);
}

inline unsigned int Emulator::Pop()
{
    unsigned int& sp = registerFile.A7();
    const unsigned int value = Read(sp, 32);
    sp += 4;
    return value;
}

#endif
