// The breakpoint dialogs driven as the user drives them: the nested modal dialogs and the
// error boxes are answered from a timer, and the document is checked after "OK" and
// "Annuler".
#include "app/AddInstructionBreakpointDialog.h"
#include "app/EditBreakpointDialog.h"
#include "core/Document.h"
#include "core/Emulator.h"
#include "core/Memory.h"
#include "core/Register.h"
#include "../splitview/SplitViewTestSupport.h"

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

const QString duplicateInstruction = QStringLiteral("L'instruction existe déjà en tant que point d'arrêt.");
const QString duplicateAddress = QStringLiteral("L'adresse existe déjà en tant que point d'arrêt.");
const QString invalidWord = QStringLiteral("L'expression du DC.W est invalide.");

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

// Clicks later, from the event loop: a click that opens a modal box must not run inside
// the timer that answers modal boxes, or that timer could not answer the new one.
void ClickLater(QWidget* w)
{
    QPointer<QWidget> target(w);
    QTimer::singleShot(0, [target] {
        if (target)
            Click(target);
    });
}

QStringList Texts(QListWidget* list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

// Answers the modal windows, one step each time another one becomes the active modal
// window (a dialog that comes back to the front after its error box counts again). A
// window that appears when no step is left is closed and reported, and so is one that
// stays in front too long, so that no test can hang on a modal loop.
class ModalScript
{
public:
    using Step = std::function<void(QWidget*)>;

    explicit ModalScript(QList<Step> steps) : steps(std::move(steps))
    {
        timer.setInterval(5);
        QObject::connect(&timer, &QTimer::timeout, [this] { Poll(); });
        timer.start();
    }

    bool Done() const { return steps.isEmpty() && !QApplication::activeModalWidget(); }
    int Left() const { return steps.size(); }
    QStringList unexpected;

private:
    void Poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == front) {
            if (modal && clock.elapsed() > 5000)
                Abandon(modal, QStringLiteral("stuck: "));
            return;
        }
        front = modal;
        clock.start();
        if (!modal)
            return;
        if (steps.isEmpty())
            Abandon(modal, QStringLiteral("unexpected: "));
        else
            steps.takeFirst()(modal);
    }

    void Abandon(QWidget* modal, const QString& why)
    {
        QString text = modal->windowTitle();
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            text += QStringLiteral(" / ") + box->text();
        unexpected << why + text;
        clock.start();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            QTimer::singleShot(0, dialog, &QDialog::reject);
    }

    QList<Step> steps;
    QPointer<QWidget> front;
    QElapsedTimer clock;
    QTimer timer;
};

// A step that expects the error box with that text and presses its OK button.
ModalScript::Step ErrorBox(const QString& text, QStringList* seen)
{
    return [text, seen](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            *seen << QStringLiteral("not a message box: ") + modal->windowTitle();
            QTimer::singleShot(0, modal, &QWidget::close);
            return;
        }
        *seen << box->windowTitle() + QStringLiteral(" / ") + box->text();
        const bool ok = box->icon() == QMessageBox::Critical && box->standardButtons() == QMessageBox::Ok
            && box->defaultButton() == box->button(QMessageBox::Ok);
        if (!ok)
            *seen << QStringLiteral("not a critical box with one default OK");
        ClickLater(box->button(QMessageBox::Ok));
    };
}

QString Error(const QString& text)
{
    return QStringLiteral("Zendra - Erreur / ") + text;
}

// A step that picks an entry of the instruction list and presses "OK".
ModalScript::Step ChooseInstruction(const QString& text)
{
    return [text](QWidget* modal) {
        auto* combo = Child<QComboBox>(modal, "instructionComboBox");
        Click(Child<QRadioButton>(modal, "instructionRadioButton"));
        const int index = combo->findText(text);
        if (index < 0)
            qFatal("no entry %s", qPrintable(text));
        while (combo->currentIndex() < index)
            QTest::keyClick(combo, Qt::Key_Down);
        ClickLater(Child<QPushButton>(modal, "okButton"));
    };
}

// A step that types a word into the DC.W field and presses "OK".
ModalScript::Step TypeWord(const QString& expression)
{
    return [expression](QWidget* modal) {
        Click(Child<QRadioButton>(modal, "dcRadioButton"));
        auto* field = Child<QLineEdit>(modal, "dcText");
        field->selectAll();
        QTest::keyClicks(field, expression);
        ClickLater(Child<QPushButton>(modal, "okButton"));
    };
}

