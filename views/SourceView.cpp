#include "views/SourceView.h"

#include "core/ThreadSanitizer.h"

#include "core/Disassembler.h"
#include "program/DebugInfo.h"
#include "session/CallStack.h"
#include "session/Document.h"
#include "session/ExpressionEvaluator.h"
#include "session/Profile.h"
#include "session/ValueFormatter.h"
#include "core/Register.h"
#include "program/LineTable.h"
#include "splitview/ViewManager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include <algorithm>

namespace {

constexpr int tabWidth = 8;

QString ExpandTabs(const QString& line)
{
    if (!line.contains(QLatin1Char('\t')))
        return line;
    QString expanded;
    expanded.reserve(line.size() + tabWidth);
    for (const QChar c : line) {
        if (c == QLatin1Char('\t'))
            expanded += QString(tabWidth - expanded.size() % tabWidth, QLatin1Char(' '));
        else
            expanded += c;
    }
    return expanded;
}

} // namespace

SourceView::SourceView()
    : DisaView(),
      file(-1),
      serial(-1),
      unplaced(-1)
{
    SetStartAddress(registers->pc);
}

void SourceView::SetStatus(const QString& sentence)
{
    file = -1;
    cursorLine = 0;
    path.clear();
    text.clear();
    status = sentence;
    SetTextHeight(1);
    SetTextWidth(status.size());
    update();
}

QString SourceView::Locate(const QString& name) const
{
    const QFileInfo named(name);
    if (named.isFile())
        return named.filePath();
    if (!document->programFile.isEmpty()) {
        const QFileInfo beside(QFileInfo(document->programFile).dir(), named.fileName());
        if (beside.isFile())
            return beside.filePath();
    }
    return QString();
}

bool SourceView::ShowFile(int index)
{
    if (index == file && status.isEmpty())
        return true;
    const QString name = document->lines->Files().value(index);
    const QString found = Locate(name);
    QFile source(found);
    if (found.isEmpty() || !source.open(QIODevice::ReadOnly)) {
        SetStatus(QStringLiteral("Fichier source introuvable : %1").arg(name));
        return false;
    }
    QString all = QString::fromUtf8(source.readAll());
    all.remove(QLatin1Char('\r'));
    text = all.split(QLatin1Char('\n'));
    // A final line break ends the last line rather than starting one more.
    if (text.size() > 1 && text.last().isEmpty())
        text.removeLast();
    int widest = 0;
    for (QString& l : text) {
        l = ExpandTabs(l);
        widest = std::max(widest, int(l.size()));
    }
    file = index;
    cursorLine = 0;
    path = found;
    status.clear();
    SetTextHeight(text.size());
    SetTextWidth(columnOrigin + machineCodeColumn + widest);
    return true;
}

void SourceView::SetStartAddress(unsigned int address)
{
    if (serial != document->programSerial) {
        serial = document->programSerial;
        file = -1;
        status.clear();
    }
    const LineTable* lines = document->lines;
    if (lines->IsEmpty()) {
        SetStatus(QStringLiteral("Aucune ligne source : ce programme n'a pas de table des lignes "
                                 "(ouvrez un exécutable ELF construit avec -g)."));
        return;
    }
    const LineTable::Row* row = lines->Find(address & 0xFFFFFF);
    if (!row) {
        // Code without lines (a library, start-up code) leaves the last file in sight.
        if (file < 0)
            SetStatus(QStringLiteral("Aucune ligne source pour l'adresse $%1.")
                          .arg(Disassembler::Hexa(address & 0xFFFFFF, Disassembler::AddressFieldSize)));
        update();
        return;
    }
    if (!ShowFile(row->file))
        return;
    Place(row->line - 1);
    update();
}

void SourceView::Place(int index)
{
    const int first = vValue / lineHeight;
    const int rows = height(Automatic) / lineHeight;
    const bool again = unplaced >= 0;
    unplaced = rows < 3 ? index : -1;
    if (index < first || index >= first + rows || again || unplaced >= 0)
        SetVValue(std::max(0, index - rows / 3) * lineHeight);
}

void SourceView::resizeEvent(QResizeEvent* event)
{
    DisaView::resizeEvent(event);
    if (unplaced >= 0 && status.isEmpty())
        Place(unplaced);
}

Breakpoint SourceView::LineBreakpoint(int number) const
{
    Breakpoint best(NoBreakpoint, false);
    for (const unsigned int a : document->lines->Addresses(file, number)) {
        const Breakpoint b = document->GetBreakpoint(a);
        if (b.type != NoBreakpoint && (best.type == NoBreakpoint || (b.enabled && !best.enabled)))
            best = b;
    }
    return best;
}

