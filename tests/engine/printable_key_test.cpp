// Printed keys sorted as plain bytes give the order of the keys they print:
// checked against the order itself on random keys, many of them prefixes
// of others.
#include "parasort/engine/keyed_records.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <string>
#include <vector>

namespace parasort {
namespace {

struct Record {
  std::string key;
  std::size_t position;
};

// The order that mergeKeyedRuns and the sort keep: keys as unsigned bytes
// (reversed when descending), ties by position.
bool precedes(const Record& a, const Record& b, bool descending) {
  const auto bytes = [](const std::string& key) {
    return std::basic_string<unsigned char>(key.begin(), key.end());
  };
  if (a.key != b.key) return descending ? bytes(a.key) > bytes(b.key) : bytes(a.key) < bytes(b.key);
  return a.position < b.position;
}

TEST(PrintableKey, SortsAsBytesIntoTheOrder) {
  std::mt19937 random(7);
  for (const ParagraphOrder order : {ParagraphOrder::ascending, ParagraphOrder::descending, ParagraphOrder::unique,
                                     ParagraphOrder::byLength}) {
    std::vector<Record> records;
    for (std::size_t position = 0; position < 400; ++position) {
      std::string key;
      // Few distinct bytes and short keys: prefixes and ties abound. Bytes
      // 1 and 255 are at the edges of what a key may hold.
      const std::size_t length = random() % 4;
      for (std::size_t index = 0; index < length; ++index)
        key += static_cast<char>(std::array<int, 4>{1, 2, 0x80, 0xFF}[random() % 4]);
      records.push_back({key, position * 1000003 % (1u << 20)});
    }
    const bool descending = order == ParagraphOrder::descending;
    std::vector<Record> expected = records;
    std::sort(expected.begin(), expected.end(), [&](const Record& a, const Record& b) { return precedes(a, b, descending); });
    std::vector<Record> printed = records;
    std::sort(printed.begin(), printed.end(), [&](const Record& a, const Record& b) {
      return printableKey(a.key, order, a.position) < printableKey(b.key, order, b.position);
    });
    for (std::size_t index = 0; index < records.size(); ++index)
      ASSERT_EQ(printed[index].position, expected[index].position) << "at " << index;
  }
}

TEST(PrintableKey, IsHexThenASpaceAndTheOffset) {
  EXPECT_EQ(printableKey("\x01\xAB", ParagraphOrder::ascending, 0x1F), "01ab 000000000000001f");
  EXPECT_EQ(printableKey("\x01\xAB", ParagraphOrder::descending, 0x1F), "fe54ff 000000000000001f");
}

}  // namespace
}  // namespace parasort
