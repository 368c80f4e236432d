// The icons of the executable's resource bundle: every name that the commands and the views
// load is there, at the size the tool bar and the views draw it, and still tells its shape
// apart when Qt greys it for a disabled command.
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <QtTest>

class ResourcesTest : public QObject
{
    Q_OBJECT

private slots:
    void CommandAndViewIcons_data();
    void CommandAndViewIcons();
    void ApplicationIconHasThreeSizes();
};

void ResourcesTest::CommandAndViewIcons_data()
{
    QTest::addColumn<QString>("name");
    const char* names[] = {"AddDisaView", "AddHexaView", "AddMixedView", "EditBreakpoint", "Open",
                           "QuickRun", "Reset", "Run", "Skip", "StepInto", "StepOut", "StepOver",
                           "StopEmulation", "Undo", "VideoOut", "Arrow", "AddressBreakpoint",
                           "InstructionBreakpoint", "StartAddress", "StartAddressPC", "SelectBytePerLine"};
    for (const char* name : names)
        QTest::newRow(name) << QString(name);
}

static int OpaquePixels(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    int opaque = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            opaque += qAlpha(image.pixel(x, y)) >= 128;
    }
    return opaque;
}

// How far the drawing stands out from the tool bar behind it once hue is gone: the largest
// lightness difference between a pixel of the icon laid on the background and the background.
static int ContrastOn(const QPixmap& icon, const QColor& background)
{
    QImage laid(icon.size(), QImage::Format_ARGB32);
    laid.fill(background);
    QPainter(&laid).drawPixmap(0, 0, icon);
    int contrast = 0;
    for (int y = 0; y < laid.height(); ++y) {
        for (int x = 0; x < laid.width(); ++x)
            contrast = std::max(contrast, std::abs(qGray(laid.pixel(x, y)) - qGray(background.rgb())));
    }
    return contrast;
}

void ResourcesTest::CommandAndViewIcons()
{
    QFETCH(QString, name);
    const QString path = ":/Icon/" + name;
    QImage image(path);
    QVERIFY2(!image.isNull(), qPrintable(path));
    QCOMPARE(image.size(), QSize(16, 16));
    QVERIFY(image.hasAlphaChannel());

    // Neither an empty square nor a filled one: a shape with a background around it.
    const int opaque = OpaquePixels(image);
    QVERIFY2(opaque >= 20 && opaque < 256, qPrintable(QString::number(opaque)));

    // Greyed for a disabled command, the shape still stands out from the tool bar.
    QStyleOption option;
    option.palette = QApplication::palette();
    const QPixmap greyed =
        QApplication::style()->generatedIconPixmap(QIcon::Disabled, QIcon(path).pixmap(16, 16), &option);
    const int contrast = ContrastOn(greyed, option.palette.color(QPalette::Window));
    QVERIFY2(contrast >= 40, qPrintable(QString("contrast %1").arg(contrast)));
}

void ResourcesTest::ApplicationIconHasThreeSizes()
{
    const QIcon icon(":/Icon/Main");
    const QList<QSize> sizes = icon.availableSizes();
    for (int side : {16, 32, 48}) {
        QVERIFY2(sizes.contains(QSize(side, side)), qPrintable(QString::number(side)));
        // Each size is a drawing of its own, not the next one scaled: its pixmap comes back
        // at that size with transparent corners around an opaque centre.
        const QImage image = icon.pixmap(side, side).toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(image.size(), QSize(side, side));
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(image.pixel(side / 2, side / 2)), 255);
    }
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ResourcesTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_resources.moc"
