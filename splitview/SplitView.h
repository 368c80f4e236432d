#ifndef PANELOOM_SPLITVIEW_H
#define PANELOOM_SPLITVIEW_H

#include "splitview/View.h"

// An inner node of a page's view tree: two child views and, between them, a separator that
// the user drags, centres, thickens or thins.
class SplitView : public View
{
    Q_OBJECT

public:
    // How a split view shares a change of its size between its two children.
    enum ResizingMode { Proportional = 0, FirstFixed = 1, SecondFixed = 2 };

    SplitView(View* first, View* second);

    View* firstView;
    View* secondView;
    int separatorWidth;
    QMenu* separatorSizeMenu;

    virtual void UpdateSize() = 0;
    virtual void SetSeparatorWidth(int w) = 0;
    virtual void CenterSeparator() = 0;

public slots:
    virtual void OnAction_SwapView() = 0;
    void OnMenu_AboutToShow() override;
    void OnAction_ResizeSeparator(QAction* a);
    void OnAction_CenterSeparator();

public:
    void SetChildView(View* v);
    void RemoveChildView(View* v);
    View* OtherView(View* v) const;

    void update() override;
    using View::update;
    void SetManager(ViewManager* m) override;
    void Select(bool s) override;
    void UpdateBackColor() override;
    bool IsOneViewActivating() const override;
    void ActivateByDefault() override;
    bool IsSplitView() const override;
    void InitializeMenu() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

    // Bounds every separator thickness the split views accept.
    static int BoundedSeparatorWidth(int w);
    static void RecordSize(View* v);
};

#endif
