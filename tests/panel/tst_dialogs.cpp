#include "ModalScript.h"

#include "core/Document.h"
#include "core/Emulator.h"
#include "core/Register.h"
#include "views/ErrorBox.h"
#include "views/EditRegisterDialog.h"
#include "views/GetAddressDialog.h"
#include "views/RegisterText.h"

#include <QGroupBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// Key presses that carry the text, one a character (a surrogate pair is one character);
// QTest's own clicks know ASCII only.
void TypeText(QWidget* edit, const QString& text)
{
    for (int i = 0; i < text.size(); ++i) {
        const int n = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString piece = text.mid(i, n);
        if (n == 1 && piece[0].unicode() < 0x80) {
            QTest::keyClick(edit, piece[0].toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, piece);
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, piece);
            QApplication::sendEvent(edit, &press);
            QApplication::sendEvent(edit, &release);
        }
        i += n - 1;
    }
}

// Types text into a dialog's field as the user would: the old text selected and replaced.
void Type(QDialog* dialog, const char* field, const QString& text)
{
    auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(field));
    QVERIFY(edit);
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    else
        TypeText(edit, text);
}

void Click(QDialog* dialog, const char* button)
{
    auto* b = dialog->findChild<QPushButton*>(QLatin1String(button));
    QVERIFY(b);
    QTest::mouseClick(b, Qt::LeftButton);
}

// Every caption of a fixed form shows whole in the dialog's own fonts.
bool CaptionsFit(QWidget* dialog)
{
    // Laid out as when it shows.
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (w->layout())
            w->layout()->activate();
    }
    bool fit = true;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        if (label->fontMetrics().horizontalAdvance(label->text()) > label->contentsRect().width()) {
            qWarning() << "clipped:" << label->objectName() << label->text();
            fit = false;
        }
    }
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        if (button->fontMetrics().horizontalAdvance(button->text()) > button->width() - 8) {
            qWarning() << "clipped:" << button->objectName() << button->text();
            fit = false;
        }
    }
    return fit;
}

// What the user types that is no expression, and the faulty term that must be selected.
struct BadInput
{
    QString typed;
    QString selected;
};

} // namespace

class DialogTest : public QObject
{
    Q_OBJECT

private slots:
    void AddressForm();
    void AddressAccepted();
    void AddressRefused();
    void RegisterForm();
    void RegisterPreviewAndUndo();
    void RegisterRefused();
};

void DialogTest::AddressForm()
{
    Document document;
    GetAddressDialog dialog(&document, QStringLiteral("Nouvelle adresse de départ"), nullptr);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Nouvelle adresse de départ"));
    QCOMPARE(dialog.objectName(), QStringLiteral("GetAddressDialog"));
    QCOMPARE(dialog.size(), QSize(290, 92));
    auto* label = dialog.findChild<QLabel*>(QStringLiteral("addressLabel"));
    QVERIFY(label);
    QCOMPARE(label->text(), QStringLiteral("Saisissez une adresse :"));
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("addressText"));
    QVERIFY(edit);
    QVERIFY(edit->text().isEmpty());
    QCOMPARE(edit->font().family(), QStringLiteral("Courier New"));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
    auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"));
    QVERIFY(ok && cancel);
    QVERIFY(ok->isDefault());
    QVERIFY(!cancel->autoDefault());
    QVERIFY(CaptionsFit(&dialog));
    QCOMPARE(edit->nextInFocusChain(), static_cast<QWidget*>(ok));
    QCOMPARE(ok->nextInFocusChain(), static_cast<QWidget*>(cancel));
}

