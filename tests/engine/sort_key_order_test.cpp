// The sort-key ordering must give exactly what the comparison sort gives,
// byte for byte, however the text is cut into parts.
#include "sort_key_order.h"

#include "parasort/engine/arrangement.h"

#include <gtest/gtest.h>
#include <unicode/unistr.h>

#include <random>
#include <string>

namespace {

using namespace parasort;

// Pieces chosen to collide under the collation: case, width, composed and
// decomposed forms, numbers with leading zeros, ignorable characters,
// supplementary characters, and every terminator kind.
const std::u16string_view pieces[] = {
    u"a",  u"A",  u"b",      u"\u00E9", u"e\u0301", u"e",      u"1",      u"01",   u"10", u"9",
    u" ",  u"-",  u"\u00AD", u"\uFF71", u"\u30A2",  u"\U0001F600", u"\u00F6", u"z",  u"\u2028",
    std::u16string_view(u"\0", 1)};
const std::u16string_view terminators[] = {u"\n", u"\r", u"\r\n", u"\u2029"};

std::u16string randomText(std::mt19937& random, bool mixedTerminators) {
  std::u16string text;
  const std::size_t lines = random() % 60;
  for (std::size_t line = 0; line < lines; ++line) {
    const std::size_t length = random() % 5;
    for (std::size_t piece = 0; piece < length; ++piece) text += pieces[random() % std::size(pieces)];
    text += terminators[mixedTerminators ? random() % std::size(terminators) : 0];
  }
  if (random() % 2 == 0 && !text.empty()) text.pop_back();  // sometimes no final terminator
  return text;
}

std::string toUtf8(const std::u16string& text) {
  std::string utf8;
  icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUTF8String(utf8);
  return utf8;
}

template <class CharT>
std::basic_string<CharT> bySortKeys(std::basic_string_view<CharT> text, ParagraphOrder order,
                                    const ParagraphCollator& collator, const detail::PartPlan& plan) {
  return ArrangedParagraphs<CharT>(text, detail::orderBySortKeys(text, order, *collator.get(), plan)).joined();
}

template <class CharT>
std::basic_string<CharT> byComparison(std::basic_string_view<CharT> text, ParagraphOrder order,
                                      const ParagraphCollator& collator) {
  return arrangeParagraphs(text, order, collator, {.strategy = OrderingStrategy::comparison}).joined();
}

const detail::PartPlan plans[] = {
    {.threadCount = 1},
    {.threadCount = 2, .minimumUnitsPerPart = 1},
    {.threadCount = 3, .minimumUnitsPerPart = 1, .maximumUnitsPerPart = 16},
};

TEST(SortKeyOrder, MatchesTheComparisonSortOnRandomTexts) {
  const ParagraphCollator collators[] = {ParagraphCollator(""), ParagraphCollator("sv_SE")};
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    const std::u16string text16 = randomText(random, round % 3 == 0);
    const std::string text8 = toUtf8(text16);
    const auto& collator = collators[round % 2];
    for (auto order : {ParagraphOrder::ascending, ParagraphOrder::descending, ParagraphOrder::unique}) {
      // Texts of fewer than two paragraphs never reach the key ordering.
      if (arrangeParagraphs(std::u16string_view(text16), order, collator).keepsOriginal()) continue;
      const auto expected16 = byComparison<char16_t>(text16, order, collator);
      const auto expected8 = byComparison<char>(text8, order, collator);
      EXPECT_EQ(toUtf8(expected16), expected8) << "round " << round;
      for (const auto& plan : plans) {
        ASSERT_EQ(bySortKeys<char16_t>(text16, order, collator, plan), expected16)
            << "round " << round << ", order " << static_cast<int>(order) << ", threads " << plan.threadCount;
        ASSERT_EQ(bySortKeys<char>(text8, order, collator, plan), expected8)
            << "round " << round << ", order " << static_cast<int>(order) << ", threads " << plan.threadCount;
      }
    }
  }
}

TEST(SortKeyOrder, KeepsInputOrderAmongEqualParagraphsAcrossParts) {
  // Forty spellings of one paragraph in many small parts: the merge must
  // still hand them out in input order, and unique must keep the first.
  std::u16string text;
  for (int copy = 0; copy < 40; ++copy) text += (copy % 2 ? u"Same" : u"same") + std::u16string(copy % 3, u'\u00AD') + u"\n";
  text += u"b\na\n";
  const ParagraphCollator root("");
  const detail::PartPlan manyParts{.threadCount = 4, .minimumUnitsPerPart = 1, .maximumUnitsPerPart = 8};
  for (auto order : {ParagraphOrder::ascending, ParagraphOrder::descending, ParagraphOrder::unique})
    EXPECT_EQ(bySortKeys<char16_t>(text, order, root, manyParts), byComparison<char16_t>(text, order, root));
  EXPECT_EQ(bySortKeys<char16_t>(text, ParagraphOrder::unique, root, manyParts), u"a\nb\nsame\n");
}

TEST(SortKeyOrder, LongParagraphsAndLongKeys) {
  // Keys far longer than the inline prefix, differing only at the end.
  const std::u16string head(5000, u'x');
  const std::u16string text = head + u"b\n" + head + u"A\n" + head + u"a\n" + head + u"item10\n" + head + u"item9";
  const ParagraphCollator root("");
  for (auto order : {ParagraphOrder::ascending, ParagraphOrder::descending, ParagraphOrder::unique})
    EXPECT_EQ(bySortKeys<char16_t>(text, order, root, plans[2]), byComparison<char16_t>(text, order, root));
}

}  // namespace
