#include "splitview/OrientedSplitView.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// A ratio times a length, truncated, without leaving the int range.
int Scaled(int length, double ratio)
{
    const double product = std::trunc(length * ratio);
    if (!(product == product))
        return 0;
    return static_cast<int>(std::clamp(product, -1.0e9, 1.0e9));
}

// Splits across a separator add up; splits beside each other only count the larger share.
int Combined(int first, int second, bool stacked)
{
    return stacked ? first + second : std::max(first, second);
}

} // namespace

OrientedSplitView::OrientedSplitView(View* first, View* second, Qt::Orientation separatorOrientation)
    : SplitView(first, second),
      separatorPosition(0),
      resizingMode(Proportional),
      ratio(0.5),
      resizingMenu(nullptr),
      orientation(separatorOrientation)
{
    setCursor(SideBySide() ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    UpdateMinimumSize();
}

bool OrientedSplitView::SideBySide() const
{
    return orientation == Qt::Vertical;
}

int OrientedSplitView::Along(const QWidget* w) const
{
    if (!w)
        return 0;
    return SideBySide() ? w->width() : w->height();
}

int OrientedSplitView::MinimumAlong(const View* v) const
{
    if (!v)
        return 0;
    return SideBySide() ? v->minimumWidth() : v->minimumHeight();
}

int OrientedSplitView::MinimumAcross(const View* v) const
{
    if (!v)
        return 0;
    return SideBySide() ? v->minimumHeight() : v->minimumWidth();
}

int OrientedSplitView::SavedAlong(const View* v) const
{
    if (!v)
        return -1;
    return SideBySide() ? v->savedWidth : v->savedHeight;
}

QSize OrientedSplitView::Transposed(int along, int across) const
{
    return SideBySide() ? QSize(along, across) : QSize(across, along);
}

void OrientedSplitView::PlaceChild(View* v, int start, int length)
{
    if (SideBySide())
        v->setGeometry(start, 0, length, height());
    else
        v->setGeometry(0, start, width(), length);
}

void OrientedSplitView::DrawLineAcross(QPainter& painter, int at)
{
    if (SideBySide())
        painter.drawLine(at, 0, at, height() - 1);
    else
        painter.drawLine(0, at, width() - 1, at);
}

int OrientedSplitView::Available() const
{
    return Along(this) - separatorWidth;
}

int OrientedSplitView::LimitSeparatorPosition(int p) const
{
    const int low = MinimumAlong(firstView);
    if (p < low)
        return low;
    // When both limits cannot hold, the first view keeps its minimum.
    return std::max(low, std::min(p, Along(this) - separatorWidth - MinimumAlong(secondView)));
}

int OrientedSplitView::UpdateRatio()
{
    const int length = Available();
    // A split view squeezed to its separator or less has no share to measure.
    if (length > 0)
        ratio = static_cast<double>(separatorPosition) / length;
    return length;
}

int OrientedSplitView::RatioAdjustedPosition() const
{
    return Scaled(Available(), ratio);
}

void OrientedSplitView::SetSeparatorPosition(int p, bool updateRatio)
{
    separatorPosition = LimitSeparatorPosition(p);
    if (updateRatio)
        UpdateRatio();
}

void OrientedSplitView::CenterSeparator()
{
    SetSeparatorPosition(Available() / 2, true);
}

void OrientedSplitView::SetSeparatorWidth(int w)
{
    separatorWidth = BoundedSeparatorWidth(w);
    switch (resizingMode) {
    case FirstFixed:
        UpdateRatio();
        break;
    case SecondFixed:
        SetSeparatorPosition(Along(this) - Along(secondView) - separatorWidth, true);
        break;
    default:
        SetSeparatorPosition(RatioAdjustedPosition(), true);
        break;
    }
}

void OrientedSplitView::UpdateMinimumSize()
{
    setMinimumSize(Transposed(MinimumAlong(firstView) + MinimumAlong(secondView) + separatorWidth,
                              std::max(MinimumAcross(firstView), MinimumAcross(secondView))));
}

void OrientedSplitView::UpdateChildSize()
{
    if (firstView)
        PlaceChild(firstView, 0, std::max(0, separatorPosition));
    if (secondView) {
        const int start = separatorPosition + separatorWidth;
        PlaceChild(secondView, start, std::max(0, Along(this) - start));
    }
}

void OrientedSplitView::UpdateSize()
{
    UpdateMinimumSize();
    SetSeparatorPosition(separatorPosition, false);
    UpdateChildSize();
    if (SplitView* parent = SplitParent())
        parent->UpdateSize();
}

void OrientedSplitView::DrawSeparator(QPainter& painter)
{
    painter.setPen(Qt::white);
    DrawLineAcross(painter, separatorPosition + 1);
    painter.setPen(Qt::darkGray);
    DrawLineAcross(painter, separatorPosition);
    DrawLineAcross(painter, separatorPosition + separatorWidth - 1);
}

void OrientedSplitView::Draw(QPainter& painter)
{
    UpdateChildSize();
    DrawSeparator(painter);
}

int OrientedSplitView::HSplitCount(const View* target) const
{
    const int first = firstView ? firstView->HSplitCount(target) : 0;
    const int second = secondView ? secondView->HSplitCount(target) : 0;
    return Combined(first, second, !SideBySide()) + (target == this ? 1 : 0);
}

int OrientedSplitView::VSplitCount(const View* target) const
{
    const int first = firstView ? firstView->VSplitCount(target) : 0;
    const int second = secondView ? secondView->VSplitCount(target) : 0;
    return Combined(first, second, SideBySide()) + (target == this ? 1 : 0);
}

void OrientedSplitView::InitializeMenu()
{
    resizingMenu = menu->addMenu(QStringLiteral("Redimensionnement"));
    QActionGroup* modes = new QActionGroup(this);
    modes->setExclusive(true);
    const QString labels[] = {QStringLiteral("Proportionnel"),
                              SideBySide() ? QStringLiteral("Vue de gauche fixe") : QStringLiteral("Vue supérieure fixe"),
                              SideBySide() ? QStringLiteral("Vue de droite fixe") : QStringLiteral("Vue inférieure fixe")};
    for (int mode = Proportional; mode <= SecondFixed; ++mode) {
        QAction* action = resizingMenu->addAction(labels[mode]);
        action->setCheckable(true);
        action->setData(mode);
        modes->addAction(action);
    }
    connect(modes, &QActionGroup::triggered, this, &OrientedSplitView::OnResizingMode);
    SplitView::InitializeMenu();
}

void OrientedSplitView::OnMenu_AboutToShow()
{
    if (resizingMenu) {
        for (QAction* action : resizingMenu->actions()) {
            if (action->data().toInt() == resizingMode)
                action->setChecked(true);
        }
    }
    SplitView::OnMenu_AboutToShow();
}

void OrientedSplitView::OnResizingMode(QAction* a)
{
    resizingMode = std::clamp(a->data().toInt(), int(Proportional), int(SecondFixed));
    RecordSize(firstView);
    RecordSize(secondView);
}

void OrientedSplitView::OnAction_SwapView()
{
    std::swap(firstView, secondView);
    if (resizingMode == FirstFixed)
        resizingMode = SecondFixed;
    else if (resizingMode == SecondFixed)
        resizingMode = FirstFixed;
    SetSeparatorPosition(Along(firstView), true);
    UpdateSize();
    update();
}

void OrientedSplitView::mouseMoveEvent(QMouseEvent* event)
{
    if (event->buttons() != Qt::NoButton) {
        const QPointF at = event->localPos();
        SetSeparatorPosition(qRound(SideBySide() ? at.x() : at.y()), true);
        // The children follow the pointer now, so that a release right after the move
        // records the sizes the user sees.
        UpdateChildSize();
        update();
    }
    QWidget::mouseMoveEvent(event);
}

void OrientedSplitView::resizeEvent(QResizeEvent* event)
{
    const int p = LimitSeparatorPosition(RatioAdjustedPosition());
    switch (resizingMode) {
    case FirstFixed: {
        const int saved = SavedAlong(firstView);
        if (Along(firstView) < saved)
            SetSeparatorPosition(std::min(saved, p), false);
        else
            SetSeparatorPosition(separatorPosition, true);
        break;
    }
    case SecondFixed: {
        const int saved = SavedAlong(secondView);
        const int current = Along(secondView);
        if (current < saved)
            SetSeparatorPosition(std::max(p, Along(this) - saved - separatorWidth), false);
        else
            SetSeparatorPosition(Along(this) - current - separatorWidth, true);
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
