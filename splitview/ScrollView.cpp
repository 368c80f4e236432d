#include "splitview/ScrollView.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QWheelEvent>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace {

// Scroll arithmetic is done wide and brought back into range: positions far out of range
// are clamped, not wrapped.
int Saturated(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// The bar's visibility as the view lays it out, whether or not the view itself is on screen.
bool Shown(const QScrollBar* bar)
{
    return !bar->isHidden();
}

int Limit(int a, int visible, int step, int content)
{
    int c;
    if (visible < step)
        c = a < content ? a : content - 1;
    else
        c = std::min(a, content - (visible - visible % step));
    c = std::max(c, 0);
    return c - c % step;
}

void UpdateBar(QScrollBar* bar, ScrollView::BarDisplay display, int value, int visible, int step, int content)
{
    if (display == ScrollView::AlwaysInvisible) {
        bar->hide();
        bar->setEnabled(false);
        return;
    }
    const int page = visible - visible % step;
    // A bar whose content fits has nothing to scroll: its range stays at 0 rather than going
    // below its minimum.
    const int maximum = std::max(0, (content - content % step) - page);
    if (bar->minimum() != 0)
        bar->setMinimum(0);
    if (bar->maximum() != maximum)
        bar->setMaximum(maximum);
    if (bar->singleStep() != step)
        bar->setSingleStep(step);
    if (bar->pageStep() != page)
        bar->setPageStep(page);
    if (bar->value() != value) {
        const QSignalBlocker blocker(bar);
        bar->setValue(value);
    }
    const bool enabled = visible < content;
    bar->setEnabled(enabled);
    bar->setVisible(display == ScrollView::AlwaysVisible || enabled);
}

} // namespace

ScrollView::ScrollView()
    : SingleView(),
      hScrollBar(new QScrollBar(Qt::Horizontal, this)),
      vScrollBar(new QScrollBar(Qt::Vertical, this)),
      scrollWidth(0),
      scrollHeight(0),
      hValue(0),
      vValue(0),
      hSingleStep(1),
      vSingleStep(1),
      hBarDisplay(Automatic),
      vBarDisplay(Automatic),
      hKeysEnabled(true),
      vKeysEnabled(true),
      firstPaint(true),
      hBarMenu(nullptr),
      vBarMenu(nullptr)
{
    // The bars keep their natural thickness.
    hScrollBar->resize(hScrollBar->sizeHint());
    vScrollBar->resize(vScrollBar->sizeHint());
    hScrollBar->setFocusPolicy(Qt::NoFocus);
    vScrollBar->setFocusPolicy(Qt::NoFocus);
    hScrollBar->installEventFilter(this);
    vScrollBar->installEventFilter(this);
    connect(hScrollBar, &QScrollBar::actionTriggered, this, &ScrollView::OnHScrollBar_ActionTriggered);
    connect(vScrollBar, &QScrollBar::actionTriggered, this, &ScrollView::OnVScrollBar_ActionTriggered);
    connect(hScrollBar, &QScrollBar::valueChanged, this, &ScrollView::OnHScrollBar_ValueChanged);
    connect(vScrollBar, &QScrollBar::valueChanged, this, &ScrollView::OnVScrollBar_ValueChanged);
    // An empty content needs no bar: the bars start as the content says, not as Qt makes them.
    ScrollUpdate();
}

int ScrollView::width(BarDisplay d) const
{
    int w = QWidget::width();
    if (d == AlwaysVisible || (d == Automatic && Shown(vScrollBar)))
        w -= vScrollBar->width();
    return std::max(0, w);
}

int ScrollView::height(BarDisplay d) const
{
    int h = QWidget::height();
    if (d == AlwaysVisible || (d == Automatic && Shown(hScrollBar)))
        h -= hScrollBar->height();
    return std::max(0, h);
}

QSize ScrollView::size(BarDisplay d) const
{
    return QSize(width(d), height(d));
}

int ScrollView::HAlign(int a) const
{
    return a - a % hSingleStep;
}

int ScrollView::VAlign(int a) const
{
    return a - a % vSingleStep;
}

