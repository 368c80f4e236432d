#include "views/VariablesView.h"

#include "core/Calculator.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "program/DebugInfo.h"
#include "session/CallStack.h"
#include "session/Document.h"
#include "session/ValueFormatter.h"
#include "views/ErrorBox.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTreeWidget>

namespace {

constexpr int valueRole = Qt::UserRole;
constexpr int pathRole = Qt::UserRole + 1;
// Rows whose children are still to be made.
constexpr int pendingRole = Qt::UserRole + 2;
// The value index of the globals' group, whose rows are made when it opens.
constexpr int globalsRow = -2;

} // namespace

VariablesView::VariablesView() : TreeView(), hexadecimalAction(new QAction(QStringLiteral("Hexadécimal"), this))
{
    table->setHeaderLabels({QStringLiteral("Nom"), QStringLiteral("Valeur"), QStringLiteral("Type")});
    table->header()->setSectionResizeMode(QHeaderView::Interactive);
    table->setColumnWidth(0, 160);
    table->setColumnWidth(1, 220);
    hexadecimalAction->setCheckable(true);
    connect(hexadecimalAction, &QAction::toggled, this, [this] { update(); });
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(table, &QTreeWidget::itemDoubleClicked, this, &VariablesView::OnDoubleClicked);
    connect(table, &QTreeWidget::itemChanged, this, &VariablesView::OnChanged);
    connect(table, &QTreeWidget::itemExpanded, this, &VariablesView::OnExpanded);
    connect(table, &QTreeWidget::itemCollapsed, this, &VariablesView::OnCollapsed);
    update();
}

void VariablesView::InitializeMenu()
{
    menu->addAction(hexadecimalAction);
    menu->addSeparator();
    TreeView::InitializeMenu();
}

QString VariablesView::Refresh()
{
    const Register& r = *document->emulator->registers;
    const QString key = QStringLiteral("%1 %2 %3")
                            .arg(document->emulator->Cycles())
                            .arg(r.pc)
                            .arg(document->programSerial);
    if (key != stopKey) {
        stopKey = key;
        before = now;
    }
    now.clear();
    values.clear();
    CallStack stack(*document);
    stack.Unwind(r);
    const ValueFormatter formatter(document->debugInfo, document->memory, document->symbols);
    filling = &formatter;
    const QSignalBlocker quiet(table);
    table->clear();
    Fill(stack, formatter);
    for (int i = 0; i < table->topLevelItemCount(); ++i)
        ExpandRemembered(table->topLevelItem(i));
    filling = nullptr;
    return table->topLevelItemCount() ? QString()
                                      : QStringLiteral("Aucune variable : ce programme n'a pas d'informations de "
                                                       "débogage (compilez-le avec -g).");
}

void VariablesView::Fill(const CallStack& stack, const ValueFormatter& formatter)
{
    const int frame = document->selectedFrame < int(stack.frames.size()) ? document->selectedFrame : 0;
    const struct
    {
        const char* title;
        const char* path;
        std::vector<DebugValue> values;
    } groups[] = {{"Arguments", "args", stack.Arguments(frame)}, {"Variables locales", "locals", stack.Locals(frame)}};
    for (const auto& g : groups) {
        if (g.values.empty())
            continue;
        QTreeWidgetItem* group = AddGroup(QString::fromUtf8(g.title), QString::fromLatin1(g.path));
        for (const DebugValue& v : g.values)
            AddValue(group, v, formatter, QString::fromLatin1(g.path));
        // Open the first time: the frame's own variables are what one looks for.
        if (!opened.contains(QString::fromLatin1(g.path)))
            expanded.insert(QString::fromLatin1(g.path));
        opened.insert(QString::fromLatin1(g.path));
    }
    // The globals are located only once opened: a program may have thousands.
    if (!document->debugInfo->globals.empty()) {
        QTreeWidgetItem* globals = AddGroup(QStringLiteral("Variables globales"), QStringLiteral("globals"));
        globals->setData(0, valueRole, globalsRow);
        globals->setData(0, pendingRole, true);
        globals->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    }
}

QTreeWidgetItem* VariablesView::AddGroup(const QString& title, const QString& path)
{
    QTreeWidgetItem* group = new QTreeWidgetItem({title});
    QFont bold = group->font(0);
    bold.setBold(true);
    group->setFont(0, bold);
    group->setData(0, pathRole, path);
    group->setData(0, valueRole, -1);
    table->addTopLevelItem(group);
    // A view's property: the row must be in the tree first.
    group->setFirstColumnSpanned(true);
    return group;
}

void VariablesView::AddRow(QTreeWidgetItem* parent, QTreeWidgetItem* row)
{
    if (parent)
        parent->addChild(row);
    else
        table->addTopLevelItem(row);
}

