#ifndef ZENDRA_VIEWS_EDITREGISTERDIALOG_H
#define ZENDRA_VIEWS_EDITREGISTERDIALOG_H

#include <QDialog>
#include <QString>

class Calculator;
class Document;
class EditRegisterDialogForm;
class Register;

// Edits one register: shows its value in every representation at once, takes a new value
// as an expression, previews it with "=" and goes back to the initial value with the undo
// button. The caller writes `value` into the register after acceptance.
class EditRegisterDialog : public QDialog
{
    Q_OBJECT

public:
    EditRegisterDialog(Document* document, QString registerName, QWidget* parent);
    ~EditRegisterDialog() override;

    void InitializeControl();
    void InitializeSlot();
    void UpdateControl();

    EditRegisterDialogForm* ui;
    Register* registers;
    Calculator* calculator;
    unsigned int initialValue;
    QString registerName;
    unsigned int value;

public slots:
    void accept() override;
    void OnClicked_EqualButton();
    void OnClicked_UndoButton();

private:
    // Evaluates the new value field; on failure reports it and selects the faulty term.
    bool Evaluate();
    // The new value field shows `value` in hexadecimal, wholly selected for typing over.
    void ShowNewValue();
};

#endif
