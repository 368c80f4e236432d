#ifndef ZENDRA_CORE_VECTORNUMBER_H
#define ZENDRA_CORE_VECTORNUMBER_H

// 68000 exception vector numbers: the exception an instruction raised (NoVector when none),
// and, thrown as an exception object, the emulator's odd-address fault.
enum VectorNumber : int {
    NoVector = -1,
    AddressError = 3,
    IllegalInstruction = 4,
    ZeroDivide = 5,
    ChkInstruction = 6,
    TrapvInstruction = 7,
    PrivilegeViolation = 8,
    Line1010Emulator = 10,
    Line1111Emulator = 11,
    Trap0 = 32,
    Trap1,
    Trap2,
    Trap3,
    Trap4,
    Trap5,
    Trap6,
    Trap7,
    Trap8,
    Trap9,
    Trap10,
    Trap11,
    Trap12,
    Trap13,
    Trap14,
    Trap15
};

#endif
