// The specialised handlers against the plain ones: the same arbitrary memory from the same
// arbitrary registers runs on two machines, one dispatching through the table of specialised
// handlers and one through Decode and the per-kind handlers, in quick or recorded mode. After
// every instruction both must hold the same registers, exception, message, cycle count and
// history, and the same bytes wherever either wrote. In quick mode one of them may run in
// slices, where the specialised handlers go on from one instruction to the next by
// themselves and the flags wait for a reader, against the other's single steps, which set
// them at once; or, with breakpoints to stop before, against the other's slices observed,
// which test them in their own loop.
#include "FuzzInput.h"
#include "core/BreakpointIndex.h"
#include "core/Emulator.h"
#include "core/ExecutionObserver.h"
#include "core/Memory.h"

#include <cstring>
#include <memory>

namespace {

constexpr int instructions = 256;
constexpr size_t codeLimit = 4096;

struct Machine
{
    explicit Machine(bool specialised) { emulator.UseSpecialisedHandlers(specialised); }

    std::unique_ptr<unsigned char[]> video{new unsigned char[MemoryBuffer::videoSize]};
    Memory memory{video.get()};
    Emulator emulator{&memory};
};

bool SameRegisters(const Register& a, const Register& b)
{
    return !std::memcmp(a.d, b.d, sizeof a.d) && !std::memcmp(a.a, b.a, sizeof a.a) && a.pc == b.pc && a.usp == b.usp
        && a.ssp == b.ssp && a.sr == b.sr;
}

bool SameRecords(const MemoryRecordList& a, const MemoryRecordList& b)
{
    if (a.count() != b.count())
        return false;
    for (int i = 0; i < a.count(); ++i) {
        if (a[i].address != b[i].address || a[i].value != b[i].value || a[i].size != b[i].size)
            return false;
    }
    return true;
}

// The bytes that the records of either machine cover, from record `from` on.
bool SameWrittenBytes(const Machine& x, const Machine& y, const MemoryRecordList& records, int from)
{
    for (int i = from; i < records.count(); ++i) {
        for (unsigned int k = 0; k < unsigned(records[i].size / 8); ++k) {
            const unsigned int a = records[i].address + k;
            if (x.memory.Read(a, 8) != y.memory.Read(a, 8))
                return false;
        }
    }
    return true;
}

void Check(bool condition)
{
    if (!condition)
        __builtin_trap();
}

// Observing, a quick slice tests its breakpoints in its own loop rather than in the threaded
// handlers: the reference for them.
class NoObserver final : public ExecutionObserver
{
public:
    void Executed(unsigned int) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Machine specialised(true);
    static Machine plain(false);
    static unsigned long runs = 0;
    Machine* machines[2] = {&specialised, &plain};

    FuzzInput input(data, size);
    Register start;
    input.FillRegisters(start);
    const uint8_t flags = input.Byte();
    const bool recorded = flags & 1;
    // Slices of 1 to 32 instructions, quick or recorded, on one machine, the specialised or
    // the plain one.
    const bool sliced = flags & 4;
    Machine* const slicer = (flags & 8) ? &plain : &specialised;
    Machine* const stepper = slicer == &plain ? &specialised : &plain;
    const long long slice = 1 + ((flags >> 4) & 31);
    // Code at pc, or at an address of its own with pc anywhere (odd ones included).
    const unsigned int codeAddress = (flags & 2) ? input.Long() & 0xFFFFFF : start.pc & 0xFFFFFF;
    // Quick slices may stop before breakpoints: an address a few words from pc, and a word
    // that the code holds.
    const uint8_t marks = (sliced && !recorded) ? input.Byte() : 0;
    AddressBreakpointList addresses;
    InstructionBreakpointList words;
    const size_t length = input.RestSize() < codeLimit ? input.RestSize() : codeLimit;
    if (marks & 1)
        addresses.append((start.pc + 2 * ((marks >> 3) & 15u)) & 0xFFFFFF);
    if ((marks & 2) && length >= 2) {
        const size_t at = (2 * size_t(marks >> 4)) % (length - 1);
        words.append(static_cast<unsigned short>((input.Rest()[at] << 8) | input.Rest()[at + 1]));
    }
    // Built once (its bitmaps take 2 MiB), and cleared of this input's marks at the end.
    static BreakpointIndex index;
    index.Build(addresses, words);
    const bool marked = marks & 4;
    for (Machine* m : machines) {
        m->emulator.registers->Copy(start);
        for (size_t i = 0; i < length; ++i)
            m->memory.Write(codeAddress + unsigned(i), input.Rest()[i], 8, true);
        m->emulator.undoList.items.clear();
        m->emulator.errorMessage.clear();
        m->memory.records.clear();
        // Quick mode keeps no history: a journal of its writes puts memory back afterwards.
        m->memory.recording = !recorded;
    }

