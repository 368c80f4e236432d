#include "core/EffectiveAddress.h"

#include "core/Memory.h"
#include "core/Register.h"

EffectiveAddress::EffectiveAddress(Memory* memory, Register* registers)
    : memory(memory),
      registers(registers),
      registerCopy(new Register()),
      source(new EffectiveAddressItem()),
      destination(new EffectiveAddressItem())
{
}

EffectiveAddress::~EffectiveAddress()
{
    delete registerCopy;
    delete source;
    delete destination;
}

bool EffectiveAddress::Extract()
{
    registerCopy->Copy(*registers);
    opcode = FetchWord();
    source->type = EffectiveAddressItem::None;
    destination->type = EffectiveAddressItem::None;
    return Decode();
}

int EffectiveAddress::Size(unsigned int bits, unsigned int kind)
{
    switch (kind) {
    case 1: {
        static const int standard[4] = {8, 16, 32, 0};
        return standard[bits & 3];
    }
    case 2: {
        static const int move[4] = {0, 8, 32, 16};
        return move[bits & 3];
    }
    case 3:
        return (bits & 1) ? 32 : 16;
    default:
        return 0;
    }
}

int EffectiveAddress::ExtendSign(unsigned char value)
{
    return (value & 0x80) ? int(value) - 0x100 : int(value);
}

int EffectiveAddress::ExtendSign(unsigned short value)
{
    return (value & 0x8000) ? int(value) - 0x10000 : int(value);
}

unsigned int EffectiveAddress::CountOne(unsigned short value)
{
    unsigned int count = 0;
    for (unsigned int v = value; v != 0; v &= v - 1)
        ++count;
    return count;
}

unsigned int EffectiveAddress::FetchWord()
{
    const unsigned int word = memory->Read(registerCopy->pc, 16) & 0xFFFF;
    registerCopy->pc += 2;
    return word;
}

unsigned int EffectiveAddress::FetchLong()
{
    const unsigned int value = memory->Read(registerCopy->pc, 32);
    registerCopy->pc += 4;
    return value;
}

// The index register of a brief extension word: An or Dn by bit 15, all 32 bits by
// bit 11, else its low word sign-extended.
unsigned int EffectiveAddress::Index(unsigned int extension) const
{
    const unsigned int n = (extension >> 12) & 7;
    const unsigned int value = (extension & 0x8000) ? registerCopy->AnRef(n) : registerCopy->d[n];
    if (extension & 0x0800)
        return value;
    return unsigned(ExtendSign(static_cast<unsigned short>(value)));
}

unsigned int EffectiveAddress::GetAddress(unsigned int mode, unsigned int reg, int size)
{
    mode &= 7;
    reg &= 7;
    // The stack pointer stays even: a byte moves A7 by a whole word.
    const unsigned int step = (reg == 7 && size == 8) ? 2u : unsigned(size / 8);
    switch (mode) {
    case 2:
        return registerCopy->AnRef(reg);
    case 3: {
        unsigned int& an = registerCopy->AnRef(reg);
        const unsigned int address = an;
        an += step;
        return address;
    }
    case 4: {
        unsigned int& an = registerCopy->AnRef(reg);
        an -= step;
        return an;
    }
    case 5: {
        const unsigned int base = registerCopy->AnRef(reg);
        return base + unsigned(ExtendSign(static_cast<unsigned short>(FetchWord())));
    }
    case 6: {
        const unsigned int base = registerCopy->AnRef(reg);
        const unsigned int extension = FetchWord();
        return base + Index(extension) + unsigned(ExtendSign(static_cast<unsigned char>(extension)));
    }
    case 7:
        switch (reg) {
        case 0:
            return unsigned(ExtendSign(static_cast<unsigned short>(FetchWord())));
        case 1:
            return FetchLong();
        case 2: {
            const unsigned int base = registerCopy->pc;
            return base + unsigned(ExtendSign(static_cast<unsigned short>(FetchWord())));
        }
        case 3: {
            const unsigned int base = registerCopy->pc;
            const unsigned int extension = FetchWord();
            return base + Index(extension) + unsigned(ExtendSign(static_cast<unsigned char>(extension)));
        }
        default:
            return 0;
        }
    default:
        return 0;
    }
}

