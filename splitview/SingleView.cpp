#include "splitview/SingleView.h"

#include "splitview/ViewManager.h"

#include <QPainter>

SingleView::SingleView()
    : View(),
      activeColor(Qt::white),
      inactiveColor(Qt::white),
      selectedColor(255, 245, 238, 255)
{
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::ArrowCursor);
    setMinimumWidth(17);
    setMinimumHeight(17);
    SetBackColor(inactiveColor);
}

void SingleView::SetManager(ViewManager* m)
{
    manager = m;
}

void SingleView::Select(bool s)
{
    selected = s;
    UpdateBackColor();
}

void SingleView::UpdateBackColor()
{
    if (selected)
        SetBackColor(selectedColor);
    else if (IsActive())
        SetBackColor(activeColor);
    else
        SetBackColor(inactiveColor);
    update();
}

bool SingleView::IsActive() const
{
    return manager && manager->activeView == this;
}

bool SingleView::IsOneViewActivating() const
{
    return IsActive();
}

void SingleView::ActivateByDefault()
{
    if (manager)
        manager->SetActiveView(this);
}

int SingleView::HSplitCount(const View* target) const
{
    return target == this ? 2 : 1;
}

int SingleView::VSplitCount(const View* target) const
{
    return target == this ? 2 : 1;
}

bool SingleView::IsSplitView() const
{
    return false;
}

void SingleView::focusInEvent(QFocusEvent* event)
{
    if (manager)
        manager->SetActiveView(this);
    QWidget::focusInEvent(event);
}

void SingleView::Draw(QPainter& painter)
{
    painter.setPen(Qt::blue);
    painter.setFont(QFont(QStringLiteral("Arial"), 20));
    painter.drawText(QRect(0, 0, width(), height()), Qt::AlignCenter, QString::fromLatin1(metaObject()->className()));
}
