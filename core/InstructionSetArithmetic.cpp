#include "core/InstructionSetFamilies.h"

// The families of ADD, SUB and CMP, with their address and quick forms.
namespace InstructionSetFamilies {

namespace {

// Indices: size index (0-2) or size bit, then the form or its place.
template <bool subtract>
struct AddSubCases
{
    template <int I>
    struct Case
    {
        static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
        {
            InstructionSet::Charge<CycleTable::TwoWay(sizes[I / twoWayCount], TwoWayForm<I % twoWayCount>(),
                                                      TwoWayDirection<I % twoWayCount>())>(e);
            InstructionSet::AddSub<subtract>(e, op, Fixed<sizes[I / twoWayCount]>(), TwoWayForm<I % twoWayCount>(),
                                             TwoWayDirection<I % twoWayCount>());
        }
    };
    template <int I>
    struct AddressCase
    {
        static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
        {
            InstructionSet::Charge<CycleTable::AddressArithmetic(I / formCount ? 32 : 16, I % formCount)>(e);
            InstructionSet::AddSubAddress<subtract>(e, op, Fixed<I / formCount ? 32 : 16>(), Fixed<I % formCount>());
        }
    };
    template <int I>
    struct QuickCase
    {
        static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
        {
            InstructionSet::Charge<CycleTable::Quick(sizes[I / formCount], I % formCount)>(e);
            InstructionSet::AddSubQuick<subtract>(e, op, Fixed<sizes[I / formCount]>(), Fixed<I % formCount>());
        }
    };
};

template <int I>
struct CompareCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::Compare(sizes[I / formCount], I % formCount)>(e);
        InstructionSet::Compare(e, op, Fixed<sizes[I / formCount]>(), Fixed<I % formCount>());
    }
};

template <int I>
struct CompareAddressCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::CompareAddress(I / formCount ? 32 : 16, I % formCount)>(e);
        InstructionSet::CompareAddress(e, op, Fixed<I / formCount ? 32 : 16>(), Fixed<I % formCount>());
    }
};

} // namespace

const std::array<Handlers, 3 * twoWayCount> add = Family<AddSubCases<false>::Case, 3 * twoWayCount>();
const std::array<Handlers, 3 * twoWayCount> sub = Family<AddSubCases<true>::Case, 3 * twoWayCount>();
const std::array<Handlers, 2 * formCount> addAddress = Family<AddSubCases<false>::AddressCase, 2 * formCount>();
const std::array<Handlers, 2 * formCount> subAddress = Family<AddSubCases<true>::AddressCase, 2 * formCount>();
const std::array<Handlers, 3 * formCount> addQuick = Family<AddSubCases<false>::QuickCase, 3 * formCount>();
const std::array<Handlers, 3 * formCount> subQuick = Family<AddSubCases<true>::QuickCase, 3 * formCount>();
const std::array<Handlers, 3 * formCount> compare = Family<CompareCase, 3 * formCount>();
const std::array<Handlers, 2 * formCount> compareAddress = Family<CompareAddressCase, 2 * formCount>();

} // namespace InstructionSetFamilies
