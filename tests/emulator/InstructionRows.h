#ifndef ZENDRA_TESTS_EMULATOR_INSTRUCTIONROWS_H
#define ZENDRA_TESTS_EMULATOR_INSTRUCTIONROWS_H

#include "TestMachine.h"

#include <QtTest>

// One instruction per data row: its code words, the machine before, what must hold after
// the given number of steps. TestMachine runs each row in both modes and takes it back.
inline void Columns()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("steps");
}

inline void Row(const char* name, const char* code, const char* before, const char* after, int steps = 1)
{
    QTest::newRow(name) << QString::fromLatin1(code) << QString::fromLatin1(before) << QString::fromLatin1(after)
                        << steps;
}

// The check of the current row, for a test function whose _data function used Row.
inline void CheckRow()
{
    QFETCH(QString, code);
    QFETCH(QString, before);
    QFETCH(QString, after);
    QFETCH(int, steps);
    const QString problems = TestMachine::CheckInstruction(code, before, after, steps);
    QVERIFY2(problems.isEmpty(), qPrintable(problems));
}

#endif