void EffectiveAddress::SetItem(EffectiveAddressItem* item, unsigned int mode, unsigned int reg, int size)
{
    mode &= 7;
    reg &= 7;
    item->size = size;
    if (mode == 0) {
        item->type = EffectiveAddressItem::Value;
        item->value = registerCopy->GetDn(reg, size);
    } else if (mode == 1) {
        item->type = EffectiveAddressItem::Value;
        item->value = registerCopy->GetAn(reg, size);
    } else if (mode == 7 && reg == 4 && (size == 8 || size == 16 || size == 32)) {
        item->type = EffectiveAddressItem::Value;
        item->value = size == 32 ? FetchLong() : size == 16 ? FetchWord() : FetchWord() & 0xFF;
    } else {
        item->type = EffectiveAddressItem::Address;
        item->value = GetAddress(mode, reg, size);
    }
}

void EffectiveAddress::SetSource(unsigned int mode, unsigned int reg, int size)
{
    SetItem(source, mode, reg, size);
}

void EffectiveAddress::SetDestination(unsigned int mode, unsigned int reg, int size)
{
    SetItem(destination, mode, reg, size);
}

void EffectiveAddress::SetRegisterValue(EffectiveAddressItem* item, unsigned int value, int size)
{
    item->type = EffectiveAddressItem::Value;
    item->value = value;
    item->size = size;
}

// No operand worth showing.
void EffectiveAddress::_ILLEGAL() {}
void EffectiveAddress::_NOP() {}
void EffectiveAddress::_RESET() {}
void EffectiveAddress::_RTE() {}
void EffectiveAddress::_RTR() {}
void EffectiveAddress::_RTS() {}
void EffectiveAddress::_TRAPV() {}
void EffectiveAddress::_TRAP() {}

// Immediate to CCR or SR.
void EffectiveAddress::_ANDItoCCR()
{
    SetSource(7, 4, 8);
    SetRegisterValue(destination, registerCopy->sr, 8);
}

void EffectiveAddress::_EORItoCCR() { _ANDItoCCR(); }
void EffectiveAddress::_ORItoCCR() { _ANDItoCCR(); }

void EffectiveAddress::_ANDItoSR()
{
    SetSource(7, 4, 16);
    SetRegisterValue(destination, registerCopy->sr, 16);
}

void EffectiveAddress::_EORItoSR() { _ANDItoSR(); }
void EffectiveAddress::_ORItoSR() { _ANDItoSR(); }
void EffectiveAddress::_STOP() { _ANDItoSR(); }

void EffectiveAddress::_MOVEtoCCR()
{
    // The processor reads a whole word and keeps its low byte: a predecremented source
    // lies two bytes down, not one.
    SetSource(EaMode(), EaRegister(), 16);
    if (source->type == EffectiveAddressItem::Value)
        source->value &= 0xFF;
    source->size = 8;
    SetRegisterValue(destination, registerCopy->sr, 8);
}

void EffectiveAddress::_MOVEtoSR()
{
    SetSource(EaMode(), EaRegister(), 16);
    SetRegisterValue(destination, registerCopy->sr, 16);
}

void EffectiveAddress::_MOVEfromSR()
{
    SetRegisterValue(source, registerCopy->sr, 16);
    SetDestination(EaMode(), EaRegister(), 16);
}

// Single-register instructions.
void EffectiveAddress::_SWAP() { SetSource(0, EaRegister(), 32); }
void EffectiveAddress::_UNLK() { SetSource(1, EaRegister(), 32); }

void EffectiveAddress::_LINK()
{
    SetSource(1, EaRegister(), 32);
    SetDestination(7, 4, 16);
}

void EffectiveAddress::_EXT()
{
    const int size = Size(opcode >> 6, 3);
    SetSource(0, EaRegister(), size);
    source->size = size / 2;
    SetDestination(0, EaRegister(), size);
}

// Register-to-register or predecrement-to-predecrement forms.
void EffectiveAddress::_ABCD()
{
    const unsigned int mode = (opcode & 8) ? 4 : 0;
    SetSource(mode, EaRegister(), 8);
    SetDestination(mode, SecondRegister(), 8);
}

void EffectiveAddress::_SBCD() { _ABCD(); }

void EffectiveAddress::_ADDX()
{
    const unsigned int mode = (opcode & 8) ? 4 : 0;
    const int size = OpSize();
    SetSource(mode, EaRegister(), size);
    SetDestination(mode, SecondRegister(), size);
}

void EffectiveAddress::_SUBX() { _ADDX(); }

void EffectiveAddress::_CMPM()
{
    const int size = OpSize();
    SetSource(3, EaRegister(), size);
    SetDestination(3, SecondRegister(), size);
}

