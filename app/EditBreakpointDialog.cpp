#include "app/EditBreakpointDialog.h"

#include "app/AddInstructionBreakpointDialog.h"
#include "app/AddWatchpointDialog.h"
#include "app/BreakpointConditionDialog.h"
#include "app/ShowDialogError.h"
#include "app/WindowPlacement.h"
#include "core/Disassembler.h"
#include "session/Document.h"
#include "ui_EditBreakpointDialog.h"
#include "views/GetAddressDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>

#include <utility>

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
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      ui(new Ui::EditBreakpointDialog),
      document(document),
      disassembler(document->disassembler),
      conditions(document->conditions)
{
    ui->setupUi(this);
    BuildWatchTab();

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

    ConnectControls();
    for (const Watchpoint& w : qAsConst(document->watchpoints))
        AddWatchItem(w);
    enableWatchCheckBox->setChecked(document->watchpointsEnabled);
    watchListWidget->setCurrentRow(0);
    UpdateWatchControls();

    ui->instructionListWidget->setCurrentRow(0);
    ui->addressListWidget->setCurrentRow(0);
    UpdateInstructionControls();
    UpdateAddressControls();
    FitWidthToEntries();
}

void EditBreakpointDialog::FitWidthToEntries()
{
    // The width at which every list shows its longest entry whole, beside a vertical bar:
    // the least width of its tab grows by what the list lacks at its own least width.
    int pages = 0;
    int whole = 0;
    for (QListWidget* list : {ui->addressListWidget, ui->instructionListWidget, watchListWidget}) {
        const int entries = list->sizeHintForColumn(0) + 2 * list->frameWidth()
            + list->verticalScrollBar()->sizeHint().width();
        const int page = list->parentWidget()->minimumSizeHint().width();
        pages = std::max(pages, page);
        whole = std::max(whole, page + std::max(0, entries - list->minimumSizeHint().width()));
    }
    const int wanted = minimumSizeHint().width() + whole - pages;
    // What the screen cannot hold scrolls.
    resize(std::max(width(), std::min(wanted, WindowPlacement::Room(this).width())), height());
}

void EditBreakpointDialog::ConnectControls()
{
    using Dialog = EditBreakpointDialog;
    const std::pair<QPushButton*, void (Dialog::*)()> buttons[] = {
        {ui->addInstructionButton, &Dialog::Event_AddInstructionButton_Click},
        {ui->removeInstructionButton, &Dialog::Event_RemoveInstructionButton_Click},
        {ui->removeAllInstructionButton, &Dialog::Event_RemoveAllInstructionButton_Click},
        {ui->addAddressButton, &Dialog::Event_AddAddressButton_Click},
        {ui->removeAddressButton, &Dialog::Event_RemoveAddressButton_Click},
        {ui->removeAllAddressButton, &Dialog::Event_RemoveAllAddressButton_Click},
        {conditionButton, &Dialog::Event_ConditionButton_Click},
        {addWatchButton, &Dialog::Event_AddWatchButton_Click},
        {removeWatchButton, &Dialog::Event_RemoveWatchButton_Click},
        {removeAllWatchButton, &Dialog::Event_RemoveAllWatchButton_Click},
    };
    for (const auto& button : buttons)
        connect(button.first, &QPushButton::clicked, this, button.second);
    const std::pair<QListWidget*, void (Dialog::*)()> lists[] = {
        {ui->instructionListWidget, &Dialog::Event_InstructionListBox_SelectedIndexChanged},
        {ui->addressListWidget, &Dialog::Event_AddressListBox_SelectedIndexChanged},
        {watchListWidget, &Dialog::Event_WatchListBox_SelectedIndexChanged},
    };
    for (const auto& list : lists)
        connect(list.first, &QListWidget::itemSelectionChanged, this, list.second);
}

EditBreakpointDialog::~EditBreakpointDialog()
{
    delete ui;
}

QString EditBreakpointDialog::AddressText(unsigned int address)
{
    disassembler->SetStartAddress(address);
    disassembler->Disassemble();
    QString text = disassembler->addressText + QLatin1Char(' ') + disassembler->mnemonic + QLatin1Char(' ')
        + disassembler->operand;
    const auto c = conditions.constFind(address);
    if (c != conditions.constEnd()) {
        if (c->HasCondition())
            text += QStringLiteral(" [si %1]").arg(c->condition.text);
        if (c->ignoreCount > 0)
            text += QStringLiteral(" [ignorer %1]").arg(c->ignoreCount);
    }
    return text;
}

void EditBreakpointDialog::RefreshAddressItem(unsigned int address)
{
    if (QListWidgetItem* item = FindItem(ui->addressListWidget, address))
        item->setText(AddressText(address));
}

