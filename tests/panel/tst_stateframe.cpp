#include "ModalScript.h"

#include "program/SRecordLoader.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "views/MemoryText.h"
#include "views/RegisterText.h"
#include "views/StackText.h"
#include "views/StateFrame.h"

#include <cstring>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QLabel>
#include <QMenu>
#include <QTimer>
#include <QContextMenuEvent>
#include <QSet>
#include <QtTest>

namespace {

QStringList Words(const QString& text)
{
    QStringList words = text.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    words.sort();
    return words;
}

// A panel on its document, shown at the default width, with the test program loaded and
// the processor reset.
struct Machine
{
    Document document;
    Register* registers = document.emulator->registers;
    StateFrame panel{nullptr, &document};

    explicit Machine(bool load = true)
    {
        if (load) {
            SRecordLoader loader(QStringLiteral(PANEL_PROGRAM), document.memory);
            if (!loader.Load())
                qWarning("cannot load %s", PANEL_PROGRAM);
            document.emulator->Reset();
        }
        panel.resize(743, panel.height());
        panel.show();
        Paint();
    }

    // What the application does around one step.
    void Step()
    {
        panel.RecordReference();
        document.emulator->Execute();
        panel.UpdateControl();
    }

    void Paint() { panel.grab(); }

    template <class T> T* Find(const QString& name) const { return panel.findChild<T*>(name); }
    QString Text(const QString& name) const
    {
        auto* edit = Find<QLineEdit>(name);
        return edit ? edit->text() : QStringLiteral("<no %1>").arg(name);
    }
    QStringList Lines(const char* name) const
    {
        auto* stack = Find<StackText>(QLatin1String(name));
        return stack ? stack->text().split(QChar(QChar::LineSeparator)) : QStringList();
    }

    // "name=text" pairs split by '|', where a text that ends in '*' is a prefix: the pairs
    // that do not hold, as they read, so that a failure says what is shown.
    QString Wrong(const QString& pairs) const
    {
        QStringList wrong;
        for (const QString& pair : pairs.split(QLatin1Char('|'))) {
            const QString name = pair.section(QLatin1Char('='), 0, 0);
            QString want = pair.section(QLatin1Char('='), 1), got = Text(name);
            if (want.endsWith(QLatin1Char('*'))) {
                want.chop(1);
                got = got.left(want.size());
            }
            if (got != want)
                wrong << name + QLatin1Char('=') + got;
        }
        return wrong.join(QLatin1Char('|'));
    }

    // The first n lines of the stack above the address, " / ", the last n below it.
    QString Stack(int n) const
    {
        const QStringList out = Lines("outStackText");
        return QStringList(Lines("inStackText").mid(0, n)).join(QLatin1Char(' ')) + QStringLiteral(" / ")
            + QStringList(out.mid(out.size() - n)).join(QLatin1Char(' '));
    }

    // The value fields whose text is red, by name.
    QStringList Red() const
    {
        QStringList names;
        for (RegisterText* t : panel.findChildren<RegisterText*>()) {
            const QColor text = t->palette().color(QPalette::Active, QPalette::Text);
            if (text == QColor(Qt::red))
                names << t->objectName();
            else if (text != QColor(Qt::black) && t->highlight)
                names << QStringLiteral("colour? ") + t->objectName();
        }
        names.sort();
        return names;
    }
};

// The whole text shows inside the line edit's frame and margins.
bool Fits(QLineEdit* edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit) : 0;
    const QRect inside = edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit);
    // The line edit keeps two pixels on each side of its text.
    return edit->fontMetrics().horizontalAdvance(edit->text()) <= inside.width() - 4;
}

// Clicks a register button, types the expression over the value and presses the dialog's
// buttons in turn ("Return" for the key); the error box, if one is expected, answered with
// its text noted. True when every window was there to answer.
bool EditFromPanel(Machine& m, const char* button, const char* typed, QStringList presses = {"Return"},
                   QString* title = nullptr, QString* message = nullptr)
{
    ModalScript script;
    script.Then("EditRegisterDialog", [&](QWidget* w) {
        if (title)
            *title = w->windowTitle();
        auto* edit = w->findChild<QLineEdit*>(QStringLiteral("newValueText"));
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        for (const QString& press : presses) {
            if (press == QLatin1String("Return"))
                QTest::keyClick(edit, Qt::Key_Return);
            else
                QTest::mouseClick(w->findChild<QPushButton*>(press), Qt::LeftButton);
        }
    });
    if (message)
        script.Message(message);
    QTest::mouseClick(m.Find<QPushButton>(QLatin1String(button)), Qt::LeftButton);
    return script.Done() && script.Leftovers() == 0;
}

} // namespace

