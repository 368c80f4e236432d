#ifndef ZENDRA_VIEWS_EXPRESSIONINPUT_H
#define ZENDRA_VIEWS_EXPRESSIONINPUT_H

#include <QString>

class Calculator;
class QLineEdit;
class QWidget;

// A line edit whose text the user types as an expression for the calculator.
class ExpressionInput
{
public:
    // Evaluates the field's text. On failure the error box shows the message over dialog,
    // then the field gets the focus with the faulty term selected, for the user to correct;
    // the result is then in calculator->result.
    static bool Evaluate(Calculator* calculator, QLineEdit* field, QWidget* dialog, const QString& message);
};

#endif
