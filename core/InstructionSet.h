#ifndef ZENDRA_CORE_INSTRUCTIONSET_H
#define ZENDRA_CORE_INSTRUCTIONSET_H

#include "core/BreakpointIndex.h"
#include "core/Emulator.h"

#include <type_traits>

// Forced in optimised builds, where the constants must reach the operand code. An
// unoptimised build would gain nothing from it but takes many times longer to compile, and so
// would the sanitizers' checked builds, which measure no speed.
#if defined(__OPTIMIZE__) && !defined(ZENDRA_CHECKED_BUILD)
#define ZENDRA_ALWAYS_INLINE inline __attribute__((always_inline))
#else
#define ZENDRA_ALWAYS_INLINE inline
#endif

// The semantics of the instructions that compiled programs run most, each written once over an
// operation size, an effective-address form and the opcode's other choices. The emulator's
// per-kind handlers call them with those taken from the opcode at run time; the table of
// specialised handlers calls them with compile-time constants, one instance per combination,
// so that no size or addressing mode is decoded while it runs. Both therefore execute the same
// code, only folded differently.
class InstructionSet
{
public:
    using Handler = void (*)(Emulator& emulator, unsigned int opcode);
    template <int N>
    using Fixed = std::integral_constant<int, N>;

    // Effective-address forms: the modes 0 to 6, then mode 7 by its register: absolute short,
    // absolute long, d16(PC), d8(PC,Xi), immediate, and one form for registers 5 to 7.
    enum Form { FormAbsoluteShort = 7, FormAbsoluteLong, FormPcDisplacement, FormPcIndex, FormImmediate, FormNone, FormCount };
    static int FormOf(unsigned int mode, unsigned int reg)
    {
        mode &= 7;
        reg &= 7;
        return mode < 7 ? int(mode) : reg < 5 ? FormAbsoluteShort + int(reg) : FormNone;
    }
    static int FormOf(unsigned int opcode) { return FormOf(opcode >> 3, opcode); }

    enum ShiftKind { Arithmetic, Logical, Rotate, RotateExtend };

    // Specialised handlers for every first word, or the plain per-kind ones through Decode.
    static const Handler* SpecialisedTable();
    static const Handler* PlainTable();
    // The handlers of quick slices: the specialised ones threaded, each going on to the next
    // instruction's itself, testing the marked addresses on the way or not; or the plain ones,
    // each returning after its instruction, counted as the threaded ones count. Indexed and
    // called by the first word in the host's byte order (Memory::HostWord).
    static const Handler* ThreadedTable(bool specialised, bool addresses);

    // A handler alone, and threaded without and with address tests.
    struct Handlers
    {
        Handler alone;
        Handler threaded;
        Handler threadedByAddress;
    };
    // For the handlers that never leave a vector: the specialised ones, MOVEQ and the kinds
    // that touch no flag. jumps: run may set pc anywhere (a branch, jump or return).
    template <Handler run, bool jumps = false>
    static constexpr Handlers Both()
    {
        return {run, &Threaded<run, false, jumps>, &Threaded<run, true, jumps>};
    }
    // For the others, which return to the loop after their instruction, as it expects.
    template <Handler run>
    static constexpr Handlers Single()
    {
        return {run, &Counted<run>, &Counted<run>};
    }
    // run, then the next instruction's handler in its place, as a jump rather than a call, until
    // the emulator's threaded count runs out, the next first word lies outside the main array
    // or its address (when addresses are marked) or word is marked: then back to the loop that
    // began, which sees to all three. Marked words are the table's (see WordStopTable).
    // Each handler jumping on from its own place, the host predicts the next one by the one
    // before. The decoder's opcode is left to the handlers that read it.
    // The chains' tables are indexed by the first word in the host's byte order (HostWord),
    // and their handlers are given it so: the one swap is folded into the handler's taking of
    // the word's fields, where the tail would otherwise swap it, then widen it twice.
    template <Handler run, bool addresses, bool jumps>
    static void Threaded(Emulator& e, unsigned int host)
    {
        // Only quick slices, which defer the flags, run them: the handler need not ask.
        if (!e.deferring)
            __builtin_unreachable();
        run(e, Memory::SwapHostWord(host));
        if (__builtin_expect(--e.threadLeft == 0, false))
            return;
        Register& r = e.registerFile;
        const unsigned int pc = r.pc;
        // An instruction that does not jump leaves pc even, as it found it: only the range
        // is left to test.
        if (jumps ? !Memory::Direct(pc, 16) : pc > MemoryBuffer::videoStart - 2)
            return;
        const unsigned int word = Memory::HostWord(e.mainArray, pc);
        if (addresses && BreakpointIndex::Test(e.threadMarks, pc))
            return;
        r.pc = pc + 2;
        return e.chained[word](e, word);
    }
    // A chain's handler for a word that its slice stops before: back to the loop, pc on the
    // word, uncounted; the loop's own test then stops there.
    static void StopBefore(Emulator& e, unsigned int) { e.registerFile.pc -= 2; }
    template <Handler run>
    static void Counted(Emulator& e, unsigned int host)
    {
        const unsigned int op = Memory::SwapHostWord(host);
        e.opcode = op;
        run(e, op);
        --e.threadLeft;
    }

