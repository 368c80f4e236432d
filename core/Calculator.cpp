#include "core/Calculator.h"

#include "core/Hex.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "core/SymbolNames.h"

#include <QTextCodec>

#include <cstring>
#include <memory>
#include <vector>

namespace {

bool IsOperator(char c)
{
    return c == '+' || c == '-' || c == '&' || c == '|' || c == '^';
}

// ASCII only: the bytes of other characters are no letters here, whatever the locale.
char UpperAscii(char c)
{
    return (c >= 'a' && c <= 'z') ? char(c - 'a' + 'A') : c;
}

// The text in the local 8-bit encoding, each byte tagged with the UTF-16 position of the
// character it encodes, so that offsets in the bytes become positions that a line edit
// can select.
struct EncodedText
{
    std::vector<char> bytes;
    std::vector<int> owner;

    explicit EncodedText(const QString& text)
    {
        const int length = text.size();
        bytes.reserve(std::size_t(length) + 1);
        owner.reserve(std::size_t(length) + 1);
        QTextCodec* codec = QTextCodec::codecForLocale();
        std::unique_ptr<QTextEncoder> encoder(codec ? codec->makeEncoder(QTextCodec::IgnoreHeader) : nullptr);
        int i = 0;
        while (i < length) {
            // A surrogate pair is one character: encode it whole.
            const int n = (text[i].isHighSurrogate() && i + 1 < length && text[i + 1].isLowSurrogate()) ? 2 : 1;
            const QByteArray piece = encoder ? encoder->fromUnicode(text.constData() + i, n) : text.mid(i, n).toLatin1();
            for (char c : piece) {
                bytes.push_back(c);
                owner.push_back(i);
            }
            i += n;
        }
        owner.push_back(length);
        bytes.push_back('\0');
    }

    int Length() const { return int(bytes.size()) - 1; }

    int StartPosition(int offset) const { return owner[std::size_t(offset)]; }

    // An end that falls inside a character's bytes moves past that character.
    int EndPosition(int offset) const
    {
        while (offset > 0 && offset < Length() && owner[std::size_t(offset)] == owner[std::size_t(offset - 1)])
            ++offset;
        return owner[std::size_t(offset)];
    }
};

} // namespace

Calculator::Calculator(Register* registers)
    : registers(registers), result(0), valid(false), errorStart(0), errorEnd(0)
{
}

Calculator::~Calculator() = default;

void Calculator::Calculate()
{
    errorStart = 0;
    errorEnd = 0;
    if (expression.isEmpty()) {
        valid = false;
        return;
    }
    EncodedText text(expression);
    const int length = text.Length();
    unsigned int value = 0;
    int failure = 0;
    if (Evaluate(text.bytes.data(), length, &value, &failure)) {
        valid = true;
        result = value;
        return;
    }
    valid = false;
    result = 0;
    // The parse wrote nothing into the bytes, so the span is measured on the text as typed.
    const int end = NextTerm(text.bytes.data(), length, failure);
    errorStart = text.StartPosition(failure);
    errorEnd = qMax(errorStart, text.EndPosition(end));
}

bool Calculator::GetResult(const char* text, unsigned int* value) const
{
    if (!text) {
        *value = 0;
        return false;
    }
    const std::size_t length = std::strlen(text);
    std::vector<char> scratch(text, text + length + 1);
    int failure = 0;
    if (Evaluate(scratch.data(), int(length), value, &failure))
        return true;
    *value = unsigned(failure);
    return false;
}

bool Calculator::Evaluate(const QByteArray& text, unsigned int* value, int* failure) const
{
    // The parse only reads the text.
    return Evaluate(const_cast<char*>(text.constData()), text.size(), value, failure);
}

bool Calculator::Evaluate(char* text, int length, unsigned int* value, int* failure) const
{
    dividedByZero = false;
    end = text + length;
    depth = 0;
    char* position = text;
    char* reached = text;
    unsigned int v = 0;
    const bool ok = ParseExpression(&position, &v, &reached);
    end = nullptr;
    if (ok)
        *value = v;
    else
        *failure = int(reached - text);
    return ok;
}

// expression: [+|-] term { operator term }, all operators of one precedence, left to
// right. *reached follows the beginning of the term being parsed.
bool Calculator::ParseExpression(char** position, unsigned int* value, char** reached) const
{
    char* p = *position;
    *reached = p;
    unsigned int accumulator = 0;
    char op = '+';
    if (!AtEnd(p) && (*p == '+' || *p == '-')) {
        op = *p;
        ++p;
        *reached = p;
    }
    for (;;) {
        unsigned int term = 0;
        if (!GetTerm(&p, &term))
            return false;
        switch (op) {
        case '+': accumulator += term; break;
        case '-': accumulator -= term; break;
        case '&': accumulator &= term; break;
        case '|': accumulator |= term; break;
        default: accumulator ^= term; break;
        }
        if (AtEnd(p))
            break;
        op = *p;
        if (!IsOperator(op))
            return false;
        ++p;
        *reached = p;
    }
    *position = p;
    *value = accumulator;
    return true;
}