class StateFrameTest : public QObject
{
    Q_OBJECT

private slots:
    void Form();
    void Steps();
    void FlagButtons();
    void RegisterButtons();
    void Stack();
    void Extremes();
    void Width();
    void Disabled();
};

// The panel's fields by name, every value field wide enough for its widest text, and the
// stack's choices.
void StateFrameTest::Form()
{
    Machine m(false);
    QString expected = QStringLiteral("uspHexaText sspHexaText pcHexaText disaText uspButton sspButton pcButton");
    for (int n = 0; n < 8; ++n)
        expected += QStringLiteral(" d%1HexaText d%1AsciiText a%1HexaText a%1MemoryHexaText a%1MemoryAsciiText"
                                   " d%1Button a%1Button").arg(n);
    for (const char* flag : {"c", "v", "z", "n", "x", "i", "s", "t"})
        expected += QStringLiteral(" %1Text %1Button").arg(QLatin1String(flag));
    for (const char* o : {"src", "dst"})
        expected += QStringLiteral(" %1HexaText %1AsciiText %1MemoryHexaText %1MemoryAsciiText").arg(QLatin1String(o));
    QStringList found;
    for (QLineEdit* t : m.panel.findChildren<QLineEdit*>())
        found << t->objectName();
    for (QPushButton* b : m.panel.findChildren<QPushButton*>()) {
        found << b->objectName();
        QCOMPARE(b->text().toLower() + QStringLiteral("Button"), b->objectName());
        QVERIFY(b->fontMetrics().horizontalAdvance(b->text()) <= b->width() - 4);
    }
    found.sort();
    QCOMPARE(found, Words(expected));
    for (RegisterText* t : m.panel.findChildren<RegisterText*>()) {
        const QString text = t->text();
        // The widest text the field shows; a flag is one digit.
        t->setText(t->format == RegisterText::Decimal ? QStringLiteral("7") : t->Text(0xFFFFFFFF));
        QVERIFY2(Fits(t), qPrintable(t->objectName()));
        t->setText(text);
    }

    auto* combo = m.Find<QComboBox>(QStringLiteral("stackComboBox"));
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    QCOMPARE(items.join(' ') + ' ' + combo->currentText(),
             QStringLiteral("PC SSP USP A7 A6 A5 A4 A3 A2 A1 A0 D7 D6 D5 D4 D3 D2 D1 D0 A7"));
    QVERIFY(m.Find<QRadioButton>(QStringLiteral("stackButton32"))->isChecked());
    QCOMPARE(m.panel.GetStackSize(), 32);
    // The references start at 0: what differs from 0 before the first recorded reference
    // is red; after it, nothing.
    QCOMPARE(m.Red(), Words("iText sText"));
    m.panel.RecordReference();
    m.panel.UpdateControl();
    QCOMPARE(m.Red(), QStringList());
}

