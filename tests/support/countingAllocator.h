#pragma once

// Counts the process's heap allocations while counting is on. A test program
// that links tests/support/countingAllocator.cpp replaces the global
// allocation functions with counting ones; link it into a program of its own.

namespace k1test
{
// Starts a new count from zero; with enabled false the count stays at zero
// (for warm-up blocks that may size their lists).
void startAllocationCounting(bool enabled = true);
void stopAllocationCounting();
// Allocations counted since the last start.
long countedAllocations();
} // namespace k1test
