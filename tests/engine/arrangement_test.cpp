// The arrangement held against the reference model on random texts with
// random options (orders, keys, strengths, NUL records): in root and
// tailored locales, in UTF-16 and UTF-8, by either strategy, with the sort
// keys cut into many parts, and at the sizes where the result is joined in
// two halves at once and keyed on several threads.
#include "parasort/engine/arrangement.h"
#include "parasort/engine/keyed_records.h"
#include "parasort/engine/paragraph.h"

#include "reference_model.h"
#include "sort_key_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory_resource>
#include <mutex>
#include <random>
#include <span>
#include <stdexcept>
#include <utility>
#include <string>
#include <vector>

namespace {

using namespace parasort;
using fuzzing::referenceArrangement;

// Pieces chosen to collide under the collation: case, width, composed and
// decomposed forms, numbers with leading zeros, digits of other scripts
// (full-width, Arabic-Indic, Devanagari) that go on an ASCII digit run,
// ignorable characters, supplementary characters, blanks, line breaks that
// end no paragraph, and every terminator kind.
const std::u16string_view pieces[] = {
    u"a",      u"A",      u"b",      u"\u00E9", u"e\u0301", u"e",      u"1",          u"01",
    u"10",     u"9",      u"\uFF11", u"\uFF10", u"\u0663",  u"\u0968", u" ",          u"-",
    u"\u00AD", u"\uFF71", u"\u30A2", u"\u00F6", u"z",       u"\u2028", u"\U0001F600", std::u16string_view(u"\0", 1),
    u"\t",     u"  ",     u"B",      u"\u0085\f\v"};
const std::u16string_view terminators[] = {u"\n", u"\r", u"\r\n", u"\u2029"};

struct TextShape {
  std::size_t lines;
  std::size_t distinctPieces;  // from the front of `pieces`: few make many equal lines
  bool mixedTerminators;
  std::size_t commonPrefix = 0;  // units every line starts with: long keys
};

std::u16string randomText(std::mt19937& random, const TextShape& shape) {
  std::u16string text;
  for (std::size_t line = 0; line < shape.lines; ++line) {
    text.append(shape.commonPrefix, u'x');
    for (std::size_t piece = random() % 5; piece > 0; --piece) text += pieces[random() % shape.distinctPieces];
    text += terminators[shape.mixedTerminators ? random() % std::size(terminators) : 0];
  }
  if (random() % 2 == 0 && !text.empty()) text.pop_back();  // sometimes no final terminator
  return text;
}

std::string toUtf8(std::u16string_view text) { return fuzzing::utf8Of(text).value(); }

// What the filter writes: the UTF-8 arrangement's pieces.
std::string pieced(std::string_view text, ParagraphOrder order, const ParagraphCollator& collator,
                   const ArrangeOptions& options = {}) {
  std::string result;
  arrangeParagraphs(text, order, collator, options).forEachPiece([&](std::string_view piece) { result.append(piece); });
  return result;
}

template <class CharT>
std::basic_string<CharT> bySortKeys(std::basic_string_view<CharT> text, ParagraphOrder order,
                                    const ParagraphCollator& collator, const detail::PartPlan& plan,
                                    const ArrangeOptions& options) {
  const detail::KeySource source{
      .plan = ordersByWholeParagraph(options.keys) ? nullptr : detail::makeKeyPlan(options.keys, "", 0),
      .terminators = options.terminators,
      .lastResort = options.lastResort && !ordersByWholeParagraph(options.keys) && order != ParagraphOrder::unique};
  return ArrangedParagraphs<CharT>(text, detail::orderBySortKeys(text, order, *collator.get(), plan, source),
                                   options.terminators)
      .joined();
}

// Options as a user might combine them: mostly a whole-paragraph key, else
// fields by blanks or by a separator (one that the pieces hold, or a blank),
// with or without their leading blanks; now and then NUL records.
ArrangeOptions randomOptions(std::mt19937& random) {
  ArrangeOptions options{.randomSeed = random()};
  if (random() % 3 == 0) options.terminators = RecordTerminators::nul;
  if (random() % 2 == 0) return options;
  const char32_t separators[] = {U'-', U' ', U'a', U'\U0001F600'};
  options.lastResort = random() % 2 == 0;
  ParagraphKey& key = options.keys.emplace_back().positions;
  if (random() % 2 == 0) key.fieldSeparator = separators[random() % std::size(separators)];
  key.startField = 1 + random() % 3;
  key.startCharacter = 1 + random() % 3;
  if (random() % 2 == 0) {
    key.endField = 1 + random() % 3;
    key.endCharacter = random() % 3;
  }
  key.skipStartBlanks = random() % 2 == 0;
  key.skipEndBlanks = random() % 2 == 0;
  return options;
}

CollationOptions randomCollation(std::mt19937& random) {
  const CollationStrength strengths[] = {CollationStrength::primary, CollationStrength::secondary,
                                         CollationStrength::tertiary};
  return {.strength = strengths[random() % 3], .numeric = random() % 2 == 0};
}

// Root, and tailored locales in which ICU's own string comparison would
// disagree with the keys.
const char* const locales[] = {"", "sv_SE", "es", "pl", "tr", "da", "cs", "ja"};

// Keys made in one part, in two on two threads, and in many tiny parts.
const detail::PartPlan plans[] = {
    {.threadCount = 1},
    {.threadCount = 2, .minimumUnitsPerPart = 1},
    {.threadCount = 3, .minimumUnitsPerPart = 1, .maximumUnitsPerPart = 16},
};

TEST(Arrangement, SmallRandomTextsFollowTheReferenceByEveryRoad) {
  std::mt19937 random(7);
  for (int round = 0; round < 400; ++round) {
    const std::u16string text16 =
        randomText(random, {.lines = random() % 100,
                            .distinctPieces = std::size(pieces),
                            .mixedTerminators = round % 3 == 0,
                            .commonPrefix = round % 4 == 1 ? 400u : 0u});
    const std::string text8 = toUtf8(text16);
    // Every other round with the default options and collation.
    const bool defaults = round % 2 == 0;
    const ParagraphCollator collator(locales[static_cast<std::size_t>(round) % std::size(locales)],
                                     defaults ? CollationOptions{} : randomCollation(random));
    const ArrangeOptions options = defaults ? ArrangeOptions{.randomSeed = random()} : randomOptions(random);
    fuzzing::checkParagraphModel(std::u16string_view(text16));
    fuzzing::checkParagraphModel(std::string_view(text8));
    for (auto order : fuzzing::arrangementOrders) {
      SCOPED_TRACE(testing::Message() << "round " << round << ", order " << static_cast<int>(order));
      const auto expected16 = referenceArrangement<char16_t>(text16, order, collator, options);
      const auto expected8 = toUtf8(expected16);
      ASSERT_EQ(arrangeParagraphs(std::u16string_view(text16), order, collator, options).joined(), expected16);
      ASSERT_EQ(pieced(text8, order, collator, options), expected8);
      ASSERT_EQ(fuzzing::arranged<char16_t>(text16, order, collator, OrderingStrategy::comparison, options),
                expected16);
      ASSERT_EQ(fuzzing::arranged<char>(text8, order, collator, OrderingStrategy::comparison, options), expected8);
      // The check agrees with the reference, and finds every arrangement in order.
      const auto disorder = fuzzing::referenceFirstDisorder<char16_t>(text16, order, collator, options);
      ASSERT_EQ(firstDisorder(std::u16string_view(text16), order, collator, options), disorder);
      ASSERT_EQ(firstDisorder(std::string_view(text8), order, collator, options), disorder);
      ASSERT_EQ(firstDisorder(std::string_view(expected8), order, collator, options), std::nullopt);
      // Texts of fewer than two paragraphs never reach the key ordering.
      if (!detail::keyOrderOf(order) ||
          arrangeParagraphs(std::u16string_view(text16), order, collator, options).keepsOriginal())
        continue;
      for (const auto& plan : plans) {
        ASSERT_EQ(bySortKeys<char16_t>(text16, order, collator, plan, options), expected16)
            << plan.threadCount << " threads";
        ASSERT_EQ(bySortKeys<char>(text8, order, collator, plan, options), expected8)
            << plan.threadCount << " threads";
      }
    }
  }
}

// U+2029 cut short at the end of UTF-8 text is no terminator (and is not
// read past).
TEST(Arrangement, ATruncatedParagraphSeparatorInUtf8IsNone) {
  EXPECT_EQ(TQParagraph::paragraphStrings(std::string_view("b\xE2\x80")).size(), 1u);
  EXPECT_FALSE(TQParagraph::endsParagraphSeparater(std::string_view("a\nb\xE2\x80")));
}

// A shuffle without a seed is still a rearrangement of the paragraphs.
TEST(Arrangement, UnseededShuffleKeepsEveryParagraph) {
  const std::string text = "1\n2\n3\n4\n5\n6\n7\n8\n";
  const std::string shuffled =
      arrangeParagraphs(std::string_view(text), ParagraphOrder::shuffle, ParagraphCollator("")).joined();
  auto lines = paragraphsOf(std::string_view(shuffled), RecordTerminators::paragraph);
  std::sort(lines.begin(), lines.end());
  EXPECT_EQ(lines, paragraphsOf(std::string_view(text), RecordTerminators::paragraph));
}

template <class String>
std::size_t firstDifference(const String& a, const String& b) {
  if (a == b) return String::npos;
  return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first - a.begin());
}

