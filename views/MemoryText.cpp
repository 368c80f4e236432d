#include "views/MemoryText.h"

#include "core/Hex.h"
#include "core/Memory.h"

Memory* MemoryText::memory = nullptr;

MemoryText::MemoryText(QWidget* parent)
    : QLineEdit(parent), address(0), byteCount(4), mode(Words), invalid(false)
{
}

QChar MemoryText::ByteCharacter(unsigned int byte)
{
    byte &= 0xFF;
    const bool printable = (byte >= 0x20 && byte < 0x7F) || (byte >= 0xA0 && byte != 0xAD);
    return printable ? QChar(ushort(byte)) : QLatin1Char('.');
}

QString MemoryText::Text() const
{
    // A panel too narrow for one word asks for no bytes at all.
    const int words = byteCount > 0 ? byteCount / 2 : 0;
    if (words == 0)
        return QString();
    if (invalid || !memory)
        return QString(mode == Characters ? 2 * words : 5 * words - 1, QLatin1Char('-'));
    QString text;
    if (mode == Characters) {
        text.resize(2 * words);
        for (int i = 0; i < 2 * words; ++i)
            text[i] = ByteCharacter(memory->Read(address + unsigned(i), 8));
        return text;
    }
    text.resize(5 * words - 1);
    QChar* out = text.data();
    for (int i = 0; i < words; ++i) {
        if (i > 0)
            *out++ = QLatin1Char(' ');
        out = Hex::Write(out, memory->Read(address + 2u * unsigned(i), 16), 4);
    }
    return text;
}

void MemoryText::SetAddress(unsigned int a)
{
    address = a;
    Update();
}

void MemoryText::Update()
{
    const QString shown = Text();
    if (shown != text()) {
        setText(shown);
        // The start of the line is what matters when it does not fit.
        setCursorPosition(0);
    }
}
