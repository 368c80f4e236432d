#include "views/ExpressionInput.h"

#include "core/Calculator.h"
#include "views/ErrorBox.h"

#include <QLineEdit>

bool ExpressionInput::Evaluate(Calculator* calculator, QLineEdit* field, QWidget* dialog, const QString& message)
{
    calculator->expression = field->text();
    calculator->Calculate();
    if (calculator->valid)
        return true;
    ErrorBox::Show(dialog, message);
    field->setFocus();
    field->setSelection(calculator->errorStart, calculator->errorEnd - calculator->errorStart);
    return false;
}
