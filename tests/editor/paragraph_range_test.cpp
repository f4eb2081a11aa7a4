// Paragraph bounds: the four terminators, and the empty last paragraph.
#include "parasort/editor/paragraph_range.h"

#include "text_view_fixture.h"

namespace parasort::editor::test {
namespace {

TEST(ParagraphRange, CoversTheParagraphHoldingTheIndexWithItsTerminator) {
  const std::u16string text = u"ab\ncd\r\nef\rgh\u2029ij";
  EXPECT_EQ(paragraphRangeForRange(text, {0, 1}), (Range{0, 3}));
  EXPECT_EQ(paragraphRangeForRange(text, {2, 1}), (Range{0, 3}));
  EXPECT_EQ(paragraphRangeForRange(text, {4, 1}), (Range{3, 4}));
  EXPECT_EQ(paragraphRangeForRange(text, {6, 1}), (Range{3, 4}));  // the LF of CR LF
  EXPECT_EQ(paragraphRangeForRange(text, {8, 1}), (Range{7, 3}));
  EXPECT_EQ(paragraphRangeForRange(text, {11, 1}), (Range{10, 3}));
  EXPECT_EQ(paragraphRangeForRange(text, {13, 1}), (Range{13, 2}));
}

TEST(ParagraphRange, ARangeCoversEveryParagraphItTouches) {
  const std::u16string text = u"ab\ncd\nef";
  EXPECT_EQ(paragraphRangeForRange(text, {1, 3}), (Range{0, 6}));
  EXPECT_EQ(paragraphRangeForRange(text, {1, 2}), (Range{0, 3}));
  EXPECT_EQ(paragraphRangeForRange(text, {4, 0}), (Range{3, 3}));
}

TEST(ParagraphRange, TheEndOfTheTextIsTheLastParagraph) {
  EXPECT_EQ(paragraphRangeForRange(u"ab\ncd", {5, 0}), (Range{3, 2}));
  EXPECT_EQ(paragraphRangeForRange(u"ab\n", {3, 0}), (Range{3, 0}));
  EXPECT_EQ(paragraphRangeForRange(u"", {0, 0}), (Range{0, 0}));
  EXPECT_EQ(paragraphRangeForRange(u"ab\n", {9, 4}), (Range{3, 0}));
}

TEST(ParagraphRange, OtherLineBreaksDoNotEndAParagraph) {
  EXPECT_EQ(paragraphRangeForRange(u"a\u2028b\u0085c\fd", {2, 1}), (Range{0, 7}));
}

TEST(ParagraphStart, FollowsEveryTerminatorButNotTheMiddleOfCrLf) {
  const std::u16string text = u"a\r\nb\nc";
  EXPECT_TRUE(isParagraphStart(text, 0));
  EXPECT_FALSE(isParagraphStart(text, 2));
  EXPECT_TRUE(isParagraphStart(text, 3));
  EXPECT_TRUE(isParagraphStart(text, 5));
  EXPECT_FALSE(isParagraphStart(text, 6));
}

TEST(AttributedStringRuns, EqualNeighboursMergeSoEqualityMeansSameAttributes) {
  AttributedString pieced(u"ab", {{AttributeName(ItalicAttributeName), kItalic}});
  pieced.append(u"c", {{AttributeName(ItalicAttributeName), kItalic}});
  pieced.append(u"", {});
  EXPECT_EQ(pieced, AttributedString(u"abc", {{AttributeName(ItalicAttributeName), kItalic}}));
  EXPECT_EQ(pieced.runs().size(), 1u);
}

}  // namespace
}  // namespace parasort::editor::test
