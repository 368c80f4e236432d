// The memory view on the test program: the line layout and the grid's offset, scrolling to
// both ends, Ctrl+Left/Right, the bytes per line from the menu and from the width, and the
// tooltip of the byte under the mouse.
#include "ViewsTestSupport.h"

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
    QString zeros = QStringLiteral("00");
    for (int i = 1; i < n; ++i)
        zeros += QStringLiteral(" 00");
    return zeros;
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

// Opens the submenu "Nombre d'octets par ligne": the entries checked, then picks one.
QStringList PickBytesPerLine(MemoryView& view, const QString& entry)
{
    QStringList checked;
    ContextMenu(&view, QPoint(200, 30), [&](QMenu* menu) {
        QMenu* sub = OpenSubmenu(menu, QStringLiteral("Nombre d'octets par ligne"));
        for (QAction* a : sub->actions())
            if (a->isChecked())
                checked << a->text();
        if (!entry.isEmpty())
            Click(sub, Entry(sub, entry));
    });
    return checked;
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
        QCOMPARE(view.textWidth, 71);
        const int l = view.lineHeight;
        Show(&view, 760, 8 * l + 3);
        Drawing drawing = Record(view);
        QCOMPARE(drawing.Lines().size(), 9);
        QCOMPARE(drawing.Lines()[0], QStringList({"000000", Zeros(16), QString(16, '.')}));
        // The first line's three parts, where they start and in which weight.
        const qreal columns[] = {0, qreal(std::lround(7 * view.charWidth)), qreal(std::lround(55 * view.charWidth))};
        QStringList parts;
        for (const auto& t : drawing.texts)
            if (t.at.top() == l)
                parts << QStringLiteral("%1:%2:%3").arg(t.at.left()).arg(t.text.left(2)).arg(t.bold);
        QStringList expected({QStringLiteral("%1:00:1").arg(columns[0]), QStringLiteral("%1:00:0").arg(columns[1]),
                              QStringLiteral("%1:..:0").arg(columns[2])});
        parts.sort();
        expected.sort();
        QCOMPARE(parts, expected);
        view.SetStartAddress(programStart);
        drawing = Record(view);
        QCOMPARE(drawing.Lines()[0], QStringList({"001000", "30 3C 12 34 23 FC 12 34 56 78 00 FF 00 00 41 FA", "0<.4#ü.4Vx.ÿ..Aú"}));
        // DEL and the soft hyphen show as full stops.
        QCOMPARE(drawing.Lines()[3], QStringList({"001030", "41 00 3C 26 3E 7F AD E9 5A 65 6E 64 72 61 00 00", "A.<&>..éZendra.."}));
        const QImage image = Grab(&view);
        QCOMPARE(Pixel(image, view.addressBandEnd - 1, 2), QColor(240, 240, 240));
        QCOMPARE(Pixel(image, view.addressBandEnd, 2), QColor(Qt::gray));

        // Any address begins a line, and Ctrl+Left/Right move the grid by one byte.
        view.SetStartAddress(5);
        QCOMPARE(Record(view).Lines()[1][0], QStringLiteral("000015"));
        const QList<QPair<int, unsigned int>> moves = {{Qt::Key_Right, 6}, {Qt::Key_Left, 5}, {Qt::Key_Left, 4}, {Qt::Key_Left, 3}};
        for (const auto& move : moves) {
            QTest::keyClick(&view, Qt::Key(move.first), Qt::ControlModifier);
            QCOMPARE(Top(view), move.second);
            QCOMPARE(view.offset, move.second);
        }
        // Ctrl with another key, or with Shift as well, moves nothing.
        QTest::keyClick(&view, Qt::Key_Down, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier | Qt::ShiftModifier);
        QTest::keyClick(&view, Qt::Key_Down);
        QTest::keyClick(&view, Qt::Key_PageDown);
        QCOMPARE(Top(view), 0x13u + 8 * 16);
        for (int key : {Qt::Key_PageUp, Qt::Key_Up, Qt::Key_Up})
            QTest::keyClick(&view, Qt::Key(key));
        QCOMPARE(Top(view), 3u);
        // The last line ends at FFFFFF, shorter than the others off the grid; nothing beyond.
        for (int key : {Qt::Key_End, Qt::Key_Down, Qt::Key_PageDown})
            QTest::keyClick(&view, Qt::Key(key));
        view.vScrollBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(Record(view).Lines(), QList<QStringList>({{"FFFFF3", Zeros(13), QString(13, '.')}}));
        // Home puts the grid back on multiples of the line.
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(view.offset, 0u);
        QTest::keyClick(&view, Qt::Key_End);
        QCOMPARE(TopLine(view)[0], QStringLiteral("FFFFF0"));
        // One byte back from 0 is the last byte of the address space, and one on is 0 again.
        QTest::keyClick(&view, Qt::Key_Home);
        QTest::keyClick(&view, Qt::Key_Left, Qt::ControlModifier);
        QCOMPARE(TopLine(view), QStringList({"FFFFFF", "00", "."}));
        QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(Top(view), 0u);
        view.SetStartAddress(0xFF001234);
        QCOMPARE(Top(view), 0x1234u);
        // A grid held on multiples of the line brings the line that holds the address up.
        view.SetAligned(true);
        view.SetStartAddress(0x1037);
        QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
        QCOMPARE(Top(view), 0x1030u);
    }

    void bytesPerLine()
    {
        Machine machine;
        MemoryView view;
        const int l = view.lineHeight;
        Show(&view, 760, 5 * l);
        machine.registers()->a[0] = dataStart;
        ContextMenu(&view, QPoint(100, 40), [&](QMenu* menu) {
            QCOMPARE(Entries(menu), QStringList({"Adresse de départ de la vue", "Nombre d'octets par ligne",
                                                 "Point d'observation sur l'octet", "Dernière écriture", "-",
                                                 "Barres de défilement", "-", "Découper horizontalement",
                                                 "Découper verticalement", "Vue par défaut", "Supprimer"}));
            QMenu* sub = OpenSubmenu(menu, QStringLiteral("Nombre d'octets par ligne"));
            QCOMPARE(Entries(sub), QStringList({"Automatique", "1", "2", "4", "8", "16", "32", "64"}));
            QCOMPARE(sub->actions()[0]->data().toInt(), 0);
            QCOMPARE(sub->actions()[7]->data().toInt(), 64);
            QVERIFY(sub->actions()[3]->isCheckable() && !sub->actions()[0]->icon().isNull());
            sub = OpenSubmenu(menu, QStringLiteral("Adresse de départ de la vue"));
            Click(sub, Entry(sub, "A0"));
        });
        QCOMPARE(Top(view), dataStart);
        QCOMPARE(PickBytesPerLine(view, "4"), QStringList({"16"}));
        QCOMPARE(view.textWidth, 23);
        QCOMPARE(Record(view).Lines()[1], QStringList({"001034", "3E 7F AD E9", ">..é"}));
        QCOMPARE(PickBytesPerLine(view, "Automatique"), QStringList({"4"}));
        QCOMPARE(PickBytesPerLine(view, "64"), QStringList({"Automatique"}));
        QCOMPARE(ByteCount(TopLine(view)[1]), 64);
        QCOMPARE(Top(view), dataStart);
        // An address off the grid leaves the size checked.
        view.SetBytePerLine(16);
        view.SetStartAddress(5);
        QCOMPARE(PickBytesPerLine(view, QString()), QStringList({"16"}));

        // In automatic mode the lines follow the width, the top byte stays, and only a view
        // narrower than a one-byte line has anything to scroll sideways.
        view.SetStartAddress(programStart + 3);
        view.SetBytePerLineAuto(true);
        const int bar = view.vScrollBar->width();
        for (int cells = 5; cells <= 100; ++cells) {
            view.resize(bar + int(cells * view.charWidth) + 1, 5 * l);
            Settle();
            QCOMPARE(int(view.width(ScrollView::Automatic) / view.charWidth), cells);
            const int expected = cells > 10 ? std::max(1, (cells - 7) / 4) : 1;
            QVERIFY2(view.bytesPerLine == expected, qPrintable(QString::number(cells)));
            QCOMPARE(Top(view), programStart + 3);
            QCOMPARE(ByteCount(TopLine(view).value(1)), expected);
            QCOMPARE(view.hScrollBar->isHidden(), cells >= 11);
        }
        view.resize(bar + int(60 * view.charWidth) + 1, 5 * l);
        Settle();
        QCOMPARE(view.bytesPerLine, 13);
        // The whole line answers the mouse, though the text is as wide as a one-byte line.
        QCOMPARE(Hover(view, 4 * 13 + 6, 1), QStringLiteral("($00101C) = $4E = 078 = 'N'"));
    }

    // A view narrower than its lines: each bar moves the view its own way, the other way stays.
    void eachBarScrollsItsOwnWay()
    {
        Machine machine;
        MemoryView view;
        view.SetBytePerLine(16);
        Show(&view, view.vScrollBar->sizeHint().width() + int(20 * view.charWidth), 8 * view.lineHeight);
        const int right = 3 * view.hScrollBar->singleStep();
        QVERIFY(view.hScrollBar->isVisible() && view.hScrollBar->maximum() > right);
        const int top = view.vValue;
        view.hScrollBar->setValue(right);
        QCOMPARE(view.hValue, right);
        QCOMPARE(view.vValue, top);
        const int down = view.vScrollBar->value() + 5 * view.vScrollBar->singleStep();
        view.vScrollBar->setValue(down);
        QCOMPARE(view.vValue, down);
        QCOMPARE(view.hValue, right);
    }

    void tooltipOfTheByteUnderTheMouse()
    {
        Machine machine;
        MemoryView view;
        Show(&view, 760, 8 * view.lineHeight);
        view.SetStartAddress(dataStart);
        const QString a = QStringLiteral("($001030) = $41 = 065 = 'A'");
        QCOMPARE(Hover(view, 7, 0), a);
        QVERIFY(QToolTip::text().startsWith(
            QStringLiteral("<p style='white-space:pre'><span style=\"font: 11pt %1;\">").arg(view.textFont.family())));
        // The second digit is the same byte, and so is its character; blanks are no byte.
        QCOMPARE(Hover(view, 8, 0), a);
        QCOMPARE(Hover(view, 55, 0), a);
        for (int column : {9, 2, 54, 71}) {
            QCOMPARE(Hover(view, 7, 0), a);
            (void)Hover(view, column, 0);
            QVERIFY2(TipGone(), qPrintable(QString::number(column)));
        }
        QCOMPARE(Hover(view, 10, 0), QStringLiteral("($001031) = $00 = 000 = '.'"));
        // Bytes that mean something in rich text show as themselves.
        QCOMPARE(Hover(view, 13, 0), QStringLiteral("($001032) = $3C = 060 = '<'"));
        QVERIFY(QToolTip::text().contains(QStringLiteral("'&lt;'")));
        QCOMPARE(Hover(view, 55 + 3, 0), QStringLiteral("($001033) = $26 = 038 = '&'"));
        QCOMPARE(Hover(view, 55 + 7, 0), QStringLiteral("($001037) = $E9 = 233 = 'é'"));
        QCOMPARE(Hover(view, 7 + 3 * 15, 2), QStringLiteral("($00105F) = $00 = 000 = '.'"));
        // Scrolling and Ctrl+Left/Right bring the byte now under the mouse into the tooltip.
        QCOMPARE(Hover(view, 7, 0), a);
        QTest::keyClick(&view, Qt::Key_Down);
        QVERIFY(QToolTip::text().contains(QStringLiteral("($001040)")));
        QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
        QVERIFY(QToolTip::text().contains(QStringLiteral("($001041)")));
        view.vScrollBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QVERIFY(QToolTip::text().contains(QStringLiteral("($001031)")));
        // Past the last byte of memory there is none.
        QTest::keyClick(&view, Qt::Key_End);
        QCOMPARE(Hover(view, 7 + 3 * 14, 0), QStringLiteral("($FFFFFF) = $00 = 000 = '.'"));
        (void)Hover(view, 7 + 3 * 15, 0);
        QVERIFY(TipGone());
    }

    void anyContentAndSizeDrawsAndScrolls()
    {
        Machine machine;
        QRandomGenerator random(99);
        for (unsigned int a = 0; a <= 0xFFFFFF; ++a)
            machine.document->memory->buffer.At(a) = static_cast<unsigned char>(random.generate());
        MemoryView view;
        Show(&view, 500, 6 * view.lineHeight + 7);
        const QRegularExpression tip(QStringLiteral("^\\(\\$([0-9A-F]{6})\\) = \\$([0-9A-F]{2}) = (\\d{3}) = '.'$"));
        int shown = 0;
        // Sizes no menu offers too: none, negative, huge, not a power of two.
        for (int n : {3, 0, -3, 1 << 30, 1}) {
            view.SetBytePerLine(n);
            for (unsigned int start : {0u, 0xFFFFFFu, 0xFFFFF9u, 0xFFB4FFu}) {
                view.SetStartAddress(start);
                QCOMPARE(Top(view), start);
                for (int key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Up, Qt::Key_Right}) {
                    QTest::keyClick(&view, Qt::Key(key));
                    QTest::keyClick(&view, Qt::Key_Right, Qt::ControlModifier);
                    QVERIFY(Top(view) <= 0xFFFFFF);
                }
                for (const QStringList& line : Record(view).Lines()) {
                    const int bytes = ByteCount(line.value(1));
                    QVERIFY(bytes >= 1 && bytes <= view.bytesPerLine);
                    QVERIFY(line[0].toUInt(nullptr, 16) + bytes - 1 <= 0xFFFFFF);
                }
                (void)Grab(&view);
                // Whatever the mouse is over, a tooltip tells the byte that is there.
                for (int i = 0; i < 4; ++i) {
                    const QString text = Hover(view, random.bounded(int(500 / view.charWidth) - 2), random.bounded(6));
                    const QRegularExpressionMatch m = tip.match(text);
                    QVERIFY2(text.isEmpty() || m.hasMatch(), qPrintable(text));
                    shown += m.hasMatch();
                    if (m.hasMatch())
                        QCOMPARE(m.captured(3).toUInt(), machine.document->memory->Read(m.captured(1).toUInt(nullptr, 16), 8));
                }
            }
        }
        QVERIFY(shown > 10);
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
