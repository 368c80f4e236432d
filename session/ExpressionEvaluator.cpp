#include "session/ExpressionEvaluator.h"

#include "program/DebugInfo.h"
#include "program/TypeTable.h"
#include "session/CallStack.h"
#include "session/ValueFormatter.h"

#include <QStringList>

#include <algorithm>

namespace {

using Kind = TypeTable::Kind;

QByteArray BigEndian(unsigned long long bits, unsigned int size)
{
    QByteArray bytes(int(size), '\0');
    for (unsigned int i = 0; i < size; ++i)
        bytes[int(size - 1 - i)] = char((bits >> (8 * i)) & 0xFF);
    return bytes;
}

// GCC's names of the base types for the ways C lets them be written: "unsigned" is
// "unsigned int", "long unsigned" is "long unsigned int".
QString BaseTypeName(const QStringList& words)
{
    const bool isUnsigned = words.contains(QStringLiteral("unsigned"));
    const bool isSigned = words.contains(QStringLiteral("signed"));
    const int longs = int(words.count(QStringLiteral("long")));
    if (words.contains(QStringLiteral("char")))
        return isUnsigned ? QStringLiteral("unsigned char") : isSigned ? QStringLiteral("signed char") : QStringLiteral("char");
    if (words.contains(QStringLiteral("short")))
        return isUnsigned ? QStringLiteral("short unsigned int") : QStringLiteral("short int");
    if (longs >= 2)
        return isUnsigned ? QStringLiteral("long long unsigned int") : QStringLiteral("long long int");
    if (longs == 1)
        return isUnsigned ? QStringLiteral("long unsigned int") : QStringLiteral("long int");
    if (isUnsigned || isSigned || words.contains(QStringLiteral("int")))
        return isUnsigned ? QStringLiteral("unsigned int") : QStringLiteral("int");
    return words.join(QLatin1Char(' '));
}

} // namespace

ExpressionEvaluator::ExpressionEvaluator(const DebugInfo* debug, const Memory* memory, const CallStack* stack, int frame,
                                         const ValueFormatter* formatter)
    : debug(debug), types(debug->types), memory(memory), stack(stack), frame(frame), formatter(formatter)
{
}

bool ExpressionEvaluator::Fail(const QString& why)
{
    if (error.isEmpty())
        error = why;
    return false;
}

bool ExpressionEvaluator::Evaluate(const QString& text, DebugValue* value, QString* why)
{
    error.clear();
    if (!expression.Parse(text, why))
        return false;
    DebugValue result;
    if (!Node(expression.Root(), &result)) {
        *why = error;
        return false;
    }
    result.name = text.trimmed();
    *value = result;
    return true;
}

bool ExpressionEvaluator::Node(int index, DebugValue* out)
{
    const CExpression::Node& n = expression.At(index);
    DebugValue a;
    DebugValue b;
    switch (n.kind) {
    case CExpression::Kind::Number:
        return MakeInteger(static_cast<long long>(n.number), n.number > 0x7FFFFFFFull, n.number > 0xFFFFFFFFull, out);
    case CExpression::Kind::Name: return Name(n.text, out);
    case CExpression::Kind::Member: return Node(n.children[0], &a) && Member(a, n.text, out);
    case CExpression::Kind::PointerMember:
        return Node(n.children[0], &a) && Dereference(a, &b) && Member(b, n.text, out);
    case CExpression::Kind::Index: return Node(n.children[0], &a) && Node(n.children[1], &b) && Index(a, b, out);
    case CExpression::Kind::Unary:
        if (!Node(n.children[0], &a))
            return false;
        if (n.text == QLatin1String("*"))
            return Dereference(a, out);
        if (n.text == QLatin1String("&"))
            return AddressOf(a, out);
        return Unary(n.text, a, out);
    case CExpression::Kind::Binary:
        return Node(n.children[0], &a) && Node(n.children[1], &b) && Binary(n.text, a, b, out);
    case CExpression::Kind::Conditional: {
        long long condition = 0;
        bool isUnsigned = false;
        if (!Node(n.children[0], &a) || !Integer(a, &condition, &isUnsigned))
            return false;
        return Node(n.children[condition ? 1 : 2], out);
    }
    case CExpression::Kind::Cast: return Node(n.children[0], &a) && Cast(n.text, a, out);
    case CExpression::Kind::SizeofType: {
        bool found = false;
        const int type = TypeNamed(n.text, &found);
        if (!found)
            return false;
        return MakeInteger(types.SizeOf(type), true, false, out);
    }
    case CExpression::Kind::SizeofExpression: {
        const CExpression::Node& operand = expression.At(n.children[0]);
        // sizeof(name) of a typedef, which the syntax cannot tell from a variable.
        if (operand.kind == CExpression::Kind::Name && !Name(operand.text, &a)) {
            error.clear();
            bool found = false;
            const int type = TypeNamed(operand.text, &found);
            return found && MakeInteger(types.SizeOf(type), true, false, out);
        }
        return Node(n.children[0], &a) && MakeInteger(types.SizeOf(a.type), true, false, out);
    }
    }
    return Fail(QStringLiteral("expression non prise en charge"));
}

