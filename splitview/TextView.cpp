#include "splitview/TextView.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

int Saturated(long long v)
{
    return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

} // namespace

TextView::TextView()
    : ScrollView(),
      charWidth(0),
      lineHeight(0),
      column(0),
      line(0),
      columnOrigin(0),
      lineOrigin(0),
      textWidth(-1),
      textHeight(-1),
      extraPage(false)
{
    setTextFont(QFont(QStringLiteral("Courier New"), 11));
    SetHSingleStep(static_cast<int>(charWidth));
    SetVSingleStep(lineHeight);
}

void TextView::setTextFont(const QFont& f)
{
    textFont = f;
    boldFont = f;
    boldFont.setWeight(75);
    setFont(f);
    // A cell of no size would make every conversion divide by zero.
    lineHeight = std::max(1, QFontMetrics(f).height());
    charWidth = QFontMetricsF(f).horizontalAdvance(QChar(32));
    if (!(charWidth >= 1.0))
        charWidth = 1.0;
}

void TextView::SetTextWidth(int n)
{
    if (n == textWidth)
        return;
    textWidth = n;
    const double pixels = std::round(n * charWidth);
    SetScrollWidth(static_cast<int>(std::clamp(pixels, double(INT_MIN), double(INT_MAX))));
}

void TextView::SetTextHeight(int n)
{
    textHeight = n;
    long long lines = n;
    // The extra page holds as many whole lines as the view shows, less the last line that
    // stays in sight: the last position then puts the last line at the top, whatever part
    // of a line the view shows below its whole lines.
    if (extraPage)
        lines += std::max(0, height(Automatic) / lineHeight - 1);
    SetScrollHeight(Saturated(lines * lineHeight));
}

QPoint TextView::PixelToLocation(const QPoint& p) const
{
    const long long x = static_cast<long long>(hValue) + p.x();
    const long long y = static_cast<long long>(vValue) + p.y();
    // Left of or above the content there is no cell either.
    const int col = (x >= 0 && x < scrollWidth) ? static_cast<int>(x / charWidth) : -1;
    const int row = (y >= 0 && y < scrollHeight) ? static_cast<int>(y / lineHeight) : -1;
    return QPoint(col, row);
}

void TextView::Print(QPainter& painter, const QString& s)
{
    const int x = static_cast<int>(std::lround((column + columnOrigin) * charWidth)) - hValue;
    const int y = (line + lineOrigin + 1) * lineHeight - vValue;
    painter.drawText(QPoint(x, y), s);
    column += s.length();
}

void TextView::PrintLine(QPainter& painter, const QString& s)
{
    Print(painter, s);
    NewLine();
}

void TextView::NewLine()
{
    column = 0;
    ++line;
}

void TextView::resizeEvent(QResizeEvent* event)
{
    ScrollView::resizeEvent(event);
    if (extraPage)
        SetTextHeight(textHeight);
}