    // The per-kind handlers that no specialisation covers, for the specialised table.
// They read sr as they find it, so the flags still pending are settled first, and they alone
// can set the trace bit, which they report (see ArmTrace).
// Each handler first charges its word's fixed cost in cycles: from the table here, as a
// constant of the same rules in the specialised families (see CycleTable).
#define ZENDRA_PLAIN_HANDLER(name)                                                                                      \
    static void Plain##name(Emulator& e, unsigned int op)                                                               \
    {                                                                                                                  \
        ChargeFixed(e, op);                                                                                            \
        e.SettleFlags();                                                                                               \
        e._##name();                                                                                                   \
        e.ArmTrace();                                                                                                  \
    }
    ZENDRA_INSTRUCTION_KINDS(ZENDRA_PLAIN_HANDLER)
#undef ZENDRA_PLAIN_HANDLER
    // The same for the kinds that touch no bit of sr (RTS, LINK, UNLK, NOP): nothing to settle
    // or report.
#define ZENDRA_FLAG_FREE_HANDLER(name, cycles)                                                                          \
    static void FlagFree##name(Emulator& e, unsigned int op)                                                            \
    {                                                                                                                  \
        e.opcode = op;                                                                                                 \
        Charge<cycles>(e);                                                                                             \
        e._##name();                                                                                                   \
    }
    ZENDRA_FLAG_FREE_HANDLER(RTS, CycleTable::returnFromSubroutine)
    ZENDRA_FLAG_FREE_HANDLER(LINK, CycleTable::link)
    ZENDRA_FLAG_FREE_HANDLER(UNLK, CycleTable::unlink)
    ZENDRA_FLAG_FREE_HANDLER(NOP, CycleTable::noOperation)
#undef ZENDRA_FLAG_FREE_HANDLER
    static void Unmatched(Emulator& e, unsigned int op)
    {
        ChargeFixed(e, op);
        e.Unmatched();
    }
    static void Decoded(Emulator& e, unsigned int op)
    {
        ChargeFixed(e, op);
        e.SettleFlags();
        if (!e.Decode())
            e.Unmatched();
        e.ArmTrace();
    }

    // A word's fixed cost, a constant, as a specialised handler knows it; read from the table
    // by the others.
    template <int cycles>
    static ZENDRA_ALWAYS_INLINE void Charge(Emulator& e)
    {
        e.elapsed += unsigned(cycles);
    }
    static ZENDRA_ALWAYS_INLINE void ChargeFixed(Emulator& e, unsigned int op) { e.elapsed += e.costs[op & 0xFFFF]; }

    // A7 moves by a whole word for a byte, to keep the stack pointer even.
    template <class S>
    static ZENDRA_ALWAYS_INLINE unsigned int Step(unsigned int reg, S size)
    {
        return (reg == 7 && size == 8) ? 2u : unsigned(size / 8);
    }

