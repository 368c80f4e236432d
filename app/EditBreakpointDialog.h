#ifndef ZENDRA_APP_EDITBREAKPOINTDIALOG_H
#define ZENDRA_APP_EDITBREAKPOINTDIALOG_H

#include "core/BreakpointCondition.h"
#include "core/Watchpoint.h"

#include <QDialog>
#include <QHash>

class Disassembler;
class Document;
class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace Ui {
class EditBreakpointDialog;
}

// Edits both breakpoint lists of the document, the conditions of its address breakpoints,
// its watchpoints ("Données") and their activation switches. Everything is edited as copies
// in the list widgets: the document changes only on "OK".
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
    void Event_ConditionButton_Click();
    void Event_AddWatchButton_Click();
    void Event_RemoveWatchButton_Click();
    void Event_RemoveAllWatchButton_Click();
    void Event_WatchListBox_SelectedIndexChanged();

public:
    void AddWatchItem(const Watchpoint& watchpoint);
    void UpdateWatchControls();

    // The third tab and the condition button, built here beside the form's two tabs.
    QWidget* watchTab;
    QListWidget* watchListWidget;
    QPushButton* addWatchButton;
    QPushButton* removeWatchButton;
    QPushButton* removeAllWatchButton;
    QCheckBox* enableWatchCheckBox;
    QLabel* totalWatchLabel;
    QPushButton* conditionButton;

private:
    // The label of an address entry: the line of the instruction that stands there.
    QString AddressText(unsigned int address);
    void BuildWatchTab();
    // As wide as the longest entry needs, as far as the screen allows.
    void FitWidthToEntries();
    void ConnectControls();
    // The entry's text again, with its condition.
    void RefreshAddressItem(unsigned int address);

    Ui::EditBreakpointDialog* ui;
    Document* document;
    Disassembler* disassembler;
    QHash<unsigned int, BreakpointCondition> conditions;
};

#endif
