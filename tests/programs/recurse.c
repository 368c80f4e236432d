/* Recursion: Ackermann's function, naive Fibonacci, the towers of Hanoi, every permutation
 * of seven items by Heap's method, and the eight queens by backtracking. */
#include "output.h"

static uint32_t Ackermann(uint32_t m, uint32_t n)
{
    if (m == 0)
        return n + 1;
    if (n == 0)
        return Ackermann(m - 1, 1);
    return Ackermann(m - 1, Ackermann(m, n - 1));
}

static uint32_t Fibonacci(uint32_t n)
{
    return n < 2 ? n : Fibonacci(n - 1) + Fibonacci(n - 2);
}

static uint32_t moves;
static uint32_t trail;

static void Hanoi(int n, int from, int to, int via)
{
    if (n == 0)
        return;
    Hanoi(n - 1, from, via, to);
    ++moves;
    trail = (trail << 5 | trail >> 27) ^ (uint32_t)(from * 3 + to);
    Hanoi(n - 1, via, to, from);
}

static int items[7];
static uint32_t permutations;
static uint32_t signature;

static void Permute(int k)
{
    if (k == 1) {
        uint32_t v = 0;
        for (int i = 0; i < 7; ++i)
            v = v * 7 + (uint32_t)items[i];
        signature += v ^ permutations++;
        return;
    }
    Permute(k - 1);
    for (int i = 0; i < k - 1; ++i) {
        const int j = (k % 2 == 0) ? i : 0;
        const int t = items[j];
        items[j] = items[k - 1];
        items[k - 1] = t;
        Permute(k - 1);
    }
}

static int columns[8];
static uint32_t solutions;
static uint32_t firstSolution;

static int Safe(int row, int column)
{
    for (int r = 0; r < row; ++r) {
        const int c = columns[r];
        if (c == column || c - column == row - r || column - c == row - r)
            return 0;
    }
    return 1;
}

static void Queens(int row)
{
    if (row == 8) {
        if (solutions++ == 0) {
            for (int r = 0; r < 8; ++r)
                firstSolution = firstSolution * 8 + (uint32_t)columns[r];
        }
        return;
    }
    for (int column = 0; column < 8; ++column) {
        if (Safe(row, column)) {
            columns[row] = column;
            Queens(row + 1);
        }
    }
}

int program(unsigned char* out)
{
    Output o = {out, 0};
    Put32(&o, Ackermann(2, 3));
    Put32(&o, Ackermann(3, 3));
    Put32(&o, Fibonacci(20));
    moves = 0;
    trail = 0;
    Hanoi(10, 0, 2, 1);
    Put32(&o, moves);
    Put32(&o, trail);
    for (int i = 0; i < 7; ++i)
        items[i] = i;
    permutations = 0;
    signature = 0;
    Permute(7);
    Put32(&o, permutations);
    Put32(&o, signature);
    for (int i = 0; i < 7; ++i)
        Put8(&o, (uint32_t)items[i]);
    solutions = 0;
    firstSolution = 0;
    Queens(0);
    Put32(&o, solutions);
    Put32(&o, firstSolution);
    return o.length;
}
