// The disassembly views on the test program: the line layout, scrolling by instruction down
// and by word up with keys, wheel and bar, the margin's marks and clicks, the start-address
// menu, and the list of executed instructions as the program steps.
#include "ViewsTestSupport.h"
#include "ViewsTests.h"

#include "core/Disassembler.h"
#include "core/Emulation.h"
#include "views/ExecutedDisaView.h"
#include "views/StandardDisaView.h"

#include <QRandomGenerator>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

using namespace SplitTest;
using namespace ViewsTest;

namespace {

// The test program as the view lists it, one instruction a line.
const QList<QStringList> listing = {
    {"001000", "303C 1234", "MOVE.W", "#$1234,D0"},
    {"001004", "23FC 12345678 00FF0000", "MOVE.L", "#$12345678,$FF0000"},
    {"00100E", "41FA 0020", "LEA.L", "$1030(PC),A0"},
    {"001012", "7203", "MOVEQ.L", "#$3,D1"},
    {"001014", "5240", "ADDQ.W", "#$1,D0"},
    {"001016", "51C9 FFFC", "DBRA.W", "D1,$1014"},
    {"00101A", "1418", "MOVE.B", "(A0)+,D2"},
    {"00101C", "4E71", "NOP"},
    {"00101E", "6104", "BSR.S", "$1024"},
    {"001020", "FFFF", "DC.W", "$FFFF"},
    {"001022", "4AFC", "ILLEGAL"},
    {"001024", "4E75", "RTS"},
};

QList<QStringList> Repeat(const QStringList& line, int count)
{
    QList<QStringList> lines;
    for (int i = 0; i < count; ++i)
        lines << line;
    return lines;
}

unsigned int Top(const StandardDisaView& view)
{
    return view.ScrollValueToAddress(view.vValue);
}

void Wheel(QWidget* w, int delta)
{
    const QPointF at(w->width() / 2, w->height() / 2);
    QWheelEvent event(at, w->mapToGlobal(at.toPoint()), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

// The x of a character column of a disassembly line, as the view places it.
int ColumnX(const DisaView& view, int column)
{
    return int(std::lround((column + view.columnOrigin) * view.charWidth)) - view.hValue;
}

// A point in the margin on visible line `row`.
QPoint Margin(const DisaView& view, int row, int x = 2)
{
    return QPoint(x, row * view.lineHeight + view.lineHeight / 2);
}

QList<unsigned int> Breakpoints(const Document* document)
{
    return document->addressBreakpoints;
}

bool SameColor(const QImage& image, int x, int y, const QColor& color)
{
    return QColor(image.pixel(x, y)) == color;
}

} // namespace

class DisaViewTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QuietPlatformWarnings();
    }

