#ifndef ZENDRA_CORE_DECODER_H
#define ZENDRA_CORE_DECODER_H

#include <QObject>

// The 78 instruction kinds in the order in which Decode tries them. The one list keeps the
// predicates, the handlers of every derived class and the dispatcher in step.
#define ZENDRA_INSTRUCTION_KINDS(X) \
    X(ILLEGAL) X(NOP) X(RESET) X(RTE) X(RTR) X(RTS) X(TRAPV) \
    X(ANDItoCCR) X(EORItoCCR) X(ORItoCCR) X(ANDItoSR) X(EORItoSR) X(ORItoSR) \
    X(STOP) X(TRAP) X(SWAP) X(UNLK) X(EXT) X(ABCD) X(SBCD) X(ADDX) X(SUBX) X(CMPM) X(LINK) \
    X(ADDA) X(CMPA) X(SUBA) X(LEA) X(MULS) X(MULU) X(DIVS) X(DIVU) X(CHK) X(CMP) \
    X(CLR) X(NEG) X(NEGX) X(NOT) X(NBCD) X(MOVEfromSR) X(MOVEtoCCR) X(MOVEtoSR) \
    X(JMP) X(JSR) X(PEA) X(TAS) X(TST) X(ADD) X(SUB) X(AND) X(OR) X(EOR) \
    X(ADDI) X(ANDI) X(CMPI) X(EORI) X(ORI) X(SUBI) X(MOVEQ) X(ADDQ) X(SUBQ) \
    X(Bcc) X(DBcc) X(Scc) X(EXG) X(BTST) X(BCHG) X(BCLR) X(BSET) \
    X(ASd) X(LSd) X(ROd) X(ROXd) X(MOVE) X(MOVEA) X(MOVE_USP) X(MOVEM) X(MOVEP)

// Declares, in a class derived from Decoder, an override of every handler.
#define ZENDRA_DECLARE_HANDLER(name) void _##name() override;
#define ZENDRA_DECLARE_HANDLERS ZENDRA_INSTRUCTION_KINDS(ZENDRA_DECLARE_HANDLER)

// Classifies a 68000 opcode word into one of the instruction kinds and dispatches it to
// the per-kind handler of the derived class: the emulator, the disassembler and the
// operand evaluator thereby agree on what is an instruction.
class Decoder : public QObject
{
    Q_OBJECT

public:
    // Kind numbers, in dispatch order; NoKind for a word that decodes as nothing.
    enum Kind : unsigned char {
#define ZENDRA_KIND_ENUM(name) Kind_##name,
        ZENDRA_INSTRUCTION_KINDS(ZENDRA_KIND_ENUM)
#undef ZENDRA_KIND_ENUM
        KindCount,
        NoKind = 0xFF
    };

    // Addressing-mode masks: a set bit excludes the mode.
    enum ModeMask : int {
        AllModes = 0x000,
        DataModes = 0x002,
        ControlModes = 0x81B,
        DataAlterableModes = 0x982,
        MemoryAlterableModes = 0x983,
        AlterableModes = 0x980,
        StaticBitModes = 0x802,
        MovemToRegisterModes = 0x813,
        MovemToMemoryModes = 0x98B
    };

    Decoder();

    static bool IsInvalidMode(unsigned int mode, unsigned int reg, int mask);
    bool IsInvalidMode(int mask) const { return IsInvalidMode(opcode >> 3, opcode, mask); }
    bool IsInvalidSize() const { return ((opcode >> 6) & 3) == 3; }
    bool IsAnB() const { return ((opcode >> 6) & 3) == 0 && ((opcode >> 3) & 7) == 1; }

#define ZENDRA_DECLARE_PREDICATE(name) bool Is##name() const;
    ZENDRA_INSTRUCTION_KINDS(ZENDRA_DECLARE_PREDICATE)
#undef ZENDRA_DECLARE_PREDICATE

    // The kind of a word, read from a table that the predicates filled once per process.
    static Kind KindOf(unsigned int word) { return Kind(kindTable[word & 0xFFFF]); }
    // The predicate of a kind applied to a word, for building and checking that table.
    static bool Matches(Kind kind, unsigned int word);
    static const char* KindName(Kind kind);

    // Always inlined: the dispatch is the emulator's hottest path.
    inline __attribute__((always_inline)) bool Decode();

    unsigned int opcode = 0;

protected:
#define ZENDRA_DECLARE_PURE_HANDLER(name) virtual void _##name() = 0;
    ZENDRA_INSTRUCTION_KINDS(ZENDRA_DECLARE_PURE_HANDLER)
#undef ZENDRA_DECLARE_PURE_HANDLER

private:
    static const unsigned char* const kindTable;
};

// Inline, so that a final derived class that calls it gets its handlers called directly.
inline bool Decoder::Decode()
{
    switch (KindOf(opcode)) {
#define ZENDRA_DISPATCH(name) \
    case Kind_##name: _##name(); return true;
        ZENDRA_INSTRUCTION_KINDS(ZENDRA_DISPATCH)
#undef ZENDRA_DISPATCH
    default:
        return false;
    }
}

#endif