int ScrollView::HLimit(int a) const
{
    return Limit(a, width(Automatic), hSingleStep, scrollWidth);
}

int ScrollView::VLimit(int a) const
{
    return Limit(a, height(Automatic), vSingleStep, scrollHeight);
}

void ScrollView::SetHValue(int a)
{
    hValue = HLimit(a);
    // The bar follows the view; its echo must not pull the view back into a stale range.
    const QSignalBlocker blocker(hScrollBar);
    hScrollBar->setValue(hValue);
}

void ScrollView::SetVValue(int a)
{
    vValue = VLimit(a);
    const QSignalBlocker blocker(vScrollBar);
    vScrollBar->setValue(vValue);
}

void ScrollView::SetScrollWidth(int w)
{
    scrollWidth = std::max(0, w);
    HScrollUpdate();
    VScrollUpdate();
}

void ScrollView::SetScrollHeight(int h)
{
    scrollHeight = std::max(0, h);
    HScrollUpdate();
    VScrollUpdate();
}

void ScrollView::SetHSingleStep(int s)
{
    // Every position is a multiple of the step, so a step below one pixel has no meaning.
    hSingleStep = std::max(1, s);
    HScrollUpdate();
    VScrollUpdate();
}

void ScrollView::SetVSingleStep(int s)
{
    vSingleStep = std::max(1, s);
    HScrollUpdate();
    VScrollUpdate();
}

void ScrollView::SetHBarDisplay(BarDisplay d)
{
    hBarDisplay = d;
    HScrollUpdate();
    VScrollUpdate();
}

void ScrollView::SetVBarDisplay(BarDisplay d)
{
    vBarDisplay = d;
    HScrollUpdate();
    VScrollUpdate();
}

void ScrollView::ScrollUpdate()
{
    HScrollUpdate();
    VScrollUpdate();
}

void ScrollView::HScrollUpdate()
{
    if (hValue != HLimit(hValue))
        SetHValue(hValue);
    UpdateBar(hScrollBar, hBarDisplay, hValue, width(Automatic), hSingleStep, scrollWidth);
}

void ScrollView::VScrollUpdate()
{
    if (vValue != VLimit(vValue))
        SetVValue(vValue);
    UpdateBar(vScrollBar, vBarDisplay, vValue, height(Automatic), vSingleStep, scrollHeight);
}

void ScrollView::UpdateBarLayout()
{
    if (Shown(hScrollBar)) {
        const QPoint at(0, height(Automatic));
        if (hScrollBar->pos() != at)
            hScrollBar->move(at);
        if (hScrollBar->width() != width(Automatic))
            hScrollBar->resize(width(Automatic), hScrollBar->height());
    }
    if (Shown(vScrollBar)) {
        const QPoint at(width(Automatic), 0);
        if (vScrollBar->pos() != at)
            vScrollBar->move(at);
        if (vScrollBar->height() != height(Automatic))
            vScrollBar->resize(vScrollBar->width(), height(Automatic));
    }
}

void ScrollView::HScrollHome()
{
    SetHValue(0);
}

void ScrollView::HScrollEnd()
{
    SetHValue(scrollWidth);
}

void ScrollView::HScrollStepUp()
{
    SetHValue(Saturated(static_cast<long long>(hValue) - hSingleStep));
}

void ScrollView::HScrollStepDown()
{
    SetHValue(Saturated(static_cast<long long>(hValue) + hSingleStep));
}

void ScrollView::HScrollPageUp()
{
    SetHValue(Saturated(static_cast<long long>(hValue) - HAlign(width(Automatic))));
}

void ScrollView::HScrollPageDown()
{
    SetHValue(Saturated(static_cast<long long>(hValue) + HAlign(width(Automatic))));
}

void ScrollView::VScrollHome()
{
    SetVValue(0);
}

void ScrollView::VScrollEnd()
{
    SetVValue(scrollHeight);
}

void ScrollView::VScrollStepUp()
{
    SetVValue(Saturated(static_cast<long long>(vValue) - vSingleStep));
}

