// View kinds for the split-view tests and the demonstration program: a named leaf, a
// scrolling text leaf, and a leaf that never takes the focus.
#ifndef SPLITVIEW_DEMO_VIEWS_H
#define SPLITVIEW_DEMO_VIEWS_H

#include "splitview/DefaultView.h"
#include "splitview/HSplitView.h"
#include "splitview/SingleView.h"
#include "splitview/TextView.h"
#include "splitview/VSplitView.h"
#include "splitview/ViewManager.h"

#include <QPainter>

// Draws its class name; its colours tell the active leaf from the others.
class NameView : public SingleView
{
    Q_OBJECT

public:
    NameView()
    {
        activeColor = QColor(214, 232, 255);
        inactiveColor = QColor(244, 244, 244);
        SetBackColor(inactiveColor);
    }
};

// Numbered lines of text, scrolled with the bars, the keys and the wheel.
class LinesView : public TextView
{
    Q_OBJECT

public:
    explicit LinesView(int lines = 60)
    {
        activeColor = QColor(255, 250, 215);
        columnOrigin = 1;
        SetTextWidth(36);
        SetTextHeight(lines);
    }

    void Draw(QPainter& painter) override
    {
        painter.setPen(Qt::black);
        painter.setFont(textFont);
        const int first = vValue / lineHeight;
        const int last = std::min(textHeight, first + height(Automatic) / lineHeight + 1);
        line = first;
        for (int n = first; n < last; ++n) {
            column = 0;
            painter.setFont(boldFont);
            Print(painter, QStringLiteral("%1").arg(n + 1, 4, 10, QLatin1Char('0')));
            painter.setFont(textFont);
            PrintLine(painter, QStringLiteral(" ligne de texte, colonne 20"));
        }
    }
};

// A leaf that refuses the focus, as some of the debugger's views do.
class StillView : public SingleView
{
    Q_OBJECT

public:
    StillView()
    {
        setFocusPolicy(Qt::NoFocus);
        activeColor = inactiveColor = QColor(Qt::lightGray);
        SetBackColor(inactiveColor);
    }
};

// The registered kinds: label and factory index for index. "Rien" creates nothing.
inline void RegisterDemoKinds()
{
    ViewManager::descriptionList = {QStringLiteral("Texte"), QStringLiteral("Nom"), QStringLiteral("Fixe"),
                                    QStringLiteral("Rien")};
    ViewManager::creationList = {
        []() -> View* { return new LinesView; },
        []() -> View* { return new NameView; },
        []() -> View* { return new StillView; },
        []() -> View* { return nullptr; },
    };
}

// A page with nested splits:
//   VSplit( HSplit(text, name), HSplit(empty, VSplit(text, name)) )
struct NestedPage
{
    VSplitView* root;
    HSplitView* left;
    HSplitView* right;
    VSplitView* inner;
    LinesView* topText;
    NameView* topName;
    DefaultView* empty;
    LinesView* innerText;
    NameView* innerName;
};

inline NestedPage BuildNestedPage()
{
    NestedPage p;
    p.topText = new LinesView;
    p.topName = new NameView;
    p.empty = new DefaultView;
    p.innerText = new LinesView(8);
    p.innerName = new NameView;
    p.left = new HSplitView(p.topText, p.topName);
    p.inner = new VSplitView(p.innerText, p.innerName);
    p.right = new HSplitView(p.empty, p.inner);
    p.root = new VSplitView(p.left, p.right);
    return p;
}

#endif