    // The effective address of a memory operand; update applies (An)+ and -(An), advance
    // steps pc over the extension words.
    template <class F, class S>
    static ZENDRA_ALWAYS_INLINE unsigned int Address(Emulator& e, F form, unsigned int reg, S size, bool update,
                                                     bool advance)
    {
        Register& r = e.registerFile;
        reg &= 7;
        switch (int(form)) {
        case 2:
            return r.AnRef(reg);
        case 3: {
            unsigned int& an = r.AnRef(reg);
            const unsigned int address = an;
            if (update)
                an += Step(reg, size);
            return address;
        }
        case 4: {
            unsigned int& an = r.AnRef(reg);
            const unsigned int address = an - Step(reg, size);
            if (update)
                an = address;
            return address;
        }
        case 5: {
            const unsigned int base = r.AnRef(reg);
            const unsigned int address = base + Emulator::ExtendSign(static_cast<unsigned short>(e.Extension(16)));
            if (advance)
                r.pc += 2;
            return address;
        }
        case 6: {
            const unsigned int base = r.AnRef(reg);
            const unsigned int extension = e.Extension(16);
            if (advance)
                r.pc += 2;
            return base + e.Index(extension) + Emulator::ExtendSign(static_cast<unsigned char>(extension));
        }
        case FormAbsoluteShort: {
            const unsigned int address = Emulator::ExtendSign(static_cast<unsigned short>(e.Extension(16)));
            if (advance)
                r.pc += 2;
            return address;
        }
        case FormAbsoluteLong: {
            const unsigned int address = e.Extension(32);
            if (advance)
                r.pc += 4;
            return address;
        }
        case FormPcDisplacement: {
            // Relative to the extension word itself.
            const unsigned int base = r.pc;
            const unsigned int address = base + Emulator::ExtendSign(static_cast<unsigned short>(e.Extension(16)));
            if (advance)
                r.pc += 2;
            return address;
        }
        case FormPcIndex: {
            const unsigned int base = r.pc;
            const unsigned int extension = e.Extension(16);
            if (advance)
                r.pc += 2;
            return base + e.Index(extension) + Emulator::ExtendSign(static_cast<unsigned char>(extension));
        }
        default:
            return 0;
        }
    }

    // An operand's value: all 32 bits of a register, the whole extension word of a byte or
    // word immediate, or the memory operand.
    template <class F, class S>
    static ZENDRA_ALWAYS_INLINE unsigned int Operand(Emulator& e, F form, unsigned int reg, S size, bool update,
                                                     bool advance)
    {
        Register& r = e.registerFile;
        switch (int(form)) {
        case 0:
            return r.d[reg & 7];
        case 1:
            return r.AnRef(reg);
        case FormImmediate: {
            const unsigned int value = e.Extension(size == 32 ? 32 : 16);
            if (advance)
                r.pc += size == 32 ? 4 : 2;
            return value;
        }
        default:
            return e.Read(Address(e, form, reg, size, update, advance), size);
        }
    }

    template <class F, class S>
    static ZENDRA_ALWAYS_INLINE void Store(Emulator& e, unsigned int value, F form, unsigned int reg, S size)
    {
        switch (int(form)) {
        case 0:
            e.registerFile.SetDn(reg, value, size);
            break;
        case 1:
            e.registerFile.SetAn(reg, value, size);
            break;
        default:
            e.Write(Address(e, form, reg, size, true, true), value, size);
            break;
        }
    }

    // The flags of a move's or logical operation's result, and of an addition, subtraction or
    // comparison: deferred during a quick run, set at once otherwise.
    template <class S>
    static ZENDRA_ALWAYS_INLINE void ResultFlags(Emulator& e, unsigned int result, S s)
    {
        if (e.deferring)
            e.DeferFlags(result, s);
        else
            e.StoreFlags(0x0F, Emulator::NZ(result, s));
    }
    template <Emulator::PendingFlags kind, class S>
    static ZENDRA_ALWAYS_INLINE void ArithmeticFlags(Emulator& e, unsigned int source, unsigned int destination, S s)
    {
        if (e.deferring)
            e.DeferFlags(kind, source, destination, s);
        else if (kind == Emulator::FlagsOfAdd)
            e.StoreFlags(0x1F, Emulator::AddFlags(source, destination, s));
        else if (kind == Emulator::FlagsOfSubtract)
            e.StoreFlags(0x1F, Emulator::SubFlags(source, destination, s));
        else
            e.StoreFlags(0x0F, Emulator::SubFlags(source, destination, s, Emulator::FlagC));
    }

