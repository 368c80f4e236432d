// Programs as the toolchain builds them: an ELF executable loads the bytes of its
// S-Records, brings the symbols that nm lists and the lines of its source, which the
// disassembly, the expressions and the steps by line then use; a damaged executable is
// refused with its fault named and the machine untouched.
#include "core/Calculator.h"
#include "core/Disassembler.h"
#include "session/Document.h"
#include "session/Emulation.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "program/ElfLoader.h"
#include "program/ProgramImage.h"
#include "program/LineTable.h"
#include "session/ProgramLoader.h"
#include "program/SymbolTable.h"

#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <cstring>
#include <functional>
#include <memory>

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

QString Image(const char* name)
{
    return QStringLiteral(PROGRAM_IMAGES "/%1").arg(QLatin1String(name));
}

QStringList SourceLines(const char* name)
{
    return QString::fromUtf8(ReadAll(QStringLiteral(PROGRAM_SOURCES "/%1").arg(QLatin1String(name))))
        .split(QLatin1Char('\n'));
}

// The line number of the first source line holding text.
int LineOf(const QStringList& source, const QString& text)
{
    for (int i = 0; i < source.size(); ++i)
        if (source[i].contains(text))
            return i + 1;
    qFatal("no line holds %s", qPrintable(text));
}

quint16 Get16(const QByteArray& b, int at)
{
    return quint16((quint8(b[at]) << 8) | quint8(b[at + 1]));
}

quint32 Get32(const QByteArray& b, int at)
{
    return (quint32(Get16(b, at)) << 16) | Get16(b, at + 2);
}

void Put16(QByteArray& b, int at, quint32 v)
{
    b[at] = char(v >> 8);
    b[at + 1] = char(v);
}

void Put32(QByteArray& b, int at, quint32 v)
{
    Put16(b, at, v >> 16);
    Put16(b, at + 2, v);
}

// Where an ELF file's parts are, read from its headers, to damage them in place.
struct Layout
{
    explicit Layout(const QByteArray& b)
    {
        phoff = int(Get32(b, 28));
        shoff = int(Get32(b, 32));
        shnum = Get16(b, 48);
        const int names = int(Get32(b, shoff + 40 * Get16(b, 50) + 16));
        for (int i = 0; i < shnum; ++i) {
            const int header = shoff + 40 * i;
            const QByteArray name(b.constData() + names + Get32(b, header));
            if (Get32(b, header + 4) == 2) // SHT_SYMTAB
                symtab = header;
            if (name == ".debug_line")
                debugLine = int(Get32(b, header + 16));
        }
    }
    int phoff = 0;
    int shoff = 0;
    int shnum = 0;
    int symtab = 0;
    int debugLine = 0;
};

} // namespace

class ProgramTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Document> document;
    QHash<QString, unsigned int> nm;
    QTemporaryDir dir;
    QString error;

    bool Open(const QString& path)
    {
        ProgramLoader loader(path, document.get());
        const bool ok = loader.Load();
        error = loader.errorMessage;
        return ok;
    }

    unsigned int At(const char* name) const
    {
        if (!nm.contains(name))
            qFatal("nm lists no %s", name);
        return nm.value(name);
    }

    QString Operand(unsigned int address)
    {
        Disassembler* d = document->disassembler;
        d->SetStartAddress(address);
        d->Disassemble();
        return d->mnemonic + QLatin1Char(' ') + d->operand;
    }

    static QString Hex(unsigned int v) { return QStringLiteral("$") + QString::number(v, 16).toUpper(); }

    bool Evaluate(const QString& text, unsigned int* value = nullptr)
    {
        Calculator* c = document->calculator;
        c->expression = text;
        c->Calculate();
        if (value)
            *value = c->result;
        return c->valid;
    }

    int Run(EmulationMode mode)
    {
        document->mode = mode;
        Emulation emulation(document.get());
        return emulation.StartEmulation();
    }

    unsigned int Pc() const { return document->emulator->registers->pc; }
    int Line() const
    {
        const LineTable::Row* row = document->lines->Find(Pc());
        return row ? row->line : 0;
    }

    QString Damaged(const QByteArray& bytes)
    {
        static int counter = 0;
        const QString path = dir.filePath(QStringLiteral("damaged%1.elf").arg(++counter));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            qFatal("cannot write %s", qPrintable(path));
        file.write(bytes);
        return path;
    }

