/* A program to profile: a hot loop called often, a function called once, one never
   called, a recursion, and branches taken both ways. */

volatile int never_set;
/* Read by hot, so that the compiler cannot call it once for all twenty calls. */
volatile int bias;

__attribute__((noinline)) int hot(int n)
{
    int s = bias;
    for (int i = 0; i < n; ++i)
        s += (i * 3) ^ (s >> 1);
    return s;
}

__attribute__((noinline)) int once(int n)
{
    return n + 1;
}

__attribute__((noinline)) int never(int n)
{
    return n * 2 + never_set;
}

__attribute__((noinline)) int fib(int n)
{
    if (n < 2)
        return n;
    return fib(n - 1) + fib(n - 2);
}

int main(void)
{
    int total = 0;
    for (int k = 0; k < 20; ++k)
        total += hot(200);
    total += once(total);
    total += fib(10);
    if (never_set)
        total += never(total);
    return total & 0xFF;
}
