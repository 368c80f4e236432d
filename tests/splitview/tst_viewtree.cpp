// Leaves, empty views and split views under real widget events: context menus, separators
// dragged, centred, thickened and swapped, the resizing modes, and the pixels they paint.
#include "SplitViewTestSupport.h"

#include "splitview/DefaultView.h"
#include "splitview/HSplitView.h"
#include "splitview/SingleView.h"
#include "splitview/VSplitView.h"
#include "splitview/ViewManager.h"

#include <QPainter>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

using namespace SplitTest;

namespace {

// A leaf that paints itself black, to see the opacity of a disabled view.
class InkView : public SingleView
{
public:
    void Draw(QPainter& painter) override { painter.fillRect(rect(), Qt::black); }
};

// A leaf of one colour whose minimum differs along and across, so that a split mixing up its
// axes shows in the sizes and in the pixels.
class SlabView : public SingleView
{
public:
    SlabView(QColor c, QSize minimum)
        : colour(c)
    {
        setMinimumSize(minimum);
    }
    void Draw(QPainter& painter) override { painter.fillRect(rect(), colour); }

    QColor colour;
};

QRect Transposed(const QRect& r)
{
    return QRect(r.y(), r.x(), r.height(), r.width());
}

// The split under test seen along its axis: x and widths for a VSplitView, y and heights for
// an HSplitView.
struct Axis
{
    SplitView* split;
    bool vertical;

    VSplitView* V() const { return static_cast<VSplitView*>(split); }
    HSplitView* H() const { return static_cast<HSplitView*>(split); }
    int Position() const { return vertical ? V()->separatorPosition : H()->separatorPosition; }
    int Mode() const { return vertical ? V()->resizingMode : H()->resizingMode; }
    double Ratio() const { return vertical ? V()->ratio : H()->ratio; }
    void SetPosition(int p, bool r) const { vertical ? V()->SetSeparatorPosition(p, r) : H()->SetSeparatorPosition(p, r); }
    int Length(const QWidget* w) const { return vertical ? w->width() : w->height(); }
    int Offset(const QWidget* w) const { return vertical ? w->x() : w->y(); }
    QPoint At(int along, int across) const { return vertical ? QPoint(along, across) : QPoint(across, along); }
    QSize Size(int along, int across) const { return vertical ? QSize(along, across) : QSize(across, along); }
    QColor Pixel(const QImage& image, int along, int across) const
    {
        const QPoint p = At(along, across);
        return QColor(image.pixel(p.x(), p.y()));
    }
};

struct Shown
{
    std::unique_ptr<SplitView> owner;
    SingleView* first;
    SingleView* second;
    SplitView* split;
    Axis axis;
};

Shown ShowSplit(bool vertical, int along, int across = 300)
{
    SingleView* first = new SingleView;
    SingleView* second = new SingleView;
    SplitView* split = vertical ? static_cast<SplitView*>(new VSplitView(first, second)) : new HSplitView(first, second);
    Shown shown{std::unique_ptr<SplitView>(split), first, second, split, Axis{split, vertical}};
    split->resize(shown.axis.Size(along, across));
    split->show();
    if (!QTest::qWaitForWindowExposed(split))
        qWarning("split view not exposed");
    Settle();
    return shown;
}

QColor WindowColor(QWidget* w)
{
    return w->palette().color(QPalette::Window);
}

} // namespace

class ViewTreeTest : public QObject
{
    Q_OBJECT

private:
    int baseline = 0;

private slots:
    void initTestCase()
    {
        QuietPlatformWarnings();
    }

    void init()
    {
        ViewManager::descriptionList.clear();
        ViewManager::creationList.clear();
        baseline = View::viewCount;
    }

    void cleanup()
    {
        Settle();
        QCOMPARE(View::viewCount, baseline);
    }

    // --- Leaves ---

