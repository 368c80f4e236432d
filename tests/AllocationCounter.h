#ifndef ZENDRA_TESTS_ALLOCATIONCOUNTER_H
#define ZENDRA_TESTS_ALLOCATIONCOUNTER_H

#include <atomic>
#include <cstddef>

// Counts the calls of the global operator new in a test executable that includes
// AllocationCounter.cpp, so that a test can check that a hot path allocates nothing; and
// keeps the largest block asked for since largest was last set to zero, so that a test can
// check that no machine was built.
namespace AllocationCounter {
extern std::atomic<std::size_t> count;
extern std::atomic<std::size_t> largest;
inline std::size_t Now() { return count.load(); }
}

#endif
