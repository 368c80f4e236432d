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
#include "program/LineTable.h"
#include "session/ProgramLoader.h"
#include "program/SymbolTable.h"

#include <QtTest>

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
        QCOMPARE(Run(StepIntoLineMode), int(Done));
        QVERIFY(Line() < body);
        QCOMPARE(Run(StepIntoLineMode), int(Done));
        QCOMPARE(Line(), body);
        QCOMPARE(Run(StepIntoLineMode), int(Done));
        QCOMPARE(Line(), body + 1);
        while (Line() != call && Line() != loop)
            QCOMPARE(Run(StepIntoLineMode), int(Done));
        // A breakpoint inside a call stops a step over it there.
        unsigned int square = 0;
        QVERIFY(Evaluate("square", &square));
        while (Line() != call)
            Run(StepOverLineMode);
        document->AddAddressBreakpoint(square);
        QCOMPARE(Run(StepOverLineMode), int(AddressBreak));
        QCOMPARE(Pc(), square);
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
            << with([&](QByteArray& b) { Put16(b, at.debugLine + 4, 77); }) << "table des lignes";
        QTest::newRow("line table length")
            << with([&](QByteArray& b) { Put32(b, at.debugLine, 0x7FFFFFF0); }) << "table des lignes";
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
        for (unsigned int a = 0; a < 0x20000; a += 4)
            QCOMPARE(document->memory->Read(a, 32), memory[int(a / 4)]);
        QCOMPARE(document->symbols->Count(), symbols);
        QCOMPARE(document->lines->RowCount(), rows);
        QCOMPARE(document->programSerial, serial);
    }
};

QTEST_GUILESS_MAIN(ProgramTest)
#include "tst_program.moc"
