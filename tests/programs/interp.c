/* A small stack machine: an interpreter loop over a switch, and four bytecode programs put
 * together by a one-pass emitter with patched jump targets: primes by trial division, greatest
 * common divisors, Collatz steps, and a recursive factorial through CALL and RET. */
#include "output.h"

enum {
    PUSH, LOAD, STORE, ADD, SUB, MUL, DIV, MOD, LT, EQ, JZ, JMP, CALL, RET, DUP, DROP, SWAP, PRINT, HALT
};

static int32_t stack[256];
static int32_t frames[64];
static int32_t variables[16];
static int32_t code[1024];
static int length;

static int Run(Output* o)
{
    int pc = 0, sp = 0, fp = 0, steps = 0;
    for (;;) {
        ++steps;
        const int32_t op = code[pc++];
        int32_t a, b;
        switch (op) {
        case PUSH: stack[sp++] = code[pc++]; break;
        case LOAD: stack[sp++] = variables[code[pc++]]; break;
        case STORE: variables[code[pc++]] = stack[--sp]; break;
        case ADD: b = stack[--sp]; a = stack[--sp]; stack[sp++] = (int32_t)((uint32_t)a + (uint32_t)b); break;
        case SUB: b = stack[--sp]; a = stack[--sp]; stack[sp++] = (int32_t)((uint32_t)a - (uint32_t)b); break;
        case MUL: b = stack[--sp]; a = stack[--sp]; stack[sp++] = (int32_t)((uint32_t)a * (uint32_t)b); break;
        case DIV: b = stack[--sp]; a = stack[--sp]; stack[sp++] = b ? a / b : 0; break;
        case MOD: b = stack[--sp]; a = stack[--sp]; stack[sp++] = b ? a % b : 0; break;
        case LT: b = stack[--sp]; a = stack[--sp]; stack[sp++] = a < b; break;
        case EQ: b = stack[--sp]; a = stack[--sp]; stack[sp++] = a == b; break;
        case JZ: a = code[pc++]; if (stack[--sp] == 0) pc = a; break;
        case JMP: pc = code[pc]; break;
        case CALL: frames[fp++] = pc + 1; pc = code[pc]; break;
        case RET: pc = frames[--fp]; break;
        case DUP: a = stack[sp - 1]; stack[sp++] = a; break;
        case DROP: --sp; break;
        case SWAP: a = stack[sp - 1]; stack[sp - 1] = stack[sp - 2]; stack[sp - 2] = a; break;
        case PRINT: Put32(o, (uint32_t)stack[--sp]); break;
        default: return steps;
        }
    }
}

static void E(int32_t v) { code[length++] = v; }
static void E2(int32_t op, int32_t operand) { E(op); E(operand); }
/* A jump whose target is not known yet: the index of its operand, to patch. */
static int Forward(int32_t op) { E(op); E(0); return length - 1; }
static void Land(int at) { code[at] = length; }

static void Primes(void)
{
    length = 0;
    E2(PUSH, 2); E2(STORE, 0);
    const int outer = length;
    E2(LOAD, 0); E2(PUSH, 200); E(LT);
    const int finished = Forward(JZ);
    E2(PUSH, 2); E2(STORE, 1);
    const int inner = length;
    E2(LOAD, 0); E2(LOAD, 1); E2(LOAD, 1); E(MUL); E(LT); /* n < d * d: no divisor left */
    const int divide = Forward(JZ);
    E2(LOAD, 0); E(PRINT);
    const int next1 = Forward(JMP);
    Land(divide);
    E2(LOAD, 0); E2(LOAD, 1); E(MOD);
    const int next2 = Forward(JZ);
    E2(LOAD, 1); E2(PUSH, 1); E(ADD); E2(STORE, 1); E2(JMP, inner);
    Land(next1);
    Land(next2);
    E2(LOAD, 0); E2(PUSH, 1); E(ADD); E2(STORE, 0); E2(JMP, outer);
    Land(finished);
    E(HALT);
}

static void Gcds(void)
{
    static const int32_t pairs[][2] = {{48, 18}, {1071, 462}, {270, 192}, {17, 5}, {1000000, 2}, {832040, 514229}};
    length = 0;
    for (unsigned i = 0; i < sizeof pairs / sizeof pairs[0]; ++i) {
        E2(PUSH, pairs[i][0]); E2(STORE, 0); E2(PUSH, pairs[i][1]); E2(STORE, 1);
        const int loop = length;
        E2(LOAD, 1);
        const int end = Forward(JZ);
        E2(LOAD, 0); E2(LOAD, 1); E(MOD); E2(LOAD, 1); E2(STORE, 0); E2(STORE, 1); E2(JMP, loop);
        Land(end);
        E2(LOAD, 0); E(PRINT);
    }
    E(HALT);
}

static void Collatz(int32_t start)
{
    length = 0;
    E2(PUSH, start); E2(STORE, 0); E2(PUSH, 0); E2(STORE, 1);
    const int loop = length;
    E2(LOAD, 0); E2(PUSH, 1); E(EQ);
    const int body = Forward(JZ);
    const int end = Forward(JMP);
    Land(body);
    E2(LOAD, 0); E2(PUSH, 2); E(MOD);
    const int even = Forward(JZ);
    E2(LOAD, 0); E2(PUSH, 3); E(MUL); E2(PUSH, 1); E(ADD); E2(STORE, 0);
    const int count = Forward(JMP);
    Land(even);
    E2(LOAD, 0); E2(PUSH, 2); E(DIV); E2(STORE, 0);
    Land(count);
    E2(LOAD, 1); E2(PUSH, 1); E(ADD); E2(STORE, 1); E2(JMP, loop);
    Land(end);
    E2(LOAD, 1); E(PRINT); E(HALT);
}

static void Factorials(void)
{
    length = 0;
    int calls[12];
    for (int n = 1; n <= 12; ++n) {
        E2(PUSH, n);
        calls[n - 1] = Forward(CALL);
        E(PRINT);
    }
    E2(PUSH, 7); E2(PUSH, 3); E(SWAP); E(SUB); E(PRINT); /* 3 - 7 */
    E2(PUSH, 9); E(DUP); E(DROP); E(PRINT);
    E(HALT);
    for (int n = 0; n < 12; ++n)
        Land(calls[n]);
    const int fact = length;
    E(DUP); E2(PUSH, 2); E(LT);
    const int recurse = Forward(JZ);
    E(RET);
    Land(recurse);
    E(DUP); E2(PUSH, 1); E(SUB); E2(CALL, fact);
    E(MUL); E(RET);
}

int program(unsigned char* out)
{
    Output o = {out, 0};
    Primes();
    Put32(&o, (uint32_t)Run(&o));
    Gcds();
    Put32(&o, (uint32_t)Run(&o));
    for (int32_t n = 25; n <= 29; ++n) {
        Collatz(n);
        Put32(&o, (uint32_t)Run(&o));
    }
    Factorials();
    Put32(&o, (uint32_t)Run(&o));
    return o.length;
}
