#include "app/AboutDialog.h"

#include <QLabel>
#include <QPushButton>

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      okButton(new QPushButton(QStringLiteral("OK"), this)),
      label(new QLabel(QStringLiteral("Zendra - Version 6.0"), this))
{
    setObjectName(QStringLiteral("AboutDialog"));
    setWindowTitle(QStringLiteral("À propos de Zendra"));
    setFixedSize(256, 117);
    label->setObjectName(QStringLiteral("label"));
    label->setGeometry(20, 10, 220, 16);
    label->setAlignment(Qt::AlignCenter);
    okButton->setObjectName(QStringLiteral("okButton"));
    okButton->setGeometry(87, 82, 90, 25);
    okButton->setDefault(true);
    connect(okButton, &QPushButton::clicked, this, &AboutDialog::accept);
}
