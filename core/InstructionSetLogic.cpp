#include "core/InstructionSetFamilies.h"

// The families of AND, OR, EOR, TST and CLR, of the control instructions, branches and shifts.
namespace InstructionSetFamilies {

namespace {

// Indices: size index (0-2) or size bit, direction bit, then the form.
template <int kind>
struct LogicCases
{
    template <int I>
    struct Case
    {
        static void Run(Emulator& e, unsigned int op)
        {
            InstructionSet::Logic<kind>(e, op, Fixed<sizes[I / (2 * formCount)]>(), Fixed<I % formCount>(),
                                        Fixed<(I / formCount) % 2>());
        }
    };
};

template <int I>
struct TestCase
{
    static void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Test(e, op, Fixed<sizes[I / formCount]>(), Fixed<I % formCount>());
    }
};

template <int I>
struct ClearCase
{
    static void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Clear(e, op, Fixed<sizes[I / formCount]>(), Fixed<I % formCount>());
    }
};

template <int I>
struct LoadAddressCase
{
    static void Run(Emulator& e, unsigned int op) { InstructionSet::LoadAddress(e, op, Fixed<I>()); }
};

template <int I>
struct PushAddressCase
{
    static void Run(Emulator& e, unsigned int op) { InstructionSet::PushAddress(e, op, Fixed<I>()); }
};

template <int I>
struct JumpCase
{
    static void Run(Emulator& e, unsigned int op) { InstructionSet::Jump(e, op, Fixed<I>()); }
};

template <int I>
struct JumpToSubroutineCase
{
    static void Run(Emulator& e, unsigned int op) { InstructionSet::JumpToSubroutine(e, op, Fixed<I>()); }
};

// Condition, then whether the displacement is in the next word.
template <int I>
struct BranchCase
{
    static void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Branch(e, op, Fixed<I / 2>(), Fixed<I % 2>());
    }
};

template <int I>
struct DecrementAndBranchCase
{
    static void Run(Emulator& e, unsigned int op) { InstructionSet::DecrementAndBranch(e, op, Fixed<I>()); }
};

// Kind, size index, left, count in a register.
template <int I>
struct ShiftCase
{
    static void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::ShiftRegister(e, op, Fixed<I / 12>(), Fixed<sizes[(I / 4) % 3]>(), Fixed<(I / 2) % 2>(),
                                      Fixed<I % 2>());
    }
};

} // namespace

const std::array<Handler, 3 * 2 * formCount> andCases = Family<LogicCases<InstructionSet::And>::Case, 3 * 2 * formCount>();
const std::array<Handler, 3 * 2 * formCount> orCases = Family<LogicCases<InstructionSet::Or>::Case, 3 * 2 * formCount>();
const std::array<Handler, 3 * 2 * formCount> eorCases =
    Family<LogicCases<InstructionSet::ExclusiveOr>::Case, 3 * 2 * formCount>();
const std::array<Handler, 3 * formCount> test = Family<TestCase, 3 * formCount>();
const std::array<Handler, 3 * formCount> clear = Family<ClearCase, 3 * formCount>();
const std::array<Handler, formCount> loadAddress = Family<LoadAddressCase, formCount>();
const std::array<Handler, formCount> pushAddress = Family<PushAddressCase, formCount>();
const std::array<Handler, formCount> jump = Family<JumpCase, formCount>();
const std::array<Handler, formCount> jumpToSubroutine = Family<JumpToSubroutineCase, formCount>();
const std::array<Handler, 32> branch = Family<BranchCase, 32>();
const std::array<Handler, 16> decrementAndBranch = Family<DecrementAndBranchCase, 16>();
const std::array<Handler, 48> shift = Family<ShiftCase, 48>();

} // namespace InstructionSetFamilies
