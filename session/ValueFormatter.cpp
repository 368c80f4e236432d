#include "session/ValueFormatter.h"

#include "core/Memory.h"
#include "program/DebugInfo.h"
#include "program/SymbolTable.h"
#include "program/TypeTable.h"

#include <cstring>

namespace {

using Kind = TypeTable::Kind;

unsigned long long BigEndian(const QByteArray& bytes)
{
    unsigned long long v = 0;
    for (char c : bytes)
        v = (v << 8) | static_cast<unsigned char>(c);
    return v;
}

long long SignExtend(unsigned long long bits, int width)
{
    if (width <= 0 || width >= 64)
        return static_cast<long long>(bits);
    const unsigned long long sign = 1ull << (width - 1);
    bits &= (sign << 1) - 1;
    return static_cast<long long>((bits ^ sign) - sign);
}

QString HexText(unsigned long long bits)
{
    return QStringLiteral("0x") + QString::number(bits, 16);
}

// A character as GDB escapes it inside quotes: the usual letters, else three octal digits.
QString Escaped(unsigned char c, QChar quote)
{
    switch (c) {
    case '\a': return QStringLiteral("\\a");
    case '\b': return QStringLiteral("\\b");
    case '\f': return QStringLiteral("\\f");
    case '\n': return QStringLiteral("\\n");
    case '\r': return QStringLiteral("\\r");
    case '\t': return QStringLiteral("\\t");
    case '\v': return QStringLiteral("\\v");
    case 27: return QStringLiteral("\\033");
    case '\\': return QStringLiteral("\\\\");
    default: break;
    }
    if (c == quote.unicode())
        return QStringLiteral("\\") + quote;
    if (c < 0x20 || c >= 0x7F)
        return QStringLiteral("\\%1").arg(c, 3, 8, QLatin1Char('0'));
    return QString(QLatin1Char(char(c)));
}

} // namespace

ValueFormatter::ValueFormatter(const DebugInfo* debug, const Memory* memory, const SymbolTable* symbols)
    : debug(debug), types(&debug->types), memory(memory), symbols(symbols)
{
}

bool ValueFormatter::ReadBytes(const DebugValue& value, unsigned int size, QByteArray* out) const
{
    switch (value.storage) {
    case DebugValue::Storage::Memory:
        out->resize(int(size));
        for (unsigned int i = 0; i < size; ++i)
            (*out)[int(i)] = char(memory->Peek((value.address + i) & 0xFFFFFF, 8));
        return true;
    case DebugValue::Storage::Bytes:
        *out = value.bytes.left(int(size)).leftJustified(int(size), '\0');
        return true;
    default: return false;
    }
}

bool ValueFormatter::Scalar(const DebugValue& value, unsigned long long* bits) const
{
    const int type = types->Strip(value.type);
    const TypeTable::Type& t = types->At(type);
    if (t.kind == Kind::Array || t.kind == Kind::Structure || t.kind == Kind::Union || t.kind == Kind::Unknown
        || t.kind == Kind::Function || !types->IsValid(type))
        return false;
    QByteArray bytes;
    if (value.bitSize > 0) {
        const unsigned int span = unsigned(value.bitOffset + value.bitSize + 7) / 8;
        if (span > 8 || !ReadBytes(value, span, &bytes))
            return false;
        const int shift = int(span) * 8 - value.bitOffset - value.bitSize;
        *bits = (BigEndian(bytes) >> shift) & ((value.bitSize >= 64 ? 0 : (1ull << value.bitSize)) - 1);
        return true;
    }
    if (t.size == 0 || t.size > 8 || !ReadBytes(value, t.size, &bytes))
        return false;
    *bits = BigEndian(bytes);
    return true;
}

QString ValueFormatter::Text(const DebugValue& value, Radix radix) const
{
    Budget budget;
    return Format(value, radix, 0, &budget);
}

QString ValueFormatter::TypeName(const DebugValue& value) const
{
    return types->Name(value.type);
}

QString ValueFormatter::Format(const DebugValue& value, Radix radix, int depth, Budget* budget) const
{
    if (value.storage == DebugValue::Storage::OptimisedOut)
        return QStringLiteral("<optimized out>");
    if (value.storage == DebugValue::Storage::Unreadable)
        return QStringLiteral("<illisible : %1>").arg(value.problem);
    if (depth > maximumNesting)
        return QStringLiteral("{...}");
    const int type = types->Strip(value.type);
    switch (types->At(type).kind) {
    case Kind::Array: return FormatArray(value, type, radix, depth, budget);
    case Kind::Structure:
    case Kind::Union: return FormatStructure(value, type, radix, depth, budget);
    default: return FormatScalar(value, type, radix);
    }
}

