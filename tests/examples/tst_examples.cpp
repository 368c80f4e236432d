// The C template of examples/c as a user takes it: copied, built with one `make`, nothing
// but 68000 instructions in what it links, and run by zendra-run from its ELF and from its
// S-Records alike; with its own main.c, and with divisions.c in its place, whose quotients,
// remainders and products of signed and unsigned operands the host works out too.
#include "session/Document.h"
#include "session/ProgramLoader.h"
#include "program/SymbolTable.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include "ChildProcess.h"

#include <cstdint>
#include <numeric>

namespace {

using Process = ChildProcess;

Process Start(const QString& program, const QStringList& arguments, const QString& folder = QString())
{
    return ChildProcess::Run(program, arguments, folder);
}

// The template's sources, without what a build in its own folder left there.
bool CopyTemplate(const QString& to)
{
    const QDir from(QStringLiteral(TEMPLATE));
    const QStringList sources = from.entryList({"*.c", "*.s", "*.ld", "Makefile"}, QDir::Files);
    for (const QString& name : sources)
        if (!QFile::copy(from.filePath(name), QDir(to).filePath(name)))
            return false;
    return sources.contains(QStringLiteral("Makefile")) && sources.contains(QStringLiteral("main.c"));
}

Process Make(const QString& folder, const QStringList& arguments = {})
{
    return Start(QStringLiteral(MAKE), QStringList{QStringLiteral("CROSS_COMPILE=" CROSS_COMPILE)} + arguments, folder);
}

// The lines of objdump's 68000 disassembly that are no 68000 instruction: it shows a 68020
// instruction as .short, and BSR.L, Bcc.L as a short branch to an odd address.
QStringList Not68000(const QString& elf)
{
    const Process dump = Start(QStringLiteral(OBJDUMP), {"-d", "-m68000", elf});
    if (dump.status != 0 || !dump.out.contains("<main>:"))
        return {QStringLiteral("objdump: ") + QString::fromLatin1(dump.err)};
    const QRegularExpression instruction(QStringLiteral("^\\s*[0-9a-f]+:\\t[0-9a-f ]+\\t(\\S+)\\s*(\\S*)"));
    const QRegularExpression target(QStringLiteral("^[0-9a-f]*[13579bdf]$"));
    QStringList faults;
    for (const QByteArray& line : dump.out.split('\n')) {
        const QRegularExpressionMatch m = instruction.match(QString::fromLatin1(line));
        if (!m.hasMatch())
            continue;
        const QString mnemonic = m.captured(1);
        const bool branch = mnemonic.startsWith(QLatin1Char('b')) || mnemonic.startsWith(QLatin1String("db"));
        if (mnemonic == QLatin1String(".short") || mnemonic == QLatin1String("(bad)")
            || (branch && target.match(m.captured(2)).hasMatch()))
            faults << QString::fromLatin1(line);
    }
    return faults;
}

struct Run
{
    int status = -1;
    QJsonObject json;
    QByteArray out;

