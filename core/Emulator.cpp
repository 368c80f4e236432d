#include "core/Emulator.h"

Emulator::Emulator(Memory* memory)
    : vector(NoVector), memory(memory), registers(new Register())
{
}

Emulator::~Emulator()
{
    delete registers;
}

QString Emulator::TraceMessage()
{
    return QStringLiteral(u"L'exception \"Trace\" a \u00e9t\u00e9 lev\u00e9e par le 68000.\u2028"
                          u"Cette exception n'est pas g\u00e9r\u00e9e par l'\u00e9mulateur.");
}

QString Emulator::AddressErrorMessage()
{
    return QStringLiteral(u"L'exception \"Address Error\" a \u00e9t\u00e9 lev\u00e9e par le 68000.\u2028"
                          u"Cette exception n'est pas g\u00e9r\u00e9e par l'\u00e9mulateur.");
}

void Emulator::ThrowAddressError()
{
    throw AddressError;
}

// Fetches the opcode word at pc and runs its handler; false when no kind matches.
bool Emulator::FetchAndDecode()
{
    Register& r = *registers;
    opcode = Read(r.pc, 16) & 0xFFFF;
    r.pc += 2;
    return Decode();
}

// A word that no kind matches. Line 1010 and line 1111 words only leave their vector
// behind (true); any other is an illegal instruction, taken as an exception (false).
bool Emulator::Unmatched()
{
    switch (opcode >> 12) {
    case 0xA:
        vector = Line1010Emulator;
        return true;
    case 0xF:
        vector = Line1111Emulator;
        return true;
    default:
        vector = IllegalInstruction;
        return false;
    }
}

void Emulator::Execute()
{
    if (registers->sr & Register::traceBit) {
        errorMessage = TraceMessage();
        return;
    }
    const Register snapshot(registers);
    if (!errorMessage.isEmpty())
        errorMessage.clear();
    vector = NoVector;
    memory->records.clear();
    memory->recording = true;

    bool fault = false;
    bool matched = true;
    try {
        matched = FetchAndDecode();
    } catch (VectorNumber) {
        fault = true;
    }
    if (!matched && Unmatched()) {
        memory->recording = false;
        return;
    }
    if (vector != NoVector) {
        try {
            ExceptionProcessing(vector);
        } catch (VectorNumber) {
            fault = true;
        }
    }
    memory->recording = false;
    undoList.Add(snapshot, memory->records);
    if (fault) {
        errorMessage = AddressErrorMessage();
        Undo();
    }
}

void Emulator::QuickExecute()
{
    if (registers->sr & Register::traceBit) {
        errorMessage = TraceMessage();
        return;
    }
    if (!errorMessage.isEmpty())
        errorMessage.clear();
    vector = NoVector;

    bool fault = false;
    bool matched = true;
    try {
        matched = FetchAndDecode();
    } catch (VectorNumber) {
        fault = true;
    }
    if (!matched && Unmatched())
        return;
    if (vector != NoVector) {
        try {
            ExceptionProcessing(vector);
        } catch (VectorNumber) {
            fault = true;
        }
    }
    if (fault)
        errorMessage = AddressErrorMessage();
}

void Emulator::Undo()
{
    if (undoList.isEmpty())
        return;
    const UndoItem& item = undoList.last();
    memory->Write(item.memory);
    registers->Copy(item.registers);
    undoList.RemoveLast();
}

void Emulator::Undo(int count)
{
    if (count < 0)
        return;
    int n = undoList.count();
    if (count > 0 && count < n)
        n = count;
    while (n-- > 0)
        Undo();
}

void Emulator::Reset()
{
    Register& r = *registers;
    r.sr = (r.sr & ~Register::traceBit) | 0x2700;
    r.ssp = Read(0, 32);
    r.pc = Read(4, 32);
}

unsigned int Emulator::GetVector(VectorNumber number)
{
    return Read(unsigned(number) * 4, 32);
}

void Emulator::ExceptionProcessing(VectorNumber number)
{
    if (number == NoVector)
        return;
    Register& r = *registers;
    const unsigned int old = r.sr;
    r.sr = (old & 0x5FFF) | Register::supervisorBit;
    r.ssp -= 4;
    Write(r.ssp, r.pc, 32);
    r.ssp -= 2;
    Write(r.ssp, old, 16);
    r.pc = GetVector(number);
}

int Emulator::Size(unsigned int bits, unsigned int encoding)
{
    static const int standard[4] = {8, 16, 32, 0};
    static const int move[4] = {0, 8, 32, 16};
    switch (encoding) {
    case 1:
        return standard[bits & 3];
    case 2:
        return move[bits & 3];
    case 3:
        return (bits & 1) ? 32 : 16;
    default:
        return 0;
    }
}

unsigned int Emulator::GetN(unsigned int value, int size)
{
    switch (size) {
    case 8: return (value >> 7) & 1;
    case 16: return (value >> 15) & 1;
    case 32: return value >> 31;
    default: return 0;
    }
}

unsigned int Emulator::GetZ(unsigned int value, int size)
{
    switch (size) {
    case 8: return (value & 0xFF) == 0;
    case 16: return (value & 0xFFFF) == 0;
    case 32: return value == 0;
    default: return 0;
    }
}

int Emulator::CountOne(unsigned short mask)
{
    int count = 0;
    for (unsigned int m = mask; m; m &= m - 1)
        ++count;
    return count;
}

