#include "core/Emulator.h"

#include "core/BreakpointIndex.h"
#include "core/ExecutionObserver.h"
#include "core/InstructionSet.h"

#include <algorithm>
#include <utility>

Emulator::Emulator(Memory* memory)
    : vector(NoVector), memory(memory), registers(&registerFile), handlers(InstructionSet::SpecialisedTable()),
      threaded(InstructionSet::ThreadedTable(true, false)), threadedByAddress(InstructionSet::ThreadedTable(true, true)),
      chained(threaded), costs(CycleTable::Fixed()), mainArray(memory->buffer.mainBuffer)
{
}

void Emulator::UseSpecialisedHandlers(bool on)
{
    handlers = on ? InstructionSet::SpecialisedTable() : InstructionSet::PlainTable();
    threaded = InstructionSet::ThreadedTable(on, false);
    threadedByAddress = InstructionSet::ThreadedTable(on, true);
}

Emulator::~Emulator() = default;

QString Emulator::TraceMessage()
{
    return QStringLiteral(u"L'exception \"Trace\" a \u00e9t\u00e9 lev\u00e9e par le 68000.\u2028"
                          u"Cette exception n'est pas g\u00e9r\u00e9e par l'\u00e9mulateur.");
}

QString Emulator::AddressErrorMessage()
{
    return QStringLiteral(u"L'exception \"Address Error\" a \u00e9t\u00e9 lev\u00e9e par le 68000.\u2028"
                          u"Cette exception n'est pas g\u00e9r\u00e9e par l'\u00e9mulateur.");
}

void Emulator::ThrowAddressError()
{
    throw AddressError;
}

unsigned int Emulator::MemoryAddress(unsigned int mode, unsigned int reg, int size, bool update, bool advance)
{
    return InstructionSet::Address(*this, InstructionSet::FormOf(mode, reg), reg, size, update, advance);
}

unsigned int Emulator::MemoryOperand(unsigned int mode, unsigned int reg, int size, bool update, bool advance)
{
    return InstructionSet::Operand(*this, InstructionSet::FormOf(mode, reg), reg, size, update, advance);
}

// A word that no kind matches. Line 1010 and line 1111 words only leave their vector
// behind (true: see LineWord); any other is an illegal instruction, taken as an exception
// (false).
bool Emulator::Unmatched()
{
    switch (opcode >> 12) {
    case 0xA:
        vector = Line1010Emulator;
        return true;
    case 0xF:
        vector = Line1111Emulator;
        return true;
    default:
        vector = IllegalInstruction;
        return false;
    }
}

void Emulator::Execute()
{
    if (TraceStops())
        return;
    if (!errorMessage.isEmpty())
        ClearFault();
    vector = NoVector;
    Register& r = registerFile;
    const bool direct = Memory::Direct(r.pc, 16);
    unsigned int word = direct ? Memory::ReadDirect(mainArray, r.pc, 16) : 0;
    StartItem(word);

    try {
        // A fetch that faults changes no register: the item needs no word for it.
        if (!direct) {
            word = Fetch(r.pc);
            StartItem(word);
        }
        opcode = word;
        r.pc += 2;
        handlers[word](*this, word);
    } catch (VectorNumber) {
        TakeBack();
        return;
    }
    // A line 1010 or 1111 word is consumed without an exception. It still gets its item:
    // otherwise taking back "one instruction" after it would undo the one before it too.
    if (__builtin_expect(vector != NoVector, false) && !TakeException()) {
        TakeBack();
        return;
    }
    memory->StopRecording();
    undoList.items.Commit();
}

// A recorded instruction that faulted: its item is added, then taken back with its writes.
void Emulator::TakeBack()
{
    memory->StopRecording();
    undoList.items.Commit();
    Fail(Fault::AddressError);
    Undo();
}

bool Emulator::TakeException()
{
    if (!TakesException())
        return true;
    try {
        ExceptionProcessing(vector);
    } catch (VectorNumber) {
        return false;
    }
    return true;
}

// The fetch is written out here as in Execute rather than shared: a common helper measured a
// fifth slower in both modes, and a slice of one a third slower. The exception step, rare,
// is TakeException, as theirs is.
void Emulator::QuickExecute()
{
    if (TraceStops())
        return;
    if (!errorMessage.isEmpty())
        ClearFault();
    vector = NoVector;

    try {
        Register& r = registerFile;
        const unsigned int word = Fetch(r.pc);
        opcode = word;
        r.pc += 2;
        handlers[word](*this, word);
    } catch (VectorNumber) {
        Fail(Fault::AddressError);
        return;
    }
    if (vector != NoVector && !TakeException())
        Fail(Fault::AddressError);
}

