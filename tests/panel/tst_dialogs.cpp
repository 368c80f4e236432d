#include "ModalScript.h"

#include "app/EditBreakpointDialog.h"
#include "core/Watchpoint.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Register.h"
#include "views/ErrorBox.h"
#include "views/EditRegisterDialog.h"
#include "views/GetAddressDialog.h"
#include "views/RegisterText.h"

#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QtTest>

namespace {

// Types text into a dialog's field as the user would: the old text selected and replaced,
// one key press a character (a surrogate pair is one character; QTest's own clicks know
// ASCII only).
void Type(QWidget* dialog, const char* field, const QString& text)
{
    auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(field));
    edit->setFocus();
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Delete);
    for (int i = 0; i < text.size(); ++i) {
        const int n = (text[i].isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
        const QString piece = text.mid(i, n);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, piece);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, piece);
        QApplication::sendEvent(edit, &press);
        QApplication::sendEvent(edit, &release);
        i += n - 1;
    }
}

void Click(QWidget* dialog, const char* button)
{
    QTest::mouseClick(dialog->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
}

QString Selected(QWidget* dialog, const char* field)
{
    auto* edit = dialog->findChild<QLineEdit*>(QLatin1String(field));
    // The window system may not have given the activation back yet: the dialog's own
    // focus widget is what gets the keys when it has.
    return dialog->isVisible() && dialog->focusWidget() == edit ? edit->selectedText() : QStringLiteral("<closed>");
}

// The object names of a form's widgets with their texts, and the captions that do not show
// whole in the dialog's own fonts.
QString Form(QWidget* dialog)
{
    for (QWidget* w : dialog->findChildren<QWidget*>()) {
        if (w->layout())
            w->layout()->activate();
    }
    QStringList names, clipped;
    for (QLabel* label : dialog->findChildren<QLabel*>()) {
        names << label->objectName() + QLatin1Char('=') + label->text();
        if (label->fontMetrics().horizontalAdvance(label->text()) > label->contentsRect().width())
            clipped << label->objectName();
    }
    for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
        names << button->objectName() + QLatin1Char('=') + button->text() + (button->isDefault() ? "*" : "");
        if (button->fontMetrics().horizontalAdvance(button->text()) > button->width() - 8)
            clipped << button->objectName();
    }
    for (QLineEdit* edit : dialog->findChildren<QLineEdit*>())
        names << edit->objectName();
    names.sort();
    return dialog->objectName() + QLatin1Char(' ') + dialog->windowTitle() + QLatin1Char(' ')
        + names.join(QLatin1Char(' ')) + (clipped.isEmpty() ? QString() : " clipped: " + clipped.join(' '));
}

// The fourteen display fields of the register dialog, in a fixed order.
QString Fields(QWidget* dialog)
{
    QStringList texts;
    for (const char* name : {"binaryText", "asciiText", "signedByteHexaText", "signedWordHexaText",
                             "signedLongHexaText", "signedByteDecimalText", "signedWordDecimalText",
                             "signedLongDecimalText", "unsignedByteHexaText", "unsignedWordHexaText",
                             "unsignedLongHexaText", "unsignedByteDecimalText", "unsignedWordDecimalText",
                             "unsignedLongDecimalText"})
        texts << dialog->findChild<RegisterText*>(QLatin1String(name))->text();
    return texts.join(QLatin1Char('|'));
}

const QString ff80 = QString::fromLatin1("% 1111 1111 1111 1111 1111 1111 1000 0000|\xFF\xFF\xFF\x80|-$80|-$0080|"
                                         "-$00000080|-128|-128|-128|$80|$FF80|$FFFFFF80|128|65408|4294967168");
const QString ff81 = QString::fromLatin1("% 1111 1111 1111 1111 1111 1111 1000 0001|\xFF\xFF\xFF\x81|-$7F|-$007F|"
                                         "-$0000007F|-127|-127|-127|$81|$FF81|$FFFFFF81|129|65409|4294967169");
const QString badRegister = QStringLiteral("Expression incorrecte dans le champ \"Nouvelle valeur\".");

} // namespace

class DialogTest : public QObject
{
    Q_OBJECT

private slots:
    void Forms();
    void Address();
    void RegisterPreviewAndUndo();
    void RegisterRefused();
    void WatchTab();
};

