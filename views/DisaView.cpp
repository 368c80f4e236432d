#include "views/DisaView.h"

#include "core/CycleEstimate.h"
#include "core/Disassembler.h"
#include "session/Document.h"
#include "core/Emulator.h"
#include "splitview/ViewManager.h"

#include <QAction>
#include <QImage>
#include <QMenu>
#include <QPainter>

#include <cmath>

const int DisaView::addressColumn = 0;
const int DisaView::machineCodeColumn = DisaView::addressColumn + Disassembler::AddressFieldSize + 1;
const int DisaView::mnemonicColumn = DisaView::machineCodeColumn + Disassembler::MachineCodeFieldSize + 1;
const int DisaView::operandColumn = DisaView::mnemonicColumn + Disassembler::MnemonicFieldSize + 1;
const int DisaView::lastColumn = DisaView::operandColumn + Disassembler::OperandFieldSize;
const int DisaView::cyclesColumn = DisaView::mnemonicColumn;
const int DisaView::cyclesShift = CycleEstimate::textWidth + 1;

DisaView::DisaView()
    : TextView(),
      document(qobject_cast<Document*>(ViewManager::document)),
      memory(document->memory),
      disassembler(document->disassembler),
      registers(document->emulator->registers),
      // The address is 6 digits wide; the band takes 3 cells more (the origin) and half a
      // cell of air before its closing line.
      addressBandEnd(static_cast<int>(std::round((Disassembler::AddressFieldSize + 3) * charWidth) + 0.5 * charWidth)),
      marginWidth(static_cast<int>(std::round(5 * charWidth)) / 2)
{
    columnOrigin = 3;
    lineOrigin = 0;
}

void DisaView::SetShowCycles(bool on)
{
    showCycles = on;
    if (cyclesAction)
        cyclesAction->setChecked(on);
    update();
}

void DisaView::AddCyclesEntry()
{
    cyclesAction = menu->addAction(QStringLiteral("Afficher les cycles"), this, &DisaView::SetShowCycles);
    cyclesAction->setCheckable(true);
    cyclesAction->setChecked(showCycles);
}

bool DisaView::CursorCommandsApply(unsigned int address) const
{
    return document->runsAllowed && !document->programFile.isEmpty() && address != (registers->pc & 0xFFFFFF);
}

void DisaView::AddCursorEntries()
{
    runToAction = menu->addAction(QStringLiteral("Exécuter jusqu'au curseur"), this,
                                  [this] { emit document->RunToRequested(menuTarget); });
    pcHereAction = menu->addAction(QStringLiteral("Placer le PC ici"), this,
                                   [this] { emit document->PcMoveRequested(menuTarget); });
}

void DisaView::AimCursorEntries(std::optional<unsigned int> address)
{
    if (!runToAction)
        return;
    menuTarget = address.value_or(0);
    const bool apply = address && CursorCommandsApply(*address);
    runToAction->setEnabled(apply);
    pcHereAction->setEnabled(apply);
}

void DisaView::DrawCursorFrame(QPainter& painter)
{
    const QPen pen = painter.pen();
    const QBrush brush = painter.brush();
    painter.setPen(QPen(QColor(96, 96, 96), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    const int x = addressBandEnd + 1 - hValue;
    const int y = line * lineHeight + lineHeight / 4 - vValue;
    painter.drawRect(x, y, width(Automatic) - 2 - x, lineHeight - 1);
    painter.setPen(pen);
    painter.setBrush(brush);
}

void DisaView::FillBands(QPainter& painter, const QColor& margin, const QColor& band)
{
    const int h = height(Automatic);
    painter.fillRect(marginWidth - hValue, 0, addressBandEnd - marginWidth, h, band);
    painter.fillRect(-hValue, 0, marginWidth, h, margin);
}

void DisaView::DrawBandLines(QPainter& painter)
{
    const int bottom = height(Automatic) - 1;
    painter.setPen(Qt::black);
    painter.drawLine(addressBandEnd - hValue, 0, addressBandEnd - hValue, bottom);
    painter.drawLine(marginWidth - hValue, 0, marginWidth - hValue, bottom);
}

void DisaView::PrintFields(QPainter& painter)
{
    painter.setFont(boldFont);
    column = addressColumn;
    Print(painter, disassembler->addressText);
    painter.setFont(textFont);
    column = machineCodeColumn;
    Print(painter, disassembler->machineCode);
    if (showCycles && !disassembler->data)
        PrintCycles(painter);
    column = MnemonicColumn();
    Print(painter, disassembler->mnemonic);
    column = OperandColumn();
    Print(painter, disassembler->operand);
}

void DisaView::PrintCycles(QPainter& painter)
{
    cyclesText.clear();
    const CycleEstimate estimate = CycleEstimate::Of(*memory, disassembler->startAddress);
    estimate.AppendText(cyclesText);
    // The numbers right-aligned, an exception's "+" in the column's last cell after them.
    const int suffix = estimate.exception == CycleEstimate::Exception::Sometimes ? 1 : 0;
    column = cyclesColumn + CycleEstimate::textWidth - 1 - (int(cyclesText.length()) - suffix);
    Print(painter, cyclesText);
}

void DisaView::DrawMarginImage(QPainter& painter, const QImage& image)
{
    painter.drawImage((marginWidth - 16) / 2 - hValue, line * lineHeight + 1 + lineHeight / 4 - vValue, image);
}

void DisaView::DrawHeatMark(QPainter& painter, unsigned long long cycles, unsigned long long hottest)
{
    if (cycles == 0 || hottest == 0)
        return;
    static const QColor shades[] = {QColor(255, 236, 179), QColor(255, 204, 128), QColor(255, 138, 101),
                                    QColor(229, 57, 53)};
    const double share = double(cycles) / double(hottest);
    const int level = share >= 0.5 ? 3 : share >= 0.1 ? 2 : share >= 0.01 ? 1 : 0;
    painter.fillRect(-hValue, line * lineHeight + lineHeight / 4 - vValue, marginWidth, lineHeight, shades[level]);
}

void DisaView::DrawLineFrame(QPainter& painter, const QColor& outline, const QColor& fill)
{
    const QPen pen = painter.pen();
    const QBrush brush = painter.brush();
    painter.setPen(QPen(outline, 1));
    painter.setBrush(fill);
    const int x = marginWidth - hValue;
    const int y = line * lineHeight + lineHeight / 4 - vValue;
    // A 1-pixel outline covers one pixel more than the rectangle's size.
    painter.drawRect(x, y, width(Automatic) - 1 - x, lineHeight - 1);
    painter.setPen(pen);
    painter.setBrush(brush);
}

const QImage& DisaView::ArrowImage()
{
    static const QImage image(QStringLiteral(":/Icon/Arrow"));
    return image;
}

const QImage& DisaView::AddressBallImage()
{
    static const QImage image(QStringLiteral(":/Icon/AddressBreakpoint"));
    return image;
}

const QImage& DisaView::InstructionBallImage()
{
    static const QImage image(QStringLiteral(":/Icon/InstructionBreakpoint"));
    return image;
}
