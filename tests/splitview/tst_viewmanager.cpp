// Tab pages under the user's hands: splitting, replacing and deleting views through their
// context menus and the empty views' buttons, closing tabs, the active view and its focus,
// and long random sessions that must leave no view behind.
#include "DemoViews.h"
#include "SplitViewTestSupport.h"

#include <QAbstractButton>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTabBar>
#include <QTabWidget>

#include <memory>

using namespace SplitTest;

namespace {

QAbstractButton* CloseButton(QTabWidget* tabs, int index)
{
    return qobject_cast<QAbstractButton*>(tabs->tabBar()->tabButton(index, QTabBar::RightSide));
}

// Clicks the close button of a tab, as the user does.
bool CloseTab(QTabWidget* tabs, int index)
{
    QAbstractButton* button = CloseButton(tabs, index);
    if (!button)
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

QPushButton* KindButton(DefaultView* view, const QString& label)
{
    for (QPushButton* b : view->findChildren<QPushButton*>()) {
        if (b->text() == label)
            return b;
    }
    return nullptr;
}

// Every view of a tree, split views included, depth first.
void Collect(View* v, QList<View*>& out)
{
    if (!v)
        return;
    out << v;
    if (v->IsSplitView()) {
        SplitView* s = static_cast<SplitView*>(v);
        Collect(s->firstView, out);
        Collect(s->secondView, out);
    }
}

QList<View*> AllViews(ViewManager* m)
{
    QList<View*> out;
    Collect(m->rootView, out);
    return out;
}

// Chooses an entry of a view's context menu, opened with a right click in its middle.
bool ChooseFromMenu(View* v, const QString& entry, bool* enabled = nullptr)
{
    bool found = false;
    // An empty view's buttons stand at its top centre and keep the right click to themselves;
    // a scroll bar has a menu of its own.
    QPoint at = v->rect().center();
    if (qobject_cast<DefaultView*>(v))
        at = QPoint(3, v->height() - 3);
    else if (auto* scroll = qobject_cast<ScrollView*>(v))
        at = QPoint(scroll->width(ScrollView::Automatic) / 2, scroll->height(ScrollView::Automatic) / 2);
    if (v->IsSplitView()) {
        // Over the separator: the only place where the split view itself is under the pointer.
        SplitView* s = static_cast<SplitView*>(v);
        if (auto* vs = qobject_cast<VSplitView*>(s))
            at = QPoint(vs->separatorPosition + 1, v->height() / 2);
        else if (auto* hs = qobject_cast<HSplitView*>(s))
            at = QPoint(v->width() / 2, hs->separatorPosition + 1);
    }
    ContextMenu(v, at, [&](QMenu* m) {
        QAction* a = Entry(m, entry);
        if (!a)
            return;
        found = true;
        if (enabled)
            *enabled = a->isEnabled();
        if (a->isEnabled())
            Click(m, a);
    });
    return found;
}

} // namespace

class ViewManagerTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTabWidget> tabs;
    int baseline = 0;

    void ShowTabs()
    {
        tabs->show();
        QVERIFY(QTest::qWaitForWindowExposed(tabs.get()));
        QApplication::setActiveWindow(tabs.get());
        QVERIFY(QTest::qWaitForWindowActive(tabs.get()));
        Settle();
    }

    // The structure every page must keep whatever the user did.
    void CheckPage(ViewManager* m)
    {
        QVERIFY(m->rootView);
        QCOMPARE(tabs->indexOf(m->rootView), m->tabIndex);
        QCOMPARE(tabs->tabText(m->tabIndex), m->title);
        QVERIFY(!m->rootView->SplitParent());
        const QList<View*> views = AllViews(m);
        for (View* v : views) {
            QCOMPARE(v->manager, m);
            if (v->IsSplitView()) {
                SplitView* s = static_cast<SplitView*>(v);
                QVERIFY(s->firstView && s->secondView && s->firstView != s->secondView);
                QCOMPARE(s->firstView->parentWidget(), static_cast<QWidget*>(s));
                QCOMPARE(s->secondView->parentWidget(), static_cast<QWidget*>(s));
                QCOMPARE(s->firstView->SplitParent(), s);
            }
        }
        const QList<View*> leaves = m->SingleViewList();
        for (View* leaf : leaves)
            QVERIFY(!leaf->IsSplitView());
        // The active view is always a leaf of the page: never one that has left it.
        QVERIFY(m->activeView);
        QVERIFY(leaves.contains(m->activeView));
    }

private slots:
    void initTestCase()
    {
        QuietPlatformWarnings();
    }