    double Register(const char* name) const { return json.value("registers").toObject().value(name).toDouble(); }
    QByteArray Memory(int block) const
    {
        return QByteArray::fromHex(json.value("memory").toArray().at(block).toObject().value("hex").toString().toLatin1());
    }
    unsigned int Address(int block) const
    {
        return unsigned(json.value("memory").toArray().at(block).toObject().value("address").toDouble());
    }
};

// A template that loops for ever fails at the limit, a hundred times its own count.
Run RunProgram(const QStringList& arguments)
{
    const Process p = Start(QStringLiteral(RUNNER), arguments + QStringList{"--limit", "100000000", "--json", "-"});
    return {p.status, QJsonDocument::fromJson(p.out).object(), p.out + p.err};
}

// The same run from the S-Records, which carry no names: the until address is done's, and
// each block of memory is asked for at the address that the ELF's run reported.
void CheckSRecordsGiveTheSame(const QString& folder, const Run& elf, const QStringList& lengths)
{
    QStringList arguments{QDir(folder).filePath("main.hex"), "--until", QStringLiteral("$%1").arg(unsigned(elf.Register("pc")), 0, 16)};
    for (int i = 0; i < lengths.size(); ++i)
        arguments << "--memory" << QStringLiteral("$%1:%2").arg(elf.Address(i), 0, 16).arg(lengths.at(i));
    const Run hex = RunProgram(arguments);
    QCOMPARE(hex.status, 0);
    // S-Records carry no debugging information: the call stack is the ELF's alone.
    QJsonObject withoutStack = elf.json;
    QVERIFY(withoutStack.contains("backtrace"));
    withoutStack.remove("backtrace");
    QCOMPARE(hex.json, withoutStack);
}

quint32 Long(const QByteArray& bytes, int offset)
{
    return qFromBigEndian<quint32>(bytes.constData() + offset);
}

qint32 Signed(const QByteArray& bytes, int offset)
{
    return qint32(Long(bytes, offset));
}

// Builds the template, or a copy of it with another main.c, in folder; fails the test when
// make fails or what it links has an instruction that the 68000 does not have.
void Build(const QString& folder, const QString& main = QString())
{
    QVERIFY(CopyTemplate(folder));
    if (!main.isEmpty()) {
        QVERIFY(QFile::remove(QDir(folder).filePath("main.c")));
        QVERIFY(QFile::copy(main, QDir(folder).filePath("main.c")));
    }
    const Process make = Make(folder);
    QVERIFY2(make.status == 0, (make.out + make.err).constData());
    QVERIFY(QFile::exists(QDir(folder).filePath("main.hex")));
    const QStringList faults = Not68000(QDir(folder).filePath("main.elf"));
    QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
}

} // namespace

class ExamplesTest : public QObject
{
    Q_OBJECT

private slots:
    // The template as shipped: factorials, a signed quotient and remainder, a greatest common
    // divisor and a number in decimal in results, a disc on the screen and its number of
    // points in D0 at done; make again has nothing to do, make clean leaves the sources.
    void templateAsShipped()
    {
        QTemporaryDir folder;
        Build(folder.path());
        if (QTest::currentTestFailed())
            return;
        const QString png = folder.filePath("screen.png");
        const Run run = RunProgram({folder.filePath("main.elf"), "--until", "done", "--memory", "results:76", "--memory",
                                    "dividend:4", "--memory", "divisor:4", "--memory", "first:4", "--memory", "second:4",
                                    "--memory", "radius:4", "--screen", png});
        QVERIFY2(run.status == 0, run.out.constData());
        QCOMPARE(run.json.value("stop").toString(), QStringLiteral("until"));
        const QByteArray results = run.Memory(0);
        QCOMPARE(results.size(), 76);
        const qint32 dividend = Signed(run.Memory(1), 0);
        const qint32 divisor = Signed(run.Memory(2), 0);
        const quint32 first = Long(run.Memory(3), 0);
        const quint32 second = Long(run.Memory(4), 0);
        const qint32 radius = Signed(run.Memory(5), 0);
        QVERIFY(dividend < 0 && divisor > 1 && radius > 0 && radius < 160);

        quint32 factorial = 1;
        for (int n = 0; n <= 12; ++n) {
            factorial *= quint32(n == 0 ? 1 : n);
            QCOMPARE(Long(results, 4 * n), factorial);
        }
        QCOMPARE(Signed(results, 52), dividend / divisor);
        QCOMPARE(Signed(results, 56), dividend % divisor);
        QCOMPARE(Long(results, 60), std::gcd(first, second));
        QCOMPARE(results.mid(64), QByteArray::number(factorial).rightJustified(11, ' ') + '\0');

        QImage expected(480, 320, QImage::Format_RGB32);
        expected.fill(Qt::black);
        int points = 0;
        for (int dy = -radius; dy <= radius; ++dy) {
            for (int dx = -radius; dx <= radius; ++dx) {
                if (dx * dx + dy * dy <= radius * radius) {
                    expected.setPixel(240 + dx, 160 + dy, qRgb(255, 255, 255));
                    ++points;
                }
            }
        }
        QCOMPARE(run.Register("d0"), double(points));
        QCOMPARE(QImage(png).convertToFormat(QImage::Format_RGB32), expected);
        CheckSRecordsGiveTheSame(folder.path(), run, {"76", "4", "4", "4", "4", "4"});
        if (QTest::currentTestFailed())
            return;

        QCOMPARE(Make(folder.path(), {"-q"}).status, 0);
        QCOMPARE(Make(folder.path(), {"clean"}).status, 0);
        QCOMPARE(QDir(folder.path()).entryList({"*.o", "*.elf", "*.hex"}, QDir::Files), QStringList());
        QVERIFY(QFile::exists(folder.filePath("main.c")));
    }

