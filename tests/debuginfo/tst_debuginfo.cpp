// The call stack, the variables and their values of a C program stopped three levels deep
// in a recursion, as the library computes them, as zendra-run's --json writes them and as
// gdb-multiarch prints them through zendra-run's GDB server: all three must agree, at -O0
// and at -O1. Then damaged debugging information and damaged machines, which must end.
#include "ChildProcess.h"

#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "program/DebugInfo.h"
#include "program/ElfLoader.h"
#include "program/LineTable.h"
#include "program/ProgramImage.h"
#include "program/SymbolTable.h"
#include "session/CallStack.h"
#include "session/Document.h"
#include "session/ExpressionEvaluator.h"
#include "session/ProgramLoader.h"
#include "session/Session.h"
#include "session/ValueFormatter.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <dwarf.h>

namespace {

const QStringList globalNames = {"total", "visits", "chain", "grid", "paint", "greeting", "ready", "bits", "letter"};
// Watch expressions, printed by GDB in the innermost frame and evaluated there by the library.
const QStringList expressions = {"chain[2].value", "*at", "at->value + total", "sizeof(struct node)",
                                 "grid[1][2] * 2", "where.x * 10 + depth", "paint", "greeting[1]", "bits.mid",
                                 "-doubled", "visits > 3 ? 1 : 2", "(char)65", "chain[1].next->value",
                                 "grid[0][1] << 3 | 1", "(unsigned char)-1", "letter - 'A'", "sizeof(grid)",
                                 "chain[0].next->next->value % 7", "grid[1][2] < 0", "where.y + 1"};

// The first address of the line that walked.c marks "stop".
unsigned int StopAddress(const ProgramImage& image)
{
    QFile source(QStringLiteral(WALKED_SOURCE));
    if (!source.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> lines = source.readAll().split('\n');
    int line = 0;
    while (line < lines.size() && !lines[line].contains("/* stop */"))
        ++line;
    for (int f = 0; f < image.lines.Files().size(); ++f)
        if (image.lines.Files().at(f).endsWith(QLatin1String("walked.c"))) {
            const std::vector<unsigned int> at = image.lines.Addresses(f, line + 1);
            return at.empty() ? 0 : at.front();
        }
    return 0;
}

// GDB's answers at a breakpoint on address, by section: "bt", "args N", "locals N",
// "print NAME", "hex NAME", each the lines that GDB printed for it.
QMap<QString, QStringList> AskGdb(const QString& program, unsigned int address, int frames)
{
    QMap<QString, QStringList> sections;
    QProcess server;
    server.start(QStringLiteral(RUNNER), {QStringLiteral("--gdb"), QStringLiteral("0"), QStringLiteral("--gdb-once"), program});
    server.setReadChannel(QProcess::StandardError);
    QElapsedTimer timer;
    timer.start();
    while (!server.canReadLine() && timer.elapsed() < 10000 && server.waitForReadyRead(1000)) {
    }
    const QRegularExpressionMatch port = QRegularExpression(QStringLiteral(":(\\d+)\n")).match(QString::fromUtf8(server.readLine()));
    if (!port.hasMatch())
        return sections;
    QStringList script = {"set pagination off", "set confirm off", "set width 0",
                          // The library does not look for a parameter's value at its entry
                          // through the caller's call site: GDB is asked not to either.
                          "set print entry-values no",
                          QStringLiteral("target remote 127.0.0.1:%1").arg(port.captured(1)),
                          QStringLiteral("break *0x%1").arg(address, 0, 16), "continue", "echo @@bt\\n", "bt"};
    for (int i = 0; i < frames; ++i)
        script << QStringLiteral("echo @@frame %1\\n").arg(i) << QStringLiteral("frame %1").arg(i)
               << QStringLiteral("echo @@args %1\\n").arg(i) << "info args"
               << QStringLiteral("echo @@locals %1\\n").arg(i) << "info locals";
    for (const QString& name : globalNames)
        script << QStringLiteral("echo @@print %1\\n").arg(name) << QStringLiteral("print %1").arg(name)
               << QStringLiteral("echo @@hex %1\\n").arg(name) << QStringLiteral("print/x %1").arg(name);
    script << "echo @@innermost\\n" << "frame 0";
    for (const QString& expression : expressions)
        script << QStringLiteral("echo @@expression %1\\n").arg(expression) << QStringLiteral("print %1").arg(expression);
    script << "echo @@end\\n" << "kill";
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("script.gdb")));
    if (!file.open(QIODevice::WriteOnly))
        return sections;
    file.write(script.join(QLatin1Char('\n')).toUtf8() + '\n');
    file.close();
    const ChildProcess gdb = ChildProcess::Run(QStringLiteral(GDB), {"-batch", "-nx", "-x", file.fileName(), program});
    server.waitForFinished(10000);
    QString section;
    for (const QString& line : QString::fromUtf8(gdb.out).split(QLatin1Char('\n'))) {
        if (line.startsWith(QLatin1String("@@")))
            section = line.mid(2);
        else if (!section.isEmpty() && !line.isEmpty())
            sections[section] << QString(line).remove(QRegularExpression(QStringLiteral("^\\$\\d+ = ")));
    }
    return sections;
}

