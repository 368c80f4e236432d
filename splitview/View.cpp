#include "splitview/View.h"

#include "splitview/SplitView.h"
#include "splitview/ViewManager.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QPointer>

int View::viewCount = 0;

View::View()
    : QWidget(nullptr),
      selected(false),
      manager(nullptr),
      savedWidth(-1),
      savedHeight(-1),
      menu(new QMenu(this)),
      menuBuilt(false),
      deleteAction(nullptr),
      hSplitAction(nullptr),
      vSplitAction(nullptr)
{
    ++viewCount;
    setAutoFillBackground(true);
    setAttribute(Qt::WA_NoMousePropagation);
}

View::~View()
{
    if (manager) {
        if (manager->rootView == this) {
            // The root owns the manager. The views below still talk to the manager while they
            // go (focus moves, the active view is forgotten), so they go first, and the manager
            // no longer reaches back into this half-destroyed root.
            ViewManager* owned = manager;
            owned->rootView = nullptr;
            const QList<View*> children = findChildren<View*>(QString(), Qt::FindDirectChildrenOnly);
            qDeleteAll(children);
            manager = nullptr;
            delete owned;
        } else if (manager->activeView == this) {
            manager->activeView = nullptr;
        }
    }
    --viewCount;
}

void View::update()
{
    QWidget::update();
}

void View::SetBackColor(const QColor& c)
{
    QPalette p = palette();
    p.setBrush(QPalette::All, QPalette::Window, QBrush(c, Qt::SolidPattern));
    setPalette(p);
}

void View::Redraw()
{
    QPainter painter(this);
    painter.setOpacity(isEnabled() ? 1.0 : 0.3);
    Draw(painter);
}

void View::paintEvent(QPaintEvent* event)
{
    Redraw();
    QWidget::paintEvent(event);
}

void View::showEvent(QShowEvent* event)
{
    if (!menuBuilt) {
        menuBuilt = true;
        InitializeMenu();
    }
    QWidget::showEvent(event);
}

void View::contextMenuEvent(QContextMenuEvent* event)
{
    // What the user picks may take this view out of its page, and a page closed meanwhile
    // may even delete it before the menu returns.
    const QPointer<View> self(this);
    menu->exec(event->globalPos());
    if (!self) {
        event->accept();
        return;
    }
    QWidget::contextMenuEvent(event);
}

bool View::IsRoot() const
{
    return manager && manager->rootView == this;
}

SplitView* View::SplitParent() const
{
    if (IsRoot())
        return nullptr;
    return qobject_cast<SplitView*>(parentWidget());
}

const View* View::TreeRoot() const
{
    if (manager && manager->rootView)
        return manager->rootView;
    return this;
}

bool View::IsMoreHSplit() const
{
    return TreeRoot()->HSplitCount(this) <= ViewManager::hMaxSplit;
}

bool View::IsMoreVSplit() const
{
    return TreeRoot()->VSplitCount(this) <= ViewManager::vMaxSplit;
}

void View::HSplit()
{
    if (manager)
        manager->HSplit(this);
}

void View::VSplit()
{
    if (manager)
        manager->VSplit(this);
}

void View::SetDefaultView()
{
    if (manager)
        manager->SetDefaultView(this);
}

void View::Delete()
{
    if (manager)
        manager->DeleteView(this);
}

void View::InitializeMenu()
{
    hSplitAction = menu->addAction(QStringLiteral("Découper horizontalement"), this, &View::HSplit);
    vSplitAction = menu->addAction(QStringLiteral("Découper verticalement"), this, &View::VSplit);
    menu->addAction(QStringLiteral("Vue par défaut"), this, &View::SetDefaultView);
    deleteAction = menu->addAction(QStringLiteral("Supprimer"), this, &View::Delete);
    connect(menu, &QMenu::aboutToShow, this, &View::OnMenu_AboutToShow);
    connect(menu, &QMenu::aboutToHide, this, &View::OnMenu_AboutToHide);
}

void View::OnMenu_AboutToShow()
{
    if (!deleteAction)
        return;
    // Outside a page there is nothing to delete from.
    deleteAction->setEnabled(manager && !IsRoot());
    hSplitAction->setEnabled(IsMoreHSplit());
    vSplitAction->setEnabled(IsMoreVSplit());
}

void View::OnMenu_AboutToHide()
{
    if (manager && manager->rootView)
        manager->rootView->Select(false);
    else
        Select(false);
}
