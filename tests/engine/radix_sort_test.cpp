// The radix sort against std::sort: the same numbers in the same order and
// the same records, for sizes about the point where comparisons take over
// and numbers that share their high bytes, their low bytes, or all.
#include "radix_sort.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <random>
#include <utility>
#include <vector>

namespace {

struct Record {
  std::uint64_t number;
  std::uint32_t payload;
};

TEST(RadixSort, OrdersAsComparisonsDoAndLosesNoRecord) {
  std::mt19937_64 random(5);
  const std::size_t sizes[] = {0, 1, 2, parasort::detail::radixSortMinimum - 1, parasort::detail::radixSortMinimum,
                               parasort::detail::radixSortMinimum + 1, 3000, 70000};
  // Numbers of every shape the sort keys give: random; sharing the first
  // bytes (a common script); few distinct ones; all equal.
  const std::function<std::uint64_t()> shapes[] = {
      [&] { return random(); },
      [&] { return 0x2A32000000000000ULL | (random() >> 24); },
      [&] { return (random() % 7) << 40 | (random() % 3); },
      [&] { return std::uint64_t{42}; },
      [&] { return random() % 300 << 8; },
  };
  for (const std::size_t size : sizes) {
    for (const auto& shape : shapes) {
      std::vector<Record> records(size);
      for (std::uint32_t index = 0; index < size; ++index) records[index] = {shape(), index};
      auto expected = records;
      const auto byNumberThenPayload = [](const Record& a, const Record& b) {
        return std::pair(a.number, a.payload) < std::pair(b.number, b.payload);
      };
      std::sort(expected.begin(), expected.end(), byNumberThenPayload);

      parasort::detail::radixSort(records.begin(), records.end(), [](const Record& r) { return r.number; });
      ASSERT_TRUE(std::is_sorted(records.begin(), records.end(),
                                 [](const Record& a, const Record& b) { return a.number < b.number; }))
          << "size " << size;
      // Equal numbers come in any order: the same records once each is put
      // in order among them.
      std::sort(records.begin(), records.end(), byNumberThenPayload);
      const auto same = [](const Record& a, const Record& b) { return a.number == b.number && a.payload == b.payload; };
      ASSERT_TRUE(std::equal(records.begin(), records.end(), expected.begin(), expected.end(), same))
          << "size " << size;
    }
  }
}

}  // namespace
