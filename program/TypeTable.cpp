#include "program/TypeTable.h"

#include <QStringList>

#include <algorithm>

int TypeTable::Add(const Type& type)
{
    types.push_back(type);
    return int(types.size()) - 1;
}

const TypeTable::Type& TypeTable::At(int type) const
{
    static const Type unknown;
    return IsValid(type) ? types[std::size_t(type)] : unknown;
}

int TypeTable::Strip(int type) const
{
    for (int depth = 0; depth < maximumDepth && IsValid(type); ++depth) {
        const Kind kind = types[std::size_t(type)].kind;
        if (kind != Kind::Typedef && kind != Kind::Const && kind != Kind::Volatile)
            return type;
        type = types[std::size_t(type)].target;
    }
    return -1;
}

unsigned int TypeTable::SizeOf(int type) const
{
    // An array's size is the product of its counts down to its element: a file's sizes may
    // say more than the address space, which is as much as a value can be.
    unsigned long long factor = 1;
    for (int depth = 0; depth < maximumDepth; ++depth) {
        type = Strip(type);
        if (!IsValid(type))
            return 0;
        const Type& t = types[std::size_t(type)];
        if (t.kind != Kind::Array)
            return unsigned(std::min<unsigned long long>(factor * t.size, 0xFFFFFFFFull));
        if (t.count < 0)
            return 0;
        factor = std::min<unsigned long long>(factor * static_cast<unsigned long long>(t.count), 0x100000000ull);
        type = t.target;
    }
    return 0;
}

namespace {

QString Keyword(TypeTable::Kind kind)
{
    switch (kind) {
    case TypeTable::Kind::Structure: return QStringLiteral("struct ");
    case TypeTable::Kind::Union: return QStringLiteral("union ");
    case TypeTable::Kind::Enumeration: return QStringLiteral("enum ");
    default: return QString();
    }
}

} // namespace

void TypeTable::Spell(int type, QString* prefix, QString* suffix, int depth) const
{
    // Qualifiers wait for what they qualify: a base type takes them before its name, a
    // pointer after its star.
    QString qualifiers;
    QString declarator;
    for (; depth < maximumDepth; ++depth) {
        if (!IsValid(type)) {
            *prefix = qualifiers + QStringLiteral("void");
            break;
        }
        const Type& t = types[std::size_t(type)];
        if (t.kind == Kind::Const || t.kind == Kind::Volatile) {
            qualifiers += t.kind == Kind::Const ? QStringLiteral("const ") : QStringLiteral("volatile ");
        } else if (t.kind == Kind::Pointer) {
            declarator.prepend(qualifiers.isEmpty() ? QStringLiteral("*") : QStringLiteral("* ") + qualifiers.trimmed());
            qualifiers.clear();
        } else if (t.kind == Kind::Array || t.kind == Kind::Function) {
            if (declarator.startsWith(QLatin1Char('*')))
                declarator = QLatin1Char('(') + declarator + QLatin1Char(')');
            if (t.kind == Kind::Array) {
                declarator += t.count < 0 ? QStringLiteral("[]") : QStringLiteral("[%1]").arg(t.count);
            } else {
                QStringList parameters;
                for (const Member& m : t.members)
                    parameters << Name(m.type);
                declarator += QLatin1Char('(') + parameters.join(QStringLiteral(", ")) + QLatin1Char(')');
            }
        } else {
            const QString name = t.name.isEmpty() ? QStringLiteral("{...}") : t.name;
            *prefix = qualifiers + Keyword(t.kind) + (t.kind == Kind::Unknown ? QStringLiteral("?") : name);
            break;
        }
        type = t.target;
    }
    if (depth >= maximumDepth)
        *prefix = QStringLiteral("?");
    *suffix = declarator;
}

QString TypeTable::Name(int type) const
{
    QString prefix;
    QString suffix;
    Spell(type, &prefix, &suffix, 0);
    return suffix.isEmpty() ? prefix : prefix + QLatin1Char(' ') + suffix;
}
