#include "ModalScript.h"

#include "app/SRecordLoader.h"
#include "core/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "views/MemoryText.h"
#include "views/RegisterText.h"
#include "views/StackText.h"
#include "views/StateFrame.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QtTest>

namespace {

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

// Clicks a register button, types the expression over the value and presses Return;
// true when the dialog was there to answer.
bool EditFromPanel(Machine& m, const char* button, const char* typed)
{
    ModalScript script;
    script.Then("EditRegisterDialog", [&](QWidget* w) {
        auto* edit = w->findChild<QLineEdit*>(QStringLiteral("newValueText"));
        edit->selectAll();
        QTest::keyClicks(edit, typed);
        QTest::keyClick(edit, Qt::Key_Return);
    });
    QTest::mouseClick(m.Find<QPushButton>(QLatin1String(button)), Qt::LeftButton);
    return script.Done() && script.Leftovers() == 0;
}

QStringList Sorted(QStringList list)
{
    list.sort();
    return list;
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

void StateFrameTest::Form()
{
    Machine m(false);
    QCOMPARE(m.panel.height(), 268);
    QCOMPARE(m.panel.minimumHeight(), 268);
    QCOMPARE(m.panel.maximumHeight(), 268);
    QCOMPARE(m.panel.frameShape(), QFrame::Panel);
    QCOMPARE(m.panel.frameShadow(), QFrame::Raised);
    QCOMPARE(m.panel.midLineWidth(), 1);
    QCOMPARE(m.panel.font().pointSize(), 9);

    QStringList buttons;
    for (int n = 0; n < 8; ++n)
        buttons << QStringLiteral("d%1").arg(n) << QStringLiteral("a%1").arg(n);
    buttons << QStringLiteral("usp") << QStringLiteral("ssp") << QStringLiteral("pc");
    for (const char* flag : {"c", "v", "z", "n", "x", "i", "s", "t"})
        buttons << QLatin1String(flag);
    for (const QString& b : buttons) {
        auto* button = m.Find<QPushButton>(b + QLatin1String("Button"));
        QVERIFY2(button, qPrintable(b));
        QCOMPARE(button->text(), b.toUpper());
        QVERIFY(button->fontMetrics().horizontalAdvance(button->text()) <= button->width() - 4);
    }

    QStringList registerTexts, memoryTexts;
    for (int n = 0; n < 8; ++n) {
        registerTexts << QStringLiteral("d%1HexaText").arg(n) << QStringLiteral("d%1AsciiText").arg(n)
                      << QStringLiteral("a%1HexaText").arg(n);
        memoryTexts << QStringLiteral("a%1MemoryHexaText").arg(n) << QStringLiteral("a%1MemoryAsciiText").arg(n);
    }
    registerTexts << QStringLiteral("uspHexaText") << QStringLiteral("sspHexaText") << QStringLiteral("pcHexaText");
    for (const char* flag : {"c", "v", "z", "n", "x", "i", "s", "t"})
        registerTexts << QLatin1String(flag) + QLatin1String("Text");
    for (const char* o : {"src", "dst"}) {
        registerTexts << QLatin1String(o) + QLatin1String("HexaText") << QLatin1String(o) + QLatin1String("AsciiText");
        memoryTexts << QLatin1String(o) + QLatin1String("MemoryHexaText")
                    << QLatin1String(o) + QLatin1String("MemoryAsciiText");
    }
    QStringList found;
    for (RegisterText* t : m.panel.findChildren<RegisterText*>()) {
        found << t->objectName();
        const QString text = t->text();
        // The widest text the field shows; a flag is one digit.
        t->setText(t->format == RegisterText::Decimal ? QStringLiteral("7") : t->Text(0xFFFFFFFF));
        QVERIFY2(Fits(t), qPrintable(t->objectName()));
        t->setText(text);
        QVERIFY(t->isReadOnly());
        QCOMPARE(t->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(t->maxLength(), 8);
        QVERIFY(t->alignment() & Qt::AlignHCenter);
        const bool operand = t->objectName().startsWith(QLatin1String("src")) || t->objectName().startsWith(QLatin1String("dst"));
        QCOMPARE(t->highlight, !operand);
    }
    QCOMPARE(Sorted(found), Sorted(registerTexts));
    found.clear();
    for (MemoryText* t : m.panel.findChildren<MemoryText*>()) {
        found << t->objectName();
        QCOMPARE(t->mode, t->objectName().contains(QLatin1String("Ascii")) ? 1 : 0);
    }
    QCOMPARE(Sorted(found), Sorted(memoryTexts));
    QCOMPARE(m.Find<RegisterText>(QStringLiteral("iText"))->format, int(RegisterText::Decimal));
    QCOMPARE(m.Find<RegisterText>(QStringLiteral("d5AsciiText"))->format, int(RegisterText::Characters));
    QVERIFY(m.Find<QLineEdit>(QStringLiteral("disaText")));
    QCOMPARE(m.Find<QLabel>(QStringLiteral("srcLabel"))->text(), QStringLiteral("SRC"));
    QCOMPARE(m.Find<QLabel>(QStringLiteral("dstLabel"))->text(), QStringLiteral("DST"));

    auto* combo = m.Find<QComboBox>(QStringLiteral("stackComboBox"));
    QVERIFY(combo);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    QCOMPARE(items, QStringLiteral("PC SSP USP A7 A6 A5 A4 A3 A2 A1 A0 D7 D6 D5 D4 D3 D2 D1 D0").split(QLatin1Char(' ')));
    QCOMPARE(combo->currentText(), QStringLiteral("A7"));
    QCOMPARE(combo->maxVisibleItems(), 20);
    for (const char* size : {"8", "16", "32"}) {
        auto* radio = m.Find<QRadioButton>(QLatin1String("stackButton") + QLatin1String(size));
        QVERIFY(radio);
        QCOMPARE(radio->text(), QLatin1String(size));
        QCOMPARE(radio->isChecked(), QByteArray(size) == "32");
    }
    QCOMPARE(m.panel.GetStackSize(), 32);
    QCOMPARE(m.Find<StackText>(QStringLiteral("inStackText"))->direction, 0);
    QCOMPARE(m.Find<StackText>(QStringLiteral("outStackText"))->direction, 1);
    // The references start at 0: what differs from 0 before the first recorded reference
    // is red; after it, nothing.
    QCOMPARE(m.Red(), Sorted({QStringLiteral("iText"), QStringLiteral("sText")}));
    m.panel.RecordReference();
    m.panel.UpdateControl();
    QCOMPARE(m.Red(), QStringList());
}

// The program steps one instruction at a time; after each, exactly what it changed is red,
// and the instruction and operand rows describe the next one.
void StateFrameTest::Steps()
{
    Machine m;
    QCOMPARE(m.Text(QStringLiteral("pcHexaText")), QStringLiteral("00001000"));
    QCOMPARE(m.Text(QStringLiteral("disaText")), QStringLiteral("MOVE.L  #$41424344,D0"));
    QCOMPARE(m.Text(QStringLiteral("srcHexaText")), QStringLiteral("41424344"));
    QCOMPARE(m.Text(QStringLiteral("srcAsciiText")), QStringLiteral("ABCD"));
    QCOMPARE(m.Text(QStringLiteral("dstHexaText")), QStringLiteral("00000000"));

    const QString pc = QStringLiteral("pcHexaText");
    m.Step(); // MOVE.L #$41424344,D0
    QCOMPARE(m.Red(), Sorted({QStringLiteral("d0HexaText"), QStringLiteral("d0AsciiText"), pc}));
    QCOMPARE(m.Text(QStringLiteral("d0HexaText")), QStringLiteral("41424344"));
    QCOMPARE(m.Text(QStringLiteral("d0AsciiText")), QStringLiteral("ABCD"));
    QCOMPARE(m.Text(QStringLiteral("disaText")), QStringLiteral("LEA.L   $2000(PC),A0"));

    m.Step(); // LEA data,A0
    QCOMPARE(m.Red(), Sorted({QStringLiteral("a0HexaText"), pc}));
    QCOMPARE(m.Text(QStringLiteral("a0HexaText")), QStringLiteral("00002000"));
    const int bytes = m.Find<MemoryText>(QStringLiteral("a0MemoryHexaText"))->byteCount;
    QVERIFY(bytes >= 8);
    QVERIFY(m.Text(QStringLiteral("a0MemoryHexaText")).startsWith(QStringLiteral("1234 5678 5A65 6E64")));
    QVERIFY(m.Text(QStringLiteral("a0MemoryAsciiText")).startsWith(QStringLiteral(".4VxZend")));
    QCOMPARE(m.Text(QStringLiteral("a0MemoryAsciiText")).size(), bytes);
    QCOMPARE(m.Text(QStringLiteral("a0MemoryHexaText")).size(), 5 * bytes / 2 - 1);
    // The next instruction reads the word at A0 into D1.
    QCOMPARE(m.Text(QStringLiteral("disaText")), QStringLiteral("MOVE.W  (A0)+,D1"));
    QCOMPARE(m.Text(QStringLiteral("srcHexaText")), QStringLiteral("00002000"));
    QCOMPARE(m.Text(QStringLiteral("srcAsciiText")), QStringLiteral(".. ."));
    QVERIFY(m.Text(QStringLiteral("srcMemoryHexaText")).startsWith(QStringLiteral("1234 5678")));
    QCOMPARE(m.Text(QStringLiteral("dstHexaText")), QStringLiteral("----0000"));
    QVERIFY(m.Text(QStringLiteral("dstMemoryHexaText")).startsWith(QStringLiteral("0000 ")));

    m.Step(); // MOVE.W (A0)+,D1
    QCOMPARE(m.Red(), Sorted({QStringLiteral("d1HexaText"), QStringLiteral("d1AsciiText"), QStringLiteral("a0HexaText"), pc}));
    QCOMPARE(m.Text(QStringLiteral("d1AsciiText")), QStringLiteral("...4"));
    QCOMPARE(m.Text(QStringLiteral("srcHexaText")), QStringLiteral("------1F"));
    QCOMPARE(m.Text(QStringLiteral("srcAsciiText")), QStringLiteral("...."));
    QCOMPARE(m.Text(QStringLiteral("dstHexaText")), QStringLiteral("------00"));

    m.Step(); // MOVE.B #$1F,D2
    QCOMPARE(m.Red(), Sorted({QStringLiteral("d2HexaText"), QStringLiteral("d2AsciiText"), pc}));
    // The next instruction pushes D0 below SSP.
    QCOMPARE(m.Text(QStringLiteral("dstHexaText")), QStringLiteral("00007FFC"));

    m.Step(); // MOVE.L D0,-(SP)
    QCOMPARE(m.Red(), Sorted({QStringLiteral("a7HexaText"), QStringLiteral("sspHexaText"), pc}));
    QCOMPARE(m.Text(QStringLiteral("a7HexaText")), QStringLiteral("00007FFC"));
    QVERIFY(m.Text(QStringLiteral("a7MemoryHexaText")).startsWith(QStringLiteral("4142 4344")));
    QVERIFY(m.Text(QStringLiteral("a7MemoryAsciiText")).startsWith(QStringLiteral("ABCD")));
    QCOMPARE(m.Lines("inStackText").first(), QStringLiteral("41424344"));

    m.Step(); // ADDQ.W #1,D3: no flag changes
    QCOMPARE(m.Red(), Sorted({QStringLiteral("d3HexaText"), QStringLiteral("d3AsciiText"), pc}));
    m.Step(); // MOVEQ #-1,D4
    QCOMPARE(m.Red(), Sorted({QStringLiteral("d4HexaText"), QStringLiteral("d4AsciiText"), QStringLiteral("nText"), pc}));
    QCOMPARE(m.Text(QStringLiteral("nText")), QStringLiteral("1"));
    m.Step(); // CMP.L D4,D4
    QCOMPARE(m.Red(), Sorted({QStringLiteral("nText"), QStringLiteral("zText"), pc}));
    QCOMPARE(m.Text(QStringLiteral("zText")), QStringLiteral("1"));
    QCOMPARE(m.Text(QStringLiteral("iText")), QStringLiteral("7"));
    QCOMPARE(m.Text(QStringLiteral("sText")), QStringLiteral("1"));

    m.Step(); // MOVE.W #$0700,SR: user state, A7 is now USP
    QCOMPARE(m.Red(), Sorted({QStringLiteral("sText"), QStringLiteral("zText"), QStringLiteral("a7HexaText"), pc}));
    QCOMPARE(m.Text(QStringLiteral("a7HexaText")), QStringLiteral("00000000"));
    QCOMPARE(m.Text(QStringLiteral("sspHexaText")), QStringLiteral("00007FFC"));
    QCOMPARE(m.Text(QStringLiteral("disaText")), QStringLiteral("NOP     "));
    QCOMPARE(m.Text(QStringLiteral("srcHexaText")), QStringLiteral("--------"));

    m.Step(); // NOP; PC is now on a word that is no instruction
    QCOMPARE(m.Red(), QStringList({pc}));
    QCOMPARE(m.Text(QStringLiteral("disaText")), QStringLiteral("DC.W    $FFFF"));
    for (const char* o : {"src", "dst"}) {
        const QString p = QLatin1String(o);
        QCOMPARE(m.Text(p + QLatin1String("HexaText")), QStringLiteral("--------"));
        QCOMPARE(m.Text(p + QLatin1String("AsciiText")), QStringLiteral("----"));
        QCOMPARE(m.Text(p + QLatin1String("MemoryHexaText")), QString(5 * bytes / 2 - 1, QLatin1Char('-')));
        QCOMPARE(m.Text(p + QLatin1String("MemoryAsciiText")), QString(bytes, QLatin1Char('-')));
    }
    // A repaint shows the same, in the same colours.
    m.Paint();
    QCOMPARE(m.Red(), QStringList({pc}));
    // Recorded again without a step: everything black.
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
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m.registers->sr, before ^ flag.bit);
        m.Paint();
        QCOMPARE(m.Text(name + QLatin1String("Text")), QString::number((m.registers->sr & flag.bit) ? 1 : 0));
        if (flag.bit == 0x2000) {
            // S clear: A7 and its memory follow USP.
            QCOMPARE(m.Text(QStringLiteral("a7HexaText")), QStringLiteral("00001111"));
            QCOMPARE(m.Find<MemoryText>(QStringLiteral("a7MemoryHexaText"))->address, 0x1111u);
            QCOMPARE(m.Find<MemoryText>(QStringLiteral("a7MemoryAsciiText"))->address, 0x1111u);
        }
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(m.registers->sr, before);
        m.Paint();
        QCOMPARE(m.Text(name + QLatin1String("Text")), QString::number((before & flag.bit) ? 1 : 0));
    }
    QCOMPARE(m.Text(QStringLiteral("a7HexaText")), QStringLiteral("00002222"));

    auto* i = m.Find<QPushButton>(QStringLiteral("iButton"));
    QStringList seen;
    for (int click = 0; click < 8; ++click) {
        QTest::mouseClick(i, Qt::LeftButton);
        m.Paint();
        seen << m.Text(QStringLiteral("iText"));
    }
    QCOMPARE(seen, QStringLiteral("0 1 2 3 4 5 6 7").split(QLatin1Char(' ')));
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

    QString title;
    {
        ModalScript script;
        script.Then("EditRegisterDialog", [&](QWidget* w) {
            title = w->windowTitle();
            auto* edit = w->findChild<QLineEdit*>(QStringLiteral("newValueText"));
            edit->selectAll();
            QTest::keyClicks(edit, "d0+1");
            QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("equalButton")), Qt::LeftButton);
            QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
        });
        QTest::mouseClick(m.Find<QPushButton>(QStringLiteral("d0Button")), Qt::LeftButton);
        QVERIFY(script.Done());
    }
    QCOMPARE(title, QStringLiteral("Registre D0"));
    QCOMPARE(m.registers->d[0], 0x11u);
    QCOMPARE(m.Text(QStringLiteral("d0HexaText")), QStringLiteral("00000011"));
    QCOMPARE(m.Red(), Sorted({QStringLiteral("d0HexaText"), QStringLiteral("d0AsciiText")}));

    // The program counter: the instruction line follows.
    QVERIFY(EditFromPanel(m, "pcButton", "pc+$1E"));
    QCOMPARE(m.registers->pc, 0x101Eu);
    QCOMPARE(m.Text(QStringLiteral("disaText")), QStringLiteral("DC.W    $FFFF"));

    // A7 in supervisor state is SSP; USP keeps its value.
    m.registers->usp = 0x500;
    QVERIFY(EditFromPanel(m, "a7Button", "$3001"));
    QCOMPARE(m.registers->ssp, 0x3001u);
    QCOMPARE(m.registers->usp, 0x500u);
    QCOMPARE(m.Text(QStringLiteral("sspHexaText")), QStringLiteral("00003001"));
    QCOMPARE(m.Text(QStringLiteral("a7HexaText")), QStringLiteral("00003001"));

    // Wrong input, then "Annuler": the error box, and nothing written.
    const unsigned int usp = m.registers->usp;
    QString message;
    {
        ModalScript script;
        script.Then("EditRegisterDialog", [&](QWidget* w) {
                  auto* edit = w->findChild<QLineEdit*>(QStringLiteral("newValueText"));
                  edit->selectAll();
                  QTest::keyClicks(edit, "1 +");
                  QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("okButton")), Qt::LeftButton);
                  QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("cancelButton")), Qt::LeftButton);
              })
            .Message(&message);
        QTest::mouseClick(m.Find<QPushButton>(QStringLiteral("uspButton")), Qt::LeftButton);
        QVERIFY(script.Done());
        QCOMPARE(script.Leftovers(), 0);
    }
    QCOMPARE(message, QStringLiteral("Expression incorrecte dans le champ \"Nouvelle valeur\"."));
    QCOMPARE(m.registers->usp, usp);
}

