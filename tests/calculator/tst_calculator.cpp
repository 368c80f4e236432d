// The expression calculator: values, error spans as a line edit selects them, and text
// that no parser expects.
#include "core/Calculator.h"
#include "core/Register.h"

#include <QApplication>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTextCodec>
#include <QtTest>

#include <cstring>
#include <vector>

namespace {

// A register set whose every field is told apart from the others.
void FillRegisters(Register& r)
{
    r.d[0] = 0x100;
    r.d[1] = 0xFFFFFFFF;
    r.d[7] = 0x12345678;
    r.a[0] = 0x2000;
    r.a[6] = 0xA6A6;
    r.pc = 0x1234;
    r.usp = 0x7000;
    r.ssp = 0x8000;
    r.sr = 0x2715; // S, interrupt mask 7, X, Z, C
}

QString Utf16(const char16_t* text)
{
    return QString::fromUtf16(text);
}

// Builds random expressions of the grammar together with the value they must have, to
// check the parser against an evaluation that never looks at text.
class ExpressionMaker
{
public:
    ExpressionMaker(const Register& r, quint32 seed) : registers(r), random(seed) {}

    QString Expression(int depth, quint32* value)
    {
        QString text;
        quint32 accumulator = 0;
        char op = '+';
        const int sign = int(random.bounded(4));
        if (sign == 1 || sign == 2) {
            op = sign == 1 ? '+' : '-';
            text += QLatin1Char(op);
        }
        const int terms = 1 + int(random.bounded(3));
        for (int i = 0; i < terms; ++i) {
            if (i > 0) {
                op = "+-&|^"[random.bounded(5)];
                text += QLatin1Char(op);
            }
            quint32 term = 0;
            text += Term(depth, &term);
            switch (op) {
            case '+': accumulator += term; break;
            case '-': accumulator -= term; break;
            case '&': accumulator &= term; break;
            case '|': accumulator |= term; break;
            default: accumulator ^= term; break;
            }
        }
        *value = accumulator;
        return text;
    }

private:
    QString Term(int depth, quint32* value)
    {
        quint32 accumulator = 0;
        QString text = Factor(depth, &accumulator);
        const int more = int(random.bounded(3));
        for (int i = 0; i < more; ++i) {
            quint32 factor = 0;
            const QString next = Factor(depth, &factor);
            if (factor != 0 && random.bounded(2)) {
                text += QLatin1Char('/') + next;
                accumulator /= factor;
            } else {
                text += QLatin1Char('*') + next;
                accumulator *= factor;
            }
        }
        *value = accumulator;
        return text;
    }

    QString Factor(int depth, quint32* value)
    {
        const int tildes = random.bounded(5) == 0 ? 1 + int(random.bounded(3)) : 0;
        quint32 width = 0xFFFFFFFF;
        quint32 v = 0;
        QString text;
        switch (random.bounded(depth > 0 ? 7 : 6)) {
        case 0:
            v = random.bounded(100000u);
            text = QString::number(v);
            break;
        case 1:
            v = random.generate();
            text = QLatin1Char('$') + QString::number(v, 16);
            if (random.bounded(2))
                text = text.toUpper();
            break;
        case 2:
            v = random.bounded(256u);
            text = QLatin1Char('%') + QString::number(v, 2);
            break;
        case 3: {
            static const char* const names[] = {"d0", "D1", "d7", "a0", "A6", "a7", "pc", "Usp", "ssp"};
            const char* name = names[random.bounded(9)];
            text = QLatin1String(name);
            QString upper = text.toUpper();
            if (upper == QLatin1String("PC"))
                v = registers.pc;
            else if (upper == QLatin1String("USP"))
                v = registers.usp;
            else if (upper == QLatin1String("SSP"))
                v = registers.ssp;
            else if (upper[0] == QLatin1Char('D'))
                v = registers.d[upper[1].unicode() - '0'];
            else
                v = registers.AnRef(unsigned(upper[1].unicode() - '0'));
            break;
        }
        case 4: {
            static const char* const flags[] = {"c", "V", "z", "N", "x", "I", "s", "T", "SR"};
            static const int shifts[] = {0, 1, 2, 3, 4, 8, 13, 15, 0};
            static const quint32 widths[] = {1, 1, 1, 1, 1, 7, 1, 1, 0xFFFF};
            const int i = int(random.bounded(9));
            text = QLatin1String(flags[i]);
            width = widths[i];
            v = (registers.sr >> shifts[i]) & widths[i];
            break;
        }
        case 5: {
            const char quote = random.bounded(2) ? '\'' : '"';
            const int count = 1 + int(random.bounded(4));
            text += QLatin1Char(quote);
            for (int i = 0; i < count; ++i) {
                char c;
                do
                    c = char(' ' + random.bounded(95));
                while (c == quote || c == '(' || c == ')');
                text += QLatin1Char(c);
                v = (v << 8) | quint8(c);
            }
            text += QLatin1Char(quote);
            break;
        }
        default:
            text = QLatin1Char('(') + Expression(depth - 1, &v) + QLatin1Char(')');
            break;
        }
        if (tildes & 1)
            v = ~v & width;
        *value = v;
        return QString(tildes, QLatin1Char('~')) + text;
    }

