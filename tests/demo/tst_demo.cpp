// The demo program of examples/: the committed S-Records are what its source assembles to,
// and, loaded and reset like any program, it draws its slate and answers the keyboard bytes
// that the video window stores. The screen is read back as text through the program's own
// font, and each test leaves a picture of the screen beside the test's binary.
#include "program/LineTable.h"
#include "program/SRecordLoader.h"
#include "program/SymbolTable.h"
#include "session/Document.h"
#include "session/ProgramLoader.h"
#include "core/Emulator.h"
#include "core/Memory.h"

#include <QtTest>

#include <functional>
#include <memory>

namespace {

constexpr unsigned int screen = 0xFFB500;
constexpr int rowBytes = 60;

// Key codes of the video window.
constexpr int keyBackspace = 0x64;
constexpr int keyReturn = 0x65;
constexpr int keyInsert = 0x67;
constexpr int keyDelete = 0x68;
constexpr int keyLeft = 0x6F;
constexpr int keyRight = 0x71;
constexpr int keyDown = 0x72;
constexpr int keyPageUp = 0x73;
constexpr int keyPageDown = 0x74;

// Where the program puts things.
constexpr int penStartX = 16;
constexpr int penStartY = 104;
constexpr int slateLeft = 1;
constexpr int slateRight = 478;
constexpr int slateTop = 13;
constexpr int slateBottom = 298;
const QString title = QStringLiteral("ZENDRA 68000  -  ARDOISE");
const QString help = QStringLiteral("FLECHES:TRACER  MAJ:SANS TRACER  SUPPR:EFFACER  INSER:MOTIF");

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("cannot read %s", qPrintable(path));
    return file.readAll();
}

} // namespace

class DemoTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Document> document;
    QHash<QString, unsigned int> symbols;
    QString failure;

    Memory* M() { return document->memory; }
    Emulator* E() { return document->emulator; }
    unsigned int Pc() { return E()->registers->pc; }
    unsigned int At(const char* label)
    {
        if (!symbols.contains(label))
            qFatal("no label %s", label);
        return symbols.value(label);
    }
    int Word(const char* variable) { return qint16(M()->Read(At(variable), 16)); }
    int PenX() { return Word("pen_x"); }
    int PenY() { return Word("pen_y"); }

    // Runs the program until the condition holds before an instruction. A stop of the
    // emulator, or the program's own error halt, is a failure, told in `failure`.
    bool RunUntil(const std::function<bool()>& done, long limit = 20000000, bool haltIsFailure = true)
    {
        const unsigned int halt = At("halt");
        for (long i = 0; i < limit; ++i) {
            if (done())
                return true;
            if (haltIsFailure && Pc() == halt) {
                failure = "the program halted on an exception";
                return false;
            }
            E()->QuickExecute();
            if (!E()->errorMessage.isEmpty()) {
                failure = E()->errorMessage;
                return false;
            }
        }
        failure = "the condition never held";
        return false;
    }
    // Runs n passes of the main loop from its start.
    bool Loops(int n)
    {
        const unsigned int loop = At("main_loop");
        int seen = 0;
        return RunUntil([&] { return Pc() == loop && ++seen > n; });
    }
    bool CursorHidden()
    {
        return RunUntil([&] { return Pc() == At("main_loop") && M()->Read(At("cursor_on"), 8) == 0; });
    }

    // The keyboard as the video window stores it: straight into the protected bytes.
    void Key(unsigned int address, unsigned int value) { M()->Write(address, value, 8, true); }
    void Press(int code, unsigned int character = 0)
    {
        Key(0x400 + code, 0xFF);
        Key(0x404, code);
        Key(0x402, character >> 8);
        Key(0x403, character & 0xFF);
        Key(0x400, M()->Read(0x400, 8) + 1);
    }
    void Release(int code)
    {
        Key(0x400 + code, 0);
        Key(0x405, code);
        Key(0x400, qMax(0, int(M()->Read(0x400, 8)) - 1));
    }
    // A key pressed until the program has handled it, then let go until it has seen that.
    bool Type(int code, unsigned int character = 0)
    {
        const unsigned int loop = At("main_loop");
        const unsigned int seen = At("seen_key");
        Press(code, character);
        if (!RunUntil([&] { return Pc() == loop && int(M()->Read(seen, 8)) == code; }))
            return false;
        Release(code);
        return RunUntil([&] { return Pc() == loop && M()->Read(seen, 8) == 0; });
    }
    // The fastest pace, so that the tests do not spend their time in the pause loop.
    bool Fast()
    {
        for (int i = 0; i < 4; ++i) {
            if (!Type(keyPageUp))
                return false;
        }
        return true;
    }

    bool Pixel(int x, int y) { return (M()->Read(screen + y * rowBytes + x / 8, 8) >> (7 - x % 8)) & 1; }
    // The characters drawn in 8 x 8 cells from (x, y), read through the program's font; a
    // cell that is no character of the font reads '~'.
    QString TextAt(int x, int y, int length, bool inverted = false)
    {
        const unsigned int font = At("font");
        QString text;
        for (int i = 0; i < length; ++i) {
            QByteArray cell;
            for (int r = 0; r < 8; ++r) {
                int byte = 0;
                for (int c = 0; c < 8; ++c)
                    byte |= Pixel(x + 8 * i + c, y + r) << (7 - c);
                cell.append(char(inverted ? byte ^ 0xFF : byte));
            }
            QChar found('~');
            for (int g = 0; g < 64; ++g) {
                QByteArray glyph;
                for (int r = 0; r < 8; ++r)
                    glyph.append(char(M()->Read(font + 8 * g + r, 8)));
                if (glyph == cell) {
                    found = QChar(0x20 + g);
                    break;
                }
            }
            text += found;
        }
        return text;
    }
    QString Status() { return TextAt(0, 311, 42); }
    bool FrameIntact()
    {
        for (int x = 0; x < 480; ++x) {
            if (!Pixel(x, slateTop - 1) || !Pixel(x, slateBottom + 1))
                return false;
        }
        for (int y = slateTop; y <= slateBottom; ++y) {
            if (!Pixel(0, y) || !Pixel(479, y))
                return false;
        }
        return true;
    }
    int SlatePixels()
    {
        int lit = 0;
        for (int y = slateTop; y <= slateBottom; ++y) {
            for (int x = slateLeft; x <= slateRight; ++x)
                lit += Pixel(x, y);
        }
        return lit;
    }

