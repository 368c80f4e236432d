#ifndef ZENDRA_CORE_BREAKPOINTINDEX_H
#define ZENDRA_CORE_BREAKPOINTINDEX_H

#include "core/AddressBreakpointList.h"
#include "core/InstructionBreakpointList.h"

#include <cstdint>
#include <vector>

// Bitmaps over the 24-bit addresses and the 16-bit opcode words of the breakpoint lists,
// so that a run looks a breakpoint up in constant time however long the lists are. The
// lists must not change while the index is built over them.
class BreakpointIndex
{
public:
    void Build(const AddressBreakpointList& addresses, const InstructionBreakpointList& instructions);
    // Clears exactly the bits that Build set, from the same lists.
    void Release(const AddressBreakpointList& addresses, const InstructionBreakpointList& instructions);

    bool IsBuilt() const { return built; }
    // Whether any address, or any word, is marked: a run tests only the kinds there are.
    bool HasAddresses() const { return anyAddress; }
    bool HasInstructions() const { return anyInstruction; }
    // The one word marked, when there is exactly one (ILLEGAL, as a rule); -1 otherwise.
    int OnlyInstruction() const { return onlyInstruction; }
    bool HasAddress(unsigned int address) const { return Test(addressBits.data(), address & 0xFFFFFF); }
    bool HasInstruction(unsigned int word) const { return Test(instructionBits.data(), word & 0xFFFF); }

    // The bitmaps themselves, for a loop that keeps them at hand across the calls it makes.
    const std::uint64_t* AddressBits() const { return addressBits.data(); }
    const std::uint64_t* InstructionBits() const { return instructionBits.data(); }
    static bool Test(const std::uint64_t* bits, unsigned int i) { return (bits[i >> 6] >> (i & 63)) & 1; }

private:

    std::vector<std::uint64_t> addressBits;
    std::vector<std::uint64_t> instructionBits;
    bool built = false;
    bool anyAddress = false;
    bool anyInstruction = false;
    int onlyInstruction = -1;
};

#endif