// A step that types an address into the address entry dialog and presses "OK".
ModalScript::Step TypeAddress(const QString& expression, QString* title)
{
    return [expression, title](QWidget* modal) {
        *title = modal->windowTitle();
        QTest::keyClicks(Child<QLineEdit>(modal, "addressText"), expression);
        ClickLater(Child<QPushButton>(modal, "okButton"));
    };
}

// What a tab of the management dialog shows.
struct Tab
{
    QStringList entries;
    QString current;
    QString total;
    bool removeEnabled;
    bool removeAllEnabled;
    bool enabled;
};

} // namespace

class BreakpointDialogTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Document> document;
    std::unique_ptr<EditBreakpointDialog> dialog;

    void Open()
    {
        dialog.reset(new EditBreakpointDialog(document.get(), nullptr));
        dialog->show();
        QVERIFY(QTest::qWaitForWindowExposed(dialog.get()));
    }

    Tab Read(const char* kind)
    {
        const QByteArray k(kind);
        const QByteArray K = k.left(1).toUpper() + k.mid(1);
        auto* list = Child<QListWidget>(dialog.get(), k + "ListWidget");
        Tab tab;
        tab.entries = Texts(list);
        tab.current = list->currentItem() ? list->currentItem()->text() : QString();
        tab.total = Child<QLabel>(dialog.get(), "total" + K + "Label")->text();
        tab.removeEnabled = Child<QPushButton>(dialog.get(), "remove" + K + "Button")->isEnabled();
        tab.removeAllEnabled = Child<QPushButton>(dialog.get(), "removeAll" + K + "Button")->isEnabled();
        tab.enabled = Child<QCheckBox>(dialog.get(), "enable" + K + "CheckBox")->isChecked();
        return tab;
    }

    QPushButton* Button(const char* name) { return Child<QPushButton>(dialog.get(), name); }

    void ShowTab(int index)
    {
        QTabBar* bar = Child<QTabWidget>(dialog.get(), "tabWidget")->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
        QCOMPARE(Child<QTabWidget>(dialog.get(), "tabWidget")->currentIndex(), index);
    }

    void ClickEntry(const char* list, const QString& text)
    {
        auto* widget = Child<QListWidget>(dialog.get(), list);
        const QList<QListWidgetItem*> found = widget->findItems(text, Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        QTest::mouseClick(widget->viewport(), Qt::LeftButton, Qt::NoModifier,
                          widget->visualItemRect(found.first()).center());
    }

    // A few instructions of which the address entries show the lines.
    void WriteProgram()
    {
        Memory* memory = document->memory;
        memory->Write(0x1000, 0x303C, 16, true); // MOVE.W #$1234,D0
        memory->Write(0x1002, 0x1234, 16, true);
        memory->Write(0x1012, 0x4E75, 16, true); // RTS
        memory->Write(0x2000, 0x4E71, 16, true); // NOP
    }

    // Runs the clicks with the modal windows answered by the steps given, and fails on any
    // window the steps did not expect.
    void Run(const std::function<void()>& clicks, QList<ModalScript::Step> steps)
    {
        ModalScript script(std::move(steps));
        clicks();
        const bool done = QTest::qWaitFor([&] { return script.Done(); }, 10000);
        QVERIFY2(done, qPrintable(QStringLiteral("%1 modal windows expected did not open").arg(script.Left())));
        QVERIFY2(script.unexpected.isEmpty(), qPrintable(script.unexpected.join(QLatin1Char('\n'))));
    }

    void AddInstructions(const QList<ModalScript::Step>& steps)
    {
        for (const ModalScript::Step& step : steps)
            Run([this] { ClickLater(Button("addInstructionButton")); }, {step});
    }

private slots:
    void initTestCase() { SplitTest::QuietPlatformWarnings(); }

    void init() { document.reset(new Document(nullptr)); }

    void cleanup()
    {
        dialog.reset();
        document.reset();
    }

    void newDocumentAndForms()
    {
        Open();
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Gestion des points d'arrêt"));
        QCOMPARE(dialog->size(), QSize(351, 350));
        QCOMPARE(dialog->minimumSize(), dialog->maximumSize());
        QVERIFY(!(dialog->windowFlags() & Qt::WindowContextHelpButtonHint));
        auto* tabs = Child<QTabWidget>(dialog.get(), "tabWidget");
        QCOMPARE(tabs->currentIndex(), 0);
        QCOMPARE(tabs->tabText(0), QStringLiteral("Adresses"));
        QCOMPARE(tabs->tabText(1), QStringLiteral("Instructions"));
        QVERIFY(Button("okButton")->isDefault());
        // The switch keeps its right edge and shows all of its text.
        for (const char* name : {"enableAddressCheckBox", "enableInstructionCheckBox"}) {
            auto* box = Child<QCheckBox>(dialog.get(), name);
            QCOMPARE(box->geometry().right(), 243 + 70 - 1);
            QVERIFY(box->width() >= box->sizeHint().width());
            QCOMPARE(box->text(), QStringLiteral("Activer"));
        }

        const Tab addresses = Read("address");
        QVERIFY(addresses.entries.isEmpty());
        QCOMPARE(addresses.total, QStringLiteral("Total : 0"));
        QVERIFY(!addresses.removeEnabled && !addresses.removeAllEnabled && addresses.enabled);

        const Tab instructions = Read("instruction");
        QCOMPARE(instructions.entries, QStringList{"ILLEGAL"});
        QCOMPARE(instructions.current, QStringLiteral("ILLEGAL"));
        QCOMPARE(instructions.total, QStringLiteral("Total : 1"));
        QVERIFY(instructions.removeEnabled && instructions.removeAllEnabled && instructions.enabled);

        // The instruction dialog offers the one-word instructions under the names that
        // the management dialog gives their opcodes.
        AddInstructionBreakpointDialog add(document.get(), dialog.get());
        QCOMPARE(add.windowTitle(), QStringLiteral("Ajouter un point d'arrêt"));
        QCOMPARE(add.size(), QSize(242, 122));
        auto* combo = Child<QComboBox>(&add, "instructionComboBox");
        QCOMPARE(combo->count(), 23);
        QCOMPARE(combo->currentText(), QStringLiteral("ILLEGAL"));
        QStringList names;
        for (int i = 0; i < combo->count(); ++i) {
            const unsigned int opcode = combo->itemData(i).toUInt();
            QCOMPARE(InstructionBreakpointList::GetMnemonic(opcode), combo->itemText(i));
            names << combo->itemText(i);
        }
        QCOMPARE(names.mid(0, 7), (QStringList{"ILLEGAL", "NOP", "RESET", "RTE", "RTR", "RTS", "TRAP #0"}));
        QCOMPARE(names.mid(21), (QStringList{"TRAP #15", "TRAPV"}));
        QVERIFY(Child<QRadioButton>(&add, "instructionRadioButton")->isChecked());
        QVERIFY(combo->isEnabled());
        QVERIFY(!Child<QLineEdit>(&add, "dcText")->isEnabled());
    }

    // Entries sort as text and come back to the document in that order.
    void addInstructionsSorted()
    {
        Open();
        AddInstructions({ChooseInstruction("TRAP #10"), ChooseInstruction("TRAP #2"), TypeWord("$4E72"),
                         TypeWord("$4E75"), TypeWord("-1")});
        const Tab tab = Read("instruction");
        QCOMPARE(tab.entries,
                 (QStringList{"DC.W $4E72", "DC.W $FFFF", "ILLEGAL", "RTS", "TRAP #10", "TRAP #2"}));
        QCOMPARE(tab.current, QStringLiteral("DC.W $FFFF"));
        QCOMPARE(tab.total, QStringLiteral("Total : 6"));
        QVERIFY(tab.removeEnabled && tab.removeAllEnabled);
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC);

        Click(Button("okButton"));
        QVERIFY(dialog->isHidden());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        const QList<unsigned short> expected{0x4E72, 0xFFFF, 0x4AFC, 0x4E75, 0x4E4A, 0x4E42};
        QCOMPARE(static_cast<const QList<unsigned short>&>(document->instructionBreakpoints), expected);
    }

    // A word typed wrongly or too wide shows the message, keeps the dialog open with the
    // faulty part selected, and changes no list; so does a word already in the list.
    void badInstructionWords()
    {
        Open();
        QStringList seen;
        struct Bad
        {
            QString text;
            int selectionStart;
            QString selected;
        };
        const QList<Bad> bads{
            {"", -1, ""},          {"$10000", 0, "$10000"}, {"1 + 2", 0, "1 "},
            {"5+q", 2, "q"},       {"-$8001", 0, "-$8001"}, {"7/0", 0, "7/0"},
        };
        for (const Bad& bad : bads) {
            QString selected;
            int start = -2;
            bool focused = false;
            seen.clear();
            // The dialog, its error box, then the dialog again, still open: cancel it.
            Run([this] { ClickLater(Button("addInstructionButton")); },
                {TypeWord(bad.text), ErrorBox(invalidWord, &seen), [&](QWidget* modal) {
                     auto* field = Child<QLineEdit>(modal, "dcText");
                     selected = field->selectedText();
                     start = field->selectionStart();
                     focused = modal->focusWidget() == field;
                     ClickLater(Child<QPushButton>(modal, "cancelButton"));
                 }});
            QCOMPARE(seen, QStringList{Error(invalidWord)});
            QCOMPARE(selected, bad.selected);
            QCOMPARE(start, bad.selectionStart);
            QVERIFY(focused);
        }
        QCOMPARE(Read("instruction").entries, QStringList{"ILLEGAL"});

        // The word of an entry already chosen from the list is refused, and that entry
        // becomes current.
        AddInstructions({ChooseInstruction("RTS")});
        Run([this] { ClickLater(Button("addInstructionButton")); },
            {TypeWord("$4E75"), ErrorBox(duplicateInstruction, &seen)});
        QCOMPARE(seen.last(), Error(duplicateInstruction));
        const Tab tab = Read("instruction");
        QCOMPARE(tab.entries, (QStringList{"ILLEGAL", "RTS"}));
        QCOMPARE(tab.current, QStringLiteral("RTS"));
        QCOMPARE(tab.total, QStringLiteral("Total : 2"));
        Click(Button("cancelButton"));
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC);
    }

    // New addresses come through the address entry dialog, as lines of the program; an
    // address with bits above the 24 that the processor drives names the breakpoint of its
    // 24-bit address, so it is refused as a duplicate.
    void addAddresses()
    {
        WriteProgram();
        Open();
        QStringList seen;
        QString title;
        const auto add = [&](QList<ModalScript::Step> steps) {
            Run([this] { ClickLater(Button("addAddressButton")); }, std::move(steps));
        };
        add({TypeAddress("$1012", &title)});
        QCOMPARE(title, QStringLiteral("Ajouter un point d'arrêt"));
        add({TypeAddress("$1000", &title)});
        Tab tab = Read("address");
        QCOMPARE(tab.entries, (QStringList{"001000 MOVE.W #$1234,D0", "001012 RTS "}));
        QCOMPARE(tab.current, QStringLiteral("001000 MOVE.W #$1234,D0"));
        QCOMPARE(tab.total, QStringLiteral("Total : 2"));
        QVERIFY(tab.removeEnabled && tab.removeAllEnabled);

        ClickEntry("addressListWidget", "001012 RTS ");
        add({TypeAddress("$FF001000", &title), ErrorBox(duplicateAddress, &seen)});
        QCOMPARE(seen, QStringList{Error(duplicateAddress)});
        tab = Read("address");
        QCOMPARE(tab.entries, (QStringList{"001000 MOVE.W #$1234,D0", "001012 RTS "}));
        QCOMPARE(tab.current, QStringLiteral("001000 MOVE.W #$1234,D0"));
        QCOMPARE(tab.total, QStringLiteral("Total : 2"));

        // Any expression: the registers are read as they are now.
        document->emulator->registers->pc = 0x1000;
        add({TypeAddress("pc+$1000", &title)});
        add({[](QWidget* modal) { ClickLater(Child<QPushButton>(modal, "cancelButton")); }});
        tab = Read("address");
        QCOMPARE(tab.entries, (QStringList{"001000 MOVE.W #$1234,D0", "001012 RTS ", "002000 NOP "}));
        QCOMPARE(tab.current, QStringLiteral("002000 NOP "));
        QCOMPARE(tab.total, QStringLiteral("Total : 3"));
        QVERIFY(document->addressBreakpoints.isEmpty());

        Click(Button("okButton"));
        QCOMPARE(document->addressBreakpoints, AddressBreakpointList() << 0x1000 << 0x1012 << 0x2000);
    }

    // "Supprimer" takes away the selected entry; the buttons follow what is left.
    void removeEntries()
    {
        document->AddInstructionBreakpoint(0x4E75);
        document->AddInstructionBreakpoint(0x4E40);
        Open();
        ShowTab(1);
        ClickEntry("instructionListWidget", "RTS");
        QCOMPARE(Read("instruction").current, QStringLiteral("RTS"));
        Click(Button("removeInstructionButton"));
        Tab tab = Read("instruction");
        QCOMPARE(tab.entries, (QStringList{"ILLEGAL", "TRAP #0"}));
        QCOMPARE(tab.total, QStringLiteral("Total : 2"));
        // The next entry is selected in its place, so that "Supprimer" can go on.
        QCOMPARE(tab.current, QStringLiteral("TRAP #0"));
        QVERIFY(tab.removeEnabled && tab.removeAllEnabled);

        ClickEntry("instructionListWidget", "ILLEGAL");
        Click(Button("removeInstructionButton"));
        QCOMPARE(Read("instruction").entries, QStringList{"TRAP #0"});
        Click(Button("removeInstructionButton"));
        tab = Read("instruction");
        QVERIFY(tab.entries.isEmpty());
        QCOMPARE(tab.total, QStringLiteral("Total : 0"));
        QVERIFY(!tab.removeEnabled && !tab.removeAllEnabled);
        Click(Button("okButton"));
        QVERIFY(document->instructionBreakpoints.isEmpty());
    }

    // "Vider" then "Annuler" leaves the document as it was; "Vider" then "OK" empties the
    // list emptied and no other.
    void clearThenCancelOrOk()
    {
        WriteProgram();
        document->AddAddressBreakpoint(0x2000);
        document->AddAddressBreakpoint(0x1000);
        Open();
        QCOMPARE(Read("address").entries, (QStringList{"001000 MOVE.W #$1234,D0", "002000 NOP "}));
        Click(Button("removeAllAddressButton"));
        ShowTab(1);
        Click(Button("removeAllInstructionButton"));
        for (const char* kind : {"address", "instruction"}) {
            const Tab tab = Read(kind);
            QVERIFY(tab.entries.isEmpty());
            QCOMPARE(tab.total, QStringLiteral("Total : 0"));
            QVERIFY(!tab.removeEnabled && !tab.removeAllEnabled);
        }
        Click(Button("cancelButton"));
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC);
        QCOMPARE(document->addressBreakpoints, AddressBreakpointList() << 0x2000 << 0x1000);

        Open();
        QCOMPARE(Read("address").total, QStringLiteral("Total : 2"));
        Click(Button("removeAllAddressButton"));
        Click(Button("okButton"));
        QVERIFY(document->addressBreakpoints.isEmpty());
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC);
        QVERIFY(document->addressBreakpointsEnabled && document->instructionBreakpointsEnabled);
    }

    // Unchecking "Activer" switches that kind off on "OK" and keeps its entries; the
    // dialog run as the main window runs it.
    void switchOff()
    {
        const auto uncheck = [&](const char* box, QWidget* modal) {
            Click(Child<QCheckBox>(modal, box));
            ClickLater(Child<QPushButton>(modal, "okButton"));
        };
        {
            EditBreakpointDialog management(document.get(), nullptr);
            ModalScript script({[&](QWidget* modal) { uncheck("enableAddressCheckBox", modal); }});
            QCOMPARE(management.exec(), int(QDialog::Accepted));
            QVERIFY(script.unexpected.isEmpty());
        }
        QVERIFY(!document->addressBreakpointsEnabled);
        QVERIFY(document->instructionBreakpointsEnabled);
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC);

        Open();
        QVERIFY(!Read("address").enabled && Read("instruction").enabled);
        ShowTab(1);
        Click(Child<QCheckBox>(dialog.get(), "enableInstructionCheckBox"));
        Click(Button("okButton"));
        QVERIFY(!document->instructionBreakpointsEnabled);
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC);
    }

    // A document that holds the same breakpoint twice, or an address above 24 bits, opens
    // without a message: one entry each, and "OK" gives the document one of each.
    void documentDuplicatesOpenQuietly()
    {
        WriteProgram();
        document->instructionBreakpoints << 0x4E75 << 0x4AFC << 0x4E75;
        document->addressBreakpoints << 0x2000 << 0x1000 << 0x2000 << 0x01001000;
        ModalScript script({});
        Open();
        SplitTest::Settle();
        QVERIFY2(script.unexpected.isEmpty(), qPrintable(script.unexpected.join(QLatin1Char('\n'))));
        QCOMPARE(Read("instruction").entries, (QStringList{"ILLEGAL", "RTS"}));
        QCOMPARE(Read("instruction").total, QStringLiteral("Total : 2"));
        QCOMPARE(Read("address").entries, (QStringList{"001000 MOVE.W #$1234,D0", "002000 NOP "}));
        QCOMPARE(Read("address").total, QStringLiteral("Total : 2"));
        Click(Button("okButton"));
        QCOMPARE(document->instructionBreakpoints, InstructionBreakpointList() << 0x4AFC << 0x4E75);
        QCOMPARE(document->addressBreakpoints, AddressBreakpointList() << 0x1000 << 0x2000);
    }
};

ZENDRA_GUI_TEST_MAIN(BreakpointDialogTest)
#include "tst_breakpoints.moc"
