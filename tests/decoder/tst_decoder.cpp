// The opcode classification that the emulator, the disassembler and the operand
// evaluator share.
#include "core/Decoder.h"

#include <QtTest>

namespace {

// Remembers which handler Decode called.
class RecordingDecoder : public Decoder
{
public:
    int called = -1;
    int calls = 0;

    // Applies the predicates in dispatch order, as the table must have done.
    int FirstMatchingPredicate() const
    {
        using Predicate = bool (Decoder::*)() const;
        static constexpr Predicate predicates[] = {
#define ZENDRA_PREDICATE(name) &Decoder::Is##name,
            ZENDRA_INSTRUCTION_KINDS(ZENDRA_PREDICATE)
#undef ZENDRA_PREDICATE
        };
        int kind = 0;
        for (Predicate predicate : predicates) {
            if ((this->*predicate)())
                return kind;
            ++kind;
        }
        return NoKind;
    }

protected:
#define ZENDRA_RECORD(name) \
    void _##name() override { called = Kind_##name; ++calls; }
    ZENDRA_INSTRUCTION_KINDS(ZENDRA_RECORD)
#undef ZENDRA_RECORD
};

int KindByName(const char* name)
{
    for (int kind = 0; kind < Decoder::KindCount; ++kind) {
        if (qstrcmp(Decoder::KindName(Decoder::Kind(kind)), name) == 0)
            return kind;
    }
    return Decoder::NoKind;
}

} // namespace

class DecoderTest : public QObject
{
    Q_OBJECT

private slots:
    void tableAgreesWithThePredicatesOnEveryWord()
    {
        RecordingDecoder decoder;
        int decoded = 0;
        for (unsigned int word = 0; word < 0x10000; ++word) {
            decoder.opcode = word;
            const int expected = decoder.FirstMatchingPredicate();
            if (Decoder::KindOf(word) != expected)
                QFAIL(qPrintable(QString("word %1: table %2, predicates %3").arg(word, 4, 16).arg(Decoder::KindOf(word)).arg(expected)));
            decoder.called = -1;
            decoder.calls = 0;
            const bool matched = decoder.Decode();
            QCOMPARE(matched, expected != Decoder::NoKind);
            QCOMPARE(decoder.calls, matched ? 1 : 0);
            if (matched) {
                QCOMPARE(decoder.called, expected);
                QVERIFY(Decoder::Matches(Decoder::Kind(expected), word));
                ++decoded;
            }
        }
        // Not a figure to chase: a guard against a predicate that accepts far too much
        // or nothing at all.
        QVERIFY(decoded > 40000 && decoded < 60000);
    }

    void everyKindIsReachable()
    {
        QVector<int> counts(Decoder::KindCount);
        for (unsigned int word = 0; word < 0x10000; ++word) {
            if (Decoder::KindOf(word) != Decoder::NoKind)
                ++counts[Decoder::KindOf(word)];
        }
        for (int kind = 0; kind < Decoder::KindCount; ++kind)
            QVERIFY2(counts[kind] > 0, Decoder::KindName(Decoder::Kind(kind)));
    }

