#include "parasort/platform/memory_facts.h"

#include <sys/resource.h>
#include <unistd.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <algorithm>
#include <fstream>
#include <string>

namespace parasort::platform {
namespace {

// MemAvailable from /proc/meminfo, in bytes; nothing where it is not told.
std::optional<std::uint64_t> availableMemory() {
  std::ifstream meminfo("/proc/meminfo");
  std::string name;
  std::uint64_t kibibytes = 0;
  std::string unit;
  while (meminfo >> name >> kibibytes >> unit)
    if (name == "MemAvailable:") return kibibytes * 1024;
  return std::nullopt;
}

std::optional<std::uint64_t> limitOf(int resource) {
  struct rlimit limit {};
  if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
  return static_cast<std::uint64_t>(limit.rlim_cur);
}

}  // namespace

MemoryFacts currentMemoryFacts() {
  MemoryFacts facts;
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) facts.physical = static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
  facts.available = availableMemory().value_or(facts.physical / 2);
  const auto addressSpace = limitOf(RLIMIT_AS);
  const auto data = limitOf(RLIMIT_DATA);
  if (addressSpace || data)
    facts.addressSpaceLimit = std::min(addressSpace.value_or(UINT64_MAX), data.value_or(UINT64_MAX));
  return facts;
}

std::uint64_t defaultSortBudget(const MemoryFacts& facts) {
  const std::uint64_t usable = std::max(facts.available, facts.physical / 8);
  std::uint64_t budget = facts.physical / 4 * 3;
  if (facts.addressSpaceLimit) budget = std::min(budget, *facts.addressSpaceLimit);
  budget = std::min(budget / 2, usable);
  return std::max<std::uint64_t>(budget, std::uint64_t{1} << 20);
}

void shareOneHeapUnderAddressLimit(const MemoryFacts& facts) {
#if defined(__GLIBC__)
  if (facts.addressSpaceLimit) ::mallopt(M_ARENA_MAX, 1);
#else
  (void)facts;
#endif
}

}  // namespace parasort::platform
