#include "splitview/HSplitView.h"

HSplitView::HSplitView(View* top, View* bottom)
    : OrientedSplitView(top, bottom, Qt::Horizontal)
{
}
