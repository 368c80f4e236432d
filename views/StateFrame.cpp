#include "views/StateFrame.h"

#include "core/Disassembler.h"
#include "session/Document.h"
#include "core/EffectiveAddress.h"
#include "core/CycleTable.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "views/EditRegisterDialog.h"
#include "views/MemoryText.h"
#include "views/RegisterText.h"
#include "views/StackText.h"
#include "views/StateFrameForm.h"

#include <QComboBox>
#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

int StateFrame::memoryGap = -1;

namespace {

// Status register bits of the flags in the form's order C, V, Z, N, X, I, S, T.
constexpr int flagShift[StateFrameForm::flagCount] = {0, 1, 2, 3, 4, 8, 13, 15};
constexpr unsigned int flagMask[StateFrameForm::flagCount] = {1, 1, 1, 1, 1, 7, 1, 1};

void Configure(RegisterText* text, int format, int size, bool highlight = true)
{
    text->format = format;
    text->size = size;
    text->highlight = highlight;
}

// Replacing a line edit's text resets its cursor and undo history: only when it changes.
void ShowText(QLineEdit* edit, const QString& text)
{
    if (edit->text() != text)
        edit->setText(text);
}

} // namespace

StateFrame::StateFrame(QWidget* parent, Document* document)
    : QFrame(parent),
      ui(new StateFrameForm),
      document(document),
      memory(document->memory),
      disassembler(document->disassembler),
      effectiveAddress(document->effectiveAddress),
      registers(document->emulator->registers)
{
    ui->SetupUi(this);
    MemoryText::memory = memory;
    InitializeControl();
    InitializeSlot();
    UpdateControl();
}

StateFrame::~StateFrame()
{
    // The memory texts must not read a document that may go before them.
    if (MemoryText::memory == memory)
        MemoryText::memory = nullptr;
    delete ui;
}

void StateFrame::InitializeControl()
{
    for (int n = 0; n < 8; ++n) {
        Configure(ui->dHexaText[n], RegisterText::Hexadecimal, 32);
        Configure(ui->dAsciiText[n], RegisterText::Characters, 32);
        Configure(ui->aHexaText[n], RegisterText::Hexadecimal, 32);
        ui->aMemoryAsciiText[n]->mode = MemoryText::Characters;
        Configure(ui->flagText[n], RegisterText::Decimal, 8);
    }
    for (RegisterText* text : {ui->pcHexaText, ui->uspHexaText, ui->sspHexaText})
        Configure(text, RegisterText::Hexadecimal, 32);
    Configure(ui->srcHexaText, RegisterText::Hexadecimal, 32, false);
    Configure(ui->dstHexaText, RegisterText::Hexadecimal, 32, false);
    Configure(ui->srcAsciiText, RegisterText::Characters, 32, false);
    Configure(ui->dstAsciiText, RegisterText::Characters, 32, false);
    ui->srcMemoryAsciiText->mode = MemoryText::Characters;
    ui->dstMemoryAsciiText->mode = MemoryText::Characters;

    ui->stackComboBox->setCurrentIndex(ui->stackComboBox->findText(QStringLiteral("A7")));
    ui->inStackText->memory = memory;
    ui->inStackText->direction = 0;
    ui->outStackText->memory = memory;
    ui->outStackText->direction = 1;
}

void StateFrame::InitializeSlot()
{
    for (QPushButton* button : ui->flagButton)
        connect(button, &QPushButton::clicked, this, &StateFrame::OnClicked_FlagButton);
    QList<QPushButton*> registerButtons;
    for (int n = 0; n < 8; ++n)
        registerButtons << ui->dButton[n] << ui->aButton[n];
    registerButtons << ui->uspButton << ui->sspButton << ui->pcButton;
    for (QPushButton* button : qAsConst(registerButtons)) {
        connect(button, &QPushButton::clicked, this, &StateFrame::OnClicked_RegisterButton);
        button->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(button, &QPushButton::customContextMenuRequested, this, &StateFrame::OnContextMenu_RegisterButton);
    }
    connect(ui->cyclesLabel, &QLabel::customContextMenuRequested, this, &StateFrame::OnContextMenu_Cycles);
    // The stack follows its register and entry size at once, not at the next repaint.
    connect(ui->stackComboBox, qOverload<int>(&QComboBox::currentIndexChanged), this, qOverload<>(&StateFrame::update));
    for (QRadioButton* radio : {ui->stackButton8, ui->stackButton16, ui->stackButton32})
        connect(radio, &QRadioButton::toggled, this, qOverload<>(&StateFrame::update));
}

