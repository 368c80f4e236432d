#include "views/TreeView.h"

#include "session/Document.h"
#include "splitview/ViewManager.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

TreeView::TreeView()
    : SingleView(),
      hint(new QLabel(this)),
      table(new QTreeWidget(this)),
      document(qobject_cast<Document*>(ViewManager::document))
{
    table->setUniformRowHeights(true);
    table->setAlternatingRowColors(true);
    table->header()->setStretchLastSection(true);
    hint->setWordWrap(true);
    hint->setMargin(6);
    hint->hide();
    QVBoxLayout* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(hint);
    layout->addWidget(table);
}

void TreeView::update()
{
    if (isEnabled()) {
        const QString text = Refresh();
        hint->setText(text);
        hint->setVisible(!text.isEmpty());
    }
    SingleView::update();
}

void TreeView::Draw(QPainter&)
{
}
