/* Checksums over a generated buffer: table-driven CRC-32, bitwise CRC-16, Adler-32 and
 * Fletcher-16, each over every prefix length that is a power of two. */
#include "output.h"

#define SIZE 1024

static unsigned char buffer[SIZE];
static uint32_t table[256];

static void BuildTable(void)
{
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xedb88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
}

static uint32_t Crc32(const unsigned char* p, int n)
{
    uint32_t c = 0xffffffffu;
    while (n--)
        c = table[(c ^ *p++) & 0xff] ^ (c >> 8);
    return c ^ 0xffffffffu;
}

static uint16_t Crc16(const unsigned char* p, int n)
{
    uint16_t c = 0xffff;
    while (n--) {
        c ^= (uint16_t)(*p++ << 8);
        for (int k = 0; k < 8; ++k)
            c = (c & 0x8000) ? (uint16_t)((c << 1) ^ 0x1021) : (uint16_t)(c << 1);
    }
    return c;
}

static uint32_t Adler32(const unsigned char* p, int n)
{
    uint32_t a = 1, b = 0;
    while (n--) {
        a = (a + *p++) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

static uint16_t Fletcher16(const unsigned char* p, int n)
{
    uint16_t a = 0, b = 0;
    while (n--) {
        a = (uint16_t)((a + *p++) % 255);
        b = (uint16_t)((b + a) % 255);
    }
    return (uint16_t)((b << 8) | a);
}

int program(unsigned char* out)
{
    Output o = {out, 0};
    uint32_t x = 0x12345678u;
    for (int i = 0; i < SIZE; ++i) {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        buffer[i] = (unsigned char)(x >> 11);
    }
    BuildTable();
    Put32(&o, table[1]);
    Put32(&o, table[255]);
    static const char check[] = "123456789";
    Put32(&o, Crc32((const unsigned char*)check, 9));
    Put32(&o, Crc16((const unsigned char*)check, 9));
    for (int n = 1; n <= SIZE; n *= 2) {
        Put32(&o, Crc32(buffer, n));
        Put32(&o, Crc16(buffer, n));
        Put32(&o, Adler32(buffer, n));
        Put32(&o, Fletcher16(buffer, n));
    }
    return o.length;
}
