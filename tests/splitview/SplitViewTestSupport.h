// What the split-view tests share: a GUI test main on the offscreen platform, the user's
// mouse through the window system, context menus opened and answered, pixels read back.
#ifndef SPLITVIEW_TEST_SUPPORT_H
#define SPLITVIEW_TEST_SUPPORT_H

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <QtTest>

#include <functional>

#define ZENDRA_GUI_TEST_MAIN(TestClass)                                                                                \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QApplication app(argc, argv);                                                                                  \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }

namespace SplitTest {

// The offscreen platform says, for every popup, that it cannot raise windows or grab the
// keyboard; those lines would drown what matters in the test log.
inline void QuietPlatformWarnings()
{
    static QtMessageHandler previous = nullptr;
    previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && text.startsWith(QLatin1String("This plugin does not support")))
            return;
        if (previous)
            previous(type, context, text);
    });
}

// Runs the deferred deletions and whatever else is pending, as the event loop would.
inline void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

inline QWindow* WindowOf(QWidget* w)
{
    return w->window()->windowHandle();
}

inline QPoint InWindow(QWidget* w, QPoint pos)
{
    return w->mapTo(w->window(), pos);
}

// Mouse events reach the widgets the way the user's do: through the window, to the widget
// under the pointer, with the implicit grab while a button is held.
inline void Press(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(WindowOf(w), button, Qt::NoModifier, InWindow(w, pos));
}

inline void Move(QWidget* w, QPoint pos)
{
    QTest::mouseMove(WindowOf(w), InWindow(w, pos));
}

inline void Release(QWidget* w, QPoint pos, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseRelease(WindowOf(w), button, Qt::NoModifier, InWindow(w, pos));
}

inline void DoubleClick(QWidget* w, QPoint pos)
{
    QTest::mouseDClick(WindowOf(w), Qt::LeftButton, Qt::NoModifier, InWindow(w, pos));
}

inline void Drag(QWidget* w, QPoint from, QPoint to)
{
    Press(w, from);
    Move(w, to);
    Release(w, to);
}

// Right-clicks `w` at `pos` through its window. The first menu that opens is handed to
// `inside`; whatever is left open afterwards is closed. Returns the number of menus that
// opened, so that a menu opened by an enclosing view as well is seen (and cannot hang).
inline int ContextMenu(QWidget* w, QPoint pos, const std::function<void(QMenu*)>& inside)
{
    int menus = 0;
    bool busy = false;
    QTimer probe;
    probe.setInterval(0);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (busy)
            return;
        QPointer<QMenu> m = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!m)
            return;
        busy = true;
        if (++menus == 1)
            inside(m);
        while (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
        busy = false;
    });
    probe.start();
    QWindow* window = WindowOf(w);
    const QPoint at = InWindow(w, pos);
    QTest::mousePress(window, Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseRelease(window, Qt::RightButton, Qt::NoModifier, at);
    return menus;
}

inline QAction* Entry(QMenu* menu, const QString& text)
{
    if (!menu)
        return nullptr;
    for (QAction* a : menu->actions()) {
        if (a->text() == text)
            return a;
    }
    return nullptr;
}

inline QStringList Entries(QMenu* menu)
{
    QStringList texts;
    for (QAction* a : menu->actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    return texts;
}

// Clicks an entry of an open menu as the user would.
inline void Click(QMenu* menu, QAction* action)
{
    QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier, menu->actionGeometry(action).center());
}

// Opens the submenu behind an entry of an open menu and returns it once it shows.
inline QMenu* OpenSubmenu(QMenu* menu, const QString& text)
{
    QAction* a = Entry(menu, text);
    if (!a || !a->menu())
        return nullptr;
    Click(menu, a);
    if (!a->menu()->isVisible())
        (void)QTest::qWaitFor([&] { return a->menu()->isVisible(); }, 1000);
    return a->menu()->isVisible() ? a->menu() : nullptr;
}

inline QImage Grab(QWidget* w)
{
    return w->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor Pixel(const QImage& image, int x, int y)
{
    return QColor(image.pixel(x, y));
}

} // namespace SplitTest

#endif
