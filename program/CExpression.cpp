#include "program/CExpression.h"

#include <QStringList>

#include <cstring>

namespace {

// Deeper than any expression a user types; a bound for texts that are not.
constexpr int maximumDepth = 200;

const char* const twoCharacterPunctuators[] = {"->", "<<", ">>", "<=", ">=", "==", "!=", "&&", "||"};
const char oneCharacterPunctuators[] = "()[].,-+!~*&/%<>^|?:";

const char* const typeWords[] = {"struct", "union", "enum", "int", "char", "short", "long", "unsigned",
                                 "signed", "float", "double", "void", "_Bool", "const", "volatile"};

bool IsTypeWord(const QString& word)
{
    for (const char* t : typeWords)
        if (word == QLatin1String(t))
            return true;
    return false;
}

// The binary operators by precedence, loosest first.
const std::vector<std::vector<const char*>>& Levels()
{
    static const std::vector<std::vector<const char*>> levels = {
        {"||"}, {"&&"}, {"|"}, {"^"}, {"&"}, {"==", "!="}, {"<", "<=", ">", ">="}, {"<<", ">>"}, {"+", "-"},
        {"*", "/", "%"}};
    return levels;
}

// A character constant's value after its opening quote; false for a malformed one.
bool Character(const QString& text, int& i, unsigned long long& value)
{
    if (i >= text.size())
        return false;
    QChar c = text.at(i++);
    if (c != QLatin1Char('\\')) {
        value = c.unicode();
    } else {
        if (i >= text.size())
            return false;
        c = text.at(i++);
        static const char escapes[] = "n\nt\tr\rb\bf\fv\va\a\\\\''\"\"??";
        const char* found = c.unicode() < 128 ? std::strchr(escapes, char(c.unicode())) : nullptr;
        if (c == QLatin1Char('x') || c.isDigit()) {
            const bool hexadecimal = c == QLatin1Char('x');
            int start = hexadecimal ? i : i - 1;
            int end = start;
            while (end < text.size() && end - start < (hexadecimal ? 8 : 3)
                   && (hexadecimal ? text.at(end).isLetterOrNumber() : text.at(end).isDigit()))
                ++end;
            bool ok = false;
            value = text.mid(start, end - start).toULongLong(&ok, hexadecimal ? 16 : 8);
            if (!ok)
                return false;
            i = end;
        } else if (found && (found - escapes) % 2 == 0) {
            value = static_cast<unsigned char>(found[1]);
        } else {
            return false;
        }
    }
    if (i >= text.size() || text.at(i) != QLatin1Char('\''))
        return false;
    ++i;
    return true;
}

} // namespace

bool CExpression::Parse(const QString& text, QString* error)
{
    nodes.clear();
    tokens.clear();
    position = 0;
    root = -1;
    failure.clear();
    if (!Tokenize(text, error))
        return false;
    if (Peek().type == Token::End)
        return *error = QStringLiteral("expression vide"), false;
    root = Expression(0);
    if (root >= 0 && Peek().type != Token::End)
        root = Fail(QStringLiteral("« %1 » inattendu").arg(Peek().text));
    if (root < 0)
        *error = failure;
    return root >= 0;
}

bool CExpression::Tokenize(const QString& text, QString* error)
{
    int i = 0;
    while (i < text.size()) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            ++i;
        } else if (c.isDigit()) {
            int end = i;
            while (end < text.size() && text.at(end).isLetterOrNumber())
                ++end;
            QString digits = text.mid(i, end - i);
            while (!digits.isEmpty() && QStringLiteral("uUlL").contains(digits.back()))
                digits.chop(1);
            const bool hexadecimal = digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
            const bool octal = !hexadecimal && digits.size() > 1 && digits.startsWith(QLatin1Char('0'));
            bool ok = false;
            const unsigned long long value =
                (hexadecimal ? digits.mid(2) : digits).toULongLong(&ok, hexadecimal ? 16 : octal ? 8 : 10);
            if (!ok)
                return *error = QStringLiteral("nombre invalide « %1 »").arg(text.mid(i, end - i)), false;
            tokens.push_back(Token{Token::Number, text.mid(i, end - i), value});
            i = end;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            int end = i;
            while (end < text.size() && (text.at(end).isLetterOrNumber() || text.at(end) == QLatin1Char('_')))
                ++end;
            tokens.push_back(Token{Token::Name, text.mid(i, end - i), 0});
            i = end;
        } else if (c == QLatin1Char('\'')) {
            const int start = i++;
            unsigned long long value = 0;
            if (!Character(text, i, value))
                return *error = QStringLiteral("caractère invalide « %1 »").arg(text.mid(start)), false;
            tokens.push_back(Token{Token::Number, text.mid(start, i - start), value});
        } else {
            const QString two = text.mid(i, 2);
            bool matched = false;
            for (const char* p : twoCharacterPunctuators) {
                if (two == QLatin1String(p)) {
                    tokens.push_back(Token{Token::Punctuator, two, 0});
                    i += 2;
                    matched = true;
                    break;
                }
            }
            if (matched)
                continue;
            if (c.unicode() >= 128 || !std::strchr(oneCharacterPunctuators, char(c.unicode())))
                return *error = QStringLiteral("caractère inattendu « %1 »").arg(c), false;
            tokens.push_back(Token{Token::Punctuator, QString(c), 0});
            ++i;
        }
    }
    tokens.push_back(Token{Token::End, QString(), 0});
    return true;
}

