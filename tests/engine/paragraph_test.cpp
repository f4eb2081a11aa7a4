#include "parasort/engine/paragraph.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace parasort::TQParagraph;
using Strings = std::vector<std::u16string>;

Strings contents(std::u16string_view text) {
  Strings result;
  for (auto paragraph : paragraphStrings(text)) result.emplace_back(paragraph);
  return result;
}

const std::u16string PS = u"\u2029";

TEST(ParagraphStrings, SplitsAtEveryTerminatorKindWithoutKeepingIt) {
  EXPECT_EQ(contents(u""), Strings{});
  EXPECT_EQ(contents(u"abc"), Strings{u"abc"});
  EXPECT_EQ(contents(u"b\na"), (Strings{u"b", u"a"}));
  EXPECT_EQ(contents(u"a\r"), Strings{u"a"});
  EXPECT_EQ(contents(u"a\r\nb"), (Strings{u"a", u"b"}));
  EXPECT_EQ(contents(u"a\rb\n"), (Strings{u"a", u"b"}));
  EXPECT_EQ(contents(u"a" + PS + u"b"), (Strings{u"a", u"b"}));
  EXPECT_EQ(contents(u"a\r\r\nb"), (Strings{u"a", u"", u"b"}));
}

TEST(ParagraphStrings, TrailingTerminatorAddsNoElementButEmptyLinesDo) {
  EXPECT_EQ(contents(u"b\na\n"), (Strings{u"b", u"a"}));
  EXPECT_EQ(contents(u"a\n\nb"), (Strings{u"a", u"", u"b"}));
  EXPECT_EQ(contents(u"a\n\n"), (Strings{u"a", u""}));
  EXPECT_EQ(contents(u"\n"), Strings{u""});
  EXPECT_EQ(contents(u"\n\n"), (Strings{u"", u""}));
  EXPECT_EQ(contents(PS), Strings{u""});
}

TEST(ParagraphStrings, OtherLineBreaksAreOrdinaryCharacters) {
  EXPECT_EQ(contents(u"a\u2028b\u0085c\fd\ve"), Strings{u"a\u2028b\u0085c\fd\ve"});
}

TEST(ParagraphStrings, ViewsPointIntoTheText) {
  const std::u16string text = u"one\ntwo";
  const auto paragraphs = paragraphStrings(text);
  ASSERT_EQ(paragraphs.size(), 2u);
  EXPECT_EQ(paragraphs[1].data(), text.data() + 4);
}

TEST(ParagraphStrings, Utf8SpellsTheParagraphSeparatorInThreeBytes) {
  const auto paragraphs = paragraphStrings(std::string_view("a\xE2\x80\xA9" "b\xE2\x80\xA8" "c"));
  ASSERT_EQ(paragraphs.size(), 2u);
  EXPECT_EQ(paragraphs[0], "a");
  EXPECT_EQ(paragraphs[1], "b\xE2\x80\xA8" "c");
  // A truncated separator at the end is not one.
  EXPECT_EQ(paragraphStrings(std::string_view("a\xE2\x80")).size(), 1u);
}

TEST(ParagraphSeparater, TheFirstTerminatorDecides) {
  EXPECT_EQ(paragraphSeparater(u""), u"\n");
  EXPECT_EQ(paragraphSeparater(u"abc"), u"\n");
  EXPECT_EQ(paragraphSeparater(u"a\r"), u"\r");
  EXPECT_EQ(paragraphSeparater(u"a\r\nb"), u"\r\n");
  EXPECT_EQ(paragraphSeparater(u"a\rb\n"), u"\r");
  EXPECT_EQ(paragraphSeparater(u"a\nb\r"), u"\n");
  EXPECT_EQ(paragraphSeparater(u"x" + PS + u"y\n"), PS);
  EXPECT_EQ(paragraphSeparater(std::string_view("x\xE2\x80\xA9y\n")), "\xE2\x80\xA9");
  EXPECT_EQ(paragraphSeparater(std::string_view("x\r\n")), "\r\n");
}

TEST(EndsParagraphSeparater, AnyKindAtTheVeryEnd) {
  EXPECT_FALSE(endsParagraphSeparater(u""));
  EXPECT_FALSE(endsParagraphSeparater(u"abc"));
  EXPECT_TRUE(endsParagraphSeparater(u"a\r"));
  EXPECT_FALSE(endsParagraphSeparater(u"a\r\nb"));
  EXPECT_TRUE(endsParagraphSeparater(u"a\rb\n"));
  EXPECT_TRUE(endsParagraphSeparater(u"a\nb\r"));
  EXPECT_TRUE(endsParagraphSeparater(PS));
  EXPECT_TRUE(endsParagraphSeparater(u"\n\n"));
  EXPECT_FALSE(endsParagraphSeparater(u"a\u2028"));
  EXPECT_TRUE(endsParagraphSeparater(std::string_view("a\xE2\x80\xA9")));
  EXPECT_FALSE(endsParagraphSeparater(std::string_view("a\xE2\x80")));
}

TEST(UnicodeParaSepString, IsOneParagraphSeparatorUnit) {
  EXPECT_EQ(unicodeParaSepString(), PS);
}

}  // namespace
