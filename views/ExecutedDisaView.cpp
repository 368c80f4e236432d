#include "views/ExecutedDisaView.h"

#include "core/Disassembler.h"
#include "session/Document.h"
#include "core/Emulator.h"

#include <QMenu>
#include <QPainter>

ExecutedDisaView::ExecutedDisaView()
    : DisaView(),
      history(&document->emulator->undoList)
{
    activeColor = Qt::lightGray;
    inactiveColor = Qt::lightGray;
    SetBackColor(inactiveColor);
    setFocusPolicy(Qt::NoFocus);
    SetHBarDisplay(AlwaysInvisible);
    SetVBarDisplay(AlwaysInvisible);
}

void ExecutedDisaView::InitializeMenu()
{
    AddCyclesEntry();
    menu->addSeparator();
    DisaView::InitializeMenu();
}

void ExecutedDisaView::Draw(QPainter& painter)
{
    if (!isEnabled()) {
        // The history changes under the running emulation: it is not read then.
        column = -columnOrigin;
        line = 0;
        painter.setPen(Qt::black);
        painter.setFont(textFont);
        Print(painter, QStringLiteral("Exécution en cours..."));
        return;
    }
    FillBands(painter, Qt::lightGray, Qt::lightGray);
    DrawBandLines(painter);
    painter.setPen(Qt::black);
    line = vValue / lineHeight;
    const int rows = (height(Automatic) + 1) / lineHeight;
    if (rows < 1)
        return;
    const int count = history->items.count();
    static const QString noAddress(Disassembler::AddressFieldSize, QLatin1Char('-'));
    for (int r = 0; r < rows; ++r) {
        const int record = count - rows + r;
        if (record < 0) {
            painter.setFont(textFont);
            column = addressColumn;
            Print(painter, noAddress);
            column = machineCodeColumn;
            Print(painter, QStringLiteral("Aucune instruction exécutée"));
        } else {
            disassembler->SetStartAddress(history->items.at(record)->pc);
            disassembler->Disassemble();
            PrintFields(painter);
        }
        NewLine();
    }
}
