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
template <int N>
using Fixed = InstructionSet::Fixed<N>;

constexpr int formCount = InstructionSet::FormCount;
// Operation sizes by the index of a standard size field, and by the MOVE size field less one
// (1 = byte, 2 = long, 3 = word).
constexpr int sizes[3] = {8, 16, 32};
constexpr int moveSizes[3] = {8, 32, 16};

// MOVE writes only to the data alterable forms (An is MOVEA's) and reads from every form but
// none: its family holds those pairs only, which keeps it quick to compile.
constexpr int moveSourceCount = InstructionSet::FormNone;
constexpr int moveDestinations[] = {0, 2, 3, 4, 5, 6, InstructionSet::FormAbsoluteShort, InstructionSet::FormAbsoluteLong};
constexpr int moveDestinationCount = int(sizeof moveDestinations / sizeof moveDestinations[0]);

// The place of a destination form in moveDestinations, -1 when MOVE cannot write to it.
constexpr int MoveDestinationIndex(int form)
{
    for (int i = 0; i < moveDestinationCount; ++i)
        if (moveDestinations[i] == form)
            return i;
    return -1;
}

// One handler per index of a family of specialisations: Case<I>::Run for I below count.
template <template <int> class Case, std::size_t... I>
constexpr std::array<Handler, sizeof...(I)> Instances(std::index_sequence<I...>)
{
    return {{&Case<int(I)>::Run...}};
}
template <template <int> class Case, std::size_t count>
constexpr std::array<Handler, count> Family()
{
    return Instances<Case>(std::make_index_sequence<count>());
}

// Moves: size, destination, source; MOVEA: size bit, source.
extern const std::array<Handler, 3 * moveSourceCount * moveDestinationCount> move;
extern const std::array<Handler, 2 * formCount> moveAddress;
// Arithmetic: size, direction, form; address forms: size bit, form; quick: size, form.
extern const std::array<Handler, 3 * 2 * formCount> add;
extern const std::array<Handler, 3 * 2 * formCount> sub;
extern const std::array<Handler, 2 * formCount> addAddress;
extern const std::array<Handler, 2 * formCount> subAddress;
extern const std::array<Handler, 3 * formCount> addQuick;
extern const std::array<Handler, 3 * formCount> subQuick;
extern const std::array<Handler, 3 * formCount> compare;
extern const std::array<Handler, 2 * formCount> compareAddress;
// Logic: size, direction, form; then the one-operand, control, branch and shift families.
extern const std::array<Handler, 3 * 2 * formCount> andCases;
extern const std::array<Handler, 3 * 2 * formCount> orCases;
extern const std::array<Handler, 3 * 2 * formCount> eorCases;
extern const std::array<Handler, 3 * formCount> test;
extern const std::array<Handler, 3 * formCount> clear;
extern const std::array<Handler, formCount> loadAddress;
extern const std::array<Handler, formCount> pushAddress;
extern const std::array<Handler, formCount> jump;
extern const std::array<Handler, formCount> jumpToSubroutine;
extern const std::array<Handler, 32> branch;
extern const std::array<Handler, 16> decrementAndBranch;
extern const std::array<Handler, 48> shift;

} // namespace InstructionSetFamilies

#endif
