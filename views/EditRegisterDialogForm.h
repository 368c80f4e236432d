#ifndef ZENDRA_VIEWS_EDITREGISTERDIALOGFORM_H
#define ZENDRA_VIEWS_EDITREGISTERDIALOGFORM_H

class QDialog;
class QGroupBox;
class QLabel;
class QPushButton;
class QWidget;
class RegisterText;

// The widgets of the register edit dialog, all children of the dialog, at fixed places.
class EditRegisterDialogForm
{
public:
    void SetupUi(QDialog* dialog);

    QLabel* binaryLabel = nullptr;
    RegisterText* binaryText = nullptr;
    QLabel* asciiLabel = nullptr;
    RegisterText* asciiText = nullptr;

    QGroupBox* signedBox = nullptr;
    QLabel* signedHexaLabel = nullptr;
    QLabel* signedDecimalLabel = nullptr;
    RegisterText* signedByteHexaText = nullptr;
    RegisterText* signedWordHexaText = nullptr;
    RegisterText* signedLongHexaText = nullptr;
    RegisterText* signedByteDecimalText = nullptr;
    RegisterText* signedWordDecimalText = nullptr;
    RegisterText* signedLongDecimalText = nullptr;
    QLabel* signedByteLabel = nullptr;
    QLabel* signedWordLabel = nullptr;
    QLabel* signedLongLabel = nullptr;

    QGroupBox* unsignedBox = nullptr;
    QLabel* unsignedHexaLabel = nullptr;
    QLabel* unsignedDecimalLabel = nullptr;
    RegisterText* unsignedByteHexaText = nullptr;
    RegisterText* unsignedWordHexaText = nullptr;
    RegisterText* unsignedLongHexaText = nullptr;
    RegisterText* unsignedByteDecimalText = nullptr;
    RegisterText* unsignedWordDecimalText = nullptr;
    RegisterText* unsignedLongDecimalText = nullptr;
    QLabel* unsignedByteLabel = nullptr;
    QLabel* unsignedWordLabel = nullptr;
    QLabel* unsignedLongLabel = nullptr;

    QLabel* newValueLabel = nullptr;
    RegisterText* newValueText = nullptr;
    QPushButton* undoButton = nullptr;
    QPushButton* equalButton = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

private:
    // One of the two boxes "Signés" and "Non signés": the same widgets, named with a prefix.
    struct SizeBox
    {
        QGroupBox* box;
        QLabel* hexaLabel;
        QLabel* decimalLabel;
        RegisterText* hexaText[3];
        RegisterText* decimalText[3];
        QLabel* sizeLabel[3];
    };
    static SizeBox MakeSizeBox(QWidget* parent, const char* prefix, int x, const char* title);
};

#endif
