#include "splitview/HSplitView.h"

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

int HeightOf(const View* v)
{
    return v ? v->height() : 0;
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

HSplitView::HSplitView(View* top, View* bottom)
    : SplitView(top, bottom),
      separatorPosition(0),
      resizingMode(Proportional),
      ratio(0.5),
      resizingMenu(nullptr)
{
    setCursor(Qt::SizeVerCursor);
    UpdateMinimumSize();
}

int HSplitView::Available() const
{
    return height() - separatorWidth;
}

int HSplitView::LimitSeparatorPosition(int p) const
{
    const int low = MinimumHeightOf(firstView);
    if (p < low)
        return low;
    // When both limits cannot hold, the first view keeps its minimum.
    return std::max(low, std::min(p, height() - separatorWidth - MinimumHeightOf(secondView)));
}

int HSplitView::UpdateRatio()
{
    const int length = Available();
    // A split view squeezed to its separator or less has no share to measure.
    if (length > 0)
        ratio = static_cast<double>(separatorPosition) / length;
    return length;
}

int HSplitView::RatioAdjustedPosition() const
{
    return Scaled(Available(), ratio);
}

void HSplitView::SetSeparatorPosition(int p, bool updateRatio)
{
    separatorPosition = LimitSeparatorPosition(p);
    if (updateRatio)
        UpdateRatio();
}

void HSplitView::CenterSeparator()
{
    SetSeparatorPosition(Available() / 2, true);
}

void HSplitView::SetSeparatorWidth(int w)
{
    separatorWidth = BoundedSeparatorWidth(w);
    switch (resizingMode) {
    case FirstFixed:
        UpdateRatio();
        break;
    case SecondFixed:
        SetSeparatorPosition(height() - HeightOf(secondView) - separatorWidth, true);
        break;
    default:
        SetSeparatorPosition(RatioAdjustedPosition(), true);
        break;
    }
}

void HSplitView::UpdateMinimumSize()
{
    setMinimumSize(std::max(MinimumWidthOf(firstView), MinimumWidthOf(secondView)),
                   MinimumHeightOf(firstView) + MinimumHeightOf(secondView) + separatorWidth);
}

void HSplitView::UpdateChildSize()
{
    if (firstView)
        firstView->setGeometry(0, 0, width(), std::max(0, separatorPosition));
    if (secondView) {
        const int y = separatorPosition + separatorWidth;
        secondView->setGeometry(0, y, width(), std::max(0, height() - y));
    }
}

void HSplitView::UpdateSize()
{
    UpdateMinimumSize();
    SetSeparatorPosition(separatorPosition, false);
    UpdateChildSize();
    if (SplitView* parent = SplitParent())
        parent->UpdateSize();
}

void HSplitView::DrawSeparator(QPainter& painter)
{
    const int right = width() - 1;
    painter.setPen(Qt::white);
    painter.drawLine(0, separatorPosition + 1, right, separatorPosition + 1);
    painter.setPen(Qt::darkGray);
    painter.drawLine(0, separatorPosition, right, separatorPosition);
    const int last = separatorPosition + separatorWidth - 1;
    painter.drawLine(0, last, right, last);
}

void HSplitView::Draw(QPainter& painter)
{
    UpdateChildSize();
    DrawSeparator(painter);
}

int HSplitView::HSplitCount(const View* target) const
{
    const int first = firstView ? firstView->HSplitCount(target) : 0;
    const int second = secondView ? secondView->HSplitCount(target) : 0;
    return first + second + (target == this ? 1 : 0);
}

int HSplitView::VSplitCount(const View* target) const
{
    const int first = firstView ? firstView->VSplitCount(target) : 0;
    const int second = secondView ? secondView->VSplitCount(target) : 0;
    return std::max(first, second) + (target == this ? 1 : 0);
}

void HSplitView::InitializeMenu()
{
    resizingMenu = menu->addMenu(QStringLiteral("Redimensionnement"));
    QActionGroup* modes = new QActionGroup(this);
    modes->setExclusive(true);
    const QString labels[] = {QStringLiteral("Proportionnel"), QStringLiteral("Vue supérieure fixe"),
                              QStringLiteral("Vue inférieure fixe")};
    for (int mode = Proportional; mode <= SecondFixed; ++mode) {
        QAction* action = resizingMenu->addAction(labels[mode]);
        action->setCheckable(true);
        action->setData(mode);
        modes->addAction(action);
    }
    connect(modes, SIGNAL(triggered(QAction*)), this, SLOT(OnResizingMode(QAction*)));
    SplitView::InitializeMenu();
}

void HSplitView::OnMenu_AboutToShow()
{
    if (resizingMenu) {
        for (QAction* action : resizingMenu->actions()) {
            if (action->data().toInt() == resizingMode)
                action->setChecked(true);
        }
    }
    SplitView::OnMenu_AboutToShow();
}

void HSplitView::OnResizingMode(QAction* a)
{
    resizingMode = std::clamp(a->data().toInt(), int(Proportional), int(SecondFixed));
    RecordSize(firstView);
    RecordSize(secondView);
}

void HSplitView::OnAction_SwapView()
{
    std::swap(firstView, secondView);
    if (resizingMode == FirstFixed)
        resizingMode = SecondFixed;
    else if (resizingMode == SecondFixed)
        resizingMode = FirstFixed;
    SetSeparatorPosition(HeightOf(firstView), true);
    UpdateSize();
    update();
}

void HSplitView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton) {
        SetSeparatorPosition(qRound(event->localPos().y()), true);
        // The children follow the pointer now, so that a release right after the move
        // records the sizes the user sees.
        UpdateChildSize();
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void HSplitView::resizeEvent(QResizeEvent* event)
{
    const int p = LimitSeparatorPosition(RatioAdjustedPosition());
    switch (resizingMode) {
    case FirstFixed: {
        const int saved = firstView ? firstView->savedHeight : -1;
        if (HeightOf(firstView) < saved)
            SetSeparatorPosition(std::min(saved, p), false);
        else
            SetSeparatorPosition(separatorPosition, true);
        break;
    }
    case SecondFixed: {
        const int saved = secondView ? secondView->savedHeight : -1;
        const int current = HeightOf(secondView);
        if (current < saved)
            SetSeparatorPosition(std::max(p, height() - saved - separatorWidth), false);
        else
            SetSeparatorPosition(height() - current - separatorWidth, true);
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