// The stack around the register of the combo box, at each entry size, with odd addresses.
void StateFrameTest::Stack()
{
    Machine m(false);
    Memory* memory = m.document.memory;
    for (unsigned int a = 0; a < 0x20; ++a)
        memory->Write(0x2FF0 + a, 0xA0 + a, 8, true);
    m.registers->ssp = 0x3000;
    m.Paint();
    auto* in = m.Find<StackText>(QStringLiteral("inStackText"));
    auto* out = m.Find<StackText>(QStringLiteral("outStackText"));
    const int lines = in->height() / in->fontMetrics().height();
    QVERIFY(lines >= 4);
    QCOMPARE(in->lineCount, lines);
    QCOMPARE(m.Lines("inStackText").size(), lines);
    QCOMPARE(m.Lines("outStackText").size(), out->height() / out->fontMetrics().height());
    QCOMPARE(m.Lines("inStackText").mid(0, 2), QStringList({QStringLiteral("B0B1B2B3"), QStringLiteral("B4B5B6B7")}));
    QCOMPARE(m.Lines("outStackText").last(), QStringLiteral("ACADAEAF"));
    QCOMPARE(m.Lines("outStackText").at(m.Lines("outStackText").size() - 2), QStringLiteral("A8A9AAAB"));

    QTest::mouseClick(m.Find<QRadioButton>(QStringLiteral("stackButton16")), Qt::LeftButton);
    QCOMPARE(m.panel.GetStackSize(), 16);
    m.Paint();
    QCOMPARE(in->entrySize, 16);
    QCOMPARE(m.Lines("inStackText").mid(0, 2), QStringList({QStringLiteral("B0B1"), QStringLiteral("B2B3")}));
    QCOMPARE(m.Lines("outStackText").last(), QStringLiteral("AEAF"));

    // Odd: the byte at the address on its own marked line, then the words after it.
    m.registers->ssp = 0x3001;
    m.Paint();
    QCOMPARE(m.Lines("inStackText").mid(0, 3),
             QStringList({QStringLiteral("** B1 **"), QStringLiteral("B2B3"), QStringLiteral("B4B5")}));
    QCOMPARE(m.Lines("outStackText").mid(m.Lines("outStackText").size() - 3),
             QStringList({QStringLiteral("ACAD"), QStringLiteral("AEAF"), QStringLiteral("** B0 **")}));

    QTest::mouseClick(m.Find<QRadioButton>(QStringLiteral("stackButton8")), Qt::LeftButton);
    m.Paint();
    QCOMPARE(m.Lines("inStackText").mid(0, 2), QStringList({QStringLiteral("B1"), QStringLiteral("B2")}));
    QCOMPARE(m.Lines("outStackText").last(), QStringLiteral("B0"));

    // Another register, chosen with the keyboard in the combo box.
    m.registers->d[3] = 0x2FF4;
    auto* combo = m.Find<QComboBox>(QStringLiteral("stackComboBox"));
    combo->setFocus();
    QTest::keyClicks(combo, "D3");
    QCOMPARE(combo->currentText(), QStringLiteral("D3"));
    m.Paint();
    QCOMPARE(in->address, 0x2FF4u);
    QCOMPARE(m.Lines("inStackText").first(), QStringLiteral("A4"));
    QTest::mouseClick(m.Find<QRadioButton>(QStringLiteral("stackButton32")), Qt::LeftButton);
    m.Paint();
    QCOMPARE(m.Lines("inStackText").first(), QStringLiteral("A4A5A6A7"));
    QCOMPARE(m.Lines("outStackText").last(), QStringLiteral("A0A1A2A3"));
}

