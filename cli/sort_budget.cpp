#include "sort_budget.h"

#include "parasort/engine/arrangement.h"

#include <algorithm>

namespace parasort::cli {
namespace {

constexpr std::uint64_t mebibyte = std::uint64_t{1} << 20;
// The program, ICU's data and the threads' stacks, in address space.
constexpr std::uint64_t fixedAddressSpace = 96 * mebibyte;
constexpr std::uint64_t stackPerThread = 8 * mebibyte;

}  // namespace

SortBudget sortBudget(std::optional<std::uint64_t> requested, const platform::MemoryFacts& facts, unsigned threads) {
  SortBudget budget;
  budget.bytes = requested.value_or(platform::defaultSortBudget(facts));
  std::uint64_t text = budget.bytes / 3;
  if (facts.addressSpaceLimit) {
    const std::uint64_t fixed = fixedAddressSpace + stackPerThread * threads;
    const std::uint64_t room = *facts.addressSpaceLimit > fixed ? *facts.addressSpaceLimit - fixed : 0;
    text = std::min(text, room / 7);
  }
  // A piece is ordered by its sort keys only below their limit; a larger
  // text in memory would be ordered by comparisons, many times slower than
  // its runs.
  budget.textPerRun = static_cast<std::size_t>(std::clamp<std::uint64_t>(text, 1, sortKeyTextLimit - 1));
  // Half the budget is for the runs' read buffers while merging; a merge
  // reads each run in blocks of 64 KiB or more.
  budget.mergeWidth = static_cast<std::size_t>(std::clamp<std::uint64_t>(budget.bytes / (128 * 1024), 2, 128));
  budget.readBufferPerRun =
      static_cast<std::size_t>(std::clamp<std::uint64_t>(budget.bytes / 2 / budget.mergeWidth, 4096, 4 * mebibyte));
  return budget;
}

}  // namespace parasort::cli
