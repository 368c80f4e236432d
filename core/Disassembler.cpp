#include "core/Disassembler.h"

#include "core/Hex.h"
#include "core/Memory.h"
#include "core/SymbolNames.h"

namespace {

// Mnemonics are chosen from tables of literals: assigning a literal QString shares its
// static data, so no line allocates for its mnemonic.
#define ZENDRA_SIZED(base) \
    { QStringLiteral(base ".B"), QStringLiteral(base ".W"), QStringLiteral(base ".L"), QStringLiteral(base) }

// Indexed by the standard size field: byte, word, long, and no suffix for the fourth value.
struct SizedName
{
    QString name[4];
    const QString& operator[](unsigned int sizeField) const { return name[sizeField & 3]; }
};

const SizedName addNames = ZENDRA_SIZED("ADD");
const SizedName subNames = ZENDRA_SIZED("SUB");
const SizedName andNames = ZENDRA_SIZED("AND");
const SizedName orNames = ZENDRA_SIZED("OR");
const SizedName eorNames = ZENDRA_SIZED("EOR");
const SizedName cmpNames = ZENDRA_SIZED("CMP");
const SizedName addxNames = ZENDRA_SIZED("ADDX");
const SizedName subxNames = ZENDRA_SIZED("SUBX");
const SizedName cmpmNames = ZENDRA_SIZED("CMPM");
const SizedName addaNames = ZENDRA_SIZED("ADDA");
const SizedName cmpaNames = ZENDRA_SIZED("CMPA");
const SizedName subaNames = ZENDRA_SIZED("SUBA");
const SizedName clrNames = ZENDRA_SIZED("CLR");
const SizedName negNames = ZENDRA_SIZED("NEG");
const SizedName negxNames = ZENDRA_SIZED("NEGX");
const SizedName notNames = ZENDRA_SIZED("NOT");
const SizedName tstNames = ZENDRA_SIZED("TST");
const SizedName extNames = ZENDRA_SIZED("EXT");
const SizedName addiNames = ZENDRA_SIZED("ADDI");
const SizedName andiNames = ZENDRA_SIZED("ANDI");
const SizedName cmpiNames = ZENDRA_SIZED("CMPI");
const SizedName eoriNames = ZENDRA_SIZED("EORI");
const SizedName oriNames = ZENDRA_SIZED("ORI");
const SizedName subiNames = ZENDRA_SIZED("SUBI");
const SizedName addqNames = ZENDRA_SIZED("ADDQ");
const SizedName subqNames = ZENDRA_SIZED("SUBQ");
const SizedName moveNames = ZENDRA_SIZED("MOVE");
const SizedName moveaNames = ZENDRA_SIZED("MOVEA");
const SizedName movemNames = ZENDRA_SIZED("MOVEM");
const SizedName movepNames = ZENDRA_SIZED("MOVEP");
const SizedName btstNames = ZENDRA_SIZED("BTST");
const SizedName bchgNames = ZENDRA_SIZED("BCHG");
const SizedName bclrNames = ZENDRA_SIZED("BCLR");
const SizedName bsetNames = ZENDRA_SIZED("BSET");

// Shifts and rotates, right then left; the memory form (size field 3) is always a word.
#define ZENDRA_SHIFT(base) \
    QStringLiteral(base ".B"), QStringLiteral(base ".W"), QStringLiteral(base ".L"), QStringLiteral(base ".W")
const QString asNames[8] = { ZENDRA_SHIFT("ASR"), ZENDRA_SHIFT("ASL") };
const QString lsNames[8] = { ZENDRA_SHIFT("LSR"), ZENDRA_SHIFT("LSL") };
const QString roNames[8] = { ZENDRA_SHIFT("ROR"), ZENDRA_SHIFT("ROL") };
const QString roxNames[8] = { ZENDRA_SHIFT("ROXR"), ZENDRA_SHIFT("ROXL") };
#undef ZENDRA_SHIFT
#undef ZENDRA_SIZED

// The size field of MOVE and MOVEA (1 byte, 3 word, 2 long) as a standard size field.
const unsigned int moveSizeField[4] = { 3, 0, 2, 1 };

// Condition names by condition field (bits 11-8).
#define ZENDRA_CONDITIONS(prefix, suffix) \
    { QStringLiteral(prefix "T" suffix), QStringLiteral(prefix "F" suffix), QStringLiteral(prefix "HI" suffix), \
      QStringLiteral(prefix "LS" suffix), QStringLiteral(prefix "CC" suffix), QStringLiteral(prefix "CS" suffix), \
      QStringLiteral(prefix "NE" suffix), QStringLiteral(prefix "EQ" suffix), QStringLiteral(prefix "VC" suffix), \
      QStringLiteral(prefix "VS" suffix), QStringLiteral(prefix "PL" suffix), QStringLiteral(prefix "MI" suffix), \
      QStringLiteral(prefix "GE" suffix), QStringLiteral(prefix "LT" suffix), QStringLiteral(prefix "GT" suffix), \
      QStringLiteral(prefix "LE" suffix) }
const QString sccNames[16] = ZENDRA_CONDITIONS("S", ".B");
#undef ZENDRA_CONDITIONS
// Condition 1 of DBcc never holds, and is written DBRA as the loop instruction it is.
const QString dbccNames[16] = {
    QStringLiteral("DBT.W"), QStringLiteral("DBRA.W"), QStringLiteral("DBHI.W"), QStringLiteral("DBLS.W"),
    QStringLiteral("DBCC.W"), QStringLiteral("DBCS.W"), QStringLiteral("DBNE.W"), QStringLiteral("DBEQ.W"),
    QStringLiteral("DBVC.W"), QStringLiteral("DBVS.W"), QStringLiteral("DBPL.W"), QStringLiteral("DBMI.W"),
    QStringLiteral("DBGE.W"), QStringLiteral("DBLT.W"), QStringLiteral("DBGT.W"), QStringLiteral("DBLE.W") };
// Conditions 0 and 1 of Bcc are the branch and the subroutine call; short then word form.
#define ZENDRA_BRANCH(name) QStringLiteral(name ".S"), QStringLiteral(name ".W")
const QString bccNames[32] = {
    ZENDRA_BRANCH("BRA"), ZENDRA_BRANCH("BSR"), ZENDRA_BRANCH("BHI"), ZENDRA_BRANCH("BLS"),
    ZENDRA_BRANCH("BCC"), ZENDRA_BRANCH("BCS"), ZENDRA_BRANCH("BNE"), ZENDRA_BRANCH("BEQ"),
    ZENDRA_BRANCH("BVC"), ZENDRA_BRANCH("BVS"), ZENDRA_BRANCH("BPL"), ZENDRA_BRANCH("BMI"),
    ZENDRA_BRANCH("BGE"), ZENDRA_BRANCH("BLT"), ZENDRA_BRANCH("BGT"), ZENDRA_BRANCH("BLE") };
#undef ZENDRA_BRANCH

// What stands where no instruction does: a word, or a byte before an odd label.
const QString dataWord = QStringLiteral("DC.W");
const QString dataByte = QStringLiteral("DC.B");

// Buffer sizes that hold any line: the machine code of the longest instruction, and the
// operands of the widest MOVE or MOVEM with room to spare.
const int machineCodeCapacity = 32;
const int operandCapacity = 64;

// Empties a field for the next line. The buffer is reused when no one else holds it; a
// view that kept a copy of the last line gets a fresh buffer of the full size instead.
inline void Reset(QString& text, int capacity)
{
    if (text.isDetached()) {
        text.resize(0);
    } else {
        text = QString();
        text.reserve(capacity);
    }
}

inline void AppendLatin1(QString& text, const char* latin1, int length)
{
    text.append(QLatin1String(latin1, length));
}

inline unsigned int StandardSize(unsigned int opcode) { return (opcode >> 6) & 3; }
inline unsigned int EaMode(unsigned int opcode) { return (opcode >> 3) & 7; }
inline unsigned int EaRegister(unsigned int opcode) { return opcode & 7; }
inline unsigned int SecondRegister(unsigned int opcode) { return (opcode >> 9) & 7; }
// The W/L size given by one bit: clear is a word (field 1), set a long word (field 2).
inline unsigned int WordOrLong(unsigned int opcode, int bit) { return 1 + ((opcode >> bit) & 1); }

} // namespace

