#include "app/AddInstructionBreakpointDialog.h"

#include "core/Calculator.h"
#include "session/Document.h"
#include "ui_AddInstructionBreakpointDialog.h"
#include "views/ExpressionInput.h"

AddInstructionBreakpointDialog::AddInstructionBreakpointDialog(Document* document, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint),
      ui(new Ui::AddInstructionBreakpointDialog),
      document(document),
      calculator(document->calculator)
{
    ui->setupUi(this);
    // The form is laid out at fixed positions: it must not grow where the window system
    // ignores the fixed-size hint.
    setFixedSize(size());

    static const struct {
        const char* text;
        unsigned short opcode;
    } instructions[] = {
        {"ILLEGAL", 0x4AFC}, {"NOP", 0x4E71}, {"RESET", 0x4E70}, {"RTE", 0x4E73}, {"RTR", 0x4E77}, {"RTS", 0x4E75},
    };
    for (const auto& instruction : instructions)
        ui->instructionComboBox->addItem(QString::fromLatin1(instruction.text), uint(instruction.opcode));
    for (unsigned int trap = 0; trap < 16; ++trap)
        ui->instructionComboBox->addItem(QStringLiteral("TRAP #%1").arg(trap), 0x4E40u + trap);
    ui->instructionComboBox->addItem(QStringLiteral("TRAPV"), 0x4E76u);
    ui->instructionComboBox->setCurrentIndex(0);

    UpdateDisplay();
    connect(ui->instructionRadioButton, &QRadioButton::clicked, this, &AddInstructionBreakpointDialog::UpdateDisplay);
    connect(ui->dcRadioButton, &QRadioButton::clicked, this, &AddInstructionBreakpointDialog::UpdateDisplay);
}

AddInstructionBreakpointDialog::~AddInstructionBreakpointDialog()
{
    delete ui;
}

void AddInstructionBreakpointDialog::UpdateDisplay()
{
    if (ui->instructionRadioButton->isChecked()) {
        ui->dcText->setEnabled(false);
        ui->instructionComboBox->setEnabled(true);
        ui->instructionComboBox->setFocus(Qt::OtherFocusReason);
    } else if (ui->dcRadioButton->isChecked()) {
        ui->instructionComboBox->setEnabled(false);
        ui->dcText->setEnabled(true);
        ui->dcText->setFocus(Qt::OtherFocusReason);
    }
}

void AddInstructionBreakpointDialog::accept()
{
    if (ui->instructionRadioButton->isChecked()) {
        instructionCode = static_cast<unsigned short>(ui->instructionComboBox->currentData().toUInt() & 0xFFFF);
        QDialog::accept();
        return;
    }
    if (!ui->dcRadioButton->isChecked())
        return;

    const QString message = QStringLiteral("L'expression du DC.W est invalide.");
    if (!ExpressionInput::Evaluate(calculator, ui->dcText, this, message))
        return;
    // A word is its low 16 bits, whatever the expression's width: "$14E75" is RTS.
    instructionCode = static_cast<unsigned short>(calculator->result & 0xFFFF);
    QDialog::accept();
}
