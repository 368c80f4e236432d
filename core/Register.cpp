#include "core/Register.h"

#include <cstring>

namespace {

// Single status-register bits that can be read and written by name.
struct FlagBit
{
    const char* name;
    int bit;
};

const FlagBit flagBits[] = {
    {"C", 0}, {"V", 1}, {"Z", 2}, {"N", 3}, {"X", 4}, {"S", 13}, {"T", 15}, {"I0", 8}, {"I1", 9}, {"I2", 10},
};

int FlagBitOf(const QString& name)
{
    for (const FlagBit& flag : flagBits) {
        if (name == QLatin1String(flag.name))
            return flag.bit;
    }
    return -1;
}

// "D0".."D7" or "A0".."A7": the register number, else -1.
int NumberOf(const QString& name, QChar prefix)
{
    if (name.size() != 2 || name[0] != prefix || name[1] < QLatin1Char('0') || name[1] > QLatin1Char('7'))
        return -1;
    return name[1].unicode() - '0';
}

} // namespace

Register::Register()
    : pc(0), usp(0), ssp(0), sr(0x2700)
{
    std::memset(d, 0, sizeof d);
    std::memset(a, 0, sizeof a);
    for (int i = 0; i < 8; ++i)
        names << QStringLiteral("D%1").arg(i);
    for (int i = 0; i < 8; ++i)
        names << QStringLiteral("A%1").arg(i);
    names << QStringLiteral("PC") << QStringLiteral("USP") << QStringLiteral("SSP") << QStringLiteral("SR")
          << QStringLiteral("CCR") << QStringLiteral("C") << QStringLiteral("V") << QStringLiteral("Z")
          << QStringLiteral("N") << QStringLiteral("X") << QStringLiteral("I") << QStringLiteral("S")
          << QStringLiteral("T") << QStringLiteral("I0") << QStringLiteral("I1") << QStringLiteral("I2");
}

Register::Register(const Register* other)
{
    Copy(*other);
}


bool Register::IsRegister(const QString& name) const
{
    return names.contains(name.toUpper());
}

unsigned int Register::Get(const QString& name) const
{
    // A snapshot has no names and so knows no register.
    if (!IsRegister(name))
        return 0;
    const QString n = name.toUpper();
    int number = NumberOf(n, QLatin1Char('D'));
    if (number >= 0)
        return d[number];
    number = NumberOf(n, QLatin1Char('A'));
    if (number >= 0)
        return AnRef(unsigned(number));
    if (n == QLatin1String("PC"))
        return pc;
    if (n == QLatin1String("USP"))
        return usp;
    if (n == QLatin1String("SSP"))
        return ssp;
    if (n == QLatin1String("SR"))
        return sr;
    if (n == QLatin1String("CCR"))
        return sr & 0xFF;
    if (n == QLatin1String("I"))
        return (sr >> 8) & 7;
    const int bit = FlagBitOf(n);
    return bit >= 0 ? (sr >> bit) & 1 : 0;
}

bool Register::Get(const QString& name, unsigned int& value) const
{
    value = 0;
    if (!IsRegister(name))
        return false;
    value = Get(name);
    return true;
}

void Register::Set(const QString& name, unsigned int value)
{
    if (!IsRegister(name))
        return;
    const QString n = name.toUpper();
    int number = NumberOf(n, QLatin1Char('D'));
    if (number >= 0) {
        d[number] = value;
        return;
    }
    number = NumberOf(n, QLatin1Char('A'));
    if (number >= 0) {
        AnRef(unsigned(number)) = value;
        return;
    }
    if (n == QLatin1String("PC"))
        pc = value;
    else if (n == QLatin1String("USP"))
        usp = value;
    else if (n == QLatin1String("SSP"))
        ssp = value;
    else if (n == QLatin1String("SR"))
        sr = value & srMask;
    else if (n == QLatin1String("CCR"))
        sr = (sr & 0xFF00) | (value & ccrMask);
    else if (n == QLatin1String("I"))
        sr = (sr & ~0x0700u) | ((value & 7) << 8);
    else {
        const int bit = FlagBitOf(n);
        if (bit >= 0)
            sr = (sr & ~(1u << bit)) | ((value & 1) << bit);
    }
}
