#include "ModalScript.h"

#include "core/Document.h"
#include "core/Emulator.h"
#include "core/Register.h"
#include "views/ErrorBox.h"
#include "views/GetAddressDialog.h"

#include <QLabel>
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

} // namespace

class DialogTest : public QObject
{
    Q_OBJECT

private slots:
    void AddressForm();
    void AddressAccepted();
    void AddressRefused();
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
    QCOMPARE(ok->geometry(), QRect(91, 60, 90, 25));
    QCOMPARE(cancel->geometry(), QRect(191, 60, 90, 25));
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
    const struct
    {
        QString typed;
        QString selected;
    } rows[] = {
        {QString(), QString()},
        {QStringLiteral("5+q"), QStringLiteral("q")},
        {QStringLiteral("1 + 2"), QStringLiteral("1 ")},
        {QStringLiteral("(1+2"), QStringLiteral("(1+2")},
        {QStringLiteral("$10+été"), QStringLiteral("été")},
        {QStringLiteral("1+\U0001F600+2"), QStringLiteral("\U0001F600")},
        {QStringLiteral("1+") + QString(5000, QLatin1Char('(')), QString(5000, QLatin1Char('('))},
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

int RunDialogTests(int argc, char** argv)
{
    DialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs.moc"
