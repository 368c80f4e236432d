#include "splitview/VSplitView.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

int MinimumWidthOf(const View* v)
{
    return v ? v->minimumWidth() : 0;
}

int MinimumHeightOf(const View* v)
{
    return v ? v->minimumHeight() : 0;
}

int WidthOf(const View* v)
{
    return v ? v->width() : 0;
}

// A ratio times a length, truncated, without leaving the int range.
int Scaled(int length, double ratio)
{
    const double product = std::trunc(length * ratio);
    if (!(product == product))
        return 0;
    return static_cast<int>(std::clamp(product, -1.0e9, 1.0e9));
}

} // namespace

VSplitView::VSplitView(View* left, View* right)
    : SplitView(left, right),
      separatorPosition(0),
      resizingMode(Proportional),
      ratio(0.5),
      resizingMenu(nullptr)
{
    setCursor(Qt::SizeHorCursor);
    UpdateMinimumSize();
}

int VSplitView::Available() const
{
    return width() - separatorWidth;
}

int VSplitView::LimitSeparatorPosition(int p) const
{
    const int low = MinimumWidthOf(firstView);
    if (p < low)
        return low;
    // When both limits cannot hold, the first view keeps its minimum.
    return std::max(low, std::min(p, width() - separatorWidth - MinimumWidthOf(secondView)));
}

int VSplitView::UpdateRatio()
{
    const int length = Available();
    // A split view squeezed to its separator or less has no share to measure.
    if (length > 0)
        ratio = static_cast<double>(separatorPosition) / length;
    return length;
}

int VSplitView::RatioAdjustedPosition() const
{
    return Scaled(Available(), ratio);
}

void VSplitView::SetSeparatorPosition(int p, bool updateRatio)
{
    separatorPosition = LimitSeparatorPosition(p);
    if (updateRatio)
        UpdateRatio();
}

void VSplitView::CenterSeparator()
{
    SetSeparatorPosition(Available() / 2, true);
}

void VSplitView::SetSeparatorWidth(int w)
{
    separatorWidth = BoundedSeparatorWidth(w);
    switch (resizingMode) {
    case FirstFixed:
        UpdateRatio();
        break;
    case SecondFixed:
        SetSeparatorPosition(width() - WidthOf(secondView) - separatorWidth, true);
        break;
    default:
        SetSeparatorPosition(RatioAdjustedPosition(), true);
        break;
    }
}

void VSplitView::UpdateMinimumSize()
{
    setMinimumSize(MinimumWidthOf(firstView) + MinimumWidthOf(secondView) + separatorWidth,
                   std::max(MinimumHeightOf(firstView), MinimumHeightOf(secondView)));
}

void VSplitView::UpdateChildSize()
{
    if (firstView)
        firstView->setGeometry(0, 0, std::max(0, separatorPosition), height());
    if (secondView) {
        const int x = separatorPosition + separatorWidth;
        secondView->setGeometry(x, 0, std::max(0, width() - x), height());
    }
}

void VSplitView::UpdateSize()
{
    UpdateMinimumSize();
    SetSeparatorPosition(separatorPosition, false);
    UpdateChildSize();
    if (SplitView* parent = SplitParent())
        parent->UpdateSize();
}

void VSplitView::DrawSeparator(QPainter& painter)
{
    const int bottom = height() - 1;
    painter.setPen(Qt::white);
    painter.drawLine(separatorPosition + 1, 0, separatorPosition + 1, bottom);
    painter.setPen(Qt::darkGray);
    painter.drawLine(separatorPosition, 0, separatorPosition, bottom);
    const int last = separatorPosition + separatorWidth - 1;
    painter.drawLine(last, 0, last, bottom);
}

void VSplitView::Draw(QPainter& painter)
{
    UpdateChildSize();
    DrawSeparator(painter);
}

int VSplitView::HSplitCount(const View* target) const
{
    const int first = firstView ? firstView->HSplitCount(target) : 0;
    const int second = secondView ? secondView->HSplitCount(target) : 0;
    return std::max(first, second) + (target == this ? 1 : 0);
}

int VSplitView::VSplitCount(const View* target) const
{
    const int first = firstView ? firstView->VSplitCount(target) : 0;
    const int second = secondView ? secondView->VSplitCount(target) : 0;
    return first + second + (target == this ? 1 : 0);
}

void VSplitView::InitializeMenu()
{
    resizingMenu = menu->addMenu(QStringLiteral("Redimensionnement"));
    QActionGroup* modes = new QActionGroup(this);
    modes->setExclusive(true);
    const QString labels[] = {QStringLiteral("Proportionnel"), QStringLiteral("Vue de gauche fixe"),
                              QStringLiteral("Vue de droite fixe")};
    for (int mode = Proportional; mode <= SecondFixed; ++mode) {
        QAction* action = resizingMenu->addAction(labels[mode]);
        action->setCheckable(true);
        action->setData(mode);
        modes->addAction(action);
    }
    connect(modes, SIGNAL(triggered(QAction*)), this, SLOT(OnResizingMode(QAction*)));
    SplitView::InitializeMenu();
}

void VSplitView::OnMenu_AboutToShow()
{
    if (resizingMenu) {
        for (QAction* action : resizingMenu->actions()) {
            if (action->data().toInt() == resizingMode)
                action->setChecked(true);
        }
    }
    SplitView::OnMenu_AboutToShow();
}

void VSplitView::OnResizingMode(QAction* a)
{
    resizingMode = std::clamp(a->data().toInt(), int(Proportional), int(SecondFixed));
    RecordSize(firstView);
    RecordSize(secondView);
}

void VSplitView::OnAction_SwapView()
{
    std::swap(firstView, secondView);
    if (resizingMode == FirstFixed)
        resizingMode = SecondFixed;
    else if (resizingMode == SecondFixed)
        resizingMode = FirstFixed;
    SetSeparatorPosition(WidthOf(firstView), true);
    UpdateSize();
    update();
}

void VSplitView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton) {
        SetSeparatorPosition(qRound(event->localPos().x()), true);
        // The children follow the pointer now, so that a release right after the move
        // records the sizes the user sees.
        UpdateChildSize();
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void VSplitView::resizeEvent(QResizeEvent* event)
{
    const int p = LimitSeparatorPosition(RatioAdjustedPosition());
    switch (resizingMode) {
    case FirstFixed: {
        const int saved = firstView ? firstView->savedWidth : -1;
        if (WidthOf(firstView) < saved)
            SetSeparatorPosition(std::min(saved, p), false);
        else
            SetSeparatorPosition(separatorPosition, true);
        break;
    }
    case SecondFixed: {
        const int saved = secondView ? secondView->savedWidth : -1;
        const int current = WidthOf(secondView);
        if (current < saved)
            SetSeparatorPosition(std::max(p, width() - saved - separatorWidth), false);
        else
            SetSeparatorPosition(width() - current - separatorWidth, true);
        break;
    }
    default:
        SetSeparatorPosition(p, false);
        break;
    }
    UpdateChildSize();
    update();
    QWidget::resizeEvent(event);
}