    void init()
    {
        RegisterDemoKinds();
        baseline = View::viewCount;
        tabs = std::make_unique<QTabWidget>();
        tabs->resize(700, 600);
        ViewManager::Initialize(tabs.get(), nullptr);
    }

    void cleanup()
    {
        tabs.reset();
        Settle();
        QCOMPARE(View::viewCount, baseline);
        QVERIFY(!ViewManager::tabWidget);
    }

    // Runs first: the serial numbers count the managers since the program started.
    void titlesNumberTheManagersForTheProgramLife()
    {
        QCOMPARE(ViewManager::counter, 0);
        ShowTabs();
        ViewManager* a = new ViewManager(QStringLiteral("Désa"), new NameView);
        QPointer<ViewManager> b = new ViewManager(QStringLiteral("Mémoire"), new NameView);
        QCOMPARE(a->title, QStringLiteral("Désa (1)"));
        QCOMPARE(b->title, QStringLiteral("Mémoire (2)"));
        QCOMPARE(a->id, 1);
        QVERIFY(CloseTab(tabs.get(), 0));
        Settle();
        ViewManager* c = new ViewManager(QStringLiteral("Mixte"), new NameView);
        QVERIFY(CloseTab(tabs.get(), 0));
        Settle();
        QVERIFY(!b);
        QCOMPARE(c->title, QStringLiteral("Mixte (3)"));
        QCOMPARE(tabs->tabText(0), QStringLiteral("Mixte (3)"));
        QCOMPARE(c->tabIndex, 0);
        QCOMPARE(ViewManager::counter, 3);
    }

    void closeButtonsOnlyWithTwoTabsOrMore()
    {
        ShowTabs();
        ViewManager* a = new ViewManager(QStringLiteral("Un"), new NameView);
        QVERIFY(!tabs->tabsClosable());
        QVERIFY(!CloseButton(tabs.get(), 0));
        new ViewManager(QStringLiteral("Deux"), new NameView);
        QVERIFY(tabs->tabsClosable());
        QVERIFY(CloseButton(tabs.get(), 0) && CloseButton(tabs.get(), 1));
        new ViewManager(QStringLiteral("Trois"), new NameView);
        QVERIFY(CloseButton(tabs.get(), 2));
        QVERIFY(CloseTab(tabs.get(), 2));
        QVERIFY(tabs->tabsClosable());
        QVERIFY(CloseTab(tabs.get(), 1));
        QCOMPARE(tabs->count(), 1);
        QVERIFY(!tabs->tabsClosable());
        QVERIFY(!CloseButton(tabs.get(), 0));
        CheckPage(a);
    }

    void closingTheFirstOfThreeTabs()
    {
        ShowTabs();
        QPointer<ViewManager> a = new ViewManager(QStringLiteral("A"), new NameView);
        ViewManager* b = new ViewManager(QStringLiteral("B"), new NameView);
        ViewManager* c = new ViewManager(QStringLiteral("C"), new LinesView);
        QPointer<View> aRoot = a->rootView;
        QCOMPARE(c->tabIndex, 2);
        QVERIFY(CloseTab(tabs.get(), 0));
        QCOMPARE(b->tabIndex, 0);
        QCOMPARE(c->tabIndex, 1);
        QCOMPARE(tabs->count(), 2);
        // The page goes through the event loop, and its manager with it.
        QVERIFY(aRoot);
        Settle();
        QVERIFY(!aRoot);
        QVERIFY(!a);
        CheckPage(b);
        CheckPage(c);
        QCOMPARE(View::viewCount, baseline + 2);
    }

    void closingTwoTabsBeforeTheEventLoopRuns()
    {
        ShowTabs();
        QPointer<ViewManager> a = new ViewManager(QStringLiteral("A"), new NameView);
        QPointer<ViewManager> b = new ViewManager(QStringLiteral("B"), new NameView);
        ViewManager* c = new ViewManager(QStringLiteral("C"), new NameView);
        // The first page's views are still alive when the second close arrives: it must
        // close the page that now stands at index 0, and only that one.
        QVERIFY(CloseTab(tabs.get(), 0));
        QVERIFY(CloseTab(tabs.get(), 0));
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(tabs->widget(0), c->rootView);
        QCOMPARE(c->tabIndex, 0);
        Settle();
        QVERIFY(!a && !b);
        QCOMPARE(View::viewCount, baseline + 1);
        CheckPage(c);
    }

