#include "core/Keyboard.h"

#include "core/Memory.h"
#include "core/ThreadSanitizer.h"

#include <QHash>

Keyboard::Keyboard(Memory* memory)
    : memory(memory)
{
}

unsigned char& Keyboard::At(int offset)
{
    // Offsets and codes are 8 bits: every byte lies in the area.
    return memory->buffer.mainBuffer[Memory::keyboardStart + (unsigned(offset) & 0xFF)];
}

int Keyboard::Code(int key)
{
    if ((key >= 0x20 && key <= 0x60) || (key >= 0x7B && key <= 0x7E) || (key >= 0xA0 && key <= 0xDF) || key == 0xF7
        || key == 0xFF)
        return key;
    if (key >= Qt::Key_Escape && key <= Qt::Key_Clear)
        return 0x61 + (key - Qt::Key_Escape);
    if (key >= Qt::Key_Home && key <= Qt::Key_PageDown)
        return 0x6D + (key - Qt::Key_Home);
    if (key >= Qt::Key_F1 && key <= Qt::Key_F32)
        return 0x80 + (key - Qt::Key_F1);
    if (key >= Qt::Key_CapsLock && key <= Qt::Key_ScrollLock)
        return 0xE0 + (key - Qt::Key_CapsLock);
    if (key >= Qt::Key_Super_L && key <= Qt::Key_Direction_L)
        return 0xE3 + (key - Qt::Key_Super_L);
    if (key == Qt::Key_Direction_R)
        return 0xEA;
    return 0;
}

int Keyboard::KeyNamed(const QString& name)
{
    static const QHash<QString, int> keys = {
        {"Escape", Qt::Key_Escape}, {"Tab", Qt::Key_Tab}, {"Backspace", Qt::Key_Backspace},
        {"Return", Qt::Key_Return}, {"Enter", Qt::Key_Enter}, {"Insert", Qt::Key_Insert},
        {"Delete", Qt::Key_Delete}, {"Pause", Qt::Key_Pause}, {"Print", Qt::Key_Print},
        {"Home", Qt::Key_Home}, {"End", Qt::Key_End}, {"Left", Qt::Key_Left}, {"Up", Qt::Key_Up},
        {"Right", Qt::Key_Right}, {"Down", Qt::Key_Down}, {"PageUp", Qt::Key_PageUp},
        {"PageDown", Qt::Key_PageDown}, {"Space", Qt::Key_Space}, {"CapsLock", Qt::Key_CapsLock},
    };
    const auto it = keys.constFind(name);
    if (it != keys.constEnd())
        return it.value();
    if (name.size() >= 2 && name[0] == QLatin1Char('F')) {
        bool ok = false;
        const int n = name.mid(1).toInt(&ok);
        if (ok && n >= 1 && n <= 32 && !name.mid(1).startsWith(QLatin1Char('0')))
            return Qt::Key_F1 + n - 1;
    }
    return 0;
}

void Keyboard::Press(int key, const QString& text)
{
    // Stored while a run goes, and read a byte at a time by the program, as the design allows.
    const ThreadSanitizer::Unchecked shared;
    const int code = Code(key) & 0xFF;
    if (code == 0 || At(code) != 0)
        return;
    At(code) = 0xFF;
    At(LastPressed) = static_cast<unsigned char>(code);
    const ushort character = text.size() == 1 ? text.at(0).unicode() : 0;
    At(CharacterHigh) = static_cast<unsigned char>(character >> 8);
    At(CharacterLow) = static_cast<unsigned char>(character);
    At(KeysHeld) = static_cast<unsigned char>(At(KeysHeld) + 1);
}

void Keyboard::Release(int key)
{
    // Stored while a run goes, as in Press.
    const ThreadSanitizer::Unchecked shared;
    const int code = Code(key) & 0xFF;
    if (code == 0 || At(code) != 0xFF)
        return;
    At(code) = 0;
    At(LastReleased) = static_cast<unsigned char>(code);
    if (At(KeysHeld) != 0)
        --At(KeysHeld);
}

void Keyboard::SetModifiers(bool shift, bool control, bool alt)
{
    // Stored while a run goes, as in Press.
    const ThreadSanitizer::Unchecked shared;
    At(Alt) = alt ? 0xFF : 0;
    At(Control) = control ? 0xFF : 0;
    At(Shift) = shift ? 0xFF : 0;
    At(ControlAlt) = At(Alt) & At(Control);
    At(KeysAndModifiersHeld) = static_cast<unsigned char>(At(KeysHeld) + alt + control + shift);
}

void Keyboard::Clear()
{
    // Stored while a run goes, as in Press.
    const ThreadSanitizer::Unchecked shared;
    for (int code = 0x20; code <= 0xFF; ++code)
        At(code) = 0;
    At(KeysHeld) = 0;
}
