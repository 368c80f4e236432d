// The breakpoint dialogs driven as the user drives them: the nested modal dialogs and the
// error boxes are answered from a timer, and the document is checked after "OK" and
// "Annuler".
#include "app/AddInstructionBreakpointDialog.h"
#include "app/EditBreakpointDialog.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "panel/ModalScript.h"
#include "splitview/SplitViewTestSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>

#include <functional>
#include <memory>

namespace {

const QString duplicateInstruction =
    QStringLiteral("Zendra - Erreur: L'instruction existe déjà en tant que point d'arrêt.");
const QString duplicateAddress = QStringLiteral("Zendra - Erreur: L'adresse existe déjà en tant que point d'arrêt.");
const QString invalidWord = QStringLiteral("Zendra - Erreur: L'expression du DC.W est invalide.");
// The entries of the address breakpoints set on the program that WriteProgram writes.
const QString move = QStringLiteral("001000 MOVE.W #$1234,D0");
const QString rts = QStringLiteral("001012 RTS ");
const QString nop = QStringLiteral("002000 NOP ");

template <typename T> T* Child(QWidget* parent, const char* name)
{
    T* child = parent->findChild<T*>(QLatin1String(name));
    if (!child)
        qFatal("no widget %s", name);
    return child;
}

void Click(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

using Step = ModalScript::Action;

// Steps for the nested dialogs: each fills the dialog in and presses one of its buttons.
Step ChooseInstruction(const QString& text)
{
    return [text](QWidget* modal) {
        auto* combo = Child<QComboBox>(modal, "instructionComboBox");
        Click(Child<QRadioButton>(modal, "instructionRadioButton"));
        while (combo->currentText() != text && combo->currentIndex() < combo->count() - 1)
            QTest::keyClick(combo, Qt::Key_Down);
        Click(Child<QPushButton>(modal, "okButton"));
    };
}

Step TypeWord(const QString& expression)
{
    return [expression](QWidget* modal) {
        Click(Child<QRadioButton>(modal, "dcRadioButton"));
        QTest::keyClicks(Child<QLineEdit>(modal, "dcText"), expression);
        Click(Child<QPushButton>(modal, "okButton"));
    };
}

Step TypeAddress(const QString& expression, QString* title = nullptr)
{
    return [expression, title](QWidget* modal) {
        if (title)
            *title = modal->windowTitle();
        QTest::keyClicks(Child<QLineEdit>(modal, "addressText"), expression);
        Click(Child<QPushButton>(modal, "okButton"));
    };
}

Step Cancel()
{
    return [](QWidget* modal) { Click(Child<QPushButton>(modal, "cancelButton")); };
}

} // namespace

class BreakpointDialogTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Document> document;
    std::unique_ptr<EditBreakpointDialog> dialog;
    QStringList boxes; // the message boxes of the last Run

