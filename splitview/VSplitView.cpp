#include "splitview/VSplitView.h"

VSplitView::VSplitView(View* left, View* right)
    : OrientedSplitView(left, right, Qt::Vertical)
{
}