Disassembler::Disassembler(Memory* memory)
    : memory(memory)
{
    // Room for the longest line, so that formatting reuses the same buffers.
    machineCode.reserve(machineCodeCapacity);
    operand.reserve(operandCapacity);
}

void Disassembler::SetStartAddress(unsigned int address)
{
    startAddress = address & 0xFFFFFF;
}

void Disassembler::Disassemble()
{
    currentAddress = startAddress;
    Decode();
    nextAddress = currentAddress;
    Reset(addressText, AddressFieldSize);
    AppendHexa(addressText, startAddress, AddressFieldSize);
}

void Disassembler::DisassembleBefore(unsigned int limit)
{
    Disassemble();
    // An instruction starts at an even address; one that would cross the limit is not
    // there, whatever its words say.
    if (startAddress & 1)
        DisassembleData(8);
    else if (nextAddress > limit)
        DisassembleData(limit - startAddress == 1 ? 8 : 16);
}

void Disassembler::DisassembleData(int size)
{
    const int digits = size / 4;
    const unsigned int value = memory->Peek(startAddress, size);
    Reset(machineCode, machineCodeCapacity);
    AppendHexa(machineCode, value, digits);
    mnemonic = size == 8 ? dataByte : dataWord;
    data = true;
    Reset(operand, operandCapacity);
    operand.append(QLatin1Char('$'));
    AppendHexa(operand, value, digits);
    nextAddress = startAddress + unsigned(size / 8);
}