    // Data movement and arithmetic. Opcode fields: EA register bits 2-0, the second register
    // bits 11-9.
    template <class S, class F, class G>
    static ZENDRA_ALWAYS_INLINE void Move(Emulator& e, unsigned int op, S s, F source, G destination)
    {
        const unsigned int value = Operand(e, source, op, s, true, true);
        Store(e, value, destination, op >> 9, s);
        ResultFlags(e, value, s);
    }

    template <class S, class F>
    static ZENDRA_ALWAYS_INLINE void MoveAddress(Emulator& e, unsigned int op, S s, F source)
    {
        unsigned int value = Operand(e, source, op, s, true, true);
        if (s == 16)
            value = Emulator::ExtendSign(static_cast<unsigned short>(value));
        e.registerFile.AnRef(op >> 9) = value;
    }

    static ZENDRA_ALWAYS_INLINE void MoveQuick(Emulator& e, unsigned int op)
    {
        const unsigned int value = Emulator::ExtendSign(static_cast<unsigned char>(op));
        e.registerFile.d[(op >> 9) & 7] = value;
        ResultFlags(e, value, Fixed<32>());
    }

    // ADD and SUB, Dn op <ea> to Dn, or to <ea> when toMemory.
    template <bool subtract, class S, class F, class M>
    static ZENDRA_ALWAYS_INLINE void AddSub(Emulator& e, unsigned int op, S s, F form, M toMemory)
    {
        const unsigned int n = (op >> 9) & 7;
        Register& r = e.registerFile;
        if (!toMemory) {
            const unsigned int source = Operand(e, form, op, s, true, true);
            const unsigned int destination = r.d[n];
            const unsigned int result = subtract ? destination - source : destination + source;
            r.SetDn(n, result, s);
            ArithmeticFlags<subtract ? Emulator::FlagsOfSubtract : Emulator::FlagsOfAdd>(e, source, destination, s);
        } else {
            const unsigned int source = r.d[n];
            const unsigned int destination = Operand(e, form, op, s, false, false);
            const unsigned int result = subtract ? destination - source : destination + source;
            Store(e, result, form, op, s);
            ArithmeticFlags<subtract ? Emulator::FlagsOfSubtract : Emulator::FlagsOfAdd>(e, source, destination, s);
        }
    }

    // ADDA, SUBA: the source widened to 32 bits, no flags.
    template <bool subtract, class S, class F>
    static ZENDRA_ALWAYS_INLINE void AddSubAddress(Emulator& e, unsigned int op, S s, F form)
    {
        unsigned int source = Operand(e, form, op, s, true, true);
        if (s == 16)
            source = Emulator::ExtendSign(static_cast<unsigned short>(source));
        unsigned int& an = e.registerFile.AnRef(op >> 9);
        an = subtract ? an - source : an + source;
    }

    // ADDQ, SUBQ: an address register changes whole and keeps the flags.
    template <bool subtract, class S, class F>
    static ZENDRA_ALWAYS_INLINE void AddSubQuick(Emulator& e, unsigned int op, S s, F form)
    {
        unsigned int q = (op >> 9) & 7;
        if (q == 0)
            q = 8;
        if (form == 1) {
            unsigned int& an = e.registerFile.AnRef(op);
            an = subtract ? an - q : an + q;
            return;
        }
        const unsigned int destination = Operand(e, form, op, s, false, false);
        const unsigned int result = subtract ? destination - q : destination + q;
        Store(e, result, form, op, s);
        ArithmeticFlags<subtract ? Emulator::FlagsOfSubtract : Emulator::FlagsOfAdd>(e, q, destination, s);
    }

