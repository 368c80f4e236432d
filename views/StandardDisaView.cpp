#include "views/StandardDisaView.h"

#include "core/ThreadSanitizer.h"

#include "core/Disassembler.h"
#include "session/Document.h"
#include "session/Profile.h"
#include "core/Register.h"
#include "program/SymbolTable.h"
#include "splitview/ViewManager.h"
#include "views/DisaLines.h"
#include "views/StartAddressMenu.h"

#include <QActionGroup>
#include <QContextMenuEvent>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <climits>

namespace {

constexpr unsigned int addressSpaceEnd = 0x1000000;

} // namespace

StandardDisaView::StandardDisaView()
    : DisaView()
{
    SetTextWidth(0);
    extraPage = true;
    SetHBarDisplay(AlwaysInvisible);
    SetTextHeight(contentLines);
}

int StandardDisaView::AddressToScrollValue(unsigned int a) const
{
    const long long v = static_cast<long long>(a >> 1) * lineHeight;
    return static_cast<int>(std::min<long long>(v, INT_MAX));
}

unsigned int StandardDisaView::ScrollValueToAddress(int v) const
{
    return static_cast<unsigned int>(std::max(v, 0) / lineHeight) * 2u;
}

unsigned int StandardDisaView::TopAddress() const
{
    return ScrollValueToAddress(vValue);
}

void StandardDisaView::SetStartAddress(unsigned int a)
{
    SetVValue(AddressToScrollValue(a & 0xFFFFFF));
}

void StandardDisaView::VScrollStepDown()
{
    const unsigned int top = TopAddress();
    DisaLines lines = LinesFrom(top);
    // The top row shows a whole word: a line that starts on an odd label's byte is no top,
    // the step goes on to the line after it.
    do
        lines.Next();
    while (lines.Address() < addressSpaceEnd && (lines.Address() & ~1u) <= top);
    if (lines.Address() < addressSpaceEnd)
        SetStartAddress(lines.Address());
}

DisaLines StandardDisaView::LinesFrom(unsigned int address) const
{
    return DisaLines(disassembler, document->symbols, address);
}

unsigned int StandardDisaView::AddressAtRow(int row)
{
    // A label's row stands for the instruction that it names.
    DisaLines lines = LinesFrom(TopAddress());
    int r = 0;
    while (lines.Address() < addressSpaceEnd) {
        if (lines.Label() && r++ == row)
            return lines.Address();
        if (r++ == row)
            return lines.Address();
        lines.Next();
    }
    return lines.Address();
}

void StandardDisaView::VScrollPageDown()
{
    const unsigned int next = AddressAtRow((height(Automatic) + 1) / lineHeight);
    if (next < addressSpaceEnd)
        SetStartAddress(next);
}

void StandardDisaView::Draw(QPainter& painter)
{
    column = 0;
    line = 0;
    FillBands(painter, QColor(248, 248, 248), QColor(240, 240, 240));
    painter.setPen(Qt::black);
    const int first = vValue / lineHeight;
    line = first;
    const int last = line + (height(Automatic) + 1) / lineHeight;
    // The lines that a horizontal bar would leave in sight decide the text width, so that the
    // bar cannot come and go with the lines it hides.
    const int counted = first + (height(AlwaysVisible) + 1) / lineHeight;
    DisaLines lines = LinesFrom(2u * static_cast<unsigned int>(line));
    int widest = 0;
    while (line <= last && lines.Address() < addressSpaceEnd) {
        if (const SymbolTable::Symbol* label = lines.Label()) {
            PrintLabel(painter, label->name);
            if (line < counted)
                widest = std::max(widest, machineCodeColumn + int(label->name.length()) + 1 + columnOrigin);
            NewLine();
            if (line > last)
                break;
        }
        lines.Next();
        if (const Profile* profile = document->profile) {
            const Profile::Instruction* ran = profile->InstructionAt(disassembler->startAddress);
            DrawHeatMark(painter, ran ? ran->cycles : 0, profile->hottestInstruction);
        }
        DrawBreakpoint(painter);
        PrintFields(painter);
        DrawArrow(painter);
        if (cursor && disassembler->startAddress == *cursor)
            DrawCursorFrame(painter);
        if (line < counted)
            widest = std::max(widest, OperandColumn() + int(disassembler->operand.length()) + columnOrigin);
        NewLine();
    }
    DrawBandLines(painter);
    const int before = hValue;
    SetTextWidth(widest);
    // A narrower text may pull the view left of what has just been drawn.
    if (hValue != before)
        update();
}

