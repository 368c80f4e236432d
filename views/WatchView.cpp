#include "views/WatchView.h"

#include "session/CallStack.h"
#include "session/Document.h"
#include "session/ExpressionEvaluator.h"
#include "session/ValueFormatter.h"

#include <QAction>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMenu>
#include <QTreeWidget>

namespace {

constexpr int expressionRole = Qt::UserRole + 3;

} // namespace

WatchView::WatchView()
    : VariablesView(),
      addAction(new QAction(QStringLiteral("Ajouter une expression..."), this)),
      editAction(new QAction(QStringLiteral("Modifier l'expression..."), this)),
      removeAction(new QAction(QStringLiteral("Retirer l'expression"), this))
{
    table->headerItem()->setText(0, QStringLiteral("Expression"));
    connect(addAction, &QAction::triggered, this, &WatchView::OnAdd);
    connect(editAction, &QAction::triggered, this, &WatchView::OnEdit);
    connect(removeAction, &QAction::triggered, this, &WatchView::OnRemove);
    connect(table, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item, int column) {
        if (item && !item->parent() && column == 0)
            OnEdit();
    });
    update();
}

void WatchView::InitializeMenu()
{
    menu->addAction(addAction);
    menu->addAction(editAction);
    menu->addAction(removeAction);
    connect(menu, &QMenu::aboutToShow, this, [this] {
        const bool selected = SelectedExpression() >= 0;
        editAction->setEnabled(selected);
        removeAction->setEnabled(selected);
    });
    VariablesView::InitializeMenu();
}

QString WatchView::Refresh()
{
    VariablesView::Refresh();
    return document->watchExpressions.isEmpty()
               ? QStringLiteral("Aucune expression : ajoutez-en par le menu de la vue (« Ajouter une "
                                "expression... »), par exemple « points[2] » ou « p->next->value ».")
               : QString();
}

void WatchView::Fill(const CallStack& stack, const ValueFormatter& formatter)
{
    const int frame = document->selectedFrame < int(stack.frames.size()) ? document->selectedFrame : 0;
    ExpressionEvaluator evaluator(document->debugInfo, document->memory, &stack, frame, &formatter);
    for (int i = 0; i < document->watchExpressions.size(); ++i) {
        const QString& text = document->watchExpressions.at(i);
        DebugValue value;
        QString error;
        QTreeWidgetItem* row;
        if (evaluator.Evaluate(text, &value, &error)) {
            value.name = text;
            row = AddValue(nullptr, value, formatter, QStringLiteral("watch%1").arg(i));
        } else {
            row = new QTreeWidgetItem({text, error});
            row->setForeground(1, Qt::darkGray);
            row->setToolTip(1, error);
            AddRow(nullptr, row);
        }
        row->setData(0, expressionRole, i);
    }
}

int WatchView::SelectedExpression() const
{
    const QTreeWidgetItem* row = table->currentItem();
    while (row && row->parent())
        row = row->parent();
    if (!row)
        return -1;
    const QVariant i = row->data(0, expressionRole);
    return i.isValid() ? i.toInt() : -1;
}

void WatchView::OnAdd()
{
    bool ok = false;
    const QString text = QInputDialog::getText(this, QStringLiteral("Ajouter une expression"),
                                               QStringLiteral("Expression en C :"), QLineEdit::Normal, QString(), &ok);
    if (!ok || text.trimmed().isEmpty())
        return;
    document->watchExpressions.append(text.trimmed());
    update();
}

void WatchView::OnEdit()
{
    const int i = SelectedExpression();
    if (i < 0)
        return;
    bool ok = false;
    const QString text =
        QInputDialog::getText(this, QStringLiteral("Modifier l'expression"), QStringLiteral("Expression en C :"),
                              QLineEdit::Normal, document->watchExpressions.at(i), &ok);
    if (!ok || text.trimmed().isEmpty())
        return;
    document->watchExpressions[i] = text.trimmed();
    update();
}

void WatchView::OnRemove()
{
    const int i = SelectedExpression();
    if (i < 0)
        return;
    document->watchExpressions.removeAt(i);
    update();
}

void WatchView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && SelectedExpression() >= 0) {
        OnRemove();
        return;
    }
    VariablesView::keyPressEvent(event);
}