// The program steps one instruction at a time; after each, exactly what it changed is red,
// and the instruction and operand rows describe the next one.
void StateFrameTest::Steps()
{
    Machine m;
    QCOMPARE(m.Wrong("pcHexaText=00001000|disaText=MOVE.L  #$41424344,D0|srcHexaText=41424344|srcAsciiText=ABCD"
                     "|dstHexaText=00000000"), QString());
    const int bytes = m.Find<MemoryText>(QStringLiteral("a0MemoryHexaText"))->byteCount;
    QVERIFY(bytes >= 8);
    const struct
    {
        const char* red; // besides the program counter
        const char* shown;
    } steps[] = {
        // MOVE.L #$41424344,D0
        {"d0HexaText d0AsciiText", "d0HexaText=41424344|d0AsciiText=ABCD|disaText=LEA.L   $2000(PC),A0"},
        // LEA data,A0; the next instruction reads the word at A0 into D1.
        {"a0HexaText", "a0HexaText=00002000|a0MemoryHexaText=1234 5678 5A65 6E64*|a0MemoryAsciiText=.4VxZend*"
                       "|disaText=MOVE.W  (A0)+,D1|srcHexaText=00002000|srcAsciiText=.. ."
                       "|srcMemoryHexaText=1234 5678*|dstHexaText=----0000|dstMemoryHexaText=0000 *"},
        // MOVE.W (A0)+,D1
        {"d1HexaText d1AsciiText a0HexaText",
         "d1AsciiText=...4|srcHexaText=------1F|srcAsciiText=....|dstHexaText=------00"},
        // MOVE.B #$1F,D2; the next instruction pushes D0 below SSP.
        {"d2HexaText d2AsciiText", "dstHexaText=00007FFC"},
        // MOVE.L D0,-(SP)
        {"a7HexaText sspHexaText", "a7HexaText=00007FFC|a7MemoryHexaText=4142 4344*|a7MemoryAsciiText=ABCD*"},
        // ADDQ.W #1,D3: no flag changes
        {"d3HexaText d3AsciiText", "d3HexaText=00000001"},
        // MOVEQ #-1,D4
        {"d4HexaText d4AsciiText nText", "nText=1"},
        // CMP.L D4,D4
        {"nText zText", "zText=1|iText=7|sText=1"},
        // MOVE.W #$0700,SR: user state, A7 is now USP
        {"sText zText a7HexaText",
         "a7HexaText=00000000|sspHexaText=00007FFC|disaText=NOP     |srcHexaText=--------"},
        // NOP; PC is now on a word that is no instruction, with no operands.
        {"", "disaText=DC.W    $FFFF|srcHexaText=--------|srcAsciiText=----|dstHexaText=--------|dstAsciiText=----"},
    };
    for (const auto& step : steps) {
        m.Step();
        QCOMPARE(m.Red(), Words(QLatin1String(step.red) + QLatin1String(" pcHexaText")));
        QCOMPARE(m.Wrong(QLatin1String(step.shown)), QString());
        if (step.red == QLatin1String("a7HexaText sspHexaText"))
            QCOMPARE(m.Lines("inStackText").first(), QStringLiteral("41424344"));
    }
    for (const char* o : {"src", "dst"}) {
        QCOMPARE(m.Text(QLatin1String(o) + QLatin1String("MemoryHexaText")), QString(5 * bytes / 2 - 1, '-'));
        QCOMPARE(m.Text(QLatin1String(o) + QLatin1String("MemoryAsciiText")), QString(bytes, '-'));
    }
    // The cycle counter: MOVE.L #imm,D0 takes 12 cycles, LEA d16(PC),A0 8; one taken back
    // counts down; a right click starts it again from 0.
    {
        Machine c;
        auto* cycles = c.Find<QLabel>(QStringLiteral("cyclesLabel"));
        QCOMPARE(cycles->text(), QStringLiteral("Cycles : 0 (+0)  0,0\u00A0µs"));
        c.Step();
        QCOMPARE(cycles->text(), QStringLiteral("Cycles : 12 (+12)  1,5\u00A0µs"));
        c.Step();
        QCOMPARE(cycles->text(), QStringLiteral("Cycles : 20 (+8)  2,5\u00A0µs"));
        c.panel.RecordReference();
        c.document.emulator->Undo(1);
        c.panel.UpdateControl();
        QCOMPARE(cycles->text(), QStringLiteral("Cycles : 12 (-8)  1,5\u00A0µs"));
        QVERIFY(cycles->x() + cycles->width() <= c.panel.width()
                && cycles->fontMetrics().horizontalAdvance(cycles->text()) <= cycles->width());
        QVERIFY(c.Find<QLineEdit>(QStringLiteral("disaText"))->geometry().right() < cycles->x());
        // Narrower, the counter says less, never more than its room: its four forms by width.
        QSet<QString> forms;
        for (int width = 560; width <= 760; width += 4) {
            c.panel.resize(width, c.panel.height());
            QVERIFY(cycles->fontMetrics().horizontalAdvance(cycles->text()) <= cycles->width());
            QVERIFY2(cycles->text().isEmpty() || cycles->text().contains(QStringLiteral("12 (-8)")), qPrintable(cycles->text()));
            forms << cycles->text();
        }
        QCOMPARE(forms, (QSet<QString>{QStringLiteral("Cycles : 12 (-8)  1,5\u00A0µs"), QStringLiteral("Cycles : 12 (-8)"),
                                       QStringLiteral("12 (-8)"), QString()}));
        c.panel.resize(743, c.panel.height());
        QTimer::singleShot(0, [] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                menu->actions().first()->trigger();
                menu->close();
            }
        });
        QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5));
        QApplication::sendEvent(cycles, &click);
        QCOMPARE(c.document.emulator->Cycles(), 0ull);
        QCOMPARE(cycles->text(), QStringLiteral("Cycles : 0 (+0)  0,0\u00A0µs"));
        c.Step();
        QCOMPARE(cycles->text(), QStringLiteral("Cycles : 8 (+8)  1,0\u00A0µs"));
    }
    // A repaint shows the same, in the same colours; recorded again without a step,
    // everything is black.
    m.Paint();
    QCOMPARE(m.Red(), QStringList{"pcHexaText"});
    m.panel.RecordReference();
    m.panel.UpdateControl();
    QCOMPARE(m.Red(), QStringList());
}

