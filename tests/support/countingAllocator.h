#pragma once

// Counts the process's heap allocations while counting is on. A test program
// that links tests/support/countingAllocator.cpp replaces the global
// allocation functions with counting ones; link it into a program of its own.

namespace k1test
{
// Starts a new count from zero; with enabled false the count stays at zero
// (for warm-up blocks that may size their lists). With markedThreadsOnly
// only the threads that called markThreadForCounting() are counted.
void startAllocationCounting(bool enabled = true, bool markedThreadsOnly = false);
// The calling thread is counted when counting is limited to marked threads.
void markThreadForCounting();
void stopAllocationCounting();
// Allocations counted since the last start.
long countedAllocations();
} // namespace k1test
