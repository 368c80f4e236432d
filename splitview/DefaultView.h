#ifndef PANELOOM_DEFAULTVIEW_H
#define PANELOOM_DEFAULTVIEW_H

#include "splitview/SingleView.h"

class QVBoxLayout;

// The empty leaf that a split leaves behind: one button per registered view kind, each of
// which replaces this view by a new view of that kind.
class DefaultView : public SingleView
{
    Q_OBJECT

public:
    DefaultView();

    QVBoxLayout* buttonLayout;

    void Draw(QPainter& painter) override;

public slots:
    void OnButton();
};

#endif