    void leafCountsItselfAndBuildsItsMenuOnce()
    {
        const int before = View::viewCount;
        {
            SingleView leaf;
            QCOMPARE(View::viewCount, before + 1);
            QVERIFY(!leaf.menuBuilt);
            QVERIFY(leaf.menu->actions().isEmpty());
            leaf.show();
            QVERIFY(leaf.menuBuilt);
            QCOMPARE(Entries(leaf.menu), QStringList({"Découper horizontalement", "Découper verticalement",
                                                      "Vue par défaut", "Supprimer"}));
            leaf.hide();
            leaf.show();
            QCOMPARE(leaf.menu->actions().size(), 4);
            QCOMPARE(leaf.minimumSize(), QSize(17, 17));
            QCOMPARE(WindowColor(&leaf), QColor(Qt::white));
        }
        QCOMPARE(View::viewCount, before);
    }

    void leafDrawsItsClassNameInBlue()
    {
        SingleView leaf;
        leaf.resize(300, 100);
        const QImage image = Grab(&leaf);
        int blue = 0;
        int elsewhere = 0;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = Pixel(image, x, y);
                if (c.blue() > 200 && c.red() < 120 && c.green() < 120) {
                    ++blue;
                    // Centred: nothing near the edges.
                    if (x < 20 || x > 280 || y < 10 || y > 90)
                        ++elsewhere;
                }
            }
        }
        QVERIFY(blue > 50);
        QCOMPARE(elsewhere, 0);
    }

    void disabledViewPaintsAtLowOpacity()
    {
        InkView ink;
        ink.resize(40, 40);
        QCOMPARE(Pixel(Grab(&ink), 20, 20), QColor(Qt::black));
        ink.setEnabled(false);
        const QColor faded = Pixel(Grab(&ink), 20, 20);
        // Black at 0.3 over the white back colour.
        QVERIFY2(std::abs(faded.red() - 255 * 0.7) <= 1.0, qPrintable(faded.name()));
        QCOMPARE(faded.red(), faded.blue());
    }

    void defaultViewWithoutKindsShowsOnlyItsBackColour()
    {
        DefaultView empty;
        empty.resize(120, 80);
        QVERIFY(empty.findChildren<QPushButton*>().isEmpty());
        const QImage image = Grab(&empty);
        for (int y = 0; y < image.height(); y += 3)
            for (int x = 0; x < image.width(); x += 3)
                QCOMPARE(Pixel(image, x, y), QColor(Qt::white));
    }

    void defaultViewButtonsStandInACentredColumn()
    {
        ViewManager::descriptionList = {QStringLiteral("Désassemblage"), QStringLiteral("Mémoire"),
                                        QStringLiteral("Inst. exécutées")};
        DefaultView view;
        view.resize(400, 300);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const QList<QPushButton*> buttons = view.findChildren<QPushButton*>();
        QCOMPARE(buttons.size(), 3);
        for (int i = 0; i < buttons.size(); ++i) {
            QCOMPARE(view.buttonLayout->itemAt(i)->widget(), buttons[i]);
            QCOMPARE(buttons[i]->text(), ViewManager::descriptionList[i]);
            QVERIFY(buttons[i]->testAttribute(Qt::WA_NoMousePropagation));
            QVERIFY(std::abs(buttons[i]->geometry().center().x() - 200) <= 2);
            if (i > 0)
                QVERIFY(buttons[i]->y() >= buttons[i - 1]->geometry().bottom());
        }
        QVERIFY(buttons[0]->y() < 30);
        QVERIFY(buttons[2]->geometry().bottom() < 150);
    }

    // --- Split views: geometry ---

    void separatorStartsAtHalf_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::newRow("side by side") << true;
        QTest::newRow("one above the other") << false;
    }

    void separatorStartsAtHalf()
    {
        QFETCH(bool, vertical);
        Shown s = ShowSplit(vertical, 404);
        QCOMPARE(s.axis.Position(), 200);
        QCOMPARE(s.axis.Length(s.first), 200);
        QCOMPARE(s.axis.Offset(s.second), 204);
        QCOMPARE(s.axis.Length(s.second), 200);
        QCOMPARE(s.axis.Ratio(), 0.5);
        QCOMPARE(s.split->focusPolicy(), Qt::NoFocus);
        QCOMPARE(s.split->cursor().shape(), vertical ? Qt::SizeHorCursor : Qt::SizeVerCursor);
        QCOMPARE(s.first->parentWidget(), s.split);
        QCOMPARE(s.split->OtherView(s.first), s.second);
        QCOMPARE(s.split->OtherView(s.second), s.first);
    }

    void separatorIsPaintedAsThreeLines_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("thickness");
        for (int t : {1, 2, 3, 4, 7}) {
            QTest::addRow("side by side, %d", t) << true << t;
            QTest::addRow("one above the other, %d", t) << false << t;
        }
    }

    void separatorIsPaintedAsThreeLines()
    {
        QFETCH(bool, vertical);
        QFETCH(int, thickness);
        Shown s = ShowSplit(vertical, 404 - 4 + thickness);
        s.split->SetSeparatorWidth(thickness);
        s.split->UpdateSize();
        QCOMPARE(s.axis.Position(), 200);
        const QColor background = WindowColor(s.split);
        QVERIFY(background != QColor(Qt::white) && background != QColor(Qt::darkGray));
        const QImage image = Grab(s.split);
        for (int across : {0, 150, 299}) {
            QCOMPARE(s.axis.Pixel(image, 199, across), QColor(Qt::white));
            QCOMPARE(s.axis.Pixel(image, 200, across), QColor(Qt::darkGray));
            if (thickness >= 3)
                QCOMPARE(s.axis.Pixel(image, 201, across), QColor(Qt::white));
            for (int along = 202; along < 200 + thickness - 1; ++along)
                QCOMPARE(s.axis.Pixel(image, along, across), background);
            QCOMPARE(s.axis.Pixel(image, 200 + thickness - 1, across), QColor(Qt::darkGray));
            QCOMPARE(s.axis.Pixel(image, 200 + thickness, across), QColor(Qt::white));
        }
    }

    void minimumSizeClimbsToTheRoot()
    {
        SingleView* a = new SingleView;
        SingleView* b = new SingleView;
        SingleView* c = new SingleView;
        a->setMinimumSize(30, 50);
        HSplitView* inner = new HSplitView(a, b);
        VSplitView root(inner, c);
        QCOMPARE(inner->minimumSize(), QSize(30, 50 + 17 + 4));
        QCOMPARE(root.minimumSize(), QSize(30 + 4 + 17, 71));
        inner->SetSeparatorWidth(9);
        inner->UpdateSize();
        QCOMPARE(inner->minimumSize(), QSize(30, 50 + 17 + 9));
        QCOMPARE(root.minimumSize(), QSize(51, 76));
        root.SetSeparatorWidth(6);
        root.UpdateSize();
        QCOMPARE(root.minimumSize(), QSize(30 + 6 + 17, 76));
    }

    void splitCountsFollowTheTree()
    {
        // V( H(a, V(b, c)), d )
        SingleView* a = new SingleView;
        SingleView* b = new SingleView;
        SingleView* c = new SingleView;
        SingleView* d = new SingleView;
        VSplitView* bc = new VSplitView(b, c);
        HSplitView* left = new HSplitView(a, bc);
        VSplitView root(left, d);
        struct Case { const View* target; int h; int v; };
        const Case cases[] = {
            {nullptr, 2, 3}, {a, 3, 3}, {b, 3, 4}, {c, 3, 4}, {d, 2, 4},
            {bc, 3, 4}, {left, 3, 4}, {&root, 3, 4},
        };
        for (const Case& k : cases) {
            QCOMPARE(root.HSplitCount(k.target), k.h);
            QCOMPARE(root.VSplitCount(k.target), k.v);
        }
    }

    // --- Split views: the mouse ---

    void draggingStopsAtTheMinimums_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::newRow("side by side") << true;
        QTest::newRow("one above the other") << false;
    }

    void draggingStopsAtTheMinimums()
    {
        QFETCH(bool, vertical);
        Shown s = ShowSplit(vertical, 404);
        const Axis& a = s.axis;
        Drag(s.split, a.At(202, 100), a.At(300, 100));
        QCOMPARE(a.Position(), 300);
        QCOMPARE(a.Ratio(), 300.0 / 400);
        Settle();
        QCOMPARE(a.Length(s.first), 300);
        Drag(s.split, a.At(302, 100), a.At(5000, 100));
        QCOMPARE(a.Position(), 404 - 4 - 17);
        Settle();
        QCOMPARE(a.Length(s.second), 17);
        QCOMPARE(s.first->savedWidth, s.first->width());
        QCOMPARE(s.second->savedHeight, s.second->height());
        Drag(s.split, a.At(385, 100), a.At(-300, 100));
        QCOMPARE(a.Position(), 17);
        Settle();
        QCOMPARE(a.Length(s.first), 17);
        // A move without a button held does not drag.
        Move(s.split, a.At(100, 100));
        QCOMPARE(a.Position(), 17);
    }

    void doubleClickCentresTheSeparator_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::newRow("side by side") << true;
        QTest::newRow("one above the other") << false;
    }

    void doubleClickCentresTheSeparator()
    {
        QFETCH(bool, vertical);
        Shown s = ShowSplit(vertical, 405);
        Drag(s.split, s.axis.At(202, 50), s.axis.At(320, 50));
        QCOMPARE(s.axis.Position(), 320);
        DoubleClick(s.split, s.axis.At(321, 50));
        QCOMPARE(s.axis.Position(), 200);
        QCOMPARE(s.axis.Ratio(), 200.0 / 401);
    }

    void pressSelectsUntilLeftRelease()
    {
        Shown s = ShowSplit(true, 404);
        const QColor selected = s.first->selectedColor;
        Press(s.split, QPoint(202, 50));
        QVERIFY(s.first->selected && s.second->selected);
        QCOMPARE(Pixel(Grab(s.split), 100, 50), selected);
        QCOMPARE(Pixel(Grab(s.split), 300, 50), selected);
        Release(s.split, QPoint(202, 50));
        QVERIFY(!s.first->selected && !s.second->selected);
        QCOMPARE(Pixel(Grab(s.split), 100, 50), QColor(Qt::white));
    }

    // --- Context menus ---

    void splitMenuListsItsEntries_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::newRow("side by side") << true;
        QTest::newRow("one above the other") << false;
    }

    void splitMenuListsItsEntries()
    {
        QFETCH(bool, vertical);
        Shown s = ShowSplit(vertical, 404);
        QStringList top, modes, sizes;
        QList<bool> modeChecked, sizeChecked;
        const int menus = ContextMenu(s.split, s.axis.At(202, 100), [&](QMenu* m) {
            top = Entries(m);
            QMenu* sub = OpenSubmenu(m, QStringLiteral("Redimensionnement"));
            QVERIFY(sub);
            modes = Entries(sub);
            for (QAction* a : sub->actions())
                modeChecked << a->isChecked();
            QVERIFY(s.split->separatorSizeMenu);
            for (QAction* a : s.split->separatorSizeMenu->actions()) {
                sizes << a->text();
                sizeChecked << a->isChecked();
                QCOMPARE(a->data().toInt(), sizes.size());
            }
        });
        QCOMPARE(menus, 1);
        QCOMPARE(top, QStringList({"Redimensionnement", "Taille du séparateur", "Centrer le séparateur",
                                   "Permuter les vues", "-", "Découper horizontalement", "Découper verticalement",
                                   "Vue par défaut", "Supprimer"}));
        if (vertical)
            QCOMPARE(modes, QStringList({"Proportionnel", "Vue de gauche fixe", "Vue de droite fixe"}));
        else
            QCOMPARE(modes, QStringList({"Proportionnel", "Vue supérieure fixe", "Vue inférieure fixe"}));
        QCOMPARE(modeChecked, QList<bool>({true, false, false}));
        QCOMPARE(sizes, QStringList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}));
        QCOMPARE(sizeChecked.indexOf(true), 3);
        QCOMPARE(sizeChecked.count(true), 1);
    }

    void separatorSizeFromTheMenuKeepsTheRatio_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::newRow("side by side") << true;
        QTest::newRow("one above the other") << false;
    }

    void separatorSizeFromTheMenuKeepsTheRatio()
    {
        QFETCH(bool, vertical);
        Shown s = ShowSplit(vertical, 404);
        Drag(s.split, s.axis.At(202, 100), s.axis.At(100, 100));
        const double ratio = s.axis.Ratio();
        QCOMPARE(ratio, 100.0 / 400);
        QCOMPARE(ContextMenu(s.split, s.axis.At(102, 100), [&](QMenu* m) {
            QMenu* sub = OpenSubmenu(m, QStringLiteral("Taille du séparateur"));
            QVERIFY(sub);
            Click(sub, Entry(sub, QStringLiteral("10")));
        }), 1);
        QCOMPARE(s.split->separatorWidth, 10);
        QCOMPARE(s.axis.Position(), int(394 * ratio));
        QCOMPARE(s.axis.Ratio(), int(394 * ratio) / 394.0);
        Settle();
        QCOMPARE(s.axis.Offset(s.second), s.axis.Position() + 10);
        bool tenChecked = false;
        ContextMenu(s.split, s.axis.At(s.axis.Position() + 5, 100), [&](QMenu* m) {
            QMenu* sub = OpenSubmenu(m, QStringLiteral("Taille du séparateur"));
            QVERIFY(sub);
            tenChecked = Entry(sub, QStringLiteral("10"))->isChecked();
            QCOMPARE(sub->actions().at(3)->isChecked(), false);
        });
        QVERIFY(tenChecked);
    }

    void resizingModes_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("firstAfter");
        QTest::addColumn<int>("secondAfter");
        // From 404 (200 | 4 | 200) to 504.
        for (bool v : {true, false}) {
            const char* axis = v ? "side by side" : "one above the other";
            QTest::addRow("%s, proportional", axis) << v << 0 << 250 << 250;
            QTest::addRow("%s, first fixed", axis) << v << 1 << 200 << 300;
            QTest::addRow("%s, second fixed", axis) << v << 2 << 300 << 200;
        }
    }

    void resizingModes()
    {
        QFETCH(bool, vertical);
        QFETCH(int, mode);
        QFETCH(int, firstAfter);
        QFETCH(int, secondAfter);
        Shown s = ShowSplit(vertical, 404);
        ContextMenu(s.split, s.axis.At(202, 100), [&](QMenu* m) {
            QMenu* sub = OpenSubmenu(m, QStringLiteral("Redimensionnement"));
            QVERIFY(sub);
            Click(sub, sub->actions().at(mode));
        });
        QCOMPARE(s.axis.Mode(), mode);
        QCOMPARE(s.first->savedWidth, s.first->width());
        QCOMPARE(s.second->savedHeight, s.second->height());
        s.split->resize(s.axis.Size(504, 300));
        Settle();
        QCOMPARE(s.axis.Length(s.first), firstAfter);
        QCOMPARE(s.axis.Length(s.second), secondAfter);
        QCOMPARE(s.axis.Position(), firstAfter);
        // Shrunk below what the fixed view needs and grown back, the fixed view returns to
        // its size, and never beyond its proportional share.
        s.split->resize(s.axis.Size(150, 300));
        Settle();
        QVERIFY(s.axis.Length(s.first) >= 17 && s.axis.Length(s.second) >= 17);
        QCOMPARE(s.axis.Length(s.first) + s.axis.Length(s.second) + 4, 150);
        s.split->resize(s.axis.Size(504, 300));
        Settle();
        if (mode == SplitView::FirstFixed)
            QCOMPARE(s.axis.Length(s.first), 200);
        else if (mode == SplitView::SecondFixed)
            QCOMPARE(s.axis.Length(s.second), 200);
        bool checked = false;
        ContextMenu(s.split, s.axis.At(s.axis.Position() + 2, 100), [&](QMenu* m) {
            QMenu* sub = OpenSubmenu(m, QStringLiteral("Redimensionnement"));
            QVERIFY(sub);
            checked = sub->actions().at(mode)->isChecked();
        });
        QVERIFY(checked);
    }

    void swappingKeepsTheFixedView_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("modeAfter");
        for (bool v : {true, false}) {
            const char* axis = v ? "side by side" : "one above the other";
            QTest::addRow("%s, proportional", axis) << v << 0 << 0;
            QTest::addRow("%s, first fixed", axis) << v << 1 << 2;
            QTest::addRow("%s, second fixed", axis) << v << 2 << 1;
        }
    }

    void swappingKeepsTheFixedView()
    {
        QFETCH(bool, vertical);
        QFETCH(int, mode);
        QFETCH(int, modeAfter);
        Shown s = ShowSplit(vertical, 404);
        Drag(s.split, s.axis.At(202, 100), s.axis.At(130, 100));
        ContextMenu(s.split, s.axis.At(132, 100), [&](QMenu* m) {
            QMenu* sub = OpenSubmenu(m, QStringLiteral("Redimensionnement"));
            QVERIFY(sub);
            Click(sub, sub->actions().at(mode));
        });
        ContextMenu(s.split, s.axis.At(132, 100), [&](QMenu* m) {
            Click(m, Entry(m, QStringLiteral("Permuter les vues")));
        });
        QCOMPARE(s.split->firstView, s.second);
        QCOMPARE(s.split->secondView, s.first);
        QCOMPARE(s.axis.Mode(), modeAfter);
        QCOMPARE(s.axis.Position(), 270);
        QCOMPARE(s.axis.Ratio(), 270.0 / 400);
        Settle();
        QCOMPARE(s.axis.Length(s.second), 270);
        QCOMPARE(s.axis.Length(s.first), 130);
        QCOMPARE(s.axis.Offset(s.first), 274);
        // The view that was fixed before the swap is the one that stays fixed.
        s.split->resize(s.axis.Size(604, 300));
        Settle();
        if (mode == SplitView::FirstFixed)
            QCOMPARE(s.axis.Length(s.first), 130);
        else if (mode == SplitView::SecondFixed)
            QCOMPARE(s.axis.Length(s.second), 270);
    }

    void centringFromTheMenu()
    {
        Shown s = ShowSplit(false, 405);
        Drag(s.split, QPoint(100, 202), QPoint(100, 40));
        QCOMPARE(s.axis.Position(), 40);
        ContextMenu(s.split, QPoint(100, 42), [&](QMenu* m) {
            Click(m, Entry(m, QStringLiteral("Centrer le séparateur")));
        });
        QCOMPARE(s.axis.Position(), 200);
    }

    void closingTheMenuClearsTheSelection_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("escape") << "escape";
        QTest::newRow("click outside") << "outside";
        QTest::newRow("entry chosen") << "entry";
    }

    void closingTheMenuClearsTheSelection()
    {
        QFETCH(QString, how);
        Shown s = ShowSplit(true, 404);
        bool selectedWhileOpen = false;
        QColor colourWhileOpen;
        QCOMPARE(ContextMenu(s.split, QPoint(202, 100), [&](QMenu* m) {
            selectedWhileOpen = s.first->selected && s.second->selected;
            colourWhileOpen = WindowColor(s.second);
            if (how == QLatin1String("escape"))
                QTest::keyClick(m, Qt::Key_Escape);
            else if (how == QLatin1String("outside"))
                QTest::mouseClick(m, Qt::LeftButton, Qt::NoModifier, QPoint(-20, -20));
            else
                Click(m, Entry(m, QStringLiteral("Centrer le séparateur")));
            QVERIFY(!m->isVisible());
        }), 1);
        QVERIFY(selectedWhileOpen);
        QCOMPARE(colourWhileOpen, s.first->selectedColor);
        QVERIFY(!s.first->selected && !s.second->selected && !s.split->selected);
        const QImage image = Grab(s.split);
        QCOMPARE(Pixel(image, 100, 100), QColor(Qt::white));
        QCOMPARE(Pixel(image, 300, 100), QColor(Qt::white));
    }

    void onlyTheViewUnderThePointerOpensItsMenu()
    {
        Shown s = ShowSplit(true, 404);
        QStringList entries;
        QCOMPARE(ContextMenu(s.first, QPoint(50, 50), [&](QMenu* m) { entries = Entries(m); }), 1);
        QCOMPARE(entries.size(), 4);
        QCOMPARE(entries.first(), QStringLiteral("Découper horizontalement"));
    }

    void tinySizesKeepTheFirstMinimum_data()
    {
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<int>("mode");
        for (bool v : {true, false})
            for (int mode : {0, 1, 2})
                QTest::addRow("%s, mode %d", v ? "side by side" : "one above the other", mode) << v << mode;
    }

    void tinySizesKeepTheFirstMinimum()
    {
        QFETCH(bool, vertical);
        QFETCH(int, mode);
        // Not shown: a window cannot be squeezed below the split's minimum, a child can.
        SingleView* first = new SingleView;
        SingleView* second = new SingleView;
        std::unique_ptr<SplitView> split(vertical ? static_cast<SplitView*>(new VSplitView(first, second))
                                                  : new HSplitView(first, second));
        Axis a{split.get(), vertical};
        if (vertical)
            a.V()->resizingMode = mode;
        else
            a.H()->resizingMode = mode;
        for (int along : {404, 0, 1, 3, 4, 5, 20, 37, 0, 404}) {
            QResizeEvent resize(a.Size(along, 300), split->size());
            split->setGeometry(QRect(QPoint(0, 0), a.Size(along, 300)));
            QCoreApplication::sendEvent(split.get(), &resize);
            QVERIFY(a.Position() >= 17);
            QVERIFY(std::isfinite(a.Ratio()));
            QVERIFY(a.Ratio() >= 0.0);
            for (int p : {-1000000, 0, 1, 5000000})
                a.SetPosition(p, true);
            split->CenterSeparator();
            split->SetSeparatorWidth(10);
            split->SetSeparatorWidth(4);
            split->UpdateSize();
            QVERIFY(a.Position() >= 17);
            QVERIFY(std::isfinite(a.Ratio()));
        }
        (void)Grab(split.get());
    }

    void transposedSplitsStayTransposed_data()
    {
        QTest::addColumn<int>("mode");
        QTest::newRow("proportional") << 0;
        QTest::newRow("first fixed") << 1;
        QTest::newRow("second fixed") << 2;
    }

    void transposedSplitsStayTransposed()
    {
        QFETCH(int, mode);
        // One story told to a side-by-side split and to a stacked split of the transposed
        // leaves: every position, ratio, size and pixel must come out transposed.
        SlabView* left = new SlabView(Qt::red, QSize(30, 50));
        SlabView* right = new SlabView(Qt::blue, QSize(45, 20));
        SlabView* top = new SlabView(Qt::red, QSize(50, 30));
        SlabView* bottom = new SlabView(Qt::blue, QSize(20, 45));
        std::unique_ptr<VSplitView> v(new VSplitView(left, right));
        std::unique_ptr<HSplitView> h(new HSplitView(top, bottom));
        QCOMPARE(v->minimumSize(), QSize(30 + 4 + 45, 50));
        QCOMPARE(h->minimumSize(), QSize(50, 30 + 4 + 45));
        const Axis va{v.get(), true};
        const Axis ha{h.get(), false};
        const std::vector<std::pair<OrientedSplitView*, Axis>> both = {{v.get(), va}, {h.get(), ha}};
        for (const auto& [split, axis] : both) {
            split->resize(axis.Size(400, 120));
            split->show();
            QVERIFY(QTest::qWaitForWindowExposed(split));
        }
        Settle();
        QAction choice(nullptr);
        choice.setData(mode);
        for (const auto& entry : both)
            entry.first->OnResizingMode(&choice);

        using Step = std::function<void(OrientedSplitView*, const Axis&)>;
        const auto resizeTo = [](int along, int across) {
            return Step([=](OrientedSplitView* s, const Axis& a) { s->resize(a.Size(along, across)); });
        };
        const std::vector<std::pair<const char*, Step>> steps = {
            {"shown", [](OrientedSplitView*, const Axis&) {}},
            {"grown", resizeTo(520, 150)},
            {"squeezed to the minimum", resizeTo(10, 10)},
            {"grown back", resizeTo(430, 140)},
            {"dragged", [](OrientedSplitView* s, const Axis& a) {
                 Drag(s, a.At(s->separatorPosition + 1, 60), a.At(333, 60));
             }},
            {"thickened", [](OrientedSplitView* s, const Axis&) {
                 s->SetSeparatorWidth(9);
                 s->UpdateSize();
             }},
            {"narrowed", resizeTo(300, 100)},
            {"swapped", [](OrientedSplitView* s, const Axis&) { s->OnAction_SwapView(); }},
            {"thinned", [](OrientedSplitView* s, const Axis&) {
                 s->SetSeparatorWidth(1);
                 s->UpdateSize();
             }},
            {"widened", resizeTo(611, 90)},
            {"centred", [](OrientedSplitView* s, const Axis&) { s->CenterSeparator(); }},
            {"resized last", resizeTo(700, 200)},
            {"pushed past the end", [](OrientedSplitView* s, const Axis&) {
                 s->SetSeparatorPosition(100000, true);
                 s->UpdateSize();
             }},
        };
        for (const auto& [name, step] : steps) {
            for (const auto& [split, axis] : both)
                step(split, axis);
            Settle();
            const QByteArray at(name);
            QVERIFY2(v->separatorPosition == h->separatorPosition, at);
            QVERIFY2(v->ratio == h->ratio, at);
            QVERIFY2(v->resizingMode == h->resizingMode, at);
            QVERIFY2(v->separatorWidth == h->separatorWidth, at);
            QVERIFY2(v->size() == h->size().transposed(), at);
            QVERIFY2(v->minimumSize() == h->minimumSize().transposed(), at);
            QVERIFY2(left->geometry() == Transposed(top->geometry()), at);
            QVERIFY2(right->geometry() == Transposed(bottom->geometry()), at);
            QVERIFY2(left->savedWidth == top->savedHeight && left->savedHeight == top->savedWidth, at);
            QVERIFY2(right->savedWidth == bottom->savedHeight && right->savedHeight == bottom->savedWidth, at);
            // Neither leaf is ever pushed below its minimum along the axis.
            QVERIFY2(left->width() >= 30 && right->width() >= 45, at);
        }
        // The last push stopped where the second view, the red one since the swap, reached
        // its minimum.
        QCOMPARE(v->secondView, static_cast<View*>(left));
        QCOMPARE(v->separatorPosition, 700 - 1 - 30);
        QCOMPARE(v->minimumSize(), QSize(30 + 1 + 45, 50));
        QCOMPARE(v->HSplitCount(v.get()), h->VSplitCount(h.get()));

        const QImage side = Grab(v.get());
        const QImage stacked = Grab(h.get());
        QCOMPARE(side.size(), stacked.size().transposed());
        int mismatches = 0;
        for (int y = 0; y < side.height(); ++y)
            for (int x = 0; x < side.width(); ++x)
                mismatches += side.pixel(x, y) != stacked.pixel(y, x);
        QCOMPARE(mismatches, 0);
        QCOMPARE(Pixel(side, 10, 10), QColor(Qt::blue));
        QCOMPARE(Pixel(side, v->separatorPosition, 10), QColor(Qt::darkGray));
        QCOMPARE(Pixel(side, 690, 10), QColor(Qt::red));
    }
};

ZENDRA_GUI_TEST_MAIN(ViewTreeTest)
#include "tst_viewtree.moc"
