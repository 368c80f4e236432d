#include "views/StateFrameForm.h"

#include "views/MemoryText.h"
#include "views/RegisterText.h"
#include "views/StackText.h"

#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

const char* const StateFrameForm::flagNames[StateFrameForm::flagCount] = {"C", "V", "Z", "N", "X", "I", "S", "T"};

namespace {

// The grid of the form: rows 23 pixels apart, widgets 22 high, 6 pixels between columns.
constexpr int top = 8;
constexpr int pitch = 23;
constexpr int rowHeight = 22;
constexpr int margin = 6;
constexpr int gap = 6;
constexpr int buttonWidth = 34;
constexpr int hexaWidth = 72;
constexpr int asciiWidth = 44;

// Columns, left to right: the flags (and the stack sizes below them), the stack, the data
// registers, the address registers and their memory.
constexpr int flagButtonX = margin;
constexpr int flagButtonWidth = 22;
constexpr int flagTextX = flagButtonX + flagButtonWidth + 2;
constexpr int flagTextWidth = 26;
constexpr int stackX = flagTextX + flagTextWidth + gap;
constexpr int stackWidth = 84;
constexpr int dButtonX = stackX + stackWidth + gap;
constexpr int dHexaX = dButtonX + buttonWidth + 2;
constexpr int dAsciiX = dHexaX + hexaWidth + 2;
constexpr int aButtonX = dAsciiX + asciiWidth + gap;
constexpr int aHexaX = aButtonX + buttonWidth + 2;
constexpr int memoryHexaX = aHexaX + hexaWidth + gap;
// Three words and their six characters fill the default width of 743 pixels.
constexpr int memoryHexaWidth = 116;
constexpr int memoryGap = 2;
constexpr int memoryAsciiX = memoryHexaX + memoryHexaWidth + memoryGap;
constexpr int defaultWidth = 743;
constexpr int memoryAsciiWidth = defaultWidth - margin - memoryAsciiX;
// The cycle counter, at the right end of the program counter's row.
constexpr int cyclesX = defaultWidth - margin - StateFrameForm::cyclesWidth;

int Row(int row)
{
    return top + row * pitch;
}

QString Name(const char* prefix, int n, const char* suffix)
{
    return QLatin1String(prefix) + QString::number(n) + QLatin1String(suffix);
}

QString Name(const char* prefix, const char* suffix)
{
    return QLatin1String(prefix) + QLatin1String(suffix);
}

QFont TextFont()
{
    return QFont(QStringLiteral("Courier New"), 9);
}

QPushButton* MakeButton(QFrame* frame, const QString& name, const QString& text, int x, int row, int width)
{
    auto* button = new QPushButton(text, frame);
    button->setObjectName(name);
    button->setGeometry(x, Row(row), width, rowHeight);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

// A read-only line of the panel, in the fixed-pitch font.
template <class Text> Text* MakeField(QFrame* frame, const QString& name, int x, int row, int width)
{
    auto* text = new Text(frame);
    text->setObjectName(name);
    text->setGeometry(x, Row(row), width, rowHeight);
    text->setFont(TextFont());
    text->setReadOnly(true);
    return text;
}

// A value field of the panel: centred, eight characters at the most.
RegisterText* MakeRegisterText(QFrame* frame, const QString& name, int x, int row, int width)
{
    auto* text = MakeField<RegisterText>(frame, name, x, row, width);
    text->setMaxLength(8);
    text->setAlignment(Qt::AlignCenter);
    return text;
}

// Frameless, with a narrow gap between the two columns: the width layout leaves one
// character to spare, which a frame and a wide gap would take from the text.
MemoryText* MakeMemoryText(QFrame* frame, const QString& name, int x, int row, int width)
{
    auto* text = MakeField<MemoryText>(frame, name, x, row, width);
    text->setFrame(false);
    return text;
}

QRadioButton* MakeRadio(QFrame* frame, const char* name, const char* text, int row)
{
    auto* radio = new QRadioButton(QLatin1String(text), frame);
    radio->setObjectName(QLatin1String(name));
    radio->setGeometry(flagButtonX + 2, Row(row), flagTextX + flagTextWidth - flagButtonX, rowHeight);
    return radio;
}

StackText* MakeStackText(QFrame* frame, const char* name, int firstRow, int rows)
{
    auto* text = new StackText(frame);
    text->setObjectName(QLatin1String(name));
    text->setGeometry(stackX, Row(firstRow), stackWidth, rows * pitch - (pitch - rowHeight));
    text->setFont(TextFont());
    text->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    text->setFrameShape(QFrame::StyledPanel);
    text->setFrameShadow(QFrame::Sunken);
    text->setAutoFillBackground(true);
    text->setBackgroundRole(QPalette::Base);
    return text;
}

} // namespace

void StateFrameForm::SetupUi(QFrame* frame)
{
    frame->setObjectName(QStringLiteral("StateFrame"));
    frame->setFrameShape(QFrame::Panel);
    frame->setFrameShadow(QFrame::Raised);
    frame->setMidLineWidth(1);
    frame->resize(defaultWidth, 268);
    frame->setFixedHeight(268);
    // Narrower, the memory columns would have no room for one word: they show nothing.
    frame->setMinimumWidth(memoryHexaX + margin);
    QFont font = frame->font();
    font.setPointSize(9);
    frame->setFont(font);

    // Rows 0-7: the flags, the data registers, the address registers and their memory.
    for (int n = 0; n < 8; ++n) {
        dButton[n] = MakeButton(frame, Name("d", n, "Button"), QStringLiteral("D%1").arg(n), dButtonX, n, buttonWidth);
        dHexaText[n] = MakeRegisterText(frame, Name("d", n, "HexaText"), dHexaX, n, hexaWidth);
        dAsciiText[n] = MakeRegisterText(frame, Name("d", n, "AsciiText"), dAsciiX, n, asciiWidth);
        aButton[n] = MakeButton(frame, Name("a", n, "Button"), QStringLiteral("A%1").arg(n), aButtonX, n, buttonWidth);
        aHexaText[n] = MakeRegisterText(frame, Name("a", n, "HexaText"), aHexaX, n, hexaWidth);
        aMemoryHexaText[n] = MakeMemoryText(frame, Name("a", n, "MemoryHexaText"), memoryHexaX, n, memoryHexaWidth);
        aMemoryAsciiText[n] = MakeMemoryText(frame, Name("a", n, "MemoryAsciiText"), memoryAsciiX, n, memoryAsciiWidth);

        const QString flag = QLatin1String(flagNames[n]);
        const QString lower = flag.toLower();
        flagButton[n] = MakeButton(frame, lower + QLatin1String("Button"), flag, flagButtonX, n, flagButtonWidth);
        flagText[n] = MakeRegisterText(frame, lower + QLatin1String("Text"), flagTextX, n, flagTextWidth);
    }

    // Row 8: the program counter and the instruction there.
    pcButton = MakeButton(frame, QStringLiteral("pcButton"), QStringLiteral("PC"), dButtonX, 8, buttonWidth);
    pcHexaText = MakeRegisterText(frame, QStringLiteral("pcHexaText"), dHexaX, 8, hexaWidth);
    disaText = MakeField<QLineEdit>(frame, QStringLiteral("disaText"), dAsciiX, 8, cyclesX - gap - dAsciiX);
    cyclesLabel = new QLabel(frame);
    cyclesLabel->setObjectName(QStringLiteral("cyclesLabel"));
    cyclesLabel->setGeometry(cyclesX, Row(8), StateFrameForm::cyclesWidth, rowHeight);
    cyclesLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    cyclesLabel->setContextMenuPolicy(Qt::CustomContextMenu);

    // Rows 9 and 10: the operands beside the two stack pointers.
    const struct
    {
        const char* prefix;
        const char* caption;
        QLabel** label;
        RegisterText** hexa;
        RegisterText** ascii;
        MemoryText** memoryHexa;
        MemoryText** memoryAscii;
    } operands[2] = {
        {"src", "SRC", &srcLabel, &srcHexaText, &srcAsciiText, &srcMemoryHexaText, &srcMemoryAsciiText},
        {"dst", "DST", &dstLabel, &dstHexaText, &dstAsciiText, &dstMemoryHexaText, &dstMemoryAsciiText},
    };
    for (int i = 0; i < 2; ++i) {
        const int row = 9 + i;
        const auto& o = operands[i];
        *o.label = new QLabel(QLatin1String(o.caption), frame);
        (*o.label)->setObjectName(Name(o.prefix, "Label"));
        (*o.label)->setGeometry(dButtonX, Row(row), buttonWidth, rowHeight);
        (*o.label)->setAlignment(Qt::AlignCenter);
        *o.hexa = MakeRegisterText(frame, Name(o.prefix, "HexaText"), dHexaX, row, hexaWidth);
        *o.ascii = MakeRegisterText(frame, Name(o.prefix, "AsciiText"), dAsciiX, row, asciiWidth);
        *o.memoryHexa = MakeMemoryText(frame, Name(o.prefix, "MemoryHexaText"), memoryHexaX, row, memoryHexaWidth);
        *o.memoryAscii = MakeMemoryText(frame, Name(o.prefix, "MemoryAsciiText"), memoryAsciiX, row, memoryAsciiWidth);
    }
    uspButton = MakeButton(frame, QStringLiteral("uspButton"), QStringLiteral("USP"), aButtonX, 9, buttonWidth);
    uspHexaText = MakeRegisterText(frame, QStringLiteral("uspHexaText"), aHexaX, 9, hexaWidth);
    sspButton = MakeButton(frame, QStringLiteral("sspButton"), QStringLiteral("SSP"), aButtonX, 10, buttonWidth);
    sspHexaText = MakeRegisterText(frame, QStringLiteral("sspHexaText"), aHexaX, 10, hexaWidth);

    // The stack: its register above, the entries below the address, then those from it;
    // the entry sizes under the flags.
    stackComboBox = new QComboBox(frame);
    stackComboBox->setObjectName(QStringLiteral("stackComboBox"));
    stackComboBox->setGeometry(stackX, Row(0), stackWidth, rowHeight);
    stackComboBox->setMaxVisibleItems(20);
    stackComboBox->addItems({QStringLiteral("PC"), QStringLiteral("SSP"), QStringLiteral("USP")});
    for (int n = 7; n >= 0; --n)
        stackComboBox->addItem(QStringLiteral("A%1").arg(n));
    for (int n = 7; n >= 0; --n)
        stackComboBox->addItem(QStringLiteral("D%1").arg(n));
    outStackText = MakeStackText(frame, "outStackText", 1, 5);
    inStackText = MakeStackText(frame, "inStackText", 6, 5);

    stackButton8 = MakeRadio(frame, "stackButton8", "8", 8);
    stackButton16 = MakeRadio(frame, "stackButton16", "16", 9);
    stackButton32 = MakeRadio(frame, "stackButton32", "32", 10);
    stackButton32->setChecked(true);
}
