#include "parasort/engine/arrangement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using parasort::arrangeParagraphs;
using parasort::ParagraphCollator;
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

}  // namespace

namespace {

TEST(Arrangement, LargeTextsTakeTheSortKeyRoadToTheSameResult) {
  // Enough text that the automatic strategy makes sort keys, on every thread.
  std::string text;
  for (int line = 0; line < 6000; ++line)
    text += (line % 3 ? "Item " : "item ") + std::to_string((line * 7919) % 2500) + (line % 5 ? "\n" : "\r\n");
  for (auto order : {ParagraphOrder::ascending, ParagraphOrder::descending, ParagraphOrder::unique}) {
    const auto automatic = arrangeParagraphs(std::string_view(text), order, root()).joined();
    const auto compared =
        arrangeParagraphs(std::string_view(text), order, root(), {.strategy = parasort::OrderingStrategy::comparison})
            .joined();
    EXPECT_EQ(automatic, compared);
  }
  // The first line's CR LF is the separator throughout; 2,500 distinct numbers.
  const auto unique = arrangeParagraphs(std::string_view(text), ParagraphOrder::unique, root()).joined();
  EXPECT_EQ(unique.substr(0, 8), "item 0\r\n");
  EXPECT_EQ(std::count(unique.begin(), unique.end(), '\n'), 2500);
}

}  // namespace
