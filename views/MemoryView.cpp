#include "views/MemoryView.h"

#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Hex.h"
#include "core/Memory.h"
#include "splitview/ViewManager.h"
#include "views/ErrorBox.h"
#include "views/StartAddressMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QContextMenuEvent>
#include <QCursor>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr unsigned long long addressSpaceEnd = 0x1000000;
// Far beyond what a screen shows (the menu offers up to 64): a request out of all proportion
// must not make every line a string of megabytes.
constexpr int mostBytesPerLine = 1024;

QChar Printable(unsigned int byte)
{
    const QChar c(static_cast<ushort>(byte & 0xFF));
    // The soft hyphen is printable but shows nothing.
    return (c.isPrint() && byte != 0xAD) ? c : QLatin1Char('.');
}

} // namespace

MemoryView::MemoryView()
    : TextView(),
      document(qobject_cast<Document*>(ViewManager::document)),
      memory(document->memory),
      registers(document->emulator->registers),
      bytePerLineAuto(false),
      bytesPerLine(16),
      addressBandEnd(static_cast<int>(std::round(6 * charWidth) + 0.5 * charWidth)),
      bytePerLineMenu(nullptr),
      offset(0),
      aligned(false)
{
    extraPage = true;
    setAttribute(Qt::WA_MouseTracking);
    SetBytePerLine(16);
}

int MemoryView::TextWidth(int n) const
{
    return static_cast<int>(std::clamp(4LL * n + 7, 0LL, static_cast<long long>(INT_MAX)));
}

unsigned int MemoryView::ScrollValueToAddress(int v) const
{
    const unsigned long long lineIndex = static_cast<unsigned long long>(std::max(v, 0) / lineHeight);
    const unsigned long long a = lineIndex * static_cast<unsigned long long>(bytesPerLine) + offset;
    return static_cast<unsigned int>(std::min<unsigned long long>(a, UINT_MAX));
}

int MemoryView::AddressToScrollValue(unsigned int a) const
{
    // The line that holds a: with the grid on a, the line that a begins.
    const unsigned long long lineIndex = a >= offset ? (a - offset) / static_cast<unsigned int>(bytesPerLine) : 0;
    return static_cast<int>(std::min<unsigned long long>(lineIndex * lineHeight, INT_MAX));
}

unsigned int MemoryView::TopAddress() const
{
    return ScrollValueToAddress(vValue);
}

void MemoryView::SetStartAddress(unsigned int a)
{
    a &= Memory::addressMask;
    if (!aligned)
        offset = a % static_cast<unsigned int>(bytesPerLine);
    UpdateScrollHeight();
    SetVValue(AddressToScrollValue(a));
}

void MemoryView::UpdateScrollHeight()
{
    const unsigned long long n = static_cast<unsigned long long>(bytesPerLine);
    SetTextHeight(static_cast<int>((addressSpaceEnd - offset + n - 1) / n));
}

int MemoryView::LimitBytePerLine(int n) const
{
    const int cells = static_cast<int>(width(Automatic) / charWidth);
    if (cells > 10 && n > 0)
        return std::min(n, mostBytesPerLine);
    return 1;
}

int MemoryView::AutomaticBytePerLine() const
{
    const int cells = static_cast<int>(width(Automatic) / charWidth);
    return LimitBytePerLine((cells - 7) / 4);
}

void MemoryView::SetBytePerLine(int n)
{
    const unsigned int top = TopAddress();
    bytePerLineAuto = false;
    bytesPerLine = LimitBytePerLine(n);
    SetTextWidth(TextWidth(std::min(n, mostBytesPerLine)));
    UpdateScrollHeight();
    SetStartAddress(top);
}

void MemoryView::SetBytePerLineAuto(bool on)
{
    const unsigned int top = TopAddress();
    bytePerLineAuto = on;
    if (on)
        bytesPerLine = AutomaticBytePerLine();
    SetTextWidth(TextWidth(bytesPerLine));
    UpdateScrollHeight();
    SetStartAddress(top);
}

void MemoryView::UpdateBytePerLine()
{
    if (!bytePerLineAuto)
        return;
    const unsigned int top = TopAddress();
    bytesPerLine = AutomaticBytePerLine();
    // The width of a one-byte line: the lines follow the view, nothing to scroll sideways.
    SetTextWidth(TextWidth(1));
    SetStartAddress(top);
}

void MemoryView::SetAligned(bool a)
{
    aligned = a;
    if (a)
        offset = 0;
}

unsigned int MemoryView::LineLength(unsigned int address) const
{
    if (address >= addressSpaceEnd)
        return 0;
    return static_cast<unsigned int>(
        std::min<unsigned long long>(static_cast<unsigned long long>(bytesPerLine), addressSpaceEnd - address));
}