void SourceView::Draw(QPainter& painter)
{
    column = 0;
    line = 0;
    painter.setPen(Qt::black);
    painter.setFont(textFont);
    if (!status.isEmpty()) {
        column = -columnOrigin;
        Print(painter, status);
        return;
    }
    FillBands(painter, QColor(248, 248, 248), QColor(240, 240, 240));
    painter.setPen(Qt::black);
    // The view may be painted while a run changes pc, and then shows where it was.
    unsigned int pc;
    {
        const ThreadSanitizer::Unchecked shown;
        pc = registers->pc;
    }
    const LineTable::Row* current = document->lines->Find(pc & 0xFFFFFF);
    const int currentLine = current && current->file == file ? current->line : 0;
    const int first = vValue / lineHeight;
    const int last = std::min(first + (height(Automatic) + 1) / lineHeight, int(text.size()) - 1);
    for (line = first; line <= last;) {
        const int number = line + 1;
        if (const Profile* profile = document->profile) {
            const Profile::Line* ran = profile->LineAt(file, number);
            DrawHeatMark(painter, ran ? ran->cycles : 0, profile->hottestLine);
        }
        const Breakpoint breakpoint = LineBreakpoint(number);
        if (breakpoint.type != NoBreakpoint) {
            const bool address = breakpoint.type == AddressBreakpoint;
            DrawMarginImage(painter, address ? AddressBallImage() : InstructionBallImage());
            if (breakpoint.enabled)
                DrawLineFrame(painter, address ? QColor(139, 0, 0) : QColor(0, 0, 139),
                              address ? QColor(255, 245, 238) : QColor(240, 248, 255));
        }
        painter.setPen(QColor(96, 96, 96));
        column = addressColumn;
        Print(painter, QString::number(number).rightJustified(Disassembler::AddressFieldSize));
        painter.setPen(Qt::black);
        column = machineCodeColumn;
        Print(painter, text.at(line));
        if (number == currentLine)
            DrawMarginImage(painter, ArrowImage());
        if (number == cursorLine)
            DrawCursorFrame(painter);
        NewLine();
    }
    DrawBandLines(painter);
}

int SourceView::LineAt(const QPoint& p) const
{
    if (!status.isEmpty() || file < 0)
        return 0;
    const int number = (p.y() + vValue) / lineHeight + 1;
    return number >= 1 && number <= text.size() ? number : 0;
}

std::optional<unsigned int> SourceView::FirstStatement(int number) const
{
    if (number <= 0)
        return std::nullopt;
    const std::vector<unsigned int> addresses = document->lines->Addresses(file, number);
    if (addresses.empty())
        return std::nullopt;
    return addresses.front();
}

std::optional<unsigned int> SourceView::CursorAddress() const
{
    return FirstStatement(cursorLine);
}

void SourceView::InitializeMenu()
{
    AddCursorEntries();
    menu->addSeparator();
    DisaView::InitializeMenu();
}

void SourceView::contextMenuEvent(QContextMenuEvent* event)
{
    AimCursorEntries(FirstStatement(LineAt(event->pos())));
    DisaView::contextMenuEvent(event);
}

void SourceView::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = event->localPos().toPoint();
    const int number = LineAt(p);
    if (event->button() == Qt::LeftButton && number > 0 && p.x() > marginWidth - hValue) {
        cursorLine = number;
        update();
    }
    if (event->button() == Qt::LeftButton && number > 0 && p.x() <= marginWidth - hValue) {
        const std::vector<unsigned int> addresses = document->lines->Addresses(file, number);
        if (!addresses.empty()) {
            // A line with a breakpoint on any of its statements loses them all; a line
            // without gets one on its first.
            bool removed = false;
            for (const unsigned int a : addresses) {
                if (document->addressBreakpoints.contains(a)) {
                    document->RemoveAddressBreakpoint(a);
                    removed = true;
                }
            }
            if (!removed)
                document->AddAddressBreakpoint(addresses.front());
            if (manager && manager->rootView)
                manager->rootView->update();
            else
                update();
        }
    }
    QWidget::mousePressEvent(event);
}

QString SourceView::ExpressionAt(const QPoint& point) const
{
    if (!status.isEmpty() || file < 0)
        return QString();
    const QPoint cell = PixelToLocation(point);
    const int at = cell.x() - columnOrigin - machineCodeColumn;
    if (cell.y() < 0 || cell.y() >= text.size() || at < 0 || at >= text.at(cell.y()).size())
        return QString();
    const QString& source = text.at(cell.y());
    const auto isName = [&source](int i) {
        return i >= 0 && i < source.size() && (source.at(i).isLetterOrNumber() || source.at(i) == QLatin1Char('_'));
    };
    if (!isName(at))
        return QString();
    int end = at;
    while (isName(end + 1))
        ++end;
    int start = at;
    for (;;) {
        while (isName(start - 1))
            --start;
        // Leftwards through "." and "->" to the name they start from.
        if (start >= 2 && source.midRef(start - 2, 2) == QLatin1String("->") && isName(start - 3))
            start -= 3;
        else if (start >= 1 && source.at(start - 1) == QLatin1Char('.') && isName(start - 2))
            start -= 2;
        else
            break;
    }
    if (source.at(start).isDigit())
        return QString();
    return source.mid(start, end - start + 1);
}

bool SourceView::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return DisaView::event(event);
    QHelpEvent* help = static_cast<QHelpEvent*>(event);
    const QString expression = isEnabled() && !document->debugInfo->IsEmpty() ? ExpressionAt(help->pos()) : QString();
    if (expression.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    CallStack stack(*document);
    stack.Unwind(*registers);
    const ValueFormatter formatter(document->debugInfo, document->memory, document->symbols);
    const int frame = document->selectedFrame < int(stack.frames.size()) ? document->selectedFrame : 0;
    ExpressionEvaluator evaluator(document->debugInfo, document->memory, &stack, frame, &formatter);
    DebugValue value;
    QString error;
    if (evaluator.Evaluate(expression, &value, &error))
        QToolTip::showText(help->globalPos(), expression + QStringLiteral(" = ") + formatter.Text(value), this);
    else
        QToolTip::hideText();
    return true;
}
