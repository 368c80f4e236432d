#ifndef ZENDRA_VIEWS_DISAVIEW_H
#define ZENDRA_VIEWS_DISAVIEW_H

#include "splitview/TextView.h"

class Disassembler;
class Document;
class Memory;
class Register;

// What the two disassembly views share: the document's machine, the left margin and the
// address band, and the columns of the four fields of a line.
class DisaView : public TextView
{
    Q_OBJECT

public:
    DisaView();

    // Character columns of the fields, counted after the margin (columnOrigin).
    static const int addressColumn;
    static const int machineCodeColumn;
    static const int mnemonicColumn;
    static const int operandColumn;
    static const int lastColumn;

    Document* document;
    Memory* memory;
    Disassembler* disassembler;
    Register* registers;
    int addressBandEnd;
    int marginWidth;

protected:
    // Fills the margin and the address band over the visible height.
    void FillBands(QPainter& painter, const QColor& margin, const QColor& band);
    // The two black lines that close the margin and the address band.
    void DrawBandLines(QPainter& painter);
    // The disassembler's last line at the current line: the address in bold, then the
    // machine code, the mnemonic and the operands.
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
};

#endif