QString MemoryView::GetHexaLine(unsigned int address) const
{
    QString text;
    const unsigned int count = LineLength(address);
    text.reserve(static_cast<int>(3 * count));
    // The view is painted while a run writes memory: peeked, as the characters and the tip.
    for (unsigned int i = 0; i < count; ++i) {
        if (i > 0)
            text += QLatin1Char(' ');
        Hex::Append(text, memory->Peek(address + i, 8), 2);
    }
    return text;
}

QString MemoryView::GetAsciiLine(unsigned int address) const
{
    QString text;
    const unsigned int count = LineLength(address);
    text.reserve(static_cast<int>(count));
    for (unsigned int i = 0; i < count; ++i)
        text += Printable(memory->Peek(address + i, 8));
    return text;
}

QPoint MemoryView::PixelToLocation(const QPoint& p) const
{
    QPoint location = TextView::PixelToLocation(p);
    if (bytePerLineAuto) {
        // The text width is that of a one-byte line here; the line itself is as wide as the
        // view allows.
        const long long x = static_cast<long long>(hValue) + p.x();
        const long long lineWidth = std::llround(TextWidth(bytesPerLine) * charWidth);
        location.setX(x >= 0 && x < lineWidth ? static_cast<int>(x / charWidth) : -1);
    }
    return location;
}

void MemoryView::UpdateToolTip()
{
    UpdateToolTip(QCursor::pos());
}

long long MemoryView::AddressAt(const QPoint& p) const
{
    const QPoint location = PixelToLocation(p);
    const long long col = location.x();
    const long long row = location.y();
    const long long n = bytesPerLine;
    long long address = -1;
    if (p.x() >= 0 && p.y() >= 0 && p.x() < width(Automatic) && p.y() < height(Automatic) && col >= 0 && row >= 0) {
        if (col >= 7 && col <= 3 * n + 5) {
            // Every third cell is the blank between two bytes.
            if ((col - 6) % 3 != 0)
                address = n * row + offset + (col - 7) / 3;
        } else if (col >= 3 * n + 7 && col < 4 * n + 7) {
            address = n * row + offset + (col - 3 * n - 7);
        }
    }
    return address > static_cast<long long>(Memory::addressMask) ? -1 : address;
}

void MemoryView::UpdateToolTip(const QPoint& globalPos)
{
    const long long address = AddressAt(mapFromGlobal(globalPos));
    if (address < 0) {
        QToolTip::hideText();
        return;
    }
    const unsigned int byte = memory->Peek(static_cast<unsigned int>(address), 8);
    QString addressText;
    Hex::Append(addressText, static_cast<unsigned int>(address), 6);
    QString byteText;
    Hex::Append(byteText, byte, 2);
    const QString text = QStringLiteral("($%1) = $%2 = %3 = '%4'")
                             .arg(addressText, byteText)
                             .arg(byte, 3, 10, QLatin1Char('0'))
                             .arg(Printable(byte));
    // Rich text: the byte's character may be '<' or '&'.
    const QString tip = QStringLiteral("<p style='white-space:pre'><span style=\"font: 11pt %1;\">%2</span></p>")
                            .arg(textFont.family().toHtmlEscaped(), text.toHtmlEscaped());
    if (tip != QToolTip::text())
        QToolTip::showText(globalPos, tip, this);
}

void MemoryView::VScrollHome()
{
    offset = 0;
    SetStartAddress(0);
}

void MemoryView::HScroll(ScrollAction a)
{
    TextView::HScroll(a);
    UpdateToolTip();
}

void MemoryView::VScroll(ScrollAction a)
{
    TextView::VScroll(a);
    UpdateToolTip();
}

void MemoryView::Draw(QPainter& painter)
{
    const int h = height(Automatic);
    painter.setPen(Qt::gray);
    painter.drawLine(addressBandEnd - hValue, 0, addressBandEnd - hValue, h - 1);
    painter.fillRect(-hValue, 0, addressBandEnd, h, QColor(240, 240, 240));
    painter.setPen(Qt::black);
    column = 0;
    line = vValue / lineHeight;
    const int last = line + (h + 1) / lineHeight;
    const int asciiColumn = 3 * bytesPerLine + 7;
    const int first = line;
    const unsigned long long top = ScrollValueToAddress(vValue);
    // The addresses first and then the bytes, each in one font: a change of font for every
    // line would cost more than the text itself.
    painter.setFont(boldFont);
    QString text;
    for (unsigned long long address = top; line <= last && address < addressSpaceEnd; address += bytesPerLine) {
        text.clear();
        Hex::Append(text, static_cast<unsigned int>(address), 6);
        column = 0;
        Print(painter, text);
        NewLine();
    }
    painter.setFont(textFont);
    line = first;
    for (unsigned long long address = top; line <= last && address < addressSpaceEnd; address += bytesPerLine) {
        const unsigned int a = static_cast<unsigned int>(address);
        column = 7;
        Print(painter, GetHexaLine(a));
        column = asciiColumn;
        Print(painter, GetAsciiLine(a));
        NewLine();
    }
}