// Texts around the size from which results are joined in two halves at
// once (the back half written backwards on a second thread), including ones
// whose separator is longer than most terminators and ones of all-equal
// lines; and 200,000 lines in each tailored locale.
TEST(Arrangement, LargeRandomTextsFollowTheReference) {
  std::mt19937 random(12);
  const std::size_t twoHalvesUnits = std::size_t{1} << 17;
  for (const char* locale : locales) {
    SCOPED_TRACE(locale);
    const ParagraphCollator collator(locale);
    const std::u16string large =
        randomText(random, {.lines = 200'000, .distinctPieces = std::size(pieces), .mixedTerminators = false});
    std::u16string around = randomText(random, {.lines = 60'000, .distinctPieces = 2 + random() % 10,
                                                .mixedTerminators = random() % 2 == 0});
    around.resize(twoHalvesUnits - 64 + random() % 128, u'9');
    for (const std::u16string* text : {&std::as_const(around), &large}) {
      const auto order = fuzzing::allOrders[random() % std::size(fuzzing::allOrders)];
      const auto expected = referenceArrangement<char16_t>(*text, order, collator);
      // Compared whole, reported by where they part: the texts are large.
      EXPECT_EQ(firstDifference(arrangeParagraphs(std::u16string_view(*text), order, collator).joined(), expected),
                std::u16string::npos);
      EXPECT_EQ(firstDifference(pieced(toUtf8(*text), order, collator), toUtf8(expected)), std::string::npos);
    }
  }
}

// Adjacent duplicates are dropped in two halves at once in a large text:
// the back half's first paragraph goes when it equals the front half's last.
TEST(Arrangement, LargeTextsLoseTheirAdjacentDuplicatesAsTheReferenceDoes) {
  std::mt19937 random(14);
  const ParagraphCollator collator("da");
  std::u16string repeated;
  for (int line = 0; line < 70'000; ++line) repeated += line % 3 == 0 ? u"A\n" : u"a\n";
  for (const std::u16string& text :
       {repeated, randomText(random, {.lines = 60'000, .distinctPieces = 3, .mixedTerminators = true})}) {
    const auto expected = referenceArrangement<char16_t>(text, ParagraphOrder::adjacentUnique, collator);
    EXPECT_EQ(firstDifference(
                  arrangeParagraphs(std::u16string_view(text), ParagraphOrder::adjacentUnique, collator).joined(),
                  expected),
              std::u16string::npos);
  }
}

// A result whose order is kept alone (its keys let go) hands out what the
// merged parts did: a large one merged into the list in two halves at once,
// with duplicates dropped on either side of where the halves meet.
TEST(Arrangement, AnOrderKeptAloneHandsOutTheSameResult) {
  std::mt19937 random(15);
  const ParagraphCollator collator("pl");
  for (const std::size_t lines : {40u, 60'000u}) {
    const std::u16string text16 =
        randomText(random, {.lines = lines, .distinctPieces = 4, .mixedTerminators = random() % 2 == 0});
    const std::string text8 = toUtf8(text16);
    if (lines > 40) {
      ASSERT_GE(text8.size(), std::size_t{1} << 17) << "large enough for two halves";
    }
    for (const auto order : {ParagraphOrder::ascending, ParagraphOrder::descending, ParagraphOrder::unique,
                             ParagraphOrder::byLength}) {
      const std::string expected = toUtf8(referenceArrangement<char16_t>(text16, order, collator, {}));
      // (Many tiny parts only for the small text: each output paragraph
      // looks at every part's head.)
      for (const auto& plan : lines > 40 ? std::span(plans).first(2) : std::span(plans)) {
        SCOPED_TRACE(testing::Message() << lines << " lines, order " << static_cast<int>(order) << ", "
                                        << plan.threadCount << " threads");
        ArrangedParagraphs<char> arranged(
            text8, detail::orderBySortKeys(std::string_view(text8), order, *collator.get(), plan));
        arranged.keepOnlyTheOrder(*std::pmr::get_default_resource());
        std::string result;
        arranged.forEachPiece([&](std::string_view piece) { result.append(piece); });
        EXPECT_EQ(firstDifference(result, expected), std::string::npos);
        EXPECT_EQ(firstDifference(arranged.joined(), expected), std::string::npos);
      }
    }
  }
}

// Making the keys tells of the text read through (for a caller that lets
// go of its pages): stretches that never overlap and, together, the whole
// text, whether keyed in one part or in two at once, sorted or keyed for
// printing.
TEST(Arrangement, MakingTheKeysTellsOfTheWholeTextReadThrough) {
  std::mt19937 random(16);
  const ParagraphCollator collator("");
  // About three million units: two parts of more than one step each.
  const std::string text = toUtf8(randomText(random, {.lines = 900'000, .distinctPieces = 20, .mixedTerminators = true}));
  ASSERT_GE(text.size(), std::size_t{3} << 20);
  for (const unsigned threads : {1u, 2u}) {
    for (const bool printing : {false, true}) {
      SCOPED_TRACE(testing::Message() << threads << " threads" << (printing ? ", keys printed" : ""));
      std::mutex mutex;
      std::vector<std::pair<std::size_t, std::size_t>> stretches;
      const ArrangeOptions options{.threadCount = threads, .readThrough = [&](std::size_t offset, std::size_t length) {
                                     const std::scoped_lock lock(mutex);
                                     stretches.emplace_back(offset, length);
                                   }};
      if (printing) forEachKeyedRecord(text, ParagraphOrder::ascending, collator, options, [](const KeyedRecord&) {});
      else (void)arrangeParagraphs(std::string_view(text), ParagraphOrder::ascending, collator, options);
      std::sort(stretches.begin(), stretches.end());
      ASSERT_GE(stretches.size(), 2u * threads);
      std::size_t covered = 0;
      for (const auto& [offset, length] : stretches) {
        ASSERT_EQ(offset, covered);
        ASSERT_GT(length, 0u);
        covered += length;
      }
      EXPECT_EQ(covered, text.size());
    }
  }
}

// The orders that sort whole paragraphs by their keys read every byte of a
// UTF-8 text through the strict decoder and say whether all was
// well-formed, so that the filter need not check it again: an ill-formed
// sequence is met wherever it lies (first or last in a paragraph or in the
// text, in either part), and no well-formed edge case is taken for one.
// Orders that do not decode every byte vouch for nothing.
TEST(Arrangement, SortingSaysWhetherEveryByteWasWellFormedUtf8) {
  struct Sequence {
    std::string_view bytes;
    bool wellFormed;
  };
  const Sequence sequences[] = {
      {"\xC2\x80", true},         {"\xDF\xBF", true},         {"\xED\x9F\xBF", true},
      {"\xEE\x80\x80", true},     {"\xEF\xBF\xBF", true},     {"\xF0\x90\x80\x80", true},
      {"\xF4\x8F\xBF\xBF", true}, {"\x80", false},             {"\xC0\xAF", false},
      {"\xC1\xBF", false},        {"\xE0\x9F\xBF", false},     {"\xED\xA0\x80", false},
      {"\xF0\x8F\xBF\xBF", false}, {"\xF4\x90\x80\x80", false}, {"\xF5\x80\x80\x80", false},
      {"\xFF", false},             {"\xC3", false},             {"\xE2\x80", false}};
  const ParagraphOrder sorting[] = {ParagraphOrder::ascending, ParagraphOrder::descending, ParagraphOrder::unique,
                                    ParagraphOrder::byLength};
  std::mt19937 random(23);
  const ParagraphCollator collator("");
  for (const Sequence& sequence : sequences) {
    for (int round = 0; round < 12; ++round) {
      std::string text = toUtf8(randomText(
          random, {.lines = 2 + random() % 40, .distinctPieces = std::size(pieces), .mixedTerminators = true}));
      // Put in before an ASCII byte (never inside a character), or at the end.
      std::vector<std::size_t> places{text.size()};
      for (std::size_t index = 0; index < text.size(); ++index)
        if (static_cast<unsigned char>(text[index]) < 0x80) places.push_back(index);
      text.insert(places[random() % places.size()], sequence.bytes);
      const ArrangeOptions options{.threadCount = static_cast<unsigned>(1 + random() % 2)};
      SCOPED_TRACE(testing::Message() << "round " << round << ", " << testing::PrintToString(sequence.bytes));
      for (const ParagraphOrder order : sorting)
        EXPECT_EQ(arrangeParagraphs(std::string_view(text), order, collator, options).decodedWellFormedUtf8(),
                  sequence.wellFormed);
      EXPECT_FALSE(
          arrangeParagraphs(std::string_view(text), ParagraphOrder::reverse, collator, options).decodedWellFormedUtf8());
      ArrangeOptions byField = options;
      byField.keys.emplace_back().positions.startField = 2;
      EXPECT_FALSE(arrangeParagraphs(std::string_view(text), ParagraphOrder::ascending, collator, byField)
                       .decodedWellFormedUtf8());
    }
  }
}

// A large text is checked in two halves at once: a disorder found in the
// back half counts only when the front half has none.
TEST(Arrangement, TheCheckOfALargeTextFindsTheFirstDisorderInEitherHalf) {
  std::mt19937 random(13);
  const ParagraphCollator collator("sv_SE");
  for (const auto order : {ParagraphOrder::ascending, ParagraphOrder::descending, ParagraphOrder::unique}) {
    const std::u16string text =
        randomText(random, {.lines = 60'000, .distinctPieces = std::size(pieces), .mixedTerminators = false});
    const std::u16string sorted = arrangeParagraphs(std::u16string_view(text), order, collator).joined();
    EXPECT_EQ(firstDisorder(std::u16string_view(sorted), order, collator), std::nullopt);
    const auto lines = paragraphsOf(std::u16string_view(sorted), RecordTerminators::paragraph);
    // The last paragraph moved into the back half (then also into the
    // front half), or to just before the middle: the halves' first pair.
    const std::size_t backHalf = lines.size() * 3 / 4;
    const std::size_t beforeMiddle = lines.size() / 2 - 1;
    for (const auto& [at, alsoInFront] : {std::pair(backHalf, false), std::pair(backHalf, true),
                                          std::pair(beforeMiddle, false)}) {
      std::vector<std::u16string_view> moved(lines.begin(), lines.end() - 1);
      moved.insert(moved.begin() + static_cast<std::ptrdiff_t>(at), lines.back());
      if (alsoInFront) moved.insert(moved.begin() + static_cast<std::ptrdiff_t>(moved.size() / 4), lines.back());
      std::u16string planted;
      for (const auto line : moved) (planted += line) += u'\n';
      SCOPED_TRACE(testing::Message() << "order " << static_cast<int>(order) << ", at " << at
                                      << (alsoInFront ? ", and in the front half" : ""));
      const auto expected = fuzzing::referenceFirstDisorder<char16_t>(planted, order, collator);
      ASSERT_NE(expected, std::nullopt);
      EXPECT_EQ(firstDisorder(std::u16string_view(planted), order, collator), expected);
    }
  }
}

// A large result is handed out in pieces gathered on two threads, chunk
// after chunk: long paragraphs (a buffer handed on before its chunk ends, a
// paragraph longer than a buffer handed on as it is) keep their order, and
// a sink that fails stops both threads, none left waiting for its turn.
TEST(Arrangement, LargeResultsAreHandedOutInOrderUntilTheSinkFails) {
  std::mt19937 random(17);
  // Lowercase ASCII letters: the root collation orders them as bytes.
  std::vector<std::string> lines;
  for (int line = 0; line < 600; ++line) {
    const std::size_t length = line % 100 == 7 ? (std::size_t{3} << 19) : 1 + random() % 12'000;
    std::string contents(length, static_cast<char>('a' + random() % 26));
    for (std::size_t letter = 0; letter < 8 && letter < length; ++letter)
      contents[letter] = static_cast<char>('a' + random() % 26);
    lines.push_back(std::move(contents));
  }
  std::string text;
  for (const auto& line : lines) text += line + '\n';
  std::sort(lines.begin(), lines.end());
  std::string expected;
  for (const auto& line : lines) expected += line + '\n';

  const ParagraphCollator root("");
  const auto arranged = arrangeParagraphs(std::string_view(text), ParagraphOrder::ascending, root);
  std::string result;
  std::size_t longestPiece = 0;
  int pieceCount = 0;
  arranged.forEachPiece([&](std::string_view piece) {
    result.append(piece);
    longestPiece = std::max(longestPiece, piece.size());
    ++pieceCount;
  });
  EXPECT_EQ(firstDifference(result, expected), std::string::npos);
  EXPECT_GE(longestPiece, std::size_t{3} << 19) << "the longest paragraphs are handed on as they are";

  for (const int failingCall : {1, 2, pieceCount / 2, pieceCount - 1}) {
    int calls = 0;
    EXPECT_THROW(arranged.forEachPiece([&](std::string_view) {
      if (++calls == failingCall) throw std::runtime_error("sink failed");
    }),
                 std::runtime_error);
    EXPECT_EQ(calls, failingCall) << "nothing is handed on after the failure";
  }
}

TEST(Arrangement, PiecesAreViewsIntoTheText) {
  const std::string text = "pear\napple\nfig\n";
  const ParagraphCollator root("");
  std::vector<std::string_view> result;
  arrangeParagraphs(std::string_view(text), ParagraphOrder::ascending, root).forEachPiece([&](std::string_view piece) {
    result.push_back(piece);
  });
  ASSERT_EQ(result.size(), 6u);
  EXPECT_EQ(result[0].data(), text.data() + 5);  // "apple", not a copy
  // A text of one paragraph is one piece, the text itself.
  const auto single = arrangeParagraphs(std::string_view(text).substr(0, 5), ParagraphOrder::unique, root);
  single.forEachPiece([&](std::string_view piece) { EXPECT_EQ(piece.data(), text.data()); });
}

}  // namespace
