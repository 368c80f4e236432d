// The execution engine's primitives, its two entry points, exception processing, reset and
// the undo history.
#include "EmulatorTests.h"
#include "TestMachine.h"

#include <QtTest>

class EngineTest : public QObject
{
    Q_OBJECT

private slots:
    void sizeFields()
    {
        const int expected[4][4] = {{0, 0, 0, 0}, {8, 16, 32, 0}, {0, 8, 32, 16}, {16, 32, 16, 32}};
        for (unsigned int encoding = 0; encoding < 4; ++encoding) {
            for (unsigned int bits = 0; bits < 4; ++bits) {
                QCOMPARE(Emulator::Size(bits, encoding), expected[encoding][bits]);
                QCOMPARE(Emulator::Size(bits | 0xFFFC, encoding), expected[encoding][bits]);
            }
        }
        QCOMPARE(Emulator::Size(0, 4), 0);
    }

    void flagsOfAResult()
    {
        QCOMPARE(Emulator::GetN(0x80, 8), 1u);
        QCOMPARE(Emulator::GetN(0x7F80, 16), 0u);
        QCOMPARE(Emulator::GetN(0x80000000, 32), 1u);
        QCOMPARE(Emulator::GetN(0xFFFFFFFF, 12), 0u);
        QCOMPARE(Emulator::GetZ(0x100, 8), 1u);
        QCOMPARE(Emulator::GetZ(0x10000, 16), 1u);
        QCOMPARE(Emulator::GetZ(0x10000, 32), 0u);
        QCOMPARE(Emulator::GetZ(0, 7), 0u);
        QCOMPARE(Emulator::ExtendSign(static_cast<unsigned char>(0x80)), 0xFFFFFF80u);
        QCOMPARE(Emulator::ExtendSign(static_cast<unsigned char>(0x7F)), 0x7Fu);
        QCOMPARE(Emulator::ExtendSign(static_cast<unsigned short>(0x8000)), 0xFFFF8000u);
    }

    void bitHelpers()
    {
        QCOMPARE(Emulator::TestBit(0x8, 35), 1u);
        QCOMPARE(Emulator::SetBit(0, 33), 2u);
        QCOMPARE(Emulator::ClearBit(0xFFFFFFFF, 31), 0x7FFFFFFFu);
        QCOMPARE(Emulator::InvertBit(0x10, 4), 0u);
        QCOMPARE(Emulator::CountOne(0), 0);
        QCOMPARE(Emulator::CountOne(0xFFFF), 16);
        QCOMPARE(Emulator::CountOne(0xC002), 3);
        QCOMPARE(Emulator::Invert(0x0001), static_cast<unsigned short>(0x8000));
        QCOMPARE(Emulator::Invert(0xC002), static_cast<unsigned short>(0x4003));
    }

