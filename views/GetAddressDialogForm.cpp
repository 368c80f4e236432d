#include "views/GetAddressDialogForm.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

void GetAddressDialogForm::SetupUi(QDialog* dialog)
{
    dialog->setObjectName(QStringLiteral("GetAddressDialog"));
    dialog->resize(290, 92);
    dialog->setWindowTitle(QStringLiteral("Dialog"));
    // The fixed places of the form are measured for captions at 8 points.
    QFont font = dialog->font();
    font.setPointSize(8);
    dialog->setFont(font);

    layoutWidget = new QWidget(dialog);
    layoutWidget->setObjectName(QStringLiteral("layoutWidget"));
    layoutWidget->setGeometry(10, 10, 271, 31);
    horizontalLayout = new QHBoxLayout(layoutWidget);
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    horizontalLayout->setContentsMargins(0, 0, 0, 0);

    addressLabel = new QLabel(QStringLiteral("Saisissez une adresse :"), layoutWidget);
    addressLabel->setObjectName(QStringLiteral("addressLabel"));
    horizontalLayout->addWidget(addressLabel);

    addressText = new QLineEdit(layoutWidget);
    addressText->setObjectName(QStringLiteral("addressText"));
    addressText->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    addressText->setFont(QFont(QStringLiteral("Courier New"), 10));
    horizontalLayout->addWidget(addressText);

    okButton = new QPushButton(QStringLiteral("OK"), dialog);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(91, 60, 90, 25);
    okButton->setDefault(true);

    cancelButton = new QPushButton(QStringLiteral("Annuler"), dialog);
    cancelButton->setObjectName(QStringLiteral("cancelButton"));
    cancelButton->setGeometry(191, 60, 90, 25);
    cancelButton->setAutoDefault(false);

    QWidget::setTabOrder(addressText, okButton);
    QWidget::setTabOrder(okButton, cancelButton);

    QObject::connect(okButton, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
}
