#ifndef ZENDRA_VIEWS_SOURCEVIEW_H
#define ZENDRA_VIEWS_SOURCEVIEW_H

#include "core/Breakpoint.h"
#include "views/DisaView.h"

#include <QStringList>

// The source file and line that the program counter is on, from the program's line table,
// laid out as a disassembly: the margin with the arrow and the breakpoint marks, the line
// numbers in the address band, the text where the machine code would be. A click in the
// margin sets or removes an address breakpoint on the line's first instruction.
class SourceView : public DisaView
{
    Q_OBJECT

public:
    SourceView();

    // Shows the line of the instruction at address, scrolled into sight if it is not.
    virtual void SetStartAddress(unsigned int address);

    void Draw(QPainter& painter) override;
    void InitializeMenu() override;
    std::optional<unsigned int> CursorAddress() const override;

    // What the view shows: the line table's index and the path of the file found, or, when
    // there is no file to show, the sentence that says why.
    int file;
    QString path;
    QStringList text;
    QString status;
    // The cursor line's number in the file shown, 0 for none.
    int cursorLine = 0;

    // The C name under a point of the view, with the members and pointers before it that
    // lead to it ("p->next->value"); empty where there is none.
    QString ExpressionAt(const QPoint& point) const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    // Hovering a name shows its value in the selected frame, when it has one.
    bool event(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool ShowFile(int index);
    // Where a file of the line table is: as the table names it, else beside the program.
    QString Locate(const QString& name) const;
    void SetStatus(const QString& sentence);
    // The breakpoint to mark on a line: the strongest at any of its statements.
    Breakpoint LineBreakpoint(int number) const;
    // Scrolls a line into sight with a third of the view above it for context.
    void Place(int index);
    // The number of the file's line at a point of the view, 0 outside the text.
    int LineAt(const QPoint& p) const;
    // The first statement of a line of the file shown.
    std::optional<unsigned int> FirstStatement(int number) const;

    int serial;
    // The line last placed while the view had no height yet, to place again once it has.
    int unplaced;
};

#endif
