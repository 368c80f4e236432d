#include "app/AddWatchpointDialog.h"

#include "core/Calculator.h"
#include "session/Document.h"
#include "views/ExpressionInput.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

AddWatchpointDialog::AddWatchpointDialog(Document* document, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      addressText(new QLineEdit(this)),
      lengthBox(new QSpinBox(this)),
      kindBox(new QComboBox(this)),
      document(document)
{
    setWindowTitle(QStringLiteral("Ajouter un point d'observation"));
    addressText->setObjectName(QStringLiteral("addressText"));
    lengthBox->setObjectName(QStringLiteral("lengthBox"));
    kindBox->setObjectName(QStringLiteral("kindBox"));
    lengthBox->setRange(1, int(Watchpoint::maximumLength));
    for (WatchKind kind : {WatchWrite, WatchRead, WatchAccess})
        kindBox->addItem(QStringLiteral("En %1").arg(Watchpoint::KindName(kind)), int(kind));
    // The texts of the other dialogs, not Qt's untranslated ones.
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Adresse :"), addressText);
    form->addRow(QStringLiteral("Nombre d'octets :"), lengthBox);
    form->addRow(QStringLiteral("Arrêter :"), kindBox);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &AddWatchpointDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &AddWatchpointDialog::reject);
}

void AddWatchpointDialog::accept()
{
    if (!ExpressionInput::Evaluate(document->calculator, addressText, this,
                                   QStringLiteral("L'expression saisie est invalide.")))
        return;
    watchpoint = Watchpoint(document->calculator->result, unsigned(lengthBox->value()),
                            static_cast<WatchKind>(kindBox->currentData().toInt()));
    QDialog::accept();
}
