#include "core/Emulator.h"

#include <utility>

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

unsigned int Emulator::MemoryAddress(unsigned int mode, unsigned int reg, int size, bool update, bool advance)
{
    Register& r = *registers;
    reg &= 7;
    switch (mode & 7) {
    case 2:
        return r.AnRef(reg);
    case 3: {
        unsigned int& an = r.AnRef(reg);
        const unsigned int address = an;
        if (update)
            an += (reg == 7 && size == 8) ? 2 : unsigned(size / 8);
        return address;
    }
    case 4: {
        unsigned int& an = r.AnRef(reg);
        const unsigned int address = an - ((reg == 7 && size == 8) ? 2 : unsigned(size / 8));
        if (update)
            an = address;
        return address;
    }
    case 5: {
        const unsigned int base = r.AnRef(reg);
        const unsigned int address = base + ExtendSign(static_cast<unsigned short>(Read(r.pc, 16)));
        if (advance)
            r.pc += 2;
        return address;
    }
    case 6: {
        const unsigned int base = r.AnRef(reg);
        const unsigned int extension = Read(r.pc, 16);
        if (advance)
            r.pc += 2;
        return base + Index(extension) + ExtendSign(static_cast<unsigned char>(extension));
    }
    case 7:
        switch (reg) {
        case 0: {
            const unsigned int address = ExtendSign(static_cast<unsigned short>(Read(r.pc, 16)));
            if (advance)
                r.pc += 2;
            return address;
        }
        case 1: {
            const unsigned int address = Read(r.pc, 32);
            if (advance)
                r.pc += 4;
            return address;
        }
        case 2: {
            // Relative to the extension word itself.
            const unsigned int base = r.pc;
            const unsigned int address = base + ExtendSign(static_cast<unsigned short>(Read(base, 16)));
            if (advance)
                r.pc += 2;
            return address;
        }
        case 3: {
            const unsigned int base = r.pc;
            const unsigned int extension = Read(base, 16);
            if (advance)
                r.pc += 2;
            return base + Index(extension) + ExtendSign(static_cast<unsigned char>(extension));
        }
        default:
            return 0;
        }
    default:
        return 0;
    }
}

unsigned int Emulator::MemoryOperand(unsigned int mode, unsigned int reg, int size, bool update, bool advance)
{
    if ((mode & 7) == 7 && (reg & 7) == 4) {
        // Immediate: a byte comes in a whole word, whose low byte the caller keeps.
        Register& r = *registers;
        if (size == 32) {
            const unsigned int value = Read(r.pc, 32);
            if (advance)
                r.pc += 4;
            return value;
        }
        const unsigned int value = Read(r.pc, 16);
        if (advance)
            r.pc += 2;
        return value;
    }
    return Read(MemoryAddress(mode, reg, size, update, advance), size);
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
    // The registers are snapshot straight into the item that this instruction will add.
    UndoItem& item = undoList.items.Spare();
    item.registers.Copy(*registers);
    if (!errorMessage.isEmpty())
        errorMessage.clear();
    vector = NoVector;
    memory->records.clear();
    memory->recording = true;

    bool fault = false;
    bool matched = true;
    try {
        Register& r = *registers;
        opcode = Read(r.pc, 16);
        r.pc += 2;
        matched = Decode();
    } catch (VectorNumber) {
        fault = true;
    }
    // A line 1010 or 1111 word is consumed without an exception. It still gets its item:
    // otherwise taking back "one instruction" after it would undo the one before it too.
    const bool lineWord = !matched && Unmatched();
    if (!lineWord && vector != NoVector) {
        try {
            ExceptionProcessing(vector);
        } catch (VectorNumber) {
            fault = true;
        }
    }
    memory->recording = false;
    // The item takes the records; the memory keeps the item's old storage for the next ones.
    std::swap(item.memory, memory->records);
    memory->records.clear();
    undoList.items.Commit();
    if (fault) {
        errorMessage = AddressErrorMessage();
        Undo();
    }
}

// The fetch and the exception step are written out here as in Execute rather than shared:
// a common helper measured a fifth slower in both modes.
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
        Register& r = *registers;
        opcode = Read(r.pc, 16);
        r.pc += 2;
        matched = Decode();
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
    if (undoList.items.isEmpty())
        return;
    const UndoItem* item = undoList.items.last();
    memory->Write(item->memory);
    registers->Copy(item->registers);
    undoList.items.removeLast();
}

void Emulator::Undo(int count)
{
    if (count < 0)
        return;
    int n = undoList.items.count();
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

bool Emulator::PrivilegeViolated()
{
    if (registers->sr & Register::supervisorBit)
        return false;
    vector = PrivilegeViolation;
    registers->pc -= 2;
    return true;
}