// Each flag button toggles its flag; "I" counts up to 7 and round to its start.
void StateFrameTest::FlagButtons()
{
    Machine m(false);
    m.registers->usp = 0x1111;
    m.registers->ssp = 0x2222;
    m.Paint();
    const struct
    {
        const char* name;
        unsigned int bit;
    } flags[] = {{"c", 0x1}, {"v", 0x2}, {"z", 0x4}, {"n", 0x8}, {"x", 0x10}, {"s", 0x2000}, {"t", 0x8000}};
    for (const auto& flag : flags) {
        const QString name = QLatin1String(flag.name);
        auto* button = m.Find<QPushButton>(name + QLatin1String("Button"));
        const unsigned int before = m.registers->sr;
        for (unsigned int after : {before ^ flag.bit, before}) {
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(m.registers->sr, after);
            m.Paint();
            QCOMPARE(m.Text(name + QLatin1String("Text")), QString::number((after & flag.bit) ? 1 : 0));
            // S clear: A7 and its memory follow USP.
            if (flag.bit == 0x2000 && after != before) {
                QCOMPARE(m.Text(QStringLiteral("a7HexaText")), QStringLiteral("00001111"));
                QCOMPARE(m.Find<MemoryText>(QStringLiteral("a7MemoryAsciiText"))->address, 0x1111u);
            }
        }
    }
    QCOMPARE(m.Text(QStringLiteral("a7HexaText")), QStringLiteral("00002222"));

    QStringList seen;
    for (int click = 0; click < 8; ++click) {
        QTest::mouseClick(m.Find<QPushButton>(QStringLiteral("iButton")), Qt::LeftButton);
        m.Paint();
        seen << m.Text(QStringLiteral("iText"));
    }
    QCOMPARE(seen.join(' '), QStringLiteral("0 1 2 3 4 5 6 7"));
    QCOMPARE(m.registers->sr, 0x2700u);
}

