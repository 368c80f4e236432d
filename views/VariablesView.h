#ifndef ZENDRA_VIEWS_VARIABLESVIEW_H
#define ZENDRA_VIEWS_VARIABLESVIEW_H

#include "session/DebugValue.h"
#include "views/TreeView.h"

#include <QHash>
#include <QSet>

#include <vector>

class CallStack;
class QAction;
class QTreeWidgetItem;
class ValueFormatter;

// The values of C variables with their types, in a tree whose structures, arrays and
// pointers open on demand: "Variables" shows the selected frame's arguments and locals,
// then the program's globals; WatchView, its expressions. Values changed since the stop
// before are red, as in the panel; "Hexadécimal" in the menu shows numbers as GDB's print/x.
// What is open stays open from one stop to the next. A double click on a number, a
// character, an enumeration or a pointer in memory edits it.
class VariablesView : public TreeView
{
    Q_OBJECT

public:
    VariablesView();

    QAction* hexadecimalAction;

signals:
    // A value was edited in place and written to memory.
    void ValueEdited();

protected:
    QString Refresh() override;
    void InitializeMenu() override;
    // Fills the table's top level from the stack and formatter; the base lists the
    // variables by group.
    virtual void Fill(const CallStack& stack, const ValueFormatter& formatter);
    // A value's row under parent (null for the top level), with its children to come.
    QTreeWidgetItem* AddValue(QTreeWidgetItem* parent, const DebugValue& value, const ValueFormatter& formatter,
                              const QString& path);
    QTreeWidgetItem* AddGroup(const QString& title, const QString& path);
    void AddRow(QTreeWidgetItem* parent, QTreeWidgetItem* row);

private:
    // A scalar in memory, which a double click on its value edits through an expression
    // of the calculator; the edit is taken back with the last instruction, as the panel's.
    bool IsEditable(const DebugValue& value) const;
    void OnDoubleClicked(QTreeWidgetItem* item, int column);
    void OnChanged(QTreeWidgetItem* item, int column);
    void OnExpanded(QTreeWidgetItem* item);
    void OnCollapsed(QTreeWidgetItem* item);
    QString PathOf(const QTreeWidgetItem* item) const;
    void ExpandRemembered(QTreeWidgetItem* item);

    // The values behind the rows, by the index a row keeps; rebuilt at each refresh.
    std::vector<DebugValue> values;
    // What each row's text was at the stop before and is now, by path.
    QHash<QString, QString> before;
    QHash<QString, QString> now;
    QSet<QString> expanded;
    // The groups shown once already: opened by default the first time only.
    QSet<QString> opened;
    // The stop the texts are of: a refresh that is no new stop keeps the texts before.
    QString stopKey;
    // Only while a refresh fills the table, for the rows it expands.
    const ValueFormatter* filling = nullptr;
};

#endif