// Address-register arithmetic: the source is widened to the whole register.
void EffectiveAddress::_ADDA()
{
    const int size = Size(opcode >> 8, 3);
    SetSource(EaMode(), EaRegister(), size);
    SetDestination(1, SecondRegister(), 32);
    if (size == 16 && source->type == EffectiveAddressItem::Value)
        source->value = unsigned(ExtendSign(static_cast<unsigned short>(source->value)));
    source->size = 32;
    destination->size = 32;
}

void EffectiveAddress::_CMPA() { _ADDA(); }
void EffectiveAddress::_SUBA() { _ADDA(); }

void EffectiveAddress::_LEA()
{
    SetSource(EaMode(), EaRegister(), 32);
    SetDestination(1, SecondRegister(), 32);
}

// Word source, data register destination.
void EffectiveAddress::_MULS()
{
    SetSource(EaMode(), EaRegister(), 16);
    SetDestination(0, SecondRegister(), 16);
}

void EffectiveAddress::_MULU() { _MULS(); }
void EffectiveAddress::_DIVS() { _MULS(); }
void EffectiveAddress::_DIVU() { _MULS(); }
void EffectiveAddress::_CHK() { _MULS(); }

void EffectiveAddress::_CMP()
{
    const int size = OpSize();
    SetSource(EaMode(), EaRegister(), size);
    SetDestination(0, SecondRegister(), size);
}

// One operand, written.
void EffectiveAddress::_CLR() { SetDestination(EaMode(), EaRegister(), OpSize()); }
void EffectiveAddress::_NEG() { _CLR(); }
void EffectiveAddress::_NEGX() { _CLR(); }
void EffectiveAddress::_NOT() { _CLR(); }
void EffectiveAddress::_NBCD() { SetDestination(EaMode(), EaRegister(), 8); }

// One operand, shown as the source.
void EffectiveAddress::_TST() { SetSource(EaMode(), EaRegister(), OpSize()); }
void EffectiveAddress::_TAS() { SetSource(EaMode(), EaRegister(), 8); }
void EffectiveAddress::_Scc() { _TAS(); }
void EffectiveAddress::_JMP() { SetSource(EaMode(), EaRegister(), 32); }
void EffectiveAddress::_JSR() { _JMP(); }
void EffectiveAddress::_PEA() { _JMP(); }

// Dn op <ea> in either direction by bit 8.
void EffectiveAddress::_ADD()
{
    const int size = OpSize();
    if (opcode & 0x100) {
        SetSource(0, SecondRegister(), size);
        SetDestination(EaMode(), EaRegister(), size);
    } else {
        SetSource(EaMode(), EaRegister(), size);
        SetDestination(0, SecondRegister(), size);
    }
}

void EffectiveAddress::_SUB() { _ADD(); }
void EffectiveAddress::_AND() { _ADD(); }
void EffectiveAddress::_OR() { _ADD(); }

void EffectiveAddress::_EOR()
{
    const int size = OpSize();
    SetSource(0, SecondRegister(), size);
    SetDestination(EaMode(), EaRegister(), size);
}

// Immediate to <ea>: the immediate comes first in the instruction stream.
void EffectiveAddress::_ADDI()
{
    const int size = OpSize();
    SetSource(7, 4, size);
    SetDestination(EaMode(), EaRegister(), size);
}

void EffectiveAddress::_ANDI() { _ADDI(); }
void EffectiveAddress::_CMPI() { _ADDI(); }
void EffectiveAddress::_EORI() { _ADDI(); }
void EffectiveAddress::_ORI() { _ADDI(); }
void EffectiveAddress::_SUBI() { _ADDI(); }

void EffectiveAddress::_MOVEQ()
{
    SetRegisterValue(source, unsigned(ExtendSign(static_cast<unsigned char>(opcode))), 32);
    SetDestination(0, SecondRegister(), 32);
}

void EffectiveAddress::_ADDQ()
{
    const int size = OpSize();
    const unsigned int quick = (opcode >> 9) & 7;
    SetRegisterValue(source, quick == 0 ? 8 : quick, size);
    SetDestination(EaMode(), EaRegister(), size);
}

void EffectiveAddress::_SUBQ() { _ADDQ(); }

