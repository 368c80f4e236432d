#include "views/StackText.h"

#include "core/Hex.h"
#include "core/Memory.h"

#include <QStringList>

#include <algorithm>

namespace {

// An odd stack address cannot hold a word: its byte stands alone on a marked line.
QString OddByte(const Memory* memory, unsigned int address)
{
    return QStringLiteral("** ") + Hex::Text(memory->Read(address, 8), 2) + QStringLiteral(" **");
}

} // namespace

StackText::StackText(QWidget* parent)
    : QLabel(parent), entrySize(16), memory(nullptr), address(0), lineCount(1), direction(0)
{
}

QString StackText::Text() const
{
    if (!memory || lineCount < 1)
        return QString();
    const int bits = (entrySize == 8 || entrySize == 32) ? entrySize : 16;
    const unsigned int step = unsigned(bits / 8);
    const bool odd = (address & 1) && bits != 8;
    QStringList lines;
    lines.reserve(lineCount);
    if (direction == 0) {
        unsigned int a = address;
        if (odd)
            lines << OddByte(memory, a++);
        while (lines.size() < lineCount) {
            lines << Hex::Text(memory->Read(a, bits), bits / 4);
            a += step;
        }
    } else {
        unsigned int a = address;
        if (odd)
            lines << OddByte(memory, --a);
        while (lines.size() < lineCount) {
            a -= step;
            lines << Hex::Text(memory->Read(a, bits), bits / 4);
        }
        // Gathered nearest first; the nearest is shown at the bottom.
        std::reverse(lines.begin(), lines.end());
    }
    return lines.join(QChar(QChar::LineSeparator));
}

void StackText::SetAddress(unsigned int a)
{
    address = a;
    Update();
}

void StackText::Update()
{
    lineCount = height() / fontMetrics().height();
    const QString shown = Text();
    if (shown != text())
        setText(shown);
}