QString ValueFormatter::FormatScalar(const DebugValue& value, int type, Radix radix) const
{
    const TypeTable::Type& t = types->At(type);
    unsigned long long bits = 0;
    if (!types->IsValid(type) || t.kind == Kind::Unknown || t.kind == Kind::Function)
        return QStringLiteral("<type inconnu>");
    if (!Scalar(value, &bits))
        return QStringLiteral("<illisible>");
    const int width = value.bitSize > 0 ? value.bitSize : int(t.size) * 8;
    if (width < 64)
        bits &= (1ull << width) - 1;
    const long long number = t.isSigned ? SignExtend(bits, width) : static_cast<long long>(bits);
    // GDB's hexadecimal is the value in its type's width: a signed bit field's sign fills it.
    if (radix == Radix::Hexadecimal && t.kind != Kind::Float) {
        const int typeWidth = int(t.size) * 8;
        const unsigned long long v = static_cast<unsigned long long>(number);
        return HexText(typeWidth > 0 && typeWidth < 64 ? v & ((1ull << typeWidth) - 1) : v);
    }
    switch (t.kind) {
    case Kind::Boolean:
        return bits == 0 ? QStringLiteral("false") : bits == 1 ? QStringLiteral("true") : QString::number(bits);
    case Kind::Character:
        return QStringLiteral("%1 '%2'")
            .arg(t.isSigned ? QString::number(number) : QString::number(bits),
                 Escaped(static_cast<unsigned char>(bits), QLatin1Char('\'')));
    case Kind::Enumeration:
        // A damaged file may leave an enumerator unnamed: its number says more than nothing.
        for (const TypeTable::Enumerator& e : t.enumerators)
            if (e.value == number && !e.name.isEmpty())
                return e.name;
        return QString::number(number);
    case Kind::Float:
        if (t.size == 4) {
            const quint32 word = quint32(bits);
            float f;
            std::memcpy(&f, &word, sizeof f);
            return QString::number(double(f), 'g', 9);
        }
        if (t.size == 8) {
            double d;
            std::memcpy(&d, &bits, sizeof d);
            return QString::number(d, 'g', 17);
        }
        return QStringLiteral("<flottant de %1 octets>").arg(t.size);
    case Kind::Pointer: return FormatPointer(t.target, unsigned(bits), radix);
    default: return t.isSigned ? QString::number(number) : QString::number(bits);
    }
}

bool ValueFormatter::InProgram(unsigned int address) const
{
    for (const DebugInfo::AddressRange& r : debug->segments)
        if (address >= r.low && address < r.high)
            return true;
    return false;
}

QString ValueFormatter::FormatPointer(int target, unsigned int address, Radix radix) const
{
    QString text = HexText(address);
    if (radix == Radix::Hexadecimal)
        return text;
    unsigned int offset = 0;
    const SymbolTable::Symbol* s = symbols && InProgram(address) ? symbols->Describe(address, &offset) : nullptr;
    if (s)
        text += offset ? QStringLiteral(" <%1+%2>").arg(s->name).arg(offset) : QStringLiteral(" <%1>").arg(s->name);
    const TypeTable::Type& pointed = types->At(types->Strip(target));
    if (pointed.kind == Kind::Character && pointed.size == 1 && address != 0)
        text += QLatin1Char(' ') + CString(address);
    return text;
}

// The string at address, as GDB shows a char *: up to its null or maximumElements.
QString ValueFormatter::CString(unsigned int address) const
{
    QString text = QStringLiteral("\"");
    int i = 0;
    for (; i < maximumElements; ++i) {
        const unsigned char c = static_cast<unsigned char>(memory->Peek((address + unsigned(i)) & 0xFFFFFF, 8));
        if (c == 0)
            break;
        text += Escaped(c, QLatin1Char('"'));
    }
    text += QLatin1Char('"');
    if (i == maximumElements)
        text += QStringLiteral("...");
    return text;
}

DebugValue ValueFormatter::Part(const DebugValue& value, const QString& name, int type, unsigned int offset) const
{
    DebugValue part;
    part.name = name;
    part.type = type;
    part.storage = value.storage;
    part.problem = value.problem;
    if (value.storage == DebugValue::Storage::Memory)
        part.address = (value.address + offset) & 0xFFFFFF;
    else if (value.storage == DebugValue::Storage::Bytes)
        part.bytes = value.bytes.mid(int(offset), int(types->SizeOf(type)));
    return part;
}

// A char array as GDB prints it: a string, its one final null left out, each run of more
// than repeatThreshold of one character shown as a repeat.
QString ValueFormatter::FormatCharacters(const DebugValue& value, int count) const
{
    QByteArray bytes;
    if (!ReadBytes(value, unsigned(count), &bytes))
        return QStringLiteral("<illisible>");
    if (!bytes.isEmpty() && bytes.endsWith('\0'))
        bytes.chop(1);
    QStringList segments;
    QString quoted;
    for (int i = 0; i < bytes.size();) {
        int run = 1;
        while (i + run < bytes.size() && bytes[i + run] == bytes[i])
            ++run;
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        if (run > repeatThreshold) {
            if (!quoted.isEmpty())
                segments << QLatin1Char('"') + quoted + QLatin1Char('"');
            quoted.clear();
            segments << QStringLiteral("'%1' <repeats %2 times>").arg(Escaped(c, QLatin1Char('\''))).arg(run);
        } else {
            for (int k = 0; k < run; ++k)
                quoted += Escaped(c, QLatin1Char('"'));
        }
        i += run;
    }
    if (!quoted.isEmpty() || segments.isEmpty())
        segments << QLatin1Char('"') + quoted + QLatin1Char('"');
    return segments.join(QStringLiteral(", "));
}

