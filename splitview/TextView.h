#ifndef PANELOOM_TEXTVIEW_H
#define PANELOOM_TEXTVIEW_H

#include "splitview/ScrollView.h"

#include <QFont>

// A scrolling view of lines of monospaced text: content sizes are given in character cells
// and lines, text is printed at a running column and line.
class TextView : public ScrollView
{
    Q_OBJECT

public:
    TextView();

    double charWidth;
    int lineHeight;
    int column;
    int line;
    int columnOrigin;
    int lineOrigin;
    int textWidth;
    int textHeight;
    QFont textFont;
    QFont boldFont;
    bool extraPage;

    void setTextFont(const QFont& f);
    void SetTextWidth(int n);
    void SetTextHeight(int n);
    QPoint PixelToLocation(const QPoint& p) const;
    void Print(QPainter& painter, const QString& s);
    void PrintLine(QPainter& painter, const QString& s);
    void NewLine();

protected:
    void resizeEvent(QResizeEvent* event) override;
};

#endif
