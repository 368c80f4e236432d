/* Stepped through by source lines in the tests: a loop that calls a function, which calls
   the support routines' multiplication, built without lines. */
static int square(int x)
{
    int result = x * x;
    return result;
}

int total;

int program(void* output)
{
    (void)output;
    total = 0;
    for (int i = 1; i <= 3; i++)
        total += square(i);
    return total;
}