// "$1000", a register name and an expression with brackets, each accepted with "OK" or
// with Return; "Annuler" rejects.
void DialogTest::AddressAccepted()
{
    Document document;
    document.emulator->registers->pc = 0x2468;
    document.emulator->registers->d[3] = 0x10;
    const struct
    {
        QString typed;
        bool returnKey;
        unsigned int address;
    } rows[] = {
        {QStringLiteral("$1000"), false, 0x1000},
        {QStringLiteral("pc"), true, 0x2468},
        {QStringLiteral("(D3+2)*$100"), false, 0x1200},
        {QStringLiteral("-2"), false, 0xFFFFFFFE},
    };
    for (const auto& row : rows) {
        GetAddressDialog dialog(&document, QStringLiteral("Adresse"), nullptr);
        ModalScript script;
        script.Then("GetAddressDialog", [&](QWidget* w) {
            auto* d = static_cast<QDialog*>(w);
            Type(d, "addressText", row.typed);
            if (row.returnKey)
                QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("addressText")), Qt::Key_Return);
            else
                Click(d, "okButton");
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(script.Done());
        QCOMPARE(script.Leftovers(), 0);
        QCOMPARE(dialog.address, row.address);
    }

    GetAddressDialog dialog(&document, QStringLiteral("Adresse"), nullptr);
    ModalScript script;
    script.Then("GetAddressDialog", [](QWidget* w) {
        auto* d = static_cast<QDialog*>(w);
        Type(d, "addressText", QStringLiteral("$1000"));
        Click(d, "cancelButton");
    });
    QCOMPARE(dialog.exec(), int(QDialog::Rejected));
    QVERIFY(script.Done());
}

// Whatever the user types that is no expression: the error box, the faulty term selected,
// the dialog still open; then a good expression is accepted.
void DialogTest::AddressRefused()
{
    Document document;
    const BadInput rows[] = {
        {QString(), QString()},
        {QStringLiteral("5+q"), QStringLiteral("q")},
        {QStringLiteral("1 + 2"), QStringLiteral("1 ")},
        {QStringLiteral("(1+2"), QStringLiteral("(1+2")},
        {QStringLiteral("$10+été"), QStringLiteral("été")},
        {QStringLiteral("1+\U0001F600+2"), QStringLiteral("\U0001F600")},
        {QStringLiteral("1+") + QString(1000, QLatin1Char('(')), QString(1000, QLatin1Char('('))},
        {QStringLiteral("7/0"), QStringLiteral("7/0")},
    };
    for (const auto& row : rows) {
        GetAddressDialog dialog(&document, QStringLiteral("Adresse"), nullptr);
        QString message, title, selected;
        bool stillOpen = false;
        ModalScript script;
        script.Then("GetAddressDialog", [&](QWidget* w) {
                  auto* d = static_cast<QDialog*>(w);
                  Type(d, "addressText", row.typed);
                  Click(d, "okButton");
                  // Back from the error box: the dialog is still the modal window.
                  stillOpen = d->isVisible() && d->result() == 0;
                  auto* edit = d->findChild<QLineEdit*>(QStringLiteral("addressText"));
                  selected = edit->selectedText();
                  // The window system may not have given the activation back yet: the
                  // dialog's own focus widget is what gets the keys when it has.
                  stillOpen = stillOpen && d->focusWidget() == edit;
                  Type(d, "addressText", QStringLiteral("$AB"));
                  Click(d, "okButton");
              })
            .Message(&message, &title);
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(script.Done());
        QCOMPARE(script.Leftovers(), 0);
        QCOMPARE(title, ErrorBox::Title());
        QCOMPARE(title, QStringLiteral("Zendra - Erreur"));
        QCOMPARE(message, QStringLiteral("L'expression saisie est invalide."));
        QVERIFY2(stillOpen, qPrintable(row.typed.left(20)));
        QCOMPARE(selected, row.selected);
        QCOMPARE(dialog.address, 0xABu);
    }
}

