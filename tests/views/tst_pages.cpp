// The views in tab pages: an empty view offers the three kinds and becomes the one picked, a
// breakpoint toggled in one disassembly view shows in every view of the page.
#include "ViewsTestSupport.h"
#include "panel/ModalScript.h"

#include "splitview/DefaultView.h"
#include "splitview/HSplitView.h"
#include "splitview/VSplitView.h"
#include "views/ExecutedDisaView.h"
#include "views/MemoryView.h"
#include "views/StandardDisaView.h"

#include <QLineEdit>
#include <QPushButton>

using namespace SplitTest;
using namespace ViewsTest;

namespace {

// The three kinds, as the main window registers them.
void RegisterKinds()
{
    ViewManager::descriptionList = {QStringLiteral("Désassemblage"), QStringLiteral("Inst. exécutées"), QStringLiteral("Mémoire")};
    ViewManager::creationList = {[]() -> View* { return new StandardDisaView; },
                                 []() -> View* { return new ExecutedDisaView; },
                                 []() -> View* { return new MemoryView; }};
}

QPushButton* Button(View* view, const QString& label)
{
    for (QPushButton* b : view->findChildren<QPushButton*>())
        if (b->text() == label)
            return b;
    return nullptr;
}

// Counts the paints that reach a widget.
class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

} // namespace

class PageTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QuietPlatformWarnings();
    }

    void cleanup()
    {
        ViewManager::descriptionList.clear();
        ViewManager::creationList.clear();
    }

    void anEmptyViewOffersTheThreeKinds()
    {
        Machine machine;
        RegisterKinds();
        ViewManager* page = new ViewManager(QStringLiteral("Mixte"), new DefaultView);
        machine.tabs->resize(1000, 600);
        machine.tabs->show();
        QVERIFY(QTest::qWaitForWindowExposed(machine.tabs.get()));
        // Each kind in turn replaces the empty view, which is first split off the last one.
        const QStringList labels = ViewManager::descriptionList;
        for (const QString& label : labels) {
            if (label != labels.first())
                page->VSplit(page->SingleViewList().last());
            Settle();
            View* empty = page->SingleViewList().last();
            QStringList buttons;
            for (QPushButton* b : empty->findChildren<QPushButton*>())
                buttons << b->text();
            QCOMPARE(buttons, labels);
            QTest::mouseClick(Button(empty, label), Qt::LeftButton);
            Settle();
            QCOMPARE(page->activeView, page->SingleViewList().last());
        }
        const QList<View*> leaves = page->SingleViewList();
        QVERIFY(qobject_cast<StandardDisaView*>(leaves.value(0)));
        QVERIFY(qobject_cast<ExecutedDisaView*>(leaves.value(1)));
        QVERIFY(qobject_cast<MemoryView*>(leaves.value(2)));
        (void)Grab(machine.tabs.get());
    }

    void aMarginClickRepaintsThePage()
    {
        Machine machine;
        StandardDisaView* left = new StandardDisaView;
        StandardDisaView* right = new StandardDisaView;
        MemoryView* dump = new MemoryView;
        new ViewManager(QStringLiteral("Désa"), new HSplitView(new VSplitView(left, right), dump));
        machine.tabs->resize(1200, 600);
        machine.tabs->show();
        QVERIFY(QTest::qWaitForWindowExposed(machine.tabs.get()));
        left->SetStartAddress(programStart);
        right->SetStartAddress(programStart);
        Settle();
        PaintCounter rightPaints;
        right->installEventFilter(&rightPaints);
        const int l = left->lineHeight;
        ClickAt(left, QPoint(1, 2 * l + l / 2));
        QCOMPARE(QList<unsigned int>(machine.document->addressBreakpoints), QList<unsigned int>({0x100E}));
        Settle();
        QVERIFY(rightPaints.paints > 0);
        // The other view shows the breakpoint's frame on the same line.
        const QImage image = Grab(right);
        QCOMPARE(QColor(image.pixel(right->width(ScrollView::Automatic) - 2, 2 * l + l / 4 + l / 2)), QColor(255, 245, 238));
    }

    void defineAsksForTheStartAddress()
    {
        Machine machine;
        machine.registers()->a[0] = dataStart;
        StandardDisaView disa;
        MemoryView dump;
        Show(&disa, 700, 200);
        Show(&dump, 700, 200);
        const QList<QPair<ScrollView*, std::function<unsigned int()>>> views = {
            {&disa, [&] { return disa.ScrollValueToAddress(disa.vValue); }},
            {&dump, [&] { return dump.ScrollValueToAddress(dump.vValue); }},
        };
        // Picks "Définir...", types an expression into the address dialog and presses one of
        // its buttons; "1 +" is refused with the message and the dialog stays for another try.
        const auto define = [](ScrollView* view, const QStringList& typed, const char* button) {
            ModalScript script;
            QStringList boxes;
            script.boxes = &boxes;
            for (const QString& expression : typed)
                script.Then("GetAddressDialog", [=](QWidget* modal) {
                    QCOMPARE(modal->windowTitle(), QStringLiteral("Nouvelle adresse de départ"));
                    QLineEdit* text = modal->findChild<QLineEdit*>(QStringLiteral("addressText"));
                    text->clear();
                    QTest::keyClicks(text, expression);
                    QTest::mouseClick(modal->findChild<QPushButton*>(QLatin1String(button)), Qt::LeftButton);
                });
            const int menus = ContextMenu(view, QPoint(100, 40), [](QMenu* menu) {
                QMenu* sub = OpenSubmenu(menu, QStringLiteral("Adresse de départ de la vue"));
                Click(sub, Entry(sub, "Définir..."));
            });
            QCOMPARE(menus, 1);
            QVERIFY(script.Done() && script.Leftovers() == 0);
            QCOMPARE(boxes.join('|'), typed.size() > 1 ? QStringLiteral("Zendra - Erreur: L'expression saisie est invalide.") : QString());
        };
        for (const auto& view : views) {
            define(view.first, {"1 +", "a0+$10"}, "okButton");
            QCOMPARE(view.second(), dataStart + 0x10);
            // Cancelled, the view stays where it was.
            define(view.first, {"$2000"}, "cancelButton");
            QCOMPARE(view.second(), dataStart + 0x10);
            // The view keeps the 24 bits of the address space.
            define(view.first, {"$FF001236"}, "okButton");
            QCOMPARE(view.second(), 0x1236u);
        }
    }
};

int RunPageTests(int argc, char** argv)
{
    PageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pages.moc"