// A register button opens the editor on that register; what the user accepts is written
// and shown, what the user cancels or types wrong changes nothing.
void StateFrameTest::RegisterButtons()
{
    Machine m;
    m.registers->d[0] = 0x10;
    m.panel.RecordReference();
    m.panel.UpdateControl();
    QString title, message;
    QVERIFY(EditFromPanel(m, "d0Button", "d0+1", {"equalButton", "okButton"}, &title));
    QCOMPARE(title, QStringLiteral("Registre D0"));
    QCOMPARE(m.registers->d[0], 0x11u);
    QCOMPARE(m.Wrong("d0HexaText=00000011"), QString());
    QCOMPARE(m.Red(), Words("d0HexaText d0AsciiText"));

    // The program counter: the instruction line follows.
    QVERIFY(EditFromPanel(m, "pcButton", "pc+$1E"));
    QCOMPARE(m.registers->pc, 0x101Eu);
    QCOMPARE(m.Wrong("disaText=DC.W    $FFFF"), QString());

    // A7 in supervisor state is SSP; USP keeps its value.
    m.registers->usp = 0x500;
    QVERIFY(EditFromPanel(m, "a7Button", "$3001"));
    QCOMPARE(m.registers->ssp, 0x3001u);
    QCOMPARE(m.registers->usp, 0x500u);
    QCOMPARE(m.Wrong("sspHexaText=00003001|a7HexaText=00003001"), QString());

    // Wrong input, then "Annuler": the error box, and nothing written.
    QVERIFY(EditFromPanel(m, "uspButton", "1 +", {"okButton", "cancelButton"}, nullptr, &message));
    QCOMPARE(message, QStringLiteral("Expression incorrecte dans le champ \"Nouvelle valeur\"."));
    QCOMPARE(m.registers->usp, 0x500u);

    // Registers edited after a step, by their buttons, come back when the step is taken back.
    const Register before(m.registers);
    m.Step();
    QVERIFY(EditFromPanel(m, "d6Button", "$CAFE"));
    QVERIFY(EditFromPanel(m, "a5Button", "$4000"));
    QTest::mouseClick(m.Find<QPushButton>(QStringLiteral("zButton")), Qt::LeftButton);
    QCOMPARE(m.registers->d[6], 0xCAFEu);
    m.document.emulator->Undo();
    QVERIFY(!std::memcmp(m.registers->d, before.d, sizeof before.d));
    QVERIFY(!std::memcmp(m.registers->a, before.a, sizeof before.a));
    QCOMPARE(m.registers->pc, before.pc);
    QCOMPARE(m.registers->sr, before.sr);
}

// The stack around the register of the combo box, at each entry size, with odd addresses.
void StateFrameTest::Stack()
{
    Machine m(false);
    for (unsigned int a = 0; a < 0x20; ++a)
        m.document.memory->Write(0x2FF0 + a, 0xA0 + a, 8, true);
    m.registers->ssp = 0x3000;
    m.Paint();
    auto* in = m.Find<StackText>(QStringLiteral("inStackText"));
    auto* out = m.Find<StackText>(QStringLiteral("outStackText"));
    const int lines = in->height() / in->fontMetrics().height();
    QVERIFY(lines >= 4);
    QCOMPARE(m.Lines("inStackText").size(), lines);
    QCOMPARE(m.Lines("outStackText").size(), out->height() / out->fontMetrics().height());
    QCOMPARE(m.Stack(2), QStringLiteral("B0B1B2B3 B4B5B6B7 / A8A9AAAB ACADAEAF"));
    const auto size = [&](const char* bits) {
        QTest::mouseClick(m.Find<QRadioButton>(QLatin1String("stackButton") + QLatin1String(bits)), Qt::LeftButton);
        m.Paint();
    };
    size("16");
    QCOMPARE(m.panel.GetStackSize(), 16);
    QCOMPARE(m.Stack(2), QStringLiteral("B0B1 B2B3 / ACAD AEAF"));
    // Odd: the byte at the address on its own marked line, then the words after it.
    m.registers->ssp = 0x3001;
    m.Paint();
    QCOMPARE(m.Stack(3), QStringLiteral("** B1 ** B2B3 B4B5 / ACAD AEAF ** B0 **"));
    size("8");
    QCOMPARE(m.Stack(2), QStringLiteral("B1 B2 / AF B0"));

    // Another register, chosen with the keyboard in the combo box.
    m.registers->d[3] = 0x2FF4;
    auto* combo = m.Find<QComboBox>(QStringLiteral("stackComboBox"));
    combo->setFocus();
    QTest::keyClicks(combo, "D3");
    QCOMPARE(combo->currentText(), QStringLiteral("D3"));
    m.Paint();
    QCOMPARE(in->address, 0x2FF4u);
    QCOMPARE(m.Stack(1), QStringLiteral("A4 / A3"));
    size("32");
    QCOMPARE(m.Stack(1), QStringLiteral("A4A5A6A7 / A0A1A2A3"));
}