// Values at the ends of the address space and odd everywhere: shown, and nothing breaks.
void StateFrameTest::Extremes()
{
    Machine m(false);
    Memory* memory = m.document.memory;
    memory->Write(0xFFFFFF, 0x41, 8, true);
    memory->Write(0x000000, 0x42, 8, true);
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
    QCOMPARE(m.Text(QStringLiteral("d7AsciiText")), QString::fromLatin1("\xFF\xFF\xFF\xFF"));
    QCOMPARE(m.Text(QStringLiteral("a7HexaText")), QStringLiteral("FFFFFFFF"));
    QCOMPARE(m.Text(QStringLiteral("pcHexaText")), QStringLiteral("00FFFFFF"));
    QCOMPARE(m.Text(QStringLiteral("tText")), QStringLiteral("1"));
    // The memory at 0xFFFFFF runs on at 0.
    QVERIFY(m.Text(QStringLiteral("a0MemoryHexaText")).startsWith(QStringLiteral("4142 ")));
    QVERIFY(m.Text(QStringLiteral("a0MemoryAsciiText")).startsWith(QStringLiteral("AB")));
    // The stack at an odd address at the very top.
    QCOMPARE(m.Lines("inStackText").mid(0, 2), QStringList({QStringLiteral("** 41 **"), QStringLiteral("4200")}));
    QCOMPARE(m.Lines("outStackText").last(), QStringLiteral("** 00 **"));
    QVERIFY(!m.Text(QStringLiteral("disaText")).isEmpty());

    // The stack below address 0 wraps to the top of memory.
    m.registers->ssp = 0;
    m.Paint();
    QCOMPARE(m.Lines("outStackText").last(), QStringLiteral("0041"));
    QCOMPARE(m.Lines("inStackText").first(), QStringLiteral("4200"));
}

