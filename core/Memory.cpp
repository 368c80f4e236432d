#include "core/Memory.h"

#include <cstring>

MemoryBuffer::MemoryBuffer(unsigned char* video)
    : mainBuffer(new unsigned char[videoStart]()), videoBuffer(video)
{
    std::memset(videoBuffer, 0, videoSize);
}

MemoryBuffer::~MemoryBuffer()
{
    delete[] mainBuffer;
}

Memory::Memory(unsigned char* video)
    : buffer(video), recording(false)
{
}

Memory::~Memory() = default;

void Memory::Write(const MemoryRecordList& list)
{
    // Last to first, so that the oldest contents of a location written twice win.
    for (int i = list.count() - 1; i >= 0; --i)
        Write(list.at(i));
}

void Memory::Write(const MemoryRecordItem& item)
{
    Write(item.address, item.value, item.size, false);
}
