// Builds a tab widget with nested split views, as the debugger's pages are made, and saves
// a picture of each page, to look at. Not a test: run by hand.
//   splitview_demo [directory]
#include "DemoViews.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QString directory = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();

    QTabWidget tabs;
    tabs.resize(900, 600);
    ViewManager::Initialize(&tabs, nullptr);
    RegisterDemoKinds();

    const NestedPage nested = BuildNestedPage();
    ViewManager* mixed = new ViewManager(QStringLiteral("Mixte"), nested.root);
    nested.left->SetSeparatorWidth(1);
    nested.left->SetSeparatorPosition(120, false);
    nested.left->resizingMode = SplitView::FirstFixed;
    nested.topText->savedHeight = 120;
    nested.innerText->ActivateByDefault();
    // A narrow text view shows both bars and the square between them.
    VSplitView* narrow = new VSplitView(new LinesView(200), new NameView);
    new ViewManager(QStringLiteral("Texte"), narrow);
    narrow->SetSeparatorPosition(220, true);
    new ViewManager(QStringLiteral("Vide"), new DefaultView);
    // One page split further through the manager, as the context menu does.
    ViewManager* grown = new ViewManager(QStringLiteral("Découpée"), new NameView);
    grown->VSplit(grown->rootView);
    grown->HSplit(grown->SingleViewList().at(1));
    // Eight views stacked in one column beside a text view: the tallest column allowed.
    ViewManager* column = new ViewManager(QStringLiteral("Colonne"), new LinesView(100));
    column->VSplit(column->rootView);
    View* end = static_cast<SplitView*>(column->rootView)->firstView;
    for (int i = 0; i < 7; ++i) {
        column->HSplit(end);
        end = end->SplitParent()->secondView;
    }
    tabs.show();
    app.processEvents();

    const auto save = [&](int index, const QString& name) {
        tabs.setCurrentIndex(index);
        app.processEvents();
        const QString path = QDir(directory).filePath(name);
        if (!tabs.grab().save(path))
            qWarning("cannot write %s", qPrintable(path));
        else
            qInfo("%s", qPrintable(path));
    };
    save(mixed->tabIndex, QStringLiteral("splitview_nested.png"));
    // The right-hand subtree as a press on its separator paints it.
    nested.right->Select(true);
    save(mixed->tabIndex, QStringLiteral("splitview_selected.png"));
    nested.right->Select(false);
    save(1, QStringLiteral("splitview_text.png"));
    save(2, QStringLiteral("splitview_empty.png"));
    save(3, QStringLiteral("splitview_grown.png"));
    save(column->tabIndex, QStringLiteral("splitview_column.png"));
    // Squeezed: the left-hand subtree down to its minimum, then the whole window made small.
    nested.root->SetSeparatorPosition(0, true);
    nested.root->UpdateSize();
    save(mixed->tabIndex, QStringLiteral("splitview_squeezed.png"));
    tabs.resize(260, 180);
    save(mixed->tabIndex, QStringLiteral("splitview_small.png"));
    return 0;
}