int CExpression::Add(Node node)
{
    nodes.push_back(std::move(node));
    return int(nodes.size()) - 1;
}

int CExpression::Fail(const QString& why)
{
    if (failure.isEmpty())
        failure = why;
    return -1;
}

bool CExpression::Accept(const char* punctuator)
{
    const Token& t = Peek();
    if (t.type != Token::Punctuator || t.text != QLatin1String(punctuator))
        return false;
    ++position;
    return true;
}

bool CExpression::IsTypeStart(int at) const
{
    const Token& t = tokens[std::size_t(at)];
    return t.type == Token::Name && IsTypeWord(t.text);
}

int CExpression::Expression(int depth)
{
    if (depth > maximumDepth)
        return Fail(QStringLiteral("expression trop imbriquée"));
    const int condition = Binary(0, depth);
    if (condition < 0 || !Accept("?"))
        return condition;
    const int then = Expression(depth + 1);
    if (then < 0)
        return -1;
    if (!Accept(":"))
        return Fail(QStringLiteral("« : » attendu"));
    const int otherwise = Expression(depth + 1);
    if (otherwise < 0)
        return -1;
    return Add(Node{Kind::Conditional, QString(), 0, {condition, then, otherwise}});
}

int CExpression::Binary(int level, int depth)
{
    if (level == int(Levels().size()))
        return Unary(depth);
    int left = Binary(level + 1, depth);
    while (left >= 0) {
        const char* matched = nullptr;
        for (const char* op : Levels()[std::size_t(level)]) {
            if (Accept(op)) {
                matched = op;
                break;
            }
        }
        if (!matched)
            break;
        const int right = Binary(level + 1, depth);
        if (right < 0)
            return -1;
        left = Add(Node{Kind::Binary, QString::fromLatin1(matched), 0, {left, right}});
    }
    return left;
}

int CExpression::Unary(int depth)
{
    if (++depth > maximumDepth)
        return Fail(QStringLiteral("expression trop imbriquée"));
    const Token& t = Peek();
    if (t.type == Token::Name && t.text == QLatin1String("sizeof")) {
        ++position;
        if (Peek().text == QLatin1String("(") && IsTypeStart(position + 1)) {
            ++position;
            const QString type = TypeName();
            if (type.isEmpty() || !Accept(")"))
                return Fail(QStringLiteral("type invalide après sizeof"));
            return Add(Node{Kind::SizeofType, type, 0, {}});
        }
        const int operand = Unary(depth);
        return operand < 0 ? -1 : Add(Node{Kind::SizeofExpression, QString(), 0, {operand}});
    }
    if (t.type == Token::Punctuator && t.text == QLatin1String("(") && IsTypeStart(position + 1)) {
        ++position;
        const QString type = TypeName();
        if (type.isEmpty() || !Accept(")"))
            return Fail(QStringLiteral("conversion invalide"));
        const int operand = Unary(depth);
        return operand < 0 ? -1 : Add(Node{Kind::Cast, type, 0, {operand}});
    }
    for (const char* op : {"-", "+", "!", "~", "*", "&"}) {
        if (Accept(op)) {
            const int operand = Unary(depth);
            return operand < 0 ? -1 : Add(Node{Kind::Unary, QString::fromLatin1(op), 0, {operand}});
        }
    }
    return Postfix(depth);
}

int CExpression::Postfix(int depth)
{
    int node = Primary(depth);
    while (node >= 0) {
        if (Accept("[")) {
            const int index = Expression(depth + 1);
            if (index < 0)
                return -1;
            if (!Accept("]"))
                return Fail(QStringLiteral("« ] » attendu"));
            node = Add(Node{Kind::Index, QString(), 0, {node, index}});
        } else if (Peek().text == QLatin1String(".") || Peek().text == QLatin1String("->")) {
            const Kind kind = Peek().text == QLatin1String(".") ? Kind::Member : Kind::PointerMember;
            ++position;
            if (Peek().type != Token::Name)
                return Fail(QStringLiteral("nom de champ attendu"));
            const QString member = Peek().text;
            ++position;
            node = Add(Node{kind, member, 0, {node}});
        } else {
            break;
        }
    }
    return node;
}

int CExpression::Primary(int depth)
{
    const Token t = Peek();
    switch (t.type) {
    case Token::Number: ++position; return Add(Node{Kind::Number, t.text, t.number, {}});
    case Token::Name: ++position; return Add(Node{Kind::Name, t.text, 0, {}});
    case Token::End: return Fail(QStringLiteral("expression incomplète"));
    case Token::Punctuator: break;
    }
    if (!Accept("("))
        return Fail(QStringLiteral("« %1 » inattendu").arg(t.text));
    const int inner = Expression(depth + 1);
    if (inner < 0)
        return -1;
    if (!Accept(")"))
        return Fail(QStringLiteral("« ) » attendu"));
    return inner;
}

// A type's name as written, up to its closing bracket: its words, then its stars, joined as
// C writes them ("struct node *", "unsigned char").
QString CExpression::TypeName()
{
    QStringList words;
    int stars = 0;
    while (Peek().type == Token::Name && stars == 0) {
        words << Peek().text;
        ++position;
    }
    while (Accept("*"))
        ++stars;
    if (words.isEmpty())
        return QString();
    QString name = words.join(QLatin1Char(' '));
    if (stars)
        name += QLatin1Char(' ') + QString(stars, QLatin1Char('*'));
    return name;
}