private slots:
    void initTestCase()
    {
        const QList<QByteArray> lines = ReadAll(DEMO_BUILT "/demo.sym").split('\n');
        for (const QByteArray& line : lines) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() == 3)
                symbols.insert(fields[2], fields[0].toUInt(nullptr, 16));
        }
        QVERIFY(symbols.contains("main_loop"));
    }

    void init()
    {
        failure.clear();
        document.reset(new Document);
        SRecordLoader loader(DEMO_COMMITTED, M());
        QVERIFY2(loader.Load(), qPrintable(loader.errorMessage));
        E()->Reset();
    }

    void cleanup()
    {
        QString name = QTest::currentTestFunction();
        if (QTest::currentDataTag())
            name += QString("-") + QTest::currentDataTag();
        document->videoImage.save(QString(DEMO_BUILT "/%1.png").arg(name.replace(' ', '_')));
    }

    void committedProgramIsTheSourceAssembled()
    {
        const QByteArray committed = ReadAll(DEMO_COMMITTED);
        QVERIFY(committed.startsWith("S0"));
        QVERIFY2(committed == ReadAll(DEMO_BUILT "/demo.hex"),
                 "examples/demo.hex is out of date: run examples/build-demo");
    }

    // The executable holds the same bytes as the S-Records, every symbol that nm lists, and
    // a line for each instruction of the source, found beside it.
    void committedExecutableIsTheSourceAssembledWithItsLines()
    {
        QVERIFY2(ReadAll(DEMO_COMMITTED_ELF) == ReadAll(DEMO_BUILT "/demo.elf"),
                 "examples/demo.elf is out of date: run examples/build-demo");
        Document elf;
        ProgramLoader loader(DEMO_COMMITTED_ELF, &elf);
        QVERIFY2(loader.Load(), qPrintable(loader.errorMessage));
        for (unsigned int a = 0; a < 0x20000; ++a)
            QCOMPARE(elf.memory->Read(a, 8), M()->Read(a, 8));
        for (auto it = symbols.constBegin(); it != symbols.constEnd(); ++it) {
            const SymbolTable::Symbol* symbol = elf.symbols->Find(it.key());
            QVERIFY2(symbol && symbol->address == it.value(), qPrintable(it.key()));
        }
        QCOMPARE(elf.lines->Files().size(), 1);
        QVERIFY(elf.lines->Files().first().endsWith(QLatin1String("demo.s")));
        const QStringList source = QString::fromUtf8(ReadAll(QFileInfo(DEMO_COMMITTED).dir().filePath("demo.s")))
                                       .split(QLatin1Char('\n'));
        const LineTable::Row* row = elf.lines->Find(At("main_loop"));
        QVERIFY(row);
        QCOMPARE(source.value(row->line - 2).trimmed(), QStringLiteral("main_loop:"));
    }

    void startsFromTheResetVectorsAndDrawsTheSlate()
    {
        QCOMPARE(Pc(), At("start"));
        QCOMPARE(E()->registers->ssp, 0x20000u);
        // Every vector leads into the program's code: no exception runs into zeros.
        for (unsigned int vector = 2; vector < 256; ++vector) {
            const unsigned int handler = M()->Read(4 * vector, 32);
            QVERIFY2(handler >= At("start") && handler < At("font"), qPrintable(QString::number(vector)));
        }
        QVERIFY2(Loops(1), qPrintable(failure));

        QCOMPARE(TextAt(18 * 8, 2, title.size(), true), title);
        QCOMPARE(TextAt(16, 24, 25), QString("BIENVENUE SUR L'ARDOISE !"));
        QCOMPARE(TextAt(0, 302, help.size()), help);
        QCOMPARE(Status(), QString("X:015 Y:091  VITESSE:5  (PG.HAUT / PG.BAS)"));
        QVERIFY(FrameIntact());
        // The star pattern: the corners of its square and lines inside it.
        QVERIFY(Pixel(228, 30) && Pixel(468, 30) && Pixel(228, 270) && Pixel(468, 270));
        QVERIFY(SlatePixels() > 5000);
        // The program reads the keyboard area and never writes it.
        for (unsigned int address = 0x400; address < 0x500; ++address)
            QCOMPARE(M()->Read(address, 8), 0u);
    }

    void pageKeysChangeTheSpeedWithinItsRange()
    {
        QVERIFY2(Loops(1), qPrintable(failure));
        QVERIFY2(Fast(), qPrintable(failure));
        QCOMPARE(Status().mid(13, 9), QString("VITESSE:9"));
        QVERIFY(Type(keyPageUp));
        QCOMPARE(Status().mid(13, 9), QString("VITESSE:9"));
        for (int i = 0; i < 10; ++i)
            QVERIFY(Type(keyPageDown));
        QCOMPARE(Status().mid(13, 9), QString("VITESSE:1"));
    }

    void arrowsDrawAndShiftMovesWithoutDrawing()
    {
        QVERIFY2(Loops(1) && Fast() && CursorHidden(), qPrintable(failure));
        const int before = SlatePixels();

        Press(keyRight);
        QVERIFY2(RunUntil([&] { return PenX() == penStartX + 40; }), qPrintable(failure));
        Release(keyRight);
        QVERIFY(CursorHidden());
        for (int x = penStartX; x <= penStartX + 40; ++x)
            QVERIFY2(Pixel(x, penStartY), qPrintable(QString::number(x)));
        QCOMPARE(SlatePixels(), before + 41);

        // Shift held: the pen goes down without a trace.
        Key(0x406, 0xFF);
        Press(keyDown);
        QVERIFY2(RunUntil([&] { return PenY() == penStartY + 30; }), qPrintable(failure));
        Release(keyDown);
        Key(0x406, 0);
        QVERIFY(CursorHidden());
        QCOMPARE(SlatePixels(), before + 41);
        QVERIFY(Loops(1));
        QCOMPARE(Status().left(11), QString("X:055 Y:121"));

        // Held long enough, the pen stops at the edge of the slate and the frame stays.
        Press(keyLeft);
        QVERIFY2(RunUntil([&] { return PenX() == slateLeft; }), qPrintable(failure));
        QVERIFY(Loops(20));
        Release(keyLeft);
        QCOMPARE(PenX(), slateLeft);
        QVERIFY(CursorHidden());
        QVERIFY(FrameIntact());
        QVERIFY(Pixel(slateLeft, penStartY + 30) && Pixel(penStartX + 40, penStartY + 30));
    }

    void typingWritesAtThePen()
    {
        QVERIFY2(Loops(1) && Fast(), qPrintable(failure));
        QVERIFY(Type('Z', 'z'));
        QVERIFY(Type(0xC9, 0xE9)); // é, shown as its base letter
        QVERIFY(Type('1', '!'));   // the character typed counts, not the key
        QCOMPARE(PenX(), penStartX + 24);
        QVERIFY(CursorHidden());
        QCOMPARE(TextAt(penStartX, penStartY - 6, 3), QString("ZE!"));

        // A key held over many turns types once; a second key pressed meanwhile types too.
        Press('A', 'a');
        QVERIFY(Loops(30));
        Press('B', 'b');
        QVERIFY(Loops(30));
        Release('B');
        Release('A');
        QCOMPARE(PenX(), penStartX + 40);

        QVERIFY(Type(keyBackspace));
        QVERIFY(CursorHidden());
        QCOMPARE(PenX(), penStartX + 32);
        QCOMPARE(TextAt(penStartX, penStartY - 6, 5), QString("ZE!A "));

        // Return goes one text line down, under the first character.
        QVERIFY(Type(keyReturn));
        QCOMPARE(PenX(), penStartX);
        QCOMPARE(PenY(), penStartY + 10);
        QVERIFY(Type('O', 'o'));
        QVERIFY(Type('K', 'k'));
        QVERIFY(CursorHidden());
        QCOMPARE(TextAt(penStartX, penStartY + 4, 2), QString("OK"));
        QCOMPARE(TextAt(penStartX, penStartY - 6, 4), QString("ZE!A"));
    }

    void deleteClearsTheSlateAndInsertDrawsThePatternAgain()
    {
        QVERIFY2(Loops(1) && Fast(), qPrintable(failure));
        QVERIFY(Type(keyDelete));
        QVERIFY(CursorHidden());
        QCOMPARE(SlatePixels(), 0);
        QVERIFY(FrameIntact());
        QCOMPARE(TextAt(18 * 8, 2, title.size(), true), title);
        QCOMPARE(TextAt(0, 302, help.size()), help);

        QVERIFY(Type(keyInsert));
        QVERIFY(CursorHidden());
        QVERIFY(Pixel(228, 30) && Pixel(468, 270));
        QVERIFY(SlatePixels() > 5000);
        QCOMPARE(PenX(), penStartX);
    }

    void errorsShowTheirNameAndAddress_data()
    {
        QTest::addColumn<QList<int>>("words");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("offset"); // of the stacked program counter from the first word
        QTest::newRow("illegal") << QList<int>{0x4AFC} << "INSTRUCTION ILLEGALE" << 2;
        QTest::newRow("trap 5") << QList<int>{0x4E45} << "TRAP NON PREVU" << 2;
        QTest::newRow("divide by zero") << QList<int>{0x7000, 0x80FC, 0x0000} << "DIVISION PAR ZERO" << 6;
    }

    void errorsShowTheirNameAndAddress()
    {
        QFETCH(QList<int>, words);
        QFETCH(QString, name);
        QFETCH(int, offset);
        QVERIFY2(Loops(1), qPrintable(failure));
        const unsigned int at = At("main_loop");
        for (int i = 0; i < words.size(); ++i)
            M()->Write(at + 2 * i, words[i], 16, false);
        QVERIFY2(RunUntil([&] { return Pc() == At("halt"); }, 1000000, false), qPrintable(failure));
        QCOMPARE(TextAt(8, 2, name.size(), true), name);
        const QString address = QString("ADRESSE $%1").arg(at + offset, 6, 16, QChar('0')).toUpper();
        QCOMPARE(TextAt(44 * 8, 2, address.size(), true), address);
        QVERIFY(E()->errorMessage.isEmpty());
    }

    // Recorded execution takes a typed character back, screen and pen, instruction by
    // instruction, as the debugger's undo does.
    void undoTakesTypingBack()
    {
        QVERIFY2(Loops(1) && Fast(), qPrintable(failure));
        QVERIFY(CursorHidden());
        const QByteArray before(reinterpret_cast<const char*>(document->videoImage.constBits()),
                                int(document->videoImage.sizeInBytes()));
        Press('Q', 'q');
        int executed = 0;
        while (PenX() == penStartX && executed < 90000) {
            E()->Execute();
            QVERIFY(E()->errorMessage.isEmpty());
            ++executed;
        }
        QCOMPARE(PenX(), penStartX + 8);
        QVERIFY(TextAt(penStartX, penStartY - 6, 1) != " ");
        E()->Undo(executed);
        QCOMPARE(PenX(), penStartX);
        const QByteArray after(reinterpret_cast<const char*>(document->videoImage.constBits()),
                               int(document->videoImage.sizeInBytes()));
        QVERIFY(after == before);
    }
};

QTEST_GUILESS_MAIN(DemoTest)
#include "tst_demo.moc"
