// Execution of arbitrary memory from arbitrary registers: a bounded number of instructions
// in quick mode, or in recorded mode followed by taking every one of them back, after
// which registers and memory must be exactly as they were.
#include "FuzzInput.h"
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
    if (flags & 1) {
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
