#ifndef ZENDRA_VIEWS_STATEFRAMEFORM_H
#define ZENDRA_VIEWS_STATEFRAMEFORM_H

class MemoryText;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class RegisterText;
class StackText;

// The widgets of the processor state panel, all children of the panel, at fixed places
// laid out for its default width; the panel stretches the memory columns to its width.
class StateFrameForm
{
public:
    // The status register's flags in the order of the form, from bit 0 upwards.
    static constexpr int flagCount = 8;
    static const char* const flagNames[flagCount];

    void SetupUi(QFrame* frame);

    QPushButton* dButton[8] = {};
    RegisterText* dHexaText[8] = {};
    RegisterText* dAsciiText[8] = {};
    QPushButton* aButton[8] = {};
    RegisterText* aHexaText[8] = {};
    MemoryText* aMemoryHexaText[8] = {};
    MemoryText* aMemoryAsciiText[8] = {};

    QPushButton* uspButton = nullptr;
    QPushButton* sspButton = nullptr;
    QPushButton* pcButton = nullptr;
    RegisterText* uspHexaText = nullptr;
    RegisterText* sspHexaText = nullptr;
    RegisterText* pcHexaText = nullptr;

    // C, V, Z, N, X, I, S, T.
    QPushButton* flagButton[flagCount] = {};
    RegisterText* flagText[flagCount] = {};

    QLineEdit* disaText = nullptr;
    // The clock cycles since reset, what the last run or step took, and their time at 8 MHz.
    QLabel* cyclesLabel = nullptr;
    static constexpr int cyclesWidth = 230;

    QLabel* srcLabel = nullptr;
    QLabel* dstLabel = nullptr;
    RegisterText* srcHexaText = nullptr;
    RegisterText* dstHexaText = nullptr;
    RegisterText* srcAsciiText = nullptr;
    RegisterText* dstAsciiText = nullptr;
    MemoryText* srcMemoryHexaText = nullptr;
    MemoryText* srcMemoryAsciiText = nullptr;
    MemoryText* dstMemoryHexaText = nullptr;
    MemoryText* dstMemoryAsciiText = nullptr;

    QRadioButton* stackButton8 = nullptr;
    QRadioButton* stackButton16 = nullptr;
    QRadioButton* stackButton32 = nullptr;
    QComboBox* stackComboBox = nullptr;
    StackText* inStackText = nullptr;
    StackText* outStackText = nullptr;
};

#endif