void DialogTest::Forms()
{
    Document document;
    document.emulator->registers->d[0] = 0xFFFFFF80;
    GetAddressDialog address(&document, QStringLiteral("Nouvelle adresse de départ"), nullptr);
    QCOMPARE(Form(&address), QStringLiteral("GetAddressDialog Nouvelle adresse de départ addressLabel=Saisissez une "
                                            "adresse : addressText cancelButton=Annuler okButton=OK*"));
    EditRegisterDialog edit(&document, QStringLiteral("D0"), nullptr);
    QCOMPARE(Form(&edit).section(' ', 0, 2), QStringLiteral("EditRegisterDialog Registre D0"));
    QVERIFY2(!Form(&edit).contains(QLatin1String("clipped")), qPrintable(Form(&edit)));
    QCOMPARE(Fields(&edit), ff80);
    // The value is selected, in front, for the user to type over it; the display fields
    // never turn red.
    auto* newValue = edit.findChild<RegisterText*>(QStringLiteral("newValueText"));
    QCOMPARE(newValue->selectedText(), QStringLiteral("$FFFFFF80"));
    QCOMPARE(edit.focusWidget(), static_cast<QWidget*>(newValue));
    for (RegisterText* t : edit.findChildren<RegisterText*>())
        QVERIFY(!t->highlight && t->isReadOnly() == (t != newValue));
}

// Good expressions accepted with "OK" or with Return, "Annuler" rejecting; whatever the user
// types that is no expression brings the error box, the faulty term selected and the dialog
// still open for another try.
void DialogTest::Address()
{
    Document document;
    document.emulator->registers->pc = 0x2468;
    document.emulator->registers->d[3] = 0x10;
    const struct
    {
        QString typed;
        const char* button; // or the selection expected after the error box
        unsigned int address;
        QString selected;
    } rows[] = {
        {QStringLiteral("$1000"), "okButton", 0x1000, {}},
        {QStringLiteral("pc"), "Return", 0x2468, {}},
        {QStringLiteral("(D3+2)*$100"), "okButton", 0x1200, {}},
        {QStringLiteral("-2"), "okButton", 0xFFFFFFFE, {}},
        {QStringLiteral("$1000"), "cancelButton", 0, {}},
        {QString(), nullptr, 0xAB, QString()},
        {QStringLiteral("5+q"), nullptr, 0xAB, QStringLiteral("q")},
        {QStringLiteral("1 + 2"), nullptr, 0xAB, QStringLiteral("1 ")},
        {QStringLiteral("(1+2"), nullptr, 0xAB, QStringLiteral("(1+2")},
        {QStringLiteral("$10+été"), nullptr, 0xAB, QStringLiteral("été")},
        {QStringLiteral("1+\U0001F600+2"), nullptr, 0xAB, QStringLiteral("\U0001F600")},
        {QStringLiteral("1+") + QString(1000, '('), nullptr, 0xAB, QString(1000, '(')},
        {QStringLiteral("7/0"), nullptr, 0xAB, QStringLiteral("7/0")},
    };
    for (const auto& row : rows) {
        GetAddressDialog dialog(&document, QStringLiteral("Adresse"), nullptr);
        QString message, title, selected;
        ModalScript script;
        script.Then("GetAddressDialog", [&](QWidget* d) {
            Type(d, "addressText", row.typed);
            if (row.button && QByteArray(row.button) == "Return")
                QTest::keyClick(d->findChild<QLineEdit*>(QStringLiteral("addressText")), Qt::Key_Return);
            else
                Click(d, row.button ? row.button : "okButton");
            if (row.button)
                return;
            // Back from the error box.
            selected = Selected(d, "addressText");
            Type(d, "addressText", QStringLiteral("$AB"));
            Click(d, "okButton");
        });
        if (!row.button)
            script.Message(&message, &title);
        const bool cancel = row.button && QByteArray(row.button) == "cancelButton";
        QCOMPARE(dialog.exec(), int(cancel ? QDialog::Rejected : QDialog::Accepted));
        QVERIFY(script.Done());
        QCOMPARE(script.Leftovers(), 0);
        if (!cancel)
            QCOMPARE(dialog.address, row.address);
        if (!row.button) {
            QCOMPARE(title + ": " + message, ErrorBox::Title() + ": L'expression saisie est invalide.");
            QCOMPARE(title, QStringLiteral("Zendra - Erreur"));
            QVERIFY2(selected == row.selected, qPrintable(row.typed.left(20) + ": " + selected.left(20)));
        }
    }
}

