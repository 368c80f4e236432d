#include "core/InstructionSet.h"

#include <array>
#include <utility>

namespace {

using Handler = InstructionSet::Handler;
template <int N>
using Fixed = InstructionSet::Fixed<N>;

constexpr int formCount = InstructionSet::FormCount;
// Operation sizes by the index of a standard size field, and by the MOVE size field less one
// (1 = byte, 2 = long, 3 = word).
constexpr int sizes[3] = {8, 16, 32};
constexpr int moveSizes[3] = {8, 32, 16};

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

// Indices: size index (0-2) or size bit, direction bit, then the form.
template <int I>
struct MoveCase
{
    static void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Move(e, op, Fixed<moveSizes[I / (formCount * formCount)]>(),
                             Fixed<I % formCount>(), Fixed<(I / formCount) % formCount>());
    }
};

template <int I>
struct MoveAddressCase
{
    static void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::MoveAddress(e, op, Fixed<I / formCount ? 16 : 32>(), Fixed<I % formCount>());
    }
};

template <bool subtract>
struct AddSubCases
{
    template <int I>
    struct Case
    {
        static void Run(Emulator& e, unsigned int op)
        {
            InstructionSet::AddSub<subtract>(e, op, Fixed<sizes[I / (2 * formCount)]>(), Fixed<I % formCount>(),
                                             Fixed<(I / formCount) % 2>());
        }
    };
    template <int I>
    struct AddressCase
    {
        static void Run(Emulator& e, unsigned int op)
        {
            InstructionSet::AddSubAddress<subtract>(e, op, Fixed<I / formCount ? 32 : 16>(), Fixed<I % formCount>());
        }
    };
    template <int I>
    struct QuickCase
    {
        static void Run(Emulator& e, unsigned int op)
        {
            InstructionSet::AddSubQuick<subtract>(e, op, Fixed<sizes[I / formCount]>(), Fixed<I % formCount>());
        }
    };
};

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
struct CompareCase
{
    static void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::Compare(e, op, Fixed<sizes[I / formCount]>(), Fixed<I % formCount>());
    }
};

template <int I>
struct CompareAddressCase
{
    static void Run(Emulator& e, unsigned int op)
    {
        InstructionSet::CompareAddress(e, op, Fixed<I / formCount ? 32 : 16>(), Fixed<I % formCount>());
    }
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

void MoveQuick(Emulator& e, unsigned int op)
{
    InstructionSet::MoveQuick(e, op);
}

struct Tables
{
    Tables();

