#include "views/GetAddressDialog.h"

#include "core/Calculator.h"
#include "core/Document.h"
#include "views/ErrorBox.h"
#include "views/GetAddressDialogForm.h"

#include <QLineEdit>

GetAddressDialog::GetAddressDialog(Document* document, QString title, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui(new GetAddressDialogForm),
      document(document),
      calculator(document->calculator),
      address(0)
{
    ui->SetupUi(this);
    setWindowTitle(title);
}

GetAddressDialog::~GetAddressDialog()
{
    delete ui;
}

void GetAddressDialog::accept()
{
    calculator->expression = ui->addressText->text();
    calculator->Calculate();
    if (calculator->valid) {
        address = calculator->result;
        QDialog::accept();
        return;
    }
    ErrorBox::Show(this, QStringLiteral("L'expression saisie est invalide."));
    ui->addressText->setFocus();
    ui->addressText->setSelection(calculator->errorStart, calculator->errorEnd - calculator->errorStart);
}
