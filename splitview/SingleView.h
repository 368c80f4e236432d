#ifndef PANELOOM_SINGLEVIEW_H
#define PANELOOM_SINGLEVIEW_H

#include "splitview/View.h"

#include <QColor>

// A leaf of a page's view tree. The leaf that the manager holds as active is painted in the
// active colour; a selection (while the user works on a separator) overrides both colours.
class SingleView : public View
{
    Q_OBJECT

public:
    SingleView();

    QColor activeColor;
    QColor inactiveColor;
    QColor selectedColor;

    void SetManager(ViewManager* m) override;
    void Select(bool s) override;
    void UpdateBackColor() override;
    bool IsOneViewActivating() const override;
    void ActivateByDefault() override;
    int HSplitCount(const View* target) const override;
    int VSplitCount(const View* target) const override;
    bool IsSplitView() const override;
    void Draw(QPainter& painter) override;

    bool IsActive() const;

protected:
    void focusInEvent(QFocusEvent* event) override;
};

#endif