// A frame's line of GDB's bt, which shows structures and arrays among the arguments as ...
QString BacktraceLine(const CallStack& stack, const ValueFormatter& formatter, const TypeTable& types, int i)
{
    const CallStack::Frame& f = stack.frames[std::size_t(i)];
    QStringList args;
    for (const DebugValue& v : stack.Arguments(i)) {
        const TypeTable::Kind kind = types.At(types.Strip(v.type)).kind;
        const bool aggregate = kind == TypeTable::Kind::Structure || kind == TypeTable::Kind::Union
                               || kind == TypeTable::Kind::Array;
        args << v.name + QLatin1Char('=') + (aggregate ? QStringLiteral("...") : formatter.Text(v));
    }
    return QStringLiteral("#%1  %2%3 (%4) at %5:%6")
        .arg(i)
        .arg(i == 0 ? QString() : QStringLiteral("0x%1 in ").arg(f.pc, 8, 16, QLatin1Char('0')))
        .arg(f.name, args.join(QStringLiteral(", ")), f.file)
        .arg(f.line);
}

QStringList Listed(const std::vector<DebugValue>& values, const ValueFormatter& formatter, const char* none)
{
    QStringList lines;
    for (const DebugValue& v : values)
        lines << v.name + QStringLiteral(" = ") + formatter.Text(v);
    return lines.isEmpty() ? QStringList{QLatin1String(none)} : lines;
}

} // namespace

class DebugInfoTest : public QObject
{
    Q_OBJECT

private slots:
    void agreesWithGdb_data();
    void agreesWithGdb();
    void typesOfTheProgram();
    void damagedTypesAndLocationsEnd();
    void damagedStacksEnd();
    void damagedFilesLoad();
    void programWithoutFunctionsKeepsItsJson();
};

void DebugInfoTest::agreesWithGdb_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("-O0") << QStringLiteral(WALKED_O0);
    QTest::newRow("-O1") << QStringLiteral(WALKED_O1);
}

