#ifndef PANELOOM_VSPLITVIEW_H
#define PANELOOM_VSPLITVIEW_H

#include "splitview/SplitView.h"

// Two views side by side with a vertical separator between them.
class VSplitView : public SplitView
{
    Q_OBJECT

public:
    VSplitView(View* left, View* right);

    int separatorPosition;
    int resizingMode;
    double ratio;
    QMenu* resizingMenu;

    int LimitSeparatorPosition(int p) const;
    void SetSeparatorPosition(int p, bool updateRatio);
    void CenterSeparator() override;
    void SetSeparatorWidth(int w) override;
    void UpdateSize() override;
    void UpdateMinimumSize();
    void UpdateChildSize();
    void DrawSeparator(QPainter& painter);
    void Draw(QPainter& painter) override;
    int UpdateRatio();
    int RatioAdjustedPosition() const;
    int HSplitCount(const View* target) const override;
    int VSplitCount(const View* target) const override;
    void InitializeMenu() override;

public slots:
    void OnMenu_AboutToShow() override;
    void OnAction_SwapView() override;
    void OnResizingMode(QAction* a);

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int Available() const;
};

#endif
