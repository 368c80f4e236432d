#ifndef ZENDRA_VIEWS_STATEFRAME_H
#define ZENDRA_VIEWS_STATEFRAME_H

#include <QFrame>

class Disassembler;
class Document;
class EffectiveAddress;
class EffectiveAddressItem;
class Memory;
class MemoryText;
class Register;
class RegisterText;
class StateFrameForm;

// The panel under the tabs that shows the whole programmer-visible state of the processor:
// registers, flags, the instruction at PC with its operands, the memory at the address
// registers and the stack. What changed since the recorded reference shows in red.
class StateFrame : public QFrame
{
    Q_OBJECT

public:
    StateFrame(QWidget* parent, Document* document);
    ~StateFrame() override;

    void InitializeControl();
    void InitializeSlot();
    void UpdateControl();
    void UpdateDisa();
    void UpdateEffectiveAddress();
    void RecordReference();
    int GetStackSize() const;

    StateFrameForm* ui;
    Document* document;
    Memory* memory;
    Disassembler* disassembler;
    EffectiveAddress* effectiveAddress;
    Register* registers;

public slots:
    void OnClicked_FlagButton();
    void OnClicked_RegisterButton();
    // A right click on a register's button offers "Dernière écriture" for that register.
    void OnContextMenu_RegisterButton(const QPoint& position);
    // A right click on the cycle counter offers to start it again from 0.
    void OnContextMenu_Cycles(const QPoint& position);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // Fits the memory columns to the panel's width.
    void LayoutMemoryTexts();
    void UpdateCycles();
    // What the instruction field keeps before the counter takes room beside it.
    static constexpr int instructionWidth = 260;
    // The counter when the reference was recorded: the last run or step took the rest.
    quint64 cyclesReference = 0;
    void ShowOperand(const EffectiveAddressItem* item, RegisterText* hexa, RegisterText* ascii, MemoryText* memoryHexa,
                     MemoryText* memoryAscii);
    // Every memory text, hexadecimal and characters side by side, row by row.
    QList<QPair<MemoryText*, MemoryText*>> MemoryRows() const;

    // The gap between the hexadecimal and the character memory columns, as the form has
    // it; measured at the first paint of any panel, before any column has moved.
    static int memoryGap;
};

#endif