    template <class S, class F>
    static ZENDRA_ALWAYS_INLINE void Compare(Emulator& e, unsigned int op, S s, F form)
    {
        const unsigned int source = Operand(e, form, op, s, true, true);
        const unsigned int destination = e.registerFile.d[(op >> 9) & 7];
        ArithmeticFlags<Emulator::FlagsOfCompare>(e, source, destination, s);
    }

    template <class S, class F>
    static ZENDRA_ALWAYS_INLINE void CompareAddress(Emulator& e, unsigned int op, S s, F form)
    {
        unsigned int source = Operand(e, form, op, s, true, true);
        if (s == 16)
            source = Emulator::ExtendSign(static_cast<unsigned short>(source));
        const unsigned int destination = e.registerFile.AnRef(op >> 9);
        ArithmeticFlags<Emulator::FlagsOfCompare>(e, source, destination, Fixed<32>());
    }

    template <class S, class F>
    static ZENDRA_ALWAYS_INLINE void Test(Emulator& e, unsigned int op, S s, F form)
    {
        ResultFlags(e, Operand(e, form, op, s, true, true), s);
    }

    template <class S, class F>
    static ZENDRA_ALWAYS_INLINE void Clear(Emulator& e, unsigned int op, S s, F form)
    {
        Store(e, 0, form, op, s);
        ResultFlags(e, 0, s);
    }

    enum LogicKind { And, Or, ExclusiveOr };

    // AND, OR (either direction) and EOR (always to <ea>).
    template <int kind, class S, class F, class M>
    static ZENDRA_ALWAYS_INLINE void Logic(Emulator& e, unsigned int op, S s, F form, M toMemory)
    {
        const unsigned int n = (op >> 9) & 7;
        Register& r = e.registerFile;
        unsigned int result;
        if (!toMemory) {
            const unsigned int source = Operand(e, form, op, s, true, true);
            result = kind == And ? r.d[n] & source : kind == Or ? r.d[n] | source : r.d[n] ^ source;
            r.SetDn(n, result, s);
        } else {
            const unsigned int destination = Operand(e, form, op, s, false, false);
            result = kind == And ? r.d[n] & destination : kind == Or ? r.d[n] | destination : r.d[n] ^ destination;
            Store(e, result, form, op, s);
        }
        ResultFlags(e, result, s);
    }

    // LEA, PEA, JMP, JSR: the control addressing modes.
    template <class F>
    static ZENDRA_ALWAYS_INLINE void LoadAddress(Emulator& e, unsigned int op, F form)
    {
        const unsigned int address = Address(e, form, op, 32, true, true);
        e.registerFile.AnRef(op >> 9) = address;
    }

    template <class F>
    static ZENDRA_ALWAYS_INLINE void PushAddress(Emulator& e, unsigned int op, F form)
    {
        e.Push(Address(e, form, op, 32, true, true));
    }

    template <class F>
    static ZENDRA_ALWAYS_INLINE void Jump(Emulator& e, unsigned int op, F form)
    {
        e.registerFile.pc = Address(e, form, op, 32, true, true);
    }

    template <class F>
    static ZENDRA_ALWAYS_INLINE void JumpToSubroutine(Emulator& e, unsigned int op, F form)
    {
        const unsigned int target = Address(e, form, op, 32, true, true);
        e.Push(e.registerFile.pc);
        e.registerFile.pc = target;
    }