bool Calculator::GetExpr(char** position, unsigned int* value) const
{
    char* reached = *position;
    return ParseExpression(position, value, &reached);
}

// term: factor { (* or /) factor }, ending where an additive or bitwise operator or the
// end of the text follows.
bool Calculator::GetTerm(char** position, unsigned int* value) const
{
    char* p = *position;
    unsigned int accumulator = 0;
    if (!GetNumber(&p, &accumulator))
        return false;
    while (!IsEndTerm(p)) {
        const char op = *p;
        if (op != '*' && op != '/')
            return false;
        ++p;
        unsigned int factor = 0;
        if (!GetNumber(&p, &factor))
            return false;
        if (op == '*') {
            accumulator *= factor;
        } else {
            if (factor == 0) {
                dividedByZero = true;
                return false;
            }
            accumulator /= factor;
        }
    }
    *position = p;
    *value = accumulator;
    return true;
}

// factor: any number of "~", then the first form that matches. A complemented flag keeps
// its width.
bool Calculator::GetNumber(char** position, unsigned int* value) const
{
    char* p = *position;
    bool complement = false;
    while (!AtEnd(p) && *p == '~') {
        complement = !complement;
        ++p;
    }
    unsigned int v = 0;
    unsigned int width = 0xFFFFFFFFu;
    if (!GetDeci(&p, &v) && !GetHexa(&p, &v) && !GetBin(&p, &v) && !GetName(&p, &v, &width)
        && !GetAsc(&p, &v) && !GetBracket(&p, &v) && !GetSymbol(&p, &v) && !GetMemory(&p, &v))
        return false;
    if (complement)
        v = ~v & width;
    *position = p;
    *value = v;
    return true;
}

bool Calculator::GetDeci(char** position, unsigned int* value) const
{
    char* p = *position;
    unsigned int v = 0;
    int digits = 0;
    // Beyond 32 bits the value wraps, as the hexadecimal and binary forms do.
    while (!IsEndNumber(p) && *p >= '0' && *p <= '9') {
        v = v * 10u + unsigned(*p - '0');
        ++p;
        ++digits;
    }
    if (digits == 0 || !IsEndNumber(p))
        return false;
    *position = p;
    *value = v;
    return true;
}

bool Calculator::GetHexa(char** position, unsigned int* value) const
{
    char* p = *position;
    if (IsEndNumber(p) || *p != '$')
        return false;
    ++p;
    unsigned int v = 0;
    int digits = 0;
    while (!IsEndNumber(p) && Hex::Digit(*p) >= 0) {
        v = v * 16u + atoi_hex4(*p);
        ++p;
        ++digits;
    }
    if (digits == 0 || !IsEndNumber(p))
        return false;
    *position = p;
    *value = v;
    return true;
}

bool Calculator::GetBin(char** position, unsigned int* value) const
{
    char* p = *position;
    if (IsEndNumber(p) || *p != '%')
        return false;
    ++p;
    unsigned int v = 0;
    int digits = 0;
    while (!IsEndNumber(p) && (*p == '0' || *p == '1')) {
        v = v * 2u + unsigned(*p - '0');
        ++p;
        ++digits;
    }
    if (digits == 0 || !IsEndNumber(p))
        return false;
    *position = p;
    *value = v;
    return true;
}

bool Calculator::GetReg(char** position, unsigned int* value) const
{
    unsigned int width = 0;
    return GetName(position, value, &width);
}

bool Calculator::GetName(char** position, unsigned int* value, unsigned int* width) const
{
    if (!registers)
        return false;
    char* p = *position;
    // No name is longer than three characters.
    char name[4] = {};
    int length = 0;
    while (!IsEndNumber(p)) {
        if (length == 3)
            return false;
        name[length++] = UpperAscii(*p);
        ++p;
    }
    if (length == 0)
        return false;

    const Register& r = *registers;
    unsigned int v = 0;
    unsigned int w = 0xFFFFFFFFu;
    if (length == 2 && (name[0] == 'D' || name[0] == 'A') && name[1] >= '0' && name[1] <= '7') {
        const unsigned int n = unsigned(name[1] - '0');
        v = name[0] == 'D' ? r.d[n] : r.AnRef(n);
    } else if (std::strcmp(name, "PC") == 0) {
        v = r.pc;
    } else if (std::strcmp(name, "SR") == 0) {
        v = r.sr;
        w = 0xFFFF;
    } else if (std::strcmp(name, "USP") == 0) {
        v = r.usp;
    } else if (std::strcmp(name, "SSP") == 0) {
        v = r.ssp;
    } else if (length == 1) {
        int bit;
        switch (name[0]) {
        case 'C': bit = 0; break;
        case 'V': bit = 1; break;
        case 'Z': bit = 2; break;
        case 'N': bit = 3; break;
        case 'X': bit = 4; break;
        case 'S': bit = 13; break;
        case 'T': bit = 15; break;
        case 'I': bit = -1; break;
        default: return false;
        }
        if (bit < 0) {
            v = (r.sr >> 8) & 7;
            w = 7;
        } else {
            v = (r.sr >> bit) & 1;
            w = 1;
        }
    } else {
        return false;
    }
    *position = p;
    *value = v;
    *width = w;
    return true;
}

