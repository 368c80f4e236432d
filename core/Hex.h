#ifndef ZENDRA_CORE_HEX_H
#define ZENDRA_CORE_HEX_H

#include <QByteArray>
#include <QString>

// Hexadecimal digits written and read by hand rather than by Qt's number conversions: the
// views format a full page on every paint and zendra-run a trace line per instruction, so
// the digits go straight into the string with one resize, and no temporary string is made.
class Hex
{
public:
    // Upper case is what the user sees; the GDB protocol's replies are in lower case.
    enum class Case { Upper, Lower };

    // The value of a digit of either case, -1 for any other character.
    static constexpr int Digit(char c)
    {
        return (c >= '0' && c <= '9') ? c - '0'
            : (c >= 'A' && c <= 'F')  ? c - 'A' + 10
            : (c >= 'a' && c <= 'f')  ? c - 'a' + 10
                                      : -1;
    }
    // A character beyond ASCII is no digit, whatever its low byte.
    static int Digit(QChar c) { return c.unicode() < 0x80 ? Digit(char(c.unicode())) : -1; }

    // How many digits the value needs: one for zero.
    static int Length(quint64 value)
    {
        int count = 1;
        while (value >>= 4)
            ++count;
        return count;
    }

    // The lowest `digits` digits of the value, zeros in front where it has fewer, written
    // at `out`; returns where they end. Nothing for a count of 0 or less.
    static char* Write(char* out, quint64 value, int digits, Case letters = Case::Upper)
    {
        return Fill(out, value, digits, letters);
    }
    static QChar* Write(QChar* out, quint64 value, int digits, Case letters = Case::Upper)
    {
        return Fill(out, value, digits, letters);
    }

    // Exactly `digits` digits: a fixed field, where any higher digits are dropped.
    static void Append(QString& text, quint64 value, int digits, Case letters = Case::Upper)
    {
        if (digits <= 0)
            return;
        const int start = text.size();
        text.resize(start + digits);
        Write(text.data() + start, value, digits, letters);
    }
    static void Append(QByteArray& out, quint64 value, int digits, Case letters = Case::Upper)
    {
        if (digits <= 0)
            return;
        const int start = out.size();
        out.resize(start + digits);
        Write(out.data() + start, value, digits, letters);
    }

    // Every digit the value needs, zeros in front up to `width`: a width of 0 pads nothing.
    static void AppendPadded(QString& text, quint64 value, int width)
    {
        const int length = Length(value);
        Append(text, value, width > length ? width : length);
    }
    static QString Text(quint64 value, int width = 0)
    {
        QString text;
        AppendPadded(text, value, width);
        return text;
    }

private:
    static constexpr char upperDigits[] = "0123456789ABCDEF";
    static constexpr char lowerDigits[] = "0123456789abcdef";

    static void Put(char* p, char digit) { *p = digit; }
    static void Put(QChar* p, char digit) { *p = QLatin1Char(digit); }

    // From the last digit back, so that the value's higher digits need no shift past its width.
    template <typename Char>
    static Char* Fill(Char* out, quint64 value, int digits, Case letters)
    {
        const char* const table = letters == Case::Upper ? upperDigits : lowerDigits;
        Char* const end = out + (digits > 0 ? digits : 0);
        for (Char* p = end; p != out; value >>= 4)
            Put(--p, table[value & 15]);
        return end;
    }
};

#endif
