#include "views/ErrorBox.h"

#include <QMessageBox>

QString ErrorBox::Title()
{
    return QStringLiteral("Zendra - ") + QStringLiteral("Erreur");
}

void ErrorBox::Show(QWidget* parent, const QString& message)
{
    QMessageBox box(QMessageBox::Critical, Title(), message, QMessageBox::Ok, parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}