// A label on a line of its own above its instruction, where the machine code would be.
void StandardDisaView::PrintLabel(QPainter& painter, const QString& name)
{
    painter.setFont(boldFont);
    painter.setPen(QColor(0, 0, 150));
    column = machineCodeColumn;
    Print(painter, name);
    Print(painter, QStringLiteral(":"));
    painter.setPen(Qt::black);
}

void StandardDisaView::DrawBreakpoint(QPainter& painter)
{
    const Breakpoint breakpoint = document->GetBreakpoint(disassembler->startAddress);
    if (breakpoint.type == NoBreakpoint)
        return;
    DrawBreakpointBall(painter, breakpoint.type);
    if (breakpoint.enabled)
        DrawBreakpointFrame(painter, breakpoint.type);
}

void StandardDisaView::DrawBreakpointBall(QPainter& painter, BreakpointType type)
{
    DrawMarginImage(painter, type == AddressBreakpoint ? AddressBallImage() : InstructionBallImage());
}

void StandardDisaView::DrawBreakpointFrame(QPainter& painter, BreakpointType type)
{
    if (type == AddressBreakpoint)
        DrawLineFrame(painter, QColor(139, 0, 0), QColor(255, 245, 238));
    else
        DrawLineFrame(painter, QColor(0, 0, 139), QColor(240, 248, 255));
}

void StandardDisaView::DrawArrow(QPainter& painter)
{
    // The view may be painted while a run changes pc, and then shows where it was.
    unsigned int pc;
    {
        const ThreadSanitizer::Unchecked shown;
        pc = registers->pc;
    }
    // The processor fetches through a 24-bit address bus.
    if (disassembler->startAddress == (pc & 0xFFFFFF))
        DrawMarginImage(painter, ArrowImage());
}

std::optional<unsigned int> StandardDisaView::InstructionAt(const QPoint& p)
{
    // Below the last instruction of the address space a line is empty: there is nothing
    // there, and the address would wrap to the bottom of memory.
    const unsigned int a = AddressAtRow(p.y() / lineHeight);
    if (p.y() < 0 || a >= addressSpaceEnd)
        return std::nullopt;
    return a;
}

std::optional<unsigned int> StandardDisaView::CursorAddress() const
{
    return cursor;
}

void StandardDisaView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        const QPoint p = event->localPos().toPoint();
        const std::optional<unsigned int> a = InstructionAt(p);
        if (a && p.x() <= marginWidth - hValue) {
            document->SwapAddressBP(*a);
            if (manager && manager->rootView)
                manager->rootView->update();
            else
                update();
        } else if (a) {
            cursor = a;
            update();
        }
    }
    QWidget::mousePressEvent(event);
}

void StandardDisaView::contextMenuEvent(QContextMenuEvent* event)
{
    AimCursorEntries(InstructionAt(event->pos()));
    DisaView::contextMenuEvent(event);
}

void StandardDisaView::InitializeMenu()
{
    connect(StartAddressMenu::Add(menu, this), &QActionGroup::triggered, this,
            &StandardDisaView::OnAction_SetStartAddress);
    AddCyclesEntry();
    menu->addSeparator();
    AddCursorEntries();
    menu->addSeparator();
    DisaView::InitializeMenu();
}

void StandardDisaView::OnAction_SetStartAddress(QAction* a)
{
    unsigned int address = 0;
    if (!StartAddressMenu::Resolve(a, document, this, address))
        return;
    SetStartAddress(address);
    update();
}