// Values at the ends of the address space and odd everywhere: shown, and nothing breaks.
void StateFrameTest::Extremes()
{
    Machine m(false);
    m.document.memory->Write(0xFFFFFF, 0x41, 8, true);
    m.document.memory->Write(0x000000, 0x42, 8, true);
    for (int n = 0; n < 8; ++n)
        m.registers->d[n] = 0xFFFFFFFF;
    for (int n = 0; n < 7; ++n)
        m.registers->a[n] = 0xFFFFFF - unsigned(n);
    m.registers->ssp = 0xFFFFFFFF;
    m.registers->usp = 0x00FFFFFF;
    m.registers->pc = 0x00FFFFFF;
    m.registers->sr = 0xA71F;
    QTest::mouseClick(m.Find<QRadioButton>(QStringLiteral("stackButton16")), Qt::LeftButton);
    m.Paint();
    // The memory at 0xFFFFFF runs on at 0, and so does the stack at an odd address there.
    QCOMPARE(m.Wrong(QString::fromLatin1("d7AsciiText=\xFF\xFF\xFF\xFF|a7HexaText=FFFFFFFF|pcHexaText=00FFFFFF|tText=1"
                                         "|a0MemoryHexaText=4142 *|a0MemoryAsciiText=AB*")), QString());
    QCOMPARE(m.Stack(1) + ' ' + m.Lines("inStackText").value(1), QStringLiteral("** 41 ** / ** 00 ** 4200"));
    QVERIFY(!m.Text(QStringLiteral("disaText")).isEmpty());
    // The stack below address 0 wraps to the top of memory.
    m.registers->ssp = 0;
    m.Paint();
    QCOMPARE(m.Stack(1), QStringLiteral("4200 / 0041"));
}

// The memory columns follow the width: k words and their 2k characters, down to none.
void StateFrameTest::Width()
{
    Machine m(false);
    auto* hexa = m.Find<MemoryText>(QStringLiteral("a0MemoryHexaText"));
    auto* ascii = m.Find<MemoryText>(QStringLiteral("a0MemoryAsciiText"));
    auto* dst = m.Find<MemoryText>(QStringLiteral("dstMemoryAsciiText"));
    const int left = m.Find<QPushButton>(QStringLiteral("cButton"))->x();
    const int gap = ascii->x() - (hexa->x() + hexa->width());
    QVERIFY(gap > 0);
    const int character = hexa->fontMetrics().averageCharWidth();
    for (int c : {8, 14, 15, 29, 36, 100}) {
        const int k = (c - 1) / 7;
        const int width = hexa->x() + left + c * character + character / 2;
        m.panel.resize(width, m.panel.height());
        m.Paint();
        QCOMPARE(m.panel.width(), width);
        for (MemoryText* t : m.panel.findChildren<MemoryText*>()) {
            QCOMPARE(t->byteCount, 2 * k);
            QCOMPARE(t->text().size(), t->mode == MemoryText::Characters ? 2 * k : 5 * k - 1);
            QVERIFY2(Fits(t), qPrintable(t->objectName()));
        }
        QCOMPARE(hexa->width(), 5 * (width - hexa->x() - left) * k / (7 * k + 1));
        QCOMPARE(ascii->x(), hexa->x() + hexa->width() + gap);
        QCOMPARE(ascii->x() + ascii->width(), width - left);
        QCOMPARE(dst->x() + dst->width(), width - left);
    }

    // At its minimum width, and below it, there is no room for one word: nothing shows,
    // no width is negative.
    for (int width : {m.panel.minimumWidth(), 200, 1}) {
        m.panel.setMinimumWidth(0);
        m.panel.resize(width, m.panel.height());
        m.Paint();
        for (MemoryText* t : m.panel.findChildren<MemoryText*>())
            QVERIFY(t->byteCount == 0 && t->text().isEmpty() && t->width() >= 0);
        QVERIFY(m.Find<QLineEdit>(QStringLiteral("disaText"))->width() >= 0);
    }
    m.panel.resize(743, m.panel.height());
    m.Paint();
    QVERIFY(hexa->byteCount > 0);
}

// While the application runs the program, the panel is disabled and shows nothing new.
void StateFrameTest::Disabled()
{
    Machine m;
    m.panel.setEnabled(false);
    m.registers->d[6] = 0x66;
    m.panel.UpdateControl();
    m.Paint();
    QCOMPARE(m.Text(QStringLiteral("d6HexaText")), QStringLiteral("00000000"));
    m.panel.setEnabled(true);
    m.panel.UpdateControl();
    QCOMPARE(m.Text(QStringLiteral("d6HexaText")), QStringLiteral("00000066"));
}

int RunStateFrameTests(int argc, char** argv)
{
    StateFrameTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_stateframe.moc"
