// Pictures of the debugger's views, to look at: each view at two sizes, and a page that puts
// a disassembly beside a memory dump. Not a test: run by hand.
//   views_pictures [directory]
#include "ViewsTestSupport.h"

#include "core/Emulator.h"
#include "splitview/HSplitView.h"
#include "splitview/VSplitView.h"
#include "views/ExecutedDisaView.h"
#include "views/MemoryView.h"
#include "views/StandardDisaView.h"

#include <QApplication>
#include <QDir>
#include <QMenu>

using namespace ViewsTest;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    const auto save = [&](QWidget* w, const QString& name) {
        SplitTest::Settle();
        const QString path = QDir(directory).filePath(name);
        if (!w->grab().save(path))
            qWarning("cannot write %s", qPrintable(path));
        else
            qInfo("%s", qPrintable(path));
    };

    Machine machine;
    Document* document = machine.document.get();
    // A few steps, so that the history has something to show and the arrow has moved.
    for (int i = 0; i < 4; ++i)
        document->emulator->Execute();
    document->AddAddressBreakpoint(0x1016);
    document->AddAddressBreakpoint(0x1014);
    document->AddAddressBreakpoint(0x101C);

    {
        StandardDisaView view;
        view.SetStartAddress(programStart - 4);
        Show(&view, 760, 14 * view.lineHeight + 5);
        save(&view, QStringLiteral("disa_large.png"));
        view.resize(300, 6 * view.lineHeight);
        save(&view, QStringLiteral("disa_small.png"));
        document->addressBreakpointsEnabled = false;
        view.resize(760, 14 * view.lineHeight + 5);
        save(&view, QStringLiteral("disa_disabled.png"));
        document->addressBreakpointsEnabled = true;
        view.VScroll(ScrollView::End);
        save(&view, QStringLiteral("disa_end.png"));
        view.SetStartAddress(programStart - 4);
        view.SetShowCycles(true);
        save(&view, QStringLiteral("disa_cycles.png"));
        // The instructions whose cycles data decide, or that may raise an exception.
        const unsigned int kinds[] = {0xC0C1, 0x81FC, 0xFFFB, 0x80FC, 0x0000, 0xE3A8, 0xE988, 0x48E0, 0xF040, 0x41BC,
                                      0x0064, 0x4E76, 0x67FE, 0x57C8, 0xFFFE, 0x57C0, 0x0340, 0x4E70, 0x4E40, 0x4E75};
        unsigned int address = 0x2000;
        for (unsigned int word : kinds) {
            document->memory->Write(address, word, 16, true);
            address += 2;
        }
        view.SetStartAddress(0x2000);
        view.resize(760, 16 * view.lineHeight + 5);
        save(&view, QStringLiteral("disa_cycles_kinds.png"));
    }
    {
        ExecutedDisaView view;
        Show(&view, 760, 8 * view.lineHeight + 3);
        save(&view, QStringLiteral("executed_large.png"));
        view.SetShowCycles(true);
        save(&view, QStringLiteral("executed_cycles.png"));
        view.SetShowCycles(false);
        view.resize(400, 3 * view.lineHeight);
        save(&view, QStringLiteral("executed_small.png"));
        view.setEnabled(false);
        save(&view, QStringLiteral("executed_running.png"));
    }
    {
        MemoryView view;
        view.SetStartAddress(programStart);
        Show(&view, 720, 12 * view.lineHeight);
        save(&view, QStringLiteral("memory_large.png"));
        view.SetBytePerLineAuto(true);
        view.resize(330, 6 * view.lineHeight);
        save(&view, QStringLiteral("memory_small_auto.png"));
        view.SetBytePerLine(16);
        save(&view, QStringLiteral("memory_small_16.png"));
        // The two submenus with their icons, as they pop up.
        int index = 0;
        for (QAction* a : view.menu->actions()) {
            if (!a->menu())
                continue;
            a->menu()->popup(QPoint(0, 0));
            save(a->menu(), QStringLiteral("memory_submenu_%1.png").arg(++index));
            a->menu()->hide();
        }
    }
    {
        StandardDisaView* disa = new StandardDisaView;
        MemoryView* dump = new MemoryView;
        ExecutedDisaView* executed = new ExecutedDisaView;
        VSplitView* top = new VSplitView(disa, dump);
        HSplitView* root = new HSplitView(top, executed);
        new ViewManager(QStringLiteral("Mixte"), root);
        disa->SetStartAddress(programStart);
        dump->SetStartAddress(dataStart);
        machine.tabs->resize(1200, 560);
        machine.tabs->show();
        (void)QTest::qWaitForWindowExposed(machine.tabs.get());
        SplitTest::Settle();
        save(machine.tabs.get(), QStringLiteral("page_mixed.png"));
    }
    return 0;
}
