// The memory view on the test program: the line layout and the grid's offset, scrolling to
// both ends, Ctrl+Left/Right, the bytes per line from the menu and from the width, and the
// tooltip of the byte under the mouse.
#include "ViewsTestSupport.h"
#include "ViewsTests.h"

#include "views/MemoryView.h"

#include <QCursor>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTextDocument>
#include <QToolTip>

#include <cmath>

using namespace SplitTest;
using namespace ViewsTest;

namespace {

unsigned int Top(const MemoryView& view)
{
    return view.ScrollValueToAddress(view.vValue);
}

// The texts of the view's top line: address, bytes, characters.
QStringList TopLine(MemoryView& view)
{
    return Record(view).Lines().value(0);
}

// n zero bytes as the hexadecimal part writes them.
QString Zeros(int n)
{
    QStringList bytes;
    for (int i = 0; i < n; ++i)
        bytes << QStringLiteral("00");
    return bytes.join(QLatin1Char(' '));
}

int ByteCount(const QString& hexaLine)
{
    return hexaLine.isEmpty() ? 0 : hexaLine.split(QLatin1Char(' ')).size();
}

// Moves the mouse over the middle of a character cell; the tooltip's text as it reads.
QString Hover(MemoryView& view, int column, int row)
{
    const QPoint at(int((column + 0.5) * view.charWidth) - view.hValue, row * view.lineHeight + view.lineHeight / 2);
    QCursor::setPos(view.mapToGlobal(at));
    Move(&view, at);
    if (!QToolTip::isVisible())
        return QString();
    QTextDocument rich;
    rich.setHtml(QToolTip::text());
    return rich.toPlainText();
}

bool TipGone()
{
    return QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 3000);
}

QStringList CheckedEntries(QMenu* menu)
{
    QStringList checked;
    for (QAction* a : menu->actions())
        if (a->isChecked())
            checked << a->text();
    return checked;
}

// Opens the view's context menu, hands the submenu `name` to `inside`.
void WithSubmenu(MemoryView& view, const QString& name, const std::function<void(QMenu*)>& inside)
{
    const int menus = ContextMenu(&view, QPoint(200, 30), [&](QMenu* menu) {
        QMenu* sub = OpenSubmenu(menu, name);
        QVERIFY(sub);
        inside(sub);
    });
    QCOMPARE(menus, 1);
}

} // namespace

class MemoryViewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QuietPlatformWarnings();
    }

    void cleanup()
    {
        QToolTip::hideText();
        (void)TipGone();
    }

    void linesAndTheGrid()
    {
        Machine machine;
        MemoryView view;
        QCOMPARE(view.bytesPerLine, 16);
        QCOMPARE(view.textWidth, 71);
        QCOMPARE(view.offset, 0u);
        QVERIFY(!view.bytePerLineAuto && !view.aligned);
        QVERIFY(view.testAttribute(Qt::WA_MouseTracking));
        const int l = view.lineHeight;
        Show(&view, 760, 8 * l + 3);
        Drawing drawing = Record(view);
        QCOMPARE(drawing.Lines().size(), 9);
        QCOMPARE(drawing.Lines()[0], QStringList({"000000", Zeros(16), QString(16, '.')}));
        QCOMPARE(drawing.Lines()[8][0], QStringLiteral("000080"));
        const QList<DrawnText> row = drawing.Row(l);
        QCOMPARE(row[0].at.x(), 0.0);
        QCOMPARE(row[1].at.x(), qreal(std::lround(7 * view.charWidth)));
        QCOMPARE(row[2].at.x(), qreal(std::lround(55 * view.charWidth)));
        QVERIFY(row[0].bold && !row[1].bold && !row[2].bold);

        view.SetStartAddress(programStart);
        drawing = Record(view);
        QCOMPARE(drawing.Lines()[0], QStringList({"001000", "30 3C 12 34 23 FC 12 34 56 78 00 FF 00 00 41 FA", "0<.4#ü.4Vx.ÿ..Aú"}));
        // Not printable, the soft hyphen and DEL show as full stops.
        QCOMPARE(drawing.Lines()[3], QStringList({"001030", "41 00 3C 26 3E 7F AD E9 5A 65 6E 64 72 61 00 00", "A.<&>..éZendra.."}));
        // The address band and its grey closing line.
        const QImage image = Grab(&view);
        QCOMPARE(QColor(image.pixel(view.addressBandEnd - 1, 2)), QColor(240, 240, 240));
        QCOMPARE(QColor(image.pixel(view.addressBandEnd, 2)), QColor(Qt::gray));
        QCOMPARE(QColor(image.pixel(view.addressBandEnd + 1, 2)), QColor(Qt::white));

        // Any address begins a line: the grid moves with it.
        view.SetStartAddress(5);
        QCOMPARE(view.offset, 5u);
        QCOMPARE(Record(view).Lines()[1][0], QStringLiteral("000015"));
        const QList<QPair<int, unsigned int>> moves = {
            {Qt::Key_Right, 6}, {Qt::Key_Left, 5}, {Qt::Key_Left, 4}, {Qt::Key_Left, 3},
        };
        for (const auto& move : moves) {
            QTest::keyClick(&view, Qt::Key(move.first), Qt::ControlModifier);
            QCOMPARE(Top(view), move.second);
            QCOMPARE(view.offset, move.second);
        }
        // Ctrl with another key, or with Shift as well, moves nothing.
        QTest::keyClick(&view, Qt::Key_Down, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(Top(view), 3u);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(Top(view), 0x13u);
        QTest::keyClick(&view, Qt::Key_PageDown);
        QCOMPARE(Top(view), 0x13u + 8 * 16);
        QTest::keyClick(&view, Qt::Key_PageUp);
        QTest::keyClick(&view, Qt::Key_Up);
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(Top(view), 3u);
        // The bottom: the last line ends at FFFFFF, shorter than the others off the grid.
        QTest::keyClick(&view, Qt::Key_End);
        QCOMPARE(TopLine(view), QStringList({"FFFFF3", Zeros(13), QString(13, '.')}));
        QCOMPARE(Record(view).Lines().size(), 1);
        QTest::keyClick(&view, Qt::Key_Down);
        QTest::keyClick(&view, Qt::Key_PageDown);
        view.vScrollBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(Top(view), 0xFFFFF3u);
        // Home puts the grid back on multiples of the line.
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(Top(view), 0u);
        QCOMPARE(view.offset, 0u);
        QTest::keyClick(&view, Qt::Key_End);
        QCOMPARE(TopLine(view)[0], QStringLiteral("FFFFF0"));
        QCOMPARE(ByteCount(TopLine(view)[1]), 16);
        // One byte back from 0 is the last byte of the address space, and one on is 0 again.
        QTest::keyClick(&view, Qt::Key_Home);
        QTest::keyClick(&view, Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(TopLine(view), QStringList({"FFFFFF", "00", "."}));
        QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(Top(view), 0u);
        // Bits above the address space are ignored.
        view.SetStartAddress(0xFF001234);
        QCOMPARE(Top(view), 0x1234u);

        // A grid held on multiples of the line: the line that holds the address comes to the top.
        view.SetAligned(true);
        QCOMPARE(view.offset, 0u);
        view.SetStartAddress(0x1037);
        QCOMPARE(Top(view), 0x1030u);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(Top(view), 0x1030u);
    }

    void bytesPerLineFromTheMenu()
    {
        Machine machine;
        MemoryView view;
        Show(&view, 760, 300);
        machine.registers()->a[0] = dataStart;
        const int menus = ContextMenu(&view, QPoint(100, 40), [&](QMenu* menu) {
            QCOMPARE(Entries(menu), QStringList({"Adresse de départ de la vue", "Nombre d'octets par ligne", "-",
                                                 "Barres de défilement", "-", "Découper horizontalement",
                                                 "Découper verticalement", "Vue par défaut", "Supprimer"}));
            QMenu* sub = OpenSubmenu(menu, QStringLiteral("Adresse de départ de la vue"));
            QVERIFY(sub);
            QCOMPARE(Entries(sub).size(), 20);
            Click(sub, Entry(sub, "A0"));
        });
        QCOMPARE(menus, 1);
        QCOMPARE(Top(view), dataStart);

        WithSubmenu(view, QStringLiteral("Nombre d'octets par ligne"), [&](QMenu* sub) {
            QCOMPARE(Entries(sub), QStringList({"Automatique", "1", "2", "4", "8", "16", "32", "64"}));
            const QList<int> data = {0, 1, 2, 4, 8, 16, 32, 64};
            for (int i = 0; i < data.size(); ++i) {
                QVERIFY(sub->actions()[i]->isCheckable());
                QCOMPARE(sub->actions()[i]->data().toInt(), data[i]);
            }
            QVERIFY(!Entry(sub, "Automatique")->icon().isNull());
            QCOMPARE(CheckedEntries(sub), QStringList({"16"}));
            Click(sub, Entry(sub, "4"));
        });
        QCOMPARE(view.bytesPerLine, 4);
        QCOMPARE(view.textWidth, 23);
        QCOMPARE(Top(view), dataStart);
        QCOMPARE(Record(view).Lines()[1], QStringList({"001034", "3E 7F AD E9", ">..é"}));
        WithSubmenu(view, QStringLiteral("Nombre d'octets par ligne"), [&](QMenu* sub) {
            QCOMPARE(CheckedEntries(sub), QStringList({"4"}));
            Click(sub, Entry(sub, "Automatique"));
        });
        QVERIFY(view.bytePerLineAuto);
        QCOMPARE(Top(view), dataStart);
        WithSubmenu(view, QStringLiteral("Nombre d'octets par ligne"), [&](QMenu* sub) {
            QCOMPARE(CheckedEntries(sub), QStringList({"Automatique"}));
            Click(sub, Entry(sub, "64"));
        });
        QVERIFY(!view.bytePerLineAuto);
        QCOMPARE(view.bytesPerLine, 64);
        QCOMPARE(view.textWidth, 263);
        QCOMPARE(ByteCount(TopLine(view)[1]), 64);
        // An address off the grid leaves "Automatique" unchecked and the size checked.
        view.SetBytePerLine(16);
        view.SetStartAddress(5);
        WithSubmenu(view, QStringLiteral("Nombre d'octets par ligne"), [&](QMenu* sub) {
            QCOMPARE(CheckedEntries(sub), QStringList({"16"}));
        });
    }

    void automaticBytesFollowTheWidth()
    {
        Machine machine;
        MemoryView view;
        const int l = view.lineHeight;
        Show(&view, 600, 5 * l);
        view.SetStartAddress(programStart + 3);
        view.SetBytePerLineAuto(true);
        const int bar = view.vScrollBar->width();
        for (int cells = 5; cells <= 120; ++cells) {
            view.resize(bar + int(cells * view.charWidth) + 1, 5 * l);
            Settle();
            QCOMPARE(int(view.width(ScrollView::Automatic) / view.charWidth), cells);
            const int expected = cells > 10 ? std::max(1, (cells - 7) / 4) : 1;
            QVERIFY2(view.bytesPerLine == expected, qPrintable(QStringLiteral("%1 cells").arg(cells)));
            // The same byte stays at the top, and the line fits: nothing to scroll sideways.
            QCOMPARE(Top(view), programStart + 3);
            const QStringList line = TopLine(view);
            QCOMPARE(ByteCount(line.value(1)), expected);
            QCOMPARE(line.value(2).size(), expected);
            // Only a view narrower than a one-byte line has something to scroll sideways.
            QCOMPARE(view.hScrollBar->isHidden(), cells >= 11);
            QCOMPARE(view.hValue, 0);
        }
        view.resize(bar + int(60 * view.charWidth) + 1, 5 * l);
        Settle();
        QCOMPARE(view.bytesPerLine, 13);
        // The whole line answers the mouse, though the text is as wide as one byte's line.
        QCOMPARE(Hover(view, 4 * 13 + 6, 1), QStringLiteral("($00101C) = $4E = 078 = 'N'"));
        QCOMPARE(Hover(view, 3 * 13 + 5, 0), QStringLiteral("($00100F) = $FA = 250 = 'ú'"));
    }

    void tooltipOfTheByteUnderTheMouse()
    {
        Machine machine;
        MemoryView view;
        const int l = view.lineHeight;
        Show(&view, 760, 8 * l);
        view.SetStartAddress(dataStart);
        QCOMPARE(Hover(view, 7, 0), QStringLiteral("($001030) = $41 = 065 = 'A'"));
        QVERIFY(QToolTip::text().startsWith(
            QStringLiteral("<p style='white-space:pre'><span style=\"font: 11pt %1;\">").arg(view.textFont.family())));
        QVERIFY(QToolTip::text().endsWith(QStringLiteral("</span></p>")));
        // The second digit is the same byte; the blank between two bytes is none.
        QCOMPARE(Hover(view, 8, 0), QStringLiteral("($001030) = $41 = 065 = 'A'"));
        (void)Hover(view, 9, 0);
        QVERIFY(TipGone());
        QCOMPARE(Hover(view, 10, 0), QStringLiteral("($001031) = $00 = 000 = '.'"));
        // Bytes that mean something in rich text show as themselves.
        QCOMPARE(Hover(view, 13, 0), QStringLiteral("($001032) = $3C = 060 = '<'"));
        QVERIFY(QToolTip::text().contains(QStringLiteral("'&lt;'")));
        QCOMPARE(Hover(view, 55 + 3, 0), QStringLiteral("($001033) = $26 = 038 = '&'"));
        QCOMPARE(Hover(view, 55 + 4, 0), QStringLiteral("($001034) = $3E = 062 = '>'"));
        QCOMPARE(Hover(view, 55 + 7, 0), QStringLiteral("($001037) = $E9 = 233 = 'é'"));
        QCOMPARE(Hover(view, 7 + 3 * 15, 2), QStringLiteral("($00105F) = $00 = 000 = '.'"));
        // The same byte from its character.
        QCOMPARE(Hover(view, 55, 0), QStringLiteral("($001030) = $41 = 065 = 'A'"));
        // Neither over the address, nor between the two parts, nor past the line.
        for (int column : {2, 54, 71, 80}) {
            QCOMPARE(Hover(view, 55, 0), QStringLiteral("($001030) = $41 = 065 = 'A'"));
            (void)Hover(view, column, 0);
            QVERIFY2(TipGone(), qPrintable(QString::number(column)));
        }
        // Scrolling and Ctrl+Left/Right bring the new byte under the mouse into the tooltip.
        QCOMPARE(Hover(view, 7, 0), QStringLiteral("($001030) = $41 = 065 = 'A'"));
        QTest::keyClick(&view, Qt::Key_Down);
        QVERIFY(QToolTip::text().contains(QStringLiteral("($001040)")));
        QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
        QVERIFY(QToolTip::text().contains(QStringLiteral("($001041)")));
        view.vScrollBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QVERIFY(QToolTip::text().contains(QStringLiteral("($001031)")));
        // Below the last line of memory there is no byte.
        QTest::keyClick(&view, Qt::Key_End);
        QVERIFY(QToolTip::text().contains(QStringLiteral("($FFFFF1)")));
        (void)Hover(view, 7, 1);
        QVERIFY(TipGone());
        QCOMPARE(Hover(view, 7 + 3 * 14, 0), QStringLiteral("($FFFFFF) = $00 = 000 = '.'"));
        (void)Hover(view, 7 + 3 * 15, 0);
        QVERIFY(TipGone());
    }

    void anyContentAndSizeDrawsAndScrolls()
    {
        Machine machine;
        Document* document = machine.document.get();
        QRandomGenerator random(99);
        for (unsigned int a = 0; a <= 0xFFFFFF; ++a)
            document->memory->buffer.At(a) = static_cast<unsigned char>(random.generate());
        MemoryView view;
        const int l = view.lineHeight;
        Show(&view, 500, 6 * l + 7);
        const QRegularExpression tip(QStringLiteral("^\\(\\$([0-9A-F]{6})\\) = \\$([0-9A-F]{2}) = (\\d{3}) = '(.)'$"));
        // Requests no menu makes, too: none, negative, huge, not a power of two.
        for (int n : {3, 0, -3, 1 << 30, 64, 1, 7}) {
            view.SetBytePerLine(n);
            QVERIFY(view.bytesPerLine >= 1);
            for (unsigned int start : {0u, 0xFFFFFFu, 0xFFFFF9u, 0x7FFFFFu, 0xFFB4FFu}) {
                view.SetStartAddress(start);
                QCOMPARE(Top(view), start);
                for (int key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Up, Qt::Key_Right, Qt::Key_Left}) {
                    QTest::keyClick(&view, Qt::Key(key));
                    QVERIFY(Top(view) <= 0xFFFFFF);
                }
                QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
                QVERIFY(Top(view) <= 0xFFFFFF);
                const Drawing drawing = Record(view);
                for (const QStringList& line : drawing.Lines()) {
                    const unsigned int address = line[0].toUInt(nullptr, 16);
                    QVERIFY(ByteCount(line.value(1)) <= view.bytesPerLine);
                    QCOMPARE(address + ByteCount(line.value(1)) - 1 <= 0xFFFFFF, true);
                }
                (void)Grab(&view);
                // Whatever the mouse is over, a tooltip tells the byte that is there.
                for (int i = 0; i < 4; ++i) {
                    const int columns = int(view.width(ScrollView::Automatic) / view.charWidth);
                    const QString text = Hover(view, random.bounded(columns), random.bounded(6));
                    if (text.isEmpty())
                        continue;
                    const QRegularExpressionMatch m = tip.match(text);
                    QVERIFY2(m.hasMatch(), qPrintable(text));
                    const unsigned int byte = document->memory->Read(m.captured(1).toUInt(nullptr, 16), 8);
                    QCOMPARE(m.captured(2).toUInt(nullptr, 16), byte);
                    QCOMPARE(m.captured(3).toUInt(), byte);
                }
            }
        }
        // Automatic in a view narrower than a line's address.
        view.SetBytePerLineAuto(true);
        view.resize(20, 20);
        Settle();
        QCOMPARE(view.bytesPerLine, 1);
        (void)Grab(&view);
    }
};

int RunMemoryViewTests(int argc, char** argv)
{
    MemoryViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_memoryview.moc"
