#include "AllocationCounter.h"

#include <cstdlib>
#include <new>

std::atomic<std::size_t> AllocationCounter::count{0};
std::atomic<std::size_t> AllocationCounter::largest{0};

void* operator new(std::size_t size)
{
    ++AllocationCounter::count;
    std::size_t seen = AllocationCounter::largest.load();
    while (size > seen && !AllocationCounter::largest.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

void* operator new[](std::size_t size)
{
    return operator new(size);
}

void operator delete(void* p) noexcept
{
    std::free(p);
}

void operator delete[](void* p) noexcept
{
    std::free(p);
}

void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

void operator delete[](void* p, std::size_t) noexcept
{
    std::free(p);
}

// The library's nothrow allocations (a stable sort's buffer) come back through the
// replaced delete: they are taken from the same malloc.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept
{
    return operator new(size, tag);
}

void operator delete(void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}

void operator delete[](void* p, const std::nothrow_t&) noexcept
{
    std::free(p);
}
