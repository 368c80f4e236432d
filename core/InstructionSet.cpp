#include "core/InstructionSet.h"

#include "core/InstructionSetFamilies.h"

namespace {

using namespace InstructionSetFamilies;

void MoveQuick(Emulator& e, unsigned int op)
{
    InstructionSet::Charge<CycleTable::moveQuick>(e);
    InstructionSet::MoveQuick(e, op);
}

struct Tables
{
    Tables();

    Handler specialised[0x10000];
    Handler plain[0x10000];
    Handler plainCounted[0x10000];
    Handler threaded[0x10000];
    Handler threadedByAddress[0x10000];
};

Tables::Tables()
{

    static const Handlers plainHandlers[Decoder::KindCount] = {
#define ZENDRA_PLAIN_ENTRY(name) InstructionSet::Single<&InstructionSet::Plain##name>(),
        ZENDRA_INSTRUCTION_KINDS(ZENDRA_PLAIN_ENTRY)
#undef ZENDRA_PLAIN_ENTRY
    };

    for (unsigned int op = 0; op < 0x10000; ++op) {
        plain[op] = &InstructionSet::Decoded;
        plainCounted[op] = &InstructionSet::Counted<&InstructionSet::Decoded>;
        const Decoder::Kind kind = Decoder::KindOf(op);
        // The chains find their handlers by the word in the host's byte order.
        const unsigned int host = Memory::SwapHostWord(op);
        if (kind == Decoder::NoKind) {
            specialised[op] = &InstructionSet::Unmatched;
            threaded[host] = &InstructionSet::Counted<&InstructionSet::Unmatched>;
            threadedByAddress[host] = threaded[host];
            continue;
        }
        const int form = InstructionSet::FormOf(op);
        const int sizeIndex = (op >> 6) & 3;
        const int direction = (op >> 8) & 1;
        const int formSize = sizeIndex * formCount + form;
        const int longSize = (op >> 8) & 1;
        Handlers handler = plainHandlers[kind];
        // The family's handler at a size and the place of a form; the plain one for a form
        // that the family does not hold.
        const auto pick = [&](const auto& family, int places, int place) {
            return place < 0 ? plainHandlers[kind] : family[std::size_t(sizeIndex * places + place)];
        };
        const int twoWay = TwoWayPlace(direction, form);
        const int dataPlace = PlaceOf(dataAlterable, form);
        const int controlPlace = PlaceOf(control, form);
        switch (kind) {
        case Decoder::Kind_MOVE: {
            const int moveSize = int((op >> 12) & 3) - 1;
            const int destination = PlaceOf(dataAlterable, InstructionSet::FormOf(op >> 6, op >> 9));
            if (destination >= 0 && form < sourceCount)
                handler = move[std::size_t((moveSize * dataAlterableCount + destination) * sourceCount + form)];
            break;
        }
        case Decoder::Kind_MOVEA:
            handler = moveAddress[std::size_t(((op >> 12) & 1) * formCount + form)];
            break;
        case Decoder::Kind_MOVEQ:
            handler = InstructionSet::Both<&MoveQuick>();
            break;
        case Decoder::Kind_MOVEM: {
            const bool toRegisters = op & 0x400;
            const int place = toRegisters ? PlaceOf(multipleToRegisters, form) : PlaceOf(multipleToMemory, form);
            if (place >= 0)
                handler = moveMultiple[std::size_t(((op >> 6) & 1) * multipleCount + (toRegisters ? multipleToMemoryCount : 0)
                                                   + place)];
            break;
        }
        case Decoder::Kind_RTS:
            handler = InstructionSet::Both<&InstructionSet::FlagFreeRTS, true>();
            break;
        case Decoder::Kind_LINK:
            handler = InstructionSet::Both<&InstructionSet::FlagFreeLINK>();
            break;
        case Decoder::Kind_UNLK:
            handler = InstructionSet::Both<&InstructionSet::FlagFreeUNLK>();
            break;
        case Decoder::Kind_NOP:
            handler = InstructionSet::Both<&InstructionSet::FlagFreeNOP>();
            break;
        case Decoder::Kind_ADD:
            handler = pick(add, twoWayCount, twoWay);
            break;
        case Decoder::Kind_SUB:
            handler = pick(sub, twoWayCount, twoWay);
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
            handler = pick(andCases, twoWayCount, twoWay);
            break;
        case Decoder::Kind_OR:
            handler = pick(orCases, twoWayCount, twoWay);
            break;
        case Decoder::Kind_EOR:
            handler = pick(eorCases, dataAlterableCount, dataPlace);
            break;
        case Decoder::Kind_CMP:
            handler = compare[std::size_t(formSize)];
            break;
        case Decoder::Kind_CMPA:
            handler = compareAddress[std::size_t(longSize * formCount + form)];
            break;
        case Decoder::Kind_TST:
            handler = pick(test, dataAlterableCount, dataPlace);
            break;
        case Decoder::Kind_CLR:
            handler = pick(clear, dataAlterableCount, dataPlace);
            break;
        case Decoder::Kind_LEA:
            handler = controlPlace < 0 ? handler : loadAddress[std::size_t(controlPlace)];
            break;
        case Decoder::Kind_PEA:
            handler = controlPlace < 0 ? handler : pushAddress[std::size_t(controlPlace)];
            break;
        case Decoder::Kind_JMP:
            handler = controlPlace < 0 ? handler : jump[std::size_t(controlPlace)];
            break;
        case Decoder::Kind_JSR:
            handler = controlPlace < 0 ? handler : jumpToSubroutine[std::size_t(controlPlace)];
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
        specialised[op] = handler.alone;
        threaded[host] = handler.threaded;
        threadedByAddress[host] = handler.threadedByAddress;
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

const InstructionSet::Handler* InstructionSet::ThreadedTable(bool specialised, bool addresses)
{
    if (!specialised)
        return TheTables().plainCounted;
    return addresses ? TheTables().threadedByAddress : TheTables().threaded;
}
