#include "app/EditBreakpointDialog.h"

#include "app/AddInstructionBreakpointDialog.h"
#include "app/ShowDialogError.h"
#include "core/Disassembler.h"
#include "core/Document.h"
#include "ui_EditBreakpointDialog.h"
#include "views/GetAddressDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>

namespace {

// The processor drives 24 address lines: the document keeps its breakpoints so, and the
// dialog must name the same breakpoint whatever the user typed above them.
constexpr unsigned int addressMask = 0xFFFFFF;

QListWidgetItem* FindItem(QListWidget* list, unsigned int value)
{
    for (int row = 0; row < list->count(); ++row) {
        QListWidgetItem* item = list->item(row);
        if (item->data(Qt::UserRole).toUInt() == value)
            return item;
    }
    return nullptr;
}

void AddItem(QListWidget* list, const QString& text, unsigned int value)
{
    auto* item = new QListWidgetItem(text);
    item->setData(Qt::UserRole, value);
    list->addItem(item); // sorted into place: sorting is on
    list->setCurrentItem(item);
}

void RemoveSelected(QListWidget* list)
{
    const QList<QListWidgetItem*> selected = list->selectedItems();
    if (!selected.isEmpty())
        delete selected.first();
}

void UpdateControls(QListWidget* list, QWidget* removeButton, QWidget* removeAllButton, QLabel* total)
{
    removeButton->setEnabled(!list->selectedItems().isEmpty());
    removeAllButton->setEnabled(list->count() > 0);
    total->setText(QStringLiteral("Total : %1").arg(list->count()));
}

} // namespace

EditBreakpointDialog::EditBreakpointDialog(Document* document, QWidget* parent)
    : QDialog(parent,
              Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                  | Qt::WindowCloseButtonHint),
      ui(new Ui::EditBreakpointDialog),
      document(document),
      disassembler(document->disassembler)
{
    ui->setupUi(this);
    // The form is laid out at fixed positions: it must not grow where the window system
    // ignores the fixed-size hint.
    setFixedSize(size());
    // The switches carry their text left of the box: where the system font is wider than
    // the form was drawn for, they grow to the left rather than cut their text.
    for (QCheckBox* box : {ui->enableAddressCheckBox, ui->enableInstructionCheckBox}) {
        const int missing = box->sizeHint().width() - box->width();
        if (missing > 0)
            box->setGeometry(box->geometry().adjusted(-missing, 0, 0, 0));
    }

    // The document may hold the same breakpoint twice; one entry stands for both, and the
    // duplicate message is for what the user adds, not for what was already there.
    for (unsigned short opcode : qAsConst(document->instructionBreakpoints)) {
        if (!FindItem(ui->instructionListWidget, opcode))
            AddItem(ui->instructionListWidget, InstructionBreakpointList::GetMnemonic(opcode), opcode);
    }
    for (unsigned int address : qAsConst(document->addressBreakpoints)) {
        address &= addressMask;
        if (!FindItem(ui->addressListWidget, address))
            AddItem(ui->addressListWidget, AddressText(address), address);
    }

    ui->enableInstructionCheckBox->setChecked(document->instructionBreakpointsEnabled);
    ui->enableAddressCheckBox->setChecked(document->addressBreakpointsEnabled);

    connect(ui->addInstructionButton, SIGNAL(clicked()), this, SLOT(Event_AddInstructionButton_Click()));
    connect(ui->removeInstructionButton, SIGNAL(clicked()), this, SLOT(Event_RemoveInstructionButton_Click()));
    connect(ui->removeAllInstructionButton, SIGNAL(clicked()), this, SLOT(Event_RemoveAllInstructionButton_Click()));
    connect(ui->addAddressButton, SIGNAL(clicked()), this, SLOT(Event_AddAddressButton_Click()));
    connect(ui->removeAddressButton, SIGNAL(clicked()), this, SLOT(Event_RemoveAddressButton_Click()));
    connect(ui->removeAllAddressButton, SIGNAL(clicked()), this, SLOT(Event_RemoveAllAddressButton_Click()));
    connect(ui->instructionListWidget, SIGNAL(itemSelectionChanged()), this,
            SLOT(Event_InstructionListBox_SelectedIndexChanged()));
    connect(ui->addressListWidget, SIGNAL(itemSelectionChanged()), this,
            SLOT(Event_AddressListBox_SelectedIndexChanged()));

    ui->instructionListWidget->setCurrentRow(0);
    ui->addressListWidget->setCurrentRow(0);
    UpdateInstructionControls();
    UpdateAddressControls();
}