    const Register& registers;
    QRandomGenerator random;
};

} // namespace

class CalculatorTest : public QObject
{
    Q_OBJECT

public:
    CalculatorTest() : calculator(&registers) { FillRegisters(registers); }

private:
    Register registers;
    Calculator calculator;

    void Evaluate(const QString& text)
    {
        calculator.expression = text;
        calculator.Calculate();
    }

    // The span must be a selection that a line edit makes of the text as typed.
    void CheckSpan(const QString& text)
    {
        QVERIFY2(calculator.errorStart >= 0 && calculator.errorStart <= calculator.errorEnd
                     && calculator.errorEnd <= text.size(),
                 qPrintable(QString("span %1-%2 in %3 characters").arg(calculator.errorStart).arg(calculator.errorEnd).arg(text.size())));
        // Never between the two halves of a surrogate pair.
        for (int edge : {calculator.errorStart, calculator.errorEnd}) {
            if (edge > 0 && edge < text.size())
                QVERIFY(!(text[edge - 1].isHighSurrogate() && text[edge].isLowSurrogate()));
        }
    }

private slots:
    void initTestCase()
    {
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    }

    void init()
    {
        FillRegisters(registers);
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    }

    void startsEmpty()
    {
        Calculator fresh(&registers);
        QCOMPARE(fresh.expression, QString());
        QCOMPARE(fresh.result, 0u);
        QVERIFY(!fresh.valid);
        QCOMPARE(fresh.errorStart, 0);
        QCOMPARE(fresh.errorEnd, 0);
    }

    void values_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<uint>("value");

