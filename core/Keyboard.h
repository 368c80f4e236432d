#ifndef ZENDRA_CORE_KEYBOARD_H
#define ZENDRA_CORE_KEYBOARD_H

#include <QString>

class Memory;

// The keyboard area 0x400-0x4FF as programs read it: keys held, the character and the codes of
// the last key pressed and released, the modifiers, and one byte per key code that is 0xFF
// while that key is held. The video window and zendra-run both type through it.
class Keyboard
{
public:
    explicit Keyboard(Memory* memory);

    // The code of a Qt key, 0 for a key that has none.
    static int Code(int key);
    // The Qt key that a name of zendra-run's --keys stands for ("Right", "Return", "F1"...),
    // 0 for none.
    static int KeyNamed(const QString& name);

    void Press(int key, const QString& text);
    void Release(int key);
    void SetModifiers(bool shift, bool control, bool alt);
    void Clear();

private:
    // Offsets of the area's bytes from its start.
    enum Byte {
        KeysHeld = 0,
        KeysAndModifiersHeld = 1,
        CharacterHigh = 2,
        CharacterLow = 3,
        LastPressed = 4,
        LastReleased = 5,
        Shift = 6,
        Control = 7,
        Alt = 8,
        ControlAlt = 9
    };
    unsigned char& At(int offset);

    Memory* memory;
};

#endif
