// What the main window tests share: an application whose command line names the session
// program, modal boxes answered from a timer, and waiting for the emulation thread.
#ifndef MAINWINDOW_TEST_SUPPORT_H
#define MAINWINDOW_TEST_SUPPORT_H

#include "app/MainWindow.h"
#include "session/Session.h"
#include "session/Document.h"
#include "splitview/DefaultView.h"
#include "splitview/SplitViewTestSupport.h"
#include "splitview/ViewManager.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

// The window loads the file that its application's command line names, so the test's own
// arguments (which select test functions) are kept apart from the application's.
#define ZENDRA_MAINWINDOW_TEST_MAIN(TestClass, startFile)                                                              \
    int main(int argc, char** argv)                                                                                    \
    {                                                                                                                  \
        qputenv("QT_QPA_PLATFORM", "offscreen");                                                                       \
        QByteArray program("zendra"), file(startFile);                                                                 \
        int appArgc = 2;                                                                                               \
        char* appArgv[] = {program.data(), file.data(), nullptr};                                                      \
        QApplication app(appArgc, appArgv);                                                                            \
        SplitTest::QuietPlatformWarnings();                                                                            \
        QTemporaryDir settingsDir;                                                                                     \
        WindowTest::UseSettingsIn(settingsDir.path());                                                                 \
        TestClass test;                                                                                                \
        return QTest::qExec(&test, argc, argv);                                                                        \
    }

namespace WindowTest {

// What the windows remember goes to a folder of the test's own, fresh for each run, never
// to the user's settings.
inline void UseSettingsIn(const QString& folder)
{
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

inline QString Program(const char* name)
{
    return QStringLiteral(MAINWINDOW_PROGRAMS "/%1.hex").arg(QLatin1String(name));
}

// Answers every modal dialog that opens while it lives: message boxes are read and closed
// with their default button, other dialogs are handed to a callback (or rejected).
class ModalAnswerer : public QObject
{
public:
    explicit ModalAnswerer(std::function<void(QDialog*)> onDialog = nullptr) : onDialog(std::move(onDialog))
    {
        connect(&timer, &QTimer::timeout, this, &ModalAnswerer::Answer);
        timer.start(5);
    }

    QStringList messages;
    QStringList titles;
    int dialogs = 0;

private:
    void Answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        if (QMessageBox* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->text();
            titles << box->windowTitle();
            box->done(QMessageBox::Ok);
        } else if (QDialog* dialog = qobject_cast<QDialog*>(modal)) {
            if (pending)
                return;
            ++dialogs;
            // Answered from a queued call, not from this timer's slot: an answer may open a
            // box of its own, and a timer does not fire again while its slot is running.
            pending = true;
            const QPointer<QDialog> target(dialog);
            QMetaObject::invokeMethod(
                this,
                [this, target]() {
                    pending = false;
                    if (!target)
                        return;
                    if (onDialog)
                        onDialog(target);
                    else
                        target->reject();
                },
                Qt::QueuedConnection);
        }
    }

    bool pending = false;

    std::function<void(QDialog*)> onDialog;
    QTimer timer;
};

// Types the file's whole path into the file dialog, as the user may, and accepts it. The
// dialog itself refuses a name that does not exist; the window is then given it all the same,
// as a file that vanished meanwhile.
inline void ChooseFile(QFileDialog* files, const QString& path)
{
    if (QLineEdit* name = files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        name->setText(path);
    if (QFile::exists(path))
        static_cast<QDialog*>(files)->accept();
    else
        static_cast<QDialog*>(files)->done(QDialog::Accepted);
}

// Shows the window and waits until it is active, so that its keys reach their commands as
// the user's do.
inline bool ShowActive(QWidget& w)
{
    w.show();
    w.activateWindow();
    return QTest::qWaitForWindowActive(&w);
}

// Waits until the emulation thread has ended and the window has taken in its end.
inline bool WaitIdle(MainWindow& w, int timeout = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (w.Busy() || w.running) {
        if (clock.elapsed() > timeout) {
            qWarning() << "still busy: thread" << w.session->IsExecuting() << "running" << w.running << "mode"
                       << w.document->mode << "active" << QApplication::activeWindow() << "focus"
                       << QApplication::focusWidget() << "modal" << QApplication::activeModalWidget() << "popup"
                       << QApplication::activePopupWidget();
            return false;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    QCoreApplication::processEvents();
    return true;
}

// Waits until a long run has really begun on the thread.
inline bool WaitRunning(MainWindow& w, int timeout = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!w.session->IsExecuting()) {
        if (clock.elapsed() > timeout)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    return true;
}

// Splits the tallest view of a tab and makes the empty half a view of that kind, by its
// button as a user does; null when the empty view offers no such kind.
template <class V>
V* OpenViewOfKind(MainWindow& w, int tab, const QString& kind)
{
    w.tabWidget->setCurrentIndex(tab);
    View* root = qobject_cast<View*>(w.tabWidget->widget(tab));
    View* tallest = nullptr;
    for (View* v : root->manager->SingleViewList())
        if (!tallest || v->height() > tallest->height())
            tallest = v;
    tallest->HSplit();
    SplitTest::Settle();
    // The split's root took the view's place in the tab.
    root = qobject_cast<View*>(w.tabWidget->widget(tab));
    for (QPushButton* b : root->findChildren<QPushButton*>()) {
        if (b->text() == kind && qobject_cast<DefaultView*>(b->parentWidget())) {
            QTest::mouseClick(b, Qt::LeftButton);
            SplitTest::Settle();
            return root->findChild<V*>();
        }
    }
    return nullptr;
}

} // namespace WindowTest

#endif