// Tried last, so that every text that meant something without symbols means the same.
bool Calculator::GetSymbol(char** position, unsigned int* value) const
{
    if (!symbols || symbols->IsEmpty())
        return false;
    char* p = *position;
    while (!IsEndNumber(p))
        ++p;
    if (!symbols->AddressOf(*position, int(p - *position), value))
        return false;
    *position = p;
    return true;
}

// "[" expression "]" then ".b", ".w" or ".l" (a long word without one): the big-endian
// value at that address, as the processor would read it but without its alignment rule.
bool Calculator::GetMemory(char** position, unsigned int* value) const
{
    char* p = *position;
    if (!memory || AtEnd(p) || *p != '[' || depth >= maximumDepth)
        return false;
    int level = 0;
    char* close = nullptr;
    for (char* q = p; !AtEnd(q); ++q) {
        if (*q == '[') {
            ++level;
        } else if (*q == ']' && --level == 0) {
            close = q;
            break;
        }
    }
    unsigned int address = 0;
    if (!close || close == p + 1 || !ParseEnclosed(p, close, &address))
        return false;
    p = close + 1;
    int size = 32;
    if (!AtEnd(p) && *p == '.' && !AtEnd(p + 1)) {
        switch (UpperAscii(p[1])) {
        case 'B': size = 8; break;
        case 'W': size = 16; break;
        case 'L': size = 32; break;
        default: return false;
        }
        p += 2;
    }
    if (!IsEndNumber(p))
        return false;
    *position = p;
    *value = memory->Read(address, size);
    return true;
}

// 'c' to 'cccc' (or with double quotes), packed big-endian. The closing quote must come
// before the end of the text; the scan never goes past it.
bool Calculator::GetAsc(char** position, unsigned int* value) const
{
    char* p = *position;
    if (AtEnd(p))
        return false;
    const char quote = *p;
    if (quote != '\'' && quote != '"')
        return false;
    ++p;
    unsigned int v = 0;
    int count = 0;
    for (;;) {
        if (AtEnd(p))
            return false;
        if (*p == quote)
            break;
        if (count == 4)
            return false;
        v = (v << 8) | static_cast<unsigned char>(*p);
        ++count;
        ++p;
    }
    if (count == 0)
        return false;
    ++p;
    if (!IsEndNumber(p))
        return false;
    *position = p;
    *value = v;
    return true;
}

// "(" expression ")": the text between the brackets must be a complete expression.
bool Calculator::GetBracket(char** position, unsigned int* value) const
{
    char* p = *position;
    if (IsEndNumber(p) || *p != '(')
        return false;
    if (!IsEndNumber(p + 1) && p[1] == ')')
        return false;
    if (depth >= maximumDepth)
        return false;
    char* close = NextCloseBracket(p);
    if (!close)
        return false;

    unsigned int v = 0;
    if (!ParseEnclosed(p, close, &v) || !IsEndNumber(close + 1))
        return false;
    *position = close + 1;
    *value = v;
    return true;
}

// The text between an opening character and its closing one, as a complete expression.
bool Calculator::ParseEnclosed(char* open, char* close, unsigned int* value) const
{
    const char* outerEnd = end;
    end = close;
    ++depth;
    char* inner = open + 1;
    char* reached = inner;
    const bool ok = ParseExpression(&inner, value, &reached);
    --depth;
    end = outerEnd;
    return ok;
}

bool Calculator::IsEndTerm(const char* position) const
{
    if (AtEnd(position))
        return true;
    return IsOperator(*position);
}

bool Calculator::IsEndNumber(const char* position) const
{
    if (IsEndTerm(position))
        return true;
    return *position == '*' || *position == '/';
}

int Calculator::NextTerm(const char* text, int offset) const
{
    if (!text)
        return 0;
    return NextTerm(text, int(std::strlen(text)), offset);
}

int Calculator::NextTerm(const char* text, int length, int offset) const
{
    offset = qBound(0, offset, length);
    int level = 0;
    for (int i = offset; i < length; ++i) {
        const char c = text[i];
        if ((c == '+' || c == '-') && level <= 0)
            return i;
        if (c == '(')
            ++level;
        else if (c == ')')
            --level;
    }
    return length;
}

// The ")" that closes the "(" at position, counting nested brackets; null if none does
// before the end of the text.
char* Calculator::NextCloseBracket(char* position) const
{
    int level = 0;
    for (char* p = position; !AtEnd(p); ++p) {
        if (*p == '(') {
            ++level;
        } else if (*p == ')') {
            if (--level == 0)
                return p;
        }
    }
    return nullptr;
}

unsigned int Calculator::atoi_hex4(char digit) const
{
    const int value = Hex::Digit(digit);
    return value < 0 ? 0u : unsigned(value);
}