    void Open()
    {
        dialog.reset(new EditBreakpointDialog(document.get(), nullptr));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    QPushButton* Button(const char* name) { return Child<QPushButton>(dialog.get(), name); }

    // What one tab shows, in one line: the entries, [the current one], the total, then
    // "S", "V" and "A" for "Supprimer" enabled, "Vider" enabled and "Activer" checked.
    QString State(const char* kind)
    {
        const QByteArray k(kind), K = k.left(1).toUpper() + k.mid(1);
        auto* list = Child<QListWidget>(dialog.get(), k + "ListWidget");
        QStringList texts;
        for (int row = 0; row < list->count(); ++row)
            texts << list->item(row)->text();
        const QString current = list->currentItem() ? list->currentItem()->text() : QString();
        const QString total = Child<QLabel>(dialog.get(), "total" + K + "Label")->text();
        return texts.join(QLatin1Char('|')) + QStringLiteral(" [%1] %2 ").arg(current, total)
            + (Button("remove" + K + "Button")->isEnabled() ? 'S' : '-')
            + (Button("removeAll" + K + "Button")->isEnabled() ? 'V' : '-')
            + (Child<QCheckBox>(dialog.get(), "enable" + K + "CheckBox")->isChecked() ? 'A' : '-');
    }

    void ShowTab(int index)
    {
        QTabBar* bar = Child<QTabWidget>(dialog.get(), "tabWidget")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
    }

    void ClickEntry(const char* list, const QString& text)
    {
        auto* widget = Child<QListWidget>(dialog.get(), list);
        const QList<QListWidgetItem*> found = widget->findItems(text, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier,
                          widget->visualItemRect(found.first()).center());
    }

    // Presses the button with the modal windows that follow answered by the steps.
    void Run(const char* button, QList<Step> steps)
    {
        boxes.clear();
        ModalScript script;
        script.boxes = &boxes;
        for (const Step& step : steps)
            script.Then("QDialog", step);
        Click(Button(button));
        QVERIFY2(script.Done(), "an expected dialog did not open");
        QCOMPARE(script.Leftovers(), 0);
    }

    // A few instructions for the address entries to show.
    void WriteProgram()
    {
        const unsigned int words[][2] = {{0x1000, 0x303C}, {0x1002, 0x1234}, {0x1012, 0x4E75}, {0x2000, 0x4E71}};
        for (const auto& word : words)
            document->memory->Write(word[0], word[1], 16, true);
    }

private slots:
    void initTestCase() { SplitTest::QuietPlatformWarnings(); }
    void init() { document.reset(new Document(nullptr)); }
    void cleanup()
    {
        dialog.reset();
        document.reset();
    }

    void newDocument()
    {
        Open();
        QCOMPARE(State("address"), QStringLiteral(" [] Total : 0 --A"));
        QCOMPARE(State("instruction"), QStringLiteral("ILLEGAL [ILLEGAL] Total : 1 SVA"));
        // The switch ends where the buttons above it end and shows all of its text.
        auto* box = Child<QCheckBox>(dialog.get(), "enableAddressCheckBox");
        QVERIFY(box->geometry().right() == Button("addAddressButton")->geometry().right()
                && box->width() >= box->sizeHint().width());

        // The instruction dialog names its entries as the management dialog names them.
        AddInstructionBreakpointDialog add(document.get(), dialog.get());
        auto* combo = Child<QComboBox>(&add, "instructionComboBox");
        QStringList names;
        for (int i = 0; i < combo->count(); ++i) {
            QCOMPARE(InstructionBreakpointList::GetMnemonic(combo->itemData(i).toUInt()), combo->itemText(i));
            names << combo->itemText(i);
        }
        QCOMPARE(names.join(','), QStringLiteral("ILLEGAL,NOP,RESET,RTE,RTR,RTS,TRAP #0,TRAP #1,TRAP #2,TRAP #3,"
                                                 "TRAP #4,TRAP #5,TRAP #6,TRAP #7,TRAP #8,TRAP #9,TRAP #10,"
                                                 "TRAP #11,TRAP #12,TRAP #13,TRAP #14,TRAP #15,TRAPV"));
        QVERIFY(combo->isEnabled() && combo->currentIndex() == 0);
        QVERIFY(!Child<QLineEdit>(&add, "dcText")->isEnabled());
    }

    // Entries sort as text and reach the document in that order on "OK" only.
    void addInstructionsSorted()
    {
        Open();
        // A word keeps the low 16 bits of a wider value: "$14E75" is RTS.
        for (const Step& step : {ChooseInstruction("TRAP #10"), ChooseInstruction("TRAP #2"), TypeWord("$4E72"),
                                 TypeWord("$14E75"), TypeWord("-1"), TypeWord("-$8001"), TypeWord("$10000")})
            Run("addInstructionButton", {step});
        QCOMPARE(State("instruction"), QStringLiteral("DC.W $0000|DC.W $4E72|DC.W $7FFF|DC.W $FFFF|ILLEGAL|RTS|"
                                                      "TRAP #10|TRAP #2 [DC.W $0000] Total : 8 SVA"));
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC);
        Click(Button("okButton"));
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x0000 << 0x4E72 << 0x7FFF << 0xFFFF
                                                                              << 0x4AFC << 0x4E75 << 0x4E4A << 0x4E42);
    }

    // A word typed wrongly shows the message and keeps the dialog open with the faulty part
    // selected; a word already in the list is refused. No list changes.
    void badInstructionWords()
    {
        Open();
        // The text typed, then the part selected afterwards.
        const QList<QPair<QString, QString>> bads{
            {"", ""}, {"1 + 2", "1 "}, {"5+q", "q"}};
        for (const auto& bad : bads) {
            QString selected;
            // The dialog, its error box, then the same dialog, still open.
            const Step look = [&](QWidget* modal) {
                auto* field = Child<QLineEdit>(modal, "dcText");
                selected = modal->focusWidget() == field ? field->selectedText() : "?";
                Cancel()(modal);
            };
            Run("addInstructionButton", {TypeWord(bad.first), look});
            QCOMPARE(boxes, QStringList{invalidWord});
            QCOMPARE(selected, bad.second);
        }
        Run("addInstructionButton", {ChooseInstruction("RTS")});
        ClickEntry("instructionListWidget", "ILLEGAL");
        Run("addInstructionButton", {TypeWord("$4E75")});
        QCOMPARE(boxes, QStringList{duplicateInstruction});
        QCOMPARE(State("instruction"), QStringLiteral("ILLEGAL|RTS [RTS] Total : 2 SVA"));
        Click(Button("cancelButton"));
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC);
    }

    // New addresses come through the address entry dialog as lines of the program; an
    // address with bits above the 24 that the processor drives is the breakpoint of its
    // 24-bit address, so it is refused as a duplicate.
    void addAddresses()
    {
        WriteProgram();
        document->emulator->registers->pc = 0x1000;
        Open();
        QString title;
        Run("addAddressButton", {TypeAddress("$1012", &title)});
        QCOMPARE(title, QStringLiteral("Ajouter un point d'arrêt"));
        Run("addAddressButton", {TypeAddress("$1000")});
        QCOMPARE(State("address"), move + "|" + rts + " [" + move + "] Total : 2 SVA");
        ClickEntry("addressListWidget", rts);
        Run("addAddressButton", {TypeAddress("$FF001000")});
        QCOMPARE(boxes, QStringList{duplicateAddress});
        QCOMPARE(State("address"), move + "|" + rts + " [" + move + "] Total : 2 SVA");
        Run("addAddressButton", {TypeAddress("pc+$1000")});
        Run("addAddressButton", {Cancel()});
        QCOMPARE(State("address"), move + "|" + rts + "|" + nop + " [" + nop + "] Total : 3 SVA");
        QVERIFY(document->addressBreakpoints.isEmpty());
        Click(Button("okButton"));
        QCOMPARE(document->addressBreakpoints, AddressBreakpointList() << 0x1000 << 0x1012 << 0x2000);
    }

    // "Supprimer" selects the next entry in place of the one taken; "Vider" then "Annuler"
    // leaves the document as it was; "Vider" then "OK" empties that list only.
    void removeAndClear()
    {
        WriteProgram();
        document->AddAddressBreakpoint(0x2000);
        document->AddAddressBreakpoint(0x1000);
        document->AddInstructionBreakpoint(0x4E75);
        document->AddInstructionBreakpoint(0x4E40);
        Open();
        ShowTab(1);
        ClickEntry("instructionListWidget", "RTS");
        Click(Button("removeInstructionButton"));
        QCOMPARE(State("instruction"), QStringLiteral("ILLEGAL|TRAP #0 [TRAP #0] Total : 2 SVA"));
        Click(Button("removeInstructionButton"));
        Click(Button("removeInstructionButton"));
        QCOMPARE(State("instruction"), QStringLiteral(" [] Total : 0 --A"));
        ShowTab(0);
        Click(Button("removeAllAddressButton"));
        QCOMPARE(State("address"), QStringLiteral(" [] Total : 0 --A"));
        Click(Button("cancelButton"));
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC << 0x4E75 << 0x4E40);
        QCOMPARE(document->addressBreakpoints, AddressBreakpointList() << 0x2000 << 0x1000);

        Open();
        QCOMPARE(State("address"), move + "|" + nop + " [" + move + "] Total : 2 SVA");
        Click(Button("removeAllAddressButton"));
        Click(Button("okButton"));
        QVERIFY(document->addressBreakpoints.isEmpty());
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC << 0x4E75 << 0x4E40);
    }

    // Unchecking "Activer" switches that kind off on "OK" and keeps its entries; the
    // dialog run modally, as the main window runs it.
    void switchOff()
    {
        EditBreakpointDialog management(document.get(), nullptr);
        ModalScript script;
        script.Then("EditBreakpointDialog", [](QWidget* modal) {
            Click(Child<QCheckBox>(modal, "enableAddressCheckBox"));
            Click(Child<QPushButton>(modal, "okButton"));
        });
        QCOMPARE(management.exec(), int(QDialog::Accepted));
        QVERIFY(script.Done() && script.Leftovers() == 0);
        QVERIFY(!document->addressBreakpointsEnabled && document->instructionBreakpointsEnabled);

        Open();
        ShowTab(1);
        Click(Child<QCheckBox>(dialog.get(), "enableInstructionCheckBox"));
        Click(Button("okButton"));
        QVERIFY(!document->addressBreakpointsEnabled && !document->instructionBreakpointsEnabled);
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC);
    }

    // A document that holds a breakpoint twice, or an address above 24 bits, opens without
    // a message: one entry each, and "OK" gives the document one of each.
    void documentDuplicatesOpenQuietly()
    {
        WriteProgram();
        document->instructionBreakpoints << 0x4E75 << 0x4AFC << 0x4E75;
        document->addressBreakpoints << 0x2000 << 0x1000 << 0x2000 << 0x01001000;
        ModalScript script;
        script.boxes = &boxes;
        Open();
        SplitTest::Settle();
        QVERIFY(boxes.isEmpty() && script.Leftovers() == 0);
        QCOMPARE(State("instruction"), QStringLiteral("ILLEGAL|RTS [ILLEGAL] Total : 2 SVA"));
        QCOMPARE(State("address"), move + "|" + nop + " [" + move + "] Total : 2 SVA");
        Click(Button("okButton"));
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC << 0x4E75);
        QCOMPARE(document->addressBreakpoints, AddressBreakpointList() << 0x1000 << 0x2000);
    }
};

ZENDRA_GUI_TEST_MAIN(BreakpointDialogTest)
#include "tst_breakpoints.moc"