        QTest::newRow("multiplication first") << "2+3*4" << 14u;
        QTest::newRow("bracket first") << "(2+3)*4" << 20u;
        QTest::newRow("minus left to right") << "10-2-3" << 5u;
        QTest::newRow("plus then and") << "1+2&3" << 3u;
        QTest::newRow("and then or") << "6&3|8" << 10u;
        QTest::newRow("xor") << "$F0^$FF" << 0x0Fu;
        QTest::newRow("leading minus") << "-1" << 0xFFFFFFFFu;
        QTest::newRow("complement") << "~0" << 0xFFFFFFFFu;
        QTest::newRow("double complement") << "~~5" << 5u;
        QTest::newRow("leading plus") << "+7" << 7u;
        QTest::newRow("sign applies to the first term") << "-2*3" << 0xFFFFFFFAu;
        QTest::newRow("hexadecimal lower") << "$ff" << 255u;
        QTest::newRow("hexadecimal upper") << "$FF" << 255u;
        QTest::newRow("hexadecimal keeps eight digits") << "$123456789" << 0x23456789u;
        QTest::newRow("binary") << "%1010" << 10u;
        QTest::newRow("binary wraps") << "%1" + QString(32, QLatin1Char('0')) + "1" << 1u;
        QTest::newRow("one character") << "'A'" << 0x41u;
        QTest::newRow("two characters") << "'AB'" << 0x4142u;
        QTest::newRow("four characters") << "'ABCD'" << 0x41424344u;
        QTest::newRow("double quotes") << "\"AB\"" << 0x4142u;
        QTest::newRow("other quote inside") << "\"A'\"" << 0x4127u;
        QTest::newRow("operator inside quotes") << "'+'" << 0x2Bu;
        QTest::newRow("blank inside quotes") << "' '+1" << 0x21u;
        QTest::newRow("bracket inside quotes") << "')'" << 0x29u;
        QTest::newRow("truncating division") << "7/2" << 3u;
        QTest::newRow("product and quotient left to right") << "10/3*3" << 9u;
        QTest::newRow("unsigned division") << "$FFFFFFFF/2" << 0x7FFFFFFFu;
        QTest::newRow("sign before a quotient") << "-1/2" << 0u;
        QTest::newRow("addition wraps") << "$FFFFFFFF+1" << 0u;
        QTest::newRow("product keeps 32 bits") << "$80000001*2" << 2u;
        QTest::newRow("largest unsigned decimal") << "4294967295" << 0xFFFFFFFFu;
        QTest::newRow("decimal wraps past 32 bits") << "4294967296" << 0u;
        QTest::newRow("leading zeros") << "0007" << 7u;
        QTest::newRow("nested brackets") << "((1+(2*3))*2)" << 14u;
        QTest::newRow("complemented bracket") << "~(1)" << 0xFFFFFFFEu;
        QTest::newRow("bracket then operator") << "(1)*2+(3)" << 5u;

