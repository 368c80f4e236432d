#ifndef ZENDRA_SESSION_DEBUGVALUE_H
#define ZENDRA_SESSION_DEBUGVALUE_H

#include <QByteArray>
#include <QString>

// One node of a tree of values that a view shows: a variable, a structure's member, an
// array's element, what a pointer points at. It says where the value is (memory, from which
// it is read when shown, or bytes already computed: a register, a constant, pieces) and its
// type; ValueFormatter gives its text and its children, on demand.
class DebugValue
{
public:
    enum class Storage {
        // In memory at address.
        Memory,
        // Its bytes, big-endian, in bytes: a register, a computed or constant value.
        Bytes,
        // The compiler kept no place for it here: GDB's <optimized out>.
        OptimisedOut,
        // It could not be located: problem says why.
        Unreadable
    };

    QString name;
    // An index into the program's TypeTable; -1 for void.
    int type = -1;
    Storage storage = Storage::Unreadable;
    unsigned int address = 0;
    QByteArray bytes;
    QString problem;
    // A bit field's width and first bit from the most significant bit of its first byte;
    // 0 for a whole value.
    int bitSize = 0;
    int bitOffset = 0;
};

#endif