private slots:
    void initTestCase()
    {
        for (const QByteArray& line : ReadAll(Image("symbols.nm")).split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() == 3)
                nm.insert(QString::fromLatin1(fields[2]), fields[0].toUInt(nullptr, 16));
        }
        QVERIFY(nm.contains("draw_line"));
    }

    void init() { document.reset(new Document); }

    // The assembly program: the same bytes as its S-Records, nm's symbols, lines that point
    // at its instructions, operands named by symbols, and expressions over them.
    void assemblyProgramFromItsExecutable()
    {
        Document records;
        ProgramLoader hex(Image("symbols.hex"), &records);
        QVERIFY2(hex.Load(), qPrintable(hex.errorMessage));
        QVERIFY(records.symbols->IsEmpty() && records.lines->IsEmpty());
        QVERIFY2(Open(Image("symbols.elf")), qPrintable(error));
        for (unsigned int a = 0; a < 0x1000000; ++a)
            if (document->memory->Read(a, 8) != records.memory->Read(a, 8))
                QFAIL(qPrintable(QStringLiteral("memory differs at %1").arg(Hex(a))));
        document->emulator->Reset();
        records.emulator->Reset();
        QCOMPARE(Pc(), At("start"));
        QCOMPARE(document->emulator->registers->ssp, records.emulator->registers->ssp);

        // Every name that nm lists, constants included, with nm's value.
        for (auto it = nm.constBegin(); it != nm.constEnd(); ++it) {
            const SymbolTable::Symbol* symbol = document->symbols->Find(it.key());
            QVERIFY2(symbol && symbol->address == it.value(), qPrintable(it.key()));
        }
        QCOMPARE(document->symbols->LabelAt(At("draw_line"))->name, QStringLiteral("draw_line"));
        QVERIFY(!document->symbols->LabelAt(At("table") + 4));
        unsigned int offset = 99;
        QCOMPARE(document->symbols->Describe(At("table") + 4, &offset)->name, QStringLiteral("table"));
        QCOMPARE(offset, 4u);
        // A label without a size names its own address only; a constant names none.
        QVERIFY(!document->symbols->Describe(At("message") + 2, &offset));
        QVERIFY(!document->symbols->LabelAt(0xFFB500));

        // The lines: each code label's instruction is on the line after it, in symbols.s.
        const QStringList source = SourceLines("symbols.s");
        for (const char* label : {"start", "loop", "draw_line", "done"}) {
            const LineTable::Row* row = document->lines->Find(At(label));
            QVERIFY2(row, label);
            QCOMPARE(row->line, LineOf(source, QStringLiteral("%1:").arg(QLatin1String(label))) + 1);
            QVERIFY(document->lines->Files().at(row->file).endsWith(QLatin1String("symbols.s")));
            QVERIFY(document->lines->IsStatement(At(label)));
        }
        unsigned int start = 0, end = 0;
        QVERIFY(document->lines->Range(At("draw_line") + 4, &start, &end));
        QCOMPARE(start, At("draw_line") + 4);
        QCOMPARE(end, At("draw_line") + 6);
        QVERIFY(!document->lines->Find(0x400));
        QCOMPARE(document->lines->Addresses(0, LineOf(source, QStringLiteral("rts"))),
                 std::vector<unsigned int>{At("draw_line") + 6});

        // Operands: addresses that symbols name carry the name; immediates never do.
        struct Expected
        {
            unsigned int address;
            QString withSymbols;
            QString without;
        };
        const unsigned int s = At("start");
        const Expected lines[] = {
            {s, "LEA.L " + Hex(At("table") + 4) + "(PC) <table+$4>,A0", "LEA.L " + Hex(At("table") + 4) + "(PC),A0"},
            {s + 10, "BSR.W " + Hex(At("draw_line")) + " <draw_line>", "BSR.W " + Hex(At("draw_line"))},
            {s + 14, "ADDQ.W #$1," + Hex(At("counter")) + " <counter>", "ADDQ.W #$1," + Hex(At("counter"))},
            {s + 20, "DBRA.W D2," + Hex(At("loop")) + " <loop>", "DBRA.W D2," + Hex(At("loop"))},
            {s + 24, "MOVEA.L #$FFB500,A1", "MOVEA.L #$FFB500,A1"},
            {s + 34, "MOVE.W D1," + Hex(At("table") + 6) + " <table+$6>", "MOVE.W D1," + Hex(At("table") + 6)},
            {s + 40, "CLR.W " + Hex(At("buffer")) + ".W <buffer>", "CLR.W " + Hex(At("buffer")) + ".W"},
            {s + 44, "BRA.S " + Hex(At("done")) + " <done>", "BRA.S " + Hex(At("done"))},
        };
        for (const Expected& e : lines) {
            QCOMPARE(Operand(e.address), e.withSymbols);
            records.disassembler->SetStartAddress(e.address);
            records.disassembler->Disassemble();
            QCOMPARE(records.disassembler->mnemonic + ' ' + records.disassembler->operand, e.without);
        }

        // Expressions: symbols as addresses, registers and flags first, names case-sensitive.
        document->emulator->registers->d[0] = 0x55;
        unsigned int v = 0;
        QVERIFY(Evaluate("loop", &v) && v == At("loop"));
        QVERIFY(Evaluate("table+4", &v) && v == At("table") + 4);
        QVERIFY(Evaluate("(table+2)*4", &v) && v == (At("table") + 2) * 4);
        QVERIFY(Evaluate("~SCREEN+COUNT", &v) && v == ~0xFFB500u + 3);
        QVERIFY(Evaluate("d0", &v) && v == 0x55);
        QVERIFY(Evaluate("c", &v) && v == (document->emulator->registers->sr & 1));
        QVERIFY(Evaluate("buffer", &v) && v == At("buffer"));
        QVERIFY(Evaluate("Buffer", &v) && v == At("Buffer"));
        for (Calculator* c : {document->calculator, records.calculator}) {
            c->expression = QStringLiteral("2+BUFFER*2");
            c->Calculate();
            QVERIFY(!c->valid);
            QCOMPARE(c->errorStart, 2);
            QCOMPARE(c->errorEnd, 10);
        }
        records.calculator->expression = QStringLiteral("loop");
        records.calculator->Calculate();
        QVERIFY(!records.calculator->valid);
        QCOMPARE(records.calculator->errorEnd, 4);

        // S-Records opened after it take its names and lines away.
        QVERIFY(Open(Image("symbols.hex")));
        QVERIFY(document->symbols->IsEmpty() && document->lines->IsEmpty());
        QCOMPARE(Operand(s + 10), "BSR.W " + Hex(At("draw_line")));
    }

    // The C program: run to a function named in an expression, then by lines over and into
    // calls; every line step is undone instruction by instruction.
    void cProgramStepsByLines()
    {
        QVERIFY2(Open(Image("lines.elf")), qPrintable(error));
        document->emulator->Reset();
        const QStringList source = SourceLines("lines.c");
        const int call = LineOf(source, "total += square(i);");
        const int loop = LineOf(source, "for (int i");
        const int end = LineOf(source, "return total;");
        const int body = LineOf(source, "int result = x * x;");
        const int squareEnd = LineOf(source, "return result;") + 1;

        unsigned int program = 0;
        QVERIFY(Evaluate("program", &program));
        document->AddAddressBreakpoint(program);
        QCOMPARE(Run(RunMode), int(AddressBreak));
        QCOMPARE(Pc(), program);
        document->addressBreakpoints.clear();

        // Over: the lines of program() only, the call line three times, until the return.
        QList<int> visited;
        for (int steps = 0; steps < 50 && Line() != end; ++steps) {
            const int before = document->emulator->undoList.items.count();
            QCOMPARE(Run(StepOverLineMode), int(Done));
            QVERIFY(document->emulator->undoList.items.count() > before);
            QVERIFY(document->lines->IsStatement(Pc()));
            visited << Line();
        }
        QCOMPARE(visited.last(), end);
        QCOMPARE(visited.count(call), 3);
        QVERIFY(visited.contains(loop));
        for (int line : visited)
            QVERIFY2(line > squareEnd, qPrintable(QString::number(line)));

        // Undo takes back every instruction of the last line step.
        const unsigned int pc = Pc();
        Run(StepOverLineMode);
        QVERIFY(Pc() != pc);
        while (Pc() != pc && !document->emulator->undoList.items.isEmpty()) {
            document->undoCount = 1;
            Run(UndoMode);
        }
        QCOMPARE(Pc(), pc);

        // Into: from the call line into square(), through the multiplication that has no
        // lines, and back out to the caller.
        QVERIFY(Open(Image("lines.elf")));
        document->emulator->Reset();
        document->AddAddressBreakpoint(program);
        Run(RunMode);
        document->addressBreakpoints.clear();
        while (Line() != call)
            QCOMPARE(Run(StepOverLineMode), int(Done));
        unsigned int square = 0;
        QVERIFY(Evaluate("square", &square));
        // Into square(): past its prologue (the LINK of its opening line), on the first line
        // of its body, where GDB's step stops.
        QCOMPARE(Run(StepIntoLineMode), int(Done));
        QCOMPARE(Line(), body);
        QVERIFY(Pc() > square);
        QCOMPARE(Run(StepIntoLineMode), int(Done));
        QCOMPARE(Line(), body + 1);
        while (Line() != call && Line() != loop)
            QCOMPARE(Run(StepIntoLineMode), int(Done));
        // A breakpoint inside a call stops a step over it there, and one in the prologue a
        // step into it.
        while (Line() != call)
            Run(StepOverLineMode);
        document->AddAddressBreakpoint(square);
        QCOMPARE(Run(StepOverLineMode), int(AddressBreak));
        QCOMPARE(Pc(), square);
        document->addressBreakpoints.clear();
        while (Line() != call)
            Run(StepOverLineMode);
        document->AddAddressBreakpoint(square);
        QCOMPARE(Run(StepIntoLineMode), int(AddressBreak));
        QCOMPARE(Pc(), square);
    }

    // Every loadable segment, read from the file's own program headers: its bytes from the
    // file, then zeros up to its memory size, over memory that held something else; not a
    // byte beside the segments changes. The same through the document's loader, and the
    // program then runs on what was loaded.
    void everySegmentLoadsItsBytesThenZeros()
    {
        const QByteArray file = ReadAll(Image("segments.elf"));
        struct Segment
        {
            unsigned int offset;
            unsigned int address;
            unsigned int fileSize;
            unsigned int memorySize;
        };
        QVector<Segment> segments;
        const int phoff = int(Get32(file, 28));
        const int phentsize = Get16(file, 42);
        for (int i = 0; i < Get16(file, 44); ++i) {
            const int h = phoff + i * phentsize;
            if (Get32(file, h) == 1) // PT_LOAD
                segments.append(Segment{Get32(file, h + 4), Get32(file, h + 12), Get32(file, h + 16), Get32(file, h + 20)});
        }
        // The shapes that the program is built to have.
        auto has = [&](const std::function<bool(const Segment&)>& shape) {
            return std::any_of(segments.begin(), segments.end(), shape);
        };
        QCOMPARE(segments.size(), 5);
        QVERIFY(has([](const Segment& s) { return s.fileSize > 0 && s.memorySize > s.fileSize; }));
        QVERIFY(has([](const Segment& s) { return s.fileSize == 0 && s.memorySize > 0; }));
        QVERIFY(has([](const Segment& s) { return (s.address & 1) && (s.memorySize & 1); }));
        auto inSegment = [&](unsigned int a) {
            return has([a](const Segment& s) { return a - s.address < s.memorySize; });
        };

        for (const bool throughDocument : {false, true}) {
            init();
            Memory& memory = *document->memory;
            std::memset(memory.buffer.mainBuffer, 0xA5, 0x10000);
            if (throughDocument) {
                QVERIFY2(Open(Image("segments.elf")), qPrintable(error));
            } else {
                // The two phases by hand: read into an image, then put into the machine.
                ElfLoader loader(Image("segments.elf"));
                ProgramImage image;
                QVERIFY2(loader.Parse(&image), qPrintable(loader.errorMessage));
                ProgramLoader(Image("segments.elf"), document.get()).Commit(image);
            }
            for (const Segment& s : segments) {
                for (unsigned int i = 0; i < s.memorySize; ++i) {
                    const unsigned int expected = i < s.fileSize ? quint8(file[int(s.offset + i)]) : 0u;
                    if (memory.Read(s.address + i, 8) != expected)
                        QFAIL(qPrintable(QStringLiteral("byte %1 of the segment at %2 (%3 in the file, %4 in memory) "
                                                        "is $%5, not $%6")
                                             .arg(i)
                                             .arg(Hex(s.address))
                                             .arg(s.fileSize)
                                             .arg(s.memorySize)
                                             .arg(memory.Read(s.address + i, 8), 0, 16)
                                             .arg(expected, 0, 16)));
                }
            }
            for (unsigned int a = 0; a < 0x10000; ++a)
                if (!inSegment(a) && memory.Read(a, 8) != 0xA5)
                    QFAIL(qPrintable(QStringLiteral("%1, in no segment, was written").arg(Hex(a))));

            // The zeros are the program's: its variables past its data start at zero.
            const SymbolTable& symbols = *document->symbols;
            QVERIFY(symbols.Find(QStringLiteral("total")) && symbols.Find(QStringLiteral("zeros")));
            QCOMPARE(memory.Read(symbols.Find(QStringLiteral("odd"))->address, 8), 0x81u);
            QCOMPARE(memory.Read(symbols.Find(QStringLiteral("odd"))->address + 4, 8), 0x85u);
            QCOMPARE(memory.Read(symbols.Find(QStringLiteral("zeros"))->address + 0x100, 8), 0u);
            document->emulator->Reset();
            document->AddAddressBreakpoint(symbols.Find(QStringLiteral("done"))->address);
            QCOMPARE(Run(RunMode), int(AddressBreak));
            QCOMPARE(memory.Read(symbols.Find(QStringLiteral("total"))->address, 32), 0x11223344u + 0x55667788u);
        }
    }

    // A sized symbol holds the bytes from its start up to its size, not the one after; a
    // symbol nested in another holds its own bytes, and the outer one the rest.
    void sizedSymbolsEndAtTheirSize()
    {
        QVERIFY2(Open(Image("symbols.elf")), qPrintable(error));
        const SymbolTable& symbols = *document->symbols;
        const unsigned int pair = At("pair");
        QCOMPARE(symbols.Find(QStringLiteral("pair"))->size, 6u);
        QCOMPARE(symbols.Find(QStringLiteral("pair_second"))->size, 2u);
        QVERIFY(!symbols.LabelAt(pair + 6));
        struct Expected
        {
            unsigned int address;
            const char* name;
            unsigned int offset;
        };
        const unsigned int drawLine = At("draw_line");
        const unsigned int table = At("table");
        for (const Expected& e : {Expected{pair, "pair", 0}, Expected{pair + 1, "pair", 1},
                                  Expected{pair + 2, "pair_second", 0}, Expected{pair + 3, "pair_second", 1},
                                  Expected{pair + 4, "pair", 4}, Expected{pair + 5, "pair", 5}, Expected{pair + 6, nullptr, 0},
                                  Expected{pair + 7, nullptr, 0}, Expected{table + 9, "table", 9},
                                  Expected{drawLine + 7, "draw_line", 7}, Expected{drawLine + 8, "done", 0},
                                  Expected{drawLine + 9, nullptr, 0}}) {
            unsigned int offset = 0xDEAD;
            const SymbolTable::Symbol* s = symbols.Describe(e.address, &offset);
            const QString where = Hex(e.address) + QStringLiteral(": ") + (s ? s->name : QStringLiteral("none"));
            QVERIFY2(e.name ? s && s->name == QLatin1String(e.name) : !s, qPrintable(where));
            if (s)
                QVERIFY2(offset == e.offset, qPrintable(where + QStringLiteral("+%1").arg(offset)));
        }
        // The disassembly names no operand past the object.
        unsigned int offset = 0;
        QVERIFY(!symbols.NameOf(pair + 6, &offset));
        QCOMPARE(*symbols.NameOf(pair + 5, &offset), QStringLiteral("pair"));
    }

    // Describe on tables built by hand: nested symbols several deep, symbols that start
    // together, adjacent ones, a label inside a function, a constant, one at the top of
    // memory; then random nestings, each address checked against the innermost holder.
    void describeFindsTheInnermostSymbol()
    {
        SymbolTable t;
        t.Add("outer", 0x1000, 0x100, SymbolTable::Function, true);
        t.Add("inner", 0x1010, 0x10, SymbolTable::Object, false);
        t.Add("core", 0x1014, 4, SymbolTable::Object, false);
        t.Add("mark", 0x1050, 0, SymbolTable::Label, false);
        t.Add("next", 0x1100, 0x10, SymbolTable::Function, true);
        t.Add("lone", 0x1200, 1, SymbolTable::Object, true);
        t.Add("BIG", 0x1300, 0x100, SymbolTable::Constant, true);
        t.Add("block", 0x1400, 0x10, SymbolTable::Function, true);
        t.Add("head", 0x1400, 4, SymbolTable::Object, false);
        t.Add("top", 0xFFFFF0, 0x10, SymbolTable::Object, true);
        // Several at one address: a function or object first, then a global, then a name of
        // the author's rather than one that starts as the tools' do, then by name.
        t.Add("_start_", 0x1500, 0, SymbolTable::Label, true);
        t.Add(".L1", 0x1500, 0, SymbolTable::Label, false);
        t.Add("func", 0x1500, 0, SymbolTable::Function, false);
        t.Add("plain", 0x1500, 0, SymbolTable::Label, false);
        t.Add("local_label", 0x1600, 0, SymbolTable::Label, false);
        t.Add("_glob", 0x1600, 0, SymbolTable::Label, true);
        t.Add("_a", 0x1700, 0, SymbolTable::Label, false);
        t.Add("b", 0x1700, 0, SymbolTable::Label, false);
        t.Add("zeta", 0x1800, 0, SymbolTable::Label, false);
        t.Add("alpha", 0x1800, 0, SymbolTable::Label, false);
        t.Add("ALPHA", 0x1800, 0, SymbolTable::Constant, true);
        t.Finish();
        for (const auto& [address, name] : {std::pair<unsigned int, const char*>{0x1500, "func"}, {0x1600, "_glob"}, {0x1700, "b"},
                                            {0x1800, "alpha"}, {0x1400, "block"}, {0x1000, "outer"}}) {
            const SymbolTable::Symbol* label = t.LabelAt(address);
            QVERIFY2(label && label->name == QLatin1String(name), qPrintable(Hex(address)));
        }
        struct Expected
        {
            unsigned int address;
            const char* name;
            unsigned int offset;
        };
        for (const Expected& e :
             {Expected{0xFFF, nullptr, 0}, Expected{0x1000, "outer", 0}, Expected{0x100F, "outer", 0xF},
              Expected{0x1010, "inner", 0}, Expected{0x1013, "inner", 3}, Expected{0x1014, "core", 0},
              Expected{0x1017, "core", 3}, Expected{0x1018, "inner", 8}, Expected{0x101F, "inner", 0xF},
              Expected{0x1020, "outer", 0x20}, Expected{0x1050, "mark", 0}, Expected{0x1051, "outer", 0x51},
              Expected{0x10FF, "outer", 0xFF}, Expected{0x1100, "next", 0}, Expected{0x110F, "next", 0xF},
              Expected{0x1110, nullptr, 0}, Expected{0x1200, "lone", 0}, Expected{0x1201, nullptr, 0},
              Expected{0x1300, nullptr, 0}, Expected{0x1301, nullptr, 0}, Expected{0x1402, "head", 2},
              Expected{0x1404, "block", 4}, Expected{0x140F, "block", 0xF}, Expected{0x1410, nullptr, 0},
              Expected{0xFFFFFF, "top", 0xF}, Expected{0x1000000, nullptr, 0}}) {
            unsigned int offset = 0xDEAD;
            const SymbolTable::Symbol* s = t.Describe(e.address, &offset);
            const QString where = Hex(e.address) + QStringLiteral(": ") + (s ? s->name : QStringLiteral("none"));
            QVERIFY2(e.name ? s && s->name == QLatin1String(e.name) : !s, qPrintable(where));
            if (s)
                QVERIFY2(offset == e.offset, qPrintable(where + QStringLiteral("+%1").arg(offset)));
        }

        // Random trees: children inside their parent, apart or touching, each starting after
        // its parent does; some plain labels. Every address from before the first to past
        // the last is described by the innermost symbol that holds it, or by a label there.
        QRandomGenerator random(4242);
        for (int round = 0; round < 100; ++round) {
            struct Placed
            {
                QByteArray name;
                unsigned int address;
                unsigned int size;
            };
            QVector<Placed> placed;
            std::function<void(unsigned int, unsigned int, int)> fill = [&](unsigned int from, unsigned int to, int depth) {
                unsigned int a = from;
                while (depth < 4 && a + 2 < to) {
                    a += random.bounded(3u);
                    const unsigned int room = to - a;
                    if (room < 2)
                        break;
                    const unsigned int size = random.bounded(5) == 0 ? 0 : 1 + random.bounded(qMin(room, 40u));
                    placed.append(Placed{"s" + QByteArray::number(placed.size()), a, size});
                    if (size > 2)
                        fill(a + 1, a + size, depth + 1);
                    a += qMax(size, 1u);
                }
            };
            fill(0x4000, 0x4100, 0);
            SymbolTable table;
            for (const Placed& p : placed)
                table.Add(p.name, p.address, p.size, random.bounded(2) ? SymbolTable::Object : SymbolTable::Function,
                          random.bounded(2));
            table.Finish();
            for (unsigned int a = 0x3FF0; a < 0x4110; ++a) {
                const Placed* expected = nullptr;
                for (const Placed& p : placed)
                    if (p.address == a)
                        expected = &p;
                for (const Placed& p : placed)
                    if (!expected || expected->address != a)
                        if (a - p.address < p.size && (!expected || p.address > expected->address))
                            expected = &p;
                unsigned int offset = 0xDEAD;
                const SymbolTable::Symbol* s = table.Describe(a, &offset);
                const bool right = expected ? s && s->key == expected->name && offset == a - expected->address : !s;
                if (!right) {
                    QStringList all;
                    for (const Placed& p : placed)
                        all << QStringLiteral("%1 %2+%3").arg(QString::fromLatin1(p.name), Hex(p.address)).arg(p.size);
                    QFAIL(qPrintable(QStringLiteral("%1 is described as %2+%3, not %4, among %5")
                                         .arg(Hex(a), s ? s->name : QStringLiteral("none"))
                                         .arg(offset)
                                         .arg(expected ? QString::fromLatin1(expected->name) : QStringLiteral("none"))
                                         .arg(all.join(QStringLiteral(", ")))));
                }
            }
        }
    }

    // Rows by hand: sequences that end in the open, one that ends where another starts, one
    // that another continues on the same line, ends that carry the statement flag. At and
    // past each end no line holds an address, no range reaches it and no statement starts
    // there, unless a sequence starts there; every address is checked against the sequences.
    void linesEndWithTheirSequence()
    {
        struct Step
        {
            unsigned int address;
            int line;
            bool statement;
        };
        struct Sequence
        {
            int file;
            QVector<Step> steps;
            unsigned int end;
        };
        const QVector<Sequence> sequences = {
            {1, {{0x2000, 5, true}, {0x2002, 6, true}}, 0x2008},
            {0, {{0x3008, 30, true}, {0x300C, 31, true}}, 0x3010},
            {0, {{0x1000, 10, true}, {0x1004, 11, true}, {0x1006, 11, false}, {0x100A, 12, true}}, 0x1010},
            {0, {{0x3000, 30, true}}, 0x3008},
            {0, {{0x1010, 20, true}, {0x1012, 20, true}}, 0x1014},
        };
        LineTable table;
        QCOMPARE(table.AddFile(QStringLiteral("a.c")), 0);
        QCOMPARE(table.AddFile(QStringLiteral("b.s")), 1);
        for (const Sequence& s : sequences) {
            for (const Step& step : s.steps)
                table.Add(LineTable::Row{step.address, s.file, step.line, step.statement, false});
            // As compilers write them, the end of a sequence carries the statement flag.
            table.Add(LineTable::Row{s.end, s.file, s.steps.last().line, true, true});
        }
        table.Finish();

        for (unsigned int a = 0xFF0; a < 0x3020; ++a) {
            // The sequence that holds a, the step, and the steps of the same line around it.
            const Sequence* in = nullptr;
            int k = -1;
            for (const Sequence& s : sequences)
                if (a >= s.steps.first().address && a < s.end) {
                    in = &s;
                    for (int i = 0; i < s.steps.size(); ++i)
                        if (s.steps[i].address <= a)
                            k = i;
                }
            bool statement = false;
            for (const Sequence& s : sequences)
                for (const Step& step : s.steps)
                    statement = statement || (step.address == a && step.statement);
            const QString where = Hex(a);
            QVERIFY2(table.IsStatement(a) == statement, qPrintable(where));
            const LineTable::Row* row = table.Find(a);
            unsigned int start = 0, end = 0;
            const bool ranged = table.Range(a, &start, &end);
            if (!in) {
                QVERIFY2(!row, qPrintable(where + QStringLiteral(" has line %1").arg(row ? row->line : 0)));
                QVERIFY2(!ranged, qPrintable(where + QStringLiteral(" in %1-%2").arg(Hex(start), Hex(end))));
                continue;
            }
            QVERIFY2(row && row->file == in->file && row->line == in->steps[k].line && !row->endSequence, qPrintable(where));
            int first = k, last = k + 1;
            while (first > 0 && in->steps[first - 1].line == in->steps[k].line)
                --first;
            while (last < in->steps.size() && in->steps[last].line == in->steps[k].line)
                ++last;
            const unsigned int expectedEnd = last < in->steps.size() ? in->steps[last].address : in->end;
            QVERIFY2(ranged && start == in->steps[first].address && end == expectedEnd,
                     qPrintable(where + QStringLiteral(" in %1-%2").arg(Hex(start), Hex(end))));
        }
        QVERIFY(!table.Find(0xFFFFFFFF));
        QCOMPARE(table.Addresses(0, 12), std::vector<unsigned int>{0x100A});
        QCOMPARE(table.Addresses(0, 30), (std::vector<unsigned int>{0x3000, 0x3008}));
        QCOMPARE(table.Addresses(0, 11), std::vector<unsigned int>{0x1004});
        QCOMPARE(table.LinesWithCode(0), (std::vector<int>{10, 11, 12, 20, 30, 31}));
        QCOMPARE(table.LinesWithCode(1), (std::vector<int>{5, 6}));

        // A table whose last sequence has no end runs to the end of the address space.
        LineTable open;
        open.AddFile(QStringLiteral("c.s"));
        open.Add(LineTable::Row{0x100, 0, 1, true, false});
        open.Add(LineTable::Row{0x104, 0, 2, true, false});
        open.Finish();
        unsigned int start = 0, end = 0;
        QVERIFY(open.Range(0x200, &start, &end));
        QCOMPARE(start, 0x104u);
        QCOMPARE(end, 0xFFFFFFFFu);
        QCOMPARE(open.Find(0xFFFFFFFF)->line, 2);
        QVERIFY(!open.Find(0xFF));
    }

    // The compiled program's table: its sequence of lines ends where its last function does,
    // which no line holds, and before which the last line's range stops.
    void compiledLinesEndWithTheirFunctions()
    {
        QVERIFY2(Open(Image("lines.elf")), qPrintable(error));
        const LineTable& lines = *document->lines;
        const SymbolTable::Symbol* program = document->symbols->Find(QStringLiteral("program"));
        QVERIFY(program && program->size > 0);
        const unsigned int end = program->address + program->size;
        QVERIFY(lines.RowAt(lines.RowCount() - 1).endSequence);
        QCOMPARE(lines.RowAt(lines.RowCount() - 1).address, end);
        QVERIFY(lines.Find(end - 2));
        for (unsigned int a = end; a < end + 16; ++a) {
            QVERIFY2(!lines.Find(a), qPrintable(Hex(a)));
            QVERIFY2(!lines.IsStatement(a), qPrintable(Hex(a)));
            unsigned int start = 0, stop = 0;
            QVERIFY2(!lines.Range(a, &start, &stop), qPrintable(Hex(a)));
        }
        unsigned int start = 0, stop = 0;
        QVERIFY(lines.Range(end - 2, &start, &stop));
        QCOMPARE(stop, end);
        QVERIFY(start < end - 1 && start >= program->address);
        // Nothing before the first line either.
        const unsigned int first = lines.RowAt(0).address;
        QVERIFY(!lines.Find(first - 1));
    }

    // An executable whose section count is in section 0's size, as when there are too many
    // sections for the header, is read whole: the same symbols and lines as with the count in
    // the header.
    void extendedSectionCountIsRead()
    {
        QByteArray bytes = ReadAll(Image("symbols.elf"));
        const Layout at(bytes);
        QCOMPARE(Get32(bytes, at.shoff + 20), 0u);
        Put32(bytes, at.shoff + 20, quint32(at.shnum));
        Put16(bytes, 48, 0);
        QVERIFY2(Open(Image("symbols.elf")), qPrintable(error));
        const int symbols = document->symbols->Count();
        const int rows = document->lines->RowCount();
        QVERIFY(symbols > 10 && rows > 10);
        init();
        QVERIFY2(Open(Damaged(bytes)), qPrintable(error));
        QCOMPARE(document->symbols->Count(), symbols);
        QCOMPARE(document->lines->RowCount(), rows);
        for (auto it = nm.constBegin(); it != nm.constEnd(); ++it) {
            const SymbolTable::Symbol* symbol = document->symbols->Find(it.key());
            QVERIFY2(symbol && symbol->address == it.value(), qPrintable(it.key()));
        }
    }

    // Each damage gets its own message naming the file and what is wrong, and changes
    // nothing: not memory, not the symbols and lines of the program open before.
    void damagedExecutablesAreRefused_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        const QByteArray good = ReadAll(Image("symbols.elf"));
        const Layout at(good);
        auto with = [&](const std::function<void(QByteArray&)>& damage) {
            QByteArray b = good;
            damage(b);
            return b;
        };
        QTest::newRow("truncated header") << good.left(30) << "tronqué";
        QTest::newRow("truncated segment") << good.left(at.phoff + 64) << "la fin du fichier";
        QTest::newRow("64 bits") << with([](QByteArray& b) { b[4] = 2; }) << "64 bits";
        QTest::newRow("little-endian") << with([](QByteArray& b) { b[5] = 1; }) << "petit-boutiste";
        QTest::newRow("machine") << with([](QByteArray& b) { Put16(b, 18, 62); }) << "machine ELF 62";
        QTest::newRow("object file") << with([](QByteArray& b) { Put16(b, 16, 1); }) << "fichier objet";
        QTest::newRow("shared object") << with([](QByteArray& b) { Put16(b, 16, 3); }) << "type ELF 3";
        QTest::newRow("past 16 MiB") << with([&](QByteArray& b) { Put32(b, at.phoff + 12, 0xFFFF00); })
                                     << "espace d'adressage de 16 Mo";
        QTest::newRow("file size over memory size")
            << with([&](QByteArray& b) { Put32(b, at.phoff + 20, Get32(b, at.phoff + 16) - 1); }) << "plus d'octets";
        QTest::newRow("overlapping segments") << with([&](QByteArray& b) {
            // A copy of the first segment's header over the second's.
            b.replace(at.phoff + 32, 32, b.mid(at.phoff, 32));
            Put16(b, 44, 2);
        }) << "se chevauchent";
        QTest::newRow("absurd section count") << with([](QByteArray& b) { Put16(b, 48, 60000); })
                                              << "table des sections";
        QTest::newRow("sections past the end") << with([](QByteArray& b) { Put32(b, 32, 0x7FFFFFF0); })
                                               << "table des sections";
        QTest::newRow("symbol names elsewhere") << with([&](QByteArray& b) { Put32(b, at.symtab + 24, 99); })
                                                << "table des symboles";
        QTest::newRow("symbol name past its table")
            << with([&](QByteArray& b) { Put32(b, int(Get32(b, at.symtab + 16)) + 16, 0x7FFFFFFF); })
            << "table des symboles";
        QTest::newRow("line table version")
            << with([&](QByteArray& b) { Put16(b, at.debugLine + 4, 77); })
            << "table des lignes source est corrompue : version DWARF invalide (libdw : invalid DWARF version).";
        QTest::newRow("line table length")
            << with([&](QByteArray& b) { Put32(b, at.debugLine, 0x7FFFFFF0); }) << "table des lignes";
        QTest::newRow("file bytes in no memory") << with([&](QByteArray& b) {
            Put32(b, at.phoff + 16, 20);
            Put32(b, at.phoff + 20, 0);
        }) << "Le segment 0 occupe plus d'octets dans le fichier qu'en mémoire.";
        // The count of sections in section 0's size, as for more than 65,279 of them.
        QTest::newRow("extended count past the end") << with([&](QByteArray& b) {
            Put16(b, 48, 0);
            Put32(b, at.shoff + 20, 0x7FFFFFFF);
        }) << "table des sections (2147483647 entrées";
        QTest::newRow("extended count of none") << with([&](QByteArray& b) {
            Put16(b, 48, 0);
            Put32(b, at.shoff + 20, 0);
        }) << "table des sections est illisible";
        QTest::newRow("symbol table size") << with([&](QByteArray& b) { Put32(b, at.symtab + 20, Get32(b, at.symtab + 20) + 3); })
                                           << "table des symboles est corrompue : données invalides (libelf : invalid data).";
    }

    void damagedExecutablesAreRefused()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        QVERIFY(Open(Image("lines.elf")));
        document->memory->Write(0x1fffc, 0x12345678, 32, true);
        QVector<unsigned int> memory(0x20000 / 4);
        for (unsigned int a = 0; a < 0x20000; a += 4)
            memory[int(a / 4)] = document->memory->Read(a, 32);
        const int symbols = document->symbols->Count();
        const int rows = document->lines->RowCount();
        const int serial = document->programSerial;

        const QString path = Damaged(bytes);
        QVERIFY(!Open(path));
        QVERIFY2(error.startsWith(QStringLiteral("Le fichier suivant n'est pas un exécutable 68000 valide :\n\"%1\"\n")
                                      .arg(path)),
                 qPrintable(error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        // A library's own words come last, in parentheses, after what they mean in French.
        if (error.contains(QStringLiteral("(libelf")) || error.contains(QStringLiteral("(libdw"))) {
            const QRegularExpressionMatch told =
                QRegularExpression(QStringLiteral(" : ([^()]+) \\((libelf|libdw) : [^()]+\\)\\.$")).match(error);
            QVERIFY2(told.hasMatch() && !told.captured(1).contains(QStringLiteral("non décrite")), qPrintable(error));
        }
        for (unsigned int a = 0; a < 0x20000; a += 4)
            QCOMPARE(document->memory->Read(a, 32), memory[int(a / 4)]);
        QCOMPARE(document->symbols->Count(), symbols);
        QCOMPARE(document->lines->RowCount(), rows);
        QCOMPARE(document->programSerial, serial);
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program.moc"
