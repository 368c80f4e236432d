#ifndef ZENDRA_VIEWS_STANDARDDISAVIEW_H
#define ZENDRA_VIEWS_STANDARDDISAVIEW_H

#include "core/Breakpoint.h"
#include "views/DisaLines.h"
#include "views/DisaView.h"

class QAction;

// The instructions of the simulated memory from a start address downwards, with the program
// counter's arrow and the breakpoint marks in the margin. The content has one line per word
// of the address space; it scrolls down by instructions and up by words.
class StandardDisaView : public DisaView
{
    Q_OBJECT

public:
    // One line per 16-bit word of the 16 MiB address space.
    static constexpr int contentLines = 0x800000;

    StandardDisaView();

    virtual void SetStartAddress(unsigned int a);

    int AddressToScrollValue(unsigned int a) const;
    unsigned int ScrollValueToAddress(int v) const;

    void InitializeMenu() override;
    void Draw(QPainter& painter) override;
    std::optional<unsigned int> CursorAddress() const override;
    void VScrollStepDown() override;
    void VScrollPageDown() override;

    void DrawBreakpoint(QPainter& painter);
    void DrawBreakpointBall(QPainter& painter, BreakpointType type);
    void DrawBreakpointFrame(QPainter& painter, BreakpointType type);
    void DrawArrow(QPainter& painter);
    // The address of the instruction on a visible row, counted from the top: rows of
    // labels stand for the instruction below them.
    unsigned int AddressAtRow(int row);

public slots:
    void OnAction_SetStartAddress(QAction* a);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    // The instruction on the row at a point of the view, none below the address space.
    std::optional<unsigned int> InstructionAt(const QPoint& p);
    // The cursor line's instruction, once the user has clicked one.
    std::optional<unsigned int> cursor;

    unsigned int TopAddress() const;
    DisaLines LinesFrom(unsigned int address) const;
    void PrintLabel(QPainter& painter, const QString& name);
};

#endif
