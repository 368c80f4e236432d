#include "views/RegisterText.h"

#include "core/Hex.h"

#include <QPalette>

namespace {

unsigned int Mask(int size)
{
    return size >= 32 ? 0xFFFFFFFFu : ((1u << size) - 1);
}

// The size of a field is 8, 16 or 32; anything else is read as 32 rather than shifting
// by an out-of-range count.
int Bits(int size)
{
    return (size == 8 || size == 16) ? size : 32;
}

} // namespace

RegisterText::RegisterText(QWidget* parent)
    : QLineEdit(parent),
      value(0),
      reference(0),
      format(Hexadecimal),
      size(32),
      isSigned(false),
      highlight(true),
      changedTextColor(Qt::red),
      changedBackColor(Qt::white),
      textColor(Qt::black),
      backColor(Qt::white),
      shownChanged(-1)
{
}

QChar RegisterText::ByteCharacter(unsigned int byte)
{
    byte &= 0xFF;
    return (byte < 0x20 || byte == 0xAD) ? QLatin1Char('.') : QChar(ushort(byte));
}

QString RegisterText::Text(unsigned int v) const
{
    const int bits = Bits(size);
    const unsigned int mask = Mask(bits);
    v &= mask;
    const bool negative = isSigned && (v >> (bits - 1)) != 0;
    switch (format) {
    case Hexadecimal:
        if (negative)
            return QLatin1Char('-') + hexaPrefix + Hex::Text((0u - v) & mask, bits / 4);
        return hexaPrefix + Hex::Text(v, bits / 4);
    case Decimal:
        if (negative)
            return QString::number(qint64(v) - (qint64(1) << bits));
        return QString::number(v);
    case Binary: {
        QString text = binaryPrefix;
        text.reserve(binaryPrefix.size() + bits + bits / 4);
        for (int bit = bits - 1; bit >= 0; --bit) {
            text += QLatin1Char((v >> bit) & 1 ? '1' : '0');
            if (bit > 0 && bit % 4 == 0)
                text += QLatin1Char(' ');
        }
        return text;
    }
    case Characters: {
        QString text(4, QLatin1Char(' '));
        for (int i = 0; i < 4; ++i)
            text[i] = ByteCharacter(v >> (24 - 8 * i));
        return text;
    }
    default:
        return QString();
    }
}

void RegisterText::SetValue(unsigned int v)
{
    value = v;
    UpdateColors();
    const QString shown = Text(v);
    // setText would also reset the cursor and the undo history of an unchanged field.
    if (shown != text())
        setText(shown);
}

void RegisterText::StoreReference()
{
    reference = value;
}

void RegisterText::UpdateColors()
{
    if (!highlight)
        return;
    const int changed = value != reference ? 1 : 0;
    if (changed == shownChanged)
        return;
    shownChanged = changed;
    QPalette p = palette();
    const QColor& fore = changed ? changedTextColor : textColor;
    const QColor& back = changed ? changedBackColor : backColor;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(group, QPalette::Text, fore);
        p.setColor(group, QPalette::Base, back);
        p.setColor(group, QPalette::Window, back);
    }
    setPalette(p);
}