unsigned short Emulator::Invert(unsigned short mask)
{
    unsigned int result = 0;
    for (int bit = 0; bit < 16; ++bit) {
        if (mask & (1u << bit))
            result |= 0x8000u >> bit;
    }
    return static_cast<unsigned short>(result);
}

namespace {

unsigned long long LowMask(int size)
{
    return (1ull << size) - 1;
}

// Puts the low size bits of bits into value, keeping value's bits above them.
void Merge(unsigned long long& value, unsigned long long bits, int size)
{
    value = (value & ~LowMask(size)) | (bits & LowMask(size));
}

// Rotates the low width bits of x left by count (count at most width).
unsigned long long RotateLeft(unsigned long long x, int count, int width)
{
    x &= LowMask(width);
    if (count == 0 || count == width)
        return x;
    return ((x << count) | (x >> (width - count))) & LowMask(width);
}

} // namespace

unsigned int Emulator::Lsl(unsigned long long& value, int count, int size)
{
    const unsigned long long s = value << count;
    Merge(value, s, size);
    return unsigned(s >> size) & 1;
}

unsigned int Emulator::Lsr(unsigned long long& value, int count, int size)
{
    const unsigned long long t = value << (64 - size);
    const unsigned long long u = t >> count;
    Merge(value, u >> (64 - size), size);
    return unsigned(u >> (63 - size)) & 1;
}

unsigned int Emulator::Asr(unsigned long long& value, int count, int size)
{
    const unsigned long long t = value << (64 - size);
    const unsigned long long u = static_cast<unsigned long long>(static_cast<long long>(t) >> count);
    Merge(value, u >> (64 - size), size);
    return unsigned(u >> (63 - size)) & 1;
}

unsigned int Emulator::Rol(unsigned long long& value, int count, int size)
{
    if (count > size)
        count %= size;
    const unsigned long long r = RotateLeft(value, count, size);
    Merge(value, r, size);
    return unsigned(r) & 1;
}

unsigned int Emulator::Ror(unsigned long long& value, int count, int size)
{
    if (count > size)
        count %= size;
    const unsigned long long r = RotateLeft(value, (size - count) % size, size);
    Merge(value, r, size);
    return unsigned(r >> (size - 1)) & 1;
}

unsigned int Emulator::Roxl(unsigned long long& value, bool extend, int count, int size)
{
    const int width = size + 1;
    if (count > width)
        count %= width;
    const unsigned long long x = (value & LowMask(size)) | (static_cast<unsigned long long>(extend) << size);
    const unsigned long long r = RotateLeft(x, count, width);
    Merge(value, r, size);
    return unsigned(r >> size) & 1;
}

unsigned int Emulator::Roxr(unsigned long long& value, bool extend, int count, int size)
{
    const int width = size + 1;
    if (count > width)
        count %= width;
    const unsigned long long x = (value & LowMask(size)) | (static_cast<unsigned long long>(extend) << size);
    const unsigned long long r = RotateLeft(x, (width - count) % width, width);
    Merge(value, r, size);
    return unsigned(r >> size) & 1;
}

unsigned int Emulator::NZ(unsigned int result, int size)
{
    unsigned int flags = (result & SignBit(size)) ? FlagN : 0;
    if ((result & SizeMask(size)) == 0)
        flags |= FlagZ;
    return flags;
}

unsigned int Emulator::AddFlags(unsigned int source, unsigned int destination, unsigned int result, int size)
{
    const unsigned int msb = SignBit(size);
    unsigned int flags = NZ(result, size);
    if (((source & destination) | (~result & destination) | (source & ~result)) & msb)
        flags |= FlagC | FlagX;
    if (((source & destination & ~result) | (~source & ~destination & result)) & msb)
        flags |= FlagV;
    return flags;
}

unsigned int Emulator::SubFlags(unsigned int source, unsigned int destination, unsigned int result, int size)
{
    const unsigned int msb = SignBit(size);
    unsigned int flags = NZ(result, size);
    if (((source & ~destination) | (result & ~destination) | (source & result)) & msb)
        flags |= FlagC | FlagX;
    if (((~source & destination & ~result) | (source & ~destination & result)) & msb)
        flags |= FlagV;
    return flags;
}

bool Emulator::Condition(unsigned int cc) const
{
    const unsigned int sr = registers->sr;
    const bool c = sr & FlagC;
    const bool v = sr & FlagV;
    const bool z = sr & FlagZ;
    const bool n = sr & FlagN;
    switch (cc & 15) {
    case 0: return true;
    case 1: return false;
    case 2: return !c && !z;
    case 3: return c || z;
    case 4: return !c;
    case 5: return c;
    case 6: return !z;
    case 7: return z;
    case 8: return !v;
    case 9: return v;
    case 10: return !n;
    case 11: return n;
    case 12: return n == v;
    case 13: return n != v;
    case 14: return !z && n == v;
    default: return z || n != v;
    }
}

bool Emulator::PrivilegeViolated()
{
    if (registers->sr & Register::supervisorBit)
        return false;
    vector = PrivilegeViolation;
    registers->pc -= 2;
    return true;
}

void Emulator::Push(unsigned int value)
{
    unsigned int& sp = registers->A7();
    sp -= 4;
    Write(sp, value, 32);
}

unsigned int Emulator::Pop()
{
    unsigned int& sp = registers->A7();
    const unsigned int value = Read(sp, 32);
    sp += 4;
    return value;
}
