#include "program/DebugInfoReader.h"

#include "program/DebugInfo.h"
#include "program/LibraryError.h"

#include <QHash>

#include <dwarf.h>
#include <elfutils/libdw.h>

#include <algorithm>

namespace {

// Far more entries than any list of a C program has; a damaged file's list ends there.
constexpr int maximumChildren = 1 << 20;
// An array larger than the address space is no 68000 array.
constexpr unsigned long long largestCount = 0x1000000;
// Enough to say what is wrong; a file damaged everywhere says no more.
constexpr int maximumProblems = 20;

using Kind = TypeTable::Kind;

class Reader
{
public:
    Reader(Dwarf* dwarf, DebugInfo* info) : dwarf(dwarf), info(info) {}

    void ReadUnits();

private:
    void Problem(const QString& text);
    void ReadUnit(Dwarf_Die* unit);
    void ReadFunction(Dwarf_Die* die);
    void ReadBlock(Dwarf_Die* die, DebugInfo::Function* function, int parent, int depth);
    bool ReadVariable(Dwarf_Die* die, DebugInfo::Variable* variable);
    void ReadLocation(Dwarf_Die* die, int type, DebugLocation* location);
    int TypeOf(Dwarf_Die* die, int depth);
    int ReadType(Dwarf_Die* die, int depth);
    void FillType(Dwarf_Die* die, int index, int depth);
    void ReadBase(Dwarf_Die* die, TypeTable::Type* type);
    void ReadArray(Dwarf_Die* die, int index, int depth);
    void ReadMembers(Dwarf_Die* die, int index, int depth);
    void ReadEnumerators(Dwarf_Die* die, TypeTable::Type* type);

