/* What the compiler expects from its support library on a 68000, which has neither a
 * 32-bit multiply nor a 32-bit divide, and the block functions it may call. */
#include <stddef.h>
#include <stdint.h>

#define NO_PATTERNS __attribute__((optimize("no-tree-loop-distribute-patterns")))

/* Shift and add: the compiler would turn any product of 32-bit values back into a call. */
uint32_t __mulsi3(uint32_t a, uint32_t b)
{
    uint32_t product = 0;
    while (b) {
        if (b & 1)
            product += a;
        a <<= 1;
        b >>= 1;
    }
    return product;
}

/* Shift-and-subtract division; the remainder through r when asked for. */
static uint32_t divide(uint32_t n, uint32_t d, uint32_t* r)
{
    uint32_t q = 0, rem = 0;
    int i;
    if (d == 0) {
        if (r)
            *r = n;
        return 0xffffffffu;
    }
    for (i = 31; i >= 0; --i) {
        rem = (rem << 1) | ((n >> i) & 1);
        if (rem >= d) {
            rem -= d;
            q |= (uint32_t)1 << i;
        }
    }
    if (r)
        *r = rem;
    return q;
}

uint32_t __udivsi3(uint32_t n, uint32_t d)
{
    return divide(n, d, 0);
}

uint32_t __umodsi3(uint32_t n, uint32_t d)
{
    uint32_t r;
    divide(n, d, &r);
    return r;
}

static uint32_t magnitude(int32_t v)
{
    return v < 0 ? 0u - (uint32_t)v : (uint32_t)v;
}

int32_t __divsi3(int32_t n, int32_t d)
{
    const uint32_t q = divide(magnitude(n), magnitude(d), 0);
    return (n < 0) != (d < 0) ? (int32_t)(0u - q) : (int32_t)q;
}

int32_t __modsi3(int32_t n, int32_t d)
{
    uint32_t r;
    divide(magnitude(n), magnitude(d), &r);
    return n < 0 ? (int32_t)(0u - r) : (int32_t)r;
}

NO_PATTERNS void* memcpy(void* to, const void* from, size_t n)
{
    unsigned char* t = to;
    const unsigned char* f = from;
    while (n--)
        *t++ = *f++;
    return to;
}

NO_PATTERNS void* memmove(void* to, const void* from, size_t n)
{
    unsigned char* t = to;
    const unsigned char* f = from;
    if (t < f) {
        while (n--)
            *t++ = *f++;
    } else {
        while (n--)
            t[n] = f[n];
    }
    return to;
}

NO_PATTERNS void* memset(void* to, int value, size_t n)
{
    unsigned char* t = to;
    while (n--)
        *t++ = (unsigned char)value;
    return to;
}

int memcmp(const void* a, const void* b, size_t n)
{
    const unsigned char* x = a;
    const unsigned char* y = b;
    for (; n; --n, ++x, ++y) {
        if (*x != *y)
            return *x < *y ? -1 : 1;
    }
    return 0;
}
