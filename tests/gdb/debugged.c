/* Debugged from GDB in the tests: a global that changes, a call two levels deep and a loop
   that fills an array, compiled without optimisation so that every variable has its place. */
int counter;
unsigned char history[8];

static int add(int a, int b)
{
    int sum = a + b;
    return sum;
}

static int twice(int x)
{
    int first = x;
    int doubled = add(first, x);
    return doubled;
}

int program(void* output)
{
    (void)output;
    int local = 5;
    counter = 1;
    local = twice(local);
    counter = local + 2;
    for (int i = 0; i < 8; i++)
        history[i] = (unsigned char)(i * counter);
    counter = counter * 3;
    return counter;
}
