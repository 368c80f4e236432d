#include "views/GetAddressDialog.h"

#include "core/Calculator.h"
#include "session/Document.h"
#include "views/ExpressionInput.h"
#include "views/GetAddressDialogForm.h"

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
    if (!ExpressionInput::Evaluate(calculator, ui->addressText, this, QStringLiteral("L'expression saisie est invalide.")))
        return;
    address = calculator->result;
    QDialog::accept();
}