void Disassembler::Decode()
{
    // The views disassemble while a run goes: the words are peeked, as all the fetches below.
    opcode = memory->Peek(currentAddress, 16);
    currentAddress += 2;
    Reset(machineCode, machineCodeCapacity);
    AppendHexa(machineCode, opcode, 4);
    Reset(operand, operandCapacity);
    data = !Decoder::Decode();
    if (data) {
        mnemonic = dataWord;
        operand.append(QLatin1Char('$'));
        AppendHexa(operand, opcode, 4);
    }
}

// " <name>" or " <name+$offset>" after an address that the program's symbols name; the
// address bus has 24 lines, so a sign-extended short address names what it reaches.
void Disassembler::AppendSymbol(unsigned int address)
{
    if (!symbols || symbols->IsEmpty())
        return;
    unsigned int offset = 0;
    const QString* name = symbols->NameOf(address & 0xFFFFFF, &offset);
    if (!name)
        return;
    AppendLatin1(operand, " <", 2);
    operand.append(*name);
    if (offset != 0) {
        AppendLatin1(operand, "+$", 2);
        AppendHexa(operand, offset, 0);
    }
    operand.append(QLatin1Char('>'));
}

unsigned int Disassembler::GetNext(unsigned int address, int count)
{
    currentAddress = address;
    for (int i = 0; i < count; ++i)
        Decode();
    return currentAddress;
}

QString Disassembler::Hexa(unsigned int value, int width)
{
    return Hex::Text(value, width);
}

int Disassembler::Size(unsigned int bits, unsigned int kind)
{
    switch (kind) {
    case 1: {
        static const int sizes[4] = { 8, 16, 32, 0 };
        return sizes[bits & 3];
    }
    case 2: {
        static const int sizes[4] = { 0, 8, 32, 16 };
        return sizes[bits & 3];
    }
    case 3:
        return (bits & 1) ? 32 : 16;
    default:
        return 0;
    }
}

QString Disassembler::GetSize(unsigned int bits, unsigned int kind)
{
    switch (Size(bits, kind)) {
    case 8: return QStringLiteral(".B");
    case 16: return QStringLiteral(".W");
    case 32: return QStringLiteral(".L");
    default: return QString();
    }
}

QString Disassembler::GetD8(unsigned short word)
{
    QString text;
    AppendD8(text, word);
    return text;
}

QString Disassembler::GetD16(unsigned short word)
{
    QString text;
    AppendD16(text, word);
    return text;
}

QString Disassembler::GetIndexRegister(unsigned short extension)
{
    QString text;
    AppendIndexRegister(text, extension);
    return text;
}

QString Disassembler::GetRegisterList(unsigned short mask)
{
    QString text;
    AppendRegisterList(text, mask);
    return text;
}

unsigned int Disassembler::Invert(unsigned short value)
{
    unsigned int result = 0;
    for (int bit = 0; bit < 16; ++bit) {
        if (value & (1u << bit))
            result |= 1u << (15 - bit);
    }
    return result;
}

void Disassembler::AppendHexa(QString& text, unsigned int value, int width)
{
    Hex::AppendPadded(text, value, width);
}

void Disassembler::AppendD8(QString& text, unsigned int word)
{
    const int value = ExtendSign(static_cast<unsigned char>(word));
    if (value < 0) {
        AppendLatin1(text, "-$", 2);
        AppendHexa(text, unsigned(-value), 0);
    } else {
        text.append(QLatin1Char('$'));
        AppendHexa(text, unsigned(value), 0);
    }
}

void Disassembler::AppendD16(QString& text, unsigned int word)
{
    const int value = ExtendSign(static_cast<unsigned short>(word));
    if (value < 0) {
        AppendLatin1(text, "-$", 2);
        AppendHexa(text, unsigned(-value), 0);
    } else {
        text.append(QLatin1Char('$'));
        AppendHexa(text, unsigned(value), 0);
    }
}

void Disassembler::AppendRegister(QString& text, char letter, unsigned int number)
{
    const char name[2] = { letter, char('0' + (number & 7)) };
    AppendLatin1(text, name, 2);
}

void Disassembler::AppendIndexRegister(QString& text, unsigned int extension)
{
    const char name[4] = { (extension & 0x8000) ? 'A' : 'D', char('0' + ((extension >> 12) & 7)), '.',
                           (extension & 0x0800) ? 'L' : 'W' };
    AppendLatin1(text, name, 4);
}

