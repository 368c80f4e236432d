#include "core/InstructionSetFamilies.h"

// The families of AND, OR, EOR, TST and CLR, of the control instructions, branches and shifts.
namespace InstructionSetFamilies {

namespace {

// Indices: size index (0-2), then the form's place.
template <int kind>
struct LogicCases
{
    template <int I>
    struct Case
    {
        static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
        {
            InstructionSet::Charge<CycleTable::TwoWay(sizes[I / twoWayCount], TwoWayForm<I % twoWayCount>(),
                                                      TwoWayDirection<I % twoWayCount>())>(e);
            InstructionSet::Logic<kind>(e, op, Fixed<sizes[I / twoWayCount]>(), TwoWayForm<I % twoWayCount>(),
                                        TwoWayDirection<I % twoWayCount>());
        }
    };
};

// EOR Dn,<ea>, its only direction.
template <int I>
struct ExclusiveOrCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::ExclusiveOr(sizes[I / dataAlterableCount], dataAlterable[I % dataAlterableCount])>(e);
        InstructionSet::Logic<InstructionSet::ExclusiveOr>(e, op, Fixed<sizes[I / dataAlterableCount]>(),
                                                           Fixed<dataAlterable[I % dataAlterableCount]>(), Fixed<1>());
    }
};

template <int I>
struct TestCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::Test(sizes[I / dataAlterableCount], dataAlterable[I % dataAlterableCount])>(e);
        InstructionSet::Test(e, op, Fixed<sizes[I / dataAlterableCount]>(), Fixed<dataAlterable[I % dataAlterableCount]>());
    }
};

template <int I>
struct ClearCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::SingleOperand(sizes[I / dataAlterableCount], dataAlterable[I % dataAlterableCount])>(e);
        InstructionSet::Clear(e, op, Fixed<sizes[I / dataAlterableCount]>(), Fixed<dataAlterable[I % dataAlterableCount]>());
    }
};

template <int I>
struct LoadAddressCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::LoadAddress(control[I])>(e);
        InstructionSet::LoadAddress(e, op, Fixed<control[I]>());
    }
};

template <int I>
struct PushAddressCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::PushAddress(control[I])>(e);
        InstructionSet::PushAddress(e, op, Fixed<control[I]>());
    }
};

template <int I>
struct JumpCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::Jump(control[I])>(e);
        InstructionSet::Jump(e, op, Fixed<control[I]>());
    }
};

template <int I>
struct JumpToSubroutineCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Charge<CycleTable::JumpToSubroutine(control[I])>(e);
        InstructionSet::JumpToSubroutine(e, op, Fixed<control[I]>());
    }
};

// Condition, then whether the displacement is in the next word.
template <int I>
struct BranchCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Branch(e, op, Fixed<I / 2>(), Fixed<I % 2>(), Fixed<0>());
    }
};

template <int I>
struct DecrementAndBranchCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::DecrementAndBranch(e, op, Fixed<I>(), Fixed<0>());
    }
};

// Kind, size index, left, count in a register.
template <int I>
struct ShiftCase
{
    static ZENDRA_ALWAYS_INLINE void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::ShiftRegister(e, op, Fixed<I / 12>(), Fixed<sizes[(I / 4) % 3]>(), Fixed<(I / 2) % 2>(),
                                      Fixed<I % 2>(), Fixed<0>());
    }
};

} // namespace

const std::array<Handlers, 3 * twoWayCount> andCases = Family<LogicCases<InstructionSet::And>::Case, 3 * twoWayCount>();
const std::array<Handlers, 3 * twoWayCount> orCases = Family<LogicCases<InstructionSet::Or>::Case, 3 * twoWayCount>();
const std::array<Handlers, 3 * dataAlterableCount> eorCases = Family<ExclusiveOrCase, 3 * dataAlterableCount>();
const std::array<Handlers, 3 * dataAlterableCount> test = Family<TestCase, 3 * dataAlterableCount>();
const std::array<Handlers, 3 * dataAlterableCount> clear = Family<ClearCase, 3 * dataAlterableCount>();
const std::array<Handlers, controlCount> loadAddress = Family<LoadAddressCase, controlCount>();
const std::array<Handlers, controlCount> pushAddress = Family<PushAddressCase, controlCount>();
const std::array<Handlers, controlCount> jump = Family<JumpCase, controlCount, true>();
const std::array<Handlers, controlCount> jumpToSubroutine = Family<JumpToSubroutineCase, controlCount, true>();
const std::array<Handlers, 32> branch = Family<BranchCase, 32, true>();
const std::array<Handlers, 16> decrementAndBranch = Family<DecrementAndBranchCase, 16, true>();
const std::array<Handlers, 48> shift = Family<ShiftCase, 48>();

} // namespace InstructionSetFamilies
