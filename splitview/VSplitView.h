#ifndef PANELOOM_VSPLITVIEW_H
#define PANELOOM_VSPLITVIEW_H

#include "splitview/OrientedSplitView.h"

// Two views side by side with a vertical separator between them.
class VSplitView : public OrientedSplitView
{
    Q_OBJECT

public:
    VSplitView(View* left, View* right);
};

#endif