void StateFrame::UpdateControl()
{
    if (!isEnabled())
        return;
    for (int n = 0; n < 8; ++n) {
        ui->dHexaText[n]->SetValue(registers->d[n]);
        ui->dAsciiText[n]->SetValue(registers->d[n]);
    }
    for (int n = 0; n < 8; ++n)
        ui->aHexaText[n]->SetValue(registers->GetAn(unsigned(n), 32));
    ui->pcHexaText->SetValue(registers->pc);
    UpdateCycles();
    ui->uspHexaText->SetValue(registers->usp);
    ui->sspHexaText->SetValue(registers->ssp);
    for (int i = 0; i < StateFrameForm::flagCount; ++i)
        ui->flagText[i]->SetValue((registers->sr >> flagShift[i]) & flagMask[i]);
    for (int n = 0; n < 8; ++n) {
        const unsigned int a = registers->GetAn(unsigned(n), 32);
        ui->aMemoryHexaText[n]->SetAddress(a);
        ui->aMemoryAsciiText[n]->SetAddress(a);
    }
    const int entrySize = GetStackSize();
    const unsigned int stackAddress = registers->Get(ui->stackComboBox->currentText());
    for (StackText* stack : {ui->inStackText, ui->outStackText}) {
        stack->entrySize = (entrySize == 8 || entrySize == 16 || entrySize == 32) ? entrySize : 16;
        stack->SetAddress(stackAddress);
    }
    UpdateDisa();
    UpdateEffectiveAddress();
}

void StateFrame::UpdateDisa()
{
    disassembler->SetStartAddress(registers->pc);
    disassembler->Disassemble();
    const QString text =
        disassembler->mnemonic.leftJustified(Disassembler::MnemonicFieldSize + 1) + disassembler->operand;
    ShowText(ui->disaText, text);
    ui->disaText->setCursorPosition(0);
}

void StateFrame::ShowOperand(const EffectiveAddressItem* item, RegisterText* hexa, RegisterText* ascii,
                             MemoryText* memoryHexa, MemoryText* memoryAscii)
{
    const bool none = item->type == EffectiveAddressItem::None;
    unsigned int shown = item->value;
    int size = 32;
    if (item->type == EffectiveAddressItem::Value) {
        size = (item->size == 8 || item->size == 16) ? item->size : 32;
        shown &= size == 32 ? 0xFFFFFFFFu : (1u << size) - 1;
    }
    // The operand fields are never highlighted: their texts are set directly, so that a
    // byte or a word fills the low digits with dashes for what is no part of the operand.
    hexa->value = shown;
    ascii->value = shown;
    QString hexaText = none ? QStringLiteral("--------") : hexa->Text(shown);
    if (!none && size < 32)
        hexaText = QString((32 - size) / 4, QLatin1Char('-')) + hexaText.right(size / 4);
    ShowText(hexa, hexaText);
    ShowText(ascii, none ? QStringLiteral("----") : ascii->Text(shown));
    for (MemoryText* text : {memoryHexa, memoryAscii}) {
        text->invalid = none;
        text->SetAddress(shown);
    }
}

void StateFrame::UpdateEffectiveAddress()
{
    effectiveAddress->Extract();
    ShowOperand(effectiveAddress->source, ui->srcHexaText, ui->srcAsciiText, ui->srcMemoryHexaText,
                ui->srcMemoryAsciiText);
    ShowOperand(effectiveAddress->destination, ui->dstHexaText, ui->dstAsciiText, ui->dstMemoryHexaText,
                ui->dstMemoryAsciiText);
}

void StateFrame::RecordReference()
{
    cyclesReference = document->emulator->Cycles();
    for (RegisterText* text : findChildren<RegisterText*>())
        text->StoreReference();
}

int StateFrame::GetStackSize() const
{
    if (ui->stackButton8->isChecked())
        return 8;
    if (ui->stackButton16->isChecked())
        return 16;
    return 32;
}

void StateFrame::OnClicked_FlagButton()
{
    auto* button = qobject_cast<QPushButton*>(sender());
    if (!button)
        return;
    const QString name = button->text();
    document->emulator->EditingRegisters();
    registers->Set(name, registers->Get(name) + 1);
    update();
}

