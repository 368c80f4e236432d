#ifndef ZENDRA_CORE_CONDITION_H
#define ZENDRA_CORE_CONDITION_H

#include <QByteArray>
#include <QString>

#include <vector>

class Calculator;

// The condition of an address breakpoint: expressions of the calculator, with its memory
// reads "[a0].w", compared with == != < <= > >= (unsigned) and joined by && and ||, && binding
// tighter; an expression alone holds when it is not zero. Parsed once, evaluated at every
// pass without allocating.
class Condition
{
public:
    // Checks the text against the calculator's names; on failure errorStart and errorEnd
    // give the span of the faulty part, in the positions of the text.
    bool Parse(const QString& text, const Calculator* calculator);
    // *holds is the condition's truth now; false when a term cannot be evaluated (a division
    // by zero), which a run takes as a stop.
    bool Evaluate(const Calculator* calculator, bool* holds) const;

    QString text;
    int errorStart = 0;
    int errorEnd = 0;

private:
    enum Operator { None, Equal, NotEqual, Less, LessOrEqual, Greater, GreaterOrEqual };
    struct Comparison
    {
        QByteArray left;
        QByteArray right;
        Operator op;
    };
    // Any of the alternatives, each all of its comparisons.
    std::vector<std::vector<Comparison>> alternatives;

    bool ParseOperand(const QString& part, int offset, const Calculator* calculator, QByteArray* bytes);
    bool Fail(int start, int end);
};

#endif
