#include "parasort/engine/arrangement.h"

#include "paragraph_properties.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory_resource>
#include <random>
#include <string>
#include <vector>

namespace {

using parasort::arrangeParagraphs;
using parasort::ParagraphCollator;
using parasort::OrderingStrategy;
using parasort::ParagraphOrder;

const ParagraphCollator& root() {
  static const ParagraphCollator collator("");
  return collator;
}

std::string arranged(std::string_view text, ParagraphOrder order) {
  return arrangeParagraphs(text, order, root()).joined();
}

TEST(Arrangement, Utf8TextIsArrangedLikeUtf16) {
  EXPECT_EQ(arranged("item10\nitem9\nApple\napple\nbanana\n", ParagraphOrder::unique),
            "Apple\nbanana\nitem9\nitem10\n");
  EXPECT_EQ(arranged("b\xE2\x80\xA9\xC3\xA9\xE2\x80\xA9" "e", ParagraphOrder::ascending),
            "b\xE2\x80\xA9" "e\xE2\x80\xA9\xC3\xA9");
  EXPECT_EQ(arranged("a\r\nc\nb", ParagraphOrder::descending), "c\r\nb\r\na");
}

// `lines`, each ended by LF.
std::string linesOf(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\n";
  return text;
}

// Unusual but valid text, in UTF-8 as the command-line filter hands it over,
// in each of the three orders.
TEST(Arrangement, UnusualTextInEveryOrder) {
  // Digit runs beyond 254 digits, compared 254 at a time.
  const std::string paddedFive = std::string(300, '0') + "5", ones300(300, '1'), ones1000(1000, '1');
  const std::string onesWithATwo = std::string(279, '1') + "2" + std::string(20, '1');
  const std::string onesThenTwo = std::string(999, '1') + "2";
  // Characters the collation ignores.
  const std::string softHyphen = "\xC2\xAD", soh = "\x01", del = "\x7F", nul(1, '\0'), zeroWidth = "\xE2\x80\x8B";
  // A character of each of several scripts; "été" composed and decomposed.
  const std::string grin = "\xF0\x9F\x98\x80", ete = "\xC3\xA9t\xC3\xA9", eteDecomposed = "e\xCC\x81t\xC3\xA9",
                    alpha = "\xCE\xB1", zhe = "\xD0\xB6", alef = "\xD7\x90", alif = "\xD8\xA7", ka = "\xE0\xA4\x95",
                    ga = "\xEA\xB0\x80", zhong = "\xE4\xB8\xAD";
  struct Case {
    const char* what;
    std::vector<std::string> text, ascending, descending, unique;
  };
  const Case cases[] = {
      // By value, however long; leading zeros do not count, so the padded
      // five equals 5 and keeps its place.
      {"long digit runs",
       {onesThenTwo, onesWithATwo, ones1000, ones300, "9", paddedFive, "5"},
       {paddedFive, "5", "9", ones300, onesWithATwo, ones1000, onesThenTwo},
       {onesThenTwo, ones1000, onesWithATwo, ones300, "9", paddedFive, "5"},
       {paddedFive, "9", ones300, onesWithATwo, ones1000, onesThenTwo}},
      // Lines of only ignorable characters equal the empty line.
      {"ignorable lines",
       {softHyphen, soh, "a", "", del, nul, zeroWidth},
       {softHyphen, soh, "", del, nul, zeroWidth, "a"},
       {"a", softHyphen, soh, "", del, nul, zeroWidth},
       {softHyphen, "a"}},
      // Punctuation, symbols, digits, then Latin, Greek, Cyrillic, Hebrew,
      // Arabic, Devanagari, Hangul and Han, as the root collation orders them.
      {"mixed scripts",
       {"!", alpha, ga, ete, alif, grin, zhe, zhong, "zebra", ka, "1", alef, eteDecomposed},
       {"!", grin, "1", ete, eteDecomposed, "zebra", alpha, zhe, alef, alif, ka, ga, zhong},
       {zhong, ga, ka, alif, alef, zhe, alpha, "zebra", ete, eteDecomposed, "1", grin, "!"},
       {"!", grin, "1", ete, "zebra", alpha, zhe, alef, alif, ka, ga, zhong}},
  };
  for (const auto& [what, text, ascending, descending, unique] : cases) {
    SCOPED_TRACE(what);
    EXPECT_EQ(arranged(linesOf(text), ParagraphOrder::ascending), linesOf(ascending));
    EXPECT_EQ(arranged(linesOf(text), ParagraphOrder::descending), linesOf(descending));
    EXPECT_EQ(arranged(linesOf(text), ParagraphOrder::unique), linesOf(unique));
  }
}

// Digit runs that go on in another script's digits, in tailored locales,
// where ICU's own string comparison strays from the keys (and is not even
// transitive). The keys order digit runs by value whatever their script.
TEST(Arrangement, OtherScriptsDigitsInTailoredLocalesSortByValue) {
  const std::string fullWidth0 = "\xEF\xBC\x90", fullWidth1 = "\xEF\xBC\x91", fullWidth2 = "\xEF\xBC\x92",
                    arabicIndic0 = "\xD9\xA0", arabicIndic3 = "\xD9\xA3", devanagari2 = "\xE0\xA5\xA8",
                    eAcute = "\xC3\xA9";
  struct Case {
    const char* locale;
    std::vector<std::string> text, ascending, descending, unique;
  };
  const Case cases[] = {
      // 100 and 1000: both kept.
      {"sv_SE",
       {"1" + fullWidth0 + "0", "1" + fullWidth0 + "00"},
       {"1" + fullWidth0 + "0", "1" + fullWidth0 + "00"},
       {"1" + fullWidth0 + "00", "1" + fullWidth0 + "0"},
       {"1" + fullWidth0 + "0", "1" + fullWidth0 + "00"}},
      // 1 and a letter, 2, 13: the same order from either input order.
      {"es",
       {"1a", "1" + arabicIndic3, "2"},
       {"1a", "2", "1" + arabicIndic3},
       {"1" + arabicIndic3, "2", "1a"},
       {"1a", "2", "1" + arabicIndic3}},
      {"es",
       {"2", "1a", "1" + arabicIndic3},
       {"1a", "2", "1" + arabicIndic3},
       {"1" + arabicIndic3, "2", "1a"},
       {"1a", "2", "1" + arabicIndic3}},
      // 9 and letters, 100, 912.
      {"es",
       {"100", "9" + fullWidth1 + fullWidth2, "9A" + eAcute},
       {"9A" + eAcute, "100", "9" + fullWidth1 + fullWidth2},
       {"9" + fullWidth1 + fullWidth2, "100", "9A" + eAcute},
       {"9A" + eAcute, "100", "9" + fullWidth1 + fullWidth2}},
      // 12 in three scripts, and with a leading zero, are one number.
      {"ja",
       {"1" + devanagari2, "1b", "3", fullWidth1 + fullWidth2, arabicIndic0 + "12"},
       {"1b", "3", "1" + devanagari2, fullWidth1 + fullWidth2, arabicIndic0 + "12"},
       {"1" + devanagari2, fullWidth1 + fullWidth2, arabicIndic0 + "12", "3", "1b"},
       {"1b", "3", "1" + devanagari2}},
  };
  for (const auto& [locale, text, ascending, descending, unique] : cases) {
    const ParagraphCollator collator(locale);
    const std::pair<ParagraphOrder, const std::vector<std::string>*> expectations[] = {
        {ParagraphOrder::ascending, &ascending},
        {ParagraphOrder::descending, &descending},
        {ParagraphOrder::unique, &unique}};
    for (const auto& [order, expected] : expectations) {
      for (auto strategy : {OrderingStrategy::comparison, OrderingStrategy::sortKeys}) {
        SCOPED_TRACE(testing::Message() << locale << ", " << linesOf(text) << "order " << static_cast<int>(order)
                                        << ", strategy " << static_cast<int>(strategy));
        const std::string result = arrangeParagraphs(linesOf(text), order, collator, {.strategy = strategy}).joined();
        EXPECT_EQ(result, linesOf(*expected));
        parasort::fuzzing::checkArrangement<char>(linesOf(text), order, result, collator);
      }
    }
  }
}

TEST(Arrangement, PiecesAreViewsIntoTheTextAndAddUpToTheResult) {
  const std::string text = "pear\napple\nfig\n";
  const auto result = arrangeParagraphs(std::string_view(text), ParagraphOrder::ascending, root());
  std::vector<std::string_view> pieces;
  result.forEachPiece([&](std::string_view piece) { pieces.push_back(piece); });
  ASSERT_EQ(pieces.size(), 6u);
  EXPECT_EQ(pieces[0].data(), text.data() + 5);  // "apple", not a copy
  EXPECT_EQ(result.joined(), "apple\nfig\npear\n");
}

TEST(Arrangement, ATextOfOneParagraphIsOnePieceTheOriginal) {
  const std::string text = "only\r";
  const auto result = arrangeParagraphs(std::string_view(text), ParagraphOrder::unique, root());
  EXPECT_TRUE(result.keepsOriginal());
  int pieces = 0;
  result.forEachPiece([&](std::string_view piece) {
    ++pieces;
    EXPECT_EQ(piece.data(), text.data());
    EXPECT_EQ(piece, text);
  });
  EXPECT_EQ(pieces, 1);
}

TEST(Arrangement, LargeTextsTakeTheSortKeyRoadToTheSameResult) {
  // Enough text that the automatic strategy makes sort keys, on every thread.
  std::string text;
  for (int line = 0; line < 6000; ++line)
    text += (line % 3 ? "Item " : "item ") + std::to_string((line * 7919) % 2500) + (line % 5 ? "\n" : "\r\n");
  for (auto order : {ParagraphOrder::ascending, ParagraphOrder::descending, ParagraphOrder::unique}) {
    const auto automatic = arrangeParagraphs(std::string_view(text), order, root()).joined();
    const auto compared =
        arrangeParagraphs(std::string_view(text), order, root(), {.strategy = OrderingStrategy::comparison})
            .joined();
    EXPECT_EQ(automatic, compared);
  }
  // The first line's CR LF is the separator throughout; 2,500 distinct numbers.
  const auto unique = arrangeParagraphs(std::string_view(text), ParagraphOrder::unique, root()).joined();
  EXPECT_EQ(unique.substr(0, 8), "item 0\r\n");
  EXPECT_EQ(std::count(unique.begin(), unique.end(), '\n'), 2500);
}

// Texts large enough that their results are joined in two halves at once;
// few distinct paragraphs, so that runs of equal ones straddle the middle.
struct LargeText {
  const char* name;
  std::u16string text;
};

std::vector<LargeText> largeTexts() {
  std::mt19937 random(20261206);
  const std::u16string_view words[] = {u"apple", u"Apple", u"APPLE", u"\uFF41pple", u"b\u00E9",
                                       u"be\u0301", u"item9", u"item10", u"item09", u"", u"z"};
  auto lines = [&](std::size_t count, auto terminatorOf) {
    std::u16string text;
    for (std::size_t line = 0; line < count; ++line) {
      text += words[random() % std::size(words)];
      text += terminatorOf(line);
    }
    return text;
  };
  std::vector<LargeText> texts;
  texts.push_back({"LF, ending with one", lines(40'000, [](std::size_t) { return u"\n"; })});
  // CR LF first and LF after: the separator is longer than most terminators.
  texts.push_back({"CR LF then LF, no final terminator",
                   lines(40'000, [](std::size_t line) { return line == 0 ? u"\r\n" : u"\n"; })});
  texts.back().text.pop_back();
  texts.push_back({"U+2029 then CR LF",
                   lines(30'000, [](std::size_t line) { return line == 0 ? u"\u2029" : u"\r\n"; })});
  std::u16string same;
  for (int line = 0; line < 40'000; ++line) same += line % 2 ? u"Same\n" : u"same\n";
  texts.push_back({"all paragraphs equal", same});
  return texts;
}

std::u16string pieced(const parasort::ArrangedParagraphs<char16_t>& arranged) {
  std::u16string result;
  arranged.forEachPiece([&](std::u16string_view piece) { result.append(piece); });
  return result;
}

// Joining in two halves gives what the pieces give one after another, with
// either road to the order, into either kind of string.
TEST(Arrangement, LargeResultsJoinedInTwoHalvesMatchThePieces) {
  std::pmr::monotonic_buffer_resource memory;
  for (const auto& [name, text] : largeTexts()) {
    ASSERT_GE(text.size(), std::size_t{1} << 17) << name;
    for (auto order : {ParagraphOrder::ascending, ParagraphOrder::descending, ParagraphOrder::unique}) {
      SCOPED_TRACE(testing::Message() << name << ", order " << static_cast<int>(order));
      const auto byKeys = arrangeParagraphs(std::u16string_view(text), order, root());
      const auto byComparison =
          arrangeParagraphs(std::u16string_view(text), order, root(), {.strategy = OrderingStrategy::comparison});
      const std::u16string expected = pieced(byComparison);
      EXPECT_EQ(pieced(byKeys), expected);
      EXPECT_EQ(byKeys.joined(), expected);
      EXPECT_EQ(byComparison.joined(), expected);
      EXPECT_EQ(std::u16string_view(byKeys.joined(memory)), expected);
    }
  }
}

TEST(Arrangement, AllEqualParagraphsComeDownToTheFirstWithTheTerminator) {
  std::u16string text;
  for (int line = 0; line < 40'000; ++line) text += line % 2 ? u"Same\n" : u"same\n";
  EXPECT_EQ(arrangeParagraphs(std::u16string_view(text), ParagraphOrder::unique, root()).joined(), u"same\n");
  text.pop_back();
  EXPECT_EQ(arrangeParagraphs(std::u16string_view(text), ParagraphOrder::unique, root()).joined(), u"same");
}

}  // namespace
