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

    // The boxes "Signés" and "Non signés": the same widgets, named "signed..." and
    // "unsigned...", with the byte, word and long word fields in that order.
    struct SizeBox
    {
        QGroupBox* box = nullptr;
        QLabel* hexaLabel = nullptr;
        QLabel* decimalLabel = nullptr;
        RegisterText* hexaText[3] = {};
        RegisterText* decimalText[3] = {};
        QLabel* sizeLabel[3] = {};
    };
    static constexpr int signedBox = 0;
    static constexpr int unsignedBox = 1;
    SizeBox sizeBox[2];

    QLabel* newValueLabel = nullptr;
    RegisterText* newValueText = nullptr;
    QPushButton* undoButton = nullptr;
    QPushButton* equalButton = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

private:
    static SizeBox MakeSizeBox(QWidget* parent, const char* prefix, int x, const char* title);
};

#endif
