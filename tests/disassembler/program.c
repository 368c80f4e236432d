/* A small freestanding program whose compiled text section the disassembler walks
   alongside objdump: loops, calls, arithmetic on every integer width, structures and
   pointer walks give the code generator reason to use most addressing modes. */

struct Node {
    struct Node* next;
    short key;
    unsigned char flags;
    long value;
};

static unsigned long table[64];
unsigned short checksum;
volatile unsigned char* const port = (volatile unsigned char*)0xFFB500;

static unsigned long Mix(unsigned long a, unsigned long b)
{
    a ^= b << 7;
    a += (a >> 3) | (b << 29);
    return a * 33u;
}

unsigned long Hash(const char* text)
{
    unsigned long h = 5381;
    while (*text)
        h = Mix(h, (unsigned char)*text++);
    return h;
}

void Sort(short* values, int count)
{
    for (int i = 1; i < count; ++i) {
        short v = values[i];
        int j = i - 1;
        while (j >= 0 && values[j] > v) {
            values[j + 1] = values[j];
            --j;
        }
        values[j + 1] = v;
    }
}

struct Node* Find(struct Node* list, short key)
{
    for (; list; list = list->next) {
        if (list->key == key && !(list->flags & 0x80))
            return list;
    }
    return 0;
}

long Sum(const struct Node* list)
{
    long total = 0;
    while (list) {
        total += list->value;
        list = list->next;
    }
    return total;
}

int Divide(int a, int b)
{
    return b ? a / b + a % b : 0;
}

unsigned short Scale(unsigned short a, unsigned short b)
{
    return (unsigned short)((unsigned long)a * b >> 8);
}

void Fill(unsigned char* dest, unsigned char value, unsigned int count)
{
    while (count--)
        *dest++ = value;
}

void Copy(unsigned long* dest, const unsigned long* src, int count)
{
    for (int i = 0; i < count; ++i)
        dest[i] = src[i];
}

int Classify(int c)
{
    if (c >= '0' && c <= '9')
        return 1;
    if ((c | 0x20) >= 'a' && (c | 0x20) <= 'z')
        return 2;
    return c == ' ' || c == '\t' ? 3 : 0;
}

void Blink(int times)
{
    for (int i = 0; i < times; ++i) {
        *port ^= 0xFF;
        for (volatile int d = 0; d < 1000; ++d)
            ;
    }
}

signed char Clamp(int v)
{
    return v > 127 ? 127 : v < -128 ? -128 : (signed char)v;
}

unsigned long Rotate(unsigned long v, int n)
{
    return (v << (n & 31)) | (v >> ((32 - n) & 31));
}

void Build(void)
{
    for (int i = 0; i < 64; ++i)
        table[i] = Mix((unsigned long)i, table[(i + 63) & 63]);
    unsigned short c = 0;
    for (int i = 0; i < 64; ++i)
        c += (unsigned short)(table[i] >> 16) ^ (unsigned short)table[i];
    checksum = c;
}

long long Wide(long long a, long long b)
{
    return a + b - (a >> 1);
}

int main(void)
{
    static short values[] = { 9, -3, 27, 0, 14, -200, 5 };
    static struct Node nodes[3] = { { &nodes[1], 1, 0, 10 }, { &nodes[2], 2, 0x80, 20 }, { 0, 3, 0, 30 } };
    Build();
    Sort(values, 7);
    struct Node* n = Find(nodes, 3);
    long s = Sum(nodes) + (n ? n->value : 0);
    Blink(Divide((int)s, 7) & 3);
    return Classify((int)Hash("Zendra")) + Clamp((int)s) + (int)Rotate((unsigned long)s, 5)
        + Scale(checksum, 3) + (int)Wide(s, s);
}
