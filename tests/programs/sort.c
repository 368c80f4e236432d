/* Sorting: the same pseudo-random numbers through four algorithms, and words by their text. */
#include "output.h"

#define COUNT 300

static uint32_t seed;
static int32_t source[COUNT];
static int32_t work[COUNT];
static int32_t scratch[COUNT];

static uint32_t Random(void)
{
    seed = seed * 1103515245u + 12345u;
    return (seed >> 8) & 0xffffffu;
}

static uint32_t Checksum(const int32_t* a, int n)
{
    uint32_t h = 5381;
    for (int i = 0; i < n; ++i)
        h = h * 33u + (uint32_t)a[i];
    return h;
}

static void Restore(void)
{
    for (int i = 0; i < COUNT; ++i)
        work[i] = source[i];
}

static void InsertionSort(int32_t* a, int n)
{
    for (int i = 1; i < n; ++i) {
        const int32_t v = a[i];
        int j = i - 1;
        while (j >= 0 && a[j] > v) {
            a[j + 1] = a[j];
            --j;
        }
        a[j + 1] = v;
    }
}

static void QuickSort(int32_t* a, int low, int high)
{
    while (low < high) {
        const int32_t pivot = a[(low + high) / 2];
        int i = low, j = high;
        while (i <= j) {
            while (a[i] < pivot)
                ++i;
            while (a[j] > pivot)
                --j;
            if (i <= j) {
                const int32_t t = a[i];
                a[i] = a[j];
                a[j] = t;
                ++i;
                --j;
            }
        }
        if (j - low < high - i) {
            QuickSort(a, low, j);
            low = i;
        } else {
            QuickSort(a, i, high);
            high = j;
        }
    }
}

static void SiftDown(int32_t* a, int root, int n)
{
    for (;;) {
        int child = 2 * root + 1;
        if (child >= n)
            return;
        if (child + 1 < n && a[child + 1] > a[child])
            ++child;
        if (a[root] >= a[child])
            return;
        const int32_t t = a[root];
        a[root] = a[child];
        a[child] = t;
        root = child;
    }
}

static void HeapSort(int32_t* a, int n)
{
    for (int i = n / 2 - 1; i >= 0; --i)
        SiftDown(a, i, n);
    for (int end = n - 1; end > 0; --end) {
        const int32_t t = a[0];
        a[0] = a[end];
        a[end] = t;
        SiftDown(a, 0, end);
    }
}

static void MergeSort(int32_t* a, int32_t* tmp, int n)
{
    if (n < 2)
        return;
    const int half = n / 2;
    MergeSort(a, tmp, half);
    MergeSort(a + half, tmp, n - half);
    int i = 0, j = half, k = 0;
    while (i < half && j < n)
        tmp[k++] = a[j] < a[i] ? a[j++] : a[i++];
    while (i < half)
        tmp[k++] = a[i++];
    while (j < n)
        tmp[k++] = a[j++];
    for (k = 0; k < n; ++k)
        a[k] = tmp[k];
}

static int Compare(const char* x, const char* y)
{
    while (*x && *x == *y) {
        ++x;
        ++y;
    }
    return (unsigned char)*x - (unsigned char)*y;
}

static const char* const words[] = {
    "pamplemousse", "abricot", "zeste", "banane", "cerise", "ananas", "kiwi", "mangue",
    "framboise", "groseille", "myrtille", "figue", "datte", "citron", "orange", "poire",
    "pomme", "prune", "raisin", "melon", "abricots", "bananes", "coing", "nectarine",
};

int program(unsigned char* out)
{
    Output o = {out, 0};
    seed = 2024;
    for (int i = 0; i < COUNT; ++i)
        source[i] = (int32_t)(Random() % 100000u) - 50000;

    Restore();
    QuickSort(work, 0, COUNT - 1);
    for (int i = 0; i < COUNT; ++i)
        Put32(&o, (uint32_t)work[i]);
    Put32(&o, Checksum(work, COUNT));

    Restore();
    InsertionSort(work, COUNT);
    Put32(&o, Checksum(work, COUNT));
    Restore();
    HeapSort(work, COUNT);
    Put32(&o, Checksum(work, COUNT));
    Restore();
    MergeSort(work, scratch, COUNT);
    Put32(&o, Checksum(work, COUNT));

    const char* sorted[sizeof words / sizeof words[0]];
    const int n = (int)(sizeof words / sizeof words[0]);
    for (int i = 0; i < n; ++i)
        sorted[i] = words[i];
    for (int i = 1; i < n; ++i) {
        const char* w = sorted[i];
        int j = i - 1;
        while (j >= 0 && Compare(sorted[j], w) > 0) {
            sorted[j + 1] = sorted[j];
            --j;
        }
        sorted[j + 1] = w;
    }
    for (int i = 0; i < n; ++i) {
        PutText(&o, sorted[i]);
        Put8(&o, ' ');
    }
    return o.length;
}
