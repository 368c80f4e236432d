#ifndef ZENDRA_VIEWS_WATCHVIEW_H
#define ZENDRA_VIEWS_WATCHVIEW_H

#include "views/VariablesView.h"

// "Expressions": the document's watch expressions in C syntax, evaluated at every stop in
// the selected frame, each with its value (open on demand, like a variable's) or, when it
// cannot be evaluated, why. The menu adds, changes and removes them; Delete removes the one
// selected.
class WatchView : public VariablesView
{
    Q_OBJECT

public:
    WatchView();

    QAction* addAction;
    QAction* editAction;
    QAction* removeAction;

protected:
    void Fill(const CallStack& stack, const ValueFormatter& formatter) override;
    QString Refresh() override;
    void InitializeMenu() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // The expression of the selected row's top level, -1 for none.
    int SelectedExpression() const;
    void OnAdd();
    void OnEdit();
    void OnRemove();
};

#endif