namespace {

QString FieldText(QWidget* dialog, const char* name)
{
    auto* field = dialog->findChild<RegisterText*>(QLatin1String(name));
    return field ? field->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

// The fourteen display fields of the register dialog, in a fixed order.
QStringList Fields(QWidget* dialog)
{
    static const char* const names[] = {
        "binaryText",           "asciiText",
        "signedByteHexaText",   "signedWordHexaText",     "signedLongHexaText",
        "signedByteDecimalText", "signedWordDecimalText", "signedLongDecimalText",
        "unsignedByteHexaText", "unsignedWordHexaText",   "unsignedLongHexaText",
        "unsignedByteDecimalText", "unsignedWordDecimalText", "unsignedLongDecimalText",
    };
    QStringList texts;
    for (const char* name : names)
        texts << FieldText(dialog, name);
    return texts;
}

const QStringList ff80 = {
    QStringLiteral("% 1111 1111 1111 1111 1111 1111 1000 0000"), QString::fromLatin1("\xFF\xFF\xFF\x80"),
    QStringLiteral("-$80"), QStringLiteral("-$0080"), QStringLiteral("-$00000080"),
    QStringLiteral("-128"), QStringLiteral("-128"), QStringLiteral("-128"),
    QStringLiteral("$80"), QStringLiteral("$FF80"), QStringLiteral("$FFFFFF80"),
    QStringLiteral("128"), QStringLiteral("65408"), QStringLiteral("4294967168"),
};

const QStringList ff81 = {
    QStringLiteral("% 1111 1111 1111 1111 1111 1111 1000 0001"), QString::fromLatin1("\xFF\xFF\xFF\x81"),
    QStringLiteral("-$7F"), QStringLiteral("-$007F"), QStringLiteral("-$0000007F"),
    QStringLiteral("-127"), QStringLiteral("-127"), QStringLiteral("-127"),
    QStringLiteral("$81"), QStringLiteral("$FF81"), QStringLiteral("$FFFFFF81"),
    QStringLiteral("129"), QStringLiteral("65409"), QStringLiteral("4294967169"),
};

} // namespace

void DialogTest::RegisterForm()
{
    Document document;
    document.emulator->registers->d[0] = 0xFFFFFF80;
    EditRegisterDialog dialog(&document, QStringLiteral("D0"), nullptr);
    QCOMPARE(dialog.objectName(), QStringLiteral("EditRegisterDialog"));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Registre D0"));
    QCOMPARE(dialog.size(), QSize(530, 270));
    QCOMPARE(dialog.minimumSize(), QSize(530, 270));
    QCOMPARE(dialog.maximumSize(), QSize(530, 270));
    QVERIFY(!(dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    QVERIFY(dialog.windowFlags() & Qt::MSWindowsFixedSizeDialogHint);
    QCOMPARE(dialog.initialValue, 0xFFFFFF80u);
    QCOMPARE(dialog.value, 0xFFFFFF80u);
    QCOMPARE(Fields(&dialog), ff80);

    auto* newValue = dialog.findChild<RegisterText*>(QStringLiteral("newValueText"));
    QVERIFY(newValue);
    QCOMPARE(newValue->text(), QStringLiteral("$FFFFFF80"));
    QCOMPARE(newValue->selectedText(), QStringLiteral("$FFFFFF80"));
    QVERIFY(!newValue->isReadOnly());
    QCOMPARE(dialog.focusWidget(), static_cast<QWidget*>(newValue));
    QCOMPARE(newValue->geometry(), QRect(10, 205, 511, 22));

    // Every display field is read-only, in Courier New 10 pt, and never turns red.
    const QList<RegisterText*> texts = dialog.findChildren<RegisterText*>();
    QCOMPARE(texts.size(), 15);
    for (RegisterText* t : texts) {
        QCOMPARE(t->font().family(), QStringLiteral("Courier New"));
        QCOMPARE(t->font().pointSize(), 10);
        QVERIFY(!t->highlight);
        QCOMPARE(t->isReadOnly(), t != newValue);
    }
    QVERIFY(dialog.findChild<RegisterText*>(QStringLiteral("binaryText"))->alignment() & Qt::AlignHCenter);
    QVERIFY(dialog.findChild<RegisterText*>(QStringLiteral("signedByteHexaText"))->alignment() & Qt::AlignRight);
    QVERIFY(CaptionsFit(&dialog));
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("okButton"));
    auto* undo = dialog.findChild<QPushButton*>(QStringLiteral("undoButton"));
    QVERIFY(ok && undo);
    QVERIFY(ok->isDefault());
    QVERIFY(undo->text().isEmpty());
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("equalButton"))->text(), QStringLiteral("="));
    QCOMPARE(dialog.findChild<QPushButton*>(QStringLiteral("cancelButton"))->text(), QStringLiteral("Annuler"));
}

