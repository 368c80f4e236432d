#include "views/RegisterText.h"

#include <QtTest>

namespace {

struct Shown
{
    int format;
    int size;
    bool isSigned;
    unsigned int value;
    const char* text;
};

} // namespace

class RegisterTextTest : public QObject
{
    Q_OBJECT

private slots:
    void Texts();
    void Highlight();
};

// Every base at every size, signed and unsigned, with the values at the edges of the sizes.
void RegisterTextTest::Texts()
{
    const Shown rows[] = {
        {RegisterText::Hexadecimal, 8, true, 0xFFFFFF80, "-$80"},
        {RegisterText::Hexadecimal, 8, false, 0xFFFFFF80, "$80"},
        {RegisterText::Hexadecimal, 8, true, 0x7F, "$7F"},
        {RegisterText::Hexadecimal, 16, true, 0xFFFF, "-$0001"},
        {RegisterText::Hexadecimal, 16, true, 0x12348000, "-$8000"},
        {RegisterText::Hexadecimal, 32, true, 0x80000000, "-$80000000"},
        {RegisterText::Hexadecimal, 32, false, 0xABC, "$00000ABC"},
        {RegisterText::Decimal, 16, true, 0x8000, "-32768"},
        {RegisterText::Decimal, 16, false, 0x8000, "32768"},
        {RegisterText::Decimal, 8, true, 0xFF, "-1"},
        {RegisterText::Decimal, 32, true, 0x80000000, "-2147483648"},
        {RegisterText::Decimal, 32, false, 0xFFFFFFFF, "4294967295"},
        {RegisterText::Decimal, 32, false, 0, "0"},
        {RegisterText::Binary, 32, false, 5, "% 0000 0000 0000 0000 0000 0000 0000 0101"},
        {RegisterText::Binary, 32, false, 0x80000001, "% 1000 0000 0000 0000 0000 0000 0000 0001"},
        {RegisterText::Characters, 32, false, 0x41420043, "AB.C"},
        {RegisterText::Characters, 32, false, 0x1FAD207E, ".. ~"},
    };
    RegisterText field;
    field.hexaPrefix = QStringLiteral("$");
    field.binaryPrefix = QStringLiteral("% ");
    for (const Shown& row : rows) {
        field.format = row.format;
        field.size = row.size;
        field.isSigned = row.isSigned;
        field.SetValue(row.value);
        QCOMPARE(field.text(), QString::fromLatin1(row.text));
        QCOMPARE(field.value, row.value);
    }
    // Latin-1 letters above 0x7F show as themselves.
    field.format = RegisterText::Characters;
    field.SetValue(0xE9C7FF41);
    QCOMPARE(field.text(), QString::fromUtf8("éÇÿA"));
    // Without a prefix, a 32-bit field reads eight digits, as the state panel shows it.
    RegisterText plain;
    plain.SetValue(0x00FF1234);
    QCOMPARE(plain.text(), QStringLiteral("00FF1234"));
}

void RegisterTextTest::Highlight()
{
    RegisterText field;
    field.SetValue(7);
    QCOMPARE(field.palette().color(QPalette::Active, QPalette::Text), QColor(Qt::red));
    QCOMPARE(field.palette().color(QPalette::Inactive, QPalette::Text), QColor(Qt::red));
    QCOMPARE(field.palette().color(QPalette::Active, QPalette::Base), QColor(Qt::white));
    field.StoreReference();
    QCOMPARE(field.reference, 7u);
    // The colour follows at the next SetValue, not at StoreReference.
    QCOMPARE(field.palette().color(QPalette::Active, QPalette::Text), QColor(Qt::red));
    field.SetValue(7);
    QCOMPARE(field.palette().color(QPalette::Active, QPalette::Text), QColor(Qt::black));
    QCOMPARE(field.palette().color(QPalette::Inactive, QPalette::Text), QColor(Qt::black));
    field.SetValue(8);
    QCOMPARE(field.palette().color(QPalette::Active, QPalette::Text), QColor(Qt::red));

    // Without highlighting the palette stays the widget's own.
    RegisterText quiet;
    quiet.highlight = false;
    const QPalette before = quiet.palette();
    quiet.SetValue(0x1234);
    QCOMPARE(quiet.palette(), before);
    QCOMPARE(quiet.text(), QStringLiteral("00001234"));
}

int RunRegisterTextTests(int argc, char** argv)
{
    RegisterTextTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_registertext.moc"