void DebugInfoTest::agreesWithGdb()
{
    QFETCH(QString, program);
    ProgramImage image;
    ElfLoader loader(program);
    QVERIFY2(loader.Parse(&image), qPrintable(loader.errorMessage));
    // GCC's DW_OP_GNU_uninit, which libdw does not read, costs a variable its place where
    // it marks one; nothing else may be lost.
    for (const QString& problem : image.debug.problems)
        QVERIFY2(problem.startsWith(QStringLiteral("L'emplacement de « moved »")), qPrintable(problem));
    const unsigned int address = StopAddress(image);
    QVERIFY(address != 0);

    // The library, stopped there.
    Session session;
    QString error;
    QVERIFY2(session.Load(program, &error), qPrintable(error));
    session.Reset();
    RunBounds bounds;
    bounds.untilSet = true;
    bounds.until = address;
    QCOMPARE(session.RunHere(QuickStopMode, bounds).cause, StopCause::Until);
    const Document& document = *session.document;
    CallStack stack(document);
    stack.Unwind(*document.emulator->registers);
    const ValueFormatter formatter(document.debugInfo, document.memory, document.symbols);
    // walk three times over itself, then main, where GDB's backtrace ends too.
    QCOMPARE(int(stack.frames.size()), 5);
    QCOMPARE(stack.endMessage, QString());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(stack.frames[std::size_t(i)].name, QStringLiteral("walk"));
    QCOMPARE(stack.frames[4].name, QStringLiteral("main"));

    const QMap<QString, QStringList> gdb = AskGdb(program, address, 5);
    QVERIFY2(gdb.contains(QStringLiteral("end")) || gdb.contains(QStringLiteral("hex letter")), "GDB did not answer");
    QStringList bt;
    for (int i = 0; i < 5; ++i)
        bt << BacktraceLine(stack, formatter, document.debugInfo->types, i);
    QCOMPARE(bt, gdb.value(QStringLiteral("bt")));
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(Listed(stack.Arguments(i), formatter, "No arguments."), gdb.value(QStringLiteral("args %1").arg(i)));
        QCOMPARE(Listed(stack.Locals(i), formatter, "No locals."), gdb.value(QStringLiteral("locals %1").arg(i)));
    }
    const std::vector<DebugValue> globals = stack.Globals();
    for (const QString& name : globalNames) {
        auto g = std::find_if(globals.begin(), globals.end(), [&](const DebugValue& v) { return v.name == name; });
        QVERIFY2(g != globals.end(), qPrintable(name));
        QCOMPARE(QStringList{formatter.Text(*g)}, gdb.value(QStringLiteral("print ") + name));
        QCOMPARE(QStringList{formatter.Text(*g, ValueFormatter::Radix::Hexadecimal)}, gdb.value(QStringLiteral("hex ") + name));
    }

    ExpressionEvaluator evaluator(document.debugInfo, document.memory, &stack, 0, &formatter);
    for (const QString& expression : expressions) {
        DebugValue value;
        QString error;
        QVERIFY2(evaluator.Evaluate(expression, &value, &error), qPrintable(expression + QStringLiteral(": ") + error));
        QCOMPARE(QStringList{formatter.Text(value)}, gdb.value(QStringLiteral("expression ") + expression));
    }

    // zendra-run's --json at the same stop: the same frames, with their arguments whole.
    QTemporaryDir dir;
    const QString json = dir.filePath(QStringLiteral("stop.json"));
    const ChildProcess run = ChildProcess::Run(QStringLiteral(RUNNER),
                                               {QStringLiteral("--until"), QStringLiteral("$%1").arg(address, 0, 16),
                                                QStringLiteral("--json"), json, program});
    QCOMPARE(run.status, 0);
    QFile file(json);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject state = QJsonDocument::fromJson(file.readAll()).object();
    QVERIFY(!state.contains(QStringLiteral("backtraceEnd")));
    const QJsonArray frames = state.value(QStringLiteral("backtrace")).toArray();
    QCOMPARE(frames.size(), 5);
    for (int i = 0; i < 5; ++i) {
        const QJsonObject f = frames[i].toObject();
        const CallStack::Frame& expected = stack.frames[std::size_t(i)];
        QCOMPARE(f.value(QStringLiteral("function")).toString(), expected.name);
        QCOMPARE(f.value(QStringLiteral("file")).toString(), expected.file);
        QCOMPARE(f.value(QStringLiteral("line")).toInt(), expected.line);
        QCOMPARE(unsigned(f.value(QStringLiteral("pc")).toDouble()), expected.pc);
        QStringList args;
        for (const QJsonValue a : f.value(QStringLiteral("args")).toArray())
            args << a.toObject().value(QStringLiteral("name")).toString() + QStringLiteral(" = ")
                        + a.toObject().value(QStringLiteral("value")).toString();
        QCOMPARE(args, i == 4 ? QStringList() : Listed(stack.Arguments(i), formatter, "No arguments."));
    }
}

