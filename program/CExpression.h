#ifndef ZENDRA_PROGRAM_CEXPRESSION_H
#define ZENDRA_PROGRAM_CEXPRESSION_H

#include <QString>

#include <vector>

// A watch expression in C syntax, parsed into a tree that an evaluator walks with the
// program's types: names, integer and character constants, postfix [] . -> (), prefix
// - + ! ~ * & and casts, sizeof of a type or an expression, the binary operators by C's
// precedence (* / % + - << >> < <= > >= == != & ^ | && ||) and ?:. Only the syntax is known
// here: a type's name stays text ("struct node *") for the evaluator to look up.
class CExpression
{
public:
    enum class Kind : unsigned char {
        Number,
        Name,
        // children: the operand; text: the member's name.
        Member,
        PointerMember,
        // children: the array or pointer, the index.
        Index,
        // text: the operator ("-", "+", "!", "~", "*", "&"); children: the operand.
        Unary,
        // text: the operator; children: the two operands.
        Binary,
        // children: the condition, then, else.
        Conditional,
        // text: the type's name; children: the operand.
        Cast,
        // text: the type's name.
        SizeofType,
        SizeofExpression
    };

    struct Node
    {
        Kind kind;
        QString text;
        unsigned long long number = 0;
        std::vector<int> children;
    };

    // False with *error set (in French) for a text that is not an expression.
    bool Parse(const QString& text, QString* error);

    const Node& At(int index) const { return nodes[std::size_t(index)]; }
    // The whole expression's node.
    int Root() const { return root; }

private:
    struct Token
    {
        enum Type : unsigned char { End, Number, Name, Punctuator } type;
        QString text;
        unsigned long long number;
    };

    bool Tokenize(const QString& text, QString* error);
    int Add(Node node);
    const Token& Peek() const { return tokens[std::size_t(position)]; }
    bool Accept(const char* punctuator);
    bool IsTypeStart(int at) const;
    int Expression(int depth);
    int Binary(int level, int depth);
    int Unary(int depth);
    int Postfix(int depth);
    int Primary(int depth);
    QString TypeName();
    int Fail(const QString& why);

    std::vector<Node> nodes;
    std::vector<Token> tokens;
    int position = 0;
    int root = -1;
    QString failure;
};

#endif
