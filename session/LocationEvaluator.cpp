#include "session/LocationEvaluator.h"

#include "core/Hex.h"
#include "core/Memory.h"

#include <dwarf.h>

namespace {

// What the operations so far say of the value: on the stack's top as an address or as the
// value itself, in a register, in bytes of the expression's own, or nowhere.
enum class Where { Nowhere, Address, Register, StackValue, Implicit };

struct Machine
{
    unsigned long long stack[LocationEvaluator::maximumStack];
    int depth = 0;
    Where where = Where::Nowhere;
    int reg = 0;
    QByteArray implicit;
    // The pieces composed so far, and whether there were any.
    QByteArray pieces;
    bool pieced = false;
    QString why;

    bool Push(unsigned long long value)
    {
        if (depth == LocationEvaluator::maximumStack)
            return Fail(QStringLiteral("pile de l'expression pleine"));
        stack[depth++] = value;
        where = Where::Address;
        return true;
    }
    bool Need(int count)
    {
        return depth >= count || Fail(QStringLiteral("pile de l'expression vide"));
    }
    unsigned long long Pop() { return stack[--depth]; }
    unsigned long long& Top() { return stack[depth - 1]; }
    bool Fail(const QString& reason)
    {
        why = reason;
        return false;
    }
};

QByteArray BigEndian(unsigned long long value, int size)
{
    QByteArray bytes(size, '\0');
    for (int i = size - 1; i >= 0; --i, value >>= 8)
        bytes[i] = char(value);
    return bytes;
}

bool IsRegister(unsigned char atom) { return atom >= DW_OP_reg0 && atom <= DW_OP_reg31; }
bool IsBaseRegister(unsigned char atom) { return atom >= DW_OP_breg0 && atom <= DW_OP_breg31; }
bool IsLiteral(unsigned char atom) { return atom >= DW_OP_lit0 && atom <= DW_OP_lit31; }

} // namespace

bool LocationEvaluator::FrameBase(unsigned int* value, QString* why) const
{
    const std::vector<DebugLocation::Op>* ops = context.frameBase ? context.frameBase->At(context.registers.pc) : nullptr;
    if (!ops) {
        *why = QStringLiteral("base du cadre inconnue");
        return false;
    }
    // The frame base's own expression may not refer to the frame base.
    for (const DebugLocation::Op& op : *ops)
        if (op.atom == DW_OP_fbreg) {
            *why = QStringLiteral("base du cadre définie par elle-même");
            return false;
        }
    return Compute(*ops, value, why);
}

namespace {

class Run
{
public:
    Run(const LocationEvaluator& evaluator, Machine& m) : e(evaluator), m(m) {}

    bool Registered(int number, unsigned int* value)
    {
        const LocationEvaluator::Registers& r = e.context.registers;
        if (number < 0 || number >= 16)
            return m.Fail(QStringLiteral("registre DWARF %1 inconnu du 68000").arg(number));
        if (!r.known[number])
            return m.Fail(QStringLiteral("registre %1%2 perdu dans ce cadre")
                              .arg(number < 8 ? QLatin1Char('D') : QLatin1Char('A'))
                              .arg(number & 7));
        *value = r.values[number];
        return true;
    }

    bool Read(unsigned long long address, int size, unsigned long long* value)
    {
        if (!e.context.memory)
            return m.Fail(QStringLiteral("mémoire inaccessible"));
        unsigned long long v = 0;
        for (int i = 0; i < size; ++i)
            v = (v << 8) | e.context.memory->Peek(unsigned(address + unsigned(i)) & 0xFFFFFF, 8);
        *value = v;
        return true;
    }

    bool Arithmetic(unsigned char atom)
    {
        if (atom == DW_OP_neg || atom == DW_OP_not || atom == DW_OP_abs) {
            if (!m.Need(1))
                return false;
            unsigned long long& t = m.Top();
            t = atom == DW_OP_neg ? 0 - t : atom == DW_OP_not ? ~t : (static_cast<long long>(t) < 0 ? 0 - t : t);
            return true;
        }
        if (!m.Need(2))
            return false;
        const unsigned long long b = m.Pop();
        unsigned long long& a = m.Top();
        const long long sa = static_cast<long long>(a);
        const long long sb = static_cast<long long>(b);
        switch (atom) {
        case DW_OP_plus: a += b; return true;
        case DW_OP_minus: a -= b; return true;
        case DW_OP_mul: a *= b; return true;
        case DW_OP_and: a &= b; return true;
        case DW_OP_or: a |= b; return true;
        case DW_OP_xor: a ^= b; return true;
        case DW_OP_shl: a = b >= 64 ? 0 : a << b; return true;
        case DW_OP_shr: a = b >= 64 ? 0 : a >> b; return true;
        case DW_OP_shra: a = static_cast<unsigned long long>(b >= 64 ? (sa < 0 ? -1 : 0) : sa >> b); return true;
        case DW_OP_div:
        case DW_OP_mod:
            if (b == 0)
                return m.Fail(QStringLiteral("division par zéro"));
            a = atom == DW_OP_mod ? a % b : static_cast<unsigned long long>(sb == -1 ? -sa : sa / sb);
            return true;
        case DW_OP_eq: a = sa == sb; return true;
        case DW_OP_ne: a = sa != sb; return true;
        case DW_OP_lt: a = sa < sb; return true;
        case DW_OP_gt: a = sa > sb; return true;
        case DW_OP_le: a = sa <= sb; return true;
        case DW_OP_ge: a = sa >= sb; return true;
        default: return false;
        }
    }

