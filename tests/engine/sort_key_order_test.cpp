// The sort-key ordering must give exactly what the comparison sort gives,
// byte for byte, however the text is cut into parts; and both must be the
// order of the paragraphs' sort keys, in every locale, whichever encoding.
#include "sort_key_order.h"

#include "paragraph_properties.h"

#include "parasort/engine/arrangement.h"
#include "parasort/engine/transforms.h"

#include <gtest/gtest.h>
#include <unicode/unistr.h>

#include <random>
#include <string>
#include <vector>

namespace {

using namespace parasort;

// Pieces chosen to collide under the collation: case, width, composed and
// decomposed forms, numbers with leading zeros, digits of other scripts
// (full-width, Arabic-Indic, Devanagari) that go on an ASCII digit run,
// ignorable characters, supplementary characters, and every terminator kind.
const std::u16string_view pieces[] = {
    u"a",      u"A",      u"b",      u"\u00E9", u"e\u0301", u"e",      u"1",          u"01",
    u"10",     u"9",      u"\uFF11", u"\uFF10", u"\u0663",  u"\u0968", u" ",          u"-",
    u"\u00AD", u"\uFF71", u"\u30A2", u"\u00F6", u"z",       u"\u2028", u"\U0001F600", std::u16string_view(u"\0", 1)};
const std::u16string_view terminators[] = {u"\n", u"\r", u"\r\n", u"\u2029"};

std::u16string randomText(std::mt19937& random, bool mixedTerminators, std::size_t lines) {
  std::u16string text;
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

// Root, and tailored locales in which ICU's own string comparison would
// disagree with the keys.
const char* const locales[] = {"", "sv_SE", "es", "pl", "tr", "da", "cs", "ja"};

std::u16string transformed(std::u16string_view text, ParagraphOrder order, const ParagraphCollator& collator) {
  if (order == ParagraphOrder::unique) return uniqueParagraphOfString(text, collator);
  return sortedParagraphOfString(text, order == ParagraphOrder::ascending, collator);
}

// What the filter writes: the UTF-8 arrangement's pieces.
std::string filtered(std::string_view text, ParagraphOrder order, const ParagraphCollator& collator) {
  std::string result;
  arrangeParagraphs(text, order, collator).forEachPiece([&](std::string_view piece) { result.append(piece); });
  return result;
}

TEST(SortKeyOrder, MatchesTheComparisonSortOnRandomTexts) {
  std::vector<ParagraphCollator> collators(std::begin(locales), std::end(locales));
  std::mt19937 random(7);
  for (int round = 0; round < 400; ++round) {
    const std::u16string text16 = randomText(random, round % 3 == 0, random() % 100);
    const std::string text8 = toUtf8(text16);
    const auto& collator = collators[static_cast<std::size_t>(round) % collators.size()];
    for (auto order : fuzzing::allOrders) {
      // The transforms the services and the editor call, and the filter's
      // road, give one result: the order of the keys.
      const auto result16 = transformed(text16, order, collator);
      fuzzing::checkArrangement<char16_t>(text16, order, result16, collator);
      ASSERT_EQ(filtered(text8, order, collator), toUtf8(result16)) << "round " << round;
      // Texts of fewer than two paragraphs never reach the key ordering.
      if (arrangeParagraphs(std::u16string_view(text16), order, collator).keepsOriginal()) continue;
      const auto expected16 = byComparison<char16_t>(text16, order, collator);
      const auto expected8 = byComparison<char>(text8, order, collator);
      ASSERT_EQ(expected16, result16) << "round " << round;
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

// Texts around the size from which results are joined in two halves at
// once, and one large enough to be keyed in parts on several threads, in
// each tailored locale.
TEST(SortKeyOrder, LargeTextsFollowTheKeysInTailoredLocales) {
  std::mt19937 random(12);
  const std::size_t twoHalvesUnits = std::size_t{1} << 17;
  for (const char* locale : locales) {
    if (*locale == '\0') continue;
    SCOPED_TRACE(locale);
    const ParagraphCollator collator(locale);
    std::u16string large = randomText(random, false, 200'000);
    std::u16string around = large.substr(0, twoHalvesUnits + random() % 64);
    around.resize(around.size() - 64 + random() % 128, u'9');
    for (const std::u16string* text : {&around, &large}) {
      const auto order = fuzzing::allOrders[random() % std::size(fuzzing::allOrders)];
      const auto result16 = transformed(*text, order, collator);
      fuzzing::checkArrangement<char16_t>(*text, order, result16, collator);
      EXPECT_EQ(filtered(toUtf8(*text), order, collator), toUtf8(result16));
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
