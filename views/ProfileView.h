#ifndef ZENDRA_VIEWS_PROFILEVIEW_H
#define ZENDRA_VIEWS_PROFILEVIEW_H

#include "splitview/SingleView.h"

class Document;
class Profile;
class QAction;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// What the profiled runs cost, by function (calls, instructions, own and inclusive cycles,
// share of the cycles) or, on request, by source line, the costliest first. Read again from
// the document's profile on each update, that is after each stop; while none is counted,
// one line says how to start one. A double click on a row asks for its address (the
// function's, the line's first instruction) to be shown; the menu offers the export.
class ProfileView : public SingleView
{
    Q_OBJECT

public:
    ProfileView();

    void update() override;
    void Draw(QPainter& painter) override;

    // "12,5 %": part of whole with one decimal, as the French write it.
    static QString Share(unsigned long long part, unsigned long long whole);

    QLabel* hint;
    QTreeWidget* table;
    QAction* byLineAction;
    QAction* exportAction;

signals:
    void AddressChosen(unsigned int address);
    void ExportRequested();

protected:
    void InitializeMenu() override;

private:
    void Refresh();
    void ListFunctions(const Profile& profile);
    void ListLines(const Profile& profile);
    void OnDoubleClicked(QTreeWidgetItem* item);

    Document* const document;
};

#endif