void StateFrame::OnClicked_RegisterButton()
{
    auto* button = qobject_cast<QPushButton*>(sender());
    if (!button)
        return;
    const QString name = button->text();
    EditRegisterDialog dialog(document, name, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    document->emulator->EditingRegisters();
    registers->Set(name, dialog.value);
    UpdateControl();
    update();
}

void StateFrame::OnContextMenu_RegisterButton(const QPoint& position)
{
    auto* button = qobject_cast<QPushButton*>(sender());
    if (!button)
        return;
    QMenu menu(this);
    QAction* lastWrite = menu.addAction(QStringLiteral("Dernière écriture"));
    if (menu.exec(button->mapToGlobal(position)) == lastWrite)
        emit document->LastRegisterWriteRequested(button->text());
}

QList<QPair<MemoryText*, MemoryText*>> StateFrame::MemoryRows() const
{
    QList<QPair<MemoryText*, MemoryText*>> rows;
    for (int n = 0; n < 8; ++n)
        rows.append(qMakePair(ui->aMemoryHexaText[n], ui->aMemoryAsciiText[n]));
    rows.append(qMakePair(ui->srcMemoryHexaText, ui->srcMemoryAsciiText));
    rows.append(qMakePair(ui->dstMemoryHexaText, ui->dstMemoryAsciiText));
    return rows;
}

void StateFrame::LayoutMemoryTexts()
{
    MemoryText* const first = ui->aMemoryHexaText[0];
    if (memoryGap < 0)
        memoryGap = ui->aMemoryAsciiText[0]->x() - (first->x() + first->width());
    const int leftMargin = ui->flagButton[0]->x();
    const int w = width() - first->x() - leftMargin;
    const int characterWidth = std::max(1, first->fontMetrics().averageCharWidth());
    const int c = w / characterWidth;
    // Too narrow for one word and its two characters: the columns show nothing.
    const int k = w > 0 && c > 1 ? (c - 1) / 7 : 0;
    const int hexaWidth = k > 0 ? 5 * w * k / (7 * k + 1) : 0;
    for (const auto& row : MemoryRows()) {
        MemoryText* hexa = row.first;
        MemoryText* ascii = row.second;
        hexa->resize(hexaWidth, hexa->height());
        const int asciiX = hexa->x() + hexaWidth + memoryGap;
        ascii->setGeometry(asciiX, ascii->y(), std::max(0, width() - leftMargin - asciiX), ascii->height());
        hexa->byteCount = 2 * k;
        ascii->byteCount = 2 * k;
    }
}

void StateFrame::paintEvent(QPaintEvent* event)
{
    LayoutMemoryTexts();
    UpdateControl();
    QFrame::paintEvent(event);
}

void StateFrame::resizeEvent(QResizeEvent* event)
{
    // The instruction line takes the whole width that is left to it.
    const int leftMargin = ui->flagButton[0]->x();
    // The instruction keeps room for its longest forms; the counter takes what is left, up
    // to its full width, and says less when it has less.
    QLabel* cycles = ui->cyclesLabel;
    const int disaX = ui->disaText->x();
    const int right = width() - leftMargin;
    const int cyclesWidth = std::clamp(right - disaX - 6 - instructionWidth, 0, StateFrameForm::cyclesWidth);
    cycles->setGeometry(right - cyclesWidth, cycles->y(), cyclesWidth, cycles->height());
    ui->disaText->resize(std::max(0, cycles->x() - 6 - disaX), ui->disaText->height());
    UpdateCycles();
    QFrame::resizeEvent(event);
}

// "Cycles : 1 234 567 (+38)  154,3 ms": the count since reset, what the last run or step
// took (less after going back), and the count's time at the machine's clock.
void StateFrame::UpdateCycles()
{
    const QLocale french(QLocale::French);
    const quint64 cycles = document->emulator->Cycles();
    const qint64 change = qint64(cycles - cyclesReference);
    const QString sign = change < 0 ? QStringLiteral("-") : QStringLiteral("+");
    const double seconds = double(cycles) / CycleTable::clockRate;
    QString time;
    if (seconds < 1e-3)
        time = french.toString(seconds * 1e6, 'f', 1) + QStringLiteral("\u00A0µs");
    else if (seconds < 1)
        time = french.toString(seconds * 1e3, 'f', 1) + QStringLiteral("\u00A0ms");
    else
        time = french.toString(seconds, 'f', 2) + QStringLiteral("\u00A0s");
    const QString count = QStringLiteral("%1 (%2%3)").arg(french.toString(cycles), sign, french.toString(qAbs(change)));
    const QFontMetrics metrics = ui->cyclesLabel->fontMetrics();
    QString text = QStringLiteral("Cycles : %1  %2").arg(count, time);
    if (metrics.horizontalAdvance(text) > ui->cyclesLabel->width())
        text = QStringLiteral("Cycles : ") + count;
    if (metrics.horizontalAdvance(text) > ui->cyclesLabel->width())
        text = count;
    // No room for even the count: the instruction has the row.
    if (metrics.horizontalAdvance(text) > ui->cyclesLabel->width())
        text.clear();
    ui->cyclesLabel->setText(text);
    ui->cyclesLabel->setToolTip(QStringLiteral("Cycles d'horloge depuis la réinitialisation, entre parenthèses ceux de la "
                                               "dernière exécution, et leur durée à 8 MHz"));
}

void StateFrame::OnContextMenu_Cycles(const QPoint& position)
{
    QMenu menu(this);
    QAction* reset = menu.addAction(QStringLiteral("Remettre le compteur de cycles à zéro"));
    connect(reset, &QAction::triggered, this, [this] {
        document->emulator->ResetCycles();
        cyclesReference = 0;
        UpdateCycles();
    });
    menu.exec(ui->cyclesLabel->mapToGlobal(position));
}
