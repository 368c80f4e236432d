#ifndef ZENDRA_TESTS_FUZZ_FUZZINPUT_H
#define ZENDRA_TESTS_FUZZ_FUZZINPUT_H

#include "core/Register.h"

#include <cstddef>
#include <cstdint>

// Takes a fuzzer's bytes apart front to back; past the end every read gives zeros.
class FuzzInput
{
public:
    FuzzInput(const uint8_t* data, size_t size) : data(data), size(size) {}

    uint8_t Byte() { return position < size ? data[position++] : 0; }
    uint32_t Long()
    {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i)
            value = (value << 8) | Byte();
        return value;
    }
    // Every register, the stack pointers, pc and SR (masked as the processor holds it).
    void FillRegisters(Register& r)
    {
        for (unsigned int& d : r.d)
            d = Long();
        for (unsigned int& a : r.a)
            a = Long();
        r.pc = Long();
        r.usp = Long();
        r.ssp = Long();
        r.sr = Long() & Register::srMask;
    }
    const uint8_t* Rest() const { return data + position; }
    size_t RestSize() const { return size - position; }

private:
    const uint8_t* data;
    size_t size;
    size_t position = 0;
};

#endif