    Handler specialised[0x10000];
    Handler plain[0x10000];
};

Tables::Tables()
{
    static constexpr auto move = Family<MoveCase, 3 * formCount * formCount>();
    static constexpr auto moveAddress = Family<MoveAddressCase, 2 * formCount>();
    static constexpr auto add = Family<AddSubCases<false>::Case, 3 * 2 * formCount>();
    static constexpr auto sub = Family<AddSubCases<true>::Case, 3 * 2 * formCount>();
    static constexpr auto addAddress = Family<AddSubCases<false>::AddressCase, 2 * formCount>();
    static constexpr auto subAddress = Family<AddSubCases<true>::AddressCase, 2 * formCount>();
    static constexpr auto addQuick = Family<AddSubCases<false>::QuickCase, 3 * formCount>();
    static constexpr auto subQuick = Family<AddSubCases<true>::QuickCase, 3 * formCount>();
    static constexpr auto andCases = Family<LogicCases<InstructionSet::And>::Case, 3 * 2 * formCount>();
    static constexpr auto orCases = Family<LogicCases<InstructionSet::Or>::Case, 3 * 2 * formCount>();
    static constexpr auto eorCases = Family<LogicCases<InstructionSet::ExclusiveOr>::Case, 3 * 2 * formCount>();
    static constexpr auto compare = Family<CompareCase, 3 * formCount>();
    static constexpr auto compareAddress = Family<CompareAddressCase, 2 * formCount>();
    static constexpr auto test = Family<TestCase, 3 * formCount>();
    static constexpr auto clear = Family<ClearCase, 3 * formCount>();
    static constexpr auto loadAddress = Family<LoadAddressCase, formCount>();
    static constexpr auto pushAddress = Family<PushAddressCase, formCount>();
    static constexpr auto jump = Family<JumpCase, formCount>();
    static constexpr auto jumpToSubroutine = Family<JumpToSubroutineCase, formCount>();
    static constexpr auto branch = Family<BranchCase, 32>();
    static constexpr auto decrementAndBranch = Family<DecrementAndBranchCase, 16>();
    static constexpr auto shift = Family<ShiftCase, 48>();

    static const Handler plainHandlers[Decoder::KindCount] = {
#define ZENDRA_PLAIN_ENTRY(name) &InstructionSet::Plain##name,
        ZENDRA_INSTRUCTION_KINDS(ZENDRA_PLAIN_ENTRY)
#undef ZENDRA_PLAIN_ENTRY
    };

    for (unsigned int op = 0; op < 0x10000; ++op) {
        plain[op] = &InstructionSet::Decoded;
        const Decoder::Kind kind = Decoder::KindOf(op);
        if (kind == Decoder::NoKind) {
            specialised[op] = &InstructionSet::Unmatched;
            continue;
        }
        const int form = InstructionSet::FormOf(op);
        const int sizeIndex = (op >> 6) & 3;
        const int direction = (op >> 8) & 1;
        const int formSize = sizeIndex * formCount + form;
        const int formDirectionSize = (sizeIndex * 2 + direction) * formCount + form;
        const int longSize = (op >> 8) & 1;
        Handler handler = plainHandlers[kind];
        switch (kind) {
        case Decoder::Kind_MOVE: {
            const int moveSize = int((op >> 12) & 3) - 1;
            const int destination = InstructionSet::FormOf(op >> 6, op >> 9);
            handler = move[std::size_t((moveSize * formCount + destination) * formCount + form)];
            break;
        }
        case Decoder::Kind_MOVEA:
            handler = moveAddress[std::size_t(((op >> 12) & 1) * formCount + form)];
            break;
        case Decoder::Kind_MOVEQ:
            handler = &MoveQuick;
            break;
        case Decoder::Kind_ADD:
            handler = add[std::size_t(formDirectionSize)];
            break;
        case Decoder::Kind_SUB:
            handler = sub[std::size_t(formDirectionSize)];
            break;
        case Decoder::Kind_ADDA:
            handler = addAddress[std::size_t(longSize * formCount + form)];
            break;
        case Decoder::Kind_SUBA:
            handler = subAddress[std::size_t(longSize * formCount + form)];
            break;
        case Decoder::Kind_ADDQ:
            handler = addQuick[std::size_t(formSize)];
            break;
        case Decoder::Kind_SUBQ:
            handler = subQuick[std::size_t(formSize)];
            break;
        case Decoder::Kind_AND:
            handler = andCases[std::size_t(formDirectionSize)];
            break;
        case Decoder::Kind_OR:
            handler = orCases[std::size_t(formDirectionSize)];
            break;
        case Decoder::Kind_EOR:
            handler = eorCases[std::size_t((sizeIndex * 2 + 1) * formCount + form)];
            break;
        case Decoder::Kind_CMP:
            handler = compare[std::size_t(formSize)];
            break;
        case Decoder::Kind_CMPA:
            handler = compareAddress[std::size_t(longSize * formCount + form)];
            break;
        case Decoder::Kind_TST:
            handler = test[std::size_t(formSize)];
            break;
        case Decoder::Kind_CLR:
            handler = clear[std::size_t(formSize)];
            break;
        case Decoder::Kind_LEA:
            handler = loadAddress[std::size_t(form)];
            break;
        case Decoder::Kind_PEA:
            handler = pushAddress[std::size_t(form)];
            break;
        case Decoder::Kind_JMP:
            handler = jump[std::size_t(form)];
            break;
        case Decoder::Kind_JSR:
            handler = jumpToSubroutine[std::size_t(form)];
            break;
        case Decoder::Kind_Bcc:
            handler = branch[std::size_t(((op >> 8) & 15) * 2 + ((op & 0xFF) == 0 ? 1 : 0))];
            break;
        case Decoder::Kind_DBcc:
            handler = decrementAndBranch[std::size_t((op >> 8) & 15)];
            break;
        case Decoder::Kind_ASd:
        case Decoder::Kind_LSd:
        case Decoder::Kind_ROd:
        case Decoder::Kind_ROXd:
            // The register forms; a memory form (size field 3) keeps its plain handler.
            if (sizeIndex != 3) {
                const int shiftKind = kind == Decoder::Kind_ASd ? InstructionSet::Arithmetic
                    : kind == Decoder::Kind_LSd                 ? InstructionSet::Logical
                    : kind == Decoder::Kind_ROd                 ? InstructionSet::Rotate
                                                                : InstructionSet::RotateExtend;
                handler = shift[std::size_t(((shiftKind * 3 + sizeIndex) * 2 + direction) * 2 + ((op >> 5) & 1))];
            }
            break;
        default:
            break;
        }
        specialised[op] = handler;
    }
}

const Tables& TheTables()
{
    static const Tables tables;
    return tables;
}

} // namespace

const InstructionSet::Handler* InstructionSet::SpecialisedTable()
{
    return TheTables().specialised;
}

const InstructionSet::Handler* InstructionSet::PlainTable()
{
    return TheTables().plain;
}