    void shiftPrimitives_data()
    {
        QTest::addColumn<int>("primitive");
        QTest::addColumn<qulonglong>("value");
        QTest::addColumn<bool>("extend");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("size");
        QTest::addColumn<qulonglong>("result");
        QTest::addColumn<uint>("bit");
        // 0 Lsl, 1 Lsr, 2 Asr, 3 Rol, 4 Ror, 5 Roxl, 6 Roxr
        QTest::newRow("Lsl $80 by 1, byte") << 0 << 0x1280ull << false << 1 << 8 << 0x1200ull << 1u;
        QTest::newRow("Lsl past the size") << 0 << 0xFFull << false << 9 << 8 << 0ull << 0u;
        QTest::newRow("Lsl long by 32") << 0 << 0x1ull << false << 32 << 32 << 0ull << 1u;
        QTest::newRow("Lsr word by 1") << 1 << 0xABCD0003ull << false << 1 << 16 << 0xABCD0001ull << 1u;
        QTest::newRow("Lsr ignores bits above the size") << 1 << 0xFF00ull << false << 4 << 8 << 0xFF00ull << 0u;
        QTest::newRow("Lsr long by 63") << 1 << 0xFFFFFFFFull << false << 63 << 32 << 0ull << 0u;
        QTest::newRow("Asr $80 by 9, byte") << 2 << 0x80ull << false << 9 << 8 << 0xFFull << 1u;
        QTest::newRow("Asr positive") << 2 << 0x4000ull << false << 15 << 16 << 0ull << 1u;
        QTest::newRow("Rol by 9 is by 1, byte") << 3 << 0x81ull << false << 9 << 8 << 0x03ull << 1u;
        QTest::newRow("Rol by the size") << 3 << 0x1234ull << false << 16 << 16 << 0x1234ull << 0u;
        QTest::newRow("Ror long by 4") << 4 << 0x12345678ull << false << 4 << 32 << 0x81234567ull << 1u;
        QTest::newRow("Ror by 16, byte, is by 0") << 4 << 0x01ull << false << 16 << 8 << 0x01ull << 0u;
        QTest::newRow("Roxl by 9, byte, changes nothing") << 5 << 0x5Aull << true << 9 << 8 << 0x5Aull << 1u;
        QTest::newRow("Roxl by 1 takes extend in") << 5 << 0x80ull << true << 1 << 8 << 0x01ull << 1u;
        QTest::newRow("Roxl by 10, byte, is by 1") << 5 << 0x00ull << true << 10 << 8 << 0x01ull << 0u;
        QTest::newRow("Roxr word by 1") << 6 << 0x0ull << true << 1 << 16 << 0x8000ull << 0u;
        QTest::newRow("Roxr long by 33 through extend") << 6 << 0x80000000ull << false << 33 << 32 << 0x80000000ull
                                                         << 0u;
    }

    void shiftPrimitives()
    {
        QFETCH(int, primitive);
        QFETCH(qulonglong, value);
        QFETCH(bool, extend);
        QFETCH(int, count);
        QFETCH(int, size);
        QFETCH(qulonglong, result);
        QFETCH(uint, bit);
        TestMachine machine;
        Emulator& e = machine.emulator;
        unsigned long long v = value;
        unsigned int out = 0;
        switch (primitive) {
        case 0: out = Emulator::Lsl(v, count, size); break;
        case 1: out = Emulator::Lsr(v, count, size); break;
        case 2: out = Emulator::Asr(v, count, size); break;
        case 3: out = e.Rol(v, count, size); break;
        case 4: out = e.Ror(v, count, size); break;
        case 5: out = e.Roxl(v, extend, count, size); break;
        default: out = e.Roxr(v, extend, count, size); break;
        }
        QCOMPARE(qulonglong(v), result);
        QCOMPARE(out, bit);
    }

    void alignedAccess()
    {
        TestMachine machine;
        Emulator& e = machine.emulator;
        machine.memory.Write(0x2000, 0x11223344, 32, true);
        QCOMPARE(e.Read(0x2001, 8), 0x22u);
        QCOMPARE(e.Read(0x2000, 32), 0x11223344u);
        bool thrown = false;
        try {
            e.Read(0x2001, 16);
        } catch (VectorNumber number) {
            thrown = number == AddressError;
        }
        QVERIFY(thrown);
        thrown = false;
        try {
            e.Write(0x2003, 0, 32);
        } catch (VectorNumber number) {
            thrown = number == AddressError;
        }
        QVERIFY(thrown);
        QCOMPARE(machine.memory.Read(0x2000, 32), 0x11223344u);
        e.Write(0x2003, 0xAB, 8);
        QCOMPARE(machine.memory.Read(0x2003, 8), 0xABu);
        // Instructions never reach the keyboard area.
        e.Write(0x400, 0x1234, 16);
        QCOMPARE(machine.memory.Read(0x400, 16), 0u);
    }

