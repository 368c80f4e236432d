#ifndef PANELOOM_ORIENTEDSPLITVIEW_H
#define PANELOOM_ORIENTEDSPLITVIEW_H

#include "splitview/SplitView.h"

// A split view whose separator lies in one fixed orientation. The side-by-side and the stacked
// splits are transposes of each other, so their whole behaviour is written once here in terms
// of the axis the separator moves along: x and widths across a vertical separator, y and
// heights across a horizontal one.
class OrientedSplitView : public SplitView
{
    Q_OBJECT

public:
    // The orientation is the separator's: Qt::Vertical puts the children side by side,
    // Qt::Horizontal one above the other.
    OrientedSplitView(View* first, View* second, Qt::Orientation separatorOrientation);

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
    const Qt::Orientation orientation;

    bool SideBySide() const;
    int Available() const;
    // Lengths along the axis the separator moves on, and across it; a missing view has none.
    int Along(const QWidget* w) const;
    int MinimumAlong(const View* v) const;
    int MinimumAcross(const View* v) const;
    // The size last recorded along the axis; -1 for a missing view, as for one never recorded.
    int SavedAlong(const View* v) const;
    QSize Transposed(int along, int across) const;
    void PlaceChild(View* v, int start, int length);
    void DrawLineAcross(QPainter& painter, int at);
};

#endif
