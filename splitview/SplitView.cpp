#include "splitview/SplitView.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMouseEvent>

#include <algorithm>

SplitView::SplitView(View* first, View* second)
    : View(),
      firstView(nullptr),
      secondView(nullptr),
      separatorWidth(4),
      separatorSizeMenu(nullptr)
{
    SetChildView(first);
    SetChildView(second);
    setFocusPolicy(Qt::NoFocus);
}

int SplitView::BoundedSeparatorWidth(int w)
{
    // A separator must stay visible and grabbable; the menu offers 1 to 10, and anything far
    // beyond that would only eat the children.
    return std::clamp(w, 1, 1000);
}

void SplitView::RecordSize(View* v)
{
    if (!v)
        return;
    v->savedWidth = v->width();
    v->savedHeight = v->height();
}

void SplitView::SetChildView(View* v)
{
    if (!v)
        return;
    v->SetManager(manager);
    v->setParent(this);
    v->show();
    if (!firstView)
        firstView = v;
    else
        secondView = v;
}

void SplitView::RemoveChildView(View* v)
{
    if (!v || (v != firstView && v != secondView))
        return;
    v->setParent(nullptr);
    if (v == firstView)
        firstView = nullptr;
    else
        secondView = nullptr;
}

View* SplitView::OtherView(View* v) const
{
    return v == firstView ? secondView : firstView;
}

void SplitView::update()
{
    if (firstView)
        firstView->update();
    if (secondView)
        secondView->update();
    QWidget::update();
}

void SplitView::SetManager(ViewManager* m)
{
    manager = m;
    if (firstView)
        firstView->SetManager(m);
    if (secondView)
        secondView->SetManager(m);
}

void SplitView::Select(bool s)
{
    selected = s;
    if (firstView)
        firstView->Select(s);
    if (secondView)
        secondView->Select(s);
    update();
}

void SplitView::UpdateBackColor()
{
    if (firstView)
        firstView->UpdateBackColor();
    if (secondView)
        secondView->UpdateBackColor();
}

bool SplitView::IsOneViewActivating() const
{
    return (firstView && firstView->IsOneViewActivating()) || (secondView && secondView->IsOneViewActivating());
}

void SplitView::ActivateByDefault()
{
    if (firstView)
        firstView->ActivateByDefault();
}

bool SplitView::IsSplitView() const
{
    return true;
}

void SplitView::OnAction_ResizeSeparator(QAction* a)
{
    SetSeparatorWidth(a->data().toInt());
    UpdateSize();
    update();
}

void SplitView::OnAction_CenterSeparator()
{
    CenterSeparator();
    update();
}

void SplitView::InitializeMenu()
{
    separatorSizeMenu = menu->addMenu(QStringLiteral("Taille du séparateur"));
    QActionGroup* sizes = new QActionGroup(this);
    sizes->setExclusive(true);
    for (int size = 1; size <= 10; ++size) {
        QAction* action = separatorSizeMenu->addAction(QStringLiteral("%1").arg(size));
        action->setCheckable(true);
        action->setData(size);
        sizes->addAction(action);
    }
    connect(sizes, &QActionGroup::triggered, this, &SplitView::OnAction_ResizeSeparator);
    menu->addAction(QStringLiteral("Centrer le séparateur"), this, &SplitView::OnAction_CenterSeparator);
    menu->addAction(QStringLiteral("Permuter les vues"), this, &SplitView::OnAction_SwapView);
    menu->addSeparator();
    View::InitializeMenu();
}

void SplitView::OnMenu_AboutToShow()
{
    if (separatorSizeMenu) {
        for (QAction* action : separatorSizeMenu->actions()) {
            if (action->data().toInt() == separatorWidth)
                action->setChecked(true);
        }
    }
    View::OnMenu_AboutToShow();
}

void SplitView::mousePressEvent(QMouseEvent* event)
{
    Select(true);
    QWidget::mousePressEvent(event);
}

void SplitView::mouseReleaseEvent(QMouseEvent* event)
{
    RecordSize(firstView);
    RecordSize(secondView);
    if (event->button() == Qt::LeftButton)
        Select(false);
    QWidget::mouseReleaseEvent(event);
}

void SplitView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        CenterSeparator();
        update();
    }
    QWidget::mouseDoubleClickEvent(event);
}
