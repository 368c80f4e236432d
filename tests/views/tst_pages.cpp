// The views in tab pages: an empty view offers the three kinds and becomes the one picked, a
// breakpoint toggled in one disassembly view shows in every view of the page.
#include "ViewsTestSupport.h"
#include "ViewsTests.h"

#include "splitview/DefaultView.h"
#include "splitview/HSplitView.h"
#include "splitview/VSplitView.h"
#include "views/ExecutedDisaView.h"
#include "views/MemoryView.h"
#include "views/StandardDisaView.h"

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
        const QStringList labels = {"Désassemblage", "Inst. exécutées", "Mémoire"};
        // The root becomes a disassembly; split, its new empty half a memory view; split
        // again, an executed-instructions view.
        QStringList buttons;
        for (QPushButton* b : page->rootView->findChildren<QPushButton*>())
            buttons << b->text();
        QCOMPARE(buttons, labels);
        QTest::mouseClick(Button(page->rootView, "Désassemblage"), Qt::LeftButton);
        Settle();
        QVERIFY(qobject_cast<StandardDisaView*>(page->rootView));
        page->VSplit(page->rootView);
        Settle();
        View* empty = page->SingleViewList().at(1);
        QVERIFY(qobject_cast<DefaultView*>(empty));
        QTest::mouseClick(Button(empty, "Mémoire"), Qt::LeftButton);
        Settle();
        page->HSplit(page->SingleViewList().at(1));
        Settle();
        QTest::mouseClick(Button(page->SingleViewList().at(2), "Inst. exécutées"), Qt::LeftButton);
        Settle();
        const QList<View*> leaves = page->SingleViewList();
        QCOMPARE(leaves.size(), 3);
        QVERIFY(qobject_cast<StandardDisaView*>(leaves[0]));
        QVERIFY(qobject_cast<MemoryView*>(leaves[1]));
        QVERIFY(qobject_cast<ExecutedDisaView*>(leaves[2]));
        // The view picked last is the active one.
        QCOMPARE(page->activeView, leaves[2]);
        // Each shows the machine: the disassembly at the program counter once pointed there.
        static_cast<StandardDisaView*>(leaves[0])->SetStartAddress(machine.registers()->pc);
        QCOMPARE(Record(*static_cast<StandardDisaView*>(leaves[0])).Lines().value(0).value(0), QStringLiteral("001000"));
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
};

int RunPageTests(int argc, char** argv)
{
    PageTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_pages.moc"
