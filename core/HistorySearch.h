#ifndef ZENDRA_CORE_HISTORYSEARCH_H
#define ZENDRA_CORE_HISTORYSEARCH_H

#include <QString>

class Memory;
class Register;
class UndoItemRing;

// Who wrote this: the newest instruction of the undo history that wrote a byte, changed
// some of its bits (a pixel), or changed a register. Answers are item indexes, 0 the oldest;
// -1 when the history does not hold the writer.
class HistorySearch
{
public:
    // The newest item that wrote the byte at address, whatever it stored.
    static int LastWrite(const UndoItemRing& items, unsigned int address);
    // The newest item that changed one of the bits of mask in the byte at address.
    static int LastChange(const UndoItemRing& items, const Memory& memory, unsigned int address, unsigned int mask);
    // The newest item after which the named register ("D0", "A7", "PC", "SR"...) held
    // another value than before it.
    static int LastChange(const UndoItemRing& items, const Register& current, const QString& name);
};

#endif
