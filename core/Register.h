#ifndef ZENDRA_CORE_REGISTER_H
#define ZENDRA_CORE_REGISTER_H

#include <QString>
#include <QStringList>

#include <cstring>

// The 68000 programmer's model. A7 is not stored: it is ssp or usp as the S bit selects.
class Register
{
public:
    static constexpr unsigned int srMask = 0xA71F;
    static constexpr unsigned int ccrMask = 0x1F;
    static constexpr unsigned int supervisorBit = 0x2000;
    static constexpr unsigned int traceBit = 0x8000;

    Register();
    // A copy for snapshots: registers only, no names.
    explicit Register(const Register* other);
    Register(const Register&) = delete;
    Register& operator=(const Register&) = delete;

    // D0-D7, A0-A6, pc, usp, ssp and sr; inline, since every recorded instruction takes one.
    void Copy(const Register& other)
    {
        std::memcpy(d, other.d, sizeof d);
        std::memcpy(a, other.a, sizeof a);
        pc = other.pc;
        usp = other.usp;
        ssp = other.ssp;
        sr = other.sr;
    }

    unsigned int GetDn(unsigned int n, int size) const { return Low(d[n & 7], size); }
    void SetDn(unsigned int n, unsigned int value, int size) { Merge(d[n & 7], value, size); }
    unsigned int GetAn(unsigned int n, int size) const { return Low(AnRef(n), size); }
    void SetAn(unsigned int n, unsigned int value, int size) { Merge(AnRef(n), value, size); }

    // The stack pointer that A7 designates now.
    unsigned int& A7() { return (sr & supervisorBit) ? ssp : usp; }
    unsigned int A7() const { return (sr & supervisorBit) ? ssp : usp; }
    unsigned int& AnRef(unsigned int n) { n &= 7; return n == 7 ? A7() : a[n]; }
    unsigned int AnRef(unsigned int n) const { n &= 7; return n == 7 ? A7() : a[n]; }

    bool IsRegister(const QString& name) const;
    unsigned int Get(const QString& name) const;
    bool Get(const QString& name, unsigned int& value) const;
    void Set(const QString& name, unsigned int value);

    unsigned int d[8];
    unsigned int a[7];
    unsigned int pc;
    unsigned int usp;
    unsigned int ssp;
    unsigned int sr;
    QStringList names;

private:
    static unsigned int Low(unsigned int value, int size)
    {
        switch (size) {
        case 8: return value & 0xFF;
        case 16: return value & 0xFFFF;
        case 32: return value;
        default: return 0;
        }
    }
    static void Merge(unsigned int& target, unsigned int value, int size)
    {
        // The whole word is stored, the high bits merged back: a byte or word stored alone
        // would hold up the next read of the whole register, which is not forwarded from it.
        switch (size) {
        case 8: target = (target & 0xFFFFFF00u) | (value & 0xFF); break;
        case 16: target = (target & 0xFFFF0000u) | (value & 0xFFFF); break;
        case 32: target = value; break;
        default: break;
        }
    }
};

#endif