// Whether a slice of count instructions starts, after the last message is cleared: not when
// it is empty or the trace bit stops it first, which told says at once.
bool Emulator::SliceStarts(long long count, bool told)
{
    if (!errorMessage.isEmpty())
        ClearFault();
    return count > 0 && !TraceStops(told);
}

long long Emulator::QuickExecute(long long count)
{
    return ThreadedSlice(count, true, nullptr);
}

long long Emulator::ThreadedSlice(long long count, bool told, const BreakpointIndex* stops)
{
    if (!SliceStarts(count, told))
        return 0;
    Register& r = registerFile;
    const unsigned char* const main = mainArray;
    // When addresses are marked, the chains test them before each instruction through a table
    // of their own; they reach a marked word's stop through their table alone. The first
    // instruction after the loop's own test goes through the table without the words' stops.
    const bool addresses = stops && stops->HasAddresses();
    const bool words = stops && stops->HasInstructions();
    const bool marked = addresses || words;
    threadMarks = addresses ? stops->AddressBits() : nullptr;
    const Handler* const table = addresses ? threadedByAddress : threaded;
    chained = words ? wordStops.Mark(table, *stops, &InstructionSet::StopBefore) : table;
    // As a run's lookup: the word is read at any pc, odd ones included.
    const auto isMarked = [&](unsigned int pc) {
        return marked
               && (stops->HasAddress(pc) || stops->HasInstruction(Memory::Direct(pc, 16) ? Memory::ReadDirect(main, pc, 16)
                                                                                        : memory->Read(pc, 16)));
    };
    // vector stays NoVector from one instruction to the next: only the rare instruction that
    // leaves one behind pays for setting it back, and the last keeps it, as QuickExecute()
    // would.
    vector = NoVector;
    deferring = true;
    long long left = count;
    long long chain = 0;
    try {
        for (;;) {
            if (isMarked(r.pc))
                break;
            // The threaded handlers go on from this first one by themselves, for a chain at
            // most: should the host not jump from one to the next, the stack stays small.
            chain = std::min(left, longestChain);
            threadLeft = chain;
            const unsigned int word = Fetch(r.pc, main);
            opcode = word;
            r.pc += 2;
            const unsigned int host = Memory::SwapHostWord(word);
            table[host](*this, host);
            left -= chain - threadLeft;
            if (__builtin_expect(left == 0, false)) {
                StopsAfter(true, told);
                break;
            }
            // The trace bit, which stops the slice before the next instruction, is tested
            // only after an instruction that left a vector: see ArmTrace. Stopping before a
            // marked instruction then leaves this one's vector, as QuickExecute() does.
            if (__builtin_expect(vector != NoVector, false)) {
                if (StopsAfter(false, told) || isMarked(r.pc))
                    break;
                vector = NoVector;
            }
        }
    } catch (VectorNumber) {
        // The instruction that faulted counts; it was not counted yet.
        left -= chain - threadLeft + 1;
        Fail(Fault::AddressError);
    }
    SettleFlags();
    deferring = false;
    return count - left;
}

// Out of line, so that the loop compares vector where it lies. An exception that faults
// stops the slice here, after the count of its instruction. Going on, the vector stays for
// the caller to clear.
bool Emulator::StopsAfter(bool last, bool told)
{
    if (vector != NoVector && !TakeException()) {
        Fail(Fault::AddressError);
        return true;
    }
    return last || TraceStops(told);
}

long long Emulator::QuickExecute(long long count, const BreakpointIndex* stops)
{
    return ThreadedSlice(count, false, stops);
}

long long Emulator::QuickExecute(long long count, const BreakpointIndex* stops, ExecutionObserver* observer)
{
    const bool addresses = stops->HasAddresses();
    if (stops->OnlyInstruction() >= 0)
        return addresses ? QuickSlice<true, 1, true>(count, stops, observer)
                         : QuickSlice<false, 1, true>(count, stops, observer);
    if (stops->HasInstructions())
        return addresses ? QuickSlice<true, 2, true>(count, stops, observer)
                         : QuickSlice<false, 2, true>(count, stops, observer);
    return addresses ? QuickSlice<true, 0, true>(count, stops, observer)
                     : QuickSlice<false, 0, true>(count, stops, observer);
}

