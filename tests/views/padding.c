/* A compiled program as the disassembly meets them: sum is aligned on 4 bytes, which leaves
   two bytes of zeros after count, and the string reply starts at an odd address. */
int total;
const char greeting[] = "Zendra";
const char reply[] = "ok";

__attribute__((noinline)) void count(int n)
{
    total = n;
}

__attribute__((aligned(4), noinline)) int sum(const int* values, int n)
{
    int s = 0;
    for (int i = 0; i < n; i++)
        s += values[i];
    return s;
}
