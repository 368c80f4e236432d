#include "program/LineTable.h"

#include <algorithm>

void LineTable::Clear()
{
    rows.clear();
    places.clear();
    statements.clear();
    files.clear();
    fileIndex.clear();
}

int LineTable::AddFile(const QString& path)
{
    const auto it = fileIndex.constFind(path);
    if (it != fileIndex.constEnd())
        return it.value();
    files.append(path);
    fileIndex.insert(path, files.size() - 1);
    return files.size() - 1;
}

void LineTable::Add(const Row& row)
{
    rows.push_back(row);
}

void LineTable::Finish()
{
    // The sequences of a table are each in order but may come in any order. Where one ends
    // at the address at which another starts, the end comes first; rows of one address
    // keep their order, and the last of them holds the address.
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
        if (a.address != b.address)
            return a.address < b.address;
        return a.endSequence && !b.endSequence;
    });
    places.clear();
    statements.clear();
    for (const Row& r : rows) {
        if (r.endSequence || !r.statement)
            continue;
        places.push_back(Place{r.file, r.line, r.address});
        statements.push_back(r.address);
    }
    std::sort(places.begin(), places.end(), [](const Place& a, const Place& b) {
        if (a.file != b.file)
            return a.file < b.file;
        if (a.line != b.line)
            return a.line < b.line;
        return a.address < b.address;
    });
    places.erase(std::unique(places.begin(), places.end(),
                             [](const Place& a, const Place& b) {
                                 return a.file == b.file && a.line == b.line && a.address == b.address;
                             }),
                 places.end());
    std::sort(statements.begin(), statements.end());
    statements.erase(std::unique(statements.begin(), statements.end()), statements.end());
}

const LineTable::Row* LineTable::Find(unsigned int address) const
{
    const auto it = std::upper_bound(rows.begin(), rows.end(), address,
                                     [](unsigned int a, const Row& r) { return a < r.address; });
    if (it == rows.begin())
        return nullptr;
    const Row& r = *(it - 1);
    return r.endSequence ? nullptr : &r;
}

bool LineTable::Range(unsigned int address, unsigned int* start, unsigned int* end) const
{
    const Row* found = Find(address);
    if (!found)
        return false;
    const std::size_t i = std::size_t(found - rows.data());
    std::size_t first = i;
    while (first > 0) {
        const Row& before = rows[first - 1];
        if (before.endSequence || before.file != found->file || before.line != found->line)
            break;
        --first;
    }
    std::size_t last = i + 1;
    while (last < rows.size() && !rows[last].endSequence && rows[last].file == found->file
           && rows[last].line == found->line)
        ++last;
    *start = rows[first].address;
    // A table without an end to its last sequence runs to the end of the address space.
    *end = last < rows.size() ? rows[last].address : 0xFFFFFFFFu;
    return true;
}

bool LineTable::IsStatement(unsigned int address) const
{
    return std::binary_search(statements.begin(), statements.end(), address);
}

std::vector<unsigned int> LineTable::Addresses(int file, int line) const
{
    std::vector<unsigned int> result;
    const Place key{file, line, 0};
    auto it = std::lower_bound(places.begin(), places.end(), key, [](const Place& a, const Place& b) {
        return a.file != b.file ? a.file < b.file : a.line < b.line;
    });
    for (; it != places.end() && it->file == file && it->line == line; ++it)
        result.push_back(it->address);
    return result;
}

std::vector<int> LineTable::LinesWithCode(int file) const
{
    std::vector<int> result;
    const Place key{file, 0, 0};
    auto it = std::lower_bound(places.begin(), places.end(), key,
                               [](const Place& a, const Place& b) { return a.file < b.file; });
    for (; it != places.end() && it->file == file; ++it)
        if (result.empty() || result.back() != it->line)
            result.push_back(it->line);
    return result;
}
