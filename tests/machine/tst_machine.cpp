// Memory, write records and the register set.
#include "AllocationCounter.h"
#include "core/Memory.h"
#include "core/Register.h"

#include <QtTest>

#include <cstring>
#include <memory>

class MachineTest : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<unsigned char[]> video;
    std::unique_ptr<Memory> memory;

private slots:
    void init()
    {
        video.reset(new unsigned char[MemoryBuffer::videoSize]);
        std::memset(video.get(), 0xAA, MemoryBuffer::videoSize);
        memory.reset(new Memory(video.get()));
    }

    void memoryStartsZeroedAndClearsTheVideoArea()
    {
        for (unsigned int a : {0x000000u, 0x000400u, 0x123456u, 0xFFB4FFu, 0xFFB500u, 0xFFFFFFu})
            QCOMPARE(memory->Read(a, 8), 0u);
        QCOMPARE(video[0], 0);
        QCOMPARE(video[MemoryBuffer::videoSize - 1], 0);
        QCOMPARE(memory->recording, false);
        QVERIFY(memory->records.isEmpty());
    }

    void bigEndianSizes()
    {
        memory->Write(0x1000, 0x12345678, 32, false);
        QCOMPARE(memory->Read(0x1000, 32), 0x12345678u);
        QCOMPARE(memory->Read(0x1000, 16), 0x1234u);
        QCOMPARE(memory->Read(0x1002, 16), 0x5678u);
        QCOMPARE(memory->Read(0x1003, 8), 0x78u);
        // Only the low bits of the value are stored.
        memory->Write(0x2000, 0xABCDEF, 16, false);
        QCOMPARE(memory->Read(0x2000, 16), 0xCDEFu);
        memory->Write(0x2002, 0x1FF, 8, false);
        QCOMPARE(memory->Read(0x2000, 32), 0xCDEFFF00u);
        // An unsupported size reads 0 and writes nothing.
        QCOMPARE(memory->Read(0x1000, 24), 0u);
        QCOMPARE(memory->Read(0x1000, 0), 0u);
        memory->Write(0x1000, 0, 12, false);
        QCOMPARE(memory->Read(0x1000, 32), 0x12345678u);
    }

    void addressesKeepTheirLow24Bits()
    {
        memory->Write(0xAB001234, 0xBEEF, 16, false);
        QCOMPARE(memory->Read(0x001234, 16), 0xBEEFu);
        QCOMPARE(memory->Read(0xFF001234, 16), 0xBEEFu);
        memory->Write(0x01FFB500, 0x80, 8, false);
        QCOMPARE(video[0], 0x80);
    }

    void videoAreaIsTheImageBytes()
    {
        memory->Write(0xFFB500, 0x11223344, 32, false);
        QCOMPARE(video[0], 0x11);
        QCOMPARE(video[3], 0x44);
        video[MemoryBuffer::videoSize - 1] = 0x5A;
        QCOMPARE(memory->Read(0xFFFFFF, 8), 0x5Au);
    }

    void accessesStraddleTheVideoBoundaryAndWrapAround()
    {
        memory->Write(0xFFB4FE, 0xA1B2, 16, false);
        video[0] = 0xC3;
        video[1] = 0xD4;
        QCOMPARE(memory->Read(0xFFB4FE, 32), 0xA1B2C3D4u);
        QCOMPARE(memory->Read(0xFFB4FF, 16), 0xB2C3u);

        memory->Write(0xFFB4FD, 0x01020304, 32, false);
        QCOMPARE(memory->Read(0xFFB4FD, 8), 0x01u);
        QCOMPARE(memory->Read(0xFFB4FF, 8), 0x03u);
        QCOMPARE(video[0], 0x04);
        QCOMPARE(video[1], 0xD4);

        // A word at 0xFFFFFF: high byte in the last video byte, low byte at address 0.
        memory->Write(0xFFFFFF, 0xCAFE, 16, false);
        QCOMPARE(video[MemoryBuffer::videoSize - 1], 0xCA);
        QCOMPARE(memory->Read(0x000000, 8), 0xFEu);
        QCOMPARE(memory->Read(0xFFFFFF, 16), 0xCAFEu);

        memory->Write(0xFFFFFE, 0x11223344, 32, false);
        QCOMPARE(memory->Read(0xFFFFFE, 32), 0x11223344u);
        QCOMPARE(memory->Read(0x000000, 16), 0x3344u);
    }

    void keyboardAreaNeedsForce()
    {
        memory->Write(0x450, 0x12, 8, false);
        QCOMPARE(memory->Read(0x450, 8), 0u);
        memory->Write(0x450, 0x12, 8, true);
        QCOMPARE(memory->Read(0x450, 8), 0x12u);
        memory->Write(0x4FF, 0x34, 8, false);
        QCOMPARE(memory->Read(0x4FF, 8), 0u);
        memory->Write(0x1000400, 0x56, 8, false); // masked into the area
        QCOMPARE(memory->Read(0x400, 8), 0u);

        // Only the start address is tested.
        memory->Write(0x3FE, 0xAABBCCDD, 32, false);
        QCOMPARE(memory->Read(0x3FE, 32), 0xAABBCCDDu);
        memory->Write(0x4FE, 0x11223344, 32, false);
        QCOMPARE(memory->Read(0x4FE, 32), 0u);
        memory->Write(0x500, 0x77, 8, false);
        QCOMPARE(memory->Read(0x500, 8), 0x77u);

        // A refused write records nothing.
        memory->recording = true;
        memory->Write(0x400, 1, 8, false);
        QVERIFY(memory->records.isEmpty());
    }

    void recordsAndWriteBack()
    {
        memory->Write(0x1000, 0x01020304, 32, false);
        memory->recording = true;
        memory->Write(0x1000, 0xFFFFFFFF, 32, false);
        QCOMPARE(memory->records.count(), 1);
        QCOMPARE(memory->records[0].address, 0x1000u);
        QCOMPARE(memory->records[0].value, 0x01020304u);
        QCOMPARE(memory->records[0].size, 32);

        memory->Write(0x1001, 0xEE, 8, false);        // second record of the same place
        memory->Write(0x20FFFFFE, 0xABCD, 16, false); // masked address recorded
        QCOMPARE(memory->records.count(), 3);
        QCOMPARE(memory->records[1].value, 0xFFu);
        QCOMPARE(memory->records[2].address, 0xFFFFFEu);
        memory->recording = false;

        // Last to first: the older value of 0x1001 wins.
        const MemoryRecordList list = memory->records;
        memory->Write(list);
        QCOMPARE(memory->Read(0x1000, 32), 0x01020304u);
        QCOMPARE(memory->Read(0xFFFFFE, 16), 0u);
        QCOMPARE(list.count(), 3); // the copy kept its items

        memory->Write(MemoryRecordItem(0x1002, 0x99, 8));
        QCOMPARE(memory->Read(0x1002, 8), 0x99u);
    }

    // The first records live inside the list, the rest move out with them in order; copies
    // and reuse after clear keep the items and their order whichever side they are on.
    void recordListsGrowPastTheirInlineItems()
    {
        MemoryRecordList list;
        for (unsigned int i = 0; i < 40; ++i) {
            list.Add(0x1000 + i, i * 3, 8 << (i % 3));
            QCOMPARE(list.count(), int(i) + 1);
            QCOMPARE(list[0].address, 0x1000u);
            QCOMPARE(list.at(int(i)).value, i * 3);
        }
        unsigned int expected = 0;
        for (const MemoryRecordItem& item : list) {
            QCOMPARE(item.address, 0x1000 + expected);
            QCOMPARE(item.size, 8 << (expected % 3));
            ++expected;
        }
        QCOMPARE(expected, 40u);

        MemoryRecordList small;
        small.Add(0x2000, 7, 16);
        MemoryRecordList copy(small);
        copy = list; // an inline list takes a spilled one
        QCOMPARE(copy.count(), 40);
        QCOMPARE(copy[39].value, 39u * 3);
        copy = small; // and back, keeping its block for later
        QCOMPARE(copy.count(), 1);
        QCOMPARE(copy[0].address, 0x2000u);
        copy = copy;
        QCOMPARE(copy[0].value, 7u);

        list.clear();
        QVERIFY(list.isEmpty());
        for (unsigned int i = 0; i < 3; ++i)
            list.Add(0x3000 + i, i, 32);
        QCOMPARE(list.count(), 3);
        QCOMPARE(list[2].address, 0x3002u);
        QCOMPARE(list[0].value, 0u);
    }

    void writeBackNeverReachesTheKeyboardArea()
    {
        MemoryRecordList list;
        list.Add(0x480, 0x42, 8);
        memory->Write(list);
        QCOMPARE(memory->Read(0x480, 8), 0u);
    }

    void readAndWriteAllocateNothing()
    {
        unsigned int sum = 0;
        memory->recording = true;
        for (int i = 0; i < 64; ++i)
            memory->Write(0x3000 + 4 * unsigned(i), unsigned(i), 32, false); // reach a working capacity
        memory->records.clear();
        const std::size_t before = AllocationCounter::Now();
        for (unsigned int a = 0xFFA000; a < 0xFFFFFF; a += 7) {
            for (int size : {8, 16, 32}) {
                sum += memory->Read(a, size);
                memory->recording = false;
                memory->Write(a, a, size, false);
            }
        }
        memory->recording = true;
        for (int i = 0; i < 64; ++i)
            memory->Write(0x3000 + 4 * unsigned(i), sum, 32, false);
        QCOMPARE(AllocationCounter::Now(), before);
        QCOMPARE(memory->records.count(), 64);
    }

    void registerStartState()
    {
        Register r;
        QCOMPARE(r.sr, 0x2700u);
        for (int i = 0; i < 8; ++i)
            QCOMPARE(r.GetDn(unsigned(i), 32), 0u);
        QCOMPARE(r.pc, 0u);
        QCOMPARE(r.names.size(), 32);
    }

    void registerAccessByNumber()
    {
        Register r;
        r.SetDn(2, 0x12345678, 32);
        r.SetDn(2, 0xFFFF, 8);
        QCOMPARE(r.GetDn(2, 32), 0x123456FFu);
        r.SetDn(10, 0xAAAA0000, 16); // number masked: D2
        QCOMPARE(r.GetDn(2, 32), 0x12340000u);
        QCOMPARE(r.GetDn(2, 16), 0u);
        QCOMPARE(r.GetDn(2, 12), 0u);
        r.SetDn(2, 0, 3);
        QCOMPARE(r.GetDn(2, 32), 0x12340000u);

        r.a[3] = 0x12340000;
        r.SetAn(3, 0x8000, 16); // no sign extension here
        QCOMPARE(r.GetAn(3, 32), 0x12348000u);
        QCOMPARE(r.GetAn(3, 8), 0u);
    }

    void a7FollowsTheSupervisorBit()
    {
        Register r;
        r.usp = 0x500;
        r.SetAn(7, 0x1000, 32);
        QCOMPARE(r.ssp, 0x1000u);
        r.Set("S", 0);
        QCOMPARE(r.GetAn(7, 32), 0x500u);
        QCOMPARE(r.ssp, 0x1000u);
        r.Set("a7", 0x600);
        QCOMPARE(r.usp, 0x600u);
        QCOMPARE(r.Get("A7"), 0x600u);
        r.sr |= Register::supervisorBit;
        QCOMPARE(r.Get("a7"), 0x1000u);
        QCOMPARE(r.Get("A7"), r.Get("SSP"));
    }

    void registerAccessByName_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<uint>("written");
        QTest::addColumn<uint>("expectedSr");
        QTest::addColumn<uint>("read");
        // Start from SR = 0x2700.
        QTest::newRow("SR masked") << "SR" << 0xFFFFu << 0xA71Fu << 0xA71Fu;
        QTest::newRow("CCR") << "ccr" << 0xFFu << 0x271Fu << 0x1Fu;
        QTest::newRow("C") << "C" << 3u << 0x2701u << 1u;
        QTest::newRow("V") << "v" << 1u << 0x2702u << 1u;
        QTest::newRow("Z") << "Z" << 1u << 0x2704u << 1u;
        QTest::newRow("N") << "N" << 1u << 0x2708u << 1u;
        QTest::newRow("X") << "x" << 1u << 0x2710u << 1u;
        QTest::newRow("I masked") << "I" << 9u << 0x2100u << 1u;
        QTest::newRow("S") << "S" << 0u << 0x0700u << 0u;
        QTest::newRow("T") << "t" << 1u << 0xA700u << 1u;
        QTest::newRow("I0") << "I0" << 0u << 0x2600u << 0u;
        QTest::newRow("I1") << "i1" << 0u << 0x2500u << 0u;
        QTest::newRow("I2") << "I2" << 0u << 0x2300u << 0u;
    }

    void registerAccessByName()
    {
        QFETCH(QString, name);
        QFETCH(uint, written);
        QFETCH(uint, expectedSr);
        QFETCH(uint, read);
        Register r;
        QVERIFY(r.IsRegister(name));
        r.Set(name, written);
        QCOMPARE(r.sr, expectedSr);
        QCOMPARE(r.Get(name), read);
        unsigned int value = 99;
        QVERIFY(r.Get(name, value));
        QCOMPARE(value, read);
    }

    void namedRegistersAreStoredUnchanged()
    {
        Register r;
        r.Set("d7", 0xFFFFFFFF);
        QCOMPARE(r.d[7], 0xFFFFFFFFu);
        r.Set("A0", 0x12345679);
        QCOMPARE(r.a[0], 0x12345679u);
        r.Set("PC", 0xFF000001);
        QCOMPARE(r.Get("pc"), 0xFF000001u);
        r.Set("USP", 3);
        r.Set("SSP", 5);
        QCOMPARE(r.Get("usp"), 3u);
        QCOMPARE(r.Get("ssp"), 5u);
        r.Set("SR", 0x001F);
        QCOMPARE(r.Get("CCR"), 0x1Fu);
        r.Set("CCR", 0x00);
        QCOMPARE(r.sr, 0u);
    }

    void unknownNamesAreRefused()
    {
        Register r;
        r.d[0] = 7;
        for (const char* name : {"PC ", " D0", "D8", "A", "", "SP", "D", "I3", "ccr1"}) {
            QVERIFY2(!r.IsRegister(name), name);
            QCOMPARE(r.Get(name), 0u);
            unsigned int value = 5;
            QVERIFY(!r.Get(name, value));
            QCOMPARE(value, 0u);
            r.Set(name, 0xFFFFFFFF);
        }
        QCOMPARE(r.d[0], 7u);
        QCOMPARE(r.sr, 0x2700u);
        QCOMPARE(r.pc, 0u);
    }

    void copiesCarryValuesButNoNames()
    {
        Register r;
        r.d[5] = 55;
        r.a[6] = 66;
        r.pc = 0x1000;
        r.usp = 1;
        r.ssp = 2;
        r.sr = 0x0015;
        Register snapshot(&r);
        QCOMPARE(snapshot.d[5], 55u);
        QCOMPARE(snapshot.a[6], 66u);
        QCOMPARE(snapshot.pc, 0x1000u);
        QCOMPARE(snapshot.sr, 0x0015u);
        QVERIFY(!snapshot.IsRegister("D0"));

        Register other;
        r.d[5] = 0;
        other.Copy(snapshot);
        QCOMPARE(other.d[5], 55u);
        QCOMPARE(other.GetAn(7, 32), 1u); // S clear in the copied SR
        QVERIFY(other.IsRegister("D0"));
    }
};

QTEST_APPLESS_MAIN(MachineTest)
#include "tst_machine.moc"
