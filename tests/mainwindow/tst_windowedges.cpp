// The windows at their edges: the breakpoint manager shows its longest entries whole and its
// lists grow with it; a geometry that the screen cannot hold, or that lies off it, comes back
// inside the screen's available area, title bar included, for the main window and the video
// window; and so does one saved at scale 1, in a second run of this program at
// QT_SCALE_FACTOR=2. With ZENDRA_PICTURES=folder, the manager and the second run's screen
// are written there as PNG.
#include "MainWindowTestSupport.h"

#include "app/EditBreakpointDialog.h"
#include "app/VideoDialog.h"
#include "app/WindowPlacement.h"
#include "core/Memory.h"

#include <QListWidget>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>

#include <cstdio>

using namespace WindowTest;

namespace {

// Set in the second run: the folder of the settings that the first run saved.
const char* const scaledRun = "ZENDRA_SCALED_RUN_SETTINGS";

void SavePicture(const QImage& image, const char* name)
{
    if (!qEnvironmentVariableIsEmpty("ZENDRA_PICTURES"))
        image.save(qEnvironmentVariable("ZENDRA_PICTURES") + QLatin1Char('/') + QLatin1String(name));
}

QString Text(const QRect& r)
{
    return QStringLiteral("%1 %2 %3 %4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

QRect Rect(const QString& text)
{
    const QStringList n = text.split(QLatin1Char(' '));
    return n.size() == 4 ? QRect(n[0].toInt(), n[1].toInt(), n[2].toInt(), n[3].toInt()) : QRect();
}

// Whole and in sight: the entry's row is as wide as its text and lies inside the viewport.
bool ShownWhole(QListWidget* list, QListWidgetItem* item)
{
    const QRect rect = list->visualItemRect(item);
    return rect.width() >= QFontMetrics(list->font()).horizontalAdvance(item->text())
        && list->viewport()->rect().contains(rect);
}

// The screen as the second run sees it, in device pixels: its windows where they lie, the
// last on top, each below a title bar as high as the frame that the placement assumes, and
// the available area dashed.
QImage Screen(const QList<QWidget*>& windows)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen->devicePixelRatio();
    QImage image((QSizeF(screen->geometry().size()) * ratio).toSize(), QImage::Format_RGB32);
    image.fill(QColor(40, 70, 110));
    QPainter painter(&image);
    painter.scale(ratio, ratio);
    for (QWidget* w : windows) {
        const QRect frame = w->geometry().marginsAdded(WindowPlacement::assumedFrame);
        painter.fillRect(frame, QColor(200, 200, 200));
        painter.setPen(Qt::black);
        painter.drawText(frame.adjusted(4, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, w->windowTitle());
        painter.drawPixmap(w->geometry(), w->grab());
        painter.setPen(Qt::red);
        painter.drawRect(frame.adjusted(0, 0, -1, -1));
    }
    painter.setPen(QPen(Qt::yellow, 1, Qt::DashLine));
    painter.drawRect(screen->availableGeometry().adjusted(0, 0, -1, -1));
    return image;
}

// The second run: the windows as the settings that the first run saved at scale 1 bring
// them back here, written out for the first run to check.
int ScaledRun()
{
    UseSettingsIn(qEnvironmentVariable(scaledRun));
    MainWindow w;
    w.show();
    w.videoOutAction->trigger();
    if (!QTest::qWaitForWindowExposed(&w) || !QTest::qWaitForWindowExposed(w.videoDialog))
        return 1;
    QScreen* screen = QGuiApplication::primaryScreen();
    std::printf("ratio %g\navailable %s\nwindow %s\nwindowFrame %s\nvideo %s\nvideoFrame %s\nminimum %d %d\n",
                screen->devicePixelRatio(), qPrintable(Text(screen->availableGeometry())),
                qPrintable(Text(w.geometry())), qPrintable(Text(w.frameGeometry())),
                qPrintable(Text(w.videoDialog->geometry())), qPrintable(Text(w.videoDialog->frameGeometry())),
                w.minimumWidth(), w.minimumHeight());
    SavePicture(Screen({w.videoDialog, &w}), "scale2-restored.png");
    return 0;
}

} // namespace

class TestWindowEdges : public QObject
{
    Q_OBJECT

private slots:
    void breakpointManagerShowsItsEntriesWhole();
    void savedGeometryComesBackOnTheScreen();
    void geometrySavedAtScaleOneFitsAtScaleTwo();
};

void TestWindowEdges::breakpointManagerShowsItsEntriesWhole()
{
    MainWindow w;
    QVERIFY(ShowActive(w));
    // MOVE.B D3,$0(A2,D1.W) at 0x1044, with a condition and passes to ignore.
    const unsigned int words[] = {0x1583, 0x1000};
    for (unsigned int i = 0; i < 2; ++i)
        w.document->memory->Write(0x1044 + 2 * i, words[i], 16, true);
    w.document->AddAddressBreakpoint(0x1044);
    w.document->AddAddressBreakpoint(0x1000);
    BreakpointCondition condition;
    QVERIFY(condition.condition.Parse(QStringLiteral("d0==100 && [a0+2].w!=0"), w.document->conditionCalculator));
    condition.ignoreCount = 3;
    w.document->conditions.insert(0x1044, condition);
    w.document->AddWatchpoint(Watchpoint(0x2000, 0x400, WatchAccess));
    // The dialog is sized before the window system frames it.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const QSize room = available.size().shrunkBy(WindowPlacement::assumedFrame);

    {
        EditBreakpointDialog manager(w.document, &w);
        manager.show();
        QVERIFY(QTest::qWaitForWindowExposed(&manager));
        auto* addresses = manager.findChild<QListWidget*>(QStringLiteral("addressListWidget"));
        QListWidgetItem* move = addresses->item(1);
        QCOMPARE(move->text(), QStringLiteral("001044 MOVE.B D3,$0(A2,D1.W) [si d0==100 && [a0+2].w!=0] [ignorer 3]"));
        // Every entry of every list whole, with no bar to scroll: the dialog is as wide as
        // they need.
        for (QListWidget* list : manager.findChildren<QListWidget*>()) {
            manager.findChild<QTabWidget*>()->setCurrentWidget(list->parentWidget());
            SplitTest::Settle();
            QCOMPARE(list->textElideMode(), Qt::ElideNone);
            for (int row = 0; row < list->count(); ++row)
                QVERIFY2(ShownWhole(list, list->item(row)), qPrintable(list->item(row)->text()));
            QCOMPARE(list->horizontalScrollBar()->maximum(), 0);
        }
        manager.findChild<QTabWidget*>()->setCurrentIndex(0);
        QVERIFY(manager.width() < room.width());
        SavePicture(manager.grab().toImage(), "breakpoint-manager.png");

        // Larger, the dialog gives its room to the lists, on each tab.
        const QSize before = addresses->size();
        manager.resize(manager.size() + QSize(120, 90));
        SplitTest::Settle();
        QCOMPARE(addresses->size(), before + QSize(120, 90));
        manager.findChild<QTabWidget*>()->setCurrentIndex(2);
        SplitTest::Settle();
        QCOMPARE(manager.watchListWidget->size(), before + QSize(120, 90));
        // Smaller than an entry, the list scrolls to it rather than cut it.
        manager.resize(manager.minimumSizeHint());
        manager.findChild<QTabWidget*>()->setCurrentIndex(0);
        SplitTest::Settle();
        QVERIFY(addresses->horizontalScrollBar()->maximum() > 0);
        QVERIFY(addresses->visualItemRect(move).width() >= QFontMetrics(addresses->font()).horizontalAdvance(move->text()));
    }

    // An entry wider than the screen: the dialog takes the screen's width, the rest scrolls.
    const QString longer = QStringLiteral("d0==1") + QStringLiteral(" || d0==1").repeated(20);
    QVERIFY(condition.condition.Parse(longer, w.document->conditionCalculator));
    w.document->conditions.insert(0x1044, condition);
    EditBreakpointDialog manager(w.document, &w);
    manager.show();
    QVERIFY(QTest::qWaitForWindowExposed(&manager));
    auto* addresses = manager.findChild<QListWidget*>(QStringLiteral("addressListWidget"));
    QCOMPARE(manager.width(), room.width());
    QVERIFY(manager.frameGeometry().width() <= available.width());
    QScrollBar* bar = addresses->horizontalScrollBar();
    QVERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());
    QListWidgetItem* move = addresses->item(1);
    const QRect end = addresses->visualItemRect(move);
    QVERIFY(end.width() >= QFontMetrics(addresses->font()).horizontalAdvance(move->text()));
    QVERIFY(end.right() >= addresses->viewport()->width() - 1 && end.left() < 0);
    SavePicture(manager.grab().toImage(), "breakpoint-manager-scrolled.png");
}

void TestWindowEdges::savedGeometryComesBackOnTheScreen()
{
    // On an area that does not start at the origin: moved in by its frame; larger than the
    // area and unable to shrink, its title bar's corner in the area's.
    const QMargins frame(8, 32, 8, 8);
    const QRect area(100, 50, 800, 600);
    QCOMPARE(WindowPlacement::Fit(QRect(700, 500, 300, 200), frame, area, QSize()), QRect(592, 442, 300, 200));
    QCOMPARE(WindowPlacement::Fit(QRect(-50, -60, 1000, 900), frame, area, QSize(900, 700)), QRect(108, 82, 900, 700));
    QCOMPARE(WindowPlacement::Fit(QRect(0, 0, 1000, 900), frame, area, QSize(300, 200)), QRect(108, 82, 784, 560));

    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    const struct {
        const char* name;
        QRect window;
        QPoint video;
    } cases[] = {
        {"larger than the screen", QRect(20, 40, available.width() + 300, available.height() + 200), QPoint(10, 50)},
        {"above and left of the screen", QRect(-300, -200, 600, 520), QPoint(-400, -300)},
        {"far below and right", QRect(available.right() + 500, available.bottom() + 400, 560, 510),
         QPoint(available.right() + 10, available.bottom() + 10)},
        {"inside", QRect(60, 50, 600, 510), QPoint(200, 180)},
    };
    for (const auto& c : cases) {
        {
            MainWindow w;
            QVERIFY(ShowActive(w));
            w.setGeometry(c.window);
            w.videoOutAction->trigger();
            w.videoDialog->move(c.video);
            w.close();
        }
        MainWindow w;
        QVERIFY(ShowActive(w));
        w.videoOutAction->trigger();
        QVERIFY2(available.contains(w.frameGeometry()), c.name);
        QVERIFY2(available.contains(w.videoDialog->frameGeometry()), c.name);
        QVERIFY2(available.contains(w.geometry().marginsAdded(WindowPlacement::assumedFrame)), c.name);
        QCOMPARE(w.videoDialog->size(), QSize(480, 320));
        // As large as the screen allows, with the frame assumed before there is one; where
        // it fits, where it was.
        QCOMPARE(w.size(), c.window.size().boundedTo(available.size().shrunkBy(WindowPlacement::assumedFrame)));
        if (QLatin1String(c.name) == QLatin1String("inside")) {
            QCOMPARE(w.geometry(), c.window);
            QCOMPARE(w.videoDialog->pos(), c.video);
        }
        w.close();
    }
}

void TestWindowEdges::geometrySavedAtScaleOneFitsAtScaleTwo()
{
    // At scale 1 the windows fit the 800 x 600 screen of the offscreen platform; at scale 2 it
    // has 400 x 300 logical pixels, and Qt refuses a geometry saved at another scale: the
    // main window's default size does not fit either.
    QTemporaryDir settings;
    UseSettingsIn(settings.path());
    const QRect saved(28, 40, 743, 540);
    {
        MainWindow w;
        QVERIFY(ShowActive(w));
        w.setGeometry(saved);
        w.videoOutAction->trigger();
        w.videoDialog->move(300, 250);
        w.close();
    }
    QProcess second;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("2"));
    environment.insert(QLatin1String(scaledRun), settings.path());
    second.setProcessEnvironment(environment);
    second.start(QCoreApplication::applicationFilePath(), QStringList());
    QVERIFY(second.waitForFinished(60000));
    QCOMPARE(second.exitCode(), 0);
    QMap<QString, QString> said;
    for (const QString& line : QString::fromLocal8Bit(second.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const int space = line.indexOf(QLatin1Char(' '));
        if (space > 0)
            said[line.left(space)] = line.mid(space + 1);
    }
    QCOMPARE(said.value(QStringLiteral("ratio")), QStringLiteral("2"));
    const QRect available = Rect(said.value(QStringLiteral("available")));
    QCOMPARE(available.size(), QGuiApplication::primaryScreen()->availableGeometry().size() / 2);
    // The main window shrinks below its usual minimum to fit, its frame inside, and a title
    // bar of the height assumed would be too.
    const QRect window = Rect(said.value(QStringLiteral("window")));
    QVERIFY2(available.contains(Rect(said.value(QStringLiteral("windowFrame")))), qPrintable(Text(window)));
    QVERIFY2(available.contains(window.marginsAdded(WindowPlacement::assumedFrame)), qPrintable(Text(window)));
    QCOMPARE(window.size(), available.size().shrunkBy(WindowPlacement::assumedFrame));
    QCOMPARE(said.value(QStringLiteral("minimum")), QStringLiteral("%1 %2").arg(window.width()).arg(window.height()));
    // The video window keeps its 480 x 320 pixels, more than this screen has: its frame's
    // top left corner, with the title bar, is in the screen's.
    QCOMPARE(Rect(said.value(QStringLiteral("video"))).size(), QSize(480, 320));
    QCOMPARE(Rect(said.value(QStringLiteral("videoFrame"))).topLeft(), available.topLeft());
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QByteArray program("zendra"), file(MAINWINDOW_PROGRAMS "/mainwindow_session.hex");
    int appArgc = 2;
    char* appArgv[] = {program.data(), file.data(), nullptr};
    QApplication app(appArgc, appArgv);
    SplitTest::QuietPlatformWarnings();
    if (qEnvironmentVariableIsSet(scaledRun))
        return ScaledRun();
    QTemporaryDir settingsDir;
    UseSettingsIn(settingsDir.path());
    TestWindowEdges test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_windowedges.moc"
