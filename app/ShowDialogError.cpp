#include "app/ShowDialogError.h"

#include "views/ErrorBox.h"

void ShowDialogError(const QString& text, QWidget* parent)
{
    ErrorBox::Show(parent, text);
}
