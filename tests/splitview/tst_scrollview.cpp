// Scrolling views under the keyboard, the wheel and their own scroll bars: the scroll
// limits, the bars' ranges and visibility, the corner square, and the text cell of text views.
#include "SplitViewTestSupport.h"

#include "splitview/ScrollView.h"
#include "splitview/TextView.h"

#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <climits>
#include <cmath>

using namespace SplitTest;

namespace {

// Paints nothing but its back colour, so that every other pixel is the bars'.
class BlankScroll : public ScrollView
{
public:
    int stepDowns = 0;
    int stepUps = 0;
    QList<QSize> resizes;

    void Draw(QPainter&) override {}
    void VScrollStepDown() override
    {
        ++stepDowns;
        ScrollView::VScrollStepDown();
    }
    void VScrollStepUp() override
    {
        ++stepUps;
        ScrollView::VScrollStepUp();
    }

protected:
    void resizeEvent(QResizeEvent* event) override
    {
        resizes << event->size();
        ScrollView::resizeEvent(event);
    }
};

// Prints one string at a chosen cell, to find where its glyphs land.
class PrintView : public TextView
{
public:
    QString text = QStringLiteral("M");
    int printColumn = 0;
    int printLine = 0;
    int columnAfter = -1;

    void Draw(QPainter& painter) override
    {
        painter.setPen(Qt::black);
        painter.setFont(textFont);
        column = printColumn;
        line = printLine;
        Print(painter, text);
        columnAfter = column;
    }
};

void Show(QWidget* w, QSize size)
{
    w->resize(size);
    w->show();
    if (!QTest::qWaitForWindowExposed(w))
        qWarning("view not exposed");
    Settle();
}

void Wheel(QWidget* w, QPoint angle)
{
    const QPointF at(w->width() / 2, w->height() / 2);
    QWheelEvent event(at, w->mapToGlobal(at.toPoint()), QPoint(), angle, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

QRect SliderHandle(QScrollBar* bar)
{
    QStyleOptionSlider option;
    option.initFrom(bar);
    option.subControls = QStyle::SC_All;
    option.orientation = bar->orientation();
    if (bar->orientation() == Qt::Horizontal)
        option.state |= QStyle::State_Horizontal;
    option.minimum = bar->minimum();
    option.maximum = bar->maximum();
    option.sliderPosition = bar->sliderPosition();
    option.sliderValue = bar->value();
    option.singleStep = bar->singleStep();
    option.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &option, QStyle::SC_ScrollBarSlider, bar);
}

// The bounding box of the dark pixels of an image.
QRect Ink(const QImage& image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

class ScrollViewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QuietPlatformWarnings();
    }

    // --- Limits and bars ---

    void lastPositionWithStepSeven()
    {
        BlankScroll v;
        v.SetHSingleStep(7);
        v.SetScrollWidth(100);
        Show(&v, QSize(70, 80));
        QVERIFY(v.vScrollBar->isHidden());
        QCOMPARE(v.width(ScrollView::Automatic), 70);
        QVERIFY(v.hScrollBar->isVisible());
        QVERIFY(v.hScrollBar->isEnabled());
        QCOMPARE(v.hScrollBar->maximum(), 28);
        QCOMPARE(v.hScrollBar->pageStep(), 70);
        QCOMPARE(v.hScrollBar->singleStep(), 7);
        QCOMPARE(v.HLimit(1000), 28);
        QCOMPARE(v.HLimit(27), 21);
        QCOMPARE(v.HLimit(-5), 0);
        v.HScroll(ScrollView::End);
        QCOMPARE(v.hValue, 28);
        QCOMPARE(v.hScrollBar->value(), 28);
        QTest::keyClick(&v, Qt::Key_Right);
        QCOMPARE(v.hValue, 28);
        QTest::keyClick(&v, Qt::Key_Left);
        QCOMPARE(v.hValue, 21);
        v.SetHValue(13);
        QCOMPARE(v.hValue, 7);
        // The bar sits under the content, as wide as the visible area.
        QCOMPARE(v.hScrollBar->geometry(), QRect(0, v.height(ScrollView::Automatic), 70, v.hScrollBar->height()));
        QCOMPARE(v.height(ScrollView::Automatic), 80 - v.hScrollBar->height());
    }

    void aViewNarrowerThanOneStep()
    {
        BlankScroll v;
        v.SetHSingleStep(50);
        v.SetScrollWidth(120);
        Show(&v, QSize(30, 60));
        QCOMPARE(v.HLimit(1000), 100);
        QCOMPARE(v.HLimit(119), 100);
        QCOMPARE(v.HLimit(99), 50);
        v.HScroll(ScrollView::End);
        QCOMPARE(v.hValue, 100);
        QCOMPARE(v.hScrollBar->maximum(), 100);
        v.HScroll(ScrollView::PageUp);
        QCOMPARE(v.hValue, 100);
        v.HScroll(ScrollView::StepUp);
        QCOMPARE(v.hValue, 50);
    }

    void contentThatFitsNeedsNoBar_data()
    {
        QTest::addColumn<int>("request");
        for (int r : {-5, 0, 3, 49, 1000, INT_MAX, INT_MIN})
            QTest::addRow("%d", r) << r;
    }

    void contentThatFitsNeedsNoBar()
    {
        QFETCH(int, request);
        BlankScroll v;
        v.SetScrollWidth(50);
        v.SetScrollHeight(80);
        Show(&v, QSize(100, 100));
        QVERIFY(v.hScrollBar->isHidden() && v.vScrollBar->isHidden());
        QVERIFY(!v.hScrollBar->isEnabled());
        v.SetHValue(request);
        v.SetVValue(request);
        QCOMPARE(v.hValue, 0);
        QCOMPARE(v.vValue, 0);
        for (int a = ScrollView::StepDown; a <= ScrollView::End; ++a) {
            v.HScroll(ScrollView::ScrollAction(a));
            v.VScroll(ScrollView::ScrollAction(a));
            QCOMPARE(v.hValue, 0);
            QCOMPARE(v.vValue, 0);
        }
        // Actions outside the six do nothing.
        v.VScroll(ScrollView::ScrollAction(0));
        v.VScroll(ScrollView::ScrollAction(7));
        QCOMPARE(v.vValue, 0);
    }

    void theVerticalBarNarrowsTheViewAndMakesTheCorner()
    {
        BlankScroll v;
        v.SetScrollWidth(500);
        Show(&v, QSize(200, 150));
        QVERIFY(v.hScrollBar->isVisible());
        QVERIFY(v.vScrollBar->isHidden());
        QCOMPARE(v.hScrollBar->width(), 200);
        const QColor back = v.palette().color(QPalette::Window);
        const QColor button = v.hScrollBar->palette().button().color();
        QVERIFY(back != button);
        v.resizes.clear();
        v.SetScrollHeight(1000);
        QVERIFY(v.vScrollBar->isVisible());
        const int barWidth = v.vScrollBar->width();
        const int barHeight = v.hScrollBar->height();
        QVERIFY(barWidth > 0 && barWidth < 50);
        QCOMPARE(v.width(ScrollView::Automatic), 200 - barWidth);
        QCOMPARE(v.hScrollBar->geometry(), QRect(0, 150 - barHeight, 200 - barWidth, barHeight));
        QCOMPARE(v.vScrollBar->geometry(), QRect(200 - barWidth, 0, barWidth, 150 - barHeight));
        // The view was told of its smaller visible area.
        QVERIFY(v.resizes.contains(QSize(200 - barWidth, 150 - barHeight)));
        QImage image = Grab(&v);
        QCOMPARE(Pixel(image, 200 - barWidth / 2, 150 - barHeight / 2), button);
        QCOMPARE(Pixel(image, 200 - barWidth - 1, 150 - barHeight - 1), back);
        v.SetScrollHeight(0);
        QVERIFY(v.vScrollBar->isHidden());
        QCOMPARE(v.hScrollBar->width(), 200);
        image = Grab(&v);
        QCOMPARE(Pixel(image, 200 - barWidth / 2, 150 - barHeight - 2), back);
        QVERIFY(v.hScrollBar->geometry().contains(200 - barWidth / 2, 150 - barHeight / 2));
        QVERIFY(!v.firstPaint);
    }

    void barDisplayFromTheMenu()
    {
        BlankScroll v;
        v.SetScrollHeight(1000);
        v.SetScrollWidth(50);
        Show(&v, QSize(200, 150));
        QStringList top, bars, horizontal, vertical;
        QList<bool> checked;
        QCOMPARE(ContextMenu(&v, QPoint(50, 50), [&](QMenu* m) {
            top = Entries(m);
            QMenu* sub = OpenSubmenu(m, QStringLiteral("Barres de défilement"));
            QVERIFY(sub);
            bars = Entries(sub);
            QMenu* h = OpenSubmenu(sub, QStringLiteral("Horizontale"));
            QVERIFY(h);
            horizontal = Entries(h);
            QMenu* vm = v.vBarMenu;
            vertical = Entries(vm);
            for (QAction* a : vm->actions())
                checked << a->isChecked();
            Click(h, Entry(h, QStringLiteral("Toujours visible")));
        }), 1);
        QCOMPARE(top, QStringList({"Barres de défilement", "-", "Découper horizontalement", "Découper verticalement",
                                   "Vue par défaut", "Supprimer"}));
        QCOMPARE(bars, QStringList({"Horizontale", "Verticale"}));
        QCOMPARE(horizontal, QStringList({"Automatique", "Toujours visible", "Toujours invisible"}));
        QCOMPARE(vertical, QStringList({"Automatique", "Toujours visible", "Toujour invisible"}));
        QCOMPARE(checked, QList<bool>({true, false, false}));
        // Shown although the content fits, and then of no use.
        QCOMPARE(v.hBarDisplay, ScrollView::AlwaysVisible);
        QVERIFY(v.hScrollBar->isVisible());
        QVERIFY(!v.hScrollBar->isEnabled());
        QCOMPARE(v.height(ScrollView::Automatic), 150 - v.hScrollBar->height());

        QCOMPARE(ContextMenu(&v, QPoint(50, 50), [&](QMenu* m) {
            QMenu* sub = OpenSubmenu(m, QStringLiteral("Barres de défilement"));
            QVERIFY(sub);
            QMenu* vm = OpenSubmenu(sub, QStringLiteral("Verticale"));
            QVERIFY(vm);
            QVERIFY(Entry(v.hBarMenu, QStringLiteral("Toujours visible"))->isChecked());
            Click(vm, Entry(vm, QStringLiteral("Toujour invisible")));
        }), 1);
        QCOMPARE(v.vBarDisplay, ScrollView::AlwaysInvisible);
        QVERIFY(v.vScrollBar->isHidden());
        QVERIFY(!v.vScrollBar->isEnabled());
        QCOMPARE(v.width(ScrollView::Automatic), 200);
        // The content can still be scrolled by the keys.
        QTest::keyClick(&v, Qt::Key_Down);
        QCOMPARE(v.vValue, 1);
        bool invisibleChecked = false;
        ContextMenu(&v, QPoint(50, 50), [&](QMenu*) {
            invisibleChecked = Entry(v.vBarMenu, QStringLiteral("Toujour invisible"))->isChecked();
        });
        QVERIFY(invisibleChecked);
    }

    // --- Keys and wheel ---

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("vKeys");
        QTest::addColumn<bool>("hKeys");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("v");
        // From h 100 (step 5, content 500, visible 200) and v 500 (step 10, content 1000,
        // visible 205, so a page of 200).
        const int none = Qt::NoModifier;
        QTest::newRow("down") << int(Qt::Key_Down) << none << true << true << 100 << 510;
        QTest::newRow("up") << int(Qt::Key_Up) << none << true << true << 100 << 490;
        QTest::newRow("page down") << int(Qt::Key_PageDown) << none << true << true << 100 << 700;
        QTest::newRow("page up") << int(Qt::Key_PageUp) << none << true << true << 100 << 300;
        QTest::newRow("home") << int(Qt::Key_Home) << none << true << true << 100 << 0;
        QTest::newRow("end") << int(Qt::Key_End) << none << true << true << 100 << 800;
        QTest::newRow("left") << int(Qt::Key_Left) << none << true << true << 95 << 500;
        QTest::newRow("right") << int(Qt::Key_Right) << none << true << true << 105 << 500;
        QTest::newRow("keypad down") << int(Qt::Key_Down) << int(Qt::KeypadModifier) << true << true << 100 << 510;
        QTest::newRow("shift down") << int(Qt::Key_Down) << int(Qt::ShiftModifier) << true << true << 100 << 500;
        QTest::newRow("control down") << int(Qt::Key_Down) << int(Qt::ControlModifier) << true << true << 100 << 500;
        QTest::newRow("alt page down") << int(Qt::Key_PageDown) << int(Qt::AltModifier) << true << true << 100 << 500;
        QTest::newRow("control right") << int(Qt::Key_Right) << int(Qt::ControlModifier) << true << true << 100 << 500;
        QTest::newRow("shift end") << int(Qt::Key_End) << int(Qt::ShiftModifier) << true << true << 100 << 500;
        QTest::newRow("down, vertical keys off") << int(Qt::Key_Down) << none << false << true << 100 << 500;
        QTest::newRow("left, vertical keys off") << int(Qt::Key_Left) << none << false << true << 95 << 500;
        QTest::newRow("left, horizontal keys off") << int(Qt::Key_Left) << none << true << false << 100 << 500;
        QTest::newRow("down, horizontal keys off") << int(Qt::Key_Down) << none << true << false << 100 << 510;
        QTest::newRow("letter") << int(Qt::Key_A) << none << true << true << 100 << 500;
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(bool, vKeys);
        QFETCH(bool, hKeys);
        QFETCH(int, h);
        QFETCH(int, v);
        BlankScroll view;
        view.SetHSingleStep(5);
        view.SetVSingleStep(10);
        view.SetScrollWidth(500);
        view.SetScrollHeight(1000);
        view.SetHBarDisplay(ScrollView::AlwaysInvisible);
        view.SetVBarDisplay(ScrollView::AlwaysInvisible);
        Show(&view, QSize(200, 205));
        view.SetHValue(100);
        view.SetVValue(500);
        view.vKeysEnabled = vKeys;
        view.hKeysEnabled = hKeys;
        QTest::keyClick(&view, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(view.hValue, h);
        QCOMPARE(view.vValue, v);
    }

    void wheel_data()
    {
        QTest::addColumn<QPoint>("angle");
        QTest::addColumn<int>("stepDowns");
        QTest::addColumn<int>("stepUps");
        QTest::addColumn<int>("h");
        QTest::addColumn<int>("v");
        // From h 100 (step 5) and v 500 (step 10).
        QTest::newRow("one notch down") << QPoint(0, -120) << 3 << 0 << 100 << 530;
        QTest::newRow("two notches down") << QPoint(0, -240) << 6 << 0 << 100 << 560;
        QTest::newRow("one notch up") << QPoint(0, 120) << 0 << 3 << 100 << 470;
        QTest::newRow("less than a notch") << QPoint(0, -119) << 0 << 0 << 100 << 500;
        QTest::newRow("almost three notches up") << QPoint(0, 359) << 0 << 6 << 100 << 440;
        QTest::newRow("one notch left") << QPoint(120, 0) << 0 << 0 << 95 << 500;
        QTest::newRow("three notches right") << QPoint(-360, 0) << 0 << 0 << 115 << 500;
        QTest::newRow("mostly vertical") << QPoint(-100, 240) << 0 << 6 << 100 << 440;
    }

    void wheel()
    {
        QFETCH(QPoint, angle);
        QFETCH(int, stepDowns);
        QFETCH(int, stepUps);
        QFETCH(int, h);
        QFETCH(int, v);
        BlankScroll view;
        view.SetHSingleStep(5);
        view.SetVSingleStep(10);
        view.SetScrollWidth(500);
        view.SetScrollHeight(1000);
        Show(&view, QSize(200, 205));
        view.SetHValue(100);
        view.SetVValue(500);
        Wheel(&view, angle);
        QCOMPARE(view.stepDowns, stepDowns);
        QCOMPARE(view.stepUps, stepUps);
        QCOMPARE(view.hValue, h);
        QCOMPARE(view.vValue, v);
    }

    void wildWheelsAndValuesStayInRange()
    {
        BlankScroll view;
        view.SetVSingleStep(10);
        view.SetHSingleStep(3);
        view.SetScrollHeight(100000);
        view.SetScrollWidth(9000);
        Show(&view, QSize(200, 205));
        const int vEnd = view.VLimit(INT_MAX);
        const int hEnd = view.HLimit(INT_MAX);
        QVERIFY(vEnd > 0 && hEnd > 0);
        Wheel(&view, QPoint(0, INT_MIN));
        QCOMPARE(view.vValue, vEnd);
        // Cut to what crosses the whole content, not seventeen million notches.
        QVERIFY(view.stepDowns <= 100000 / 10 + 3);
        Wheel(&view, QPoint(0, INT_MAX));
        QCOMPARE(view.vValue, 0);
        Wheel(&view, QPoint(INT_MIN, 0));
        QCOMPARE(view.hValue, hEnd);
        Wheel(&view, QPoint(INT_MAX, 0));
        QCOMPARE(view.hValue, 0);

        view.SetScrollHeight(INT_MAX);
        view.SetScrollWidth(INT_MAX);
        view.SetVValue(INT_MAX);
        view.SetHValue(INT_MAX);
        QCOMPARE(view.vValue, view.VLimit(INT_MAX));
        QVERIFY(view.vValue > 0 && view.vValue % 10 == 0);
        for (int a = ScrollView::StepDown; a <= ScrollView::End; ++a) {
            view.VScroll(ScrollView::ScrollAction(a));
            view.HScroll(ScrollView::ScrollAction(a));
            QVERIFY(view.vValue >= 0 && view.vValue <= view.VLimit(INT_MAX));
            QVERIFY(view.hValue >= 0 && view.hValue % 3 == 0);
        }
        view.SetVValue(INT_MIN);
        QCOMPARE(view.vValue, 0);
        view.SetScrollWidth(-5);
        view.SetScrollHeight(INT_MIN);
        QCOMPARE(view.scrollWidth, 0);
        QCOMPARE(view.scrollHeight, 0);
        QCOMPARE(view.hValue, 0);
        // A step of nothing would make every position meaningless.
        view.SetHSingleStep(0);
        view.SetVSingleStep(-4);
        QCOMPARE(view.hSingleStep, 1);
        QCOMPARE(view.vSingleStep, 1);
        QCOMPARE(view.HAlign(17), 17);
    }

    void theBarsScrollThroughTheViewsOperations()
    {
        BlankScroll view;
        view.SetVSingleStep(10);
        view.SetScrollHeight(1000);
        Show(&view, QSize(200, 205));
        QScrollBar* bar = view.vScrollBar;
        QVERIFY(bar->isVisible());
        // The arrow at the bottom end of the bar steps down once, through the view.
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, bar->height() - 3));
        QCOMPARE(view.stepDowns, 1);
        QCOMPARE(view.vValue, 10);
        QCOMPARE(bar->value(), 10);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, 3));
        QCOMPARE(view.stepUps, 1);
        QCOMPARE(view.vValue, 0);
        // Below the handle: a page down.
        const QRect handle = SliderHandle(bar);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(bar->width() / 2, handle.bottom() + 5));
        QCOMPARE(view.vValue, view.VAlign(view.height(ScrollView::Automatic)));
        // Dragging the handle lands on whole steps.
        const QRect moved = SliderHandle(bar);
        Press(bar, moved.center());
        Move(bar, moved.center() + QPoint(0, 37));
        Release(bar, moved.center() + QPoint(0, 37));
        QVERIFY(view.vValue > view.VAlign(view.height(ScrollView::Automatic)));
        QCOMPARE(view.vValue % 10, 0);
        QCOMPARE(bar->value(), view.vValue);
    }

    // --- Text views ---

    void textWidthRoundsHalvesAway()
    {
        TextView t;
        t.charWidth = 7.5;
        t.SetTextWidth(3);
        QCOMPARE(t.scrollWidth, 23);
        t.SetTextWidth(5);
        QCOMPARE(t.scrollWidth, 38);
        // The same width again changes nothing.
        t.SetScrollWidth(1);
        t.SetTextWidth(5);
        QCOMPARE(t.scrollWidth, 1);
        t.SetTextWidth(-3);
        QCOMPARE(t.scrollWidth, 0);
        t.SetTextWidth(INT_MAX);
        QCOMPARE(t.scrollWidth, INT_MAX);
        t.SetTextHeight(INT_MAX);
        QCOMPARE(t.scrollHeight, INT_MAX);
        t.SetTextHeight(7);
        QCOMPARE(t.scrollHeight, 7 * t.lineHeight);
    }

    void extraPageLetsTheLastLineReachTheTop()
    {
        TextView t;
        t.extraPage = true;
        const int l = t.lineHeight;
        Show(&t, QSize(300, 10 * l + 3));
        t.SetTextHeight(40);
        QCOMPARE(t.height(ScrollView::Automatic), 10 * l + 3);
        QCOMPARE(t.scrollHeight, l * (40 + (10 * l + 4) / l - 1));
        t.VScroll(ScrollView::End);
        QCOMPARE(t.vValue, 39 * l);
        QCOMPARE(t.PixelToLocation(QPoint(0, 0)).y(), 39);
        QCOMPARE(t.PixelToLocation(QPoint(0, l)).y(), 40);
        // A taller view gets a taller extra page.
        t.resize(300, 20 * l + 3);
        Settle();
        QCOMPARE(t.textHeight, 40);
        QCOMPARE(t.scrollHeight, l * (40 + 20 - 1));
        t.VScroll(ScrollView::End);
        QCOMPARE(t.vValue, 39 * l);
        // Without it, the last page stops with the last line at the bottom.
        t.extraPage = false;
        t.SetTextHeight(40);
        t.VScroll(ScrollView::End);
        QCOMPARE(t.vValue, 40 * l - 20 * l);
    }

    void endShowsTheLastLineAtEveryHeight()
    {
        // Heights of no whole line, of whole lines, and of whole lines and any part of one.
        TextView t;
        t.extraPage = true;
        const int l = t.lineHeight;
        Show(&t, QSize(300, l));
        t.SetTextHeight(50);
        for (int h = 1; h <= 4 * l + 1; ++h) {
            t.resize(300, h);
            Settle();
            t.VScroll(ScrollView::End);
            QVERIFY2(t.vValue == 49 * l, qPrintable(QStringLiteral("height %1: top line %2").arg(h).arg(t.vValue / l)));
            QCOMPARE(t.PixelToLocation(QPoint(0, 0)).y(), 49);
            // Nothing lies beyond, and going back to the top stops at the first line.
            t.VScroll(ScrollView::StepDown);
            t.VScroll(ScrollView::PageDown);
            QCOMPARE(t.vValue, 49 * l);
            t.VScroll(ScrollView::Home);
            t.VScroll(ScrollView::StepUp);
            t.VScroll(ScrollView::PageUp);
            QCOMPARE(t.vValue, 0);
        }
    }

    void anExtraPageCannotFlipTheBarsForever_data()
    {
        QTest::addColumn<int>("widthOffset");
        QTest::addColumn<int>("heightOffset");
        for (int w = -12; w <= 12; w += 3)
            for (int h = -2; h <= 2; ++h)
                QTest::addRow("%d, %d", w, h) << w << h;
    }

    void anExtraPageCannotFlipTheBarsForever()
    {
        // One line with an extra page, in a view about two lines high, whose text is about
        // as wide as the view less its vertical bar: the vertical bar calls for the
        // horizontal one, which shortens the extra page, which no longer needs the vertical
        // bar, and round again.
        QFETCH(int, widthOffset);
        QFETCH(int, heightOffset);
        TextView t;
        t.extraPage = true;
        const int l = t.lineHeight;
        const int barWidth = t.vScrollBar->sizeHint().width();
        Show(&t, QSize(300, 2 * l - 1 + heightOffset));
        t.SetTextWidth(int((300 - barWidth / 2 + widthOffset) / t.charWidth));
        t.SetTextHeight(1);
        Settle();
        (void)Grab(&t);
        QCOMPARE(t.textHeight, 1);
        QCOMPARE(t.vValue, t.VLimit(t.vValue));
        QCOMPARE(t.hValue, t.HLimit(t.hValue));
        // The bars stand where the visible area ends, whichever way it settled.
        if (!t.hScrollBar->isHidden())
            QCOMPARE(t.hScrollBar->geometry().topLeft(), QPoint(0, t.height(ScrollView::Automatic)));
        if (!t.vScrollBar->isHidden())
            QCOMPARE(t.vScrollBar->geometry().topLeft(), QPoint(t.width(ScrollView::Automatic), 0));
    }

    void pixelToLocation_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("origin") << "origin";
        QTest::newRow("inside a cell") << "inside";
        QTest::newRow("scrolled") << "scrolled";
        QTest::newRow("last column") << "last";
        QTest::newRow("beyond the width") << "right";
        QTest::newRow("beyond the height") << "below";
        QTest::newRow("left of the content") << "left";
        QTest::newRow("above the content") << "above";
    }

    void pixelToLocation()
    {
        QFETCH(QString, where);
        TextView t;
        t.SetTextWidth(30);
        t.SetTextHeight(50);
        const double c = t.charWidth;
        const int l = t.lineHeight;
        Show(&t, QSize(int(10 * c), 10 * l));
        QPoint p;
        QPoint cell;
        if (where == QLatin1String("origin")) {
            cell = QPoint(0, 0);
        } else if (where == QLatin1String("inside")) {
            p = QPoint(int(3.5 * c), int(2.5 * l));
            cell = QPoint(3, 2);
        } else if (where == QLatin1String("scrolled")) {
            t.SetHValue(3 * t.hSingleStep);
            t.SetVValue(4 * l);
            QCOMPARE(t.hValue, 3 * t.hSingleStep);
            p = QPoint(int(std::ceil(3 * c)) - t.hValue, l / 2);
            cell = QPoint(3, 4);
        } else if (where == QLatin1String("last")) {
            p = QPoint(t.scrollWidth - 1, 0);
            cell = QPoint(29, 0);
        } else if (where == QLatin1String("right")) {
            p = QPoint(t.scrollWidth, 0);
            cell = QPoint(-1, 0);
        } else if (where == QLatin1String("below")) {
            p = QPoint(0, 50 * l);
            cell = QPoint(0, -1);
        } else if (where == QLatin1String("left")) {
            p = QPoint(-1, 0);
            cell = QPoint(-1, 0);
        } else {
            p = QPoint(0, -1);
            cell = QPoint(0, -1);
        }
        QCOMPARE(t.PixelToLocation(p), cell);
    }

    void printWritesAtTheRunningCell()
    {
        PrintView t;
        t.SetTextWidth(100);
        t.SetTextHeight(100);
        t.columnOrigin = 1;
        t.lineOrigin = 1;
        t.printColumn = 6;
        t.printLine = 3;
        Show(&t, QSize(400, 300));
        t.SetHValue(2 * t.hSingleStep);
        t.SetVValue(t.lineHeight);
        const QImage image = Grab(&t).copy(0, 0, t.width(ScrollView::Automatic), t.height(ScrollView::Automatic));
        QCOMPARE(t.columnAfter, 7);
        const int x = int(std::lround(7 * t.charWidth)) - t.hValue;
        const int baseline = 5 * t.lineHeight - t.vValue;
        const QRect ink = Ink(image);
        QVERIFY2(ink.isValid(), "nothing printed");
        QVERIFY2(ink.left() >= x - 1 && ink.right() <= x + int(t.charWidth) + 1, qPrintable(QStringLiteral("%1 %2").arg(ink.left()).arg(x)));
        QVERIFY2(ink.bottom() <= baseline && ink.bottom() >= baseline - 2, qPrintable(QStringLiteral("%1 %2").arg(ink.bottom()).arg(baseline)));
        QVERIFY(ink.top() > baseline - t.lineHeight);
        // The column counts UTF-16 units.
        t.text = QStringLiteral("é\U0001F600x");
        (void)Grab(&t);
        QCOMPARE(t.columnAfter, 6 + 4);
    }
};

ZENDRA_GUI_TEST_MAIN(ScrollViewTest)
#include "tst_scrollview.moc"
