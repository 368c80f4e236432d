#ifndef ZENDRA_APP_ADDINSTRUCTIONBREAKPOINTDIALOG_H
#define ZENDRA_APP_ADDINSTRUCTIONBREAKPOINTDIALOG_H

#include <QDialog>

class Calculator;
class Document;

namespace Ui {
class AddInstructionBreakpointDialog;
}

// Asks for the opcode word of a new instruction breakpoint: one of the one-word
// instructions without operands, or any word typed as an expression.
class AddInstructionBreakpointDialog : public QDialog
{
    Q_OBJECT

public:
    AddInstructionBreakpointDialog(Document* document, QWidget* parent);
    ~AddInstructionBreakpointDialog() override;

    // The chosen opcode, valid once the dialog was accepted.
    unsigned short instructionCode = 0;

public slots:
    void UpdateDisplay();
    void accept() override;

private:
    Ui::AddInstructionBreakpointDialog* ui;
    Document* document;
    Calculator* calculator;
};

#endif