// "d0+1" and "=" preview D0 + 1 in every field without touching D0; the undo button brings
// the initial value back; "OK" hands the typed value to the caller, not to the register.
void DialogTest::RegisterPreviewAndUndo()
{
    Document document;
    Register* registers = document.emulator->registers;
    registers->d[0] = 0xFFFFFF80;
    // A script answers every modal window while it lives: one scope each.
    {
        EditRegisterDialog dialog(&document, QStringLiteral("d0"), nullptr);
        QStringList seen;
        ModalScript script;
        script.Then("EditRegisterDialog", [&](QWidget* d) {
            auto* value = d->findChild<QLineEdit*>(QStringLiteral("newValueText"));
            Type(d, "newValueText", QStringLiteral("d0+1"));
            Click(d, "equalButton");
            seen << Fields(d) << value->text();
            Click(d, "undoButton");
            seen << Fields(d) << value->text() << value->selectedText();
            Type(d, "newValueText", QStringLiteral("'AB'*2"));
            QTest::keyClick(value, Qt::Key_Return);
        });
        QCOMPARE(dialog.exec(), int(QDialog::Accepted));
        QVERIFY(script.Done());
        QCOMPARE(seen, QStringList({ff81, "d0+1", ff80, "$FFFFFF80", "$FFFFFF80"}));
        QCOMPARE(dialog.value, 0x4142u * 2);
        QCOMPARE(registers->d[0], 0xFFFFFF80u);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Registre d0"));
    }

    // Cancelled after a preview: rejected, and the caller has nothing to write.
    EditRegisterDialog cancelled(&document, QStringLiteral("SR"), nullptr);
    QCOMPARE(cancelled.value, 0x2700u);
    ModalScript cancel;
    cancel.Then("EditRegisterDialog", [](QWidget* d) {
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
    const QPair<QString, QString> rows[] = {
        {QString(), QString()},
        {QStringLiteral("1 +"), QStringLiteral("1 ")},
        {QStringLiteral("1+"), QString()},
        {QStringLiteral("a2+d9"), QStringLiteral("d9")},
        {QStringLiteral("((a2)"), QStringLiteral("((a2)")},
        {QStringLiteral("$1+café"), QStringLiteral("café")},
        {QStringLiteral("\U0001F4A9"), QStringLiteral("\U0001F4A9")},
        {QString(1000, '9') + QStringLiteral("+x y"), QStringLiteral("x y")},
    };
    for (const auto& row : rows) {
        for (const char* button : {"equalButton", "okButton"}) {
            EditRegisterDialog dialog(&document, QStringLiteral("A2"), nullptr);
            const QString before = Fields(&dialog);
            QString message, title, selected, after;
            ModalScript script;
            script.Then("EditRegisterDialog", [&](QWidget* d) {
                      Type(d, "newValueText", row.first);
                      Click(d, button);
                      selected = Selected(d, "newValueText");
                      after = Fields(d);
                      Click(d, "cancelButton");
                  })
                .Message(&message, &title);
            QCOMPARE(dialog.exec(), int(QDialog::Rejected));
            QVERIFY(script.Done());
            QCOMPARE(script.Leftovers(), 0);
            QCOMPARE(title + ": " + message, QStringLiteral("Zendra - Erreur: ") + badRegister);
            QVERIFY2(selected == row.second, button);
            QCOMPARE(after, before);
            QCOMPARE(dialog.value, 0x00C0FFEEu);
            QCOMPARE(registers->a[2], 0x00C0FFEEu);
        }
    }
}

// The data tab of the breakpoint manager: a selection enables "Supprimer", which takes the
// selected watchpoint away, "Vider" takes them all, the total follows, and the document gets
// what is left on OK only.
void DialogTest::WatchTab()
{
    Document document;
    document.watchpoints << Watchpoint(0x2000, 1, WatchWrite) << Watchpoint(0x2010, 2, WatchRead)
                         << Watchpoint(0x2020, 4, WatchAccess);
    const auto state = [](const EditBreakpointDialog& m) {
        return QStringLiteral("%1 %2%3").arg(m.totalWatchLabel->text(), m.removeWatchButton->isEnabled() ? "S" : "-",
                                             m.removeAllWatchButton->isEnabled() ? "V" : "-");
    };
    {
        EditBreakpointDialog manager(&document, nullptr);
        manager.findChild<QTabWidget*>()->setCurrentWidget(manager.watchTab);
        manager.show();
        QCOMPARE(state(manager), QStringLiteral("Total : 3 SV"));
        manager.watchListWidget->clearSelection();
        QCOMPARE(state(manager), QStringLiteral("Total : 3 -V"));
        manager.watchListWidget->setCurrentRow(1);
        QCOMPARE(state(manager), QStringLiteral("Total : 3 SV"));
        QTest::mouseClick(manager.removeWatchButton, Qt::LeftButton);
        QCOMPARE(manager.watchListWidget->count(), 2);
        manager.accept();
    }
    QCOMPARE(document.watchpoints.size(), 2);
    QCOMPARE(document.watchpoints.at(0).address, 0x2000u);
    QCOMPARE(document.watchpoints.at(1).address, 0x2020u);
    {
        EditBreakpointDialog manager(&document, nullptr);
        manager.findChild<QTabWidget*>()->setCurrentWidget(manager.watchTab);
        manager.show();
        QTest::mouseClick(manager.removeAllWatchButton, Qt::LeftButton);
        QCOMPARE(state(manager), QStringLiteral("Total : 0 --"));
        manager.reject();
    }
    QCOMPARE(document.watchpoints.size(), 2);
}

int RunDialogTests(int argc, char** argv)
{
    DialogTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_dialogs.moc"
