/* The results of a compiled test program: bytes written in the same order on any host. */
#ifndef ZENDRA_TESTS_PROGRAMS_OUTPUT_H
#define ZENDRA_TESTS_PROGRAMS_OUTPUT_H

#include <stdint.h>

typedef struct
{
    unsigned char* bytes;
    int length;
} Output;

static inline void Put8(Output* o, uint32_t v)
{
    o->bytes[o->length++] = (unsigned char)v;
}

static inline void Put32(Output* o, uint32_t v)
{
    Put8(o, v >> 24);
    Put8(o, v >> 16);
    Put8(o, v >> 8);
    Put8(o, v);
}

static inline void PutText(Output* o, const char* text)
{
    while (*text)
        Put8(o, (unsigned char)*text++);
}

int program(unsigned char* out);

#endif
