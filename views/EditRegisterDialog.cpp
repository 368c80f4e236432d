#include "views/EditRegisterDialog.h"

#include "core/Calculator.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Register.h"
#include "views/EditRegisterDialogForm.h"
#include "views/ExpressionInput.h"
#include "views/RegisterText.h"

#include <QPushButton>

namespace {

void Configure(RegisterText* text, int format, int size, bool isSigned)
{
    text->format = format;
    text->size = size;
    text->isSigned = isSigned;
    text->highlight = false;
    if (format == RegisterText::Hexadecimal)
        text->hexaPrefix = QStringLiteral("$");
}

} // namespace

EditRegisterDialog::EditRegisterDialog(Document* document, QString registerName, QWidget* parent)
    : QDialog(parent),
      ui(new EditRegisterDialogForm),
      registers(document->emulator->registers),
      calculator(document->calculator),
      initialValue(0),
      registerName(registerName),
      value(0)
{
    ui->SetupUi(this);
    value = initialValue = registers->Get(registerName);
    InitializeControl();
    InitializeSlot();
    UpdateControl();
    ShowNewValue();
}

EditRegisterDialog::~EditRegisterDialog()
{
    delete ui;
}

void EditRegisterDialog::InitializeControl()
{
    setWindowFlags((windowFlags() & ~Qt::WindowContextHelpButtonHint) | Qt::MSWindowsFixedSizeDialogHint);
    setWindowTitle(QStringLiteral("Registre %1").arg(registerName));
    ui->okButton->setDefault(true);

    Configure(ui->binaryText, RegisterText::Binary, 32, false);
    ui->binaryText->binaryPrefix = QStringLiteral("% ");
    Configure(ui->asciiText, RegisterText::Characters, 32, false);
    for (int s = 0; s < 2; ++s) {
        const EditRegisterDialogForm::SizeBox& box = ui->sizeBox[s];
        for (int i = 0; i < 3; ++i) {
            Configure(box.hexaText[i], RegisterText::Hexadecimal, 8 << i, s == EditRegisterDialogForm::signedBox);
            Configure(box.decimalText[i], RegisterText::Decimal, 8 << i, s == EditRegisterDialogForm::signedBox);
        }
    }
    Configure(ui->newValueText, RegisterText::Hexadecimal, 32, false);
}

void EditRegisterDialog::InitializeSlot()
{
    connect(ui->equalButton, &QPushButton::clicked, this, &EditRegisterDialog::OnClicked_EqualButton);
    connect(ui->undoButton, &QPushButton::clicked, this, &EditRegisterDialog::OnClicked_UndoButton);
}

void EditRegisterDialog::UpdateControl()
{
    ui->binaryText->SetValue(value);
    ui->asciiText->SetValue(value);
    for (const EditRegisterDialogForm::SizeBox& box : ui->sizeBox) {
        for (int i = 0; i < 3; ++i) {
            box.hexaText[i]->SetValue(value);
            box.decimalText[i]->SetValue(value);
        }
    }
}

void EditRegisterDialog::ShowNewValue()
{
    ui->newValueText->setFocus();
    ui->newValueText->SetValue(value);
    ui->newValueText->selectAll();
}

bool EditRegisterDialog::Evaluate()
{
    return ExpressionInput::Evaluate(calculator, ui->newValueText, this,
                                     QStringLiteral("Expression incorrecte dans le champ \"Nouvelle valeur\"."));
}

void EditRegisterDialog::OnClicked_EqualButton()
{
    if (!Evaluate())
        return;
    value = calculator->result;
    UpdateControl();
    ui->newValueText->setFocus();
}

void EditRegisterDialog::OnClicked_UndoButton()
{
    value = initialValue;
    UpdateControl();
    ShowNewValue();
}

void EditRegisterDialog::accept()
{
    if (!Evaluate())
        return;
    value = calculator->result;
    QDialog::accept();
}
