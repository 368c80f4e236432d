#ifndef ZENDRA_APP_WINDOWPLACEMENT_H
#define ZENDRA_APP_WINDOWPLACEMENT_H

#include <QMargins>
#include <QRect>

class QWidget;

// Keeps a top-level window, frame and title bar included, inside the available area of its
// screen (the desktop less its panels). A geometry saved on another screen, or at another
// scale (QT_SCALE_FACTOR), may lie partly off this one, or be larger than it.
class WindowPlacement
{
public:
    // The frame assumed around a window that the window system has not framed yet: a title
    // bar above, thin borders elsewhere.
    static const QMargins assumedFrame;

    // The geometry (frame excluded) moved, and shrunk to no less than minimum, so that the
    // frame around it lies inside available. A frame larger than available keeps its top
    // left corner inside, so that the title bar can still be reached.
    static QRect Fit(const QRect& geometry, const QMargins& frame, const QRect& available, const QSize& minimum);

    // Fits the window to its screen. A window that can be resized takes at most the room its
    // screen has, even below its minimum size; one of a fixed size keeps it.
    static void FitToScreen(QWidget* window);

    // The available area of the screen where the window's centre lies, else of the primary.
    static QRect Available(const QWidget* window);
    // The window's frame as the window system draws it, or assumedFrame before it does.
    static QMargins Frame(const QWidget* window);
    // The largest size of the window whose frame fits its screen's available area.
    static QSize Room(const QWidget* window);
};

#endif