    // Every quotient, remainder and product of divisions.c's operands, as the host computes
    // them; then its division by zero, whose exception the start-up code stops on, with -1
    // in D0 and, in exception_pc, the address after the divide that raised it.
    void divisionsAgainstTheHost()
    {
        QTemporaryDir folder;
        Build(folder.path(), QStringLiteral(DIVISIONS));
        if (QTest::currentTestFailed())
            return;
        const QString elf = folder.filePath("main.elf");
        Document document;
        ProgramLoader loader(elf, &document);
        QVERIFY(loader.Load());
        const SymbolTable::Symbol* dividendsSymbol = document.symbols->Find(QStringLiteral("dividends"));
        const SymbolTable::Symbol* divisorsSymbol = document.symbols->Find(QStringLiteral("divisors"));
        const SymbolTable::Symbol* resultsSymbol = document.symbols->Find(QStringLiteral("results"));
        QVERIFY(dividendsSymbol && divisorsSymbol && resultsSymbol);
        const unsigned int dividendCount = dividendsSymbol->size / 4;
        const unsigned int divisorCount = divisorsSymbol->size / 4;
        QCOMPARE(resultsSymbol->size, dividendCount * divisorCount * 20);
        const QStringList lengths{QString::number(resultsSymbol->size), QString::number(dividendsSymbol->size),
                                  QString::number(divisorsSymbol->size), "4"};
        const Run run = RunProgram({elf, "--until", "done", "--memory", "results:" + lengths.at(0), "--memory",
                                    "dividends:" + lengths.at(1), "--memory", "divisors:" + lengths.at(2), "--memory",
                                    "exception_pc:4"});
        QVERIFY2(run.status == 0, run.out.constData());
        QCOMPARE(run.json.value("stop").toString(), QStringLiteral("until"));
        const QByteArray results = run.Memory(0);
        const QByteArray dividends = run.Memory(1);
        const QByteArray divisors = run.Memory(2);
        int checked = 0;
        for (unsigned int i = 0; i < dividendCount; ++i) {
            for (unsigned int j = 0; j < divisorCount; ++j) {
                const qint32 n = Signed(dividends, int(4 * i));
                const qint32 d = Signed(divisors, int(4 * j));
                const int at = int(20 * (i * divisorCount + j));
                const QByteArray pair = QByteArray::number(n) + " / " + QByteArray::number(d);
                const bool defined = !(n == INT32_MIN && d == -1);
                QVERIFY2(Signed(results, at) == (defined ? n / d : 0), pair);
                QVERIFY2(Signed(results, at + 4) == (defined ? n % d : 0), pair);
                QVERIFY2(Long(results, at + 8) == quint32(n) / quint32(d), pair);
                QVERIFY2(Long(results, at + 12) == quint32(n) % quint32(d), pair);
                QVERIFY2(Long(results, at + 16) == quint32(n) * quint32(d), pair);
                ++checked;
            }
        }
        QCOMPARE(checked, 13 * 16);
        QCOMPARE(run.Register("d0"), double(0xFFFFFFFFu));
        const unsigned int raisedAt = Long(run.Memory(3), 0);
        const unsigned int divide = document.symbols->Find(QStringLiteral("udivmod"))->address;
        QVERIFY2(raisedAt > divide && raisedAt < document.symbols->Find(QStringLiteral("udivmod_magnitudes"))->address,
                 qPrintable(QString::number(raisedAt, 16)));
        CheckSRecordsGiveTheSame(folder.path(), run, lengths);
    }
};

QTEST_GUILESS_MAIN(ExamplesTest)
#include "tst_examples.moc"
