#ifndef ZENDRA_VIEWS_GETADDRESSDIALOGFORM_H
#define ZENDRA_VIEWS_GETADDRESSDIALOGFORM_H

class QDialog;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The widgets of the address entry dialog, all children of the dialog.
class GetAddressDialogForm
{
public:
    void SetupUi(QDialog* dialog);

    QWidget* layoutWidget = nullptr;
    QHBoxLayout* horizontalLayout = nullptr;
    QLabel* addressLabel = nullptr;
    QLineEdit* addressText = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;
};

#endif