void Disassembler::AppendRegisterList(QString& text, unsigned int mask)
{
    mask &= 0xFFFF;
    if (mask == 0)
        return;
    // Runs of consecutive registers as "Dm-Dn", runs and single registers joined by "/".
    // Each set bit ends with a "/" once its run closes; the last one is dropped.
    char list[48];
    int length = 0;
    for (int pass = 0; pass < 2; ++pass) {
        const char letter = pass == 0 ? 'D' : 'A';
        const unsigned int byte = (mask >> (8 * pass)) & 0xFF;
        bool open = false;
        for (int i = 0; i <= 8; ++i) {
            const bool set = (byte >> i) & 1;
            if (set && !open) {
                list[length++] = letter;
                list[length++] = char('0' + i);
                open = true;
            } else if (set && !((byte >> (i + 1)) & 1)) {
                list[length++] = '-';
                list[length++] = letter;
                list[length++] = char('0' + i);
            } else if (!set && open) {
                list[length++] = '/';
                open = false;
            }
        }
    }
    AppendLatin1(text, list, length - 1);
}

unsigned int Disassembler::FetchWord()
{
    const unsigned int word = memory->Peek(currentAddress, 16);
    currentAddress += 2;
    machineCode.append(QLatin1Char(' '));
    AppendHexa(machineCode, word, 4);
    return word;
}

unsigned int Disassembler::FetchLong()
{
    const unsigned int value = memory->Peek(currentAddress, 32);
    currentAddress += 4;
    machineCode.append(QLatin1Char(' '));
    AppendHexa(machineCode, value, 8);
    return value;
}

void Disassembler::AppendOperand(unsigned int mode, unsigned int reg, int size)
{
    mode &= 7;
    reg &= 7;
    switch (mode) {
    case 0:
        AppendRegister(operand, 'D', reg);
        return;
    case 1:
        AppendRegister(operand, 'A', reg);
        return;
    case 2: {
        const char text[4] = { '(', 'A', char('0' + reg), ')' };
        AppendLatin1(operand, text, 4);
        return;
    }
    case 3: {
        const char text[5] = { '(', 'A', char('0' + reg), ')', '+' };
        AppendLatin1(operand, text, 5);
        return;
    }
    case 4: {
        const char text[5] = { '-', '(', 'A', char('0' + reg), ')' };
        AppendLatin1(operand, text, 5);
        return;
    }
    case 5: {
        AppendD16(operand, FetchWord());
        const char text[4] = { '(', 'A', char('0' + reg), ')' };
        AppendLatin1(operand, text, 4);
        return;
    }
    case 6: {
        const unsigned int extension = FetchWord();
        AppendD8(operand, extension);
        const char text[4] = { '(', 'A', char('0' + reg), ',' };
        AppendLatin1(operand, text, 4);
        AppendIndexRegister(operand, extension);
        operand.append(QLatin1Char(')'));
        return;
    }
    default:
        break;
    }
    switch (reg) {
    case 0: {
        const unsigned int address = unsigned(ExtendSign(static_cast<unsigned short>(FetchWord())));
        operand.append(QLatin1Char('$'));
        AppendHexa(operand, address, 0);
        AppendLatin1(operand, ".W", 2);
        AppendSymbol(address);
        return;
    }
    case 1: {
        const unsigned int address = FetchLong();
        operand.append(QLatin1Char('$'));
        AppendHexa(operand, address, 0);
        AppendSymbol(address);
        return;
    }
    case 2: {
        const unsigned int pc = currentAddress;
        const unsigned int displacement = FetchWord();
        const unsigned int address = pc + unsigned(ExtendSign(static_cast<unsigned short>(displacement)));
        operand.append(QLatin1Char('$'));
        AppendHexa(operand, address, 0);
        AppendLatin1(operand, "(PC)", 4);
        AppendSymbol(address);
        return;
    }
    case 3: {
        const unsigned int pc = currentAddress;
        const unsigned int extension = FetchWord();
        const unsigned int address = pc + unsigned(ExtendSign(static_cast<unsigned char>(extension)));
        operand.append(QLatin1Char('$'));
        AppendHexa(operand, address, 0);
        AppendLatin1(operand, "(PC,", 4);
        AppendIndexRegister(operand, extension);
        operand.append(QLatin1Char(')'));
        AppendSymbol(address);
        return;
    }
    case 4:
        switch (size) {
        case 8:
            AppendLatin1(operand, "#$", 2);
            AppendHexa(operand, FetchWord() & 0xFF, 0);
            return;
        case 16:
            AppendLatin1(operand, "#$", 2);
            AppendHexa(operand, FetchWord(), 0);
            return;
        case 32:
            AppendLatin1(operand, "#$", 2);
            AppendHexa(operand, FetchLong(), 0);
            return;
        default:
            return;
        }
    default:
        return;
    }
}