QString ValueFormatter::FormatArray(const DebugValue& value, int type, Radix radix, int depth, Budget* budget) const
{
    const TypeTable::Type& t = types->At(type);
    const int element = t.target;
    const unsigned int size = types->SizeOf(element);
    const long long count = t.count < 0 ? 0 : t.count;
    const TypeTable::Type& e = types->At(types->Strip(element));
    if (e.kind == Kind::Character && e.size == 1 && radix == Radix::Natural)
        return FormatCharacters(value, int(std::min<long long>(count, maximumElements)));
    QStringList parts;
    QString previous;
    int run = 0;
    const auto flush = [&] {
        if (run > repeatThreshold)
            parts << QStringLiteral("%1 <repeats %2 times>").arg(previous).arg(run);
        else
            for (int k = 0; k < run; ++k)
                parts << previous;
    };
    long long i = 0;
    for (; i < count && i < maximumElements && budget->elements > 0; ++i, --budget->elements) {
        const QString text = Format(Part(value, QString(), element, unsigned(i) * size), radix, depth + 1, budget);
        if (run > 0 && text == previous) {
            ++run;
            continue;
        }
        flush();
        previous = text;
        run = 1;
    }
    flush();
    QString text = QLatin1Char('{') + parts.join(QStringLiteral(", "));
    if (i < count)
        text += QStringLiteral("...");
    return text + QLatin1Char('}');
}

QString ValueFormatter::FormatStructure(const DebugValue& value, int type, Radix radix, int depth, Budget* budget) const
{
    QStringList parts;
    const std::vector<DebugValue> members = Children(DebugValue(Part(value, value.name, type, 0)));
    for (const DebugValue& m : members) {
        if (budget->elements-- <= 0) {
            parts << QStringLiteral("...");
            break;
        }
        parts << QStringLiteral("%1 = %2").arg(m.name, Format(m, radix, depth + 1, budget));
    }
    return QLatin1Char('{') + parts.join(QStringLiteral(", ")) + QLatin1Char('}');
}

std::vector<DebugValue> ValueFormatter::Children(const DebugValue& value) const
{
    std::vector<DebugValue> children;
    if (value.storage != DebugValue::Storage::Memory && value.storage != DebugValue::Storage::Bytes)
        return children;
    const int type = types->Strip(value.type);
    const TypeTable::Type& t = types->At(type);
    if (t.kind == Kind::Structure || t.kind == Kind::Union) {
        for (const TypeTable::Member& m : t.members) {
            if (int(children.size()) == maximumElements)
                break;
            DebugValue child = Part(value, m.name, m.type, m.offset);
            if (m.bitSize > 0) {
                child.bitSize = m.bitSize;
                child.bitOffset = m.bitOffset;
                child.bytes = value.bytes.mid(int(m.offset), (m.bitOffset + m.bitSize + 7) / 8);
            }
            children.push_back(child);
        }
    } else if (t.kind == Kind::Array) {
        const unsigned int size = types->SizeOf(t.target);
        for (long long i = 0; i < t.count && i < maximumElements; ++i)
            children.push_back(Part(value, QStringLiteral("[%1]").arg(i), t.target, unsigned(i) * size));
    } else if (t.kind == Kind::Pointer && HasChildren(value)) {
        unsigned long long bits = 0;
        if (Scalar(value, &bits)) {
            DebugValue pointed;
            pointed.name = QLatin1Char('*') + value.name;
            pointed.type = t.target;
            pointed.storage = DebugValue::Storage::Memory;
            pointed.address = unsigned(bits) & 0xFFFFFF;
            children.push_back(pointed);
        }
    }
    return children;
}

bool ValueFormatter::HasChildren(const DebugValue& value) const
{
    if (value.storage != DebugValue::Storage::Memory && value.storage != DebugValue::Storage::Bytes)
        return false;
    const TypeTable::Type& t = types->At(types->Strip(value.type));
    switch (t.kind) {
    case Kind::Structure:
    case Kind::Union: return !t.members.empty();
    case Kind::Array: return t.count > 0;
    case Kind::Pointer: {
        const int target = types->Strip(t.target);
        unsigned long long bits = 0;
        return types->IsValid(target) && types->At(target).kind != Kind::Function && Scalar(value, &bits) && bits != 0;
    }
    default: return false;
    }
}
