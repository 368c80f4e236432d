#ifndef ZENDRA_PROGRAM_LINETABLE_H
#define ZENDRA_PROGRAM_LINETABLE_H

#include <QHash>
#include <QString>
#include <QStringList>

#include <vector>

// Which line of which source file each instruction of a program comes from, as the
// compiler or assembler wrote it into the program's debugging information. Rows hold the
// first address of a run of instructions; a run ends at the next row.
class LineTable
{
public:
    struct Row
    {
        unsigned int address;
        int file;
        int line;
        // A place to stop at when stepping by lines.
        bool statement;
        // The first address after a sequence of instructions: it starts no line.
        bool endSequence;
    };

    void Clear();
    // The index of a source file, by its path as the table gives it.
    int AddFile(const QString& path);
    void Add(const Row& row);
    // Sorts the rows and builds the lookups; call it once after the last Add.
    void Finish();

    bool IsEmpty() const { return rows.empty(); }
    int RowCount() const { return int(rows.size()); }
    const Row& RowAt(int i) const { return rows[std::size_t(i)]; }
    const QStringList& Files() const { return files; }

    // The row whose run holds address, or null where no line does.
    const Row* Find(unsigned int address) const;
    // The addresses [*start, *end) around address that belong to the same line of the same
    // file without a break; false where no line holds address.
    bool Range(unsigned int address, unsigned int* start, unsigned int* end) const;
    // A line's statement starts at address.
    bool IsStatement(unsigned int address) const;
    // The addresses at which the statements of a line start, lowest first.
    std::vector<unsigned int> Addresses(int file, int line) const;
    // The lines of a file that have code, in order.
    std::vector<int> LinesWithCode(int file) const;

private:
    struct Place
    {
        int file;
        int line;
        unsigned int address;
    };

    std::vector<Row> rows;
    std::vector<Place> places;
    std::vector<unsigned int> statements;
    QStringList files;
    QHash<QString, int> fileIndex;
};

#endif
