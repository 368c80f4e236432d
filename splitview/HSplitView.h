#ifndef PANELOOM_HSPLITVIEW_H
#define PANELOOM_HSPLITVIEW_H

#include "splitview/OrientedSplitView.h"

// Two views one above the other with a horizontal separator between them.
class HSplitView : public OrientedSplitView
{
    Q_OBJECT

public:
    HSplitView(View* top, View* bottom);
};

#endif
