#ifndef ZENDRA_PROGRAM_TYPETABLE_H
#define ZENDRA_PROGRAM_TYPETABLE_H

#include <QString>

#include <vector>

// The C types of a program as its debugging information describes them, for the value
// formatter and the expression evaluator. A type is an index into the table; -1 stands for
// void (a function that returns nothing, the target of void *). Types refer to each other by
// index, so that a structure that points at itself is no recursion in memory; whoever walks
// them goes through Strip and a bounded depth, since a damaged file may make a typedef its
// own target.
//
// A multi-dimensional array is an array of arrays: int[2][3] is an array of 2 whose element
// is an array of 3 ints, as C reads it. Sizes are in bytes, as the 68000 stores the values:
// big-endian, integers of 1, 2, 4 or 8 bytes, floats in IEEE single or double precision.
class TypeTable
{
public:
    enum class Kind {
        // A base type: integers (char included), _Bool, floating point.
        Integer,
        Character,
        Boolean,
        Float,
        Enumeration,
        Pointer,
        Array,
        Structure,
        Union,
        // Names and qualifiers over their target.
        Typedef,
        Const,
        Volatile,
        Function,
        // What could not be read: its values show as unreadable.
        Unknown
    };

    struct Member
    {
        QString name;
        int type;
        // From the start of the structure.
        unsigned int offset;
        // A bit field's width, 0 for an ordinary member, and its first bit counted from the
        // most significant bit of the byte at offset (the 68000 is big-endian).
        int bitSize;
        int bitOffset;
    };

    struct Enumerator
    {
        QString name;
        long long value;
    };

    struct Type
    {
        Kind kind = Kind::Unknown;
        // The C name: "int", the tag of a structure, union or enumeration ("node" for struct
        // node), a typedef's name; empty for an anonymous one.
        QString name;
        unsigned int size = 0;
        bool isSigned = false;
        // The pointed-at type, an array's element, a typedef's or qualifier's type, an
        // enumeration's underlying integer, a function's return type; -1 for void.
        int target = -1;
        // An array's element count; -1 when the program does not say (int a[]).
        long long count = -1;
        std::vector<Member> members;
        std::vector<Enumerator> enumerators;
    };

    // Nothing walks further than this through targets: a cycle ends there.
    static constexpr int maximumDepth = 64;

    void Clear() { types.clear(); }
    int Add(const Type& type);
    int Count() const { return int(types.size()); }
    bool IsValid(int type) const { return type >= 0 && type < Count(); }
    // A type; an index that is not one reads as an unknown type.
    const Type& At(int type) const;
    Type& Edit(int type) { return types[std::size_t(type)]; }

    // The type under its typedefs and qualifiers; -1 for void, or past too many of them.
    int Strip(int type) const;
    // The size of a value of the type, through typedefs and arrays' elements; 0 when not known.
    unsigned int SizeOf(int type) const;
    // The type as C writes it, as GDB prints it: "int", "struct node *", "int [2][3]",
    // "const volatile byte", "char *", "void".
    QString Name(int type) const;

private:
    // The prefix and suffix of a declarator around the name, C's inside-out order.
    void Spell(int type, QString* prefix, QString* suffix, int depth) const;

    std::vector<Type> types;
};

#endif
