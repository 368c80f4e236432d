#ifndef ZENDRA_SESSION_EXPRESSIONEVALUATOR_H
#define ZENDRA_SESSION_EXPRESSIONEVALUATOR_H

#include "program/CExpression.h"
#include "session/DebugValue.h"

#include <QString>

class CallStack;
class DebugInfo;
class Memory;
class TypeTable;
class ValueFormatter;

// Evaluates a watch expression in C syntax over a stopped program's variables, in one frame
// of its call stack, with the program's types: a name is the frame's argument or local (the
// innermost block's first), else a global or static; then members, elements, pointers,
// addresses, casts, sizeof and the integer operators, with C's promotions on the 68000's
// sizes (int of 32 bits). The result is a value for ValueFormatter: in memory where the
// expression names a place, else its bytes. The types it needs (int, a pointer to a type)
// are those of the program: one that the program never names is an error, as is an
// operation on floating-point values. Errors are French, one short sentence.
class ExpressionEvaluator
{
public:
    // stack: unwound from the stopped machine; frame: the one whose variables names mean,
    // -1 for the globals alone.
    ExpressionEvaluator(const DebugInfo* debug, const Memory* memory, const CallStack* stack, int frame,
                        const ValueFormatter* formatter);

    bool Evaluate(const QString& text, DebugValue* value, QString* error);

private:
    bool Node(int index, DebugValue* out);
    bool Name(const QString& name, DebugValue* out);
    bool Member(const DebugValue& object, const QString& member, DebugValue* out);
    bool Index(const DebugValue& base, const DebugValue& index, DebugValue* out);
    bool Dereference(const DebugValue& pointer, DebugValue* out);
    bool AddressOf(const DebugValue& value, DebugValue* out);
    bool Unary(const QString& op, const DebugValue& operand, DebugValue* out);
    bool Binary(const QString& op, const DebugValue& left, const DebugValue& right, DebugValue* out);
    bool Cast(const QString& typeName, const DebugValue& operand, DebugValue* out);

    // An integer's value with its type's signedness; false with the error set for what is
    // no integer (a pointer counts, as an address).
    bool Integer(const DebugValue& value, long long* number, bool* isUnsigned);
    bool IsPointer(int type) const;
    bool IsInteger(int type) const;
    // A value of the named or given type made of a number.
    bool Make(int type, unsigned long long bits, DebugValue* out);
    bool MakeInteger(long long number, bool isUnsigned, bool isLong, DebugValue* out);
    // The program's type of that name ("int", "struct node", "char *"), -1 with the error
    // set when it has none; *found false only then.
    int TypeNamed(const QString& name, bool* found);
    int PointerTo(int type, bool* found);
    bool Fail(const QString& why);

    const DebugInfo* debug;
    const TypeTable& types;
    const Memory* memory;
    const CallStack* stack;
    const int frame;
    const ValueFormatter* formatter;
    CExpression expression;
    QString error;
};

#endif
