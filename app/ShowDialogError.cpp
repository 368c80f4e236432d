#include "app/ShowDialogError.h"

#include <QMessageBox>

void ShowDialogError(const QString& text, QWidget* parent)
{
    QMessageBox box(parent);
    box.setWindowTitle(QStringLiteral("Zendra - Erreur"));
    box.setText(text);
    box.setIcon(QMessageBox::Critical);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.exec();
}