    // MOVEM's registers from memory or to it, from address up, in mask's order (D0 at bit 0):
    // data and address registers in loops of their own, and A7 last, so that no register is
    // chosen at run time. Direct when the whole list is a direct access.
    template <class S, class D>
    static ZENDRA_ALWAYS_INLINE unsigned int LoadList(Emulator& e, unsigned int mask, unsigned int address, S s, D direct)
    {
        Register& r = e.registerFile;
        const auto load = [&e, &address, s, direct]() __attribute__((always_inline)) {
            unsigned int value = direct ? Memory::ReadDirect(e.mainArray, address, s) : e.Read(address, s);
            if (s == 16)
                value = Emulator::ExtendSign(static_cast<unsigned short>(value));
            address += unsigned(s / 8);
            return value;
        };
        for (unsigned int m = mask & 0xFF; m; m &= m - 1)
            r.d[__builtin_ctz(m)] = load();
        for (unsigned int m = (mask >> 8) & 0x7F; m; m &= m - 1)
            r.a[__builtin_ctz(m)] = load();
        if (mask & 0x8000)
            r.A7() = load();
        return address;
    }
    template <class S, class D>
    static ZENDRA_ALWAYS_INLINE void StoreList(Emulator& e, unsigned int mask, unsigned int address, S s, D direct)
    {
        Register& r = e.registerFile;
        const auto store = [&e, &address, s, direct](unsigned int value) __attribute__((always_inline)) {
            if (direct)
                e.memory->WriteDirect(address, value, s);
            else
                e.Write(address, value, s);
            address += unsigned(s / 8);
        };
        for (unsigned int m = mask & 0xFF; m; m &= m - 1)
            store(r.d[__builtin_ctz(m)]);
        for (unsigned int m = (mask >> 8) & 0x7F; m; m &= m - 1)
            store(r.a[__builtin_ctz(m)]);
        if (mask & 0x8000)
            store(r.A7());
    }

    // MOVEM: the registers in the mask to memory or back, D0 to A7 from the lowest address.
    // For -(An) the mask runs from A7 (bit 0) to D0 (bit 15), and An ends on the lowest
    // address; (An)+ leaves An past the last register read.
    template <class S, class F>
    static ZENDRA_ALWAYS_INLINE void MoveMultiple(Emulator& e, unsigned int op, S s, F form)
    {
        Register& r = e.registerFile;
        unsigned int mask = e.Extension(16);
        r.pc += 2;
        const unsigned int an = op & 7;
        // Steps over the extension words even for an empty list, so that they never run as code.
        unsigned int address = Address(e, form, an, s, false, true);
        if (mask == 0)
            return;
        const unsigned int step = unsigned(s / 8);
        // Reversing the mask for -(An) keeps its count.
        const unsigned int count = unsigned(Emulator::CountOne(static_cast<unsigned short>(mask)));
        e.elapsed += unsigned(CycleTable::MoveMultipleRegisters(int(count), int(s)));
        // A list wholly inside the main array, aligned, skips each access's own tests (the
        // alignment and range tests of its first and last words cover every word between).
        const auto direct = [&](unsigned int first) {
            return Memory::Direct(first, s) && Memory::Direct(first + (count - 1) * step, s);
        };
        if (op & 0x400) {
            // The only instruction that writes registers its first word does not name.
            if (e.memory->recording)
                e.undoList.items.KeepWhole(r);
            address = e.readWatch == nullptr && direct(address) ? LoadList(e, mask, address, s, Fixed<1>())
                                                                : LoadList(e, mask, address, s, Fixed<0>());
            if (form == 3)
                r.AnRef(an) = address;
            return;
        }
        if (form == 4) {
            mask = Emulator::Invert(static_cast<unsigned short>(mask));
            address = r.AnRef(an) - count * step;
        }
        // No register changes before the last write, so each is read as it is stored.
        if (direct(address))
            StoreList(e, mask, address, s, Fixed<1>());
        else
            StoreList(e, mask, address, s, Fixed<0>());
        if (form == 4)
            r.AnRef(an) = address;
    }