    void splittingTheRootKeepsTheTab_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::newRow("horizontally") << "Découper horizontalement";
        QTest::newRow("vertically") << "Découper verticalement";
    }

    void splittingTheRootKeepsTheTab()
    {
        QFETCH(QString, entry);
        ShowTabs();
        new ViewManager(QStringLiteral("Avant"), new NameView);
        NameView* root = new NameView;
        ViewManager* m = new ViewManager(QStringLiteral("Page"), root);
        new ViewManager(QStringLiteral("Après"), new NameView);
        tabs->setCurrentIndex(1);
        Settle();
        QCOMPARE(m->activeView, root);
        QVERIFY(ChooseFromMenu(root, entry));
        QCOMPARE(tabs->count(), 3);
        QCOMPARE(tabs->currentIndex(), 1);
        QCOMPARE(tabs->tabText(1), QStringLiteral("Page (%1)").arg(m->id));
        SplitView* split = qobject_cast<SplitView*>(tabs->widget(1));
        QVERIFY(split);
        QCOMPARE(m->rootView, split);
        QCOMPARE(bool(qobject_cast<HSplitView*>(split)), entry.contains(QLatin1String("horizontalement")));
        QCOMPARE(split->firstView, root);
        QVERIFY(qobject_cast<DefaultView*>(split->secondView));
        QCOMPARE(m->activeView, root);
        Settle();
        // The old root keeps the first half.
        const bool h = qobject_cast<HSplitView*>(split);
        QVERIFY(std::abs((h ? root->height() : root->width()) - (h ? split->secondView->height() : split->secondView->width())) <= 1);
        CheckPage(m);
    }

    void splittingInsideTheTreeKeepsTheOrder()
    {
        ShowTabs();
        NameView* x = new NameView;
        ViewManager* m = new ViewManager(QStringLiteral("Page"), x);
        m->VSplit(x);
        VSplitView* root = qobject_cast<VSplitView*>(m->rootView);
        QVERIFY(root);
        View* d1 = root->secondView;
        Settle();
        QVERIFY(ChooseFromMenu(d1, QStringLiteral("Découper horizontalement")));
        HSplitView* right = qobject_cast<HSplitView*>(root->secondView);
        QVERIFY(right);
        QCOMPARE(right->firstView, d1);
        QCOMPARE(root->firstView, x);
        Settle();
        QVERIFY(ChooseFromMenu(x, QStringLiteral("Découper verticalement")));
        VSplitView* left = qobject_cast<VSplitView*>(root->firstView);
        QVERIFY(left);
        QCOMPARE(left->firstView, x);
        QCOMPARE(m->SingleViewList(), QList<View*>({x, left->secondView, d1, right->secondView}));
        Settle();
        // Every leaf got a place in the page.
        for (View* leaf : m->SingleViewList())
            QVERIFY(leaf->width() >= 17 && leaf->height() >= 17 && leaf->isVisible());
        CheckPage(m);
    }

    void splitLimits_data()
    {
        QTest::addColumn<bool>("stacked");
        QTest::newRow("eight in a column") << true;
        QTest::newRow("eight in a row") << false;
    }

    void splitLimits()
    {
        QFETCH(bool, stacked);
        tabs->resize(900, 900);
        ShowTabs();
        NameView* tall = new NameView;
        ViewManager* m = new ViewManager(QStringLiteral("Page"), tall);
        // One column (row) of eight views beside one more view.
        stacked ? m->VSplit(tall) : m->HSplit(tall);
        SplitView* root = static_cast<SplitView*>(m->rootView);
        View* other = root->secondView;
        View* end = tall;
        for (int i = 0; i < 7; ++i) {
            stacked ? m->HSplit(end) : m->VSplit(end);
            end = end->SplitParent()->secondView;
        }
        Settle();
        const QString along = stacked ? QStringLiteral("Découper horizontalement") : QStringLiteral("Découper verticalement");
        const QString across = stacked ? QStringLiteral("Découper verticalement") : QStringLiteral("Découper horizontalement");
        const QList<View*> leaves = m->SingleViewList();
        QCOMPARE(leaves.size(), 9);
        QCOMPARE(leaves.last(), other);
        for (View* leaf : leaves) {
            bool alongEnabled = true;
            bool acrossEnabled = false;
            QVERIFY(ChooseFromMenu(leaf, along, &alongEnabled));
            QVERIFY(leaf->hSplitAction && leaf->vSplitAction);
            acrossEnabled = (stacked ? leaf->vSplitAction : leaf->hSplitAction)->isEnabled();
            // Full column: no more stacking there; the short column may still grow to eight.
            QCOMPARE(alongEnabled, leaf == other);
            QVERIFY(acrossEnabled);
        }
        QCOMPARE(m->SingleViewList().size(), 10);
        // Raising the limit lets the column grow again.
        ViewManager::hMaxSplit = ViewManager::vMaxSplit = 9;
        bool enabled = false;
        QVERIFY(ChooseFromMenu(leaves.first(), along, &enabled));
        ViewManager::hMaxSplit = ViewManager::vMaxSplit = 8;
        QVERIFY(enabled);
        QCOMPARE(m->SingleViewList().size(), 11);
        CheckPage(m);
    }

    void rootMenuCannotDelete()
    {
        ShowTabs();
        NameView* root = new NameView;
        ViewManager* m = new ViewManager(QStringLiteral("Page"), root);
        bool enabled = true;
        QVERIFY(ChooseFromMenu(root, QStringLiteral("Supprimer"), &enabled));
        QVERIFY(!enabled);
        m->VSplit(root);
        Settle();
        QVERIFY(ChooseFromMenu(root, QStringLiteral("Supprimer"), &enabled));
        QVERIFY(enabled);
        Settle();
        QCOMPARE(m->rootView, static_cast<View*>(qobject_cast<DefaultView*>(m->rootView)));
        bool rootEnabled = true;
        QVERIFY(ChooseFromMenu(m->rootView, QStringLiteral("Supprimer"), &rootEnabled));
        QVERIFY(!rootEnabled);
        // The manager ignores a request to delete the root all the same.
        View* only = m->rootView;
        m->DeleteView(only);
        QCOMPARE(m->rootView, only);
        CheckPage(m);
    }

    void deletingAChildOfTheRoot()
    {
        ShowTabs();
        new ViewManager(QStringLiteral("Avant"), new NameView);
        NameView* x = new NameView;
        ViewManager* m = new ViewManager(QStringLiteral("Page"), x);
        m->VSplit(x);
        QPointer<View> split = m->rootView;
        QPointer<View> d = static_cast<SplitView*>(m->rootView)->secondView;
        Settle();
        QVERIFY(ChooseFromMenu(d, QStringLiteral("Supprimer")));
        QCOMPARE(m->rootView, x);
        QCOMPARE(tabs->widget(1), x);
        QCOMPARE(tabs->tabText(1), m->title);
        QCOMPARE(tabs->currentIndex(), 1);
        Settle();
        QVERIFY(!split && !d);
        QCOMPARE(View::viewCount, baseline + 2);
        CheckPage(m);
    }

    void deletingTheActiveView()
    {
        ShowTabs();
        // V( c, H( b, V(x, y) ) ), b active.
        NameView* c = new NameView;
        NameView* b = new NameView;
        NameView* x = new NameView;
        NameView* y = new NameView;
        VSplitView* xy = new VSplitView(x, y);
        HSplitView* right = new HSplitView(b, xy);
        ViewManager* m = new ViewManager(QStringLiteral("Page"), new VSplitView(c, right));
        QCOMPARE(m->activeView, c);
        Settle();
        QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, b->rect().center());
        QCOMPARE(m->activeView, b);
        QCOMPARE(Pixel(Grab(b), 2, 2), b->activeColor);
        QCOMPARE(Pixel(Grab(c), 2, 2), c->inactiveColor);
        QVERIFY(ChooseFromMenu(b, QStringLiteral("Supprimer")));
        QCOMPARE(m->activeView, x);
        QCOMPARE(static_cast<SplitView*>(m->rootView)->secondView, xy);
        Settle();
        QCOMPARE(Pixel(Grab(x), 2, 2), x->activeColor);
        QCOMPARE(Pixel(Grab(y), 2, 2), y->inactiveColor);
        // Deleting a view that is not active leaves the active one alone.
        QVERIFY(ChooseFromMenu(c, QStringLiteral("Supprimer")));
        QCOMPARE(m->activeView, x);
        QCOMPARE(m->rootView, xy);
        Settle();
        CheckPage(m);
        QCOMPARE(View::viewCount, baseline + 3);
    }

    void replacingThroughAnEmptyViewButton()
    {
        ShowTabs();
        NameView* x = new NameView;
        ViewManager* m = new ViewManager(QStringLiteral("Page"), x);
        m->VSplit(x);
        VSplitView* root = static_cast<VSplitView*>(m->rootView);
        QPointer<DefaultView> d = qobject_cast<DefaultView*>(root->secondView);
        QVERIFY(d);
        Settle();
        Drag(root, QPoint(root->separatorPosition + 1, 100), QPoint(250, 100));
        const int savedWidth = d->savedWidth;
        const int savedHeight = d->savedHeight;
        QCOMPARE(savedWidth, d->width());
        QPushButton* button = KindButton(d, QStringLiteral("Texte"));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
        LinesView* text = qobject_cast<LinesView*>(root->secondView);
        QVERIFY(text);
        QCOMPARE(text->manager, m);
        QCOMPARE(m->activeView, text);
        QVERIFY(text->hasFocus());
        QCOMPARE(text->savedWidth, savedWidth);
        QCOMPARE(text->savedHeight, savedHeight);
        QCOMPARE(text->geometry(), QRect(root->separatorPosition + 4, 0, root->width() - root->separatorPosition - 4, root->height()));
        Settle();
        QVERIFY(!d);
        CheckPage(m);
        // An empty root is replaced in its tab.
        ViewManager* empty = new ViewManager(QStringLiteral("Vide"), new DefaultView);
        QTest::mouseClick(KindButton(static_cast<DefaultView*>(empty->rootView), QStringLiteral("Nom")), Qt::LeftButton);
        QVERIFY(qobject_cast<NameView*>(empty->rootView));
        QCOMPARE(tabs->widget(empty->tabIndex), empty->rootView);
        QCOMPARE(empty->activeView, empty->rootView);
        Settle();
        CheckPage(empty);
        QCOMPARE(View::viewCount, baseline + 4);
    }

    void aKindThatCreatesNothingLeavesTheEmptyView()
    {
        ShowTabs();
        DefaultView* d = new DefaultView;
        ViewManager* m = new ViewManager(QStringLiteral("Vide"), d);
        const int before = View::viewCount;
        QTest::mouseClick(KindButton(d, QStringLiteral("Rien")), Qt::LeftButton);
        Settle();
        QCOMPARE(m->rootView, d);
        QCOMPARE(View::viewCount, before);
        // A label without a factory creates nothing either.
        ViewManager::descriptionList << QStringLiteral("Orphelin");
        DefaultView* e = new DefaultView;
        m->ReplaceView(d, e);
        QTest::mouseClick(KindButton(e, QStringLiteral("Orphelin")), Qt::LeftButton);
        Settle();
        QCOMPARE(m->rootView, e);
        CheckPage(m);
    }

    void aReplacementThatRefusesTheFocusStillBecomesActive()
    {
        ShowTabs();
        NameView* x = new NameView;
        ViewManager* m = new ViewManager(QStringLiteral("Page"), x);
        m->HSplit(x);
        Settle();
        QCOMPARE(m->activeView, x);
        QVERIFY(ChooseFromMenu(x, QStringLiteral("Vue par défaut")));
        DefaultView* d = qobject_cast<DefaultView*>(static_cast<SplitView*>(m->rootView)->firstView);
        QVERIFY(d);
        QCOMPARE(m->activeView, d);
        QTest::mouseClick(KindButton(d, QStringLiteral("Fixe")), Qt::LeftButton);
        StillView* still = qobject_cast<StillView*>(static_cast<SplitView*>(m->rootView)->firstView);
        QVERIFY(still);
        QCOMPARE(m->activeView, still);
        Settle();
        CheckPage(m);
    }

    void replacingWhileTheWindowIsHidden()
    {
        // No focus can be given: the page must still not point at the view that went.
        NameView* x = new NameView;
        ViewManager* m = new ViewManager(QStringLiteral("Page"), x);
        m->VSplit(x);
        m->SetDefaultView(x);
        QVERIFY(m->activeView);
        QVERIFY(m->activeView != x);
        Settle();
        CheckPage(m);
        m->SetDefaultView(m->rootView);
        Settle();
        CheckPage(m);
        QCOMPARE(View::viewCount, baseline + 1);
    }

    void singleViewListGoesLeftToRightTopToBottom()
    {
        NameView* a = new NameView;
        NameView* b = new NameView;
        NameView* c = new NameView;
        NameView* d = new NameView;
        NameView* e = new NameView;
        ViewManager* m = new ViewManager(QStringLiteral("Page"),
                                         new VSplitView(new HSplitView(a, b), new VSplitView(c, new HSplitView(d, e))));
        const QList<View*> expected({a, b, c, d, e});
        QCOMPARE(m->SingleViewList(), expected);
        QCOMPARE(m->SingleViewList(), expected);
        QCOMPARE(m->singleViews, expected);
    }

    void theCurrentTabFocusesItsActiveView()
    {
        ShowTabs();
        NameView* a = new NameView;
        ViewManager* first = new ViewManager(QStringLiteral("Un"), a);
        NameView* x = new NameView;
        ViewManager* second = new ViewManager(QStringLiteral("Deux"), new HSplitView(new NameView, x));
        Settle();
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier, tabs->tabBar()->tabRect(1).center());
        QCOMPARE(tabs->currentIndex(), 1);
        QTest::mouseClick(x, Qt::LeftButton, Qt::NoModifier, x->rect().center());
        QCOMPARE(second->activeView, x);
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier, tabs->tabBar()->tabRect(0).center());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(a));
        QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, Qt::NoModifier, tabs->tabBar()->tabRect(1).center());
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(x));
        CheckPage(first);
        CheckPage(second);
    }

    void nestedPagePicture()
    {
        tabs->resize(900, 600);
        ShowTabs();
        const NestedPage p = BuildNestedPage();
        ViewManager* m = new ViewManager(QStringLiteral("Mixte"), p.root);
        p.innerText->ActivateByDefault();
        Settle();
        QCOMPARE(m->activeView, p.innerText);
        // Separator lines of every split, in the page's coordinates.
        const QImage page = Grab(p.root);
        const QColor background = p.root->palette().color(QPalette::Window);
        auto at = [&](QWidget* w, QPoint local) { return QColor(page.pixel(w->mapTo(p.root, local))); };
        for (VSplitView* v : {p.root, p.inner}) {
            const int s = v->separatorPosition;
            for (int y : {0, v->height() / 2, v->height() - 1}) {
                QCOMPARE(at(v, QPoint(s, y)), QColor(Qt::darkGray));
                QCOMPARE(at(v, QPoint(s + 1, y)), QColor(Qt::white));
                QCOMPARE(at(v, QPoint(s + 2, y)), background);
                QCOMPARE(at(v, QPoint(s + 3, y)), QColor(Qt::darkGray));
            }
        }
        for (HSplitView* h : {p.left, p.right}) {
            const int s = h->separatorPosition;
            for (int x : {0, h->width() / 2, h->width() - 1}) {
                QCOMPARE(at(h, QPoint(x, s)), QColor(Qt::darkGray));
                QCOMPARE(at(h, QPoint(x, s + 1)), QColor(Qt::white));
                QCOMPARE(at(h, QPoint(x, s + 2)), background);
                QCOMPARE(at(h, QPoint(x, s + 3)), QColor(Qt::darkGray));
            }
        }
        // The active leaf in its active colour, the others in their inactive one.
        QCOMPARE(at(p.innerText, QPoint(2, 1)), p.innerText->activeColor);
        QCOMPARE(at(p.topText, QPoint(2, 1)), p.topText->inactiveColor);
        QCOMPARE(at(p.topName, QPoint(2, 2)), p.topName->inactiveColor);
        QCOMPARE(at(p.innerName, QPoint(2, 2)), p.innerName->inactiveColor);
        QCOMPARE(at(p.empty, QPoint(2, p.empty->height() - 3)), p.empty->inactiveColor);
        // A press on the right-hand separator paints that whole subtree in the selection
        // colour, the active leaf included, and nothing else.
        Press(p.root, QPoint(p.right->mapTo(p.root, QPoint(10, p.right->separatorPosition + 2))));
        const QImage selected = Grab(p.root);
        auto selectedAt = [&](QWidget* w, QPoint local) { return QColor(selected.pixel(w->mapTo(p.root, local))); };
        for (SingleView* leaf : {static_cast<SingleView*>(p.empty), static_cast<SingleView*>(p.innerText),
                                 static_cast<SingleView*>(p.innerName)})
            QCOMPARE(selectedAt(leaf, QPoint(2, 1)), leaf->selectedColor);
        QCOMPARE(selectedAt(p.topName, QPoint(2, 2)), p.topName->inactiveColor);
        Release(p.root, QPoint(p.right->mapTo(p.root, QPoint(10, p.right->separatorPosition + 2))));
        QCOMPARE(QColor(Grab(p.root).pixel(p.innerText->mapTo(p.root, QPoint(2, 1)))), p.innerText->activeColor);
        CheckPage(m);
    }

    void theViewsIconsAreInTheResources_data()
    {
        QTest::addColumn<QString>("path");
        for (const char* name : {"Arrow", "AddressBreakpoint", "InstructionBreakpoint", "StartAddress", "StartAddressPC",
                                 "SelectBytePerLine"})
            QTest::newRow(name) << QStringLiteral(":/Icon/%1").arg(QLatin1String(name));
    }

    void theViewsIconsAreInTheResources()
    {
        QFETCH(QString, path);
        const QImage image(path);
        QVERIFY2(!image.isNull(), qPrintable(path));
        QCOMPARE(image.size(), QSize(16, 16));
        int drawn = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                drawn += qAlpha(image.pixel(x, y)) > 128 ? 1 : 0;
        QVERIFY(drawn >= 20);
        QVERIFY(drawn < 256);
    }

    // --- Deletions pending while the page goes ---

    void closingATabWhileItsDeletedViewWaits()
    {
        ShowTabs();
        new ViewManager(QStringLiteral("Reste"), new NameView);
        NameView* x = new NameView;
        QPointer<ViewManager> m = new ViewManager(QStringLiteral("Page"), x);
        m->VSplit(x);
        m->HSplit(x);
        Settle();
        QPointer<View> pending = x->SplitParent();
        bool waiting = false;
        bool refused = false;
        QCOMPARE(ContextMenu(x, x->rect().center(), [&](QMenu* menu) {
            Click(menu, Entry(menu, QStringLiteral("Supprimer")));
            // The menu has answered; the event loop has not run yet.
            waiting = pending && static_cast<SplitView*>(m->rootView)->firstView != pending;
            QVERIFY(CloseTab(tabs.get(), m->tabIndex));
            QVERIFY(m && m->IsClosed());
            // A closed page refuses further edits while its views wait for the event loop.
            View* root = m->rootView;
            m->HSplit(root);
            m->SetDefaultView(root);
            refused = m->rootView == root && tabs->count() == 1;
        }), 1);
        QVERIFY(waiting);
        QVERIFY(refused);
        Settle();
        QVERIFY(!pending && !m);
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(View::viewCount, baseline + 1);
    }

    void closingATabWhileItsViewsMenuIsOpen()
    {
        ShowTabs();
        new ViewManager(QStringLiteral("Reste"), new NameView);
        NameView* x = new NameView;
        QPointer<ViewManager> m = new ViewManager(QStringLiteral("Page"), x);
        m->VSplit(x);
        Settle();
        QPointer<View> gone = static_cast<SplitView*>(m->rootView)->secondView;
        bool closed = false;
        QCOMPARE(ContextMenu(gone, QPoint(30, 30), [&](QMenu* menu) {
            closed = CloseTab(tabs.get(), 1);
            QAction* del = Entry(menu, QStringLiteral("Supprimer"));
            QVERIFY(del);
            Click(menu, del);
        }), 1);
        QVERIFY(closed);
        Settle();
        QVERIFY(!gone && !m);
        QCOMPARE(tabs->count(), 1);
        QCOMPARE(View::viewCount, baseline + 1);
    }

    // --- Long random sessions ---

    void randomSessionsLeaveNoView_data()
    {
        QTest::addColumn<quint32>("seed");
        for (quint32 seed : {1u, 2u, 3u, 5u, 8u, 13u, 21u, 34u})
            QTest::addRow("seed %u", seed) << seed;
    }

    void randomSessionsLeaveNoView()
    {
        QFETCH(quint32, seed);
        QRandomGenerator random(seed);
        ShowTabs();
        QList<QPointer<ViewManager>> managers;
        auto newKind = [&]() -> View* {
            switch (random.bounded(4)) {
            case 0: return new LinesView(random.bounded(200));
            case 1: return new NameView;
            case 2: return new StillView;
            default: return new DefaultView;
            }
        };
        auto open = [&]() {
            QList<ViewManager*> out;
            for (const QPointer<ViewManager>& m : managers) {
                if (m && !m->IsClosed())
                    out << m;
            }
            return out;
        };
        managers << new ViewManager(QStringLiteral("Départ"), newKind());
        for (int step = 0; step < 500; ++step) {
            QList<ViewManager*> pages = open();
            ViewManager* m = pages.at(random.bounded(pages.size()));
            QList<View*> views = AllViews(m);
            View* v = views.at(random.bounded(views.size()));
            const QList<View*> leaves = m->SingleViewList();
            const int op = random.bounded(14);
            switch (op) {
            case 0:
                if (pages.size() < 6)
                    managers << new ViewManager(QStringLiteral("Page"), newKind());
                break;
            case 1:
            case 2:
                if (leaves.size() < 16 && v->IsMoreHSplit())
                    m->HSplit(v);
                break;
            case 3:
            case 4:
                if (leaves.size() < 16 && v->IsMoreVSplit())
                    m->VSplit(v);
                break;
            case 5:
                if (auto* d = qobject_cast<DefaultView*>(v)) {
                    const QList<QPushButton*> buttons = d->findChildren<QPushButton*>();
                    QTest::mouseClick(buttons.at(random.bounded(buttons.size())), Qt::LeftButton);
                } else {
                    m->SetDefaultView(v);
                }
                break;
            case 6:
                m->ReplaceView(v, newKind());
                break;
            case 7:
                m->DeleteView(v);
                break;
            case 8:
                if (tabs->count() > 1)
                    QVERIFY(CloseTab(tabs.get(), random.bounded(tabs->count())));
                break;
            case 9:
                tabs->setCurrentIndex(random.bounded(tabs->count()));
                break;
            case 10:
                // Squeezed to nothing, then laid out again by the next paint.
                if (v != m->rootView)
                    v->setGeometry(0, 0, random.bounded(2), random.bounded(2));
                else
                    tabs->resize(100 + random.bounded(900), 100 + random.bounded(700));
                break;
            case 11:
                if (auto* s = qobject_cast<VSplitView*>(v))
                    s->SetSeparatorPosition(random.bounded(-50, 2000), true);
                else if (auto* s = qobject_cast<HSplitView*>(v))
                    s->SetSeparatorPosition(random.bounded(-50, 2000), true);
                break;
            case 12: {
                // The same edits as the user makes them, on a view of the page in front.
                static const char* const entries[] = {"Découper horizontalement", "Découper verticalement",
                                                      "Vue par défaut", "Supprimer"};
                const QString entry = QString::fromUtf8(entries[random.bounded(4)]);
                // The user clicks on what the screen shows: the page has been painted.
                Settle();
                auto* scroll = qobject_cast<ScrollView*>(v);
                const bool room = !scroll || (scroll->width(ScrollView::Automatic) > 0 && scroll->height(ScrollView::Automatic) > 0);
                if (v->isVisible() && room && v->width() >= 17 && v->height() >= 17 && leaves.size() < 16)
                    QVERIFY(ChooseFromMenu(v, entry));
                break;
            }
            default:
                Settle();
                // Once the event loop has run, every live view is in a page.
                int inPages = 0;
                for (ViewManager* page : open())
                    inPages += AllViews(page).size();
                QCOMPARE(View::viewCount - baseline, inPages);
                break;
            }
            for (ViewManager* page : open()) {
                CheckPage(page);
                if (QTest::currentTestFailed())
                    QFAIL(qPrintable(QStringLiteral("step %1, operation %2").arg(step).arg(op)));
            }
        }
        Settle();
        for (const QPointer<ViewManager>& m : managers)
            QVERIFY(!m || !m->IsClosed());
    }
};

ZENDRA_GUI_TEST_MAIN(ViewManagerTest)
#include "tst_viewmanager.moc"
