#ifndef ZENDRA_VIEWS_TREEVIEW_H
#define ZENDRA_VIEWS_TREEVIEW_H

#include "splitview/SingleView.h"

class Document;
class QLabel;
class QTreeWidget;

// A view made of a table that is filled again from the stopped machine on each update: a
// line of hint above it while it has nothing to show. The table is read only between runs;
// during one the pages are disabled and it keeps what it showed.
class TreeView : public SingleView
{
    Q_OBJECT

public:
    TreeView();

    void update() override;
    void Draw(QPainter& painter) override;

    QLabel* hint;
    QTreeWidget* table;

protected:
    // Fills the table, or returns a hint to show instead.
    virtual QString Refresh() = 0;

    Document* const document;
};

#endif
