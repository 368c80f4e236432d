#ifndef ZENDRA_CORE_MEMORY_H
#define ZENDRA_CORE_MEMORY_H

#include "core/ThreadSanitizer.h"

#include <cstddef>
#include <cstring>
#include <new>

// One recorded write: what the memory held at a masked address before it was overwritten.
class MemoryRecordItem
{
public:
    MemoryRecordItem(unsigned int address, unsigned int value, int size)
        : address(address), value(value), size(size) {}

    unsigned int address;
    unsigned int value;
    int size;
};

// The writes of one instruction, oldest first. Most instructions write once or not at all:
// up to inlineCount records live inside the list itself, so that an undo item holds them
// without a heap block of its own; more move to a heap block that the list keeps when it is
// emptied or assigned over, so that pooled lists stop allocating.
class MemoryRecordList
{
public:
    static constexpr int inlineCount = 1;

    MemoryRecordList() = default;
    MemoryRecordList(const MemoryRecordList& other) { *this = other; }
    MemoryRecordList& operator=(const MemoryRecordList& other)
    {
        if (this == &other)
            return *this;
        length = 0;
        if (other.length > inlineCount)
            Reserve(other.length);
        MemoryRecordItem* target = Items(other.length);
        const MemoryRecordItem* source = other.data();
        for (int i = 0; i < other.length; ++i)
            new (target + i) MemoryRecordItem(source[i]);
        length = other.length;
        return *this;
    }
    ~MemoryRecordList() { ::operator delete(heap); }

    void Add(unsigned int address, unsigned int value, int size)
    {
        if (length == inlineCount)
            Spill();
        else if (length > inlineCount && length == heapCapacity)
            Reserve(2 * heapCapacity);
        new (Items(length + 1) + length) MemoryRecordItem(address, value, size);
        ++length;
    }

    int count() const { return length; }
    bool isEmpty() const { return length == 0; }
    void clear() { length = 0; }
    const MemoryRecordItem& at(int i) const { return data()[i]; }
    const MemoryRecordItem& operator[](int i) const { return data()[i]; }
    const MemoryRecordItem* begin() const { return data(); }
    const MemoryRecordItem* end() const { return data() + length; }

private:
    // Where a list of count items keeps them: inside itself up to inlineCount, else the heap.
    MemoryRecordItem* Items(int count)
    {
        return count > inlineCount ? heap : reinterpret_cast<MemoryRecordItem*>(inlineItems);
    }
    const MemoryRecordItem* data() const
    {
        return length > inlineCount ? heap : reinterpret_cast<const MemoryRecordItem*>(inlineItems);
    }
    // A heap block for at least count items; the items already there are not kept.
    void Reserve(int count)
    {
        if (count <= heapCapacity)
            return;
        MemoryRecordItem* block = static_cast<MemoryRecordItem*>(::operator new(sizeof(MemoryRecordItem) * std::size_t(count)));
        if (length > inlineCount) {
            for (int i = 0; i < length; ++i)
                new (block + i) MemoryRecordItem(heap[i]);
        }
        ::operator delete(heap);
        heap = block;
        heapCapacity = count;
    }
    // The inline items move to the heap block, which the next item needs. The block is large
    // enough at once for MOVEM's sixteen registers, the longest list of writes but an
    // exception's, so that a pooled list grows once.
    void Spill()
    {
        Reserve(16);
        const MemoryRecordItem* inside = reinterpret_cast<const MemoryRecordItem*>(inlineItems);
        for (int i = 0; i < length; ++i)
            new (heap + i) MemoryRecordItem(inside[i]);
    }

    alignas(MemoryRecordItem) unsigned char inlineItems[inlineCount * sizeof(MemoryRecordItem)];
    int length = 0;
    int heapCapacity = 0;

public:
    // Two bytes that the list leaves to its owner, in the room that the heap pointer's
    // alignment leaves anyway: an undo item keeps its cycle stamp there. Neither copied nor
    // cleared with the records.
    unsigned short tag = 0;

private:
    MemoryRecordItem* heap = nullptr;
};

