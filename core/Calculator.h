#ifndef ZENDRA_CORE_CALCULATOR_H
#define ZENDRA_CORE_CALCULATOR_H

#include <QString>

class Memory;
class Register;
class SymbolNames;

// Evaluates the expressions that the user types wherever a number is asked for: numbers
// in decimal, "$" hexadecimal and "%" binary, character constants, register and flag
// names, brackets, "~" and the operators + - * / & | ^, on unsigned 32-bit values.
// With a program's symbols, a name that is no register stands for its symbol's address.
// A failure gives the span of the faulty term, in the positions of `expression`, for the
// dialog to select.
class Calculator
{
public:
    explicit Calculator(Register* registers);
    ~Calculator();
    Calculator(const Calculator&) = delete;
    Calculator& operator=(const Calculator&) = delete;

    void Calculate();

    // Evaluates a NUL-terminated text; on failure *value is the offset of the faulty term.
    bool GetResult(const char* text, unsigned int* value) const;
    // Evaluates text in the local 8-bit encoding, as conditions do at every test, without
    // copying it; on failure *failure is the byte offset of the faulty term.
    bool Evaluate(const QByteArray& text, unsigned int* value, int* failure) const;

    // The parsing steps: each advances *position only on success.
    bool GetExpr(char** position, unsigned int* value) const;
    bool GetTerm(char** position, unsigned int* value) const;
    bool GetNumber(char** position, unsigned int* value) const;
    bool GetDeci(char** position, unsigned int* value) const;
    bool GetHexa(char** position, unsigned int* value) const;
    bool GetBin(char** position, unsigned int* value) const;
    bool GetReg(char** position, unsigned int* value) const;
    bool GetAsc(char** position, unsigned int* value) const;
    bool GetBracket(char** position, unsigned int* value) const;

    bool IsEndTerm(const char* position) const;
    bool IsEndNumber(const char* position) const;
    int NextTerm(const char* text, int offset) const;
    char* NextCloseBracket(char* position) const;
    unsigned int atoi_hex4(char digit) const;

    Register* registers;
    // The open program's symbols, or null; names are compared case-sensitively.
    const SymbolNames* symbols = nullptr;
    // Where "[address].b", ".w" or ".l" reads, or null: only conditions read memory.
    const Memory* memory = nullptr;
    // The last evaluation failed on a division by zero, which only the values made wrong.
    mutable bool dividedByZero = false;
    QString expression;
    unsigned int result;
    bool valid;
    int errorStart;
    int errorEnd;

private:
    // Deeper brackets than any person types are refused rather than allowed to exhaust
    // the stack.
    static constexpr int maximumDepth = 256;

    bool Evaluate(char* text, int length, unsigned int* value, int* failure) const;
    bool ParseExpression(char** position, unsigned int* value, char** reached) const;
    bool GetFactor(char** position, unsigned int* value) const;
    bool GetName(char** position, unsigned int* value, unsigned int* width) const;
    bool GetSymbol(char** position, unsigned int* value) const;
    bool GetMemory(char** position, unsigned int* value) const;
    bool ParseEnclosed(char* open, char* close, unsigned int* value) const;
    int NextTerm(const char* text, int length, int offset) const;
    // Outside a parse, the text ends at its NUL.
    bool AtEnd(const char* position) const { return end ? position >= end : *position == '\0'; }

    // The end of the text being parsed: inside a bracket, its closing ")". Set by the
    // top of a parse and moved by the brackets, so that a text may contain any byte.
    mutable const char* end = nullptr;
    mutable int depth = 0;
};

#endif
