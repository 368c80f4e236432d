#ifndef ZENDRA_CORE_INSTRUCTIONSETFAMILIES_H
#define ZENDRA_CORE_INSTRUCTIONSETFAMILIES_H

#include "core/InstructionSet.h"

#include <array>
#include <cstddef>
#include <utility>

// The specialised handlers of InstructionSet, family by family: one instance per combination
// of the choices that a family's index encodes. The families live in three source files that
// the build compiles side by side; the table of InstructionSet.cpp picks from them by these
// layouts.
namespace InstructionSetFamilies {

using Handler = InstructionSet::Handler;
using Handlers = InstructionSet::Handlers;
template <int N>
using Fixed = InstructionSet::Fixed<N>;

constexpr int formCount = InstructionSet::FormCount;
// Operation sizes by the index of a standard size field, and by the MOVE size field less one
// (1 = byte, 2 = long, 3 = word).
constexpr int sizes[3] = {8, 16, 32};
constexpr int moveSizes[3] = {8, 32, 16};

// A family holds the forms that its instructions may have, no more, which keeps it quick to
// compile: any form but none as a source; the data alterable forms where a register or memory
// is written (An excluded, as MOVEA's and ADDA's own); the memory alterable ones where only
// memory is; the control forms where an address is taken. The table gives the other forms,
// which the decoder refuses anyway, their plain handler.
constexpr int sourceCount = InstructionSet::FormNone;
constexpr int dataAlterable[] = {0, 2, 3, 4, 5, 6, InstructionSet::FormAbsoluteShort, InstructionSet::FormAbsoluteLong};
constexpr int memoryAlterable[] = {2, 3, 4, 5, 6, InstructionSet::FormAbsoluteShort, InstructionSet::FormAbsoluteLong};
constexpr int control[] = {2, 5, 6, InstructionSet::FormAbsoluteShort, InstructionSet::FormAbsoluteLong,
                           InstructionSet::FormPcDisplacement, InstructionSet::FormPcIndex};
// MOVEM's forms, registers to memory, then memory to registers.
constexpr int multipleToMemory[] = {2, 4, 5, 6, InstructionSet::FormAbsoluteShort, InstructionSet::FormAbsoluteLong};
constexpr int multipleToRegisters[] = {2, 3, 5, 6, InstructionSet::FormAbsoluteShort, InstructionSet::FormAbsoluteLong,
                                       InstructionSet::FormPcDisplacement, InstructionSet::FormPcIndex};
constexpr int dataAlterableCount = int(sizeof dataAlterable / sizeof dataAlterable[0]);
constexpr int memoryAlterableCount = int(sizeof memoryAlterable / sizeof memoryAlterable[0]);
constexpr int controlCount = int(sizeof control / sizeof control[0]);
constexpr int multipleToMemoryCount = int(sizeof multipleToMemory / sizeof multipleToMemory[0]);
constexpr int multipleCount = multipleToMemoryCount + int(sizeof multipleToRegisters / sizeof multipleToRegisters[0]);

// The place of a form in a list of forms, -1 when it is not there.
template <std::size_t N>
constexpr int PlaceOf(const int (&forms)[N], int form)
{
    for (std::size_t i = 0; i < N; ++i)
        if (forms[i] == form)
            return int(i);
    return -1;
}

// The two directions of ADD, SUB, AND and OR: <ea>,Dn from any source form, then Dn,<ea> to
// the memory alterable forms.
constexpr int twoWayCount = sourceCount + memoryAlterableCount;
constexpr int TwoWayPlace(int toMemory, int form)
{
    return toMemory ? (PlaceOf(memoryAlterable, form) < 0 ? -1 : sourceCount + PlaceOf(memoryAlterable, form))
                    : (form < sourceCount ? form : -1);
}
template <int place>
using TwoWayForm = Fixed<place < sourceCount ? place : memoryAlterable[(place - sourceCount) % memoryAlterableCount]>;
template <int place>
using TwoWayDirection = Fixed<place < sourceCount ? 0 : 1>;

// The handlers of each index of a family of specialisations: Case<I>::Run for I below count,
// alone and threaded; jumps: they may set pc anywhere (see InstructionSet::Both). Each Run is
// forced inline (ZENDRA_ALWAYS_INLINE), so that the threaded twins hold it whole: left to
// itself, the compiler calls the larger ones (memory operands, MOVEM) from their twins, and
// quick slices measured 2 to 4% slower for it. The optimised library's code grows from 3.0 to
// 5.2 MB.
template <template <int> class Case, bool jumps, std::size_t... I>
constexpr std::array<Handlers, sizeof...(I)> Instances(std::index_sequence<I...>)
{
    return {{InstructionSet::Both<&Case<int(I)>::Run, jumps>()...}};
}
template <template <int> class Case, std::size_t count, bool jumps = false>
constexpr std::array<Handlers, count> Family()
{
    return Instances<Case, jumps>(std::make_index_sequence<count>());
}

// Moves: size, destination's place, source; MOVEA: size bit, source; MOVEM: size bit, then
// the place of its form among multipleToMemory and multipleToRegisters.
extern const std::array<Handlers, 3 * dataAlterableCount * sourceCount> move;
extern const std::array<Handlers, 2 * formCount> moveAddress;
extern const std::array<Handlers, 2 * multipleCount> moveMultiple;
// Arithmetic: size, two-way place; address forms: size bit, form; quick: size, form.
extern const std::array<Handlers, 3 * twoWayCount> add;
extern const std::array<Handlers, 3 * twoWayCount> sub;
extern const std::array<Handlers, 2 * formCount> addAddress;
extern const std::array<Handlers, 2 * formCount> subAddress;
extern const std::array<Handlers, 3 * formCount> addQuick;
extern const std::array<Handlers, 3 * formCount> subQuick;
extern const std::array<Handlers, 3 * formCount> compare;
extern const std::array<Handlers, 2 * formCount> compareAddress;
// Logic: size, two-way place (EOR: size, data alterable place); TST and CLR: size, data
// alterable place; the control instructions: control place; then branches and shifts.
extern const std::array<Handlers, 3 * twoWayCount> andCases;
extern const std::array<Handlers, 3 * twoWayCount> orCases;
extern const std::array<Handlers, 3 * dataAlterableCount> eorCases;
extern const std::array<Handlers, 3 * dataAlterableCount> test;
extern const std::array<Handlers, 3 * dataAlterableCount> clear;
extern const std::array<Handlers, controlCount> loadAddress;
extern const std::array<Handlers, controlCount> pushAddress;
extern const std::array<Handlers, controlCount> jump;
extern const std::array<Handlers, controlCount> jumpToSubroutine;
extern const std::array<Handlers, 32> branch;
extern const std::array<Handlers, 16> decrementAndBranch;
extern const std::array<Handlers, 48> shift;

} // namespace InstructionSetFamilies

#endif
