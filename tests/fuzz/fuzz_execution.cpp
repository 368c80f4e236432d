// Execution of arbitrary memory from arbitrary registers: a bounded number of instructions
// in quick mode, or in recorded mode followed by taking every one of them back, after
// which registers and memory must be exactly as they were. With watchpoints, the steps that
// stop at them must end where the same steps without them end, and running backwards must
// come back to the start. The first of those steps run under the profiler, which must count
// every instruction and every cycle however the code calls, returns and raises exceptions;
// so must a quick run that it observes, which must end exactly where the same number of
// plain quick instructions ends.
#include "FuzzInput.h"
#include "session/Profiler.h"
#include "session/Document.h"
#include "session/Emulation.h"
#include "core/Emulator.h"
#include "core/Memory.h"

#include <cstring>
#include <memory>

namespace {

constexpr int instructions = 256;
constexpr size_t codeLimit = 4096;

struct Machine
{
    std::unique_ptr<unsigned char[]> video{new unsigned char[MemoryBuffer::videoSize]};
    Memory memory{video.get()};
    Emulator emulator{&memory};
    // What memory held before the input, to compare with after an undo now and then.
    std::unique_ptr<unsigned char[]> reference{new unsigned char[MemoryBuffer::videoStart]()};
    unsigned long runs = 0;
};

bool SameRegisters(const Register& a, const Register& b)
{
    return !std::memcmp(a.d, b.d, sizeof a.d) && !std::memcmp(a.a, b.a, sizeof a.a) && a.pc == b.pc && a.usp == b.usp
        && a.ssp == b.ssp && a.sr == b.sr;
}

// One thread object for the document, as the window keeps: its breakpoint index is built once.
int Operation(Document& document, EmulationMode mode, ExecutionObserver* observer = nullptr)
{
    static Emulation emulation(&document);
    document.mode = mode;
    emulation.observer = observer;
    return emulation.StartEmulation();
}

// Steps until count instructions have run or a step stops for something else than a
// watchpoint; the number of instructions that ran.
int Steps(Document& document, int count, ExecutionObserver* observer = nullptr)
{
    Emulator& emulator = *document.emulator;
    int executed = 0;
    while (executed < count) {
        const int before = emulator.undoList.items.count();
        const int r = Operation(document, StepIntoMode, observer);
        executed += emulator.undoList.items.count() - before;
        if ((r != Done && r != WatchpointHit) || emulator.undoList.items.count() == before)
            break;
    }
    return executed;
}

// The watchpoints branch: a document of its own, watchpoints from the input.
void Watched(FuzzInput& input, const Register& start, unsigned int codeAddress, const uint8_t* code, size_t length)
{
    static Document document;
    Emulator& emulator = *document.emulator;
    Register& r = *emulator.registers;
    r.Copy(start);
    emulator.errorMessage.clear();
    emulator.undoList.items.clear();
    for (size_t i = 0; i < length; ++i)
        document.memory->Write(codeAddress + unsigned(i), code[i], 8, true);
    document.watchpoints.clear();
    const int count = 1 + input.Byte() % 4;
    for (int i = 0; i < count; ++i) {
        const unsigned int address = (input.Byte() & 1) ? r.AnRef(input.Byte() & 7) + input.Byte() : input.Long();
        document.watchpoints << Watchpoint(address, 1 + input.Byte(), static_cast<WatchKind>(1 + input.Byte() % 3));
    }

    static Profiler profiler(&document);
    profiler.Start();
    const unsigned long long cycles = emulator.Cycles();
    const int executed = Steps(document, 64, &profiler);
    profiler.Finish();
    const Profile profile = profiler.Collect();
    if (profile.instructions != static_cast<unsigned long long>(executed) || profile.cycles != emulator.Cycles() - cycles)
        __builtin_trap();
    const Register watched(&r);
    unsigned char bytes[64];
    for (unsigned int i = 0; i < 64; ++i)
        bytes[i] = static_cast<unsigned char>(document.memory->Read(r.AnRef(i & 7) + i, 8));
    // The same steps without the watchpoints end in the same state.
    emulator.Undo(0);
    const QList<Watchpoint> watchpoints = document.watchpoints;
    document.watchpoints.clear();
    emulator.errorMessage.clear();
    if (Steps(document, executed) != executed || !SameRegisters(watched, r))
        __builtin_trap();
    for (unsigned int i = 0; i < 64; ++i)
        if (bytes[i] != document.memory->Read(r.AnRef(i & 7) + i, 8))
            __builtin_trap();
    // Backwards with them, from hit to hit, to the start.
    document.watchpoints = watchpoints;
    for (int i = 0; i <= executed && !emulator.undoList.items.isEmpty(); ++i)
        Operation(document, RunBackMode);
    if (!emulator.undoList.items.isEmpty() || !SameRegisters(start, r))
        __builtin_trap();
    for (size_t i = 0; i < length; ++i) {
        if (document.memory->Read(codeAddress + unsigned(i), 8) != code[i])
            __builtin_trap();
        document.memory->Write(codeAddress + unsigned(i), 0, 8, true);
    }
}

// The profiled quick run: a document of its own, the run in slices told to the profiler,
// then the same instructions one by one from the same start.
void Profiled(const Register& start, unsigned int codeAddress, const uint8_t* code, size_t length)
{
    static Document document;
    static Emulation emulation(&document);
    static Profiler profiler(&document);
    Emulator& emulator = *document.emulator;
    Memory& memory = *document.memory;
    Register& r = *emulator.registers;
    document.instructionBreakpoints.clear();
    r.Copy(start);
    emulator.errorMessage.clear();
    for (size_t i = 0; i < length; ++i)
        memory.Write(codeAddress + unsigned(i), code[i], 8, true);
    memory.records.clear();
    memory.recording = true;
    profiler.Start();
    const unsigned long long cycles = emulator.Cycles();
    document.mode = QuickStopMode;
    emulation.limit = instructions;
    emulation.executed = 0;
    emulation.observer = &profiler;
    emulation.StartEmulation();
    const long long executed = emulation.executed;
    const bool faulted = !emulator.errorMessage.isEmpty();
    const Profile profile = profiler.Collect();
    if (profile.instructions != static_cast<unsigned long long>(executed - (faulted ? 1 : 0))
        || profile.cycles != emulator.Cycles() - cycles)
        __builtin_trap();
    const Register profiled(&r);
    const unsigned long long after = emulator.Cycles();
    memory.recording = false;
    memory.Write(memory.records);
    memory.records.clear();

    memory.recording = true;
    r.Copy(start);
    emulator.errorMessage.clear();
    const unsigned long long again = emulator.Cycles();
    for (long long i = 0; i < executed; ++i) {
        emulator.QuickExecute();
        if (!emulator.errorMessage.isEmpty())
            break;
    }
    if (!SameRegisters(profiled, r) || emulator.Cycles() - again != after - cycles)
        __builtin_trap();
    memory.recording = false;
    memory.Write(memory.records);
    memory.records.clear();
    for (size_t i = 0; i < length; ++i)
        memory.Write(codeAddress + unsigned(i), 0, 8, true);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Machine machine;
    Memory& memory = machine.memory;
    Emulator& emulator = machine.emulator;
    Register& r = *emulator.registers;
    FuzzInput input(data, size);

    input.FillRegisters(r);
    const uint8_t flags = input.Byte();
    // Code at pc, or at an address of its own with pc anywhere (odd ones included).
    const unsigned int codeAddress = (flags & 2) ? input.Long() & 0xFFFFFF : r.pc & 0xFFFFFF;
    const size_t length = input.RestSize() < codeLimit ? input.RestSize() : codeLimit;
    for (size_t i = 0; i < length; ++i)
        memory.Write(codeAddress + unsigned(i), input.Rest()[i], 8, true);
    // The placed bytes are part of the state that an undo must give back.
    for (size_t i = 0; i < length; ++i) {
        const unsigned int a = (codeAddress + unsigned(i)) & 0xFFFFFF;
        if (a < MemoryBuffer::videoStart)
            machine.reference[a] = memory.buffer.mainBuffer[a];
    }

    const Register before(&r);
    if (flags & 4) {
        Watched(input, before, codeAddress, input.Rest(), length);
    } else if (flags & 8) {
        Profiled(before, codeAddress, input.Rest(), length);
    } else if (flags & 1) {
        emulator.undoList.items.clear();
        for (int i = 0; i < instructions; ++i) {
            emulator.Execute();
            if (!emulator.errorMessage.isEmpty())
                break;
        }
        emulator.Undo(0);
        if (!emulator.undoList.items.isEmpty() || !SameRegisters(before, r))
            __builtin_trap();
        // Every byte is compared now and then; the code region always.
        const bool everything = (++machine.runs % 64) == 0;
        if (everything && std::memcmp(memory.buffer.mainBuffer, machine.reference.get(), MemoryBuffer::videoStart))
            __builtin_trap();
        for (size_t i = 0; i < length; ++i) {
            const unsigned int a = (codeAddress + unsigned(i)) & 0xFFFFFF;
            if (a < MemoryBuffer::videoStart && memory.buffer.mainBuffer[a] != machine.reference[a])
                __builtin_trap();
        }
    } else {
        // Quick mode keeps no history: a journal of its writes puts memory back afterwards.
        memory.records.clear();
        memory.recording = true;
        for (int i = 0; i < instructions; ++i) {
            emulator.QuickExecute();
            if (!emulator.errorMessage.isEmpty())
                break;
        }
        memory.recording = false;
        memory.Write(memory.records);
        memory.records.clear();
    }

    // Leave memory all zero for the next input (the video area too, which the undo and
    // the journal restore like any other).
    for (size_t i = 0; i < length; ++i) {
        const unsigned int a = (codeAddress + unsigned(i)) & 0xFFFFFF;
        memory.Write(a, 0, 8, true);
        if (a < MemoryBuffer::videoStart)
            machine.reference[a] = 0;
    }
    return 0;
}
