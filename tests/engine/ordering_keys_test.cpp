// The kinds of key (numbers, months, versions...) as golden data
// (ordering_keys.golden): each row's paragraphs must come out in its order
// from the order given reversed and from it rotated, by both ways of
// ordering, and a check must find the row in order.
#include "parasort/engine/arrangement.h"
#include "parasort/engine/ordering_key.h"

#include <gtest/gtest.h>

#include <unicode/unistr.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace parasort;

struct Row {
  std::string letters;
  std::string locale;
  std::vector<std::string> paragraphs;  // in their order
};

std::vector<Row> goldenRows() {
  std::ifstream file(PARASORT_ORDERING_KEYS_GOLDEN);
  std::vector<Row> rows;
  for (std::string line; std::getline(file, line);) {
    if (line.empty() || line.front() == '#') continue;
    std::vector<std::string> fields;
    for (std::size_t start = 0, bar = 0; bar != std::string::npos; start = bar + 1) {
      bar = line.find('|', start);
      std::string field;
      icu::UnicodeString::fromUTF8(line.substr(start, bar - start)).unescape().toUTF8String(field);
      fields.push_back(field);
    }
    rows.push_back({fields[0], fields[1], {fields.begin() + 2, fields.end()}});
  }
  return rows;
}

std::string joined(const std::vector<std::string>& paragraphs) {
  std::string text;
  for (const std::string& paragraph : paragraphs) text += paragraph + "\n";
  return text;
}

TEST(OrderingKeys, GoldenRowsComeOutInTheirOrder) {
  const std::vector<Row> rows = goldenRows();
  ASSERT_GE(rows.size(), 15u);
  for (const Row& row : rows) {
    SCOPED_TRACE(testing::Message() << "-k1" << row.letters << " in '" << row.locale << "': " << joined(row.paragraphs));
    const auto key = keyOfSettings("1" + row.letters, "", false);
    ASSERT_TRUE(std::holds_alternative<OrderingKey>(key));
    const ParagraphCollator collator(row.locale);
    const std::string expected = joined(row.paragraphs);
    std::vector<std::string> reversed(row.paragraphs.rbegin(), row.paragraphs.rend());
    std::vector<std::string> rotated = row.paragraphs;
    std::rotate(rotated.begin(), rotated.begin() + static_cast<std::ptrdiff_t>(rotated.size() / 2), rotated.end());
    for (const auto strategy : {OrderingStrategy::sortKeys, OrderingStrategy::comparison}) {
      const ArrangeOptions options{.strategy = strategy, .keys = {std::get<OrderingKey>(key)}};
      for (const auto* input : {&reversed, &rotated})
        EXPECT_EQ(arrangeParagraphs(joined(*input), ParagraphOrder::ascending, collator, options).joined(), expected);
      EXPECT_EQ(firstDisorder(expected, ParagraphOrder::ascending, collator, options), std::nullopt);
    }
  }
}

}  // namespace
