#ifndef PANELOOM_SCROLLVIEW_H
#define PANELOOM_SCROLLVIEW_H

#include "splitview/SingleView.h"

class QScrollBar;

// A leaf that scrolls a content area of a given size in pixels, with two scroll bars of its
// own, the keyboard and the wheel. The scrolling operations are virtual, so that a subclass
// can scroll by its own units.
class ScrollView : public SingleView
{
    Q_OBJECT

public:
    enum BarDisplay { Automatic = 0, AlwaysVisible = 1, AlwaysInvisible = 2 };
    // The values of the slider actions of the scroll bars. "Down" means towards larger values.
    enum ScrollAction { StepDown = 1, StepUp = 2, PageDown = 3, PageUp = 4, Home = 5, End = 6 };

    ScrollView();

    QScrollBar* hScrollBar;
    QScrollBar* vScrollBar;
    int scrollWidth;
    int scrollHeight;
    int hValue;
    int vValue;
    int hSingleStep;
    int vSingleStep;
    BarDisplay hBarDisplay;
    BarDisplay vBarDisplay;
    bool hKeysEnabled;
    bool vKeysEnabled;
    bool firstPaint;
    QMenu* hBarMenu;
    QMenu* vBarMenu;

    virtual void HScroll(ScrollAction a);
    virtual void HScrollHome();
    virtual void HScrollEnd();
    virtual void HScrollStepUp();
    virtual void HScrollStepDown();
    virtual void HScrollPageUp();
    virtual void HScrollPageDown();
    virtual void VScroll(ScrollAction a);
    virtual void VScrollHome();
    virtual void VScrollEnd();
    virtual void VScrollStepUp();
    virtual void VScrollStepDown();
    virtual void VScrollPageUp();
    virtual void VScrollPageDown();

    using QWidget::width;
    using QWidget::height;
    using QWidget::size;
    int width(BarDisplay d) const;
    int height(BarDisplay d) const;
    QSize size(BarDisplay d) const;

    int HAlign(int a) const;
    int VAlign(int a) const;
    int HLimit(int a) const;
    int VLimit(int a) const;
    void SetHValue(int a);
    void SetVValue(int a);
    void SetScrollWidth(int w);
    void SetScrollHeight(int h);
    void SetHSingleStep(int s);
    void SetVSingleStep(int s);
    void SetHBarDisplay(BarDisplay d);
    void SetVBarDisplay(BarDisplay d);
    void ScrollUpdate();
    void HScrollUpdate();
    void VScrollUpdate();
    void UpdateBarLayout();

    void InitializeMenu() override;
    void OnMenu_AboutToShow() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

public slots:
    void OnHScrollBar_ActionTriggered(int a);
    void OnVScrollBar_ActionTriggered(int a);
    void OnHScrollBar_ValueChanged(int v);
    void OnVScrollBar_ValueChanged(int v);
    void OnAction_HBarDisplay(QAction* a);
    void OnAction_VBarDisplay(QAction* a);

protected:
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // A bar shown or hidden while the bars are being brought up to date.
    bool barsChanging = false;
    bool barsChangedAgain = false;

    static BarDisplay ToBarDisplay(const QVariant& data);
};

#endif
