#include "program/SymbolTable.h"

#include <algorithm>
#include <cstring>

namespace {

int CompareKey(const QByteArray& key, const char* name, int length)
{
    const int common = std::min(key.size(), length);
    const int c = common > 0 ? std::memcmp(key.constData(), name, std::size_t(common)) : 0;
    if (c != 0)
        return c;
    return key.size() < length ? -1 : (key.size() > length ? 1 : 0);
}

} // namespace

void SymbolTable::Clear()
{
    symbols.clear();
    byName.clear();
    labels.clear();
    extents.clear();
}

void SymbolTable::Add(const QByteArray& name, unsigned int address, unsigned int size, Kind kind, bool global)
{
    if (name.isEmpty())
        return;
    symbols.push_back(Symbol{name, QString::fromUtf8(name), address, size, kind, global});
}

// Which of several symbols at one address names it: a function or an object rather than a
// plain label, a global rather than a local, a name of the author's rather than one that
// starts as the tools' own do.
int SymbolTable::Preference(const Symbol& s)
{
    int score = 0;
    if (s.kind == Function || s.kind == Object)
        score += 4;
    if (s.global)
        score += 2;
    if (!s.key.startsWith('_') && !s.key.startsWith('.'))
        score += 1;
    return score;
}

void SymbolTable::Finish()
{
    byName.clear();
    labels.clear();
    const int n = Count();
    byName.reserve(std::size_t(n));
    for (int i = 0; i < n; ++i)
        byName.push_back(i);
    std::sort(byName.begin(), byName.end(), [this](int a, int b) {
        const Symbol& x = symbols[std::size_t(a)];
        const Symbol& y = symbols[std::size_t(b)];
        if (x.key != y.key)
            return x.key < y.key;
        if (x.global != y.global)
            return x.global;
        if ((x.kind == Constant) != (y.kind == Constant))
            return y.kind == Constant;
        return x.address != y.address ? x.address < y.address : a < b;
    });

    for (int i = 0; i < n; ++i)
        if (symbols[std::size_t(i)].kind != Constant)
            labels.push_back(i);
    // By address, the preferred symbol first among those at one address; then one per address.
    std::sort(labels.begin(), labels.end(), [this](int a, int b) {
        const Symbol& x = symbols[std::size_t(a)];
        const Symbol& y = symbols[std::size_t(b)];
        if (x.address != y.address)
            return x.address < y.address;
        const int px = Preference(x);
        const int py = Preference(y);
        if (px != py)
            return px > py;
        return x.key != y.key ? x.key < y.key : a < b;
    });
    labels.erase(std::unique(labels.begin(), labels.end(),
                             [this](int a, int b) {
                                 return symbols[std::size_t(a)].address == symbols[std::size_t(b)].address;
                             }),
                 labels.end());
    BuildExtents();
}

// The sized symbols flattened into disjoint extents, each given to the innermost symbol
// that holds it: a sweep over the symbols by start, outer ones first, with a stack of the
// symbols still open.
void SymbolTable::BuildExtents()
{
    extents.clear();
    struct Open
    {
        unsigned long long end;
        int symbol;
    };
    std::vector<int> sized;
    for (int i = 0; i < Count(); ++i) {
        const Symbol& s = symbols[std::size_t(i)];
        if (s.size > 0 && s.kind != Constant)
            sized.push_back(i);
    }
    // Outer first: by start, then the larger; of two alike the preferred comes last, innermost.
    std::sort(sized.begin(), sized.end(), [this](int a, int b) {
        const Symbol& x = symbols[std::size_t(a)];
        const Symbol& y = symbols[std::size_t(b)];
        if (x.address != y.address)
            return x.address < y.address;
        if (x.size != y.size)
            return x.size > y.size;
        return Preference(x) < Preference(y);
    });
    std::vector<Open> stack;
    unsigned long long cursor = 0;
    auto emit = [this](unsigned long long start, unsigned long long end, int symbol) {
        if (start < end)
            extents.push_back(Extent{unsigned(start), unsigned(std::min<unsigned long long>(end, 0xFFFFFFFFull)), symbol});
    };
    auto startOf = [this](int symbol) { return (unsigned long long)symbols[std::size_t(symbol)].address; };
    for (int i : sized) {
        const Symbol& s = symbols[std::size_t(i)];
        const unsigned long long start = s.address;
        unsigned long long end = start + s.size;
        while (!stack.empty() && stack.back().end <= start) {
            const Open top = stack.back();
            stack.pop_back();
            emit(std::max(cursor, startOf(top.symbol)), top.end, top.symbol);
            cursor = std::max(cursor, top.end);
        }
        if (!stack.empty()) {
            emit(std::max(cursor, startOf(stack.back().symbol)), start, stack.back().symbol);
            // A symbol that reaches past the one it starts in is cut at its end.
            end = std::min(end, stack.back().end);
        }
        cursor = std::max(cursor, start);
        stack.push_back(Open{end, i});
    }
    while (!stack.empty()) {
        const Open top = stack.back();
        stack.pop_back();
        emit(std::max(cursor, startOf(top.symbol)), top.end, top.symbol);
        cursor = std::max(cursor, top.end);
    }
}

const SymbolTable::Symbol* SymbolTable::Find(const char* name, int length) const
{
    if (length <= 0 || byName.empty())
        return nullptr;
    const auto it = std::lower_bound(byName.begin(), byName.end(), 0, [this, name, length](int i, int) {
        return CompareKey(symbols[std::size_t(i)].key, name, length) < 0;
    });
    if (it == byName.end() || CompareKey(symbols[std::size_t(*it)].key, name, length) != 0)
        return nullptr;
    return &symbols[std::size_t(*it)];
}

const SymbolTable::Symbol* SymbolTable::Find(const QString& name) const
{
    const QByteArray key = name.toUtf8();
    return Find(key.constData(), key.size());
}

const SymbolTable::Symbol* SymbolTable::LabelAt(unsigned int address) const
{
    const Symbol* label = LabelFrom(address);
    return label && label->address == address ? label : nullptr;
}

const SymbolTable::Symbol* SymbolTable::LabelFrom(unsigned int address) const
{
    const auto it = std::lower_bound(labels.begin(), labels.end(), address,
                                     [this](int i, unsigned int a) { return symbols[std::size_t(i)].address < a; });
    return it == labels.end() ? nullptr : &symbols[std::size_t(*it)];
}

const SymbolTable::Symbol* SymbolTable::Describe(unsigned int address, unsigned int* offset) const
{
    if (const Symbol* label = LabelAt(address)) {
        *offset = 0;
        return label;
    }
    const auto it = std::upper_bound(extents.begin(), extents.end(), address,
                                     [](unsigned int a, const Extent& e) { return a < e.start; });
    if (it == extents.begin())
        return nullptr;
    const Extent& e = *(it - 1);
    if (address >= e.end)
        return nullptr;
    const Symbol& s = symbols[std::size_t(e.symbol)];
    *offset = address - s.address;
    return &s;
}

bool SymbolTable::AddressOf(const char* name, int length, unsigned int* address) const
{
    const Symbol* symbol = Find(name, length);
    if (symbol)
        *address = symbol->address;
    return symbol != nullptr;
}

const QString* SymbolTable::NameOf(unsigned int address, unsigned int* offset) const
{
    const Symbol* symbol = Describe(address, offset);
    return symbol ? &symbol->name : nullptr;
}