void ScrollView::VScrollStepDown()
{
    SetVValue(Saturated(static_cast<long long>(vValue) + vSingleStep));
}

void ScrollView::VScrollPageUp()
{
    SetVValue(Saturated(static_cast<long long>(vValue) - VAlign(height(Automatic))));
}

void ScrollView::VScrollPageDown()
{
    SetVValue(Saturated(static_cast<long long>(vValue) + VAlign(height(Automatic))));
}

void ScrollView::HScroll(ScrollAction a)
{
    switch (a) {
    case StepDown: HScrollStepDown(); break;
    case StepUp: HScrollStepUp(); break;
    case PageDown: HScrollPageDown(); break;
    case PageUp: HScrollPageUp(); break;
    case Home: HScrollHome(); break;
    case End: HScrollEnd(); break;
    }
    update();
}

void ScrollView::VScroll(ScrollAction a)
{
    switch (a) {
    case StepDown: VScrollStepDown(); break;
    case StepUp: VScrollStepUp(); break;
    case PageDown: VScrollPageDown(); break;
    case PageUp: VScrollPageUp(); break;
    case Home: VScrollHome(); break;
    case End: VScrollEnd(); break;
    }
    update();
}

void ScrollView::OnHScrollBar_ActionTriggered(int a)
{
    if (a != QAbstractSlider::SliderNoAction && a != QAbstractSlider::SliderMove)
        HScroll(static_cast<ScrollAction>(a));
}

void ScrollView::OnVScrollBar_ActionTriggered(int a)
{
    if (a != QAbstractSlider::SliderNoAction && a != QAbstractSlider::SliderMove)
        VScroll(static_cast<ScrollAction>(a));
}

void ScrollView::OnHScrollBar_ValueChanged(int v)
{
    SetHValue(v);
    update();
}

void ScrollView::OnVScrollBar_ValueChanged(int v)
{
    SetVValue(v);
    update();
}

ScrollView::BarDisplay ScrollView::ToBarDisplay(const QVariant& data)
{
    return static_cast<BarDisplay>(std::clamp(data.toInt(), int(Automatic), int(AlwaysInvisible)));
}

void ScrollView::OnAction_HBarDisplay(QAction* a)
{
    hBarDisplay = ToBarDisplay(a->data());
    HScrollUpdate();
    VScrollUpdate();
    update();
}

void ScrollView::OnAction_VBarDisplay(QAction* a)
{
    vBarDisplay = ToBarDisplay(a->data());
    HScrollUpdate();
    VScrollUpdate();
    update();
}

void ScrollView::InitializeMenu()
{
    QMenu* bars = menu->addMenu(QStringLiteral("Barres de défilement"));
    hBarMenu = bars->addMenu(QStringLiteral("Horizontale"));
    vBarMenu = bars->addMenu(QStringLiteral("Verticale"));
    const QString hLabels[] = {QStringLiteral("Automatique"), QStringLiteral("Toujours visible"),
                               QStringLiteral("Toujours invisible")};
    const QString vLabels[] = {QStringLiteral("Automatique"), QStringLiteral("Toujours visible"),
                               QStringLiteral("Toujour invisible")};
    QActionGroup* hGroup = new QActionGroup(this);
    QActionGroup* vGroup = new QActionGroup(this);
    hGroup->setExclusive(true);
    vGroup->setExclusive(true);
    for (int d = Automatic; d <= AlwaysInvisible; ++d) {
        QAction* h = hBarMenu->addAction(hLabels[d]);
        h->setCheckable(true);
        h->setData(d);
        hGroup->addAction(h);
        QAction* v = vBarMenu->addAction(vLabels[d]);
        v->setCheckable(true);
        v->setData(d);
        vGroup->addAction(v);
    }
    connect(hGroup, &QActionGroup::triggered, this, &ScrollView::OnAction_HBarDisplay);
    connect(vGroup, &QActionGroup::triggered, this, &ScrollView::OnAction_VBarDisplay);
    menu->addSeparator();
    View::InitializeMenu();
}

