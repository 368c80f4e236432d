// Disassembly and operand evaluation of arbitrary memory at an address the input chooses,
// near the top of the address space too.
#include "FuzzInput.h"
#include "core/Disassembler.h"
#include "core/EffectiveAddress.h"
#include "core/Memory.h"
#include "core/Register.h"

#include <cstring>
#include <memory>

namespace {

struct Machine
{
    std::unique_ptr<unsigned char[]> video{new unsigned char[MemoryBuffer::videoSize]};
    Memory memory{video.get()};
    Register registers;
    Disassembler disassembler{&memory};
    EffectiveAddress effectiveAddress{&memory, &registers};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Machine machine;
    FuzzInput input(data, size);
    input.FillRegisters(machine.registers);
    // Half the inputs land in the last 64 KiB, where instructions wrap past 0xFFFFFF.
    const uint32_t chosen = input.Long();
    const uint32_t address = (chosen & 0x80000000u) ? 0xFF0000u | (chosen & 0xFFFF) : chosen & 0xFFFFFF;
    const uint8_t* code = input.Rest();
    const size_t length = input.RestSize() < 256 ? input.RestSize() : 256;
    for (size_t i = 0; i < length; ++i)
        machine.memory.Write(address + unsigned(i), code[i], 8, true);

    unsigned int next = address;
    for (int line = 0; line < 16; ++line) {
        machine.disassembler.SetStartAddress(next);
        machine.disassembler.Disassemble();
        const unsigned int step = machine.disassembler.nextAddress - machine.disassembler.startAddress;
        if (step < 2 || step > 10 || machine.disassembler.machineCode.size() > Disassembler::MachineCodeFieldSize)
            __builtin_trap();
        next = machine.disassembler.nextAddress;
    }

    // The evaluator reads, and changes neither the registers nor memory.
    machine.registers.pc = (chosen & 0x40000000u) ? address | (chosen & 0xFF000001u) : address;
    Register before(&machine.registers);
    machine.memory.recording = true;
    machine.memory.records.clear();
    machine.effectiveAddress.Extract();
    machine.memory.recording = false;
    if (!machine.memory.records.isEmpty() || std::memcmp(before.d, machine.registers.d, sizeof before.d)
        || std::memcmp(before.a, machine.registers.a, sizeof before.a) || before.pc != machine.registers.pc
        || before.usp != machine.registers.usp || before.ssp != machine.registers.ssp || before.sr != machine.registers.sr)
        __builtin_trap();

    // Leave memory as it was for the next input.
    for (size_t i = 0; i < length; ++i)
        machine.memory.Write(address + unsigned(i), 0, 8, true);
    return 0;
}