    void effectiveAddresses_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("reg");
        QTest::addColumn<int>("size");
        QTest::addColumn<uint>("address");
        QTest::addColumn<QString>("after");
        // A0=$2000 A7(SSP)=$8000 D1=$0001FFFE, extension words at $1000: $0010 $FFFC ...
        QTest::newRow("Dn") << 0 << 1 << 16 << 0u << "PC=$1000";
        QTest::newRow("(A0)") << 2 << 0 << 32 << 0x2000u << "A0=$2000 PC=$1000";
        QTest::newRow("(A0)+ long") << 3 << 0 << 32 << 0x2000u << "A0=$2004";
        QTest::newRow("(A7)+ byte") << 3 << 7 << 8 << 0x8000u << "SSP=$8002";
        QTest::newRow("-(A0) byte") << 4 << 0 << 8 << 0x1FFFu << "A0=$1FFF";
        QTest::newRow("-(A7) byte") << 4 << 7 << 8 << 0x7FFEu << "SSP=$7FFE";
        QTest::newRow("d16(A0)") << 5 << 0 << 16 << 0x2010u << "PC=$1002";
        QTest::newRow("d8(A0,D1.W)") << 6 << 0 << 16 << 0x200Eu << "PC=$1002";
        QTest::newRow("abs.W") << 7 << 0 << 16 << 0x10u << "PC=$1002";
        QTest::newRow("abs.L") << 7 << 1 << 16 << 0x10FFFCu << "PC=$1004";
        QTest::newRow("d16(PC)") << 7 << 2 << 16 << 0x1010u << "PC=$1002";
        QTest::newRow("d8(PC,D1.W)") << 7 << 3 << 16 << 0x100Eu << "PC=$1002";
        QTest::newRow("mode 7 register 5") << 7 << 5 << 16 << 0u << "PC=$1000";
    }

    void effectiveAddresses()
    {
        QFETCH(int, mode);
        QFETCH(int, reg);
        QFETCH(int, size);
        QFETCH(uint, address);
        QFETCH(QString, after);
        for (const bool change : {false, true}) {
            TestMachine machine;
            machine.Prepare("0010 FFFC");
            // The extension word of the indexed modes: D1.W, displacement $10.
            if (mode == 6 || (mode == 7 && reg == 3))
                machine.Place(0x1000, "1010");
            machine.Apply("A0=$2000 D1=$0001FFFE");
            QCOMPARE(machine.emulator.GetAddress(mode, reg, size, change, change), address);
            if (change)
                QVERIFY2(machine.Mismatches(after).isEmpty(), qPrintable(machine.Mismatches(after)));
            else
                QVERIFY(machine.Mismatches("A0=$2000 SSP=$8000 PC=$1000").isEmpty());
        }
    }

    void operands()
    {
        TestMachine machine;
        machine.Prepare("1234 5678 9ABC");
        machine.Apply("D3=$89ABCDEF A2=$2000 [$2000].l=$CAFEF00D");
        Emulator& e = machine.emulator;
        QCOMPARE(e.ReadOperand(0, 3, 8, true, true), 0x89ABCDEFu);
        QCOMPARE(e.ReadOperand(1, 2, 16, true, true), 0x2000u);
        QCOMPARE(e.ReadOperand(7, 4, 8, true, true), 0x1234u);
        QCOMPARE(e.ReadOperand(7, 4, 32, false, false), 0x56789ABCu);
        QCOMPARE(e.ReadOperand(7, 4, 32, true, true), 0x56789ABCu);
        QCOMPARE(e.registers->pc, 0x1006u);
        QCOMPARE(e.ReadOperand(3, 2, 16, false, false), 0xCAFEu);
        QCOMPARE(e.registers->a[2], 0x2000u);
        e.WriteOperand(0x11, 0, 3, 8);
        QCOMPARE(e.registers->d[3], 0x89ABCD11u);
        e.WriteOperand(0x8000, 1, 2, 16);
        QCOMPARE(e.registers->a[2], 0x8000u);
        e.WriteOperand(0xBEEF, 3, 2, 16);
        QCOMPARE(machine.memory.Read(0x8000, 16), 0xBEEFu);
        QCOMPARE(e.registers->a[2], 0x8002u);
    }

    void traceStopsBeforeExecuting()
    {
        for (const bool recorded : {true, false}) {
            TestMachine machine;
            machine.Prepare("7001");
            machine.Apply("SR=$A700");
            for (int i = 0; i < 3; ++i) {
                recorded ? machine.emulator.Execute() : machine.emulator.QuickExecute();
                QVERIFY(machine.Mismatches("error=trace PC=$1000 D0=0 SSP=$8000").isEmpty());
            }
            QCOMPARE(machine.emulator.undoList.items.count(), 0);
            QCOMPARE(machine.emulator.errorMessage,
                     QString::fromUtf8("L'exception \"Trace\" a été levée par le 68000.\u2028"
                                       "Cette exception n'est pas gérée par l'émulateur."));
        }
    }

    void addressErrors_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("quick");
        // MOVE.W (A0)+,(A1): the source is read and A0 moves before the write faults.
        QTest::newRow("odd destination") << "3298" << "A0=$2000 A1=$3001" << "A0=$2002 PC=$1002";
        QTest::newRow("odd source") << "3010" << "A0=$2001 D0=7" << "D0=7 PC=$1002";
        QTest::newRow("odd pc") << "4E71" << "PC=$1001" << "PC=$1001";
        QTest::newRow("exception frame on an odd SSP") << "4E40" << "SSP=$7FFF"
                                                       << "SSP=$7FFB PC=$1002 SR=$2700";
        QTest::newRow("MOVEM stops at its first odd word") << "48D0 0003" << "A0=$2001 D0=1 D1=2" << "PC=$1004";
    }

    void addressErrors()
    {
        QFETCH(QString, code);
        QFETCH(QString, before);
        QFETCH(QString, quick);
        TestMachine recorded;
        recorded.Prepare(code);
        recorded.Apply(before);
        const QString start = recorded.State(0, 0x10000);
        recorded.emulator.Execute();
        QVERIFY(recorded.Mismatches("error=address").isEmpty());
        QCOMPARE(recorded.State(0, 0x10000), start);
        QCOMPARE(recorded.emulator.undoList.items.count(), 0);

        TestMachine fast;
        fast.Prepare(code);
        fast.Apply(before);
        fast.emulator.QuickExecute();
        QVERIFY2(fast.Mismatches("error=address " + quick).isEmpty(), qPrintable(fast.Mismatches(quick)));
        QCOMPARE(fast.emulator.errorMessage,
                 QString::fromUtf8("L'exception \"Address Error\" a été levée par le 68000.\u2028"
                                   "Cette exception n'est pas gérée par l'émulateur."));
        // The next instruction starts afresh.
        fast.Apply("PC=$1000 SSP=$8000 A0=$2000 A1=$3000");
        fast.Place(0x1000, "4E71");
        fast.emulator.QuickExecute();
        QVERIFY(fast.emulator.errorMessage.isEmpty());
    }

    void unmatchedWords_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("items");
        QTest::newRow("line 1010") << "A123" << "vector=10 PC=$1002 SSP=$8000 SR=$2700" << 1;
        QTest::newRow("line 1111") << "FFFF" << "vector=11 PC=$1002 SSP=$8000 SR=$2700" << 1;
        QTest::newRow("undecoded word") << "4E7A" << "vector=4 PC=$3040 SSP=$7FFA [$7FFC].l=$1002" << 1;
        QTest::newRow("MOVE.B to an address register") << "1040" << "vector=4 PC=$3040 [$7FFC].l=$1002" << 1;
    }

    void unmatchedWords()
    {
        QFETCH(QString, code);
        QFETCH(QString, after);
        QFETCH(int, items);
        for (const bool recorded : {true, false}) {
            TestMachine machine;
            machine.Prepare(code);
            recorded ? machine.emulator.Execute() : machine.emulator.QuickExecute();
            QVERIFY2(machine.Mismatches(after).isEmpty(), qPrintable(machine.Mismatches(after)));
            QCOMPARE(machine.emulator.undoList.items.count(), recorded ? items : 0);
            QVERIFY(machine.emulator.errorMessage.isEmpty());
            QVERIFY(!machine.memory.recording);
            if (recorded) {
                // Taken back, the word is where pc stands again.
                machine.emulator.Undo();
                QCOMPARE(machine.emulator.registers->pc, 0x1000u);
                QCOMPARE(machine.emulator.registers->ssp, 0x8000u);
            }
        }
    }

    void trapThenReturn()
    {
        TestMachine machine;
        machine.Prepare("4E71 4E43 4E71");
        machine.Place(0x3230, "4E73");
        machine.Apply("SR=$0315");
        for (int i = 0; i < 3; ++i)
            machine.emulator.Execute();
        QVERIFY2(machine.Mismatches("SR=$0315 PC=$1004 SSP=$8000 A7=$6000").isEmpty(),
                 qPrintable(machine.Mismatches("SR=$0315 PC=$1004 SSP=$8000")));
        QCOMPARE(machine.emulator.undoList.items.count(), 3);
    }

    void zeroDivideThroughAZeroVector()
    {
        TestMachine machine;
        machine.Prepare("80FC 0000");
        machine.Apply("[$14].l=0 [0].w=$7001");
        machine.emulator.Execute();
        QCOMPARE(machine.emulator.registers->pc, 0u);
        machine.emulator.Execute();
        QVERIFY(machine.Mismatches("D0=1 PC=2").isEmpty());
    }

    void reset()
    {
        TestMachine machine;
        machine.Apply("[0].l=$10000 [4].l=$400 SR=$8315 D3=9 USP=$1234 PC=$5000");
        machine.emulator.Reset();
        QVERIFY2(machine.Mismatches("SSP=$10000 A7=$10000 PC=$400 SR=$2715 D3=9 USP=$1234").isEmpty(),
                 qPrintable(machine.Mismatches("SSP=$10000 PC=$400 SR=$2715 D3=9 USP=$1234")));
    }

    void undoSteps()
    {
        TestMachine machine;
        // MOVE.L D0,(A0)+ five times.
        machine.Prepare("20C0 20C0 20C0 20C0 20C0");
        machine.Apply("D0=$DEADBEEF A0=$2000 [$2000].l=$01020304");
        const QString start = machine.State(0x1FF0, 0x2020);
        machine.emulator.Undo();
        QCOMPARE(machine.State(0x1FF0, 0x2020), start);
        machine.emulator.Execute();
        QVERIFY(machine.Mismatches("[$2000].l=$DEADBEEF A0=$2004 PC=$1002").isEmpty());
        QCOMPARE(machine.emulator.undoList.items.last()->memory.count(), 1);
        machine.emulator.Undo();
        QCOMPARE(machine.State(0x1FF0, 0x2020), start);

        for (const int count : {0, 1000, -1, 2}) {
            for (int i = 0; i < 5; ++i)
                machine.emulator.Execute();
            machine.emulator.Undo(count);
            if (count < 0) {
                QCOMPARE(machine.emulator.undoList.items.count(), 5);
                machine.emulator.Undo(5);
            } else if (count == 2) {
                QVERIFY(machine.Mismatches("PC=$1006 A0=$200C").isEmpty());
                QCOMPARE(machine.emulator.undoList.items.count(), 3);
                machine.emulator.Undo(0);
            }
            QCOMPARE(machine.emulator.undoList.items.count(), 0);
            QCOMPARE(machine.State(0x1FF0, 0x2020), start);
        }
    }

    void undoListDropsTheOldest()
    {
        Register registers;
        MemoryRecordList records;
        UndoList list(3);
        for (unsigned int i = 1; i <= 5; ++i) {
            registers.pc = i;
            records.Add(i, i, 8);
            list.Add(registers, records);
        }
        QCOMPARE(list.items.count(), 3);
        QCOMPARE(list.items.at(0)->pc, 3u);
        QCOMPARE(list.items.at(0)->memory.count(), 3);
        QCOMPARE(list.items.last()->pc, 5u);
        QVERIFY(list.items.last()->IsWhole());
        list.items.removeLast();
        list.items.removeLast();
        registers.pc = 6;
        list.Add(registers, MemoryRecordList());
        QCOMPARE(list.items.count(), 2);
        QCOMPARE(list.items.at(0)->pc, 3u);
        QCOMPARE(list.items.at(1)->pc, 6u);
        QCOMPARE(list.items.at(1)->memory.count(), 0);
        for (unsigned int i = 7; i <= 9; ++i) {
            registers.pc = i;
            list.Add(registers, records);
        }
        QCOMPARE(list.items.count(), 3);
        QCOMPARE(list.items.first()->pc, 7u);
        QCOMPARE(list.items[1]->pc, 8u);
        QCOMPARE(list.items.at(2)->pc, 9u);
        list.items.clear();
        QVERIFY(list.items.isEmpty());
        // Taken back past the first slot, the ring goes on from its last one, in order.
        for (unsigned int i = 1; i <= 4; ++i) {
            registers.pc = i;
            list.Add(registers, MemoryRecordList());
        }
        list.items.removeLast();
        list.items.removeLast();
        QCOMPARE(list.items.count(), 1);
        QCOMPARE(list.items.last()->pc, 2u);
        for (unsigned int i = 5; i <= 7; ++i) {
            registers.pc = i;
            list.Add(registers, MemoryRecordList());
        }
        QCOMPARE(list.items.count(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(list.items.at(i)->pc, 5u + unsigned(i));
        QCOMPARE(UndoList().capacity, 100000);
    }

    // An item keeps only the registers that its instruction names, but registers edited
    // between two instructions, by the user or a debugger, still come back when the one
    // before the edit is taken back: after one edit or several, and after an undo.
    void editedRegistersComeBack()
    {
        TestMachine machine;
        // MOVEQ #1,D0 / ADDQ.L #1,D0 / BRA.S back to the ADDQ.
        machine.Prepare("7001 5280 60FC");
        machine.Apply("D5=$55 A3=$3333 USP=$100");
        machine.emulator.EditingRegisters();
        const QByteArray start = machine.Snapshot();
        machine.emulator.Execute();
        machine.emulator.EditingRegisters();
        machine.emulator.registers->d[5] = 0xEDED;
        machine.emulator.EditingRegisters();
        machine.emulator.registers->Set(QStringLiteral("A3"), 0x4444);
        machine.emulator.registers->Set(QStringLiteral("SR"), 0x0700);
        const QByteArray edited = machine.Snapshot();
        machine.emulator.Execute();
        machine.emulator.Execute();
        const QByteArray third = machine.Snapshot();
        machine.emulator.Execute();
        machine.emulator.Undo();
        QCOMPARE(machine.Snapshot(), third);
        machine.emulator.Undo();
        machine.emulator.EditingRegisters();
        machine.emulator.registers->Set(QStringLiteral("D7"), 7);
        machine.emulator.registers->usp = 0x200;
        machine.emulator.Undo();
        QCOMPARE(machine.Snapshot(), edited);
        machine.emulator.Undo();
        QCOMPARE(machine.Snapshot(), start);
        QVERIFY(machine.emulator.undoList.items.isEmpty());
    }

    // MOVEM loads of every register, thousands of them across the ring's blocks, with an
    // instruction that names its registers between them, and every eight instructions an edit
    // of the S bit, so that A7 is USP for some loads and SSP for others: taken back one at a
    // time, each gives back all fifteen data and address registers with USP, SSP, SR and PC
    // (an edit goes back with the instruction before it).
    void moveMultipleLoadsComeBackOneByOne()
    {
        TestMachine machine;
        // MOVEM.L (A0),D0-D7/A1-A6 / ADDQ.L #4,A0 / MOVEM.L (A0),D0-D7/A1-A7 / BRA.S back.
        machine.Prepare("4CD0 7EFF 5888 4CD0 FEFF 60F4");
        for (unsigned int a = 0x2000; a < 0x10000; a += 4)
            machine.memory.Write(a, (a * 2654435761u) ^ 0x5A5A0000u, 32, true);
        machine.Apply("A0=$2000 USP=$6000 D0=1 D1=2 D2=3 D3=4 D4=5 D5=6 D6=7 D7=8 A1=9 A2=10 A3=11 A4=12 A5=13 A6=14");
        QStringList states;
        for (int i = 0; i < 4 * 1500; ++i) {
            states << machine.State(0, 0);
            machine.emulator.Execute();
            QVERIFY(machine.emulator.errorMessage.isEmpty());
            if (i % 8 == 3) {
                machine.emulator.EditingRegisters();
                machine.emulator.registers->sr ^= Register::supervisorBit;
            }
        }
        while (!machine.emulator.undoList.items.isEmpty()) {
            machine.emulator.Undo();
            QCOMPARE(machine.State(0, 0), states.takeLast());
        }
        QVERIFY(states.isEmpty());
    }

    // Items live in blocks of slots: a ring whose capacity ends inside a block wraps around
    // it, stays in order, and keeps every item's records.
    void undoRingWrapsAcrossBlocks()
    {
        Register registers;
        UndoList list(2500);
        MemoryRecordList records;
        const UndoItem* firstSlot = nullptr;
        for (unsigned int i = 1; i <= 6000; ++i) {
            registers.pc = i;
            for (unsigned int n = 0; n < 8; ++n)
                registers.d[n] = (n << 24) | i;
            for (unsigned int n = 0; n < 7; ++n)
                registers.a[n] = ((8 + n) << 24) | (7 * i);
            records.clear();
            for (unsigned int k = 0; k < i % 5; ++k)
                records.Add(i, k, 8);
            list.Add(registers, records);
            if (i == 1)
                firstSlot = list.items.first();
        }
        QCOMPARE(list.items.count(), 2500);
        for (int i = 0; i < 2500; ++i) {
            const unsigned int pc = 3501 + unsigned(i);
            QCOMPARE(list.items.at(i)->pc, pc);
            QCOMPARE(list.items.at(i)->memory.count(), int(pc % 5));
            if (pc % 5 > 2)
                QCOMPARE(list.items.at(i)->memory.at(int(pc % 5) - 1).value, pc % 5 - 1);
            // Added whole, each item gives back every register, from the set of its slot.
            Register rewound;
            list.items.Rewind(i, rewound);
            QCOMPARE(rewound.pc, pc);
            for (unsigned int n = 0; n < 8; ++n)
                QCOMPARE(rewound.d[n], (n << 24) | pc);
            for (unsigned int n = 0; n < 7; ++n)
                QCOMPARE(rewound.a[n], ((8 + n) << 24) | (7 * pc));
        }
        // 6000 items went round the 2500 slots: the newest is in slot 999.
        QCOMPARE(list.items.last(), firstSlot + 999);
        for (int i = 0; i < 1000; ++i)
            list.items.removeLast();
        registers.pc = 0xABCD;
        list.Add(registers, MemoryRecordList());
        QCOMPARE(list.items.count(), 1501);
        QCOMPARE(list.items.first()->pc, 3501u);
        QCOMPARE(list.items.at(1499)->pc, 5000u);
        QCOMPARE(list.items.last()->pc, 0xABCDu);
        QVERIFY(list.items.last()->memory.isEmpty());
    }
};

int RunEngineTests(int argc, char** argv)
{
    EngineTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_engine.moc"