void Disassembler::AddOperand(unsigned int mode, unsigned int reg, int size)
{
    AppendOperand(mode, reg, size);
}

void Disassembler::AddOperand(unsigned int mode, unsigned int reg, const QString& text, int size)
{
    AppendOperand(mode, reg, size);
    operand.append(QLatin1Char(','));
    operand.append(text);
}

void Disassembler::AddOperand(const QString& text, unsigned int mode, unsigned int reg, int size)
{
    operand.append(text);
    operand.append(QLatin1Char(','));
    AppendOperand(mode, reg, size);
}

void Disassembler::AddOperand(unsigned int mode1, unsigned int register1, unsigned int mode2,
                              unsigned int register2, int size)
{
    AppendOperand(mode1, register1, size);
    operand.append(QLatin1Char(','));
    AppendOperand(mode2, register2, size);
}

// ---- Instructions without operands ----

void Disassembler::_ILLEGAL() { mnemonic = QStringLiteral("ILLEGAL"); }
void Disassembler::_NOP() { mnemonic = QStringLiteral("NOP"); }
void Disassembler::_RESET() { mnemonic = QStringLiteral("RESET"); }
void Disassembler::_RTE() { mnemonic = QStringLiteral("RTE"); }
void Disassembler::_RTR() { mnemonic = QStringLiteral("RTR"); }
void Disassembler::_RTS() { mnemonic = QStringLiteral("RTS"); }
void Disassembler::_TRAPV() { mnemonic = QStringLiteral("TRAPV"); }

// ---- Immediate to the status register ----

void Disassembler::_ANDItoCCR()
{
    mnemonic = QStringLiteral("ANDI.B");
    AddOperand(7, 4, QStringLiteral("CCR"), 8);
}

void Disassembler::_EORItoCCR()
{
    mnemonic = QStringLiteral("EORI.B");
    AddOperand(7, 4, QStringLiteral("CCR"), 8);
}

void Disassembler::_ORItoCCR()
{
    mnemonic = QStringLiteral("ORI.B");
    AddOperand(7, 4, QStringLiteral("CCR"), 8);
}

void Disassembler::_ANDItoSR()
{
    mnemonic = QStringLiteral("ANDI.W");
    AddOperand(7, 4, QStringLiteral("SR"), 16);
}

void Disassembler::_EORItoSR()
{
    mnemonic = QStringLiteral("EORI.W");
    AddOperand(7, 4, QStringLiteral("SR"), 16);
}

void Disassembler::_ORItoSR()
{
    mnemonic = QStringLiteral("ORI.W");
    AddOperand(7, 4, QStringLiteral("SR"), 16);
}

void Disassembler::_STOP()
{
    mnemonic = QStringLiteral("STOP");
    AddOperand(7, 4, 16);
}

void Disassembler::_TRAP()
{
    mnemonic = QStringLiteral("TRAP");
    // The vector number is the one decimal number of the operand field.
    const unsigned int vector = opcode & 15;
    operand.append(QLatin1Char('#'));
    if (vector >= 10)
        operand.append(QLatin1Char('1'));
    operand.append(QLatin1Char(char('0' + vector % 10)));
}

// ---- Register instructions ----

void Disassembler::_SWAP()
{
    mnemonic = QStringLiteral("SWAP.W");
    AddOperand(0, EaRegister(opcode), 32);
}

void Disassembler::_UNLK()
{
    mnemonic = QStringLiteral("UNLK");
    AddOperand(1, EaRegister(opcode), 32);
}

void Disassembler::_EXT()
{
    mnemonic = extNames[WordOrLong(opcode, 6)];
    AddOperand(0, EaRegister(opcode), 32);
}

void Disassembler::_LINK()
{
    const unsigned int displacement = FetchWord();
    mnemonic = QStringLiteral("LINK.W");
    AppendRegister(operand, 'A', EaRegister(opcode));
    AppendLatin1(operand, ",#", 2);
    AppendD16(operand, displacement);
}

void Disassembler::_EXG()
{
    mnemonic = QStringLiteral("EXG.L");
    switch ((opcode >> 3) & 0x1F) {
    case 0x08:
        AddOperand(0, SecondRegister(opcode), 0, EaRegister(opcode), 32);
        break;
    case 0x09:
        AddOperand(1, SecondRegister(opcode), 1, EaRegister(opcode), 32);
        break;
    default:
        AddOperand(0, SecondRegister(opcode), 1, EaRegister(opcode), 32);
        break;
    }
}

void Disassembler::_MOVE_USP()
{
    mnemonic = QStringLiteral("MOVE.L");
    if (opcode & 8)
        AddOperand(QStringLiteral("USP"), 1, EaRegister(opcode), 32);
    else
        AddOperand(1, EaRegister(opcode), QStringLiteral("USP"), 32);
}

