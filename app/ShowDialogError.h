#ifndef ZENDRA_APP_SHOWDIALOGERROR_H
#define ZENDRA_APP_SHOWDIALOGERROR_H

#include <QString>

class QWidget;

// The modal critical box "Zendra - Erreur" with one OK button, over the dialog that failed.
void ShowDialogError(const QString& text, QWidget* parent);

#endif
