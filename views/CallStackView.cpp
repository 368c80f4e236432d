#include "views/CallStackView.h"

#include "core/Emulator.h"
#include "core/Hex.h"
#include "session/CallStack.h"
#include "session/Document.h"
#include "session/ValueFormatter.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QTreeWidget>

namespace {

constexpr int pcRole = Qt::UserRole;

} // namespace

CallStackView::CallStackView() : TreeView()
{
    table->setRootIsDecorated(false);
    table->setHeaderLabels({QStringLiteral("Appel"), QStringLiteral("Position")});
    table->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    table->header()->setStretchLastSection(false);
    connect(table, &QTreeWidget::itemSelectionChanged, this, &CallStackView::OnSelectionChanged);
    update();
}

QString CallStackView::Refresh()
{
    CallStack stack(*document);
    stack.Unwind(*document->emulator->registers);
    const ValueFormatter formatter(document->debugInfo, document->memory, document->symbols);
    const QSignalBlocker quiet(table);
    table->clear();
    for (int i = 0; i < int(stack.frames.size()); ++i) {
        const CallStack::Frame& f = stack.frames[std::size_t(i)];
        QStringList args;
        for (const DebugValue& a : stack.Arguments(i))
            args << a.name + QLatin1Char('=') + formatter.Text(a);
        QString call = QStringLiteral("#%1  %2").arg(i).arg(f.name.isEmpty() ? QStringLiteral("??") : f.name);
        if (f.function)
            call += QStringLiteral(" (") + args.join(QStringLiteral(", ")) + QLatin1Char(')');
        const QString place = f.line > 0 ? QFileInfo(f.file).fileName() + QLatin1Char(':') + QString::number(f.line)
                                         : QLatin1Char('$') + Hex::Text(f.pc & 0xFFFFFF, 6);
        QTreeWidgetItem* row = new QTreeWidgetItem({call, place});
        row->setData(0, pcRole, f.pc);
        row->setToolTip(0, call);
        table->addTopLevelItem(row);
    }
    if (!stack.endMessage.isEmpty()) {
        QTreeWidgetItem* end = new QTreeWidgetItem({stack.endMessage});
        end->setFlags(Qt::ItemIsEnabled);
        end->setForeground(0, Qt::darkGray);
        table->addTopLevelItem(end);
        end->setFirstColumnSpanned(true);
    }
    const int count = int(stack.frames.size());
    if (document->selectedFrame >= count)
        document->selectedFrame = 0;
    if (count > 0)
        table->setCurrentItem(table->topLevelItem(document->selectedFrame));
    return QString();
}

void CallStackView::OnSelectionChanged()
{
    QTreeWidgetItem* row = table->currentItem();
    if (!row || !(row->flags() & Qt::ItemIsSelectable))
        return;
    const int frame = table->indexOfTopLevelItem(row);
    if (frame < 0 || frame == document->selectedFrame)
        return;
    document->selectedFrame = frame;
    emit FrameChosen(row->data(0, pcRole).toUInt());
}
