#include "app/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

const QMargins WindowPlacement::assumedFrame(8, 32, 8, 8);

namespace {

// The start of a span of the given length inside [low, high), nearest to start; the low end
// when the span is too long.
int Clamp(int start, int length, int low, int high)
{
    return std::max(low, std::min(start, high - length));
}

} // namespace

QRect WindowPlacement::Fit(const QRect& geometry, const QMargins& frame, const QRect& available, const QSize& minimum)
{
    const QSize room = available.size().shrunkBy(frame);
    const QSize size = geometry.size().boundedTo(room).expandedTo(minimum);
    const QRect framed = QRect(geometry.topLeft(), size).marginsAdded(frame);
    const int left = Clamp(framed.left(), framed.width(), available.left(), available.left() + available.width());
    const int top = Clamp(framed.top(), framed.height(), available.top(), available.top() + available.height());
    return QRect(QPoint(left + frame.left(), top + frame.top()), size);
}

void WindowPlacement::FitToScreen(QWidget* window)
{
    const QSize room = Room(window);
    if (window->minimumSize() != window->maximumSize())
        window->setMinimumSize(window->minimumSize().boundedTo(room));
    window->setGeometry(Fit(window->geometry(), Frame(window), Available(window), window->minimumSize()));
}

QRect WindowPlacement::Available(const QWidget* window)
{
    QScreen* screen = QGuiApplication::screenAt(window->geometry().center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen->availableGeometry();
}

QMargins WindowPlacement::Frame(const QWidget* window)
{
    const QRect inner = window->geometry();
    const QRect outer = window->frameGeometry();
    const QMargins frame(inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
                         outer.bottom() - inner.bottom());
    return frame.isNull() ? assumedFrame : frame;
}

QSize WindowPlacement::Room(const QWidget* window)
{
    return Available(window).size().shrunkBy(Frame(window));
}