// The frame's locals (innermost block first), its arguments, the globals and statics, then
// the enumerators.
bool ExpressionEvaluator::Name(const QString& name, DebugValue* out)
{
    if (stack && frame >= 0 && frame < int(stack->frames.size())) {
        for (const std::vector<DebugValue>& scope : {stack->Locals(frame), stack->Arguments(frame)}) {
            for (const DebugValue& v : scope) {
                if (v.name == name) {
                    *out = v;
                    return true;
                }
            }
        }
    }
    const unsigned int pc = stack && frame >= 0 && frame < int(stack->frames.size())
                                ? stack->frames[std::size_t(frame)].registers.pc
                                : 0;
    if (const DebugInfo::Variable* global = debug->FindGlobal(name, pc)) {
        if (!stack)
            return Fail(QStringLiteral("« %1 » ne peut être lu sans la machine").arg(name));
        *out = stack->Evaluator(-1).Place(global->location, types.SizeOf(global->type));
        out->name = name;
        out->type = global->type;
        return true;
    }
    for (int t = 0; t < types.Count(); ++t) {
        if (types.At(t).kind != Kind::Enumeration)
            continue;
        for (const TypeTable::Enumerator& e : types.At(t).enumerators) {
            if (e.name == name) {
                if (!Make(t, static_cast<unsigned long long>(e.value), out))
                    return false;
                out->name = name;
                return true;
            }
        }
    }
    return Fail(QStringLiteral("« %1 » n'est pas une variable visible ici").arg(name));
}

bool ExpressionEvaluator::Member(const DebugValue& object, const QString& member, DebugValue* out)
{
    const int type = types.Strip(object.type);
    const TypeTable::Type& t = types.At(type);
    if (t.kind != Kind::Structure && t.kind != Kind::Union)
        return Fail(QStringLiteral("« %1 » n'est ni une structure ni une union").arg(object.name));
    for (const TypeTable::Member& m : t.members) {
        if (m.name != member)
            continue;
        DebugValue v = object;
        v.name = member;
        v.type = m.type;
        v.bitSize = m.bitSize;
        v.bitOffset = m.bitOffset;
        if (object.storage == DebugValue::Storage::Memory)
            v.address = object.address + m.offset;
        else if (object.storage == DebugValue::Storage::Bytes)
            v.bytes = object.bytes.mid(int(m.offset), int(types.SizeOf(m.type)));
        *out = v;
        return true;
    }
    return Fail(QStringLiteral("« %1 » n'a pas de champ « %2 »").arg(types.Name(object.type), member));
}

bool ExpressionEvaluator::Index(const DebugValue& base, const DebugValue& index, DebugValue* out)
{
    long long i = 0;
    bool isUnsigned = false;
    if (!Integer(index, &i, &isUnsigned))
        return false;
    const TypeTable::Type& t = types.At(types.Strip(base.type));
    if (t.kind != Kind::Array && t.kind != Kind::Pointer)
        return Fail(QStringLiteral("« %1 » n'est ni un tableau ni un pointeur").arg(base.name));
    const unsigned int size = types.SizeOf(t.target);
    if (size == 0)
        return Fail(QStringLiteral("la taille des éléments de « %1 » est inconnue").arg(base.name));
    DebugValue v;
    v.name = QStringLiteral("%1[%2]").arg(base.name).arg(i);
    v.type = t.target;
    if (t.kind == Kind::Array && base.storage == DebugValue::Storage::Bytes) {
        if (i < 0 || (i + 1) * qint64(size) > base.bytes.size())
            return Fail(QStringLiteral("indice %1 hors de « %2 »").arg(i).arg(base.name));
        v.storage = DebugValue::Storage::Bytes;
        v.bytes = base.bytes.mid(int(i * size), int(size));
    } else {
        unsigned long long start = 0;
        if (t.kind == Kind::Array) {
            if (base.storage != DebugValue::Storage::Memory)
                return Fail(QStringLiteral("« %1 » ne peut être lu ici").arg(base.name));
            start = base.address;
        } else if (!formatter->Scalar(base, &start)) {
            return Fail(QStringLiteral("« %1 » ne peut être lu ici").arg(base.name));
        }
        v.storage = DebugValue::Storage::Memory;
        v.address = static_cast<unsigned int>((start + static_cast<unsigned long long>(i) * size) & 0xFFFFFF);
    }
    *out = v;
    return true;
}

