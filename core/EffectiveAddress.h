#ifndef ZENDRA_CORE_EFFECTIVEADDRESS_H
#define ZENDRA_CORE_EFFECTIVEADDRESS_H

#include "core/Decoder.h"

class Memory;
class Register;

// One operand of the instruction at the program counter, as the state panel shows it.
class EffectiveAddressItem
{
public:
    enum Type { None = 0, Value = 1, Address = 2 };

    int type = Value;
    // The value itself (type 1, readers take the low `size` bits) or the address (type 2).
    unsigned int value = 0;
    int size = 32;
};

// Works out the source and destination operands of the instruction at the program
// counter without executing it. The addressing modes run on a private copy of the
// registers, in the processor's order, so that one operand's postincrement, predecrement
// or extension words are seen by the next while the real registers stay untouched.
class EffectiveAddress : public Decoder
{
    Q_OBJECT

public:
    EffectiveAddress(Memory* memory, Register* registers);
    ~EffectiveAddress() override;

    // False when the word at the program counter is not an instruction; both items then
    // have type 0.
    bool Extract();

    unsigned int GetAddress(unsigned int mode, unsigned int reg, int size);
    void SetSource(unsigned int mode, unsigned int reg, int size);
    void SetDestination(unsigned int mode, unsigned int reg, int size);

    static int Size(unsigned int bits, unsigned int kind);
    static int ExtendSign(unsigned char value);
    static int ExtendSign(unsigned short value);
    static unsigned int CountOne(unsigned short value);

    ZENDRA_DECLARE_HANDLERS

    Memory* memory;
    Register* registers;
    Register* registerCopy;
    EffectiveAddressItem* source;
    EffectiveAddressItem* destination;

private:
    void SetItem(EffectiveAddressItem* item, unsigned int mode, unsigned int reg, int size);
    void SetRegisterValue(EffectiveAddressItem* item, unsigned int value, int size);
    unsigned int FetchWord();
    unsigned int FetchLong();
    unsigned int Index(unsigned int extension) const;

    // The fields of the opcode that the handlers share.
    unsigned int EaMode() const { return (opcode >> 3) & 7; }
    unsigned int EaRegister() const { return opcode & 7; }
    unsigned int SecondRegister() const { return (opcode >> 9) & 7; }
    int OpSize() const { return Size(opcode >> 6, 1); }
};

#endif
