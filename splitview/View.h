#ifndef PANELOOM_VIEW_H
#define PANELOOM_VIEW_H

#include <QWidget>

class QAction;
class QColor;
class QMenu;
class QPainter;
class SplitView;
class ViewManager;

// One pane of a tab page. The panes of a page form a binary tree: split views inside,
// single views at the leaves. Every pane carries the context menu through which the user
// reshapes the tree.
class View : public QWidget
{
    Q_OBJECT

public:
    View();
    ~View() override;

    bool selected;
    ViewManager* manager;
    int savedWidth;
    int savedHeight;
    QMenu* menu;
    bool menuBuilt;
    QAction* deleteAction;
    QAction* hSplitAction;
    QAction* vSplitAction;

    static int viewCount;

    using QWidget::update;
    virtual void update();
    virtual void SetManager(ViewManager* m) = 0;
    virtual void Select(bool s) = 0;
    virtual void UpdateBackColor() = 0;
    virtual bool IsOneViewActivating() const = 0;
    virtual void ActivateByDefault() = 0;
    virtual int HSplitCount(const View* target) const = 0;
    virtual int VSplitCount(const View* target) const = 0;
    virtual bool IsSplitView() const = 0;

public slots:
    virtual void OnMenu_AboutToShow();
    virtual void OnMenu_AboutToHide();

public:
    virtual void InitializeMenu();
    virtual void Draw(QPainter& painter) = 0;

    void SetBackColor(const QColor& c);
    void Redraw();
    bool IsRoot() const;
    SplitView* SplitParent() const;
    bool IsMoreHSplit() const;
    bool IsMoreVSplit() const;

public slots:
    void HSplit();
    void VSplit();
    void SetDefaultView();
    void Delete();

protected:
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    const View* TreeRoot() const;
};

#endif
