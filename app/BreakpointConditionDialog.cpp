#include "app/BreakpointConditionDialog.h"

#include "app/ShowDialogError.h"
#include "session/Document.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

BreakpointConditionDialog::BreakpointConditionDialog(Document* document, const BreakpointCondition& condition,
                                                     QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      condition(condition),
      conditionText(new QLineEdit(condition.condition.text, this)),
      ignoreBox(new QSpinBox(this)),
      document(document)
{
    setWindowTitle(QStringLiteral("Condition du point d'arrêt"));
    conditionText->setObjectName(QStringLiteral("conditionText"));
    conditionText->setPlaceholderText(QStringLiteral("d0==100 && [a0].w!=0"));
    conditionText->setMinimumWidth(260);
    ignoreBox->setObjectName(QStringLiteral("ignoreBox"));
    ignoreBox->setRange(0, 1000000000);
    ignoreBox->setValue(condition.ignoreCount);
    // The texts of the other dialogs, not Qt's untranslated ones.
    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole)->setDefault(true);
    buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Condition :"), conditionText);
    form->addRow(QStringLiteral("Passages à ignorer :"), ignoreBox);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &BreakpointConditionDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &BreakpointConditionDialog::reject);
}

void BreakpointConditionDialog::accept()
{
    const QString text = conditionText->text();
    if (text.isEmpty()) {
        condition.condition = Condition();
    } else if (!condition.condition.Parse(text, document->conditionCalculator)) {
        const int start = condition.condition.errorStart;
        const int end = condition.condition.errorEnd;
        ShowDialogError(QStringLiteral("La condition saisie est invalide."), this);
        conditionText->setFocus(Qt::OtherFocusReason);
        conditionText->setSelection(start, end - start);
        return;
    }
    condition.ignoreCount = ignoreBox->value();
    condition.passes = 0;
    QDialog::accept();
}