// ---- Register or predecrement pairs ----

void Disassembler::_ABCD()
{
    mnemonic = QStringLiteral("ABCD.B");
    const unsigned int mode = (opcode & 8) ? 4 : 0;
    AddOperand(mode, EaRegister(opcode), mode, SecondRegister(opcode), 32);
}

void Disassembler::_SBCD()
{
    mnemonic = QStringLiteral("SBCD.B");
    const unsigned int mode = (opcode & 8) ? 4 : 0;
    AddOperand(mode, EaRegister(opcode), mode, SecondRegister(opcode), 32);
}

void Disassembler::_ADDX()
{
    mnemonic = addxNames[StandardSize(opcode)];
    const unsigned int mode = (opcode & 8) ? 4 : 0;
    AddOperand(mode, EaRegister(opcode), mode, SecondRegister(opcode), 32);
}

void Disassembler::_SUBX()
{
    mnemonic = subxNames[StandardSize(opcode)];
    const unsigned int mode = (opcode & 8) ? 4 : 0;
    AddOperand(mode, EaRegister(opcode), mode, SecondRegister(opcode), 32);
}

void Disassembler::_CMPM()
{
    mnemonic = cmpmNames[StandardSize(opcode)];
    AddOperand(3, EaRegister(opcode), 3, SecondRegister(opcode), 32);
}

// ---- <ea> to an address register ----

void Disassembler::_ADDA()
{
    const unsigned int size = WordOrLong(opcode, 8);
    mnemonic = addaNames[size];
    AddOperand(EaMode(opcode), EaRegister(opcode), 1, SecondRegister(opcode), Size(size, 1));
}

void Disassembler::_CMPA()
{
    const unsigned int size = WordOrLong(opcode, 8);
    mnemonic = cmpaNames[size];
    AddOperand(EaMode(opcode), EaRegister(opcode), 1, SecondRegister(opcode), Size(size, 1));
}

void Disassembler::_SUBA()
{
    const unsigned int size = WordOrLong(opcode, 8);
    mnemonic = subaNames[size];
    AddOperand(EaMode(opcode), EaRegister(opcode), 1, SecondRegister(opcode), Size(size, 1));
}

void Disassembler::_LEA()
{
    mnemonic = QStringLiteral("LEA.L");
    AddOperand(EaMode(opcode), EaRegister(opcode), 1, SecondRegister(opcode), 32);
}

// ---- Word operations on a data register ----

void Disassembler::_MULS()
{
    mnemonic = QStringLiteral("MULS.W");
    AddOperand(EaMode(opcode), EaRegister(opcode), 0, SecondRegister(opcode), 16);
}

void Disassembler::_MULU()
{
    mnemonic = QStringLiteral("MULU.W");
    AddOperand(EaMode(opcode), EaRegister(opcode), 0, SecondRegister(opcode), 16);
}

void Disassembler::_DIVS()
{
    mnemonic = QStringLiteral("DIVS.W");
    AddOperand(EaMode(opcode), EaRegister(opcode), 0, SecondRegister(opcode), 16);
}

void Disassembler::_DIVU()
{
    mnemonic = QStringLiteral("DIVU.W");
    AddOperand(EaMode(opcode), EaRegister(opcode), 0, SecondRegister(opcode), 16);
}

void Disassembler::_CHK()
{
    mnemonic = QStringLiteral("CHK.W");
    AddOperand(EaMode(opcode), EaRegister(opcode), 0, SecondRegister(opcode), 16);
}

void Disassembler::_CMP()
{
    mnemonic = cmpNames[StandardSize(opcode)];
    AddOperand(EaMode(opcode), EaRegister(opcode), 0, SecondRegister(opcode), Size(opcode >> 6, 1));
}

// ---- One operand ----