void EditBreakpointDialog::BuildWatchTab()
{
    // Laid out as the two tabs of the form are, control for control.
    watchTab = new QWidget;
    watchTab->setObjectName(QStringLiteral("watchTab"));
    watchListWidget = new QListWidget(watchTab);
    watchListWidget->setObjectName(QStringLiteral("watchListWidget"));
    watchListWidget->setSizePolicy(ui->addressListWidget->sizePolicy());
    watchListWidget->setFont(ui->addressListWidget->font());
    watchListWidget->setTextElideMode(ui->addressListWidget->textElideMode());
    auto button = [this](const char* name, const QString& text) {
        auto* b = new QPushButton(text, watchTab);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    addWatchButton = button("addWatchButton", QStringLiteral("Ajouter"));
    removeWatchButton = button("removeWatchButton", QStringLiteral("Supprimer"));
    removeAllWatchButton = button("removeAllWatchButton", QStringLiteral("Vider"));
    enableWatchCheckBox = new QCheckBox(QStringLiteral("Activer"), watchTab);
    enableWatchCheckBox->setObjectName(QStringLiteral("enableWatchCheckBox"));
    enableWatchCheckBox->setLayoutDirection(ui->enableAddressCheckBox->layoutDirection());
    totalWatchLabel = new QLabel(watchTab);
    totalWatchLabel->setObjectName(QStringLiteral("totalWatchLabel"));
    totalWatchLabel->setAlignment(ui->totalAddressLabel->alignment());
    auto* column = new QVBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*>{addWatchButton, removeWatchButton, removeAllWatchButton,
                                                       enableWatchCheckBox})
        column->addWidget(w);
    column->addStretch();
    column->addWidget(totalWatchLabel);
    auto* row = new QHBoxLayout(watchTab);
    row->addWidget(watchListWidget);
    row->addLayout(column);
    ui->tabWidget->addTab(watchTab, QStringLiteral("Données"));

    // Below the switch of the address breakpoints.
    conditionButton = new QPushButton(QStringLiteral("Condition..."), ui->addressTab);
    conditionButton->setObjectName(QStringLiteral("conditionButton"));
    conditionButton->setAutoDefault(false);
    ui->addressButtonLayout->insertWidget(ui->addressButtonLayout->indexOf(ui->enableAddressCheckBox) + 1,
                                          conditionButton);
}

void EditBreakpointDialog::AddWatchItem(const Watchpoint& watchpoint)
{
    for (int row = 0; row < watchListWidget->count(); ++row) {
        QListWidgetItem* item = watchListWidget->item(row);
        const Watchpoint w(item->data(Qt::UserRole).toUInt(), item->data(Qt::UserRole + 1).toUInt(),
                           static_cast<WatchKind>(item->data(Qt::UserRole + 2).toInt()));
        if (w.SameRange(watchpoint)) {
            watchListWidget->setCurrentItem(item);
            return;
        }
    }
    auto* item = new QListWidgetItem(watchpoint.Text());
    item->setData(Qt::UserRole, watchpoint.address);
    item->setData(Qt::UserRole + 1, watchpoint.length);
    item->setData(Qt::UserRole + 2, int(watchpoint.kind));
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(watchpoint.enabled ? Qt::Checked : Qt::Unchecked);
    watchListWidget->addItem(item);
    watchListWidget->setCurrentItem(item);
}

void EditBreakpointDialog::UpdateWatchControls()
{
    UpdateControls(watchListWidget, removeWatchButton, removeAllWatchButton, totalWatchLabel);
}

void EditBreakpointDialog::Event_AddWatchButton_Click()
{
    AddWatchpointDialog dialog(document, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const int before = watchListWidget->count();
    AddWatchItem(dialog.watchpoint);
    if (watchListWidget->count() == before)
        ShowDialogError(QStringLiteral("Le point d'observation existe déjà."), this);
    UpdateWatchControls();
}

void EditBreakpointDialog::Event_RemoveWatchButton_Click()
{
    RemoveSelected(watchListWidget);
    UpdateWatchControls();
}

void EditBreakpointDialog::Event_RemoveAllWatchButton_Click()
{
    watchListWidget->clear();
    UpdateWatchControls();
}

void EditBreakpointDialog::Event_WatchListBox_SelectedIndexChanged()
{
    UpdateWatchControls();
}

void EditBreakpointDialog::Event_ConditionButton_Click()
{
    const QList<QListWidgetItem*> selected = ui->addressListWidget->selectedItems();
    if (selected.isEmpty())
        return;
    const unsigned int address = selected.first()->data(Qt::UserRole).toUInt();
    BreakpointConditionDialog dialog(document, conditions.value(address), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (dialog.condition.HasCondition() || dialog.condition.ignoreCount > 0)
        conditions.insert(address, dialog.condition);
    else
        conditions.remove(address);
    RefreshAddressItem(address);
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
    conditionButton->setEnabled(!ui->addressListWidget->selectedItems().isEmpty());
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
    document->conditions.clear();
    for (int row = 0; row < ui->addressListWidget->count(); ++row) {
        const unsigned int address = ui->addressListWidget->item(row)->data(Qt::UserRole).toUInt();
        document->AddAddressBreakpoint(address);
        if (conditions.contains(address))
            document->conditions.insert(address, conditions.value(address));
    }

    document->watchpointsEnabled = enableWatchCheckBox->isChecked();
    document->watchpoints.clear();
    for (int row = 0; row < watchListWidget->count(); ++row) {
        const QListWidgetItem* item = watchListWidget->item(row);
        document->watchpoints << Watchpoint(item->data(Qt::UserRole).toUInt(), item->data(Qt::UserRole + 1).toUInt(),
                                            static_cast<WatchKind>(item->data(Qt::UserRole + 2).toInt()),
                                            item->checkState() == Qt::Checked);
    }

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
