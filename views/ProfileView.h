#ifndef ZENDRA_VIEWS_PROFILEVIEW_H
#define ZENDRA_VIEWS_PROFILEVIEW_H

#include "splitview/SingleView.h"

#include <functional>

class Profiler;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// What the profiled runs cost, by function: calls, instructions, own and inclusive cycles,
// and the share of the cycles counted, the costliest first. Read again from the profiler on
// each update, that is after each stop; while no profiler counts, one line says how to start
// one. A double click on a function asks for its address to be shown in the disassembly.
class ProfileView : public SingleView
{
    Q_OBJECT

public:
    // source: the profiler counting now, null while none does. The window owns it; it is
    // read here between runs only (the pages are disabled during one).
    explicit ProfileView(std::function<const Profiler*()> source);

    void update() override;
    void Draw(QPainter& painter) override;

    // "12,5 %": part of whole with one decimal, as the French write it.
    static QString Share(unsigned long long part, unsigned long long whole);

    QLabel* hint;
    QTreeWidget* table;

signals:
    void FunctionChosen(unsigned int address);

private:
    void Refresh();
    void OnDoubleClicked(QTreeWidgetItem* item);

    const std::function<const Profiler*()> source;
};

#endif
