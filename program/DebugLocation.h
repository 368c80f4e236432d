#ifndef ZENDRA_PROGRAM_DEBUGLOCATION_H
#define ZENDRA_PROGRAM_DEBUGLOCATION_H

#include <QByteArray>

#include <vector>

// Where a variable lives, as the compiler said: one DWARF location expression valid
// wherever the variable is in scope, a list of expressions each valid over a range of
// addresses (an optimised variable moves between registers), a constant value, or nowhere
// (optimised out). The expressions are decoded once at load into plain operations; the
// session evaluates them with a frame's registers and the memory.
class DebugLocation
{
public:
    enum class Kind { None, Expression, List, Constant };

    // One operation: a DW_OP_ code and its operands as libdw decodes them.
    struct Op
    {
        unsigned char atom;
        unsigned long long number;
        unsigned long long number2;
        // DW_OP_implicit_value's bytes.
        QByteArray block;
    };

    struct Range
    {
        // [low, high) of the program counter.
        unsigned int low;
        unsigned int high;
        std::vector<Op> ops;
    };

    // An expression longer than this is not kept: no compiler writes one for a C variable.
    static constexpr int maximumOps = 64;
    // Nor a list longer than this.
    static constexpr int maximumRanges = 4096;

    Kind kind = Kind::None;
    // Kind::Expression.
    std::vector<Op> ops;
    // Kind::List, in the file's order.
    std::vector<Range> ranges;
    // Kind::Constant: the value's bytes, big-endian.
    QByteArray constant;

    // The operations that hold at pc, null where the variable has no place there.
    const std::vector<Op>* At(unsigned int pc) const;
};

#endif
