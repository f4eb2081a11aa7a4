// How much the filter may hold in memory, and so how large a piece of the
// input it sorts at once.
#pragma once

#include "parasort/platform/memory_facts.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace parasort::cli {

struct SortBudget {
  std::uint64_t bytes = 0;           // the memory the sort may take
  std::size_t textPerRun = 0;        // input bytes sorted at once: a run
  std::size_t mergeWidth = 2;        // runs merged at once
  std::size_t readBufferPerRun = 0;  // each run's read buffer while merging
};

// The budget for -S `requested` (absent: the default of `facts`), with
// `threads` threads. Sorting a piece takes about three times its size (the
// text, its keys, their order); under an address-space limit the
// reservations count, about seven times the piece, besides the program.
// A piece stays below the text size that sort keys can order.
SortBudget sortBudget(std::optional<std::uint64_t> requested, const platform::MemoryFacts& facts, unsigned threads);

}  // namespace parasort::cli