    // Bcc, BRA and BSR; a zero byte displacement takes the word after the opcode. charged: the
    // fixed cost (CycleTable::Branch) is counted already, as the plain handlers count it;
    // otherwise each way counts all of its cost, in one addition.
    template <class C, class W, class K>
    static ZENDRA_ALWAYS_INLINE void Branch(Emulator& e, unsigned int op, C cc, W wordDisplacement, K charged)
    {
        Register& r = e.registerFile;
        const unsigned int base = r.pc;
        unsigned int displacement = Emulator::ExtendSign(static_cast<unsigned char>(op));
        if (wordDisplacement) {
            displacement = Emulator::ExtendSign(static_cast<unsigned short>(e.Extension(16)));
            r.pc += 2;
        }
        const unsigned int target = base + displacement;
        const unsigned long long fixed = charged ? unsigned(CycleTable::Branch(cc)) : 0u;
        if (cc == 1) {
            e.elapsed += unsigned(CycleTable::Branch(cc)) - fixed;
            e.Push(r.pc);
            r.pc = target;
        } else if (e.Condition(cc)) {
            e.elapsed += unsigned(CycleTable::Branch(cc)) - fixed;
            r.pc = target;
        } else {
            e.elapsed += unsigned(CycleTable::BranchNotTaken(wordDisplacement)) - fixed;
        }
    }

    // charged: as for Branch, the fixed cost (CycleTable::decrementAndBranch) counted already.
    template <class C, class K>
    static ZENDRA_ALWAYS_INLINE void DecrementAndBranch(Emulator& e, unsigned int op, C cc, K charged)
    {
        Register& r = e.registerFile;
        const unsigned int base = r.pc;
        const unsigned int displacement = Emulator::ExtendSign(static_cast<unsigned short>(e.Extension(16)));
        r.pc += 2;
        const unsigned long long fixed = charged ? unsigned(CycleTable::decrementAndBranch) : 0u;
        if (e.Condition(cc)) {
            e.elapsed += unsigned(CycleTable::decrementAndBranchTrue) - fixed;
            return;
        }
        const unsigned int low = (r.d[op & 7] - 1) & 0xFFFF;
        r.SetDn(op, low, 16);
        if (low != 0xFFFF) {
            e.elapsed += unsigned(CycleTable::decrementAndBranch) - fixed;
            r.pc = base + displacement;
        } else {
            e.elapsed += unsigned(CycleTable::decrementAndBranchExpired) - fixed;
        }
    }

    // The shift and rotate primitives: the low size bits of a 64-bit accumulator change, the
    // bits above them stay.
    static ZENDRA_ALWAYS_INLINE unsigned long long LowMask(int size) { return (1ull << size) - 1; }
    static ZENDRA_ALWAYS_INLINE void Merge(unsigned long long& value, unsigned long long bits, int size)
    {
        value = (value & ~LowMask(size)) | (bits & LowMask(size));
    }
    // Rotates the low width bits of x left by count (count at most width).
    static ZENDRA_ALWAYS_INLINE unsigned long long RotateLeft(unsigned long long x, int count, int width)
    {
        x &= LowMask(width);
        if (count == 0 || count == width)
            return x;
        return ((x << count) | (x >> (width - count))) & LowMask(width);
    }
    static ZENDRA_ALWAYS_INLINE unsigned int Lsl(unsigned long long& value, int count, int size)
    {
        const unsigned long long s = value << count;
        Merge(value, s, size);
        return unsigned(s >> size) & 1;
    }
    static ZENDRA_ALWAYS_INLINE unsigned int Lsr(unsigned long long& value, int count, int size)
    {
        const unsigned long long t = value << (64 - size);
        const unsigned long long u = t >> count;
        Merge(value, u >> (64 - size), size);
        return unsigned(u >> (63 - size)) & 1;
    }
    static ZENDRA_ALWAYS_INLINE unsigned int Asr(unsigned long long& value, int count, int size)
    {
        const unsigned long long t = value << (64 - size);
        const unsigned long long u = static_cast<unsigned long long>(static_cast<long long>(t) >> count);
        Merge(value, u >> (64 - size), size);
        return unsigned(u >> (63 - size)) & 1;
    }
    static ZENDRA_ALWAYS_INLINE unsigned int Rol(unsigned long long& value, int count, int size)
    {
        if (count > size)
            count %= size;
        const unsigned long long r = RotateLeft(value, count, size);
        Merge(value, r, size);
        return unsigned(r) & 1;
    }
    static ZENDRA_ALWAYS_INLINE unsigned int Ror(unsigned long long& value, int count, int size)
    {
        if (count > size)
            count %= size;
        const unsigned long long r = RotateLeft(value, (size - count) % size, size);
        Merge(value, r, size);
        return unsigned(r >> (size - 1)) & 1;
    }
    static ZENDRA_ALWAYS_INLINE unsigned int Roxl(unsigned long long& value, bool extend, int count, int size)
    {
        const int width = size + 1;
        if (count > width)
            count %= width;
        const unsigned long long x = (value & LowMask(size)) | (static_cast<unsigned long long>(extend) << size);
        const unsigned long long r = RotateLeft(x, count, width);
        Merge(value, r, size);
        return unsigned(r >> size) & 1;
    }
    static ZENDRA_ALWAYS_INLINE unsigned int Roxr(unsigned long long& value, bool extend, int count, int size)
    {
        const int width = size + 1;
        if (count > width)
            count %= width;
        const unsigned long long x = (value & LowMask(size)) | (static_cast<unsigned long long>(extend) << size);
        const unsigned long long r = RotateLeft(x, (width - count) % width, width);
        Merge(value, r, size);
        return unsigned(r >> size) & 1;
    }

