#include "core/InstructionSetFamilies.h"

// The families of MOVE, MOVEA and MOVEM.
namespace InstructionSetFamilies {

namespace {

// Indices: the size, the destination's place in moveDestinations, then the source form.
template <int I>
struct MoveCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::Move(moveSizes[I / (sourceCount * dataAlterableCount)], I % sourceCount,
                                                dataAlterable[(I / sourceCount) % dataAlterableCount])>(e);
        InstructionSet::Move(e, op, Fixed<moveSizes[I / (sourceCount * dataAlterableCount)]>(),
                             Fixed<I % sourceCount>(), Fixed<dataAlterable[(I / sourceCount) % dataAlterableCount]>());
    }
};

template <int I>
struct MoveAddressCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::MoveAddress(I / formCount ? 16 : 32, I % formCount)>(e);
        InstructionSet::MoveAddress(e, op, Fixed<I / formCount ? 16 : 32>(), Fixed<I % formCount>());
    }
};

template <int I>
struct MoveMultipleCase
{
    static constexpr int place = I % multipleCount;
    static constexpr bool toRegisters = place >= multipleToMemoryCount;
    static constexpr int form = toRegisters ? multipleToRegisters[place - multipleToMemoryCount] : multipleToMemory[place];
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::MoveMultiple(form, toRegisters)>(e);
        InstructionSet::MoveMultiple(e, op, Fixed<I / multipleCount ? 32 : 16>(), Fixed<form>());
    }
};

} // namespace

const std::array<Handlers, 3 * dataAlterableCount * sourceCount> move = Family<MoveCase, 3 * dataAlterableCount * sourceCount>();
const std::array<Handlers, 2 * formCount> moveAddress = Family<MoveAddressCase, 2 * formCount>();
const std::array<Handlers, 2 * multipleCount> moveMultiple = Family<MoveMultipleCase, 2 * multipleCount>();

} // namespace InstructionSetFamilies
