#ifndef ZENDRA_VIEWS_DISAVIEW_H
#define ZENDRA_VIEWS_DISAVIEW_H

#include "splitview/TextView.h"

#include <optional>

class Disassembler;
class Document;
class Memory;
class QAction;
class Register;

// What the two disassembly views share: the document's machine, the left margin and the
// address band, the columns of the four fields of a line, and the setting that shows each
// instruction's cycles in a column of its own.
class DisaView : public TextView
{
    Q_OBJECT

public:
    DisaView();

    // Character columns of the fields, counted after the margin (columnOrigin), with the
    // cycles hidden.
    static const int addressColumn;
    static const int machineCodeColumn;
    static const int mnemonicColumn;
    static const int operandColumn;
    static const int lastColumn;
    // Shown, the cycles take the mnemonic's place, their numbers right-aligned, and push the
    // mnemonic and the operands right by cyclesShift.
    static const int cyclesColumn;
    static const int cyclesShift;
    int MnemonicColumn() const { return mnemonicColumn + (showCycles ? cyclesShift : 0); }
    int OperandColumn() const { return operandColumn + (showCycles ? cyclesShift : 0); }

    bool ShowsCycles() const { return showCycles; }
    void SetShowCycles(bool on);

    // The instruction of the cursor line, the line that the user last clicked outside the
    // margin: the window's "Exécuter jusqu'au curseur" and "Placer le PC ici" act on the
    // active view's. None before a click, or on a line without code.
    virtual std::optional<unsigned int> CursorAddress() const { return std::nullopt; }
    // Those commands apply to address: the window lets runs start, a program is open, and
    // the program counter is not there already.
    bool CursorCommandsApply(unsigned int address) const;

    Document* document;
    Memory* memory;
    Disassembler* disassembler;
    Register* registers;
    int addressBandEnd;
    int marginWidth;

protected:
    // The checkable entry "Afficher les cycles", for the views whose lines are instructions.
    void AddCyclesEntry();
    // "Exécuter jusqu'au curseur" and "Placer le PC ici", for the instruction under the
    // mouse, which the view names as its menu opens (none: both disabled).
    void AddCursorEntries();
    void AimCursorEntries(std::optional<unsigned int> address);
    // The dotted outline of the cursor line, over the current line.
    void DrawCursorFrame(QPainter& painter);
    // Fills the margin and the address band over the visible height.
    void FillBands(QPainter& painter, const QColor& margin, const QColor& band);
    // The two black lines that close the margin and the address band.
    void DrawBandLines(QPainter& painter);
    // The disassembler's last line at the current line: the address in bold, then the
    // machine code, the cycles when shown (for an instruction), the mnemonic and the operands.
    void PrintFields(QPainter& painter);
    // A 16-pixel image of the margin (arrow, breakpoint ball) at the current line.
    void DrawMarginImage(QPainter& painter, const QImage& image);
    // The margin at the current line shaded by what it cost in the profile: cycles of the
    // hottest (none for 0), in four shades from a hundredth of it up to half.
    void DrawHeatMark(QPainter& painter, unsigned long long cycles, unsigned long long hottest);
    // The frame that marks an enabled breakpoint's line, drawn behind its text.
    void DrawLineFrame(QPainter& painter, const QColor& outline, const QColor& fill);

    // Decoded once: the margins draw them on every line of every paint.
    static const QImage& ArrowImage();
    static const QImage& AddressBallImage();
    static const QImage& InstructionBallImage();

private:
    void PrintCycles(QPainter& painter);

    bool showCycles = false;
    QAction* cyclesAction = nullptr;
    QAction* runToAction = nullptr;
    QAction* pcHereAction = nullptr;
    unsigned int menuTarget = 0;
    // Kept from line to line: a page's lines format their cycles without allocating.
    QString cyclesText;
};

#endif
