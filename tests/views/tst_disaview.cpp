// The disassembly views on the test program: the line layout, scrolling by instruction down
// and by word up with keys, wheel and bar, the margin's marks and clicks, the start-address
// menu, and the list of executed instructions as the program steps.
#include "ViewsTestSupport.h"

#include "core/CycleEstimate.h"
#include "core/Disassembler.h"
#include "core/ThreadSanitizer.h"
#include "program/SymbolTable.h"
#include "session/Emulation.h"
#include "session/ProgramLoader.h"
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
    QWheelEvent event(QPointF(10, 10), w->mapToGlobal(QPoint(10, 10)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
}

// A point in the margin on visible line `row`.
QPoint Margin(const DisaView& view, int row, int x = 2)
{
    return QPoint(x, row * view.lineHeight + view.lineHeight / 2);
}

QList<unsigned int> Breakpoints(const Machine& machine)
{
    return machine.document->addressBreakpoints;
}

unsigned int SymbolAddress(const Machine& machine, const char* name)
{
    const SymbolTable::Symbol* symbol = machine.document->symbols->Find(QString::fromLatin1(name));
    return symbol ? symbol->address : 0;
}

// The lines of a listing from start on, as the disassembler alone makes them, naming
// operands with the document's symbols.
QList<QStringList> Plain(const Machine& machine, unsigned int start, int count)
{
    Disassembler d(machine.document->memory);
    d.symbols = machine.document->symbols;
    QList<QStringList> lines;
    for (unsigned int a = start; lines.size() < count; a = d.nextAddress) {
        d.SetStartAddress(a);
        d.Disassemble();
        lines << (QStringList() << d.addressText << d.machineCode << d.mnemonic);
        // The view draws no empty field.
        if (!d.operand.isEmpty())
            lines.last() << d.operand;
    }
    return lines;
}

// A label's own row.
QStringList LabelRow(const char* name)
{
    return {QString::fromLatin1(name), QStringLiteral(":")};
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

    void linesAndScrolling()
    {
        Machine machine;
        StandardDisaView view;
        const int l = view.lineHeight;
        Show(&view, 760, 10 * l + 5);
        // The bits above the address space are ignored; an odd address shows the word below.
        view.SetStartAddress(0x01001001);
        QCOMPARE(view.vValue, 0x800 * l);
        const Drawing drawing = Record(view);
        // The whole lines and the part of one below them.
        QCOMPARE(drawing.Lines(), listing.mid(0, 11));
        // The fields at cells 3, 10, 33 and 41, past the margin; the address alone in bold.
        const int cells[] = {3, 10, 33, 41};
        for (int i = 0; i < 4; ++i)
            QCOMPARE(drawing.texts[4 + i].at.topLeft(), QPointF(std::lround(cells[i] * view.charWidth), 2 * l));
        QVERIFY(drawing.texts[4].bold && !drawing.texts[5].bold);
        // The text is as wide as the longest operand on screen, "#$12345678,$FF0000".
        QCOMPARE(view.textWidth, 41 + 18);
        // The margin, the address band, their closing lines, and the text's white.
        const QImage image = Grab(&view);
        const int y = 10 * l;
        QCOMPARE(Pixel(image, view.marginWidth - 1, y), QColor(248, 248, 248));
        QCOMPARE(Pixel(image, view.marginWidth, image.height() - 1), QColor(Qt::black));
        QCOMPARE(Pixel(image, view.addressBandEnd - 1, y), QColor(240, 240, 240));
        QCOMPARE(Pixel(image, view.addressBandEnd, image.height() - 1), QColor(Qt::black));
        QCOMPARE(Pixel(image, view.addressBandEnd + 1, y), QColor(Qt::white));

        // Down by instructions, up by words, so that a step up lands inside an instruction:
        // the long move's data word 00FF at 100A is no instruction.
        const QList<QPair<int, unsigned int>> steps = {{Qt::Key_Down, 0x1004}, {Qt::Key_Down, 0x100E},
            {Qt::Key_Up, 0x100C}, {Qt::Key_Up, 0x100A}, {Qt::Key_Down, 0x100C}, {Qt::Key_PageUp, 0x100C - 20}};
        for (const auto& step : steps) {
            QTest::keyClick(&view, Qt::Key(step.first));
            QCOMPARE(Top(view), step.second);
        }
        // A page down passes the ten whole lines on screen.
        view.SetStartAddress(programStart);
        QTest::keyClick(&view, Qt::Key_PageDown);
        QCOMPARE(Top(view), 0x1022u);
        // Three instructions a notch down, three words a notch up; the bar as the keys.
        view.SetStartAddress(programStart);
        Wheel(&view, -120);
        QCOMPARE(Top(view), 0x1012u);
        Wheel(&view, 120);
        QCOMPARE(Top(view), 0x100Cu);
        view.SetStartAddress(programStart);
        view.vScrollBar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCOMPARE(Top(view), 0x1004u);
        view.vScrollBar->triggerAction(QAbstractSlider::SliderSingleStepSub);
        QCOMPARE(Top(view), 0x1002u);
        view.vScrollBar->setValue(view.AddressToScrollValue(0x2468));
        QCOMPARE(Top(view), 0x2468u);
        // Nothing above the top of memory.
        for (int key : {Qt::Key_Home, Qt::Key_Up, Qt::Key_PageUp})
            QTest::keyClick(&view, Qt::Key(key));
        Wheel(&view, 360);
        QCOMPARE(view.vValue, 0);
        // At the bottom the last word is on the top line, alone, and nothing goes further.
        for (int key : {Qt::Key_End, Qt::Key_Down, Qt::Key_PageDown})
            QTest::keyClick(&view, Qt::Key(key));
        Wheel(&view, -360);
        view.vScrollBar->triggerAction(QAbstractSlider::SliderPageStepAdd);
        QCOMPARE(Top(view), 0xFFFFFEu);
        QCOMPARE(Record(view).Lines().size(), 1);
        // An instruction whose extension words run past the end has no next line.
        machine.Poke(0xFFFFFA, 0x23);
        machine.Poke(0xFFFFFB, 0xFC);
        view.SetStartAddress(0xFFFFFA);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(Top(view), 0xFFFFFAu);
    }

    // A compiled program: two bytes of zeros pad count up to sum, aligned on 4, and the
    // string reply starts at an odd address. No line runs across a label, whatever the top
    // of the view; without symbols the same bytes list as they always did.
    void labelsStartTheirLines()
    {
        Machine machine;
        ProgramLoader loader(QStringLiteral(PADDING_PROGRAM ".elf"), machine.document.get());
        QVERIFY2(loader.Load(), qPrintable(loader.errorMessage));
        const unsigned int sum = SymbolAddress(machine, "sum");
        const unsigned int reply = SymbolAddress(machine, "reply");
        QCOMPARE(sum, 0x100Cu);
        QCOMPARE(reply, 0x1033u);
        StandardDisaView view;
        const int l = view.lineHeight;
        const int rows = 8;
        Show(&view, 760, rows * l);
        const auto shown = [&] { return Record(view).Lines().mid(0, rows); };

        // On the padding: the zeros as a word, the label, and the function from its start.
        view.SetStartAddress(sum - 2);
        const QList<QStringList> atPadding = shown();
        QCOMPARE(atPadding.mid(0, 3), QList<QStringList>({{"00100A", "0000", "DC.W", "$0000"}, LabelRow("sum"),
                                                          {"00100C", "202F 0008", "MOVE.L", "$8(A7),D0"}}));
        // Past the label, the function's instructions as the disassembler makes them.
        QCOMPARE(atPadding.mid(2), Plain(machine, sum, rows - 2));
        // A word up shows the same lines below the count's RTS; down again, the same lines;
        // down once more, the function from its label.
        QTest::keyClick(&view, Qt::Key_Up);
        QCOMPARE(Top(view), sum - 4);
        QCOMPARE(shown().at(0), QStringList({"001008", "4E75", "RTS"}));
        QCOMPARE(shown().mid(1), atPadding.mid(0, rows - 1));
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(shown(), atPadding);
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(Top(view), sum);
        QCOMPARE(shown(), atPadding.mid(1) + shown().mid(rows - 1));
        // The margin: the padding's row is its own address, the label's row the function's,
        // and the rows below count the label's.
        view.SetStartAddress(sum - 2);
        for (int row : {1, 3, 0})
            ClickAt(&view, Margin(view, row));
        QCOMPARE(Breakpoints(machine), QList<unsigned int>({sum, sum + 4, sum - 2}));
        // An instruction that ends where a label starts is whole.
        const unsigned int greeting = SymbolAddress(machine, "greeting");
        view.SetStartAddress(greeting - 4);
        QCOMPARE(shown().mid(0, 3), Plain(machine, greeting - 4, 2) << LabelRow("greeting"));

        // From any top, a label's row is followed by the lines that follow it at the top (at
        // the word that holds it, for the odd one).
        QMap<QString, QList<QStringList>> fromLabel;
        for (const char* name : {"count", "sum", "greeting", "reply"}) {
            view.SetStartAddress(SymbolAddress(machine, name));
            const QList<QStringList> lines = shown();
            fromLabel[QLatin1String(name)] = lines.mid(lines.indexOf(LabelRow(name)));
        }
        QCOMPARE(fromLabel.value(QStringLiteral("reply")).size(), rows - 1);
        for (unsigned int top = 0xFF0; top < 0x1040; top += 2) {
            view.SetStartAddress(top);
            const QList<QStringList> lines = shown();
            for (int row = 0; row < rows; ++row) {
                const QList<QStringList> from = fromLabel.value(lines[row].at(0));
                const int n = std::min(rows - row, int(from.size()));
                if (lines[row].size() == 2 && !from.isEmpty())
                    QVERIFY2(lines.mid(row, n) == from.mid(0, n),
                             qPrintable(QStringLiteral("%1 from %2").arg(lines[row].at(0)).arg(top, 0, 16)));
            }
            QTest::keyClick(&view, Qt::Key_Down);
            QVERIFY(Top(view) > top && Top(view) % 2 == 0);
        }

        // A byte before the odd label, the label's byte, then words again; a step down skips
        // the odd line, which the top row cannot show.
        view.SetStartAddress(reply - 1);
        QCOMPARE(shown().mid(0, 5), QList<QStringList>({{"001032", "00", "DC.B", "$00"}, LabelRow("reply"),
                                                       {"001033", "6F", "DC.B", "$6F"},
                                                       {"001034", "6B00", "DC.W", "$6B00"}, LabelRow("__bss_start")}));
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(Top(view), reply + 1);

        // The same bytes without symbols: the zeros take the function's first word, and no
        // line is cut.
        ProgramLoader records(QStringLiteral(PADDING_PROGRAM ".hex"), machine.document.get());
        QVERIFY2(records.Load(), qPrintable(records.errorMessage));
        QVERIFY(machine.document->symbols->IsEmpty());
        for (unsigned int top : {sum - 2, reply - 1, 0x1000u}) {
            view.SetStartAddress(top);
            QCOMPARE(shown(), Plain(machine, top, rows));
        }
        view.SetStartAddress(sum - 2);
        QCOMPARE(shown().at(0), QStringList({"00100A", "0000 202F", "ORI.B", "#$2F,D0"}));
        QTest::keyClick(&view, Qt::Key_Down);
        QCOMPARE(Top(view), sum + 2);
    }

    void marginClicksToggleAddressBreakpoints()
    {
        Machine machine;
        StandardDisaView view;
        const int l = view.lineHeight;
        Show(&view, 300, 8 * l + 3);
        view.SetStartAddress(programStart);
        // The fourth line is the fourth instruction, whatever the lengths above it; a second
        // click on a line takes its breakpoint away.
        ClickAt(&view, Margin(view, 3));
        ClickAt(&view, Margin(view, 0, view.marginWidth));
        ClickAt(&view, Margin(view, 7, 0));
        ClickAt(&view, Margin(view, 3, 5));
        QCOMPARE(Breakpoints(machine), QList<unsigned int>({0x1000, 0x101C}));
        // Right of the margin, another button, or the margin scrolled out of sight: nothing.
        ClickAt(&view, Margin(view, 1, view.marginWidth + 1));
        ClickAt(&view, Margin(view, 1), Qt::MiddleButton);
        for (int i = 0; i < 4; ++i)
            QTest::keyClick(&view, Qt::Key_Right);
        QVERIFY(view.hValue > view.marginWidth);
        ClickAt(&view, Margin(view, 1, 0));
        QCOMPARE(Breakpoints(machine), QList<unsigned int>({0x1000, 0x101C}));
        // At the end of memory the lines below the last instruction hold nothing to toggle.
        view.SetHValue(0);
        machine.document->addressBreakpoints.clear();
        view.SetStartAddress(0xFFFFF8);
        for (int row = 0; row * l + l / 2 < view.height(); ++row)
            ClickAt(&view, Margin(view, row));
        QCOMPARE(Breakpoints(machine), QList<unsigned int>({0xFFFFF8, 0xFFFFFC}));
    }

    void breakpointMarksAndArrow()
    {
        Machine machine;
        StandardDisaView view;
        const int l = view.lineHeight;
        Show(&view, 700, 12 * l);
        view.SetStartAddress(programStart);
        machine.document->AddAddressBreakpoint(0x1014);
        machine.document->AddAddressBreakpoint(0x101C);
        machine.registers()->pc = 0x1014;
        const QImage arrow(QStringLiteral(":/Icon/Arrow"));
        const QImage addressBall(QStringLiteral(":/Icon/AddressBreakpoint"));
        const QImage instructionBall(QStringLiteral(":/Icon/InstructionBreakpoint"));
        const auto imageAt = [&](int row) { return QRectF((view.marginWidth - 16) / 2, row * l + 1 + l / 4, 16, 16); };
        // Rows 4 (0x1014: the PC and an address breakpoint), 7 (0x101C: an address
        // breakpoint) and 10 (0x1022: ILLEGAL, an instruction breakpoint of every document).
        const int rows[] = {4, 4, 7, 10};
        const QImage images[] = {addressBall, arrow, addressBall, instructionBall};
        Drawing drawing = Record(view);
        QCOMPARE(drawing.images.size(), 4);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(drawing.images[i].at, imageAt(rows[i]));
            QCOMPARE(drawing.images[i].image, images[i]);
        }
        // The frames, behind the text of their lines.
        const int w = view.width(ScrollView::Automatic);
        QCOMPARE(drawing.frames.size(), 3);
        for (int i = 0; i < 3; ++i) {
            const int row = rows[i + 1];
            QCOMPARE(drawing.frames[i].at, QRectF(view.marginWidth, row * l + l / 4, w - 1 - view.marginWidth, l - 1));
            QCOMPARE(drawing.frames[i].pen, row == 10 ? QColor(0, 0, 139) : QColor(139, 0, 0));
            QCOMPARE(drawing.frames[i].brush, row == 10 ? QColor(240, 248, 255) : QColor(255, 245, 238));
            for (const Drawn& text : drawing.texts)
                QVERIFY(text.at.y() != (row + 1) * l || drawing.frames[i].order < text.order);
        }
        const int frameY = 4 * l + l / 4 + l / 2;
        QImage image = Grab(&view);
        QCOMPARE(Pixel(image, w - 1, frameY), QColor(139, 0, 0));
        QCOMPARE(Pixel(image, w - 2, frameY), QColor(255, 245, 238));
        // Disabled address breakpoints keep their ball and lose their frame.
        machine.document->addressBreakpointsEnabled = false;
        drawing = Record(view);
        QCOMPARE(drawing.images.size(), 4);
        QCOMPARE(drawing.frames.size(), 1);
        QCOMPARE(Pixel(Grab(&view), w - 2, frameY), QColor(Qt::white));
    }

    void startAddressMenu()
    {
        Machine machine;
        StandardDisaView view;
        Show(&view, 700, 200);
        machine.registers()->a[3] = 0x1016;
        machine.registers()->usp = 0x2001;
        machine.registers()->d[5] = 0x01000100;
        const auto pick = [&](const QString& entry) {
            const int menus = ContextMenu(&view, QPoint(100, 50), [&](QMenu* menu) {
                QCOMPARE(Entries(menu), QStringList({"Adresse de départ de la vue", "Afficher les cycles", "-",
                                                     "Exécuter jusqu'au curseur", "Placer le PC ici", "-",
                                                     "Barres de défilement", "-",
                                                     "Découper horizontalement", "Découper verticalement",
                                                     "Vue par défaut", "Supprimer"}));
                // Without a program, there is nothing to run to.
                QVERIFY(!Entry(menu, QStringLiteral("Exécuter jusqu'au curseur"))->isEnabled());
                QVERIFY(!Entry(menu, QStringLiteral("Placer le PC ici"))->isEnabled());
                QMenu* sub = OpenSubmenu(menu, QStringLiteral("Adresse de départ de la vue"));
                QCOMPARE(Entries(sub), QStringList({"Définir...", "PC", "A0", "A1", "A2", "A3", "A4", "A5", "A6", "A7",
                                                    "D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "USP", "SSP"}));
                QCOMPARE(Entry(sub, "Définir...")->data().toString(), QStringLiteral("Define"));
                QVERIFY(!Entry(sub, "Définir...")->icon().isNull() && !Entry(sub, "PC")->icon().isNull());
                Click(sub, Entry(sub, entry));
            });
            QCOMPARE(menus, 1);
        };
        const QList<QPair<QString, unsigned int>> picks = {{"A3", 0x1016}, {"USP", 0x2000}, {"D5", 0x100}, {"PC", programStart}};
        for (const auto& p : picks) {
            pick(p.first);
            QCOMPARE(Top(view), p.second);
        }
    }

    void executedInstructions()
    {
        Machine machine;
        ExecutedDisaView executed;
        StandardDisaView standard;
        const int l = executed.lineHeight;
        Show(&executed, 700, 10 * l);
        Show(&standard, 700, 10 * l);
        standard.SetStartAddress(programStart);
        QCOMPARE(executed.focusPolicy(), Qt::NoFocus);
        const QStringList none = {"------", "Aucune instruction exécutée"};
        QCOMPARE(Record(executed).Lines(), Repeat(none, 10));
        const QImage arrow(QStringLiteral(":/Icon/Arrow"));
        const auto arrowRow = [&] {
            for (const Drawn& image : Record(standard).images)
                if (image.image == arrow)
                    return int(image.at.y()) / l;
            return -1;
        };
        for (int i = 0; i < 3; ++i)
            machine.document->emulator->Execute();
        Drawing drawing = Record(executed);
        QCOMPARE(drawing.Lines(), Repeat(none, 7) + listing.mid(0, 3));
        QCOMPARE(drawing.texts[1].at.topLeft(), drawing.texts[7 * 2 + 1].at.topLeft() - QPointF(0, 7 * l));
        QVERIFY(drawing.images.isEmpty());
        QCOMPARE(arrowRow(), 3);

        // Through the emulation thread: moveq, then addq and dbra round the loop.
        Emulation emulation(machine.document.get());
        for (int i = 0; i < 6; ++i) {
            executed.setEnabled(false);
            machine.document->mode = StepIntoMode;
            emulation.start();
            // While the thread runs the view reads nothing of the history.
            QCOMPARE(Record(executed).texts.size(), 1);
            QCOMPARE(Record(executed).texts[0].text, QStringLiteral("Exécution en cours..."));
            QCOMPARE(Record(executed).texts[0].at.topLeft(), QPointF(0, l));
            QVERIFY(emulation.wait(10000));
            // wait orders the thread's writes before what follows, as the session's end does.
            ThreadSanitizer::Acquire(&emulation);
            executed.setEnabled(true);
        }
        const QList<QStringList> loop = {listing[3], listing[4], listing[5], listing[4], listing[5], listing[4]};
        QCOMPARE(Record(executed).Lines(), QList<QStringList>({none}) + listing.mid(0, 3) + loop);
        QCOMPARE(arrowRow(), 5);
        // Taking one back removes the newest row and moves the arrow back with it.
        machine.document->emulator->Undo();
        QCOMPARE(Record(executed).Lines().mid(5), loop.mid(0, 5));
        QCOMPARE(arrowRow(), 4);
        // Disabled, the text is pale: drawn at 0.3 opacity over the grey.
        executed.setEnabled(false);
        const QImage image = Grab(&executed);
        int darkest = 255;
        for (int y = 0; y < l; ++y)
            for (int x = 0; x < 100; ++x)
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
        QVERIFY2(darkest > 100 && darkest < 180, qPrintable(QString::number(darkest)));
    }

    // The setting "Afficher les cycles" of both views, as the user turns it on and off from
    // the menu: off at first, then a column between the machine code and the mnemonic, the
    // cycles right-aligned, nothing on a label's row or a data line; off again, the view draws
    // as it did.
    void cyclesColumn()
    {
        Machine machine;
        StandardDisaView view;
        const int l = view.lineHeight;
        Show(&view, 760, 11 * l + 5);
        view.SetStartAddress(programStart);
        const auto toggle = [](DisaView* v, bool checkedBefore) {
            const int menus = ContextMenu(v, QPoint(200, 30), [&](QMenu* menu) {
                QAction* entry = Entry(menu, QStringLiteral("Afficher les cycles"));
                QVERIFY(entry && entry->isCheckable());
                QCOMPARE(entry->isChecked(), checkedBefore);
                Click(menu, entry);
            });
            QCOMPARE(menus, 1);
        };
        const QImage before = Grab(&view);
        const int widthBefore = view.textWidth;
        QVERIFY(!view.ShowsCycles());
        QCOMPARE(Record(view).Lines(), listing);

        toggle(&view, false);
        QVERIFY(view.ShowsCycles());
        const QStringList cycles = {"8", "28", "8", "4", "4", "10-14", "8", "4", "18", "", "34", "16"};
        QList<QStringList> withCycles = listing;
        for (int i = 0; i < withCycles.size(); ++i)
            if (!cycles[i].isEmpty())
                withCycles[i].insert(2, cycles[i]);
        Drawing drawing = Record(view);
        QCOMPARE(drawing.Lines(), withCycles);
        // The cycles end where the mnemonic began; the mnemonic and the operands move right by
        // the column, and so does the text's width.
        const auto cell = [&](int c) { return double(std::lround(c * view.charWidth)); };
        const auto at = [&](int row, const QString& text) {
            for (const Drawn& t : drawing.texts)
                if (t.text == text && int(t.at.y()) == (row + 1) * l)
                    return t.at.x();
            return -1.0;
        };
        QCOMPARE(at(5, "10-14"), cell(3 + 30 + 6 - 5));
        QCOMPARE(at(1, "28"), cell(3 + 30 + 6 - 2));
        QCOMPARE(at(5, "DBRA.W"), cell(3 + 30 + 8));
        QCOMPARE(at(5, "D1,$1014"), cell(3 + 38 + 8));
        QCOMPARE(view.textWidth, widthBefore + 8);
        QVERIFY(Grab(&view) != before);

        // Off again: the lines, their places, the width and the pixels as before.
        toggle(&view, true);
        QVERIFY(!view.ShowsCycles());
        QCOMPARE(Record(view).Lines(), listing);
        QCOMPARE(view.textWidth, widthBefore);
        QCOMPARE(Grab(&view), before);

        // Labels and the bytes before them: no cycles on either, nor on an instruction's
        // first word that a label cuts short.
        toggle(&view, false);
        ProgramLoader loader(QStringLiteral(PADDING_PROGRAM ".elf"), machine.document.get());
        QVERIFY2(loader.Load(), qPrintable(loader.errorMessage));
        view.SetStartAddress(SymbolAddress(machine, "sum") - 2);
        QCOMPARE(Record(view).Lines().mid(0, 3),
                 QList<QStringList>({{"00100A", "0000", "DC.W", "$0000"}, LabelRow("sum"),
                                     {"00100C", "202F 0008", "16", "MOVE.L", "$8(A7),D0"}}));
        view.SetStartAddress(SymbolAddress(machine, "reply") - 1);
        QCOMPARE(Record(view).Lines().mid(0, 3),
                 QList<QStringList>({{"001032", "00", "DC.B", "$00"}, LabelRow("reply"), {"001033", "6F", "DC.B", "$6F"}}));

        // An exception's "+" follows the numbers, in the column's last cell.
        const unsigned int trapvAndRts[] = {0x4E, 0x76, 0x4E, 0x75};
        for (unsigned int i = 0; i < 4; ++i)
            machine.Poke(0x2000 + i, trapvAndRts[i]);
        view.SetStartAddress(0x2000);
        drawing = Record(view);
        QCOMPARE(drawing.Lines().mid(0, 2), QList<QStringList>({{"002000", "4E76", "4+", "TRAPV"}, {"002002", "4E75", "16", "RTS"}}));
        QCOMPARE(at(0, "4+"), cell(3 + 30 + 6 - 1));
        QCOMPARE(at(1, "16"), cell(3 + 30 + 6 - 2));

        // The list of executed instructions has its own setting, off at first.
        ExecutedDisaView executed;
        Show(&executed, 700, 5 * l);
        machine.registers()->pc = 0x100C;
        for (int i = 0; i < 2; ++i)
            machine.document->emulator->Execute();
        const QStringList none = {"------", "Aucune instruction exécutée"};
        const QList<QStringList> ran = {none, none, none, {"00100C", "202F 0008", "MOVE.L", "$8(A7),D0"}};
        QCOMPARE(Record(executed).Lines().mid(0, 4), ran);
        toggle(&executed, false);
        QVERIFY(executed.ShowsCycles() && view.ShowsCycles());
        QList<QStringList> ranWithCycles = ran;
        ranWithCycles[3].insert(2, QStringLiteral("16"));
        QCOMPARE(Record(executed).Lines().mid(0, 4), ranWithCycles);
        QCOMPARE(Record(executed).Lines().at(4).at(2), CycleEstimate::Of(*machine.document->memory, 0x1010).Text());
        toggle(&executed, true);
        QCOMPARE(Record(executed).Lines().mid(0, 4), ran);
    }

    void anyMemoryDrawsAndScrolls()
    {
        // Random bytes everywhere: every kind of instruction, undecoded words, extensions
        // past the end, and steps that land inside instructions.
        Machine machine;
        QRandomGenerator random(1234);
        for (unsigned int a = 0; a < MemoryBuffer::videoStart; ++a)
            machine.document->memory->buffer.mainBuffer[a] = static_cast<unsigned char>(random.generate());
        StandardDisaView view;
        ExecutedDisaView executed;
        Show(&view, 600, 7 * view.lineHeight + 4);
        Show(&executed, 600, 7 * view.lineHeight + 4);
        for (unsigned int start : {0u, 0xFFFFF0u, 0xFFFFFAu, 0xFFFFFCu, 0xFFFFFFu, 0xFFB4FEu, 0x7FFFFFu}) {
            view.SetStartAddress(start);
            for (int key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Down, Qt::Key_Up, Qt::Key_PageUp}) {
                const unsigned int before = Top(view);
                QTest::keyClick(&view, Qt::Key(key));
                QVERIFY(Top(view) % 2 == 0 && Top(view) <= 0xFFFFFE && view.vValue == view.VLimit(view.vValue));
                QVERIFY(Top(view) >= before || key == Qt::Key_Up || key == Qt::Key_PageUp);
                (void)Grab(&view);
            }
            ClickAt(&view, Margin(view, 5));
        }
        for (unsigned int a : Breakpoints(machine))
            QVERIFY(a <= 0xFFFFFF);
        // Executing the noise fills the history with wherever it went.
        for (int i = 0; i < 300; ++i) {
            machine.document->emulator->Execute();
            machine.document->emulator->errorMessage.clear();
        }
        QCOMPARE(Record(executed).Lines().size(), 7);
        (void)Grab(&executed);
    }
};

int RunDisaViewTests(int argc, char** argv)
{
    DisaViewTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_disaview.moc"