// "d0+1" and "=" preview D0 + 1 in every field without touching D0; the undo button brings
// the initial value back; "OK" hands the typed value to the caller, not to the register.
void DialogTest::RegisterPreviewAndUndo()
{
    Document document;
    Register* registers = document.emulator->registers;
    registers->d[0] = 0xFFFFFF80;
    {
        EditRegisterDialog dialog(&document, QStringLiteral("d0"), nullptr);
        QStringList preview, undone;
        QString typedAfterPreview, afterUndo, selectedAfterUndo;
        ModalScript script;
        script.Then("EditRegisterDialog", [&](QWidget* w) {
            auto* d = static_cast<QDialog*>(w);
            Type(d, "newValueText", QStringLiteral("d0+1"));
            Click(d, "equalButton");
            preview = Fields(d);
            typedAfterPreview = FieldText(d, "newValueText");
            Click(d, "undoButton");
            undone = Fields(d);
            afterUndo = FieldText(d, "newValueText");
            selectedAfterUndo = d->findChild<QLineEdit*>(QStringLiteral("newValueText"))->selectedText();
            Type(d, "newValueText", QStringLiteral("'AB'*2"));
            QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("newValueText")), Qt::Key_Return);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(script.Done());
        QCOMPARE(preview, ff81);
        QCOMPARE(typedAfterPreview, QStringLiteral("d0+1"));
        QCOMPARE(undone, ff80);
        QCOMPARE(afterUndo, QStringLiteral("$FFFFFF80"));
        QCOMPARE(selectedAfterUndo, afterUndo);
        QCOMPARE(dialog.value, 0x4142u * 2);
        QCOMPARE(registers->d[0], 0xFFFFFF80u);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Registre d0"));
    }

    // Cancelled after a preview: rejected, and the caller has nothing to write.
    EditRegisterDialog cancelled(&document, QStringLiteral("SR"), nullptr);
    QCOMPARE(cancelled.value, 0x2700u);
    ModalScript cancel;
    cancel.Then("EditRegisterDialog", [](QWidget* w) {
        auto* d = static_cast<QDialog*>(w);
        Type(d, "newValueText", QStringLiteral("0"));
        Click(d, "equalButton");
        Click(d, "cancelButton");
    });
    QCOMPARE(cancelled.exec(), int(QDialog::Rejected));
    QVERIFY(cancel.Done());
    QCOMPARE(registers->sr, 0x2700u);
}

// Bad expressions, with "=" and with "OK": the error box, the faulty term selected, the
// dialog open, the fields and the register unchanged.
void DialogTest::RegisterRefused()
{
    Document document;
    Register* registers = document.emulator->registers;
    registers->a[2] = 0x00C0FFEE;
    const BadInput rows[] = {
        {QString(), QString()},
        {QStringLiteral("1 +"), QStringLiteral("1 ")},
        {QStringLiteral("1+"), QString()},
        {QStringLiteral("a2+d9"), QStringLiteral("d9")},
        {QStringLiteral("((a2)"), QStringLiteral("((a2)")},
        {QStringLiteral("$1+café"), QStringLiteral("café")},
        {QStringLiteral("\U0001F4A9"), QStringLiteral("\U0001F4A9")},
        {QString(1000, QLatin1Char('9')) + QStringLiteral("+x y"), QStringLiteral("x y")},
    };
    const QString expected = QStringLiteral("Expression incorrecte dans le champ \"Nouvelle valeur\".");
    for (const auto& row : rows) {
        for (const char* button : {"equalButton", "okButton"}) {
            EditRegisterDialog dialog(&document, QStringLiteral("A2"), nullptr);
            const QStringList before = Fields(&dialog);
            QString message, title, selected;
            QStringList after;
            bool open = false;
            ModalScript script;
            script.Then("EditRegisterDialog", [&](QWidget* w) {
                      auto* d = static_cast<QDialog*>(w);
                      Type(d, "newValueText", row.typed);
                      Click(d, button);
                      auto* edit = d->findChild<QLineEdit*>(QStringLiteral("newValueText"));
                      selected = edit->selectedText();
                      open = d->isVisible() && d->focusWidget() == edit;
                      after = Fields(d);
                      Click(d, "cancelButton");
                  })
                .Message(&message, &title);
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
            QVERIFY(script.Done());
            QCOMPARE(script.Leftovers(), 0);
            QCOMPARE(title, QStringLiteral("Zendra - Erreur"));
            QCOMPARE(message, expected);
            QVERIFY2(open, button);
            QCOMPARE(selected, row.selected);
            QCOMPARE(after, before);
            QCOMPARE(dialog.value, 0x00C0FFEEu);
            QCOMPARE(registers->a[2], 0x00C0FFEEu);
        }
    }
}

int RunDialogTests(int argc, char** argv)
{
    DialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs.moc"