// QuickExecute(count) with the marks of a run's breakpoints tested before each instruction,
// as RecordedSlice tests them.
template <bool addresses, int instructions, bool observed>
long long Emulator::QuickSlice(long long count, const BreakpointIndex* stops, ExecutionObserver* observer)
{
    if (!SliceStarts(count, false))
        return 0;
    Register& r = registerFile;
    const Handler* const table = handlers;
    const unsigned char* const main = mainArray;
    // In locals, which the handlers' calls cannot change: not reloaded after each.
    const std::uint64_t* const addressBits = stops->AddressBits();
    const std::uint64_t* const wordBits = stops->InstructionBits();
    const unsigned int only = unsigned(stops->OnlyInstruction());
    const auto isMarked = [&](unsigned int pc, unsigned int word) __attribute__((always_inline)) {
        return (addresses && BreakpointIndex::Test(addressBits, pc & 0xFFFFFF))
               || (instructions == 1 && (word & 0xFFFF) == only)
               || (instructions == 2 && BreakpointIndex::Test(wordBits, word & 0xFFFF));
    };
    vector = NoVector;
    deferring = true;
    long long left = count;
    try {
        for (;;) {
            const unsigned int pc = r.pc;
            const bool direct = Memory::Direct(pc, 16);
            // The lookup reads the word at any pc, odd ones included, as the run's does.
            unsigned int word = direct ? Memory::ReadDirect(main, pc, 16) : memory->Read(pc, 16);
            if (isMarked(pc, word))
                break;
            if (!direct)
                word = Fetch(pc, main);
            opcode = word;
            r.pc = pc + 2;
            table[word](*this, word);
            --left;
            if (__builtin_expect(vector != NoVector, false)) {
                if (!TakeException()) {
                    Fail(Fault::AddressError);
                    break;
                }
                if (observed)
                    observer->Executed(pc);
                // Stopping before the next instruction leaves this one's vector, as
                // QuickExecute() does.
                if (left == 0 || TraceStops(false) || isMarked(r.pc, memory->Read(r.pc, 16)))
                    break;
                vector = NoVector;
                continue;
            }
            if (observed)
                observer->Executed(pc);
            if (left == 0)
                break;
        }
    } catch (VectorNumber) {
        // The instruction that faulted counts; it was not counted yet.
        --left;
        Fail(Fault::AddressError);
    }
    SettleFlags();
    deferring = false;
    return count - left;
}

long long Emulator::Execute(long long count, const BreakpointIndex* stops)
{
    if (!stops)
        return RecordedSlice<false, false, false>(count, nullptr);
    // Only the kinds of breakpoint there are cost a test.
    if (stops->HasInstructions())
        return stops->HasAddresses() ? RecordedSlice<true, true, true>(count, stops)
                                     : RecordedSlice<true, false, true>(count, stops);
    return stops->HasAddresses() ? RecordedSlice<true, true, false>(count, stops)
                                 : RecordedSlice<true, false, false>(count, stops);
}

// Each instruction as Execute() records it, with the memory's recording left on from one to
// the next: only the item it records into changes.
template <bool marked, bool addresses, bool instructions>
long long Emulator::RecordedSlice(long long count, const BreakpointIndex* stops)
{
    if (!SliceStarts(count, !marked))
        return 0;
    Register& r = registerFile;
    const Handler* const table = handlers;
    const unsigned char* const main = mainArray;
    // On until the slice ends; each item only points it at its own list.
    memory->recording = true;
    // Whether a run's lookup finds a breakpoint at pc: on its address, or on the word there,
    // read at any pc as the lookup reads it.
    const auto isMarked = [&](unsigned int pc, unsigned int word) __attribute__((always_inline)) {
        return (addresses && stops->HasAddress(pc)) || (instructions && stops->HasInstruction(word));
    };
    vector = NoVector;
    long long left = count;
    try {
        for (;;) {
            const unsigned int pc = r.pc;
            const bool direct = Memory::Direct(pc, 16);
            unsigned int word = direct ? Memory::ReadDirect(main, pc, 16) : 0;
            if ((addresses || instructions) && isMarked(pc, direct ? word : memory->Read(pc, 16)))
                break;
            StartItem<true>(word);
            if (!direct) {
                word = Fetch(pc, main);
                StartItem<true>(word);
            }
            opcode = word;
            r.pc = pc + 2;
            table[word](*this, word);
            --left;
            if (__builtin_expect(vector != NoVector, false)) {
                if (RecordedStopsAfter(left == 0, !marked))
                    break;
                // A slice that stops before the next instruction leaves this one's vector, as
                // Execute() does.
                if ((addresses || instructions) && isMarked(r.pc, memory->Read(r.pc, 16)))
                    break;
                vector = NoVector;
                continue;
            }
            undoList.items.Commit();
            if (left == 0)
                break;
        }
    } catch (VectorNumber) {
        // The instruction that faulted counts; it was not counted yet.
        --left;
        TakeBack();
    }
    memory->StopRecording();
    return count - left;
}

bool Emulator::RecordedStopsAfter(bool last, bool told)
{
    if (!TakeException()) {
        TakeBack();
        return true;
    }
    undoList.items.Commit();
    return last || TraceStops(told);
}