EditBreakpointDialog::~EditBreakpointDialog()
{
    delete ui;
}

QString EditBreakpointDialog::AddressText(unsigned int address)
{
    disassembler->SetStartAddress(address);
    disassembler->Disassemble();
    return disassembler->addressText + QLatin1Char(' ') + disassembler->mnemonic + QLatin1Char(' ')
        + disassembler->operand;
}

void EditBreakpointDialog::AddInstructionItem(unsigned short opcode)
{
    if (QListWidgetItem* existing = FindItem(ui->instructionListWidget, opcode)) {
        ShowDialogError(QStringLiteral("L'instruction existe déjà en tant que point d'arrêt."), this);
        ui->instructionListWidget->setCurrentItem(existing);
        return;
    }
    AddItem(ui->instructionListWidget, InstructionBreakpointList::GetMnemonic(opcode), opcode);
}

void EditBreakpointDialog::AddAddressItem(unsigned int address)
{
    address &= addressMask;
    if (QListWidgetItem* existing = FindItem(ui->addressListWidget, address)) {
        ShowDialogError(QStringLiteral("L'adresse existe déjà en tant que point d'arrêt."), this);
        ui->addressListWidget->setCurrentItem(existing);
        return;
    }
    AddItem(ui->addressListWidget, AddressText(address), address);
}

void EditBreakpointDialog::UpdateInstructionControls()
{
    UpdateControls(ui->instructionListWidget, ui->removeInstructionButton, ui->removeAllInstructionButton,
                   ui->totalInstructionLabel);
}

void EditBreakpointDialog::UpdateAddressControls()
{
    UpdateControls(ui->addressListWidget, ui->removeAddressButton, ui->removeAllAddressButton,
                   ui->totalAddressLabel);
}

void EditBreakpointDialog::accept()
{
    document->instructionBreakpointsEnabled = ui->enableInstructionCheckBox->isChecked();
    document->addressBreakpointsEnabled = ui->enableAddressCheckBox->isChecked();

    document->instructionBreakpoints.clear();
    for (int row = 0; row < ui->instructionListWidget->count(); ++row) {
        const unsigned int opcode = ui->instructionListWidget->item(row)->data(Qt::UserRole).toUInt();
        document->AddInstructionBreakpoint(static_cast<unsigned short>(opcode & 0xFFFF));
    }
    document->addressBreakpoints.clear();
    for (int row = 0; row < ui->addressListWidget->count(); ++row)
        document->AddAddressBreakpoint(ui->addressListWidget->item(row)->data(Qt::UserRole).toUInt());

    QDialog::accept();
}

void EditBreakpointDialog::Event_AddInstructionButton_Click()
{
    AddInstructionBreakpointDialog dialog(document, this);
    if (dialog.exec() == QDialog::Accepted) {
        AddInstructionItem(dialog.instructionCode);
        UpdateInstructionControls();
    }
}

void EditBreakpointDialog::Event_RemoveInstructionButton_Click()
{
    RemoveSelected(ui->instructionListWidget);
    UpdateInstructionControls();
}

void EditBreakpointDialog::Event_RemoveAllInstructionButton_Click()
{
    ui->instructionListWidget->clear();
    UpdateInstructionControls();
}

void EditBreakpointDialog::Event_InstructionListBox_SelectedIndexChanged()
{
    UpdateInstructionControls();
}

void EditBreakpointDialog::Event_AddAddressButton_Click()
{
    GetAddressDialog dialog(document, QStringLiteral("Ajouter un point d'arrêt"), this);
    if (dialog.exec() == QDialog::Accepted) {
        AddAddressItem(dialog.address);
        UpdateAddressControls();
    }
}

void EditBreakpointDialog::Event_RemoveAddressButton_Click()
{
    RemoveSelected(ui->addressListWidget);
    UpdateAddressControls();
}

void EditBreakpointDialog::Event_RemoveAllAddressButton_Click()
{
    ui->addressListWidget->clear();
    UpdateAddressControls();
}

void EditBreakpointDialog::Event_AddressListBox_SelectedIndexChanged()
{
    UpdateAddressControls();
}