// Program flow.
void EffectiveAddress::_Bcc()
{
    const unsigned int base = registerCopy->pc;
    const unsigned int displacement = opcode & 0xFF;
    unsigned int target;
    if (displacement == 0)
        target = base + unsigned(ExtendSign(static_cast<unsigned short>(FetchWord())));
    else
        target = base + unsigned(ExtendSign(static_cast<unsigned char>(displacement)));
    source->type = EffectiveAddressItem::Address;
    source->value = target;
    source->size = 32;
}

void EffectiveAddress::_DBcc()
{
    SetSource(0, EaRegister(), 16);
    SetDestination(7, 2, 32);
}

void EffectiveAddress::_EXG()
{
    switch ((opcode >> 3) & 0x1F) {
    case 0x08:
        SetSource(0, SecondRegister(), 32);
        SetDestination(0, EaRegister(), 32);
        break;
    case 0x09:
        SetSource(1, SecondRegister(), 32);
        SetDestination(1, EaRegister(), 32);
        break;
    case 0x11:
        SetSource(0, SecondRegister(), 32);
        SetDestination(1, EaRegister(), 32);
        break;
    default:
        break;
    }
}

// Bit operations: the bit number is taken modulo the operand's width.
void EffectiveAddress::_BTST()
{
    if (opcode & 0x100)
        SetSource(0, SecondRegister(), 8);
    else
        SetSource(7, 4, 8);
    const bool dataRegister = EaMode() == 0;
    source->value &= dataRegister ? 31u : 7u;
    if (dataRegister)
        SetDestination(0, EaRegister(), 32);
    else
        SetDestination(EaMode(), EaRegister(), 8);
}

void EffectiveAddress::_BCHG() { _BTST(); }
void EffectiveAddress::_BCLR() { _BTST(); }
void EffectiveAddress::_BSET() { _BTST(); }

// Shifts and rotates: the register form shows the count and the register, the memory
// form its one word operand.
void EffectiveAddress::_ASd()
{
    if (((opcode >> 6) & 3) == 3) {
        SetSource(EaMode(), EaRegister(), 16);
        return;
    }
    if (opcode & 0x20) {
        SetRegisterValue(source, registerCopy->GetDn(SecondRegister(), 32) & 63, 8);
    } else {
        const unsigned int count = SecondRegister();
        SetRegisterValue(source, count == 0 ? 8 : count, 8);
    }
    SetDestination(0, EaRegister(), OpSize());
}

void EffectiveAddress::_LSd() { _ASd(); }
void EffectiveAddress::_ROd() { _ASd(); }
void EffectiveAddress::_ROXd() { _ASd(); }

// Moves.
void EffectiveAddress::_MOVE()
{
    const int size = Size(opcode >> 12, 2);
    SetSource(EaMode(), EaRegister(), size);
    SetDestination(opcode >> 6, SecondRegister(), size);
}

void EffectiveAddress::_MOVEA()
{
    const int size = Size(opcode >> 12, 2);
    SetSource(EaMode(), EaRegister(), size);
    if (size == 16 && source->type == EffectiveAddressItem::Value)
        source->value = unsigned(ExtendSign(static_cast<unsigned short>(source->value)));
    source->size = 32;
    SetDestination(1, SecondRegister(), 32);
}

void EffectiveAddress::_MOVE_USP()
{
    if (opcode & 8) {
        SetRegisterValue(source, registerCopy->usp, 32);
        SetDestination(1, EaRegister(), 32);
    } else {
        SetSource(1, EaRegister(), 32);
        SetRegisterValue(destination, registerCopy->usp, 32);
    }
}

void EffectiveAddress::_MOVEM()
{
    if (opcode & 0x400) {
        FetchWord();
        SetSource(EaMode(), EaRegister(), 32);
    } else if (EaMode() != 4) {
        FetchWord();
        SetDestination(EaMode(), EaRegister(), 32);
    } else {
        // The registers go below An: the lowest address written is An's final value.
        const unsigned int mask = FetchWord();
        const unsigned int bytes = (opcode & 0x40) ? 4 : 2;
        destination->type = EffectiveAddressItem::Address;
        destination->size = 32;
        destination->value = registerCopy->AnRef(EaRegister())
            - CountOne(static_cast<unsigned short>(mask)) * bytes;
    }
}

void EffectiveAddress::_MOVEP()
{
    const int size = Size(opcode >> 6, 3);
    if (opcode & 0x80) {
        SetSource(0, SecondRegister(), size);
        SetDestination(5, EaRegister(), size);
    } else {
        SetSource(5, EaRegister(), size);
        SetDestination(0, SecondRegister(), size);
    }
}