// The type model as a view or an expression evaluator reads it: C's names, sizes, members
// and bit fields, enumerators, and the tree of values under a variable.
void DebugInfoTest::typesOfTheProgram()
{
    ProgramImage image;
    ElfLoader loader(QStringLiteral(WALKED_O0));
    QVERIFY(loader.Parse(&image));
    const DebugInfo& debug = image.debug;
    const TypeTable& types = debug.types;
    const auto global = [&](const char* name) { return debug.FindGlobal(QLatin1String(name), 0); };
    const QMap<QString, QString> names = {{"chain", "struct node [4]"}, {"grid", "int [2][3]"},
                                          {"greeting", "const char *"},  {"letter", "byte"},
                                          {"paint", "enum colour"},      {"ready", "_Bool"},
                                          {"bits", "struct flags"},      {"visits", "int"}};
    for (auto n = names.begin(); n != names.end(); ++n) {
        const DebugInfo::Variable* v = global(qPrintable(n.key()));
        QVERIFY2(v, qPrintable(n.key()));
        QCOMPARE(types.Name(v->type), n.value());
    }
    QVERIFY(global("visits")->isStatic);
    QVERIFY(!global("total")->isStatic);
    QCOMPARE(types.SizeOf(global("chain")->type), 32u);
    QCOMPARE(types.SizeOf(global("grid")->type), 24u);
    const TypeTable::Type& grid = types.At(types.Strip(global("grid")->type));
    QCOMPARE(grid.count, 2ll);
    QCOMPARE(types.At(grid.target).count, 3ll);
    const TypeTable::Type& flags = types.At(types.Strip(global("bits")->type));
    QCOMPARE(int(flags.members.size()), 3);
    QCOMPARE(flags.members[1].name, QStringLiteral("mid"));
    QCOMPARE(flags.members[1].bitSize, 5);
    QCOMPARE(flags.members[1].offset * 8 + unsigned(flags.members[1].bitOffset), 3u);
    const TypeTable::Type& colour = types.At(types.Strip(global("paint")->type));
    QCOMPARE(colour.enumerators.back().name, QStringLiteral("BLUE"));
    QCOMPARE(colour.enumerators.back().value, 6ll);
    const TypeTable::Type& node = types.At(types.Strip(types.At(types.Strip(global("chain")->type)).target));
    // The structure points at itself through the same index.
    QCOMPARE(types.Name(node.members[1].type), QStringLiteral("struct node *"));
    QCOMPARE(types.At(node.members[1].type).target, types.Strip(types.At(types.Strip(global("chain")->type)).target));

    // The tree under chain, in a machine with the program: elements, members, and through
    // the pointer the next node.
    Document document;
    ProgramLoader(QStringLiteral("walked"), &document).Commit(image);
    const unsigned int start = document.debugInfo->FindGlobal(QStringLiteral("chain"), 0)->location.ops[0].number;
    for (unsigned int i = 0; i < 4; ++i) {
        document.memory->Write(start + 8 * i, 10 * (i + 1), 32, true);
        document.memory->Write(start + 8 * i + 4, i < 3 ? start + 8 * (i + 1) : 0, 32, true);
    }
    const ValueFormatter formatter(document.debugInfo, document.memory, document.symbols);
    DebugValue chain;
    chain.name = QStringLiteral("chain");
    chain.type = document.debugInfo->FindGlobal(QStringLiteral("chain"), 0)->type;
    chain.storage = DebugValue::Storage::Memory;
    chain.address = start;
    const std::vector<DebugValue> elements = formatter.Children(chain);
    QCOMPARE(int(elements.size()), 4);
    QCOMPARE(elements[2].name, QStringLiteral("[2]"));
    const std::vector<DebugValue> members = formatter.Children(elements[0]);
    QCOMPARE(formatter.TypeName(members[1]), QStringLiteral("struct node *"));
    QCOMPARE(formatter.Text(members[1]), QStringLiteral("0x%1 <chain+8>").arg(start + 8, 0, 16));
    const std::vector<DebugValue> next = formatter.Children(members[1]);
    QCOMPARE(int(next.size()), 1);
    QCOMPARE(next[0].name, QStringLiteral("*next"));
    QCOMPARE(formatter.Text(next[0]), QStringLiteral("{value = 20, next = 0x%1 <chain+16>}").arg(start + 16, 0, 16));
    QVERIFY(!formatter.HasChildren(formatter.Children(elements[3])[1]));
}

