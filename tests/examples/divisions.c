/* The main.c that the examples test puts in a copy of examples/c: every quotient, remainder
 * and product of a dividend and a divisor from the tables below, signed and unsigned, which
 * the test works out on the host from the tables that it reads back; then a division by
 * zero, which the start-up code's handler catches. */
#include <stdint.h>

/* Small and large, negative, about the 16-bit boundary where a 68000 divide no longer
 * does, and at the ends of both ranges. */
int32_t dividends[] = {0, 1, 7, -7, 100000, -100000, 65535, 65536, 0x7FFFFFFF, INT32_MIN, -1,
                       0x12345678, (int32_t)0xFEDCBA98};
int32_t divisors[] = {1, -1, 2, 3, -3, 7, 10, 255, 65535, 65536, -65536, 65537, 0x7FFFFFFF, INT32_MIN,
                      0x12345679, -2};
int32_t zero = 0;

struct Result {
    int32_t quotient;
    int32_t remainder;
    uint32_t unsignedQuotient;
    uint32_t unsignedRemainder;
    uint32_t product;
};

#define DIVIDENDS (sizeof dividends / sizeof dividends[0])
#define DIVISORS (sizeof divisors / sizeof divisors[0])

struct Result results[DIVIDENDS * DIVISORS];

int main(void)
{
    for (unsigned i = 0; i < DIVIDENDS; ++i) {
        for (unsigned j = 0; j < DIVISORS; ++j) {
            const int32_t n = dividends[i];
            const int32_t d = divisors[j];
            struct Result* r = &results[i * DIVISORS + j];
            /* The one quotient that C leaves undefined stays zero. */
            if (!(n == INT32_MIN && d == -1)) {
                r->quotient = n / d;
                r->remainder = n % d;
            }
            r->unsignedQuotient = (uint32_t)n / (uint32_t)d;
            r->unsignedRemainder = (uint32_t)n % (uint32_t)d;
            r->product = (uint32_t)n * (uint32_t)d;
        }
    }
    return dividends[1] / zero;
}
