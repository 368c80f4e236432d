#ifndef ZENDRA_CORE_DISASSEMBLER_H
#define ZENDRA_CORE_DISASSEMBLER_H

#include "core/Decoder.h"

#include <QString>

class Memory;
class SymbolNames;

// Turns the instruction at one address of the simulated memory into the four text fields
// of a disassembly line: address, machine code, mnemonic and operands. Words that are no
// instruction show as one data word, so every address gives a line.
class Disassembler : public Decoder
{
    Q_OBJECT

public:
    // Widths of the fields of a line, in character cells.
    static constexpr int AddressFieldSize = 6;
    static constexpr int MachineCodeFieldSize = 22;
    static constexpr int MnemonicFieldSize = 7;
    static constexpr int OperandFieldSize = 49;

    explicit Disassembler(Memory* memory);

    void SetStartAddress(unsigned int address);
    void Disassemble();
    // Disassemble, for a line that must end at limit or before it (where a label starts a
    // line of its own): an instruction that would run past it, or one at an odd address,
    // shows as a data word instead, or as a byte when no whole word is left.
    void DisassembleBefore(unsigned int limit);
    // Disassembles the instruction at currentAddress and moves past it.
    virtual void Decode();
    unsigned int GetNext(unsigned int address, int count);

    static QString Hexa(unsigned int value, int width);
    static int Size(unsigned int bits, unsigned int kind);
    QString GetSize(unsigned int bits, unsigned int kind);
    QString GetD8(unsigned short word);
    QString GetD16(unsigned short word);
    QString GetIndexRegister(unsigned short extension);
    QString GetRegisterList(unsigned short mask);

    void AddOperand(unsigned int mode, unsigned int reg, int size);
    void AddOperand(unsigned int mode, unsigned int reg, const QString& text, int size);
    void AddOperand(const QString& text, unsigned int mode, unsigned int reg, int size);
    void AddOperand(unsigned int mode1, unsigned int register1, unsigned int mode2, unsigned int register2, int size);

    static int ExtendSign(unsigned char value) { return static_cast<signed char>(value); }
    static int ExtendSign(unsigned short value) { return static_cast<short>(value); }
    static unsigned int Invert(unsigned short value);
    static bool TestBit(unsigned int value, int bit) { return (value >> (bit & 31)) & 1; }

    Memory* memory;
    // The open program's symbols, or null: an address operand that a symbol names is
    // followed by that name, as in "$103A <draw_line>".
    const SymbolNames* symbols = nullptr;
    unsigned int startAddress = 0;
    unsigned int currentAddress = 0;
    QString machineCode;
    QString mnemonic;
    QString operand;
    unsigned int nextAddress = 0;
    QString addressText;
    // The line shows words or a byte that are no instruction (DC.W, DC.B).
    bool data = false;

protected:
    ZENDRA_DECLARE_HANDLERS

private:
    // Allocation-free builders behind the public formatting functions: the views format a
    // full page on every paint, so a line must not create temporary strings.
    static void AppendHexa(QString& text, unsigned int value, int width);
    static void AppendD8(QString& text, unsigned int word);
    static void AppendD16(QString& text, unsigned int word);
    static void AppendIndexRegister(QString& text, unsigned int extension);
    static void AppendRegisterList(QString& text, unsigned int mask);
    static void AppendRegister(QString& text, char letter, unsigned int number);
    void AppendOperand(unsigned int mode, unsigned int reg, int size);
    void AppendSymbol(unsigned int address);
    // The line as one data word, or one byte, from startAddress.
    void DisassembleData(int size);
    unsigned int FetchWord();
    unsigned int FetchLong();
    void QuickOrShift(unsigned int count);
    // Dn and <ea>, in the direction that bit 8 gives.
    void RegisterAndEa(const QString* names);
    void Shift(const QString* names);
};

#endif
