/* Numbers formatted into a text buffer: a small printf with signed and unsigned decimal,
 * hexadecimal, octal and binary, widths, zero padding and left alignment. */
#include <stdarg.h>

#include "output.h"

static char text[4096];
static int used;

static void Emit(char c)
{
    if (used < (int)sizeof text)
        text[used++] = c;
}

static void Number(uint32_t value, int negative, unsigned base, int upper, int width, int zero, int left)
{
    char digits[40];
    int n = 0;
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    do {
        digits[n++] = set[value % base];
        value /= base;
    } while (value);
    int length = n + (negative ? 1 : 0);
    if (!left && !zero) {
        for (; length < width; ++length)
            Emit(' ');
    }
    if (negative)
        Emit('-');
    if (!left && zero) {
        for (; length < width; ++length)
            Emit('0');
    }
    while (n)
        Emit(digits[--n]);
    for (; length < width; ++length)
        Emit(' ');
}

static void Format(const char* f, ...)
{
    va_list args;
    va_start(args, f);
    for (; *f; ++f) {
        if (*f != '%') {
            Emit(*f);
            continue;
        }
        ++f;
        int left = 0, zero = 0, width = 0;
        if (*f == '-') {
            left = 1;
            ++f;
        }
        if (*f == '0') {
            zero = 1;
            ++f;
        }
        while (*f >= '0' && *f <= '9')
            width = width * 10 + (*f++ - '0');
        switch (*f) {
        case 'd': {
            const int v = va_arg(args, int);
            Number(v < 0 ? 0u - (uint32_t)v : (uint32_t)v, v < 0, 10, 0, width, zero, left);
            break;
        }
        case 'u':
            Number(va_arg(args, unsigned), 0, 10, 0, width, zero, left);
            break;
        case 'x':
        case 'X':
            Number(va_arg(args, unsigned), 0, 16, *f == 'X', width, zero, left);
            break;
        case 'o':
            Number(va_arg(args, unsigned), 0, 8, 0, width, zero, left);
            break;
        case 'b':
            Number(va_arg(args, unsigned), 0, 2, 0, width, zero, left);
            break;
        case 'c':
            Emit((char)va_arg(args, int));
            break;
        case 's': {
            const char* s = va_arg(args, const char*);
            int length = 0;
            while (s[length])
                ++length;
            if (!left) {
                for (; length < width; ++length)
                    Emit(' ');
            }
            while (*s)
                Emit(*s++);
            for (; length < width; ++length)
                Emit(' ');
            break;
        }
        default:
            Emit(*f);
            break;
        }
    }
    va_end(args);
}

/* The decimal digits of a value divided by ten at a time, with a fixed point. */
static void Fixed(int32_t hundredths)
{
    const int negative = hundredths < 0;
    const uint32_t m = negative ? 0u - (uint32_t)hundredths : (uint32_t)hundredths;
    Format("%s%u,%02u ", negative ? "-" : "", m / 100, m % 100);
}

int program(unsigned char* out)
{
    static const int values[] = {0, 1, -1, 7, -42, 1000, 65535, 65536, -32768, 123456789, -987654321,
                                 2147483647, -2147483647 - 1};
    used = 0;
    for (unsigned i = 0; i < sizeof values / sizeof values[0]; ++i) {
        const int v = values[i];
        Format("[%d|%12d|%-12d|%012d|%u|%x|%08X|%o|%b]\n", v, v, v, v, (unsigned)v, (unsigned)v, (unsigned)v,
               (unsigned)v, (unsigned)v & 0xffffu);
    }
    Format("%s et %-8s|%8s|%c%c%c|100%%\n", "Zendra", "68000", "fin", 'a', 'b', 'c');
    for (int32_t h = -12345; h < 20000; h += 3217)
        Fixed(h);
    uint32_t f = 1;
    for (unsigned n = 1; n <= 12; ++n) {
        f *= n;
        Format("%u!=%u ", n, f);
    }
    Output o = {out, 0};
    for (int i = 0; i < used; ++i)
        Put8(&o, (unsigned char)text[i]);
    return o.length;
}
