#include "tests/support/countingAllocator.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace
{
std::atomic<bool> g_counting{false};
std::atomic<bool> g_markedOnly{false};
std::atomic<long> g_allocations{0};
thread_local bool t_marked = false;

void count()
{
    if (g_counting.load(std::memory_order_relaxed) && (!g_markedOnly.load(std::memory_order_relaxed) || t_marked))
        g_allocations.fetch_add(1, std::memory_order_relaxed);
}

void* countedAllocate(std::size_t size)
{
    count();
    if (void* p = std::malloc(size == 0 ? 1 : size))
        return p;
    throw std::bad_alloc();
}
} // namespace

namespace k1test
{
void startAllocationCounting(bool enabled, bool markedThreadsOnly)
{
    g_allocations = 0;
    g_markedOnly = markedThreadsOnly;
    g_counting = enabled;
}

void markThreadForCounting() { t_marked = true; }

void stopAllocationCounting() { g_counting = false; }

long countedAllocations() { return g_allocations.load(); }
} // namespace k1test

void* operator new(std::size_t size) { return countedAllocate(size); }
void* operator new[](std::size_t size) { return countedAllocate(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    count();
    return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
