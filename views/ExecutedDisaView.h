#ifndef ZENDRA_VIEWS_EXECUTEDDISAVIEW_H
#define ZENDRA_VIEWS_EXECUTEDDISAVIEW_H

#include "views/DisaView.h"

class UndoList;

// The last executed instructions, read from the undo history, the newest on the bottom row.
// It does not scroll.
class ExecutedDisaView : public DisaView
{
    Q_OBJECT

public:
    ExecutedDisaView();

    UndoList* history;

    void InitializeMenu() override;
    void Draw(QPainter& painter) override;
};

#endif
