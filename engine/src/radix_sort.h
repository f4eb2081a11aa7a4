// Sorting records by a 64-bit number they hold, a byte at a time from the
// most significant (in place, as the buckets are filled by swapping): for
// large runs of records several times faster than comparing, since every
// pass touches each record once and knows where it goes. Small buckets are
// left to std::sort. Records with equal numbers come in no given order.
// Internal to the engine.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace parasort::detail {

// Runs shorter than this are sorted by comparisons.
inline constexpr std::size_t radixSortMinimum = 256;

// Sorts [first, last) by `numberOf(record)`, ascending.
template <class Iterator, class NumberOf>
void radixSort(Iterator first, Iterator last, NumberOf numberOf, int shift = 56) {
  const auto byNumber = [&](const auto& a, const auto& b) { return numberOf(a) < numberOf(b); };
  const auto size = static_cast<std::size_t>(last - first);
  if (size < radixSortMinimum) {
    std::sort(first, last, byNumber);
    return;
  }
  const auto bucketOf = [&](const auto& record) {
    return static_cast<std::size_t>((numberOf(record) >> shift) & 0xFF);
  };
  std::array<std::size_t, 256> count{};
  for (Iterator record = first; record != last; ++record) ++count[bucketOf(*record)];
  std::array<std::size_t, 256> next{};
  std::array<std::size_t, 256> end{};
  std::size_t sum = 0;
  for (std::size_t bucket = 0; bucket < 256; ++bucket) {
    next[bucket] = sum;
    sum += count[bucket];
    end[bucket] = sum;
  }
  // Each record taken out of place is carried to its bucket, and the one
  // found there on, until one belongs where the first was taken from.
  for (std::size_t bucket = 0; bucket < 256; ++bucket) {
    while (next[bucket] < end[bucket]) {
      auto carried = std::move(first[static_cast<std::ptrdiff_t>(next[bucket])]);
      for (std::size_t target = bucketOf(carried); target != bucket; target = bucketOf(carried))
        std::swap(carried, first[static_cast<std::ptrdiff_t>(next[target]++)]);
      first[static_cast<std::ptrdiff_t>(next[bucket]++)] = std::move(carried);
    }
  }
  if (shift == 0) return;
  std::size_t start = 0;
  for (std::size_t bucket = 0; bucket < 256; ++bucket) {
    if (count[bucket] > 1)
      radixSort(first + static_cast<std::ptrdiff_t>(start), first + static_cast<std::ptrdiff_t>(start + count[bucket]),
                numberOf, shift - 8);
    start += count[bucket];
  }
}

}  // namespace parasort::detail
