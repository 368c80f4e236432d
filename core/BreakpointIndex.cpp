#include "core/BreakpointIndex.h"

void BreakpointIndex::Build(const AddressBreakpointList& addresses, const InstructionBreakpointList& instructions)
{
    // Sized once; afterwards a build only sets the bits of the entries.
    if (addressBits.empty()) {
        addressBits.assign((1u << 24) / 64, 0);
        instructionBits.assign((1u << 16) / 64, 0);
    }
    // An entry beyond 24 bits can never equal a masked address, as in a search of the list.
    for (unsigned int a : addresses) {
        if (a <= 0xFFFFFF) {
            addressBits[a >> 6] |= std::uint64_t(1) << (a & 63);
            anyAddress = true;
        }
    }
    onlyInstruction = instructions.isEmpty() ? -1 : instructions.first();
    for (unsigned short word : instructions) {
        instructionBits[word >> 6] |= std::uint64_t(1) << (word & 63);
        if (word != onlyInstruction)
            onlyInstruction = -1;
    }
    anyInstruction = !instructions.isEmpty();
    built = true;
}

void BreakpointIndex::Release(const AddressBreakpointList& addresses, const InstructionBreakpointList& instructions)
{
    if (!built)
        return;
    for (unsigned int a : addresses) {
        if (a <= 0xFFFFFF)
            addressBits[a >> 6] &= ~(std::uint64_t(1) << (a & 63));
    }
    for (unsigned short word : instructions)
        instructionBits[word >> 6] &= ~(std::uint64_t(1) << (word & 63));
    built = anyAddress = anyInstruction = false;
    onlyInstruction = -1;
}