    void linesAndColumns()
    {
        Machine machine;
        StandardDisaView view;
        const int l = view.lineHeight;
        Show(&view, 760, 12 * l + 5);
        // The bits above the address space are ignored; an odd address shows the word below.
        view.SetStartAddress(0x01001001);
        QCOMPARE(Top(view), programStart);
        QCOMPARE(view.vValue, 0x800 * l);
        const Drawing drawing = Record(view);
        QCOMPARE(drawing.Lines().mid(0, listing.size()), listing);
        // One more line than whole lines fit, for the part of a line below them.
        QCOMPARE(drawing.Lines().size(), 13);
        // The four fields at their columns past the margin, the address alone in bold.
        const QList<DrawnText> row = drawing.Row(2 * l);
        QCOMPARE(row.size(), 4);
        const int columns[] = {3, 10, 33, 41};
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(row[i].at.x(), qreal(ColumnX(view, columns[i] - 3)));
            QCOMPARE(row[i].bold, i == 0);
        }
        QCOMPARE(DisaView::operandColumn, 38);
        QCOMPARE(DisaView::lastColumn, 87);
        // The text is as wide as the longest operand on screen: "#$12345678,$FF0000".
        QCOMPARE(view.textWidth, 41 + 18);
        // The margin, the address band and their closing lines, over the whole height.
        const QImage image = Grab(&view);
        const int y = 11 * l + l / 2;
        QVERIFY(SameColor(image, 0, y, QColor(248, 248, 248)));
        QVERIFY(SameColor(image, view.marginWidth - 1, y, QColor(248, 248, 248)));
        QVERIFY(SameColor(image, view.marginWidth, image.height() - 1, Qt::black));
        QVERIFY(SameColor(image, view.marginWidth + 1, 1, QColor(240, 240, 240)));
        QVERIFY(SameColor(image, view.addressBandEnd - 1, y, QColor(240, 240, 240)));
        QVERIFY(SameColor(image, view.addressBandEnd, image.height() - 1, Qt::black));
        QVERIFY(SameColor(image, view.addressBandEnd + 1, 1, Qt::white));
    }

    void scrollsDownByInstructionAndUpByWord()
    {
        Machine machine;
        StandardDisaView view;
        const int l = view.lineHeight;
        Show(&view, 760, 10 * l + 5);
        view.SetStartAddress(programStart);
        const QList<unsigned int> keys = {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp};
        // Down from inside the long instruction: its data word 00FF is no instruction.
        const QList<unsigned int> tops = {0x1004, 0x100E, 0x100C, 0x100A, 0x100C, 0x100C - 20};
        for (int i = 0; i < keys.size(); ++i) {
            QTest::keyClick(&view, Qt::Key(keys[i]));
            QCOMPARE(Top(view), tops[i]);
        }
        // A page down passes the ten whole lines on screen: the eleventh comes to the top.
        view.SetStartAddress(programStart);
        QTest::keyClick(&view, Qt::Key_PageDown);
        QCOMPARE(Top(view), 0x1022u);
        // Three instructions a notch down, three words a notch up.
        view.SetStartAddress(programStart);
        Wheel(&view, -120);
        QCOMPARE(Top(view), 0x1012u);
        Wheel(&view, 120);
        QCOMPARE(Top(view), 0x100Cu);
        // The bar's arrows and track run the same operations; its slider goes to any word.
        view.SetStartAddress(programStart);
        view.vScrollBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(Top(view), 0x1004u);
        view.vScrollBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(Top(view), 0x1002u);
        view.vScrollBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(Top(view), view.disassembler->GetNext(0x1002, 10));
        view.vScrollBar->setValue(view.AddressToScrollValue(0x2468));
        QCOMPARE(Top(view), 0x2468u);
        QCOMPARE(view.vScrollBar->value(), view.vValue);
        // The top of memory: nothing above it.
        QTest::keyClick(&view, Qt::Key_Home);
        QCOMPARE(view.vValue, 0);
        QTest::keyClick(&view, Qt::Key_Up);
        QTest::keyClick(&view, Qt::Key_PageUp);
        Wheel(&view, 360);
        QCOMPARE(view.vValue, 0);
        // The bottom: the last word at the top, one line drawn, and no step goes further.
        QTest::keyClick(&view, Qt::Key_End);
        QCOMPARE(Top(view), 0xFFFFFEu);
        for (int key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End}) {
            QTest::keyClick(&view, Qt::Key(key));
            QCOMPARE(Top(view), 0xFFFFFEu);
        }
        Wheel(&view, -360);
        view.vScrollBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(Top(view), 0xFFFFFEu);
        QCOMPARE(Record(view).Lines().size(), 1);
        // An instruction whose extension words run past the end: no next line to go to.
        machine.Poke(0xFFFFFA, 0x23);
        machine.Poke(0xFFFFFB, 0xFC);
        view.SetStartAddress(0xFFFFFA);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(Top(view), 0xFFFFFAu);
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(Top(view), 0xFFFFF8u);
    }

    void endShowsTheLastWordAtEveryHeight()
    {
        Machine machine;
        StandardDisaView view;
        const int l = view.lineHeight;
        Show(&view, 500, 3 * l);
        for (int h = view.minimumHeight(); h <= 3 * l + 1; ++h) {
            view.resize(500, h);
            Settle();
            QTest::keyClick(&view, Qt::Key_End);
            QVERIFY2(Top(view) == 0xFFFFFE, qPrintable(QStringLiteral("height %1").arg(h)));
            QCOMPARE(Record(view).Lines().value(0).value(0), QStringLiteral("FFFFFE"));
        }
    }

    void marginClicksToggleAddressBreakpoints()
    {
        Machine machine;
        Document* document = machine.document.get();
        StandardDisaView view;
        const int l = view.lineHeight;
        Show(&view, 300, 8 * l + 3);
        view.SetStartAddress(programStart);
        // The fourth line is the fourth instruction, whatever the lengths above it.
        ClickAt(&view, Margin(view, 3));
        QCOMPARE(Breakpoints(document), QList<unsigned int>({0x1012}));
        ClickAt(&view, Margin(view, 0, view.marginWidth));
        ClickAt(&view, Margin(view, 7, 0));
        QCOMPARE(Breakpoints(document), QList<unsigned int>({0x1012, 0x1000, 0x101C}));
        // The same line again takes its breakpoint away.
        ClickAt(&view, Margin(view, 3, 5));
        QCOMPARE(Breakpoints(document), QList<unsigned int>({0x1000, 0x101C}));
        // Right of the margin, or another button: nothing.
        ClickAt(&view, Margin(view, 1, view.marginWidth + 1));
        ClickAt(&view, Margin(view, 1), Qt::MiddleButton);
        QCOMPARE(Breakpoints(document), QList<unsigned int>({0x1000, 0x101C}));
        // Scrolled sideways past the margin, the same spot is text.
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(&view, Qt::Key_Right);
        QVERIFY(view.hValue > view.marginWidth);
        ClickAt(&view, Margin(view, 1, 0));
        QCOMPARE(Breakpoints(document), QList<unsigned int>({0x1000, 0x101C}));
        view.SetHValue(0);
        // At the end of memory the lines below the last instruction hold nothing to toggle.
        document->addressBreakpoints.clear();
        view.SetStartAddress(0xFFFFF8);
        for (int row = 0; row * l + l / 2 < view.height(); ++row)
            for (int x : {0, view.marginWidth / 2, view.marginWidth})
                ClickAt(&view, Margin(view, row, x));
        // Three presses on each of the two lines: each ends set.
        QCOMPARE(Breakpoints(document), QList<unsigned int>({0xFFFFF8, 0xFFFFFC}));
    }

    void breakpointMarksAndArrow()
    {
        Machine machine;
        Document* document = machine.document.get();
        StandardDisaView view;
        const int l = view.lineHeight;
        Show(&view, 700, 12 * l);
        view.SetStartAddress(programStart);
        document->AddAddressBreakpoint(0x1014);
        document->AddAddressBreakpoint(0x101C);
        machine.registers()->pc = 0x1014;
        const QImage arrow(QStringLiteral(":/Icon/Arrow"));
        const QImage addressBall(QStringLiteral(":/Icon/AddressBreakpoint"));
        const QImage instructionBall(QStringLiteral(":/Icon/InstructionBreakpoint"));
        QVERIFY(!arrow.isNull() && !addressBall.isNull() && !instructionBall.isNull());
        const auto imageAt = [&](int row) {
            return QRectF((view.marginWidth - 16) / 2, row * l + 1 + l / 4, 16, 16);
        };
        const auto frameAt = [&](int row) {
            return QRectF(view.marginWidth, row * l + l / 4, view.width(ScrollView::Automatic) - 1 - view.marginWidth, l - 1);
        };

        Drawing drawing = Record(view);
        // Rows 4 (0x1014: PC and address breakpoint), 7 (0x101C: address breakpoint) and 10
        // (0x1022: ILLEGAL, an instruction breakpoint of every new document).
        QCOMPARE(drawing.images.size(), 4);
        QCOMPARE(drawing.images[0].at, imageAt(4));
        QCOMPARE(drawing.images[0].image, addressBall);
        QCOMPARE(drawing.images[1].at, imageAt(4));
        QCOMPARE(drawing.images[1].image, arrow);
        QCOMPARE(drawing.images[2].at, imageAt(7));
        QCOMPARE(drawing.images[2].image, addressBall);
        QCOMPARE(drawing.images[3].at, imageAt(10));
        QCOMPARE(drawing.images[3].image, instructionBall);
        QList<DrawnRect> frames;
        for (const DrawnRect& r : drawing.rects)
            if (r.pen.isValid())
                frames << r;
        QCOMPARE(frames.size(), 3);
        const int rows[] = {4, 7, 10};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(frames[i].rect, frameAt(rows[i]));
            const bool address = rows[i] != 10;
            QCOMPARE(frames[i].pen, address ? QColor(139, 0, 0) : QColor(0, 0, 139));
            QCOMPARE(frames[i].brush, address ? QColor(255, 245, 238) : QColor(240, 248, 255));
            QCOMPARE(frames[i].style, Qt::SolidPattern);
            // Behind the text of its line.
            QVERIFY(frames[i].order < drawing.Row((rows[i] + 1) * l).first().order);
        }
        // On screen: the frame's outline and fill, and the arrow over the ball.
        QImage image = Grab(&view);
        const QRect frame = frameAt(4).toRect();
        QVERIFY(SameColor(image, frame.right() + 1, frame.center().y(), QColor(139, 0, 0)));
        QVERIFY(SameColor(image, frame.right(), frame.center().y(), QColor(255, 245, 238)));
        const QRect ball = imageAt(4).toRect();
        const QImage arrowOnScreen = image.copy(ball);
        int opaque = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                if (qAlpha(arrow.pixel(x, y)) == 255) {
                    ++opaque;
                    QCOMPARE(QColor(arrowOnScreen.pixel(x, y)).rgb(), QColor(arrow.pixel(x, y)).rgb());
                }
        QVERIFY(opaque > 40);

        // Disabled address breakpoints keep their ball and lose their frame.
        document->addressBreakpointsEnabled = false;
        drawing = Record(view);
        QCOMPARE(drawing.images.size(), 4);
        frames.clear();
        for (const DrawnRect& r : drawing.rects)
            if (r.pen.isValid())
                frames << r;
        QCOMPARE(frames.size(), 1);
        QCOMPARE(frames[0].rect, frameAt(10));
        image = Grab(&view);
        QVERIFY(SameColor(image, frame.right(), frame.center().y(), Qt::white));
        QVERIFY(!SameColor(image, imageAt(7).toRect().center().x(), imageAt(7).toRect().center().y(), QColor(248, 248, 248)));
    }

    void startAddressMenu()
    {
        Machine machine;
        StandardDisaView view;
        Show(&view, 700, 200);
        machine.registers()->a[3] = 0x1016;
        machine.registers()->usp = 0x2001;
        machine.registers()->d[5] = 0x01000100;
        const QStringList entries = {"Définir...", "PC", "A0", "A1", "A2", "A3", "A4", "A5", "A6", "A7",
                                     "D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "USP", "SSP"};
        const auto pick = [&](const QString& entry) {
            const int menus = ContextMenu(&view, QPoint(100, 50), [&](QMenu* menu) {
                QCOMPARE(Entries(menu), QStringList({"Adresse de départ de la vue", "-", "Barres de défilement", "-",
                                                     "Découper horizontalement", "Découper verticalement",
                                                     "Vue par défaut", "Supprimer"}));
                QMenu* sub = OpenSubmenu(menu, QStringLiteral("Adresse de départ de la vue"));
                QVERIFY(sub);
                QCOMPARE(Entries(sub), entries);
                for (QAction* a : sub->actions())
                    QVERIFY(!a->isCheckable());
                QCOMPARE(Entry(sub, "Définir...")->data().toString(), QStringLiteral("Define"));
                QVERIFY(!Entry(sub, "Définir...")->icon().isNull());
                QVERIFY(!Entry(sub, "PC")->icon().isNull());
                QVERIFY(Entry(sub, "A0")->icon().isNull());
                Click(sub, Entry(sub, entry));
            });
            QCOMPARE(menus, 1);
        };
        pick("A3");
        QCOMPARE(Top(view), 0x1016u);
        pick("USP");
        QCOMPARE(Top(view), 0x2000u);
        pick("D5");
        QCOMPARE(Top(view), 0x000100u);
        pick("PC");
        QCOMPARE(Top(view), programStart);
    }

    void executedInstructions()
    {
        Machine machine;
        Document* document = machine.document.get();
        ExecutedDisaView executed;
        StandardDisaView standard;
        const int l = executed.lineHeight;
        Show(&executed, 700, 10 * l);
        Show(&standard, 700, 10 * l);
        standard.SetStartAddress(programStart);
        QCOMPARE(executed.focusPolicy(), Qt::NoFocus);
        QVERIFY(executed.vScrollBar->isHidden() && executed.hScrollBar->isHidden());
        const QStringList none = {"------", "Aucune instruction exécutée"};
        QCOMPARE(Record(executed).Lines(), Repeat(none, 10));
        const QImage arrow(QStringLiteral(":/Icon/Arrow"));
        const auto arrowRow = [&] {
            for (const DrawnImage& image : Record(standard).images)
                if (image.image == arrow)
                    return int(image.at.y()) / l;
            return -1;
        };
        QCOMPARE(arrowRow(), 0);

        for (int i = 0; i < 3; ++i)
            document->emulator->Execute();
        Drawing drawing = Record(executed);
        QCOMPARE(drawing.Lines().mid(0, 7), Repeat(none, 7));
        QCOMPARE(drawing.Lines().mid(7), listing.mid(0, 3));
        // The placeholder is set out as the instructions are, and the executed view has no marks.
        QCOMPARE(drawing.texts[0].at, QPointF(ColumnX(executed, 0), l));
        QCOMPARE(drawing.texts[1].at, QPointF(ColumnX(executed, DisaView::machineCodeColumn), l));
        QVERIFY(drawing.images.isEmpty());
        QCOMPARE(arrowRow(), 3);

        // Through the emulation thread: step into the loop, then over the subroutine call.
        Emulation emulation(document);
        const auto run = [&](EmulationMode mode) {
            executed.setEnabled(false);
            document->mode = mode;
            emulation.start();
            // While the thread runs the view reads nothing of the history.
            const Drawing busy = Record(executed);
            QCOMPARE(busy.Lines(), QList<QStringList>({{"Exécution en cours..."}}));
            QCOMPARE(busy.texts[0].at, QPointF(0, l));
            QVERIFY(emulation.wait(10000));
            executed.setEnabled(true);
        };
        for (int i = 0; i < 6; ++i)
            run(StepIntoMode);
        // moveq, then addq and dbra four times, ending in the loop.
        drawing = Record(executed);
        QCOMPARE(drawing.Lines().size(), 10);
        QCOMPARE(drawing.Lines().mid(0, 1), QList<QStringList>({none}));
        QCOMPARE(drawing.Lines().mid(1, 3), listing.mid(0, 3));
        QCOMPARE(drawing.Lines().mid(4), QList<QStringList>({listing[3], listing[4], listing[5], listing[4], listing[5], listing[4]}));
        QCOMPARE(arrowRow(), 5);
        // Taking one back removes the newest row and moves the arrow back with it.
        document->emulator->Undo();
        QCOMPARE(Record(executed).Lines().mid(5), QList<QStringList>({listing[3], listing[4], listing[5], listing[4], listing[5]}));
        QCOMPARE(arrowRow(), 4);

        // Drawn disabled, the text is pale: painted at 0.3 opacity over the grey.
        executed.setEnabled(false);
        const QImage image = Grab(&executed);
        executed.setEnabled(true);
        int darkest = 255;
        for (int y = 0; y < l; ++y)
            for (int x = 0; x < 100; ++x)
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
        QVERIFY2(darkest > 100 && darkest < 200, qPrintable(QString::number(darkest)));
        QVERIFY(SameColor(image, 5, 5 * l, QColor(Qt::lightGray)));
    }

    void anyMemoryDrawsAndScrolls()
    {
        // Random words everywhere, so that every kind of instruction, undecoded words and
        // extensions past the end all come up, and steps land inside instructions.
        Machine machine;
        Document* document = machine.document.get();
        QRandomGenerator random(1234);
        unsigned char* bytes = document->memory->buffer.mainBuffer;
        for (unsigned int a = 0; a < MemoryBuffer::videoStart; ++a)
            bytes[a] = static_cast<unsigned char>(random.generate());
        StandardDisaView view;
        ExecutedDisaView executed;
        const int l = view.lineHeight;
        Show(&view, 600, 7 * l + 4);
        Show(&executed, 600, 7 * l + 4);
        const QList<unsigned int> starts = {0, 0xFFFFF0, 0xFFFFFA, 0xFFFFFC, 0xFFFFFE, 0xFFFFFF, 0xFFB4FE, 0x7FFFFF};
        for (unsigned int start : starts) {
            view.SetStartAddress(start);
            for (int key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Down, Qt::Key_Up, Qt::Key_PageUp, Qt::Key_Down}) {
                const unsigned int before = Top(view);
                QTest::keyClick(&view, Qt::Key(key));
                const unsigned int after = Top(view);
                QVERIFY(after % 2 == 0 && after <= 0xFFFFFE);
                QVERIFY(view.vValue == view.VLimit(view.vValue));
                if (key == Qt::Key_Down || key == Qt::Key_PageDown)
                    QVERIFY(after >= before);
                (void)Grab(&view);
            }
            Wheel(&view, -240);
            ClickAt(&view, Margin(view, 5));
            (void)Grab(&view);
        }
        for (unsigned int a : document->addressBreakpoints)
            QVERIFY(a <= 0xFFFFFF);
        // Executing the noise fills the history with wherever it went.
        document->emulator->registers->pc = 0x1000;
        for (int i = 0; i < 300; ++i) {
            document->emulator->Execute();
            document->emulator->errorMessage.clear();
        }
        const Drawing drawing = Record(executed);
        QCOMPARE(drawing.Lines().size(), 7);
        (void)Grab(&executed);
    }
};

int RunDisaViewTests(int argc, char** argv)
{
    DisaViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_disaview.moc"