    bool Stack(const DebugLocation::Op& op)
    {
        switch (op.atom) {
        case DW_OP_dup: return m.Need(1) && m.Push(m.Top());
        case DW_OP_drop:
            if (!m.Need(1))
                return false;
            m.Pop();
            return true;
        case DW_OP_over: return m.Need(2) && m.Push(m.stack[m.depth - 2]);
        case DW_OP_pick:
            return (op.number < unsigned(m.depth) || m.Fail(QStringLiteral("pile de l'expression vide")))
                   && m.Push(m.stack[m.depth - 1 - int(op.number)]);
        case DW_OP_swap:
            if (!m.Need(2))
                return false;
            std::swap(m.stack[m.depth - 1], m.stack[m.depth - 2]);
            return true;
        case DW_OP_rot:
            if (!m.Need(3))
                return false;
            std::swap(m.stack[m.depth - 1], m.stack[m.depth - 2]);
            std::swap(m.stack[m.depth - 2], m.stack[m.depth - 3]);
            return true;
        default: return false;
        }
    }

    // A piece of size bytes from what the operations before it located.
    bool Piece(unsigned long long size)
    {
        if (size > 64)
            return m.Fail(QStringLiteral("morceau de %1 octets").arg(size));
        const int n = int(size);
        QByteArray bytes;
        unsigned int value = 0;
        unsigned long long read = 0;
        switch (m.where) {
        case Where::Nowhere: return m.Fail(QStringLiteral("<optimized out>"));
        case Where::Register:
            if (!Registered(m.reg, &value))
                return false;
            // The register's least significant bytes, as the 68000 keeps a byte or word.
            bytes = BigEndian(value, n <= 4 ? n : 4).rightJustified(n, '\0');
            break;
        case Where::StackValue: bytes = m.Need(1) ? BigEndian(m.Top(), n) : QByteArray(); break;
        case Where::Implicit: bytes = m.implicit.left(n).leftJustified(n, '\0'); break;
        case Where::Address:
            if (!m.Need(1))
                return false;
            for (int i = 0; i < n; ++i) {
                if (!Read(m.Top() + unsigned(i), 1, &read))
                    return false;
                bytes.append(char(read));
            }
            break;
        }
        if (bytes.size() != n)
            return false;
        m.pieces += bytes;
        m.pieced = true;
        m.where = Where::Nowhere;
        m.depth = 0;
        return true;
    }

    bool Step(const DebugLocation::Op& op)
    {
        const unsigned char a = op.atom;
        unsigned int value = 0;
        unsigned long long read = 0;
        if (IsLiteral(a))
            return m.Push(a - DW_OP_lit0);
        if (IsRegister(a) || a == DW_OP_regx) {
            m.where = Where::Register;
            m.reg = IsRegister(a) ? a - DW_OP_reg0 : int(op.number);
            return true;
        }
        if (IsBaseRegister(a) || a == DW_OP_bregx) {
            const int number = IsBaseRegister(a) ? a - DW_OP_breg0 : int(op.number);
            const unsigned long long offset = IsBaseRegister(a) ? op.number : op.number2;
            return Registered(number, &value) && m.Push((value + offset) & 0xFFFFFFFF);
        }
        switch (a) {
        case DW_OP_addr:
        case DW_OP_const1u: case DW_OP_const1s: case DW_OP_const2u: case DW_OP_const2s:
        case DW_OP_const4u: case DW_OP_const4s: case DW_OP_const8u: case DW_OP_const8s:
        case DW_OP_constu: case DW_OP_consts:
            return m.Push(op.number);
        case DW_OP_fbreg: {
            QString why;
            if (!e.FrameBase(&value, &why))
                return m.Fail(why);
            return m.Push((value + op.number) & 0xFFFFFFFF);
        }
        case DW_OP_call_frame_cfa:
            return e.context.cfaKnown ? m.Push(e.context.cfa) : m.Fail(QStringLiteral("adresse du cadre inconnue"));
        case DW_OP_plus_uconst:
            if (!m.Need(1))
                return false;
            m.Top() += op.number;
            return true;
        case DW_OP_deref:
        case DW_OP_deref_size:
            if (!m.Need(1) || !Read(m.Top(), a == DW_OP_deref ? 4 : int(std::min<unsigned long long>(op.number, 8)), &read))
                return false;
            m.Top() = read;
            return true;
        case DW_OP_stack_value:
            m.where = Where::StackValue;
            return m.Need(1);
        case DW_OP_implicit_value:
            m.where = Where::Implicit;
            m.implicit = op.block;
            return true;
        case DW_OP_piece: return Piece(op.number);
        case DW_OP_nop: return true;
        case DW_OP_dup: case DW_OP_drop: case DW_OP_over: case DW_OP_pick: case DW_OP_swap: case DW_OP_rot:
            return Stack(op);
        case DW_OP_entry_value:
        case DW_OP_GNU_entry_value:
        case DW_OP_GNU_parameter_ref:
            // The value at the function's entry: GDB finds it only through the caller's call
            // site, which is past what is kept here.
            return m.Fail(QStringLiteral("<optimized out>"));
        case DW_OP_neg: case DW_OP_not: case DW_OP_abs: case DW_OP_plus: case DW_OP_minus: case DW_OP_mul:
        case DW_OP_and: case DW_OP_or: case DW_OP_xor: case DW_OP_shl: case DW_OP_shr: case DW_OP_shra:
        case DW_OP_div: case DW_OP_mod: case DW_OP_eq: case DW_OP_ne: case DW_OP_lt: case DW_OP_gt:
        case DW_OP_le: case DW_OP_ge:
            return Arithmetic(a);
        default: return m.Fail(QStringLiteral("opération DWARF $%1 non prise en charge").arg(Hex::Text(a, 2)));
        }
    }