bool ExpressionEvaluator::Dereference(const DebugValue& pointer, DebugValue* out)
{
    const TypeTable::Type& t = types.At(types.Strip(pointer.type));
    if (t.kind == Kind::Array) {
        DebugValue zero;
        return MakeInteger(0, false, false, &zero) && Index(pointer, zero, out);
    }
    if (t.kind != Kind::Pointer)
        return Fail(QStringLiteral("« %1 » n'est pas un pointeur").arg(pointer.name));
    if (t.target < 0 || types.Strip(t.target) < 0)
        return Fail(QStringLiteral("« %1 » pointe sur void").arg(pointer.name));
    unsigned long long address = 0;
    if (!formatter->Scalar(pointer, &address))
        return Fail(QStringLiteral("« %1 » ne peut être lu ici").arg(pointer.name));
    DebugValue v;
    v.name = QStringLiteral("*") + pointer.name;
    v.type = t.target;
    v.storage = DebugValue::Storage::Memory;
    v.address = static_cast<unsigned int>(address & 0xFFFFFF);
    *out = v;
    return true;
}

bool ExpressionEvaluator::AddressOf(const DebugValue& value, DebugValue* out)
{
    if (value.storage != DebugValue::Storage::Memory || value.bitSize)
        return Fail(QStringLiteral("« %1 » n'a pas d'adresse").arg(value.name));
    bool found = false;
    const int pointer = PointerTo(value.type, &found);
    return found && Make(pointer, value.address, out);
}

bool ExpressionEvaluator::Unary(const QString& op, const DebugValue& operand, DebugValue* out)
{
    long long v = 0;
    bool isUnsigned = false;
    if (!Integer(operand, &v, &isUnsigned))
        return false;
    const bool isLong = types.SizeOf(operand.type) > 4;
    if (op == QLatin1String("!"))
        return MakeInteger(v == 0, false, false, out);
    if (op == QLatin1String("-"))
        return MakeInteger(static_cast<long long>(0ull - static_cast<unsigned long long>(v)), isUnsigned, isLong, out);
    if (op == QLatin1String("~"))
        return MakeInteger(~v, isUnsigned, isLong, out);
    return MakeInteger(v, isUnsigned, isLong, out);
}