// The memory columns follow the width: k words and their 2k characters, down to none.
void StateFrameTest::Width()
{
    Machine m(false);
    auto* hexa = m.Find<MemoryText>(QStringLiteral("a0MemoryHexaText"));
    auto* ascii = m.Find<MemoryText>(QStringLiteral("a0MemoryAsciiText"));
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
        const int w = width - hexa->x() - left;
        for (MemoryText* t : m.panel.findChildren<MemoryText*>()) {
            QCOMPARE(t->byteCount, 2 * k);
            QCOMPARE(t->text().size(), t->mode == MemoryText::Characters ? 2 * k : 5 * k - 1);
            QVERIFY2(Fits(t), qPrintable(t->objectName()));
        }
        QCOMPARE(hexa->width(), 5 * w * k / (7 * k + 1));
        QCOMPARE(ascii->x(), hexa->x() + hexa->width() + gap);
        QCOMPARE(ascii->x() + ascii->width(), width - left);
        auto* dst = m.Find<MemoryText>(QStringLiteral("dstMemoryAsciiText"));
        QCOMPARE(dst->x() + dst->width(), width - left);
        if (c == 29)
            QCOMPARE(hexa->text(), QStringLiteral("0000 0000 0000 0000"));
    }

    // At its minimum width, and below it, there is no room for one word: nothing shows,
    // no width is negative.
    for (int width : {m.panel.minimumWidth(), 200, 1}) {
        m.panel.setMinimumWidth(0);
        m.panel.resize(width, m.panel.height());
        m.Paint();
        for (MemoryText* t : m.panel.findChildren<MemoryText*>()) {
            QCOMPARE(t->byteCount, 0);
            QVERIFY(t->text().isEmpty());
            QVERIFY(t->width() >= 0);
        }
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
    QVERIFY(!m.panel.isEnabled());
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