QTreeWidgetItem* VariablesView::AddValue(QTreeWidgetItem* parent, const DebugValue& value,
                                         const ValueFormatter& formatter, const QString& path)
{
    const ValueFormatter::Radix radix =
        hexadecimalAction->isChecked() ? ValueFormatter::Radix::Hexadecimal : ValueFormatter::Radix::Natural;
    const QString text = value.storage == DebugValue::Storage::Unreadable && !value.problem.isEmpty()
                             ? value.problem
                             : formatter.Text(value, radix);
    const QString key = path + QLatin1Char('/') + value.name;
    QTreeWidgetItem* row = new QTreeWidgetItem({value.name, text, formatter.TypeName(value)});
    row->setData(0, valueRole, int(values.size()));
    row->setData(0, pathRole, key);
    row->setToolTip(1, text);
    values.push_back(value);
    now.insert(key, text);
    if (before.contains(key) && before.value(key) != text)
        row->setForeground(1, Qt::red);
    if (IsEditable(value))
        row->setFlags(row->flags() | Qt::ItemIsEditable);
    if (formatter.HasChildren(value)) {
        row->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        row->setData(0, pendingRole, true);
    }
    AddRow(parent, row);
    return row;
}

QString VariablesView::PathOf(const QTreeWidgetItem* item) const
{
    return item->data(0, pathRole).toString();
}

void VariablesView::ExpandRemembered(QTreeWidgetItem* item)
{
    if (!expanded.contains(PathOf(item)))
        return;
    item->setExpanded(true);
    OnExpanded(item);
    for (int i = 0; i < item->childCount(); ++i)
        ExpandRemembered(item->child(i));
}

void VariablesView::OnExpanded(QTreeWidgetItem* item)
{
    expanded.insert(PathOf(item));
    if (!item->data(0, pendingRole).toBool())
        return;
    item->setData(0, pendingRole, false);
    const int index = item->data(0, valueRole).toInt();
    if ((index < 0 && index != globalsRow) || index >= int(values.size()))
        return;
    const ValueFormatter local(document->debugInfo, document->memory, document->symbols);
    const ValueFormatter& formatter = filling ? *filling : local;
    if (index == globalsRow) {
        for (const DebugValue& global : CallStack(*document).Globals())
            AddValue(item, global, formatter, PathOf(item));
        return;
    }
    const DebugValue parent = values[std::size_t(index)];
    for (const DebugValue& child : formatter.Children(parent))
        AddValue(item, child, formatter, PathOf(item));
    if (item->childCount() == 0)
        item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
}

void VariablesView::OnCollapsed(QTreeWidgetItem* item)
{
    expanded.remove(PathOf(item));
}

bool VariablesView::IsEditable(const DebugValue& value) const
{
    if (value.storage != DebugValue::Storage::Memory || value.bitSize)
        return false;
    const TypeTable& types = document->debugInfo->types;
    const unsigned int size = types.SizeOf(value.type);
    switch (types.At(types.Strip(value.type)).kind) {
    case TypeTable::Kind::Integer:
    case TypeTable::Kind::Character:
    case TypeTable::Kind::Boolean:
    case TypeTable::Kind::Enumeration:
    case TypeTable::Kind::Pointer: return size == 1 || size == 2 || size == 4;
    default: return false;
    }
}

void VariablesView::OnDoubleClicked(QTreeWidgetItem* item, int column)
{
    if (column == 1 && (item->flags() & Qt::ItemIsEditable))
        table->editItem(item, 1);
}

void VariablesView::OnChanged(QTreeWidgetItem* item, int column)
{
    const int index = item->data(0, valueRole).toInt();
    if (column != 1 || index < 0 || index >= int(values.size()) || !IsEditable(values[std::size_t(index)]))
        return;
    const DebugValue value = values[std::size_t(index)];
    // The calculator's numbers are unsigned: a leading minus is taken here.
    QString text = item->text(1).trimmed();
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text = text.mid(1);
    Calculator* calculator = document->calculator;
    calculator->expression = text;
    calculator->Calculate();
    if (!calculator->valid) {
        ErrorBox::Show(this, QStringLiteral("Expression incorrecte pour « %1 » : « %2 ».").arg(value.name, item->text(1)));
        update();
        return;
    }
    const unsigned int number = negative ? 0u - calculator->result : calculator->result;
    const unsigned int size = document->debugInfo->types.SizeOf(value.type);
    document->emulator->EditingMemory(value.address, int(size));
    for (unsigned int i = 0; i < size; ++i)
        document->memory->Write((value.address + i) & 0xFFFFFF, (number >> (8 * (size - 1 - i))) & 0xFF, 8, false);
    emit ValueEdited();
    update();
}