void ScrollView::OnMenu_AboutToShow()
{
    if (hBarMenu) {
        for (QAction* a : hBarMenu->actions())
            a->setChecked(a->data().toInt() == hBarDisplay);
        for (QAction* a : vBarMenu->actions())
            a->setChecked(a->data().toInt() == vBarDisplay);
    }
    View::OnMenu_AboutToShow();
}

bool ScrollView::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == hScrollBar || watched == vScrollBar)
        && (event->type() == QEvent::Show || event->type() == QEvent::Hide)) {
        if (barsChanging) {
            barsChangedAgain = true;
            return SingleView::eventFilter(watched, event);
        }
        // A bar that comes or goes changes the room left for the content, which may bring or
        // remove the other bar and, for a content that follows the visible height, change
        // the content itself, which may take the first bar away again. The bars are settled
        // in a few rounds here rather than by recursion, which such a content would never end.
        barsChanging = true;
        for (int round = 0; round < 4; ++round) {
            barsChangedAgain = false;
            UpdateBarLayout();
            HScrollUpdate();
            VScrollUpdate();
            // The visible area has changed: subclasses lay their content out again.
            QResizeEvent resize(size(Automatic), size(Automatic));
            QCoreApplication::sendEvent(this, &resize);
            if (!barsChangedAgain)
                break;
        }
        UpdateBarLayout();
        barsChanging = false;
        update();
    }
    return SingleView::eventFilter(watched, event);
}

void ScrollView::paintEvent(QPaintEvent* event)
{
    View::paintEvent(event);
    if (firstPaint) {
        firstPaint = false;
        HScrollUpdate();
        VScrollUpdate();
    }
    if (Shown(hScrollBar) && Shown(vScrollBar)) {
        QPainter painter(this);
        painter.fillRect(vScrollBar->x(), hScrollBar->y(), vScrollBar->width(), hScrollBar->height(),
                         hScrollBar->palette().button());
    }
}

void ScrollView::resizeEvent(QResizeEvent* event)
{
    UpdateBarLayout();
    HScrollUpdate();
    VScrollUpdate();
    QWidget::resizeEvent(event);
}

void ScrollView::keyPressEvent(QKeyEvent* event)
{
    // Keys of the numeric keypad carry a modifier of their own; they still scroll.
    if ((event->modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return;
    const int key = event->key();
    if (vKeysEnabled) {
        switch (key) {
        case Qt::Key_Home: VScroll(Home); return;
        case Qt::Key_End: VScroll(End); return;
        case Qt::Key_Up: VScroll(StepUp); return;
        case Qt::Key_Down: VScroll(StepDown); return;
        case Qt::Key_PageUp: VScroll(PageUp); return;
        case Qt::Key_PageDown: VScroll(PageDown); return;
        default: break;
        }
    }
    if (hKeysEnabled) {
        if (key == Qt::Key_Left)
            HScroll(StepUp);
        else if (key == Qt::Key_Right)
            HScroll(StepDown);
    }
}

void ScrollView::wheelEvent(QWheelEvent* event)
{
    const QPoint delta = event->angleDelta();
    const bool horizontal = std::abs(static_cast<long long>(delta.x())) > std::abs(static_cast<long long>(delta.y()));
    const int notches = (horizontal ? delta.x() : delta.y()) / 120;
    if (horizontal) {
        SetHValue(Saturated(static_cast<long long>(hValue) - static_cast<long long>(notches) * hSingleStep));
    } else if (notches != 0) {
        // Three steps a notch, one virtual step at a time. A spin longer than the whole
        // content is cut to what crosses it, so that a wild delta cannot stall the view.
        const long long wanted = 3LL * std::abs(static_cast<long long>(notches));
        const long long across = 3LL * (scrollHeight / vSingleStep / 3 + 1);
        const long long calls = std::min(wanted, std::max(3LL, across));
        for (long long i = 0; i < calls; ++i) {
            if (notches > 0)
                VScrollStepUp();
            else
                VScrollStepDown();
        }
    }
    update();
    QWidget::wheelEvent(event);
}