    // ASd, LSd, ROd, ROXd on a data register, by a count in the opcode or in a register.
    // charged: as for Branch, the fixed cost (CycleTable::ShiftRegister) counted already.
    template <class K, class S, class L, class R, class C>
    static ZENDRA_ALWAYS_INLINE void ShiftRegister(Emulator& e, unsigned int op, K kind, S s, L left,
                                                   R countInRegister, C charged)
    {
        Register& r = e.registerFile;
        const unsigned int y = op & 7;
        int count;
        if (countInRegister) {
            count = int(r.d[(op >> 9) & 7] & 63);
        } else {
            count = int((op >> 9) & 7);
            if (count == 0)
                count = 8;
        }
        e.elapsed += unsigned(CycleTable::ShiftCount(count)) + (charged ? 0u : unsigned(CycleTable::ShiftRegister(s)));
        // Only the rotations through X read a flag.
        bool extend = false;
        if (kind == RotateExtend) {
            e.SettleFlags();
            extend = r.sr & Emulator::FlagX;
        }
        unsigned long long value = r.d[y];
        if (countInRegister && count == 0) {
            // Nothing moves; C follows X for the rotations through X.
            const unsigned int carry = (kind == RotateExtend && extend) ? 1 : 0;
            r.SetDn(y, unsigned(value), s);
            ShiftFlags(e, kind, unsigned(value), carry, false, s);
            return;
        }
        unsigned int bit;
        switch (int(kind)) {
        case Arithmetic:
            bit = left ? Lsl(value, count, s) : Asr(value, count, s);
            break;
        case Logical:
            bit = left ? Lsl(value, count, s) : Lsr(value, count, s);
            break;
        case Rotate:
            bit = left ? Rol(value, count, s) : Ror(value, count, s);
            break;
        default:
            bit = left ? Roxl(value, extend, count, s) : Roxr(value, extend, count, s);
            break;
        }
        r.SetDn(y, unsigned(value), s);
        // The rotations without X leave it.
        ShiftFlags(e, kind, unsigned(value), bit, kind != Rotate, s);
    }
    // N and Z of result, V clear, C from carry, and X too when setsExtend: deferred during a
    // quick run, except after a rotation through X, which has just settled them to read X.
    template <class K, class S>
    static ZENDRA_ALWAYS_INLINE void ShiftFlags(Emulator& e, K kind, unsigned int result, unsigned int carry,
                                                bool setsExtend, S s)
    {
        if (e.deferring && kind != RotateExtend) {
            e.DeferShiftFlags(result, carry, setsExtend, s);
            return;
        }
        const unsigned int flags = Emulator::NZ(result, s) | (carry ? Emulator::FlagC | Emulator::FlagX : 0);
        if (setsExtend)
            e.SetFlags(0x1F, flags);
        else
            e.SetFlags(0x0F, flags & 0x0F);
    }
};

#endif