        QTest::newRow("data register") << "d0+4" << 0x104u;
        QTest::newRow("data register upper") << "D7" << 0x12345678u;
        QTest::newRow("address register") << "A6" << 0xA6A6u;
        QTest::newRow("A7 is the supervisor stack") << "a7" << 0x8000u;
        QTest::newRow("program counter") << "pc" << 0x1234u;
        QTest::newRow("status register") << "SR" << 0x2715u;
        QTest::newRow("user stack") << "usp" << 0x7000u;
        QTest::newRow("supervisor stack") << "Ssp" << 0x8000u;
        QTest::newRow("carry") << "C" << 1u;
        QTest::newRow("flag beats hexadecimal") << "c" << 1u;
        QTest::newRow("hexadecimal digit with dollar") << "$C" << 12u;
        QTest::newRow("overflow") << "v" << 0u;
        QTest::newRow("zero") << "Z" << 1u;
        QTest::newRow("negative") << "n" << 0u;
        QTest::newRow("extend") << "x" << 1u;
        QTest::newRow("interrupt mask") << "I" << 7u;
        QTest::newRow("supervisor") << "s" << 1u;
        QTest::newRow("trace") << "T" << 0u;
        QTest::newRow("complemented carry keeps one bit") << "~C" << 0u;
        QTest::newRow("complemented overflow") << "~V" << 1u;
        QTest::newRow("complemented mask keeps three bits") << "~I" << 0u;
        QTest::newRow("complemented trace") << "~t" << 1u;
        QTest::newRow("complemented status register keeps 16 bits") << "~SR" << 0xD8EAu;
        QTest::newRow("complemented register keeps 32 bits") << "~D0" << 0xFFFFFEFFu;
        QTest::newRow("complemented twice") << "~~C" << 1u;
        QTest::newRow("register arithmetic") << "pc+d0*2-a6&$FFFF" << ((0x1234u + 0x200u - 0xA6A6u) & 0xFFFFu);
    }

    void values()
    {
        QFETCH(QString, text);
        QFETCH(uint, value);
        Evaluate(text);
        QVERIFY2(calculator.valid, qPrintable(QString("span %1-%2").arg(calculator.errorStart).arg(calculator.errorEnd)));
        QCOMPARE(calculator.result, value);
        QCOMPARE(calculator.errorStart, 0);
        QCOMPARE(calculator.errorEnd, 0);

        // The byte-string entry point agrees.
        const QByteArray bytes = text.toLatin1();
        unsigned int direct = 0;
        QVERIFY(calculator.GetResult(bytes.constData(), &direct));
        QCOMPARE(direct, value);
    }

    void errors_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");

        QTest::newRow("division by zero") << "7/0" << 0 << 3;
        QTest::newRow("blanks are invalid") << "1 + 2" << 0 << 2;
        QTest::newRow("unknown name") << "5+q" << 2 << 3;
        QTest::newRow("missing term") << "5+" << 2 << 2;
        QTest::newRow("junk after a bracket") << "(1)x2" << 0 << 5;
        QTest::newRow("sign inside a term") << "3*-2" << 0 << 2;
        QTest::newRow("empty constant") << "''" << 0 << 2;
        QTest::newRow("five characters") << "'ABCDE'" << 0 << 7;
        QTest::newRow("unterminated constant") << "1+'AB" << 2 << 5;
        QTest::newRow("quote at the very end") << "'" << 0 << 1;
        QTest::newRow("leading and") << "&1" << 0 << 2;
        QTest::newRow("leading or") << "|1" << 0 << 2;
        QTest::newRow("leading xor") << "^1" << 0 << 2;
        QTest::newRow("two signs") << "--5" << 1 << 1;
        QTest::newRow("sign alone") << "-" << 1 << 1;
        QTest::newRow("tilde alone") << "~" << 0 << 1;
        QTest::newRow("dollar alone") << "$" << 0 << 1;
        QTest::newRow("percent alone") << "%" << 0 << 1;
        QTest::newRow("not binary") << "%102" << 0 << 4;
        QTest::newRow("not hexadecimal") << "$1G" << 0 << 3;
        QTest::newRow("two operators") << "1**2" << 0 << 4;
        QTest::newRow("trailing product") << "1*" << 0 << 2;
        QTest::newRow("empty bracket") << "()" << 0 << 2;
        QTest::newRow("unclosed bracket") << "1-(2" << 2 << 4;
        QTest::newRow("unopened bracket") << "1+2)" << 2 << 4;
        QTest::newRow("term inside a bracket spans the bracket") << "1+(2+q)-3" << 2 << 7;
        QTest::newRow("bad first term") << "(1+q)+3" << 0 << 5;
        QTest::newRow("number against a name") << "12ab" << 0 << 4;
        QTest::newRow("condition code register is no name") << "CCR" << 0 << 3;
        QTest::newRow("interrupt bits are no names") << "I0" << 0 << 2;
        QTest::newRow("no eighth data register") << "D8" << 0 << 2;
        QTest::newRow("name with a blank") << " D0" << 0 << 3;
        QTest::newRow("hexadecimal prefix of C") << "0x10" << 0 << 4;
        QTest::newRow("decimal comma") << "1,5" << 0 << 3;
    }

    void errors()
    {
        QFETCH(QString, text);
        QFETCH(int, start);
        QFETCH(int, end);
        calculator.result = 0x5555;
        Evaluate(text);
        QVERIFY(!calculator.valid);
        QCOMPARE(calculator.result, 0u);
        QCOMPARE(calculator.errorStart, start);
        QCOMPARE(calculator.errorEnd, end);

        const QByteArray bytes = text.toLatin1();
        unsigned int offset = 0xFFFF;
        QVERIFY(!calculator.GetResult(bytes.constData(), &offset));
        QCOMPARE(int(offset), start);
        QCOMPARE(calculator.NextTerm(bytes.constData(), start), end);
    }

    void emptyTextKeepsTheLastResult()
    {
        Evaluate("$42");
        QVERIFY(calculator.valid);
        Evaluate(QString());
        QVERIFY(!calculator.valid);
        QCOMPARE(calculator.result, 0x42u);
        QCOMPARE(calculator.errorStart, 0);
        QCOMPARE(calculator.errorEnd, 0);
    }

    void successClearsTheLastSpan()
    {
        Evaluate("5+q");
        QCOMPARE(calculator.errorStart, 2);
        Evaluate("5+1");
        QVERIFY(calculator.valid);
        QCOMPARE(calculator.result, 6u);
        QCOMPARE(calculator.errorStart, 0);
        QCOMPARE(calculator.errorEnd, 0);
    }

    void registersAreReadAtEachCalculation()
    {
        Evaluate("A7");
        QCOMPARE(calculator.result, 0x8000u);
        registers.sr &= ~Register::supervisorBit;
        Evaluate("A7");
        QCOMPARE(calculator.result, 0x7000u);
        Evaluate("s");
        QCOMPARE(calculator.result, 0u);
        registers.d[0] = 0xDEAD;
        Evaluate("d0");
        QCOMPARE(calculator.result, 0xDEADu);
    }

    void helpers()
    {
        QVERIFY(calculator.IsEndTerm("+1"));
        QVERIFY(calculator.IsEndTerm("^"));
        QVERIFY(calculator.IsEndTerm(""));
        QVERIFY(!calculator.IsEndTerm("*2"));
        QVERIFY(calculator.IsEndNumber("*2"));
        QVERIFY(calculator.IsEndNumber("/2"));
        QVERIFY(calculator.IsEndNumber("|"));
        QVERIFY(!calculator.IsEndNumber(")"));
        QVERIFY(!calculator.IsEndNumber(" "));

        QCOMPARE(calculator.NextTerm("abc", 0), 3);
        QCOMPARE(calculator.NextTerm("a+b", 0), 1);
        QCOMPARE(calculator.NextTerm("a+b", 1), 1);
        QCOMPARE(calculator.NextTerm("(a+b)-c", 0), 5);
        QCOMPARE(calculator.NextTerm("((a-b)+c)", 0), 9);
        QCOMPARE(calculator.NextTerm("((a-b)+c)", 1), 6);
        QCOMPARE(calculator.NextTerm("a)+b", 0), 2);
        QCOMPARE(calculator.NextTerm("ab", 7), 2);
        QCOMPARE(calculator.NextTerm("+ab", -3), 0);

        char nested[] = "(1+(2))*3";
        QCOMPARE(calculator.NextCloseBracket(nested), nested + 6);
        char inner[] = "(1+(2))*3";
        QCOMPARE(calculator.NextCloseBracket(inner + 3), inner + 5);
        char open[] = "((1)";
        QCOMPARE(calculator.NextCloseBracket(open), static_cast<char*>(nullptr));

        const char digits[] = "0123456789abcdefABCDEFgG$ ";
        const unsigned int values[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15,
                                       10, 11, 12, 13, 14, 15, 0, 0, 0, 0};
        for (int i = 0; digits[i]; ++i)
            QCOMPARE(calculator.atoi_hex4(digits[i]), values[i]);
    }

    void parsingStepsAdvanceOnlyOnSuccess_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("step");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<int>("consumed");
        QTest::addColumn<uint>("value");

        // Steps: 0 decimal, 1 hexadecimal, 2 binary, 3 name, 4 character, 5 bracket,
        // 6 factor, 7 term, 8 expression.
        QTest::newRow("decimal before an operator") << QByteArray("12+3") << 0 << true << 2 << 12u;
        QTest::newRow("decimal before junk") << QByteArray("12x") << 0 << false << 0 << 0u;
        QTest::newRow("hexadecimal") << QByteArray("$1f*2") << 1 << true << 3 << 31u;
        QTest::newRow("hexadecimal without digits") << QByteArray("$+1") << 1 << false << 0 << 0u;
        QTest::newRow("binary") << QByteArray("%11/") << 2 << true << 3 << 3u;
        QTest::newRow("binary with a two") << QByteArray("%12") << 2 << false << 0 << 0u;
        QTest::newRow("name") << QByteArray("d7&1") << 3 << true << 2 << 0x12345678u;
        QTest::newRow("name too long") << QByteArray("d7x") << 3 << false << 0 << 0u;
        QTest::newRow("character") << QByteArray("'ab'|1") << 4 << true << 4 << 0x6162u;
        QTest::newRow("character without end") << QByteArray("'ab") << 4 << false << 0 << 0u;
        QTest::newRow("bracket") << QByteArray("(1+2)*3") << 5 << true << 5 << 3u;
        QTest::newRow("bracket followed by junk") << QByteArray("(1)2") << 5 << false << 0 << 0u;
        QTest::newRow("factor") << QByteArray("~$F0*2") << 6 << true << 4 << 0xFFFFFF0Fu;
        QTest::newRow("term") << QByteArray("2*3+1") << 7 << true << 3 << 6u;
        QTest::newRow("expression") << QByteArray("2*3+1") << 8 << true << 5 << 7u;
        QTest::newRow("expression with junk") << QByteArray("2*3+1 ") << 8 << false << 0 << 0u;
    }

    void parsingStepsAdvanceOnlyOnSuccess()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, step);
        QFETCH(bool, ok);
        QFETCH(int, consumed);
        QFETCH(uint, value);
        std::vector<char> buffer(text.constData(), text.constData() + text.size() + 1);
        char* position = buffer.data();
        unsigned int v = 0;
        bool result = false;
        switch (step) {
        case 0: result = calculator.GetDeci(&position, &v); break;
        case 1: result = calculator.GetHexa(&position, &v); break;
        case 2: result = calculator.GetBin(&position, &v); break;
        case 3: result = calculator.GetReg(&position, &v); break;
        case 4: result = calculator.GetAsc(&position, &v); break;
        case 5: result = calculator.GetBracket(&position, &v); break;
        case 6: result = calculator.GetNumber(&position, &v); break;
        case 7: result = calculator.GetTerm(&position, &v); break;
        default: result = calculator.GetExpr(&position, &v); break;
        }
        QCOMPARE(result, ok);
        QCOMPARE(int(position - buffer.data()), consumed);
        if (ok)
            QCOMPARE(v, value);
        // No step leaves a mark in the text.
        QCOMPARE(QByteArray(buffer.data()), text);
    }

    void nullTextIsAFailure()
    {
        unsigned int value = 7;
        QVERIFY(!calculator.GetResult(nullptr, &value));
        QCOMPARE(value, 0u);
    }

    void noRegisterSetMeansNoNames()
    {
        Calculator bare(nullptr);
        bare.expression = "d0";
        bare.Calculate();
        QVERIFY(!bare.valid);
        bare.expression = "$10+2";
        bare.Calculate();
        QVERIFY(bare.valid);
        QCOMPARE(bare.result, 0x12u);
    }

    // What a dialog does after a failure: select the span in the line edit.
    void spansSelectTheFaultyTerm_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("selected");

        QTest::newRow("blank") << "1 + 2" << "1 ";
        QTest::newRow("second term") << "5+q-1" << "q";
        QTest::newRow("bracket") << "1+(2+q)-3" << "(2+q)";
        QTest::newRow("accent") << Utf16(u"d0+\u00e9t\u00e9-1") << Utf16(u"\u00e9t\u00e9");
        QTest::newRow("euro") << Utf16(u"1+\u20ac5") << Utf16(u"\u20ac5");
        QTest::newRow("accent first") << Utf16(u"\u00e9+1") << Utf16(u"\u00e9");
        QTest::newRow("emoji") << Utf16(u"1+\U0001F600+2") << Utf16(u"\U0001F600");
        QTest::newRow("emoji pair then text") << Utf16(u"\U0001F600\U0001F601x-1") << Utf16(u"\U0001F600\U0001F601x");
        QTest::newRow("after non-Latin-1 text") << Utf16(u"'\u20ac'+\u00e9\u00e9+q") << Utf16(u"\u00e9\u00e9");
        QTest::newRow("control character") << QString("1+2\t") << QString("2\t");
        QTest::newRow("nul character") << QString("1+") + QChar(0) + QString("-3") << QString(QChar(0));
        QTest::newRow("unterminated quote with accent") << Utf16(u"1+'\u00e9") << Utf16(u"'\u00e9");
        QTest::newRow("unbalanced bracket") << "2*(3+4" << "2*(3+4";
    }

    void spansSelectTheFaultyTerm()
    {
        QFETCH(QString, text);
        QFETCH(QString, selected);
        Evaluate(text);
        QVERIFY(!calculator.valid);
        CheckSpan(text);

        QLineEdit edit;
        edit.setText(text);
        QCOMPARE(edit.text(), text);
        edit.setSelection(calculator.errorStart, calculator.errorEnd - calculator.errorStart);
        QCOMPARE(edit.selectedText(), selected);
    }

    // Character constants take the text's bytes in the local 8-bit encoding.
    void characterConstantsFollowTheLocalEncoding()
    {
        Evaluate(Utf16(u"'\u00e9'"));
        QVERIFY(calculator.valid);
        QCOMPARE(calculator.result, 0xC3A9u);
        Evaluate(Utf16(u"'\u20ac'"));
        QVERIFY(calculator.valid);
        QCOMPARE(calculator.result, 0xE282ACu);
        Evaluate(Utf16(u"'\U0001F600'"));
        QVERIFY(calculator.valid);
        QCOMPARE(calculator.result, 0xF09F9880u);
        // Five bytes are more than a constant holds; the span is still the one character.
        Evaluate(Utf16(u"1+'\U0001F600x'"));
        QVERIFY(!calculator.valid);
        QCOMPARE(calculator.errorStart, 2);
        QCOMPARE(calculator.errorEnd, 7);

        QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
        Evaluate(Utf16(u"'\u00e9\u00e9\u00e9\u00e9'"));
        QVERIFY(calculator.valid);
        QCOMPARE(calculator.result, 0xE9E9E9E9u);
        Evaluate(Utf16(u"\u00e9+1"));
        QVERIFY(!calculator.valid);
        QCOMPARE(calculator.errorStart, 0);
        QCOMPARE(calculator.errorEnd, 1);
        // Unrepresentable: the codec's substitute, never a wrong span.
        Evaluate(Utf16(u"1-\u20ac\U0001F600-2"));
        QVERIFY(!calculator.valid);
        QCOMPARE(calculator.errorStart, 2);
        QCOMPARE(calculator.errorEnd, 5);
    }

    void embeddedNulIsACharacterLikeAnyOther()
    {
        // Outside quotes it is invalid and does not end the text early.
        Evaluate(QString("1") + QChar(0) + QString("+2"));
        QVERIFY(!calculator.valid);
        QCOMPARE(calculator.errorStart, 0);
        QCOMPARE(calculator.errorEnd, 2);
        Evaluate(QString("7") + QChar(0));
        QVERIFY(!calculator.valid);
        // Inside quotes it is the byte 0.
        Evaluate(QString("'A") + QChar(0) + QString("'"));
        QVERIFY(calculator.valid);
        QCOMPARE(calculator.result, 0x4100u);
    }

    void longAndDeepTexts()
    {
        QString sum;
        for (int i = 0; i < 5000; ++i)
            sum += i ? "+1" : "1";
        QCOMPARE(sum.size(), 9999);
        Evaluate(sum);
        QVERIFY(calculator.valid);
        QCOMPARE(calculator.result, 5000u);

        Evaluate(sum + "+q");
        QVERIFY(!calculator.valid);
        QCOMPARE(calculator.errorStart, 10000);
        QCOMPARE(calculator.errorEnd, 10001);

        Evaluate(QString(10000, QLatin1Char('~')) + "5");
        QVERIFY(calculator.valid);
        QCOMPARE(calculator.result, 5u);

        Evaluate(QString(10000, QLatin1Char('9')));
        QVERIFY(calculator.valid);

        Evaluate(QString(10000, QLatin1Char('(')));
        QVERIFY(!calculator.valid);
        QCOMPARE(calculator.errorStart, 0);
        QCOMPARE(calculator.errorEnd, 10000);

        Evaluate(QString(10000, QLatin1Char(')')));
        QVERIFY(!calculator.valid);

        Evaluate("'" + QString(10000, QLatin1Char('A')));
        QVERIFY(!calculator.valid);
        QCOMPARE(calculator.errorEnd, 10001);

        // Brackets as deep as a person might nest them work...
        Evaluate(QString(200, QLatin1Char('(')) + "6" + QString(200, QLatin1Char(')')) + "*7");
        QVERIFY(calculator.valid);
        QCOMPARE(calculator.result, 42u);
        // ...and absurd depths are refused, not followed down the stack.
        const QString deep = "1+" + QString(16000, QLatin1Char('(')) + "1" + QString(16000, QLatin1Char(')'));
        Evaluate(deep);
        QVERIFY(!calculator.valid);
        QCOMPARE(calculator.errorStart, 2);
        QCOMPARE(calculator.errorEnd, deep.size());

        QString emoji;
        for (int i = 0; i < 5000; ++i)
            emoji += Utf16(u"\U0001F600");
        Evaluate("1+" + emoji);
        QVERIFY(!calculator.valid);
        QCOMPARE(calculator.errorStart, 2);
        QCOMPARE(calculator.errorEnd, 10002);
    }

    // Random text over an alphabet of everything a user might type or paste: never a
    // crash or a span outside the text, and for plain ASCII the same answer as the byte
    // string entry point.
    void randomTextKeepsSpansInsideTheText()
    {
        static const char16_t alphabet[] = u"0123456789$%~+-*/&|^()'\" dDaAcCxXpPsSrRuUqQ\t\u00e9\u20ac\U0001F600";
        const int letters = int(sizeof alphabet / sizeof alphabet[0]) - 1;
        QRandomGenerator random(0x5EED);
        for (int round = 0; round < 20000; ++round) {
            const int length = int(random.bounded(14));
            QString text;
            bool ascii = true;
            for (int i = 0; i < length; ++i) {
                const int pick = int(random.bounded(letters + 3));
                if (pick == letters) {
                    text += QChar(0);
                    ascii = false;
                } else if (pick == letters + 1) {
                    text += QChar(0xD800); // a lone surrogate
                    ascii = false;
                } else if (pick == letters + 2) {
                    text += QChar(0x01);
                } else {
                    text += QChar(alphabet[pick]);
                    ascii = ascii && alphabet[pick] < 0x80;
                }
            }
            Evaluate(text);
            if (calculator.valid) {
                QCOMPARE(calculator.errorStart, 0);
                QCOMPARE(calculator.errorEnd, 0);
            } else if (!text.isEmpty()) {
                CheckSpan(text);
            }
            if (ascii && !text.isEmpty()) {
                const QByteArray bytes = text.toLatin1();
                unsigned int value = 0;
                const bool ok = calculator.GetResult(bytes.constData(), &value);
                QCOMPARE(ok, calculator.valid);
                if (ok) {
                    QCOMPARE(value, calculator.result);
                } else {
                    QCOMPARE(int(value), calculator.errorStart);
                    QCOMPARE(calculator.NextTerm(bytes.constData(), int(value)), calculator.errorEnd);
                }
            }
        }
    }

    void randomExpressionsHaveTheirValues()
    {
        ExpressionMaker maker(registers, 1234);
        for (int round = 0; round < 5000; ++round) {
            quint32 expected = 0;
            const QString text = maker.Expression(3, &expected);
            Evaluate(text);
            QVERIFY2(calculator.valid, qPrintable(text));
            QVERIFY2(calculator.result == expected,
                     qPrintable(QString("%1: %2 instead of %3").arg(text).arg(calculator.result, 0, 16).arg(expected, 0, 16)));
        }
    }
};

int main(int argc, char** argv)
{
    // The span checks use a real line edit.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    CalculatorTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_calculator.moc"
