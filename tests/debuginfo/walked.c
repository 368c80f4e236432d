/* Walked by the call stack's tests: a recursion stopped three levels deep on the line marked
   below, with a structure passed by value and by pointer, a linked list through pointers, an
   array of two dimensions, a bit field, an enumeration, a string and a static. */
typedef unsigned char byte;
enum colour { RED, GREEN = 5, BLUE };
struct point { short x; short y; };
struct node { int value; struct node* next; };
struct flags { unsigned low : 3; int mid : 5; unsigned high : 8; };

int total;
static int visits;
struct node chain[4];
int grid[2][3] = {{1, 2, 3}, {4, 5, -6}};
enum colour paint = BLUE;
const char* greeting = "salut";
_Bool ready = 1;
struct flags bits = {5, -7, 200};
byte letter = 'Z';

int walk(int depth, struct node* at, struct point where)
{
    int doubled = depth * 2;
    visits++;
    if (depth == 0) {
        int sum = at->value + where.x + doubled;
        total = sum; /* stop */
        return sum;
    }
    struct point moved = {(short)(where.x + 1), (short)(where.y - 1)};
    return walk(depth - 1, at->next, moved) + doubled;
}

int main(void)
{
    struct point start = {3, -4};
    for (int i = 0; i < 4; i++) {
        chain[i].value = (i + 1) * 10;
        chain[i].next = i < 3 ? &chain[i + 1] : 0;
    }
    return walk(3, chain, start) + letter + paint + ready + bits.mid + grid[1][2] + greeting[0];
}
