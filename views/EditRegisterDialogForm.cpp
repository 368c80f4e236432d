#include "views/EditRegisterDialogForm.h"

#include "views/RegisterText.h"

#include <QDialog>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

namespace {

QString Name(const char* prefix, const char* name)
{
    return QLatin1String(prefix) + QLatin1String(name);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QRect& geometry, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

RegisterText* MakeText(QWidget* parent, const QString& name, const QRect& geometry, Qt::Alignment alignment,
                       bool readOnly = true)
{
    auto* text = new RegisterText(parent);
    text->setObjectName(name);
    text->setGeometry(geometry);
    text->setFont(QFont(QStringLiteral("Courier New"), 10));
    text->setAlignment(alignment);
    text->setReadOnly(readOnly);
    return text;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QRect& geometry, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setGeometry(geometry);
    return button;
}

} // namespace

EditRegisterDialogForm::SizeBox EditRegisterDialogForm::MakeSizeBox(QWidget* parent, const char* prefix, int x,
                                                                    const char* title)
{
    static const char* const sizes[3] = {"Byte", "Word", "Long"};
    static const char* const suffixes[3] = {".B", ".W", ".L"};
    SizeBox s;
    s.box = new QGroupBox(QString::fromUtf8(title), parent);
    s.box->setObjectName(Name(prefix, "Box"));
    s.box->setGeometry(x, 40, 251, 131);
    s.box->setFlat(false);
    s.box->setCheckable(false);
    s.hexaLabel = MakeLabel(s.box, Name(prefix, "HexaLabel"), QRect(10, 20, 101, 16), QString::fromUtf8("Hexadécimal"));
    s.decimalLabel = MakeLabel(s.box, Name(prefix, "DecimalLabel"), QRect(120, 20, 91, 16), QString::fromUtf8("Décimal"));
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    for (int i = 0; i < 3; ++i) {
        const int y = 40 + 30 * i;
        const QString size = QLatin1String(sizes[i]);
        s.hexaText[i] = MakeText(s.box, Name(prefix, "") + size + QLatin1String("HexaText"), QRect(10, y, 101, 22), right);
        s.decimalText[i] = MakeText(s.box, Name(prefix, "") + size + QLatin1String("DecimalText"), QRect(120, y, 101, 22),
                                    right);
        s.sizeLabel[i] = MakeLabel(s.box, Name(prefix, "") + size + QLatin1String("Label"), QRect(229, y + 3, 16, 16),
                                   QLatin1String(suffixes[i]));
    }
    return s;
}

void EditRegisterDialogForm::SetupUi(QDialog* dialog)
{
    dialog->setObjectName(QStringLiteral("EditRegisterDialog"));
    dialog->resize(530, 270);
    dialog->setMinimumSize(530, 270);
    dialog->setMaximumSize(530, 270);
    dialog->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    dialog->setWindowTitle(QStringLiteral("Dialog"));
    // The fixed places of the form are measured for captions at 8 points.
    QFont font = dialog->font();
    font.setPointSize(8);
    dialog->setFont(font);

    const Qt::Alignment centre = Qt::AlignCenter;
    binaryLabel = MakeLabel(dialog, QStringLiteral("binaryLabel"), QRect(10, 15, 46, 13), QStringLiteral("Binaire :"));
    binaryText = MakeText(dialog, QStringLiteral("binaryText"), QRect(60, 10, 351, 22), centre);
    asciiLabel = MakeLabel(dialog, QStringLiteral("asciiLabel"), QRect(419, 15, 46, 13), QStringLiteral("ASCII :"));
    asciiLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    asciiText = MakeText(dialog, QStringLiteral("asciiText"), QRect(470, 10, 51, 22), centre);

    sizeBox[signedBox] = MakeSizeBox(dialog, "signed", 10, "Signés");
    sizeBox[unsignedBox] = MakeSizeBox(dialog, "unsigned", 270, "Non signés");

    newValueLabel = MakeLabel(dialog, QStringLiteral("newValueLabel"), QRect(10, 185, 251, 16),
                              QStringLiteral("Nouvelle valeur :"));
    newValueText = MakeText(dialog, QStringLiteral("newValueText"), QRect(10, 205, 511, 22),
                            Qt::AlignRight | Qt::AlignVCenter, false);

    undoButton = MakeButton(dialog, "undoButton", QRect(10, 240, 45, 25), QString());
    undoButton->setIcon(QIcon(QStringLiteral(":/Icon/Undo")));
    equalButton = MakeButton(dialog, "equalButton", QRect(60, 240, 45, 25), QStringLiteral("="));
    okButton = MakeButton(dialog, "okButton", QRect(330, 240, 90, 25), QStringLiteral("OK"));
    okButton->setDefault(true);
    cancelButton = MakeButton(dialog, "cancelButton", QRect(430, 240, 90, 25), QStringLiteral("Annuler"));

    QObject::connect(okButton, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancelButton, &QPushButton::clicked, dialog, &QDialog::reject);
}