void Emulator::Undo()
{
    if (undoList.items.isEmpty())
        return;
    const int last = undoList.items.count() - 1;
    const UndoItem& item = *undoList.items.at(last);
    memory->Write(item.memory);
    undoList.items.Rewind(last, registerFile);
    // No instruction costs as much as the stamp's range: the low bits' difference is its cost.
    elapsed -= static_cast<unsigned short>(static_cast<unsigned short>(elapsed) - item.CycleStamp());
    pending = {FlagsSettled, 0};
    undoList.items.removeLast();
}

void Emulator::EditingRegisters()
{
    undoList.items.KeepWholeLast(registerFile);
}

void Emulator::EditingMemory(unsigned int address, int bytes)
{
    MemoryRecordList* writes = undoList.items.LastWrites();
    if (!writes)
        return;
    for (int i = 0; i < bytes; ++i) {
        const unsigned int a = (address + unsigned(i)) & 0xFFFFFF;
        writes->Add(a, memory->Read(a, 8), 8);
    }
}

void Emulator::Undo(int count)
{
    if (count < 0)
        return;
    int n = undoList.items.count();
    if (count > 0 && count < n)
        n = count;
    while (n-- > 0)
        Undo();
}

void Emulator::Reset()
{
    Register& r = registerFile;
    origin = elapsed;
    r.sr = (r.sr & ~Register::traceBit) | 0x2700;
    r.ssp = Read(0, 32);
    r.pc = Read(4, 32);
}

unsigned int Emulator::GetVector(VectorNumber number)
{
    return Read(unsigned(number) * 4, 32);
}

void Emulator::ExceptionProcessing(VectorNumber number)
{
    if (number == NoVector)
        return;
    SettleFlags();
    Register& r = registerFile;
    const unsigned int old = r.sr;
    r.sr = (old & 0x5FFF) | Register::supervisorBit;
    r.ssp -= 4;
    Write(r.ssp, r.pc, 32);
    r.ssp -= 2;
    Write(r.ssp, old, 16);
    r.pc = GetVector(number);
}

void Emulator::Settle()
{
    if (pending.kind != FlagsSettled) {
        const unsigned int a = pendingDestination;
        const unsigned int b = pendingSource;
        unsigned int flags;
        switch (pending.kind) {
        case FlagsOfMove:
            flags = TopFlags(a, 0, 0);
            break;
        case FlagsOfAdd:
            flags = AddFlags(b, a, 32);
            break;
        case FlagsOfShift:
            flags = TopFlags(a, b, 0);
            break;
        default:
            flags = SubFlags(b, a, 32);
            break;
        }
        StoreFlags(0x0F, flags & 0x0F);
        pending.kind = FlagsSettled;
    }
    if (pending.extend != 0) {
        StoreFlags(FlagX, (pending.extend & 1) ? FlagX : 0);
        pending.extend = 0;
    }
}

unsigned int Emulator::Lsl(unsigned long long& value, int count, int size)
{
    return InstructionSet::Lsl(value, count, size);
}

unsigned int Emulator::Lsr(unsigned long long& value, int count, int size)
{
    return InstructionSet::Lsr(value, count, size);
}

unsigned int Emulator::Asr(unsigned long long& value, int count, int size)
{
    return InstructionSet::Asr(value, count, size);
}

unsigned int Emulator::Rol(unsigned long long& value, int count, int size)
{
    return InstructionSet::Rol(value, count, size);
}

unsigned int Emulator::Ror(unsigned long long& value, int count, int size)
{
    return InstructionSet::Ror(value, count, size);
}

unsigned int Emulator::Roxl(unsigned long long& value, bool extend, int count, int size)
{
    return InstructionSet::Roxl(value, extend, count, size);
}

unsigned int Emulator::Roxr(unsigned long long& value, bool extend, int count, int size)
{
    return InstructionSet::Roxr(value, extend, count, size);
}

bool Emulator::PrivilegeViolated()
{
    if (registerFile.sr & Register::supervisorBit)
        return false;
    vector = PrivilegeViolation;
    registerFile.pc -= 2;
    // The exception instead of the instruction, whose fixed cost is counted already.
    AddCycles(CycleTable::privilegeViolation - costs[opcode & 0xFFFF]);
    return true;
}

void Emulator::NoteRead(unsigned int address, int size)
{
    // The instruction's own words are fetched at pc: they are no data.
    if (address == registerFile.pc)
        return;
    if (noteKeyboardReads) {
        const unsigned int first = address & 0xFFFFFF;
        const unsigned int last = first + unsigned(size / 8) - 1;
        if (first <= Memory::keyboardEnd && last >= Memory::keyboardStart)
            keyboardRead = true;
    }
    if (readHit >= 0)
        return;
    const int hit = readWatch->Find(address, size, WatchRead);
    if (hit >= 0) {
        readHit = hit;
        readAddress = address & 0xFFFFFF;
        readSize = size;
    }
}