// Types that refer to themselves, arrays of absurd bounds and expressions that cannot be
// evaluated: every answer comes, bounded, and says what is wrong.
void DebugInfoTest::damagedTypesAndLocationsEnd()
{
    DebugInfo debug;
    TypeTable& types = debug.types;
    TypeTable::Type loop;
    loop.kind = TypeTable::Kind::Typedef;
    loop.name = QStringLiteral("loop");
    const int self = types.Add(loop);
    types.Edit(self).target = self;
    TypeTable::Type integer;
    integer.kind = TypeTable::Kind::Integer;
    integer.name = QStringLiteral("int");
    integer.size = 4;
    integer.isSigned = true;
    const int intType = types.Add(integer);
    TypeTable::Type huge;
    huge.kind = TypeTable::Kind::Array;
    huge.count = 1ll << 40;
    huge.target = intType;
    const int hugeType = types.Add(huge);
    // A structure whose member is an array of itself: no file should say it, a damaged one may.
    TypeTable::Type box;
    box.kind = TypeTable::Kind::Structure;
    box.name = QStringLiteral("box");
    box.size = 8;
    const int boxType = types.Add(box);
    TypeTable::Type boxes;
    boxes.kind = TypeTable::Kind::Array;
    boxes.count = 2;
    boxes.target = boxType;
    const int boxesType = types.Add(boxes);
    types.Edit(boxType).members.push_back(TypeTable::Member{QStringLiteral("inner"), boxesType, 0, 0, 0});

    QCOMPARE(types.Strip(self), -1);
    QCOMPARE(types.SizeOf(self), 0u);
    QCOMPARE(types.Name(self), QStringLiteral("loop"));
    QCOMPARE(types.SizeOf(hugeType), 0xFFFFFFFFu);
    QCOMPARE(types.Name(hugeType), QStringLiteral("int [1099511627776]"));

    Document document;
    Memory& memory = *document.memory;
    const ValueFormatter formatter(&debug, &memory, document.symbols);
    DebugValue value;
    value.storage = DebugValue::Storage::Memory;
    value.address = 0x1000;
    value.type = hugeType;
    const QString text = formatter.Text(value);
    QVERIFY(text.startsWith(QStringLiteral("{0 <repeats 200 times>...}")));
    QCOMPARE(int(formatter.Children(value).size()), ValueFormatter::maximumElements);
    value.type = boxType;
    QVERIFY(formatter.Text(value).contains(QStringLiteral("{...}")));
    QVERIFY(formatter.Text(value).size() < 100000);
    value.type = self;
    QCOMPARE(formatter.Text(value), QStringLiteral("<type inconnu>"));
    // An enumerator without a name shows its number, never an empty text.
    TypeTable::Type colour;
    colour.kind = TypeTable::Kind::Enumeration;
    colour.size = 4;
    colour.enumerators = {TypeTable::Enumerator{QString(), 0}, TypeTable::Enumerator{QStringLiteral("red"), 1}};
    value.type = types.Add(colour);
    memory.Write(0x1000, 0, 32, true);
    QCOMPARE(formatter.Text(value), QStringLiteral("0"));
    memory.Write(0x1000, 1, 32, true);
    QCOMPARE(formatter.Text(value), QStringLiteral("red"));

    // Expressions.
    LocationEvaluator::Context context;
    context.memory = &memory;
    for (int i = 0; i < 16; ++i) {
        context.registers.values[i] = 0x100 * unsigned(i + 1);
        context.registers.known[i] = i != 3;
    }
    context.registers.pc = 0x2000;
    const LocationEvaluator evaluator(context);
    const auto place = [&](std::vector<DebugLocation::Op> ops, unsigned int size = 4) {
        DebugLocation location;
        location.kind = DebugLocation::Kind::Expression;
        location.ops = std::move(ops);
        return evaluator.Place(location, size);
    };
    using Op = DebugLocation::Op;
    DebugValue v = place({Op{DW_OP_plus, 0, 0, {}}});
    QCOMPARE(v.storage, DebugValue::Storage::Unreadable);
    QVERIFY(v.problem.contains(QStringLiteral("pile")));
    v = place({Op{0xE5, 0, 0, {}}});
    QCOMPARE(v.storage, DebugValue::Storage::Unreadable);
    QVERIFY2(v.problem.contains(QStringLiteral("$E5")), qPrintable(v.problem));
    v = place({Op{DW_OP_fbreg, 8, 0, {}}});
    QCOMPARE(v.storage, DebugValue::Storage::Unreadable);
    v = place({Op{DW_OP_entry_value, 0, 0, {}}});
    QCOMPARE(v.storage, DebugValue::Storage::OptimisedOut);
    // A register lost in an outer frame, then one kept; a base register with an offset.
    QCOMPARE(place({Op{DW_OP_reg3, 0, 0, {}}}).storage, DebugValue::Storage::OptimisedOut);
    v = place({Op{DW_OP_reg2, 0, 0, {}}}, 2);
    QCOMPARE(v.bytes, QByteArray::fromHex("0300"));
    v = place({Op{DW_OP_breg14, quint64(-8), 0, {}}});
    QCOMPARE(v.storage, DebugValue::Storage::Memory);
    QCOMPARE(v.address, 0xF00u - 8);
    // Pieces: a word of D1, then a word computed.
    v = place({Op{DW_OP_reg1, 0, 0, {}}, Op{DW_OP_piece, 2, 0, {}}, Op{DW_OP_lit5, 0, 0, {}}, Op{DW_OP_lit7, 0, 0, {}},
               Op{DW_OP_mul, 0, 0, {}}, Op{DW_OP_stack_value, 0, 0, {}}, Op{DW_OP_piece, 2, 0, {}}});
    QCOMPARE(v.storage, DebugValue::Storage::Bytes);
    QCOMPARE(v.bytes, QByteArray::fromHex("02000023"));
    // A deref reads the memory, big-endian; a list past the code locates nothing.
    memory.Write(0x500, 0x12345678, 32, true);
    unsigned int computed = 0;
    QString why;
    QVERIFY(evaluator.Compute({Op{DW_OP_const2u, 0x500, 0, {}}, Op{DW_OP_deref, 0, 0, {}}, Op{DW_OP_stack_value, 0, 0, {}}},
                              &computed, &why));
    QCOMPARE(computed, 0x12345678u);
    // Without stack_value, the result is an address of the 68000's 24 bits.
    QVERIFY(evaluator.Compute({Op{DW_OP_const2u, 0x500, 0, {}}, Op{DW_OP_deref, 0, 0, {}}}, &computed, &why));
    QCOMPARE(computed, 0x345678u);
    DebugLocation list;
    list.kind = DebugLocation::Kind::List;
    list.ranges.push_back(DebugLocation::Range{0xFFFF00, 0xFFFFFF, {Op{DW_OP_reg0, 0, 0, {}}}});
    QCOMPARE(evaluator.Place(list, 4).storage, DebugValue::Storage::OptimisedOut);
    list.ranges.push_back(DebugLocation::Range{0x1000, 0x3000, {Op{DW_OP_reg0, 0, 0, {}}}});
    QCOMPARE(evaluator.Place(list, 4).bytes, QByteArray::fromHex("00000100"));
}