    Dwarf* dwarf;
    DebugInfo* info;
    int unit = -1;
    // The unit's file names by their number, converted once.
    Dwarf_Files* files = nullptr;
    std::size_t fileCount = 0;
    std::vector<QString> fileNames;
    QString DeclarationFile(Dwarf_Die* die);
    // Each type entry read once, by its offset in the section: a structure that points at
    // itself finds its own index there.
    QHash<Dwarf_Off, int> types;
};

QString Name(Dwarf_Die* die)
{
    Dwarf_Attribute attribute;
    const char* name = dwarf_attr_integrate(die, DW_AT_name, &attribute) ? dwarf_formstring(&attribute) : nullptr;
    return name ? QString::fromUtf8(name) : QString();
}

bool Unsigned(Dwarf_Die* die, unsigned int name, unsigned long long* value)
{
    Dwarf_Attribute attribute;
    Dwarf_Word word = 0;
    if (!dwarf_attr_integrate(die, name, &attribute) || dwarf_formudata(&attribute, &word) != 0)
        return false;
    *value = word;
    return true;
}

bool Signed(Dwarf_Die* die, unsigned int name, long long* value)
{
    Dwarf_Attribute attribute;
    Dwarf_Sword word = 0;
    if (!dwarf_attr_integrate(die, name, &attribute) || dwarf_formsdata(&attribute, &word) != 0)
        return false;
    *value = word;
    return true;
}

bool Flag(Dwarf_Die* die, unsigned int name)
{
    Dwarf_Attribute attribute;
    bool value = false;
    return dwarf_attr_integrate(die, name, &attribute) && dwarf_formflag(&attribute, &value) == 0 && value;
}

// Calls visit for each child of die, at most maximumChildren.
template <typename Visit>
void Children(Dwarf_Die* die, Visit visit)
{
    Dwarf_Die child;
    if (dwarf_child(die, &child) != 0)
        return;
    for (int count = 0; count < maximumChildren; ++count) {
        visit(&child);
        if (dwarf_siblingof(&child, &child) != 0)
            return;
    }
}

std::vector<DebugLocation::Op> Ops(Dwarf_Attribute* attribute, const Dwarf_Op* ops, std::size_t count)
{
    std::vector<DebugLocation::Op> out;
    if (count > std::size_t(DebugLocation::maximumOps))
        return out;
    for (std::size_t i = 0; i < count; ++i) {
        DebugLocation::Op op{ops[i].atom, ops[i].number, ops[i].number2, QByteArray()};
        Dwarf_Block block;
        if (op.atom == DW_OP_implicit_value && dwarf_getlocation_implicit_value(attribute, &ops[i], &block) == 0)
            op.block = QByteArray(reinterpret_cast<const char*>(block.data), int(std::min<Dwarf_Word>(block.length, 64)));
        out.push_back(op);
    }
    return out;
}

// A constant value as its type stores it: big-endian in the type's size.
QByteArray ConstantBytes(unsigned long long value, unsigned int size)
{
    QByteArray bytes;
    size = std::min(std::max(size, 1u), 8u);
    for (unsigned int i = 0; i < size; ++i)
        bytes.prepend(char(value >> (8 * i)));
    return bytes;
}

// The attributes of a variable's entry that the reader needs, gathered in one pass: libdw
// looks each attribute up by walking all of them, which costs most of the reading of a
// large program's many variables.
struct Gathered
{
    Dwarf_Attribute name{};
    Dwarf_Attribute type{};
    Dwarf_Attribute location{};
    Dwarf_Attribute constant{};
    bool hasName = false;
    bool hasType = false;
    bool hasLocation = false;
    bool hasConstant = false;
    bool external = false;
    // An entry that takes its name or type from another (an abstract origin, or the
    // declaration it completes) is read through libdw's integrating lookups instead.
    bool elsewhere = false;
};

int GatherOne(Dwarf_Attribute* attribute, void* into)
{
    Gathered& g = *static_cast<Gathered*>(into);
    bool flag = false;
    switch (dwarf_whatattr(attribute)) {
    case DW_AT_name: g.name = *attribute; g.hasName = true; break;
    case DW_AT_type: g.type = *attribute; g.hasType = true; break;
    case DW_AT_location: g.location = *attribute; g.hasLocation = true; break;
    case DW_AT_const_value: g.constant = *attribute; g.hasConstant = true; break;
    case DW_AT_external: g.external = dwarf_formflag(attribute, &flag) == 0 && flag; break;
    case DW_AT_abstract_origin:
    case DW_AT_specification: g.elsewhere = true; break;
    default: break;
    }
    return DWARF_CB_OK;
}

bool Gather(Dwarf_Die* die, Gathered* g)
{
    return dwarf_getattrs(die, GatherOne, g, 0) == 1 && !g->elsewhere;
}

// The usual expressions of a C variable decoded here, without libdw's cache of every
// location it has decoded; false for any other, which libdw then decodes.
bool DecodeSimple(const Dwarf_Block& block, std::vector<DebugLocation::Op>* ops)
{
    const unsigned char* p = block.data;
    const unsigned char* end = block.data + block.length;
    const auto leb = [&](bool sign, unsigned long long* value) {
        unsigned long long v = 0;
        int shift = 0;
        unsigned char byte = 0x80;
        while (p < end && (byte & 0x80) && shift < 64) {
            byte = *p++;
            v |= static_cast<unsigned long long>(byte & 0x7F) << shift;
            shift += 7;
        }
        if (sign && shift < 64 && (byte & 0x40))
            v |= ~0ull << shift;
        *value = v;
        return !(byte & 0x80);
    };
    while (p < end && int(ops->size()) < DebugLocation::maximumOps) {
        DebugLocation::Op op{*p++, 0, 0, QByteArray()};
        const unsigned char a = op.atom;
        bool good = true;
        if (a == DW_OP_addr) {
            if (end - p < 4)
                return false;
            op.number = (unsigned(p[0]) << 24) | (unsigned(p[1]) << 16) | (unsigned(p[2]) << 8) | p[3];
            p += 4;
        } else if (a == DW_OP_fbreg || a == DW_OP_consts || (a >= DW_OP_breg0 && a <= DW_OP_breg31)) {
            good = leb(true, &op.number);
        } else if (a == DW_OP_plus_uconst || a == DW_OP_constu || a == DW_OP_piece || a == DW_OP_regx) {
            good = leb(false, &op.number);
        } else if (!(a >= DW_OP_lit0 && a <= DW_OP_lit31) && !(a >= DW_OP_reg0 && a <= DW_OP_reg31)
                   && a != DW_OP_call_frame_cfa && a != DW_OP_stack_value && a != DW_OP_deref && a != DW_OP_plus
                   && a != DW_OP_minus) {
            return false;
        }
        if (!good)
            return false;
        ops->push_back(op);
    }
    return p == end;
}

void Reader::Problem(const QString& text)
{
    if (info->problems.size() < maximumProblems)
        info->problems << text;
}

void Reader::ReadUnits()
{
    Dwarf_CU* cu = nullptr;
    Dwarf_Die unitDie;
    int status;
    while ((status = dwarf_get_units(dwarf, cu, &cu, nullptr, nullptr, &unitDie, nullptr)) == 0)
        ReadUnit(&unitDie);
    if (status < 0)
        Problem(QStringLiteral("Les unités de compilation ne sont pas toutes lisibles : %1.").arg(LibraryError::Dwarf()));
}

void Reader::ReadUnit(Dwarf_Die* die)
{
    DebugInfo::Unit u;
    u.name = Name(die);
    Dwarf_Attribute attribute;
    const char* directory = dwarf_attr(die, DW_AT_comp_dir, &attribute) ? dwarf_formstring(&attribute) : nullptr;
    u.directory = directory ? QString::fromUtf8(directory) : QString();
    info->units.push_back(u);
    unit = int(info->units.size()) - 1;
    files = nullptr;
    fileCount = 0;
    if (dwarf_getsrcfiles(die, &files, &fileCount) != 0)
        files = nullptr;
    fileNames.assign(std::min<std::size_t>(fileCount, maximumChildren), QString());
    Children(die, [this](Dwarf_Die* child) {
        const int tag = dwarf_tag(child);
        if (tag == DW_TAG_subprogram) {
            ReadFunction(child);
        } else if (tag == DW_TAG_variable) {
            DebugInfo::Variable v;
            if (ReadVariable(child, &v) && v.location.kind != DebugLocation::Kind::None)
                info->globals.push_back(std::move(v));
        }
    });
}

QString Reader::DeclarationFile(Dwarf_Die* die)
{
    unsigned long long number = 0;
    if (!files || !Unsigned(die, DW_AT_decl_file, &number) || number >= fileNames.size())
        return QString();
    QString& name = fileNames[std::size_t(number)];
    if (name.isEmpty()) {
        const char* path = dwarf_filesrc(files, std::size_t(number), nullptr, nullptr);
        name = path ? QString::fromUtf8(path) : QString();
    }
    return name;
}

void Reader::ReadFunction(Dwarf_Die* die)
{
    Dwarf_Addr low = 0;
    Dwarf_Addr high = 0;
    // A declaration, or a function that the compiler only inlined, has no code of its own.
    // Nor has one outside the 68000's 16 MB (a damaged file).
    if (dwarf_lowpc(die, &low) != 0 || dwarf_highpc(die, &high) != 0 || high <= low || high > 0x1000000ull)
        return;
    DebugInfo::Function f;
    f.name = Name(die);
    f.low = unsigned(low);
    f.high = unsigned(high);
    f.unit = unit;
    f.returnType = TypeOf(die, 0);
    f.file = DeclarationFile(die);
    dwarf_decl_line(die, &f.line);
    Dwarf_Attribute attribute;
    if (dwarf_attr_integrate(die, DW_AT_frame_base, &attribute)) {
        Dwarf_Op* ops = nullptr;
        std::size_t count = 0;
        if (dwarf_getlocation(&attribute, &ops, &count) == 0) {
            f.frameBase.kind = DebugLocation::Kind::Expression;
            f.frameBase.ops = Ops(&attribute, ops, count);
        } else {
            ReadLocation(die, -1, &f.frameBase);
        }
    }
    DebugInfo::Block body;
    body.ranges.push_back(DebugInfo::AddressRange{f.low, f.high});
    f.blocks.push_back(body);
    Children(die, [&](Dwarf_Die* child) {
        if (dwarf_tag(child) == DW_TAG_formal_parameter) {
            DebugInfo::Variable v;
            if (ReadVariable(child, &v))
                f.parameters.push_back(std::move(v));
        }
    });
    ReadBlock(die, &f, 0, 0);
    info->functions.push_back(std::move(f));
}

// The variables and nested blocks of a block (or the function's body, block 0).
void Reader::ReadBlock(Dwarf_Die* die, DebugInfo::Function* function, int index, int depth)
{
    Children(die, [&](Dwarf_Die* child) {
        const int tag = dwarf_tag(child);
        if (tag == DW_TAG_variable) {
            DebugInfo::Variable v;
            if (ReadVariable(child, &v))
                function->blocks[std::size_t(index)].variables.push_back(std::move(v));
        } else if (tag == DW_TAG_lexical_block) {
            if (depth >= DebugInfo::maximumNesting) {
                Problem(QStringLiteral("Les blocs de « %1 » sont imbriqués trop profondément : les plus profonds sont ignorés.")
                            .arg(function->name));
                return;
            }
            DebugInfo::Block block;
            block.parent = index;
            Dwarf_Addr base = 0;
            Dwarf_Addr start = 0;
            Dwarf_Addr end = 0;
            ptrdiff_t offset = 0;
            for (int n = 0; n < DebugLocation::maximumRanges
                            && (offset = dwarf_ranges(child, offset, &base, &start, &end)) > 0;
                 ++n)
                if (end > start && end <= 0x100000000ull)
                    block.ranges.push_back(DebugInfo::AddressRange{unsigned(start), unsigned(end)});
            function->blocks.push_back(std::move(block));
            ReadBlock(child, function, int(function->blocks.size()) - 1, depth + 1);
        }
    });
}

bool Reader::ReadVariable(Dwarf_Die* die, DebugInfo::Variable* variable)
{
    variable->unit = unit;
    Gathered g;
    if (!Gather(die, &g)) {
        variable->name = Name(die);
        variable->type = TypeOf(die, 0);
        variable->isStatic = !Flag(die, DW_AT_external);
        ReadLocation(die, variable->type, &variable->location);
        return !variable->name.isEmpty();
    }
    const char* name = g.hasName ? dwarf_formstring(&g.name) : nullptr;
    variable->name = name ? QString::fromUtf8(name) : QString();
    variable->isStatic = !g.external;
    Dwarf_Die typeDie;
    if (g.hasType)
        variable->type = dwarf_formref_die(&g.type, &typeDie) ? ReadType(&typeDie, 1) : TypeOf(die, 0);
    Dwarf_Block block;
    if (g.hasLocation && !g.hasConstant && dwarf_whatform(&g.location) == DW_FORM_exprloc
        && dwarf_formblock(&g.location, &block) == 0 && DecodeSimple(block, &variable->location.ops)) {
        variable->location.kind = DebugLocation::Kind::Expression;
    } else if (g.hasLocation || g.hasConstant) {
        variable->location.ops.clear();
        ReadLocation(die, variable->type, &variable->location);
    }
    return !variable->name.isEmpty();
}

void Reader::ReadLocation(Dwarf_Die* die, int type, DebugLocation* location)
{
    Dwarf_Attribute attribute;
    if (dwarf_attr_integrate(die, DW_AT_const_value, &attribute)) {
        Dwarf_Block block;
        Dwarf_Word word = 0;
        Dwarf_Sword sword = 0;
        location->kind = DebugLocation::Kind::Constant;
        if (dwarf_formblock(&attribute, &block) == 0)
            location->constant = QByteArray(reinterpret_cast<const char*>(block.data), int(std::min<Dwarf_Word>(block.length, 4096)));
        else if (dwarf_formsdata(&attribute, &sword) == 0)
            location->constant = ConstantBytes(static_cast<unsigned long long>(sword), info->types.SizeOf(type));
        else if (dwarf_formudata(&attribute, &word) == 0)
            location->constant = ConstantBytes(word, info->types.SizeOf(type));
        else
            location->kind = DebugLocation::Kind::None;
        return;
    }
    if (!dwarf_attr(die, DW_AT_location, &attribute))
        return;
    Dwarf_Addr base = 0;
    Dwarf_Addr start = 0;
    Dwarf_Addr end = 0;
    Dwarf_Op* ops = nullptr;
    std::size_t count = 0;
    ptrdiff_t offset = dwarf_getlocations(&attribute, 0, &base, &start, &end, &ops, &count);
    if (offset > 0 && start == 0 && end == Dwarf_Addr(-1)) {
        location->kind = DebugLocation::Kind::Expression;
        location->ops = Ops(&attribute, ops, count);
        return;
    }
    location->kind = DebugLocation::Kind::List;
    for (int n = 0; offset > 0 && n < DebugLocation::maximumRanges; ++n) {
        // A range outside the address space (past the code, in a damaged list) is no place.
        if (end > start && end <= 0x100000000ull)
            location->ranges.push_back(DebugLocation::Range{unsigned(start), unsigned(end), Ops(&attribute, ops, count)});
        offset = dwarf_getlocations(&attribute, offset, &base, &start, &end, &ops, &count);
    }
    if (offset < 0)
        Problem(QStringLiteral("L'emplacement de « %1 » est illisible : %2.").arg(Name(die), LibraryError::Dwarf()));
}

int Reader::TypeOf(Dwarf_Die* die, int depth)
{
    Dwarf_Attribute attribute;
    Dwarf_Die typeDie;
    if (!dwarf_attr_integrate(die, DW_AT_type, &attribute))
        return -1;
    if (!dwarf_formref_die(&attribute, &typeDie)) {
        Problem(QStringLiteral("Un type de « %1 » est illisible : %2.").arg(Name(die), LibraryError::Dwarf()));
        return info->types.Add(TypeTable::Type());
    }
    return ReadType(&typeDie, depth + 1);
}

int Reader::ReadType(Dwarf_Die* die, int depth)
{
    const Dwarf_Off offset = dwarf_dieoffset(die);
    const auto known = types.constFind(offset);
    if (known != types.constEnd())
        return *known;
    // Registered before its parts are read, so that they find it.
    const int index = info->types.Add(TypeTable::Type());
    types.insert(offset, index);
    if (depth > TypeTable::maximumDepth)
        Problem(QStringLiteral("Des types sont imbriqués trop profondément : les plus profonds sont ignorés."));
    else
        FillType(die, index, depth);
    return index;
}

void Reader::FillType(Dwarf_Die* die, int index, int depth)
{
    TypeTable::Type t;
    t.name = Name(die);
    unsigned long long size = 0;
    if (Unsigned(die, DW_AT_byte_size, &size))
        t.size = unsigned(std::min(size, largestCount));
    switch (dwarf_tag(die)) {
    case DW_TAG_base_type: ReadBase(die, &t); break;
    case DW_TAG_enumeration_type:
        t.kind = Kind::Enumeration;
        ReadEnumerators(die, &t);
        break;
    case DW_TAG_pointer_type:
        t.kind = Kind::Pointer;
        t.size = t.size ? t.size : 4;
        break;
    case DW_TAG_array_type: ReadArray(die, index, depth); return;
    case DW_TAG_structure_type: t.kind = Kind::Structure; break;
    case DW_TAG_union_type: t.kind = Kind::Union; break;
    case DW_TAG_typedef: t.kind = Kind::Typedef; break;
    case DW_TAG_const_type: t.kind = Kind::Const; break;
    case DW_TAG_volatile_type: t.kind = Kind::Volatile; break;
    // restrict and _Atomic change no value: shown as their type.
    case DW_TAG_restrict_type:
    case DW_TAG_atomic_type: t.kind = Kind::Typedef; t.name.clear(); break;
    case DW_TAG_subroutine_type: t.kind = Kind::Function; break;
    default: break;
    }
    info->types.Edit(index) = t;
    const int target = TypeOf(die, depth);
    info->types.Edit(index).target = target;
    if (t.kind == Kind::Typedef && t.name.isEmpty())
        info->types.Edit(index).name = info->types.Name(target);
    if (t.kind == Kind::Structure || t.kind == Kind::Union || t.kind == Kind::Function)
        ReadMembers(die, index, depth);
    if (t.kind == Kind::Enumeration && target >= 0)
        info->types.Edit(index).isSigned = info->types.At(info->types.Strip(target)).isSigned;
}

void Reader::ReadBase(Dwarf_Die* die, TypeTable::Type* type)
{
    unsigned long long encoding = 0;
    Unsigned(die, DW_AT_encoding, &encoding);
    switch (encoding) {
    case DW_ATE_signed_char:
        type->kind = Kind::Character;
        type->isSigned = true;
        break;
    case DW_ATE_unsigned_char: type->kind = Kind::Character; break;
    case DW_ATE_boolean: type->kind = Kind::Boolean; break;
    case DW_ATE_float: type->kind = Kind::Float; break;
    case DW_ATE_signed:
        type->kind = Kind::Integer;
        type->isSigned = true;
        break;
    case DW_ATE_unsigned: type->kind = Kind::Integer; break;
    default: type->kind = Kind::Unknown; break;
    }
}

void Reader::ReadEnumerators(Dwarf_Die* die, TypeTable::Type* type)
{
    Children(die, [&](Dwarf_Die* child) {
        if (dwarf_tag(child) != DW_TAG_enumerator)
            return;
        long long value = 0;
        if (Signed(child, DW_AT_const_value, &value)) {
            type->enumerators.push_back(TypeTable::Enumerator{Name(child), value});
            type->isSigned = type->isSigned || value < 0;
        }
    });
}

// An array of several dimensions becomes arrays of arrays, the last dimension innermost.
void Reader::ReadArray(Dwarf_Die* die, int index, int depth)
{
    std::vector<long long> counts;
    Children(die, [&](Dwarf_Die* child) {
        const int tag = dwarf_tag(child);
        if (tag != DW_TAG_subrange_type && tag != DW_TAG_enumeration_type)
            return;
        unsigned long long count = 0;
        long long upper = 0;
        long long lower = 0;
        Signed(child, DW_AT_lower_bound, &lower);
        long long n = -1;
        if (Unsigned(child, DW_AT_count, &count))
            n = static_cast<long long>(std::min(count, largestCount + 1));
        else if (Signed(child, DW_AT_upper_bound, &upper))
            n = upper >= lower - 1 ? upper - lower + 1 : -1;
        if (n > static_cast<long long>(largestCount)) {
            Problem(QStringLiteral("Un tableau a des bornes démesurées (%1 éléments) : sa taille est ignorée.").arg(n));
            n = -1;
        }
        if (counts.size() < std::size_t(TypeTable::maximumDepth))
            counts.push_back(n);
    });
    if (counts.empty())
        counts.push_back(-1);
    int element = TypeOf(die, depth);
    for (std::size_t i = counts.size(); i-- > 1;) {
        TypeTable::Type inner;
        inner.kind = Kind::Array;
        inner.count = counts[i];
        inner.target = element;
        element = info->types.Add(inner);
    }
    TypeTable::Type& outer = info->types.Edit(index);
    outer.kind = Kind::Array;
    outer.count = counts[0];
    outer.target = element;
}

void Reader::ReadMembers(Dwarf_Die* die, int index, int depth)
{
    std::vector<TypeTable::Member> members;
    Children(die, [&](Dwarf_Die* child) {
        const int tag = dwarf_tag(child);
        if (tag != DW_TAG_member && tag != DW_TAG_formal_parameter)
            return;
        TypeTable::Member m{Name(child), TypeOf(child, depth), 0, 0, 0};
        unsigned long long value = 0;
        if (Unsigned(child, DW_AT_data_member_location, &value))
            m.offset = unsigned(std::min(value, largestCount));
        if (Unsigned(child, DW_AT_bit_size, &value))
            m.bitSize = int(std::min(value, 64ull));
        if (Unsigned(child, DW_AT_data_bit_offset, &value)) {
            value = std::min(value, largestCount * 8);
            m.offset = unsigned(value / 8);
            m.bitOffset = int(value % 8);
        } else if (m.bitSize && Unsigned(child, DW_AT_bit_offset, &value)) {
            // The older form counts from the most significant bit of the storage unit that
            // starts at the member's offset, as a big-endian machine reads it.
            value = std::min(value, 64ull);
            m.offset += unsigned(value / 8);
            m.bitOffset = int(value % 8);
        }
        members.push_back(m);
    });
    info->types.Edit(index).members = std::move(members);
}

} // namespace

void DebugInfoReader::Read(Dwarf* dwarf, DebugInfo* info)
{
    if (dwarf) {
        Reader reader(dwarf, info);
        reader.ReadUnits();
    }
    info->Finish();
}
