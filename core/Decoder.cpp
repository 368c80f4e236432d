#include "core/Decoder.h"

namespace {

unsigned int Size(unsigned int op) { return (op >> 6) & 3; }
unsigned int EaMode(unsigned int op) { return (op >> 3) & 7; }
bool ValidEa(unsigned int op, int mask) { return !Decoder::IsInvalidMode(op >> 3, op, mask); }
bool Bit8(unsigned int op) { return op & 0x100; }
bool SizedEa(unsigned int op, int mask) { return Size(op) != 3 && ValidEa(op, mask); }
bool ByteOnAn(unsigned int op) { return Size(op) == 0 && EaMode(op) == 1; }

// ADD, SUB: to memory needs an alterable memory operand; to a register takes any source
// but a byte of an address register.
bool AddSubForm(unsigned int op)
{
    if (Bit8(op))
        return SizedEa(op, Decoder::MemoryAlterableModes);
    return SizedEa(op, Decoder::AllModes) && !ByteOnAn(op);
}

bool AndOrForm(unsigned int op)
{
    return SizedEa(op, Bit8(op) ? Decoder::MemoryAlterableModes : Decoder::DataModes);
}

// Bit operations: a register bit number (bit 8 set) or an immediate one (0x08xx).
bool BitForm(unsigned int op, unsigned int type)
{
    return (op & 0xF0C0) == type && (Bit8(op) || (op & 0xFFC0) == (0x0800 | type));
}

bool ShiftForm(unsigned int op, unsigned int registerForm, unsigned int memoryForm)
{
    if ((op & 0xF000) != 0xE000)
        return false;
    if ((op & 0xF018) == registerForm && Size(op) != 3)
        return true;
    return (op & 0xFEC0) == memoryForm && ValidEa(op, Decoder::MemoryAlterableModes);
}

bool QuickForm(unsigned int op, unsigned int pattern)
{
    return (op & 0xF100) == pattern && SizedEa(op, Decoder::AlterableModes) && !ByteOnAn(op);
}

bool MatchILLEGAL(unsigned int op) { return op == 0x4AFC; }
bool MatchNOP(unsigned int op) { return op == 0x4E71; }
bool MatchRESET(unsigned int op) { return op == 0x4E70; }
bool MatchRTE(unsigned int op) { return op == 0x4E73; }
bool MatchRTR(unsigned int op) { return op == 0x4E77; }
bool MatchRTS(unsigned int op) { return op == 0x4E75; }
bool MatchTRAPV(unsigned int op) { return op == 0x4E76; }
bool MatchANDItoCCR(unsigned int op) { return op == 0x023C; }
bool MatchEORItoCCR(unsigned int op) { return op == 0x0A3C; }
bool MatchORItoCCR(unsigned int op) { return op == 0x003C; }
bool MatchANDItoSR(unsigned int op) { return op == 0x027C; }
bool MatchEORItoSR(unsigned int op) { return op == 0x0A7C; }
bool MatchORItoSR(unsigned int op) { return op == 0x007C; }
bool MatchSTOP(unsigned int op) { return op == 0x4E72; }
bool MatchTRAP(unsigned int op) { return (op & 0xFFF0) == 0x4E40; }
bool MatchSWAP(unsigned int op) { return (op & 0xFFF8) == 0x4840; }
bool MatchUNLK(unsigned int op) { return (op & 0xFFF8) == 0x4E58; }
bool MatchEXT(unsigned int op) { return (op & 0xFFB8) == 0x4880; }
bool MatchABCD(unsigned int op) { return (op & 0xF1F0) == 0xC100; }
bool MatchSBCD(unsigned int op) { return (op & 0xF1F0) == 0x8100; }
bool MatchADDX(unsigned int op) { return (op & 0xF130) == 0xD100 && Size(op) != 3; }
bool MatchSUBX(unsigned int op) { return (op & 0xF130) == 0x9100 && Size(op) != 3; }
bool MatchCMPM(unsigned int op) { return (op & 0xF138) == 0xB108 && Size(op) != 3; }
bool MatchLINK(unsigned int op) { return (op & 0xFFF8) == 0x4E50; }
bool MatchADDA(unsigned int op) { return (op & 0xF0C0) == 0xD0C0 && ValidEa(op, Decoder::AllModes); }
bool MatchCMPA(unsigned int op) { return (op & 0xF0C0) == 0xB0C0 && ValidEa(op, Decoder::AllModes); }
bool MatchSUBA(unsigned int op) { return (op & 0xF0C0) == 0x90C0 && ValidEa(op, Decoder::AllModes); }
bool MatchLEA(unsigned int op) { return (op & 0xF1C0) == 0x41C0 && ValidEa(op, Decoder::ControlModes); }
bool MatchMULS(unsigned int op) { return (op & 0xF1C0) == 0xC1C0 && ValidEa(op, Decoder::DataModes); }
bool MatchMULU(unsigned int op) { return (op & 0xF1C0) == 0xC0C0 && ValidEa(op, Decoder::DataModes); }
bool MatchDIVS(unsigned int op) { return (op & 0xF1C0) == 0x81C0 && ValidEa(op, Decoder::DataModes); }
bool MatchDIVU(unsigned int op) { return (op & 0xF1C0) == 0x80C0 && ValidEa(op, Decoder::DataModes); }
bool MatchCHK(unsigned int op) { return (op & 0xF1C0) == 0x4180 && ValidEa(op, Decoder::DataModes); }
bool MatchCMP(unsigned int op) { return (op & 0xF100) == 0xB000 && SizedEa(op, Decoder::AllModes) && !ByteOnAn(op); }
bool MatchCLR(unsigned int op) { return (op & 0xFF00) == 0x4200 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchNEG(unsigned int op) { return (op & 0xFF00) == 0x4400 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchNEGX(unsigned int op) { return (op & 0xFF00) == 0x4000 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchNOT(unsigned int op) { return (op & 0xFF00) == 0x4600 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchNBCD(unsigned int op) { return (op & 0xFFC0) == 0x4800 && ValidEa(op, Decoder::DataAlterableModes); }
bool MatchMOVEfromSR(unsigned int op) { return (op & 0xFFC0) == 0x40C0 && ValidEa(op, Decoder::DataAlterableModes); }
bool MatchMOVEtoCCR(unsigned int op) { return (op & 0xFFC0) == 0x44C0 && ValidEa(op, Decoder::DataModes); }
bool MatchMOVEtoSR(unsigned int op) { return (op & 0xFFC0) == 0x46C0 && ValidEa(op, Decoder::DataModes); }
bool MatchJMP(unsigned int op) { return (op & 0xFFC0) == 0x4EC0 && ValidEa(op, Decoder::ControlModes); }
bool MatchJSR(unsigned int op) { return (op & 0xFFC0) == 0x4E80 && ValidEa(op, Decoder::ControlModes); }
bool MatchPEA(unsigned int op) { return (op & 0xFFC0) == 0x4840 && ValidEa(op, Decoder::ControlModes); }
bool MatchTAS(unsigned int op) { return (op & 0xFFC0) == 0x4AC0 && ValidEa(op, Decoder::DataAlterableModes); }
bool MatchTST(unsigned int op) { return (op & 0xFF00) == 0x4A00 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchADD(unsigned int op) { return (op & 0xF000) == 0xD000 && AddSubForm(op); }
bool MatchSUB(unsigned int op) { return (op & 0xF000) == 0x9000 && AddSubForm(op); }
bool MatchAND(unsigned int op) { return (op & 0xF000) == 0xC000 && AndOrForm(op); }
bool MatchOR(unsigned int op) { return (op & 0xF000) == 0x8000 && AndOrForm(op); }
bool MatchEOR(unsigned int op) { return (op & 0xF100) == 0xB100 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchADDI(unsigned int op) { return (op & 0xFF00) == 0x0600 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchANDI(unsigned int op) { return (op & 0xFF00) == 0x0200 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchCMPI(unsigned int op) { return (op & 0xFF00) == 0x0C00 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchEORI(unsigned int op) { return (op & 0xFF00) == 0x0A00 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchORI(unsigned int op) { return (op & 0xFF00) == 0x0000 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchSUBI(unsigned int op) { return (op & 0xFF00) == 0x0400 && SizedEa(op, Decoder::DataAlterableModes); }
bool MatchMOVEQ(unsigned int op) { return (op & 0xF100) == 0x7000; }
bool MatchADDQ(unsigned int op) { return QuickForm(op, 0x5000); }
bool MatchSUBQ(unsigned int op) { return QuickForm(op, 0x5100); }
bool MatchBcc(unsigned int op) { return (op & 0xF000) == 0x6000; }
bool MatchDBcc(unsigned int op) { return (op & 0xF0F8) == 0x50C8; }
bool MatchScc(unsigned int op) { return (op & 0xF0C0) == 0x50C0 && ValidEa(op, Decoder::DataAlterableModes); }
bool MatchEXG(unsigned int op)
{
    const unsigned int form = (op >> 3) & 0x1F;
    return (op & 0xF130) == 0xC100 && (form == 0x08 || form == 0x09 || form == 0x11);
}
bool MatchBTST(unsigned int op)
{
    return BitForm(op, 0x0000) && ValidEa(op, Bit8(op) ? Decoder::DataModes : Decoder::StaticBitModes);
}
bool MatchBCHG(unsigned int op) { return BitForm(op, 0x0040) && ValidEa(op, Decoder::DataAlterableModes); }
bool MatchBCLR(unsigned int op) { return BitForm(op, 0x0080) && ValidEa(op, Decoder::DataAlterableModes); }
bool MatchBSET(unsigned int op) { return BitForm(op, 0x00C0) && ValidEa(op, Decoder::DataAlterableModes); }
bool MatchASd(unsigned int op) { return ShiftForm(op, 0xE000, 0xE0C0); }
bool MatchLSd(unsigned int op) { return ShiftForm(op, 0xE008, 0xE2C0); }
bool MatchROd(unsigned int op) { return ShiftForm(op, 0xE018, 0xE6C0); }
bool MatchROXd(unsigned int op) { return ShiftForm(op, 0xE010, 0xE4C0); }
bool MatchMOVE(unsigned int op)
{
    const unsigned int size = (op >> 12) & 3;
    if ((op & 0xC000) != 0 || size == 0)
        return false;
    if (!ValidEa(op, Decoder::AllModes) || Decoder::IsInvalidMode(op >> 6, op >> 9, Decoder::DataAlterableModes))
        return false;
    return !(size == 1 && EaMode(op) == 1);
}
bool MatchMOVEA(unsigned int op) { return (op & 0xC1C0) == 0x0040 && (op & 0x2000) && ValidEa(op, Decoder::AllModes); }
bool MatchMOVE_USP(unsigned int op) { return (op & 0xFFF0) == 0x4E60; }
bool MatchMOVEM(unsigned int op)
{
    return (op & 0xFB80) == 0x4880
        && ValidEa(op, (op & 0x400) ? Decoder::MovemToRegisterModes : Decoder::MovemToMemoryModes);
}
bool MatchMOVEP(unsigned int op) { return (op & 0xF138) == 0x0108; }

using Matcher = bool (*)(unsigned int);

const Matcher matchers[Decoder::KindCount] = {
#define ZENDRA_MATCHER(name) &Match##name,
    ZENDRA_INSTRUCTION_KINDS(ZENDRA_MATCHER)
#undef ZENDRA_MATCHER
};

const char* const kindNames[Decoder::KindCount] = {
#define ZENDRA_KIND_NAME(name) #name,
    ZENDRA_INSTRUCTION_KINDS(ZENDRA_KIND_NAME)
#undef ZENDRA_KIND_NAME
};

// The first kind in dispatch order that accepts each word, worked out once when the
// library loads, so that decoding is one table read.
const unsigned char* BuildKindTable()
{
    static unsigned char table[0x10000];
    for (unsigned int word = 0; word < 0x10000; ++word) {
        table[word] = Decoder::NoKind;
        for (int kind = 0; kind < Decoder::KindCount; ++kind) {
            if (matchers[kind](word)) {
                table[word] = static_cast<unsigned char>(kind);
                break;
            }
        }
    }
    return table;
}

} // namespace

const unsigned char* const Decoder::kindTable = BuildKindTable();

Decoder::Decoder()
    : QObject(nullptr)
{
}

bool Decoder::IsInvalidMode(unsigned int mode, unsigned int reg, int mask)
{
    mode &= 7;
    if (mode < 7)
        return (mask >> mode) & 1;
    switch (reg & 7) {
    case 0: return (mask >> 9) & 1;
    case 1: return (mask >> 10) & 1;
    case 2: return (mask >> 7) & 1;
    case 3: return (mask >> 8) & 1;
    case 4: return (mask >> 11) & 1;
    default: return true;
    }
}

#define ZENDRA_DEFINE_PREDICATE(name) \
    bool Decoder::Is##name() const { return Match##name(opcode & 0xFFFF); }
ZENDRA_INSTRUCTION_KINDS(ZENDRA_DEFINE_PREDICATE)
#undef ZENDRA_DEFINE_PREDICATE

bool Decoder::Matches(Kind kind, unsigned int word)
{
    return kind < KindCount && matchers[kind](word & 0xFFFF);
}

const char* Decoder::KindName(Kind kind)
{
    return kind < KindCount ? kindNames[kind] : "";
}