// The bytes behind the 24-bit address space: the main array, owned, and the video
// area, which belongs to the document's image.
class MemoryBuffer
{
public:
    static constexpr unsigned int videoStart = 0xFFB500;
    static constexpr unsigned int videoSize = 0x4B00;

    explicit MemoryBuffer(unsigned char* video);
    ~MemoryBuffer();
    MemoryBuffer(const MemoryBuffer&) = delete;
    MemoryBuffer& operator=(const MemoryBuffer&) = delete;

    // The byte behind a masked 24-bit address.
    unsigned char& At(unsigned int a) { return a < videoStart ? mainBuffer[a] : videoBuffer[a - videoStart]; }
    unsigned char At(unsigned int a) const { return a < videoStart ? mainBuffer[a] : videoBuffer[a - videoStart]; }

    unsigned char* mainBuffer;
    unsigned char* videoBuffer;
};

// The simulated 16 MiB address space, big-endian, with the video area at its top and a
// keyboard area that only forced writes may change.
class Memory
{
public:
    static constexpr unsigned int addressMask = 0xFFFFFF;
    static constexpr unsigned int keyboardStart = 0x000400;
    static constexpr unsigned int keyboardEnd = 0x0004FF;

    explicit Memory(unsigned char* video);
    virtual ~Memory();
    Memory(const Memory&) = delete;
    Memory& operator=(const Memory&) = delete;

    // Always inlined: with a constant size, an access inside the main array is a few
    // instructions.
    inline __attribute__((always_inline)) unsigned int Read(unsigned int address, int size) const;
    inline __attribute__((always_inline)) void Write(unsigned int address, unsigned int value, int size, bool force);
    // Read, for what the views show: they may read memory while a run writes it, and then
    // show it half-written, which ThreadSanitizer is told is allowed.
    unsigned int Peek(unsigned int address, int size) const
    {
        const ThreadSanitizer::Unchecked shown;
        return Read(address, size);
    }
    // Whether an access is aligned (a word or long at an even address) and lies wholly inside
    // the main array at an address that needs no mask: then ReadDirect and WriteDirect serve
    // it. One comparison: rotated right by a bit, an odd address lies above every even one.
    static bool Direct(unsigned int address, int size)
    {
        if (size == 8)
            return address < MemoryBuffer::videoStart;
        return ((address >> 1) | (address << 31)) <= (MemoryBuffer::videoStart - unsigned(size / 8)) / 2;
    }
    inline __attribute__((always_inline)) unsigned int ReadDirect(unsigned int address, int size) const
    {
        return ReadDirect(buffer.mainBuffer, address, size);
    }
    // The same from a main array that the caller keeps at hand.
    static inline __attribute__((always_inline)) unsigned int ReadDirect(const unsigned char* main, unsigned int address,
                                                                          int size);
    inline __attribute__((always_inline)) void WriteDirect(unsigned int address, unsigned int value, int size);
    // A word of the main array as the host reads it, its bytes in the host's order; and the
    // same conversion, either way, between that and the word's value. The threaded handlers
    // are found by the first, which saves the swap on the way to them.
    static unsigned int HostWord(const unsigned char* main, unsigned int address)
    {
        unsigned short v;
        std::memcpy(&v, main + address, sizeof v);
        return v;
    }
    static unsigned int SwapHostWord(unsigned int word) { return BigEndian(static_cast<unsigned short>(word)); }
    void Write(const MemoryRecordList& list);
    void Write(const MemoryRecordItem& item);

    // Recording sends the writes to list rather than to records until StopRecording: an undo
    // item takes its instruction's writes in place, with no copy.
    void RecordInto(MemoryRecordList* list)
    {
        target = list;
        recording = true;
    }
    // The next list of a run of recordings, with recording already on.
    void RecordNext(MemoryRecordList* list) { target = list; }
    void StopRecording()
    {
        recording = false;
        target = &records;
    }

