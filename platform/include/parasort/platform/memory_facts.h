// What the system says about memory: how much there is, how much is free,
// and what the process may take. Read once, for the filter's budget.
#pragma once

#include <cstdint>
#include <optional>

namespace parasort::platform {

struct MemoryFacts {
  std::uint64_t physical = 0;   // installed memory, in bytes
  std::uint64_t available = 0;  // what can be had without swapping (MemAvailable)
  // The address-space and data-size limits (ulimit -v, ulimit -d), the
  // smaller of the two; absent when unlimited.
  std::optional<std::uint64_t> addressSpaceLimit;
};

MemoryFacts currentMemoryFacts();

// The budget a sort takes when it is not given one, in GNU sort's spirit:
// the available memory (but at least an eighth of the physical memory), and
// no more than half of three quarters of the physical memory, nor half of
// the address-space limit. At least 1 MiB.
std::uint64_t defaultSortBudget(const MemoryFacts& facts);

// Under an address-space limit, keeps the C library from giving threads
// heaps of their own: each reserves tens of megabytes of address space
// whether it is used or not, and how many appear depends on how the threads
// happen to meet, so a sort that fits would fail now and then. Where there
// is no such choice, nothing.
void shareOneHeapUnderAddressLimit(const MemoryFacts& facts);

}  // namespace parasort::platform