bool ExpressionEvaluator::Binary(const QString& op, const DebugValue& left, const DebugValue& right, DebugValue* out)
{
    long long a = 0;
    long long b = 0;
    bool ua = false;
    bool ub = false;
    if (!Integer(left, &a, &ua) || !Integer(right, &b, &ub))
        return false;
    const bool pa = IsPointer(left.type);
    const bool pb = IsPointer(right.type);
    if (op == QLatin1String("&&"))
        return MakeInteger(a && b, false, false, out);
    if (op == QLatin1String("||"))
        return MakeInteger(a || b, false, false, out);
    // Pointer arithmetic, in elements.
    if ((pa || pb) && (op == QLatin1String("+") || op == QLatin1String("-"))) {
        if (pa && pb) {
            if (op == QLatin1String("+"))
                return Fail(QStringLiteral("on n'additionne pas deux pointeurs"));
            const unsigned int size = std::max(1u, types.SizeOf(types.At(types.Strip(left.type)).target));
            return MakeInteger((a - b) / qint64(size), false, false, out);
        }
        const DebugValue& pointer = pa ? left : right;
        const long long offset = pa ? b : a;
        if (!pa && op == QLatin1String("-"))
            return Fail(QStringLiteral("on ne soustrait pas un pointeur d'un nombre"));
        const unsigned int size = std::max(1u, types.SizeOf(types.At(types.Strip(pointer.type)).target));
        const long long base = pa ? a : b;
        const long long moved = op == QLatin1String("+") ? base + offset * qint64(size) : base - offset * qint64(size);
        return Make(pointer.type, static_cast<unsigned long long>(moved) & 0xFFFFFFFFull, out);
    }
    const bool isLong = types.SizeOf(left.type) > 4 || types.SizeOf(right.type) > 4;
    // An unsigned operand of int's rank or more makes the operation unsigned.
    const bool isUnsigned = (ua && types.SizeOf(left.type) >= 4) || (ub && types.SizeOf(right.type) >= 4) || pa || pb;
    const auto narrow = [isLong, isUnsigned](long long v) -> long long {
        if (isLong)
            return v;
        return isUnsigned ? static_cast<long long>(static_cast<unsigned int>(v)) : static_cast<long long>(static_cast<int>(v));
    };
    a = narrow(a);
    b = narrow(b);
    const unsigned long long ua64 = static_cast<unsigned long long>(a);
    const unsigned long long ub64 = static_cast<unsigned long long>(b);
    const auto compare = [&](bool less, bool equal) {
        const bool lt = isUnsigned ? ua64 < ub64 : a < b;
        return MakeInteger(less ? (equal ? lt || a == b : lt) : (equal ? !lt : !lt && a != b), false, false, out);
    };
    if (op == QLatin1String("<"))
        return compare(true, false);
    if (op == QLatin1String("<="))
        return compare(true, true);
    if (op == QLatin1String(">"))
        return compare(false, false);
    if (op == QLatin1String(">="))
        return compare(false, true);
    if (op == QLatin1String("=="))
        return MakeInteger(a == b, false, false, out);
    if (op == QLatin1String("!="))
        return MakeInteger(a != b, false, false, out);
    if ((op == QLatin1String("/") || op == QLatin1String("%")) && b == 0)
        return Fail(QStringLiteral("division par zéro"));
    long long r = 0;
    const int width = isLong ? 64 : 32;
    if (op == QLatin1String("+"))
        r = static_cast<long long>(ua64 + ub64);
    else if (op == QLatin1String("-"))
        r = static_cast<long long>(ua64 - ub64);
    else if (op == QLatin1String("*"))
        r = static_cast<long long>(ua64 * ub64);
    else if (op == QLatin1String("/"))
        r = isUnsigned ? static_cast<long long>(ua64 / ub64) : (b == -1 ? static_cast<long long>(0ull - ua64) : a / b);
    else if (op == QLatin1String("%"))
        r = isUnsigned ? static_cast<long long>(ua64 % ub64) : (b == -1 ? 0 : a % b);
    else if (op == QLatin1String("&"))
        r = a & b;
    else if (op == QLatin1String("|"))
        r = a | b;
    else if (op == QLatin1String("^"))
        r = a ^ b;
    else if (op == QLatin1String("<<"))
        r = static_cast<long long>(ua64 << (ub64 % unsigned(width)));
    else if (op == QLatin1String(">>"))
        r = isUnsigned ? static_cast<long long>(ua64 >> (ub64 % unsigned(width))) : a >> (ub64 % unsigned(width));
    else
        return Fail(QStringLiteral("opérateur « %1 » non pris en charge").arg(op));
    return MakeInteger(narrow(r), isUnsigned, isLong, out);
}

bool ExpressionEvaluator::Cast(const QString& typeName, const DebugValue& operand, DebugValue* out)
{
    bool found = false;
    const int type = TypeNamed(typeName, &found);
    if (!found)
        return false;
    const TypeTable::Type& t = types.At(types.Strip(type));
    if (!IsInteger(type) && t.kind != Kind::Pointer)
        return Fail(QStringLiteral("conversion en « %1 » impossible").arg(typeName));
    unsigned long long bits = 0;
    const TypeTable::Type& from = types.At(types.Strip(operand.type));
    if (from.kind == Kind::Array && operand.storage == DebugValue::Storage::Memory) {
        bits = operand.address;
    } else {
        long long v = 0;
        bool isUnsigned = false;
        if (!Integer(operand, &v, &isUnsigned))
            return false;
        bits = static_cast<unsigned long long>(v);
    }
    if (t.kind == Kind::Boolean)
        bits = bits != 0;
    return Make(type, bits, out);
}

bool ExpressionEvaluator::IsPointer(int type) const
{
    return types.At(types.Strip(type)).kind == Kind::Pointer;
}

bool ExpressionEvaluator::IsInteger(int type) const
{
    switch (types.At(types.Strip(type)).kind) {
    case Kind::Integer:
    case Kind::Character:
    case Kind::Boolean:
    case Kind::Enumeration: return true;
    default: return false;
    }
}

