#include "splitview/ViewManager.h"

#include "splitview/DefaultView.h"
#include "splitview/HSplitView.h"
#include "splitview/SplitView.h"
#include "splitview/VSplitView.h"
#include "splitview/View.h"

QTabWidget* ViewManager::tabWidget = nullptr;
QObject* ViewManager::document = nullptr;
int ViewManager::counter = 0;
int ViewManager::hMaxSplit = 8;
int ViewManager::vMaxSplit = 8;
QList<QString> ViewManager::descriptionList;
QList<ViewManager::CreationFunction> ViewManager::creationList;

void ViewManager::Initialize(QTabWidget* tabs, QObject* doc)
{
    tabWidget = tabs;
    document = doc;
    if (tabs) {
        // Compared as addresses only: by then the tab widget is no longer a tab widget.
        const void* key = tabs;
        QObject::connect(tabs, &QObject::destroyed, [key]() {
            if (static_cast<const void*>(tabWidget) == key)
                tabWidget = nullptr;
        });
    }
}

ViewManager::ViewManager(const QString& name, View* root)
    : QObject(nullptr),
      id(counter + 1),
      rootView(root),
      activeView(nullptr),
      tabIndex(-1),
      closed(false)
{
    counter = id;
    rootView->SetManager(this);
    title = QStringLiteral("%1 (%2)").arg(name).arg(id);
    if (tabWidget)
        tabIndex = tabWidget->addTab(rootView, title);
    if (!rootView->IsOneViewActivating())
        rootView->ActivateByDefault();
    UpdateTabsClosable();
    if (tabWidget) {
        connect(tabWidget, &QTabWidget::tabCloseRequested, this, &ViewManager::OnTabCloseRequested);
        connect(tabWidget, &QTabWidget::currentChanged, this, &ViewManager::OnCurrentChanged);
    }
}

ViewManager::~ViewManager()
{
    // Every connection from the tab widget to this manager goes with the QObject. It is not
    // undone here by hand: when the tab widget is destroyed it deletes its pages, and with
    // them their managers, while it is already half gone and must not be called.
}

bool ViewManager::IsClosed() const
{
    return closed;
}

void ViewManager::UpdateTabsClosable()
{
    if (tabWidget)
        tabWidget->setTabsClosable(tabWidget->count() > 1);
}

void ViewManager::OnTabCloseRequested(int tabToClose)
{
    if (closed || !tabWidget)
        return;
    if (tabIndex == tabToClose) {
        // A closed page is gone for good even while its views wait for their deletion: it
        // must not answer later requests aimed at the tab that now holds its old index.
        closed = true;
        disconnect(tabWidget, nullptr, this, nullptr);
        tabWidget->removeTab(tabToClose);
        tabIndex = -1;
        rootView->deleteLater();
        UpdateTabsClosable();
    } else {
        tabIndex = tabWidget->indexOf(rootView);
    }
}

void ViewManager::OnCurrentChanged(int index)
{
    if (closed || !tabWidget)
        return;
    // Tabs may still be moving when the current page changes: ask the tab widget where the
    // page is rather than trust the index kept from before.
    if (index == tabWidget->indexOf(rootView) && activeView)
        activeView->setFocus(Qt::OtherFocusReason);
}

void ViewManager::SetActiveView(View* v)
{
    activeView = v;
    if (rootView)
        rootView->UpdateBackColor();
}

bool ViewManager::Holds(const View* v) const
{
    if (!v || !rootView)
        return false;
    for (const QWidget* w = v; w; w = w->parentWidget()) {
        if (w == rootView)
            return true;
        if (!qobject_cast<const SplitView*>(w->parentWidget()))
            return false;
    }
    return false;
}

void ViewManager::PutRootInTab(View* root)
{
    rootView = root;
    if (!tabWidget)
        return;
    tabWidget->insertTab(tabIndex, root, title);
    tabWidget->setCurrentIndex(tabIndex);
}

void ViewManager::Discard(View* v)
{
    // Out of the tree, the views no longer belong to this page: whatever happens to the
    // page before the event loop deletes them, they must not reach its manager.
    v->SetManager(nullptr);
    v->close();
    v->deleteLater();
}

void ViewManager::Split(View* v, bool horizontal)
{
    if (closed || !Holds(v))
        return;
    if (v == rootView) {
        if (tabWidget)
            tabWidget->removeTab(tabIndex);
        DefaultView* d = new DefaultView;
        SplitView* s = horizontal ? static_cast<SplitView*>(new HSplitView(v, d)) : new VSplitView(v, d);
        s->SetManager(this);
        PutRootInTab(s);
    } else {
        SplitView* p = v->SplitParent();
        p->RemoveChildView(v);
        DefaultView* d = new DefaultView;
        SplitView* s = horizontal ? static_cast<SplitView*>(new HSplitView(v, d)) : new VSplitView(v, d);
        p->SetChildView(s);
        s->UpdateSize();
    }
    rootView->update();
}

void ViewManager::HSplit(View* v)
{
    Split(v, true);
}

void ViewManager::VSplit(View* v)
{
    Split(v, false);
}

void ViewManager::ReplaceView(View* old, View* replacement)
{
    if (closed || !replacement || replacement == old || !Holds(old))
        return;
    if (old == rootView) {
        replacement->SetManager(this);
        if (tabWidget)
            tabWidget->removeTab(tabIndex);
        PutRootInTab(replacement);
    } else {
        SplitView* p = old->SplitParent();
        p->RemoveChildView(old);
        p->SetChildView(replacement);
        p->UpdateSize();
    }
    replacement->savedWidth = old->savedWidth;
    replacement->savedHeight = old->savedHeight;
    replacement->setFocus(Qt::OtherFocusReason);
    Discard(old);
    // The focus makes a leaf active only when the window has it, and a view kind may refuse
    // the focus altogether: the page must not be left pointing at a view that is going.
    if (!rootView->IsOneViewActivating())
        replacement->ActivateByDefault();
    rootView->update();
}

void ViewManager::SetDefaultView(View* v)
{
    if (closed || !Holds(v))
        return;
    ReplaceView(v, new DefaultView);
}

void ViewManager::DeleteView(View* v)
{
    // The root has nothing to give its place to.
    if (closed || !Holds(v) || v == rootView)
        return;
    SplitView* p = v->SplitParent();
    View* o = p->OtherView(v);
    p->RemoveChildView(o);
    if (p == rootView) {
        if (tabWidget)
            tabWidget->removeTab(tabIndex);
        PutRootInTab(o);
    } else {
        SplitView* g = p->SplitParent();
        g->RemoveChildView(p);
        g->SetChildView(o);
        g->UpdateSize();
    }
    Discard(p);
    rootView->update();
    if (!rootView->IsOneViewActivating())
        o->ActivateByDefault();
}

void ViewManager::RecordSingleView(View* v)
{
    if (!v)
        return;
    if (v->IsSplitView()) {
        const SplitView* s = static_cast<const SplitView*>(v);
        RecordSingleView(s->firstView);
        RecordSingleView(s->secondView);
    } else {
        singleViews.append(v);
    }
}

QList<View*>& ViewManager::SingleViewList()
{
    singleViews.clear();
    RecordSingleView(rootView);
    return singleViews;
}