    void examples_data()
    {
        QTest::addColumn<uint>("word");
        QTest::addColumn<QString>("kind");
        QTest::newRow("ILLEGAL, not TAS #imm") << 0x4AFCu << "ILLEGAL";
        QTest::newRow("ORI.B An") << 0x0008u << "";
        QTest::newRow("BCHG imm An") << 0x0848u << "";
        QTest::newRow("MOVEP.W mem to reg") << 0x0108u << "MOVEP";
        QTest::newRow("ADD.W A0,D0") << 0xD048u << "ADD";
        QTest::newRow("ADD.B A0,D0") << 0xD008u << "";
        QTest::newRow("ADDA.W A0,A0") << 0xD0C8u << "ADDA";
        QTest::newRow("ADDX.B D0,D0") << 0xD100u << "ADDX";
        QTest::newRow("MOVE.B A0,D0") << 0x1008u << "";
        QTest::newRow("MOVE.W A0,D0") << 0x3008u << "MOVE";
        QTest::newRow("MOVEA.W A0,A0") << 0x3048u << "MOVEA";
        QTest::newRow("MOVEA.B") << 0x1048u << "";
        QTest::newRow("MOVE to immediate") << 0x31C0u << "MOVE";
        QTest::newRow("MOVE to d16(PC)") << 0x35C0u << "";
        QTest::newRow("MOVEC") << 0x4E7Au << "";
        QTest::newRow("line A") << 0xA000u << "";
        QTest::newRow("line F") << 0xF000u << "";
        QTest::newRow("EXT.W") << 0x4880u << "EXT";
        QTest::newRow("EXT.L") << 0x48C0u << "EXT";
        QTest::newRow("MOVEM to (A0)") << 0x4890u << "MOVEM";
        QTest::newRow("MOVEM (A0)+ to memory") << 0x4898u << "";
        QTest::newRow("MOVEM -(A0) from memory") << 0x4CA0u << "";
        QTest::newRow("MOVEM d16(PC) to registers") << 0x4CBAu << "MOVEM";
        QTest::newRow("DBT") << 0x50C8u << "DBcc";
        QTest::newRow("ST D0") << 0x50C0u << "Scc";
        QTest::newRow("ORI to CCR") << 0x003Cu << "ORItoCCR";
        QTest::newRow("ORI.B #,D0") << 0x0000u << "ORI";
        QTest::newRow("JMP d8(PC,Xn)") << 0x4EFBu << "JMP";
        QTest::newRow("JMP #imm") << 0x4EFCu << "";
        QTest::newRow("JMP mode 7/5") << 0x4EFDu << "";
        QTest::newRow("SWAP") << 0x4840u << "SWAP";
        QTest::newRow("PEA (A0)") << 0x4850u << "PEA";
        QTest::newRow("ABCD") << 0xC100u << "ABCD";
        QTest::newRow("EXG D0,D0") << 0xC140u << "EXG";
        QTest::newRow("EXG A0,A0") << 0xC148u << "EXG";
        QTest::newRow("EXG D0,A0") << 0xC188u << "EXG";
        QTest::newRow("EXG bad form") << 0xC180u << "";
        QTest::newRow("CMPM") << 0xB108u << "CMPM";
        QTest::newRow("EOR.B D0,D0") << 0xB100u << "EOR";
        QTest::newRow("CMP.B A0") << 0xB008u << "";
        QTest::newRow("BTST D0,#imm") << 0x013Cu << "BTST";
        QTest::newRow("BTST #,#imm") << 0x083Cu << "";
        QTest::newRow("BSET D0,D0") << 0x01C0u << "BSET";
        QTest::newRow("ASL.W (A0)") << 0xE1D0u << "ASd";
        QTest::newRow("ROXR.L D0") << 0xE090u << "ROXd";
        QTest::newRow("ROL.B D0") << 0xE118u << "ROd";
        QTest::newRow("shift memory with bit 11") << 0xE8D0u << "";
        QTest::newRow("ADDQ.B An") << 0x5008u << "";
        QTest::newRow("ADDQ.W An") << 0x5048u << "ADDQ";
        QTest::newRow("MOVE USP") << 0x4E68u << "MOVE_USP";
        QTest::newRow("mode 7 register 5") << 0x303Du << "";
        QTest::newRow("BRA") << 0x6000u << "Bcc";
        QTest::newRow("MOVEQ") << 0x7EFFu << "MOVEQ";
        QTest::newRow("MOVEQ with bit 8") << 0x7100u << "";
        QTest::newRow("TAS (A0)") << 0x4AD0u << "TAS";
        QTest::newRow("LINK") << 0x4E56u << "LINK";
        QTest::newRow("CHK.W D1,D0") << 0x4181u << "CHK";
        QTest::newRow("LEA (A0)+") << 0x41D8u << "";
    }

    void examples()
    {
        QFETCH(uint, word);
        QFETCH(QString, kind);
        const int expected = kind.isEmpty() ? int(Decoder::NoKind) : KindByName(qPrintable(kind));
        QCOMPARE(int(Decoder::KindOf(word)), expected);
        RecordingDecoder decoder;
        decoder.opcode = word;
        QCOMPARE(decoder.Decode(), !kind.isEmpty());
    }

    void lineAAndLineFNeverDecode()
    {
        for (unsigned int word = 0xA000; word < 0xB000; ++word)
            QCOMPARE(int(Decoder::KindOf(word)), int(Decoder::NoKind));
        for (unsigned int word = 0xF000; word < 0x10000; ++word)
            QCOMPARE(int(Decoder::KindOf(word)), int(Decoder::NoKind));
    }

    void modeMasks()
    {
        // Every mode against a mask that allows only it.
        const struct { unsigned mode, reg; int bit; } modes[] = {
            {0, 3, 0}, {1, 3, 1}, {2, 3, 2}, {3, 3, 3}, {4, 3, 4}, {5, 3, 5}, {6, 3, 6},
            {7, 2, 7}, {7, 3, 8}, {7, 0, 9}, {7, 1, 10}, {7, 4, 11},
        };
        for (const auto& m : modes) {
            QVERIFY(!Decoder::IsInvalidMode(m.mode, m.reg, 0xFFF & ~(1 << m.bit)));
            QVERIFY(Decoder::IsInvalidMode(m.mode, m.reg, 1 << m.bit));
            QVERIFY(Decoder::IsInvalidMode(m.mode + 8, m.reg + 8, 1 << m.bit)); // fields masked to 3 bits
        }
        for (unsigned int reg = 5; reg < 8; ++reg)
            QVERIFY(Decoder::IsInvalidMode(7, reg, Decoder::AllModes));

        RecordingDecoder decoder;
        decoder.opcode = 0x0008; // byte size, An
        QVERIFY(decoder.IsAnB());
        QVERIFY(decoder.IsInvalidMode(Decoder::DataModes));
        QVERIFY(!decoder.IsInvalidSize());
        decoder.opcode = 0x00C0;
        QVERIFY(decoder.IsInvalidSize());
        QVERIFY(!decoder.IsAnB());
        decoder.opcode = 0x123456C0; // only the low 16 bits count
        QVERIFY(decoder.IsInvalidSize());
    }
};

QTEST_APPLESS_MAIN(DecoderTest)
#include "tst_decoder.moc"