    for (int step = 0; step < instructions; ++step) {
        const int before = specialised.memory.records.count();
        if (sliced && marked) {
            // The same slice, threaded or not, against one that an observer keeps in its loop.
            NoObserver observer;
            const long long executed = slicer->emulator.QuickExecute(slice, &index);
            Check(stepper->emulator.QuickExecute(slice, &index, &observer) == executed);
            step += int(executed);
            if (executed == 0)
                step = instructions;
        } else if (sliced) {
            // The steps that the slice took, and the trace stop that may have ended it.
            Emulator& steps = stepper->emulator;
            const long long executed = recorded ? slicer->emulator.Execute(slice) : slicer->emulator.QuickExecute(slice);
            for (long long i = 0; i < executed && steps.errorMessage.isEmpty(); ++i)
                recorded ? steps.Execute() : steps.QuickExecute();
            if (executed < slice && steps.errorMessage.isEmpty())
                recorded ? steps.Execute() : steps.QuickExecute();
            step += int(executed);
        } else {
            for (Machine* m : machines) {
                if (recorded)
                    m->emulator.Execute();
                else
                    m->emulator.QuickExecute();
            }
        }
        const Emulator& s = specialised.emulator;
        const Emulator& p = plain.emulator;
        Check(SameRegisters(*s.registers, *p.registers));
        Check(s.vector == p.vector && s.errorMessage == p.errorMessage && s.Cycles() == p.Cycles());
        Check(s.undoList.items.count() == p.undoList.items.count());
        if (recorded) {
            if (!s.undoList.items.isEmpty()) {
                const UndoItem& a = *s.undoList.items.last();
                const UndoItem& b = *p.undoList.items.last();
                Register x(s.registers);
                Register y(p.registers);
                s.undoList.items.Rewind(s.undoList.items.count() - 1, x);
                p.undoList.items.Rewind(p.undoList.items.count() - 1, y);
                Check(SameRegisters(x, y) && SameRecords(a.memory, b.memory));
                Check(SameWrittenBytes(specialised, plain, a.memory, 0));
            }
        } else {
            Check(SameRecords(specialised.memory.records, plain.memory.records));
            Check(SameWrittenBytes(specialised, plain, specialised.memory.records, before));
        }
        if (!s.errorMessage.isEmpty())
            break;
    }

    index.Release(addresses, words);
    // Back to all zero for the next input: the history or the journal undoes every write.
    for (Machine* m : machines) {
        if (recorded) {
            m->emulator.Undo(0);
            Check(SameRegisters(*m->emulator.registers, start));
        } else {
            m->memory.recording = false;
            m->memory.Write(m->memory.records);
            m->memory.records.clear();
        }
        for (size_t i = 0; i < length; ++i)
            m->memory.Write(codeAddress + unsigned(i), 0, 8, true);
    }
    // Every byte of both, now and then.
    if (++runs % 64 == 0) {
        Check(!std::memcmp(specialised.memory.buffer.mainBuffer, plain.memory.buffer.mainBuffer, MemoryBuffer::videoStart));
        Check(!std::memcmp(specialised.memory.buffer.videoBuffer, plain.memory.buffer.videoBuffer, MemoryBuffer::videoSize));
    }
    return 0;
}