void MemoryView::resizeEvent(QResizeEvent* event)
{
    UpdateBytePerLine();
    TextView::resizeEvent(event);
}

void MemoryView::mouseMoveEvent(QMouseEvent* event)
{
    UpdateToolTip(event->globalPos());
    QWidget::mouseMoveEvent(event);
}

void MemoryView::keyPressEvent(QKeyEvent* event)
{
    const bool control = (event->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier;
    const int key = event->key();
    if (!aligned && control && (key == Qt::Key_Left || key == Qt::Key_Right)) {
        const unsigned int top = TopAddress();
        SetStartAddress(key == Qt::Key_Right ? top + 1 : top - 1);
        update();
        UpdateToolTip();
        return;
    }
    TextView::keyPressEvent(event);
}

void MemoryView::InitializeMenu()
{
    connect(StartAddressMenu::Add(menu, this), &QActionGroup::triggered, this, &MemoryView::OnAction_SetStartAddress);
    bytePerLineMenu = menu->addMenu(QStringLiteral("Nombre d'octets par ligne"));
    QActionGroup* group = new QActionGroup(this);
    group->setExclusive(true);
    QAction* automatic = group->addAction(QIcon(QStringLiteral(":/Icon/SelectBytePerLine")), QStringLiteral("Automatique"));
    automatic->setData(0);
    automatic->setCheckable(true);
    for (int n = 1; n <= 64; n *= 2) {
        QAction* a = group->addAction(QString::number(n));
        a->setData(n);
        a->setCheckable(true);
    }
    bytePerLineMenu->addActions(group->actions());
    connect(group, &QActionGroup::triggered, this, &MemoryView::OnAction_BytePerLine);
    watchMenu = menu->addMenu(QStringLiteral("Point d'observation sur l'octet"));
    for (WatchKind kind : {WatchWrite, WatchRead, WatchAccess}) {
        QAction* a = watchMenu->addAction(QStringLiteral("En %1").arg(Watchpoint::KindName(kind)));
        a->setData(int(kind));
    }
    connect(watchMenu, &QMenu::triggered, this, &MemoryView::OnAction_Watch);
    lastWriteAction = menu->addAction(QStringLiteral("Dernière écriture"), this, &MemoryView::OnAction_LastWrite);
    menu->addSeparator();
    TextView::InitializeMenu();
}

void MemoryView::contextMenuEvent(QContextMenuEvent* event)
{
    menuAddress = AddressAt(event->pos());
    TextView::contextMenuEvent(event);
}

void MemoryView::OnAction_Watch(QAction* a)
{
    if (menuAddress < 0)
        return;
    const Watchpoint w(static_cast<unsigned int>(menuAddress), 1, static_cast<WatchKind>(a->data().toInt()));
    if (!document->AddWatchpoint(w))
        ErrorBox::Show(this, QStringLiteral("Le point d'observation existe déjà."));
}

void MemoryView::OnAction_LastWrite()
{
    if (menuAddress >= 0)
        emit document->LastWriteRequested(static_cast<unsigned int>(menuAddress), 0xFF);
}

void MemoryView::OnMenu_AboutToShow()
{
    if (watchMenu) {
        watchMenu->setEnabled(menuAddress >= 0);
        lastWriteAction->setEnabled(menuAddress >= 0);
    }
    if (bytePerLineMenu) {
        for (QAction* a : bytePerLineMenu->actions()) {
            const int n = a->data().toInt();
            a->setChecked(bytePerLineAuto ? n == 0 : n != 0 && n == bytesPerLine);
        }
    }
    TextView::OnMenu_AboutToShow();
}

void MemoryView::OnAction_SetStartAddress(QAction* a)
{
    unsigned int address = 0;
    if (!StartAddressMenu::Resolve(a, document, this, address))
        return;
    SetStartAddress(address);
    update();
}

void MemoryView::OnAction_BytePerLine(QAction* a)
{
    const int n = a->data().toInt();
    if (n == 0)
        SetBytePerLineAuto(true);
    else
        SetBytePerLine(n);
    update();
}