    MemoryBuffer buffer;
    bool recording;
    MemoryRecordList records;

private:
    MemoryRecordList* target = &records;
    inline __attribute__((always_inline)) void Store(unsigned int a, unsigned int value, int size);
    // Big-endian words and longs of the main array, each as one host access.
    static unsigned int Load16(const unsigned char* p)
    {
        unsigned short v;
        std::memcpy(&v, p, sizeof v);
        return BigEndian(v);
    }
    static unsigned int Load32(const unsigned char* p)
    {
        unsigned int v;
        std::memcpy(&v, p, sizeof v);
        return BigEndian(v);
    }
    static void Store16(unsigned char* p, unsigned int value)
    {
        const unsigned short v = BigEndian(static_cast<unsigned short>(value));
        std::memcpy(p, &v, sizeof v);
    }
    static void Store32(unsigned char* p, unsigned int value)
    {
        const unsigned int v = BigEndian(value);
        std::memcpy(p, &v, sizeof v);
    }
#if __BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__
    static unsigned short BigEndian(unsigned short v) { return __builtin_bswap16(v); }
    static unsigned int BigEndian(unsigned int v) { return __builtin_bswap32(v); }
#else
    static unsigned short BigEndian(unsigned short v) { return v; }
    static unsigned int BigEndian(unsigned int v) { return v; }
#endif
};

// Read and Write are the emulator's hot path: inline, with a direct big-endian access
// whenever the operand lies wholly inside the main array.
inline unsigned int Memory::Read(unsigned int address, int size) const
{
    const unsigned int a = address & addressMask;
    const unsigned char* m = buffer.mainBuffer;
    switch (size) {
    case 8:
        return buffer.At(a);
    case 16:
        if (a + 1 < MemoryBuffer::videoStart)
            return Load16(m + a);
        return (unsigned(buffer.At(a)) << 8) | buffer.At((a + 1) & addressMask);
    case 32:
        if (a + 3 < MemoryBuffer::videoStart)
            return Load32(m + a);
        return (unsigned(buffer.At(a)) << 24) | (unsigned(buffer.At((a + 1) & addressMask)) << 16)
            | (unsigned(buffer.At((a + 2) & addressMask)) << 8) | buffer.At((a + 3) & addressMask);
    default:
        return 0;
    }
}

inline void Memory::Write(unsigned int address, unsigned int value, int size, bool force)
{
    const unsigned int a = address & addressMask;
    if (!force && a >= keyboardStart && a <= keyboardEnd)
        return;
    if (recording)
        target->Add(a, Read(a, size), size);
    Store(a, value, size);
}

inline unsigned int Memory::ReadDirect(const unsigned char* main, unsigned int address, int size)
{
    const unsigned char* m = main + address;
    switch (size) {
    case 8:
        return *m;
    case 16:
        return Load16(m);
    default:
        return Load32(m);
    }
}

inline void Memory::WriteDirect(unsigned int address, unsigned int value, int size)
{
    if (address - keyboardStart <= keyboardEnd - keyboardStart)
        return;
    if (recording)
        target->Add(address, ReadDirect(address, size), size);
    unsigned char* m = buffer.mainBuffer + address;
    switch (size) {
    case 8:
        *m = static_cast<unsigned char>(value);
        break;
    case 16:
        Store16(m, value);
        break;
    default:
        Store32(m, value);
        break;
    }
}

inline void Memory::Store(unsigned int a, unsigned int value, int size)
{
    unsigned char* m = buffer.mainBuffer;
    switch (size) {
    case 8:
        buffer.At(a) = static_cast<unsigned char>(value);
        break;
    case 16:
        if (a + 1 < MemoryBuffer::videoStart) {
            Store16(m + a, value);
        } else {
            buffer.At(a) = static_cast<unsigned char>(value >> 8);
            buffer.At((a + 1) & addressMask) = static_cast<unsigned char>(value);
        }
        break;
    case 32:
        if (a + 3 < MemoryBuffer::videoStart) {
            Store32(m + a, value);
        } else {
            for (unsigned int i = 0; i < 4; ++i)
                buffer.At((a + i) & addressMask) = static_cast<unsigned char>(value >> (24 - 8 * i));
        }
        break;
    default:
        break;
    }
}

#endif