// The walked program stopped in its recursion, then its stack damaged: a frame chain that
// loops and a return address into nothing end the stack with their word of why.
void DebugInfoTest::damagedStacksEnd()
{
    for (const char* program : {WALKED_O0, WALKED_O1}) {
        ProgramImage image;
        ElfLoader loader(QString::fromLatin1(program));
        QVERIFY(loader.Parse(&image));
        Session session;
        QString error;
        QVERIFY(session.Load(QString::fromLatin1(program), &error));
        session.Reset();
        RunBounds bounds;
        bounds.untilSet = true;
        bounds.until = StopAddress(image);
        QCOMPARE(session.RunHere(QuickStopMode, bounds).cause, StopCause::Until);
        Document& document = *session.document;
        CallStack stack(document);
        stack.Unwind(*document.emulator->registers);
        QCOMPARE(int(stack.frames.size()), 5);
        // Without the call frame information: at -O0 the A6 chain gives the same frames and
        // arguments; at -O1, without frame pointer, the stack ends at once, saying why.
        const ValueFormatter formatter(document.debugInfo, document.memory, document.symbols);
        const auto describe = [&](const CallStack& s) {
            QStringList lines;
            for (int i = 0; i < int(s.frames.size()); ++i)
                lines << QStringLiteral("%1 %2 %3").arg(s.frames[std::size_t(i)].name).arg(s.frames[std::size_t(i)].pc)
                             .arg(Listed(s.Arguments(i), formatter, "").join(QLatin1Char(',')))
                      << Listed(s.Locals(i), formatter, "");
            return lines;
        };
        const auto frameTable = document.debugInfo->frames;
        document.debugInfo->frames.reset();
        CallStack chained(document);
        chained.Unwind(*document.emulator->registers);
        if (QByteArray(program).endsWith("O0.elf")) {
            QCOMPARE(describe(chained), describe(stack));
            QCOMPARE(chained.endMessage, QString());
        } else {
            QCOMPARE(int(chained.frames.size()), 1);
            QVERIFY2(chained.endMessage.startsWith(QStringLiteral("Pile d'appels interrompue : adresse de retour introuvable")),
                     qPrintable(chained.endMessage));
        }
        document.debugInfo->frames = frameTable;
        // The return address of frame 1 (saved just below frame 1's CFA) into nothing.
        const unsigned int saved = stack.frames[1].cfa - 4;
        const unsigned int returnAddress = document.memory->Read(saved, 32);
        document.memory->Write(saved, 0xFFF000, 32, true);
        stack.Unwind(*document.emulator->registers);
        QCOMPARE(int(stack.frames.size()), 3);
        QVERIFY2(stack.endMessage.startsWith(QStringLiteral("Pile d'appels interrompue : adresse de retour introuvable")),
                 qPrintable(stack.endMessage));
        // A frame whose caller's frame is its own: at -O0 the saved A6 that points at
        // itself; at -O1 frame 0's return to its own pc, whose frames then climb the stack.
        document.memory->Write(saved, returnAddress, 32, true);
        const bool linked = QByteArray(program).endsWith("O0.elf");
        const unsigned int a6 = document.emulator->registers->a[6];
        if (linked)
            document.memory->Write(a6, a6, 32, true);
        else
            document.memory->Write(stack.frames[0].cfa - 4, stack.frames[0].pc, 32, true);
        stack.Unwind(*document.emulator->registers);
        QVERIFY(int(stack.frames.size()) <= CallStack::maximumDepth);
        QVERIFY2(stack.endMessage.startsWith(QStringLiteral("Pile d'appels interrompue")), qPrintable(stack.endMessage));
        if (linked)
            QVERIFY2(stack.endMessage.contains(QStringLiteral("ne déplace pas la pile")), qPrintable(stack.endMessage));
    }
}