bool ExpressionEvaluator::Integer(const DebugValue& value, long long* number, bool* isUnsigned)
{
    const int stripped = types.Strip(value.type);
    const TypeTable::Type& t = types.At(stripped);
    if (t.kind == Kind::Float)
        return Fail(QStringLiteral("les calculs sur les nombres à virgule ne sont pas pris en charge"));
    if (!IsInteger(value.type) && t.kind != Kind::Pointer)
        return Fail(QStringLiteral("« %1 » n'est pas un nombre").arg(value.name));
    unsigned long long bits = 0;
    if (!formatter->Scalar(value, &bits))
        return Fail(value.problem.isEmpty() ? QStringLiteral("« %1 » ne peut être lu ici").arg(value.name) : value.problem);
    const unsigned int size = std::min(8u, std::max(1u, types.SizeOf(value.type)));
    const bool isSigned = t.kind != Kind::Pointer
                          && (t.isSigned || (t.kind == Kind::Enumeration && types.At(types.Strip(t.target)).isSigned));
    *isUnsigned = !isSigned;
    if (size < 8) {
        bits &= (1ull << (8 * size)) - 1;
        if (isSigned && (bits >> (8 * size - 1)) & 1)
            bits |= ~((1ull << (8 * size)) - 1);
    }
    *number = static_cast<long long>(bits);
    return true;
}

bool ExpressionEvaluator::Make(int type, unsigned long long bits, DebugValue* out)
{
    const unsigned int size = types.SizeOf(type);
    if (size == 0 || size > 8)
        return Fail(QStringLiteral("la taille de « %1 » est inconnue").arg(types.Name(type)));
    DebugValue v;
    v.type = type;
    v.storage = DebugValue::Storage::Bytes;
    v.bytes = BigEndian(bits, size);
    *out = v;
    return true;
}

bool ExpressionEvaluator::MakeInteger(long long number, bool isUnsigned, bool isLong, DebugValue* out)
{
    bool found = false;
    QString name = isLong ? QStringLiteral("long long int") : QStringLiteral("int");
    if (isUnsigned)
        name = isLong ? QStringLiteral("long long unsigned int") : QStringLiteral("unsigned int");
    const int type = TypeNamed(name, &found);
    return found && Make(type, static_cast<unsigned long long>(number), out);
}

int ExpressionEvaluator::TypeNamed(const QString& name, bool* found)
{
    *found = false;
    QString base = name.trimmed();
    int stars = 0;
    while (base.endsWith(QLatin1Char('*'))) {
        base.chop(1);
        base = base.trimmed();
        ++stars;
    }
    QStringList words = base.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    words.removeAll(QStringLiteral("const"));
    words.removeAll(QStringLiteral("volatile"));
    int type = -1;
    bool known = false;
    if (words == QStringList{QStringLiteral("void")}) {
        known = true;
    } else if (words.size() == 2 && (words[0] == QLatin1String("struct") || words[0] == QLatin1String("union")
                                     || words[0] == QLatin1String("enum"))) {
        const Kind kind = words[0] == QLatin1String("struct") ? Kind::Structure
                          : words[0] == QLatin1String("union") ? Kind::Union
                                                                : Kind::Enumeration;
        // The definition rather than a declaration, which has no size.
        for (int t = 0; t < types.Count() && !(known && types.At(type).size); ++t) {
            if (types.At(t).kind == kind && types.At(t).name == words[1]) {
                type = t;
                known = true;
            }
        }
    } else {
        const QString wanted = words.size() == 1 ? words[0] : BaseTypeName(words);
        const QString canonical = BaseTypeName(words);
        for (int t = 0; t < types.Count() && !known; ++t) {
            const TypeTable::Type& candidate = types.At(t);
            const bool named = candidate.name == wanted || candidate.name == canonical;
            if (named && (candidate.kind == Kind::Typedef || candidate.kind == Kind::Integer || candidate.kind == Kind::Character
                          || candidate.kind == Kind::Boolean || candidate.kind == Kind::Float)) {
                type = t;
                known = true;
            }
        }
    }
    if (!known) {
        Fail(QStringLiteral("type « %1 » inconnu du programme").arg(name.trimmed()));
        return -1;
    }
    for (int i = 0; i < stars; ++i) {
        bool pointer = false;
        type = PointerTo(type, &pointer);
        if (!pointer)
            return -1;
    }
    *found = true;
    return type;
}

int ExpressionEvaluator::PointerTo(int type, bool* found)
{
    *found = false;
    const QString name = types.Name(type);
    for (int t = 0; t < types.Count(); ++t) {
        const TypeTable::Type& candidate = types.At(t);
        if (candidate.kind == Kind::Pointer && (candidate.target == type || types.Name(candidate.target) == name)) {
            *found = true;
            return t;
        }
    }
    Fail(QStringLiteral("le programme ne connaît pas le type « %1 * »").arg(name));
    return -1;
}
