#ifndef ZENDRA_TESTS_ALLOCATIONCOUNTER_H
#define ZENDRA_TESTS_ALLOCATIONCOUNTER_H

#include <atomic>
#include <cstddef>

// Counts the calls of the global operator new in a test executable that includes
// AllocationCounter.cpp, so that a test can check that a hot path allocates nothing.
namespace AllocationCounter {
extern std::atomic<std::size_t> count;
inline std::size_t Now() { return count.load(); }
}

#endif