// The program's debugging sections damaged byte by byte: each file loads or is refused
// with its message, and what loads gives a stack, arguments, locals and globals at the
// stop, bounded; some damage is told among the problems.
void DebugInfoTest::damagedFilesLoad()
{
    QFile file(QStringLiteral(WALKED_O1));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray original = file.readAll();
    ProgramImage clean;
    ElfLoader cleanLoader(QStringLiteral("walked"));
    QVERIFY(cleanLoader.Parse(original, &clean));
    const unsigned int stop = StopAddress(clean);
    // The sections follow the segments' bytes: the debugging information lies past them.
    int firstDebug = 0;
    for (const ProgramImage::Segment& s : clean.segments)
        firstDebug = std::max(firstDebug, int(original.indexOf(s.bytes)) + s.bytes.size());
    int loaded = 0;
    int told = 0;
    quint32 seed = 12345;
    const auto next = [&seed] {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int trial = 0; trial < 400; ++trial) {
        QByteArray bytes = original;
        for (int k = 0; k < 1 + trial % 4; ++k)
            bytes[firstDebug + int(next() % unsigned(bytes.size() - firstDebug))] = char(next());
        ProgramImage image;
        ElfLoader loader(QStringLiteral("walked"));
        if (!loader.Parse(bytes, &image)) {
            QVERIFY(!loader.errorMessage.isEmpty());
            continue;
        }
        ++loaded;
        told += image.debug.problems.isEmpty() ? 0 : 1;
        Document document;
        ProgramLoader(QStringLiteral("walked"), &document).Commit(image);
        // A stop as the clean program has it, in the machine of the damaged one.
        Register registers(document.emulator->registers);
        registers.pc = stop;
        registers.sr |= 0x2000;
        registers.ssp = 0x7FF00;
        registers.a[6] = 0x7FF10;
        CallStack stack(document);
        stack.Unwind(registers);
        QVERIFY(!stack.frames.empty() && int(stack.frames.size()) <= CallStack::maximumDepth);
        const ValueFormatter formatter(document.debugInfo, document.memory, document.symbols);
        for (int i = 0; i < int(stack.frames.size()); ++i)
            for (const std::vector<DebugValue>& values : {stack.Arguments(i), stack.Locals(i)})
                for (const DebugValue& v : values)
                    QVERIFY(formatter.Text(v).size() < 1000000);
        for (const DebugValue& v : stack.Globals()) {
            QVERIFY(formatter.Text(v, ValueFormatter::Radix::Hexadecimal).size() < 1000000);
            formatter.Children(v);
        }
    }
    QVERIFY2(loaded > 100, qPrintable(QString::number(loaded)));
    QVERIFY2(told > 0, qPrintable(QString::number(told)));
}

void DebugInfoTest::programWithoutFunctionsKeepsItsJson()
{
    QTemporaryDir dir;
    const QString json = dir.filePath(QStringLiteral("plain.json"));
    const ChildProcess run = ChildProcess::Run(QStringLiteral(RUNNER), {QStringLiteral("--until"), QStringLiteral("done"),
                                                                        QStringLiteral("--json"), json, QStringLiteral(PLAIN)});
    QCOMPARE(run.status, 0);
    QFile file(json);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QJsonObject state = QJsonDocument::fromJson(file.readAll()).object();
    QCOMPARE(state.value(QStringLiteral("stop")).toString(), QStringLiteral("until"));
    QCOMPARE(state.keys(), (QStringList{"cycles", "instructions", "message", "registers", "stop"}));
}

QTEST_GUILESS_MAIN(DebugInfoTest)
#include "tst_debuginfo.moc"
