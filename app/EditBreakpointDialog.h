#ifndef ZENDRA_APP_EDITBREAKPOINTDIALOG_H
#define ZENDRA_APP_EDITBREAKPOINTDIALOG_H

#include <QDialog>

class Disassembler;
class Document;

namespace Ui {
class EditBreakpointDialog;
}

// Edits both breakpoint lists of the document and their activation switches. The lists
// are edited as copies in the list widgets: the document changes only on "OK".
class EditBreakpointDialog : public QDialog
{
    Q_OBJECT

public:
    EditBreakpointDialog(Document* document, QWidget* parent);
    ~EditBreakpointDialog() override;

    void AddInstructionItem(unsigned short opcode);
    void AddAddressItem(unsigned int address);
    void UpdateInstructionControls();
    void UpdateAddressControls();

public slots:
    void accept() override;
    void Event_AddInstructionButton_Click();
    void Event_RemoveInstructionButton_Click();
    void Event_RemoveAllInstructionButton_Click();
    void Event_InstructionListBox_SelectedIndexChanged();
    void Event_AddAddressButton_Click();
    void Event_RemoveAddressButton_Click();
    void Event_RemoveAllAddressButton_Click();
    void Event_AddressListBox_SelectedIndexChanged();

private:
    // The label of an address entry: the line of the instruction that stands there.
    QString AddressText(unsigned int address);

    Ui::EditBreakpointDialog* ui;
    Document* document;
    Disassembler* disassembler;
};

#endif
