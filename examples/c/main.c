/* A C program for Zendra. The 68000 multiplies only 16 by 16 bits and divides only 32 by 16,
 * so the compiler turns *, / and % on 32-bit values into calls of __mulsi3, __divsi3,
 * __udivsi3, __modsi3 and __umodsi3 (see lib68000.s). The results go into the variable
 * results, for the memory view or `zendra-run --memory results:76`; the screen shows a disc,
 * and main returns the number of its points, which stays in D0 at done. */
#include <stdint.h>

#define SCREEN ((volatile uint8_t*)0xFFB500)
#define WIDTH 480
#define HEIGHT 320

/* The inputs: variables, so that the compiler works nothing out in advance. */
int32_t dividend = -1234567;
int32_t divisor = 89;
uint32_t first = 2171484;
uint32_t second = 1758708;
int32_t radius = 100;

struct {
    uint32_t factorial[13]; /* n! for n = 0 to 12; 12! = 479001600 is the last that fits */
    int32_t quotient;       /* dividend / divisor, rounded toward zero */
    int32_t remainder;      /* dividend % divisor, with the dividend's sign */
    uint32_t gcd;           /* of first and second, by Euclid's remainders */
    char decimal[12];       /* 12! in decimal, a digit per / 10 and % 10, ending with a zero */
} results;

static uint32_t GreatestCommonDivisor(uint32_t a, uint32_t b)
{
    while (b != 0) {
        const uint32_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

/* value in decimal, right-aligned in size - 1 characters. */
static void Decimal(uint32_t value, char* text, int size)
{
    text[--size] = '\0';
    do {
        text[--size] = (char)('0' + value % 10);
        value /= 10;
    } while (value != 0 && size > 0);
    while (size > 0)
        text[--size] = ' ';
}

/* Sets the pixel at (x, y): 60 bytes a row, the leftmost pixel in bit 7, white when set. */
static void SetPixel(int32_t x, int32_t y)
{
    SCREEN[y * (WIDTH / 8) + x / 8] |= (uint8_t)(0x80 >> (x % 8));
}

/* The points of the screen whose distance to its centre is at most r. */
static int32_t DrawDisc(int32_t r)
{
    int32_t points = 0;
    for (int32_t dy = -r; dy <= r; ++dy) {
        for (int32_t dx = -r; dx <= r; ++dx) {
            if (dx * dx + dy * dy <= r * r) {
                SetPixel(WIDTH / 2 + dx, HEIGHT / 2 + dy);
                ++points;
            }
        }
    }
    return points;
}

int main(void)
{
    results.factorial[0] = 1;
    for (uint32_t n = 1; n <= 12; ++n)
        results.factorial[n] = results.factorial[n - 1] * n;
    results.quotient = dividend / divisor;
    results.remainder = dividend % divisor;
    results.gcd = GreatestCommonDivisor(first, second);
    Decimal(results.factorial[12], results.decimal, sizeof results.decimal);
    return DrawDisc(radius);
}