void Disassembler::_CLR()
{
    mnemonic = clrNames[StandardSize(opcode)];
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

void Disassembler::_NEG()
{
    mnemonic = negNames[StandardSize(opcode)];
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

void Disassembler::_NEGX()
{
    mnemonic = negxNames[StandardSize(opcode)];
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

void Disassembler::_NOT()
{
    mnemonic = notNames[StandardSize(opcode)];
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

void Disassembler::_NBCD()
{
    mnemonic = QStringLiteral("NBCD.B");
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

void Disassembler::_JMP()
{
    mnemonic = QStringLiteral("JMP");
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

void Disassembler::_JSR()
{
    mnemonic = QStringLiteral("JSR");
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

void Disassembler::_PEA()
{
    mnemonic = QStringLiteral("PEA.L");
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

void Disassembler::_TAS()
{
    mnemonic = QStringLiteral("TAS.B");
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

void Disassembler::_TST()
{
    mnemonic = tstNames[StandardSize(opcode)];
    AddOperand(EaMode(opcode), EaRegister(opcode), Size(opcode >> 6, 1));
}

// ---- Status register moves ----

void Disassembler::_MOVEfromSR()
{
    mnemonic = QStringLiteral("MOVE.W");
    AddOperand(QStringLiteral("SR"), EaMode(opcode), EaRegister(opcode), 32);
}

void Disassembler::_MOVEtoCCR()
{
    mnemonic = QStringLiteral("MOVE.W");
    AddOperand(EaMode(opcode), EaRegister(opcode), QStringLiteral("CCR"), 16);
}

void Disassembler::_MOVEtoSR()
{
    mnemonic = QStringLiteral("MOVE.W");
    AddOperand(EaMode(opcode), EaRegister(opcode), QStringLiteral("SR"), 16);
}

// ---- Two-operand arithmetic and logic: bit 8 gives the direction ----

void Disassembler::_ADD()
{
    RegisterAndEa(addNames.name);
}

void Disassembler::_SUB()
{
    RegisterAndEa(subNames.name);
}

void Disassembler::_AND()
{
    RegisterAndEa(andNames.name);
}

void Disassembler::_OR()
{
    RegisterAndEa(orNames.name);
}

void Disassembler::_EOR()
{
    mnemonic = eorNames[StandardSize(opcode)];
    AddOperand(0, SecondRegister(opcode), EaMode(opcode), EaRegister(opcode), 32);
}

// ---- Immediate to <ea> ----

void Disassembler::_ADDI()
{
    mnemonic = addiNames[StandardSize(opcode)];
    AddOperand(7, 4, EaMode(opcode), EaRegister(opcode), Size(opcode >> 6, 1));
}

void Disassembler::_ANDI()
{
    mnemonic = andiNames[StandardSize(opcode)];
    AddOperand(7, 4, EaMode(opcode), EaRegister(opcode), Size(opcode >> 6, 1));
}

void Disassembler::_CMPI()
{
    mnemonic = cmpiNames[StandardSize(opcode)];
    AddOperand(7, 4, EaMode(opcode), EaRegister(opcode), Size(opcode >> 6, 1));
}

void Disassembler::_EORI()
{
    mnemonic = eoriNames[StandardSize(opcode)];
    AddOperand(7, 4, EaMode(opcode), EaRegister(opcode), Size(opcode >> 6, 1));
}

void Disassembler::_ORI()
{
    mnemonic = oriNames[StandardSize(opcode)];
    AddOperand(7, 4, EaMode(opcode), EaRegister(opcode), Size(opcode >> 6, 1));
}

void Disassembler::_SUBI()
{
    mnemonic = subiNames[StandardSize(opcode)];
    AddOperand(7, 4, EaMode(opcode), EaRegister(opcode), Size(opcode >> 6, 1));
}

// ---- Quick immediates ----

void Disassembler::_MOVEQ()
{
    mnemonic = QStringLiteral("MOVEQ.L");
    operand.append(QLatin1Char('#'));
    AppendD8(operand, opcode);
    operand.append(QLatin1Char(','));
    AppendRegister(operand, 'D', SecondRegister(opcode));
}

// "#$" and a count of 1 to 8 held in bits 11-9, where 0 stands for 8.
void Disassembler::QuickOrShift(unsigned int count)
{
    const char text[3] = { '#', '$', char('0' + (count == 0 ? 8 : count)) };
    AppendLatin1(operand, text, 3);
}

void Disassembler::_ADDQ()
{
    mnemonic = addqNames[StandardSize(opcode)];
    QuickOrShift(SecondRegister(opcode));
    operand.append(QLatin1Char(','));
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

void Disassembler::_SUBQ()
{
    mnemonic = subqNames[StandardSize(opcode)];
    QuickOrShift(SecondRegister(opcode));
    operand.append(QLatin1Char(','));
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

// ---- Program flow ----

void Disassembler::_Bcc()
{
    const unsigned int condition = (opcode >> 8) & 15;
    const unsigned int base = currentAddress;
    unsigned int target;
    if ((opcode & 0xFF) != 0) {
        mnemonic = bccNames[2 * condition];
        target = base + unsigned(ExtendSign(static_cast<unsigned char>(opcode)));
    } else {
        const unsigned int displacement = FetchWord();
        mnemonic = bccNames[2 * condition + 1];
        target = base + unsigned(ExtendSign(static_cast<unsigned short>(displacement)));
    }
    operand.append(QLatin1Char('$'));
    AppendHexa(operand, target, 0);
    AppendSymbol(target);
}

void Disassembler::_DBcc()
{
    const unsigned int base = currentAddress;
    const unsigned int displacement = FetchWord();
    mnemonic = dbccNames[(opcode >> 8) & 15];
    AppendRegister(operand, 'D', EaRegister(opcode));
    AppendLatin1(operand, ",$", 2);
    const unsigned int target = base + unsigned(ExtendSign(static_cast<unsigned short>(displacement)));
    AppendHexa(operand, target, 0);
    AppendSymbol(target);
}

void Disassembler::_Scc()
{
    mnemonic = sccNames[(opcode >> 8) & 15];
    AddOperand(EaMode(opcode), EaRegister(opcode), 32);
}

// ---- Bit operations: ".L" on a data register, ".B" in memory ----

void Disassembler::_BTST()
{
    mnemonic = btstNames[EaMode(opcode) == 0 ? 2 : 0];
    AddOperand(opcode & 0x100 ? 0 : 7, opcode & 0x100 ? SecondRegister(opcode) : 4, EaMode(opcode),
               EaRegister(opcode), 8);
}

void Disassembler::_BCHG()
{
    mnemonic = bchgNames[EaMode(opcode) == 0 ? 2 : 0];
    AddOperand(opcode & 0x100 ? 0 : 7, opcode & 0x100 ? SecondRegister(opcode) : 4, EaMode(opcode),
               EaRegister(opcode), 8);
}

void Disassembler::_BCLR()
{
    mnemonic = bclrNames[EaMode(opcode) == 0 ? 2 : 0];
    AddOperand(opcode & 0x100 ? 0 : 7, opcode & 0x100 ? SecondRegister(opcode) : 4, EaMode(opcode),
               EaRegister(opcode), 8);
}

void Disassembler::_BSET()
{
    mnemonic = bsetNames[EaMode(opcode) == 0 ? 2 : 0];
    AddOperand(opcode & 0x100 ? 0 : 7, opcode & 0x100 ? SecondRegister(opcode) : 4, EaMode(opcode),
               EaRegister(opcode), 8);
}

// ---- Shifts and rotates ----

void Disassembler::RegisterAndEa(const QString* names)
{
    mnemonic = names[StandardSize(opcode)];
    const int size = Size(opcode >> 6, 1);
    if (opcode & 0x100)
        AddOperand(0, SecondRegister(opcode), EaMode(opcode), EaRegister(opcode), size);
    else
        AddOperand(EaMode(opcode), EaRegister(opcode), 0, SecondRegister(opcode), size);
}

void Disassembler::Shift(const QString* names)
{
    const unsigned int size = StandardSize(opcode);
    mnemonic = names[4 * ((opcode >> 8) & 1) + size];
    if (size == 3) {
        AddOperand(EaMode(opcode), EaRegister(opcode), 32);
    } else if (opcode & 0x20) {
        AddOperand(0, SecondRegister(opcode), 0, EaRegister(opcode), 32);
    } else {
        QuickOrShift(SecondRegister(opcode));
        operand.append(QLatin1Char(','));
        AddOperand(0, EaRegister(opcode), 32);
    }
}

void Disassembler::_ASd() { Shift(asNames); }
void Disassembler::_LSd() { Shift(lsNames); }
void Disassembler::_ROd() { Shift(roNames); }
void Disassembler::_ROXd() { Shift(roxNames); }

// ---- Moves ----

void Disassembler::_MOVE()
{
    mnemonic = moveNames[moveSizeField[(opcode >> 12) & 3]];
    AddOperand(EaMode(opcode), EaRegister(opcode), (opcode >> 6) & 7, SecondRegister(opcode),
               Size(opcode >> 12, 2));
}

void Disassembler::_MOVEA()
{
    mnemonic = moveaNames[moveSizeField[(opcode >> 12) & 3]];
    AddOperand(EaMode(opcode), EaRegister(opcode), 1, SecondRegister(opcode), Size(opcode >> 12, 2));
}

void Disassembler::_MOVEM()
{
    mnemonic = movemNames[WordOrLong(opcode, 6)];
    // The mask word comes before the extension words of the effective address.
    unsigned int mask = FetchWord();
    if (opcode & 0x400) {
        AddOperand(EaMode(opcode), EaRegister(opcode), 32);
        operand.append(QLatin1Char(','));
        AppendRegisterList(operand, mask);
    } else {
        // With predecrement the mask runs the other way: bit 0 is A7, bit 15 is D0.
        if (EaMode(opcode) == 4)
            mask = Invert(static_cast<unsigned short>(mask));
        AppendRegisterList(operand, mask);
        operand.append(QLatin1Char(','));
        AddOperand(EaMode(opcode), EaRegister(opcode), 32);
    }
}

void Disassembler::_MOVEP()
{
    mnemonic = movepNames[WordOrLong(opcode, 6)];
    if (opcode & 0x80)
        AddOperand(0, SecondRegister(opcode), 5, EaRegister(opcode), 32);
    else
        AddOperand(5, EaRegister(opcode), 0, SecondRegister(opcode), 32);
}
