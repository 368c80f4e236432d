#ifndef ZENDRA_VIEWS_CALLSTACKVIEW_H
#define ZENDRA_VIEWS_CALLSTACKVIEW_H

#include "views/TreeView.h"

// "Pile d'appels": the frames of the stopped machine from the pc outwards, each with its
// function and its arguments' values, and its source file and line (or its address and
// nearest symbol without lines); a last line says why the list stops short, when it does.
// Choosing a frame makes it the document's selected frame, whose variables the other views
// show, and asks for its pc to be shown in the source and disassembly.
class CallStackView : public TreeView
{
    Q_OBJECT

public:
    CallStackView();

signals:
    void FrameChosen(unsigned int pc);

protected:
    QString Refresh() override;

private:
    void OnSelectionChanged();
};

#endif
