#include "core/Condition.h"

#include "core/Calculator.h"

#include <QList>

namespace {

// The places of an operator outside brackets and quotes, where the text splits.
QList<int> TopLevel(const QString& text, const QString& op)
{
    QList<int> places;
    int depth = 0;
    QChar quote;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
            quote = c;
        else if (c == QLatin1Char('(') || c == QLatin1Char('['))
            ++depth;
        else if (c == QLatin1Char(')') || c == QLatin1Char(']'))
            --depth;
        else if (depth == 0 && text.midRef(i, op.size()) == op)
            places << i;
    }
    return places;
}

} // namespace

bool Condition::Fail(int start, int end)
{
    errorStart = start;
    errorEnd = end;
    alternatives.clear();
    return false;
}

// One side of a comparison: a whole expression of the calculator. Its values do not matter
// here, so a division by zero is no fault of the text.
bool Condition::ParseOperand(const QString& text, int offset, const Calculator* calculator, QByteArray* bytes)
{
    // Blanks around the operators are for reading; inside an expression they stay faults.
    QString part = text;
    while (part.startsWith(QLatin1Char(' '))) {
        part.remove(0, 1);
        ++offset;
    }
    while (part.endsWith(QLatin1Char(' ')))
        part.chop(1);
    Calculator check(calculator->registers);
    check.symbols = calculator->symbols;
    check.memory = calculator->memory;
    check.expression = part;
    check.Calculate();
    if (!check.valid && !check.dividedByZero)
        return Fail(offset + check.errorStart, offset + check.errorEnd);
    *bytes = part.toLocal8Bit();
    return true;
}

bool Condition::Parse(const QString& source, const Calculator* calculator)
{
    text = source;
    errorStart = errorEnd = 0;
    alternatives.clear();
    if (text.isEmpty())
        return Fail(0, 0);
    static const struct {
        const char* text;
        Operator op;
    } operators[] = {{"==", Equal}, {"!=", NotEqual}, {"<=", LessOrEqual}, {">=", GreaterOrEqual},
                     {"<", Less},   {">", Greater}};

    std::vector<std::vector<Comparison>> parsed;
    int start = 0;
    QList<int> ors = TopLevel(text, QStringLiteral("||"));
    ors << text.size();
    for (int orEnd : ors) {
        const QString alternative = text.mid(start, orEnd - start);
        std::vector<Comparison> all;
        int andStart = 0;
        QList<int> ands = TopLevel(alternative, QStringLiteral("&&"));
        ands << alternative.size();
        for (int andEnd : ands) {
            const QString term = alternative.mid(andStart, andEnd - andStart);
            const int offset = start + andStart;
            Comparison c{QByteArray(), QByteArray(), None};
            int at = -1;
            int width = 0;
            for (const auto& o : operators) {
                const QList<int> places = TopLevel(term, QLatin1String(o.text));
                if (!places.isEmpty() && (at < 0 || places.first() < at)) {
                    at = places.first();
                    width = int(qstrlen(o.text));
                    c.op = o.op;
                }
            }
            if (at < 0) {
                if (!ParseOperand(term, offset, calculator, &c.left))
                    return false;
            } else {
                if (!ParseOperand(term.left(at), offset, calculator, &c.left))
                    return false;
                const QString right = term.mid(at + width);
                // "a==b==c" and "a<=<b": the second operator is where the text goes wrong.
                for (const auto& o : operators) {
                    const QList<int> again = TopLevel(right, QLatin1String(o.text));
                    if (!again.isEmpty())
                        return Fail(offset + at + width + again.first(),
                                    offset + at + width + again.first() + int(qstrlen(o.text)));
                }
                if (!ParseOperand(right, offset + at + width, calculator, &c.right))
                    return false;
            }
            all.push_back(c);
            andStart = andEnd + 2;
        }
        parsed.push_back(all);
        start = orEnd + 2;
    }
    alternatives = std::move(parsed);
    return true;
}

bool Condition::Evaluate(const Calculator* calculator, bool* holds) const
{
    *holds = false;
    int failure = 0;
    for (const std::vector<Comparison>& all : alternatives) {
        bool allHold = true;
        for (const Comparison& c : all) {
            unsigned int left = 0;
            unsigned int right = 0;
            if (!calculator->Evaluate(c.left, &left, &failure))
                return false;
            if (c.op != None && !calculator->Evaluate(c.right, &right, &failure))
                return false;
            bool h;
            switch (c.op) {
            case Equal: h = left == right; break;
            case NotEqual: h = left != right; break;
            case Less: h = left < right; break;
            case LessOrEqual: h = left <= right; break;
            case Greater: h = left > right; break;
            case GreaterOrEqual: h = left >= right; break;
            default: h = left != 0; break;
            }
            if (!h) {
                allHold = false;
                break;
            }
        }
        if (allHold) {
            *holds = true;
            return true;
        }
    }
    return true;
}