    const LocationEvaluator& e;
    Machine& m;
};

} // namespace

bool LocationEvaluator::Evaluate(const std::vector<DebugLocation::Op>& ops, unsigned int size, DebugValue* out,
                                 QString* why, int) const
{
    Machine m;
    Run run(*this, m);
    if (ops.empty() || int(ops.size()) > DebugLocation::maximumOps) {
        out->storage = DebugValue::Storage::OptimisedOut;
        return true;
    }
    for (const DebugLocation::Op& op : ops) {
        if (!run.Step(op)) {
            if (m.why == QStringLiteral("<optimized out>")) {
                out->storage = DebugValue::Storage::OptimisedOut;
                return true;
            }
            *why = m.why;
            return false;
        }
    }
    const int n = int(std::min(size, 64u));
    unsigned int value = 0;
    if (m.pieced) {
        out->storage = DebugValue::Storage::Bytes;
        out->bytes = m.pieces.leftJustified(n, '\0', true);
        return true;
    }
    switch (m.where) {
    case Where::Nowhere: out->storage = DebugValue::Storage::OptimisedOut; return true;
    case Where::Address:
        if (!m.Need(1)) {
            *why = m.why;
            return false;
        }
        out->storage = DebugValue::Storage::Memory;
        out->address = unsigned(m.Top()) & 0xFFFFFF;
        return true;
    case Where::Register:
        if (!run.Registered(m.reg, &value)) {
            // A register that the callee clobbered, as GDB tells it.
            out->storage = DebugValue::Storage::OptimisedOut;
            return true;
        }
        out->storage = DebugValue::Storage::Bytes;
        out->bytes = BigEndian(value, 4).right(std::min(n, 4));
        // A value of eight bytes fills a pair of registers, the first the most significant.
        if (n > 4) {
            unsigned int low = 0;
            if (!run.Registered(m.reg + 1, &low)) {
                out->storage = DebugValue::Storage::OptimisedOut;
                return true;
            }
            out->bytes += BigEndian(low, 4).right(n - 4);
        }
        return true;
    case Where::StackValue:
        out->storage = DebugValue::Storage::Bytes;
        out->bytes = BigEndian(m.Top(), n);
        return true;
    case Where::Implicit:
        out->storage = DebugValue::Storage::Bytes;
        out->bytes = m.implicit.left(n).leftJustified(n, '\0');
        return true;
    }
    return false;
}

DebugValue LocationEvaluator::Place(const DebugLocation& location, unsigned int size) const
{
    DebugValue value;
    if (location.kind == DebugLocation::Kind::None) {
        value.storage = DebugValue::Storage::OptimisedOut;
        return value;
    }
    if (location.kind == DebugLocation::Kind::Constant) {
        value.storage = DebugValue::Storage::Bytes;
        value.bytes = location.constant;
        return value;
    }
    const std::vector<DebugLocation::Op>* ops = location.At(context.registers.pc);
    if (!ops) {
        value.storage = DebugValue::Storage::OptimisedOut;
        return value;
    }
    QString why;
    if (!Evaluate(*ops, size, &value, &why, 0)) {
        value.storage = DebugValue::Storage::Unreadable;
        value.problem = why;
    }
    return value;
}

bool LocationEvaluator::Compute(const std::vector<DebugLocation::Op>& ops, unsigned int* value, QString* why) const
{
    DebugValue out;
    if (!Evaluate(ops, 4, &out, why, 0))
        return false;
    switch (out.storage) {
    case DebugValue::Storage::Memory: *value = out.address; return true;
    case DebugValue::Storage::Bytes:
        *value = 0;
        for (char c : out.bytes)
            *value = (*value << 8) | static_cast<unsigned char>(c);
        return true;
    default: *why = QStringLiteral("valeur indisponible"); return false;
    }
}
