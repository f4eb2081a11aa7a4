// The paragraph model as a table: each text with its paragraphs' contents,
// the separator kind it uses and whether it ends with a terminator, checked
// in UTF-16 and in UTF-8.
#include "parasort/engine/paragraph.h"

#include <gtest/gtest.h>
#include <unicode/unistr.h>

#include <string>
#include <vector>

namespace {

using namespace parasort::TQParagraph;

struct Row {
  std::u16string text;
  std::vector<std::u16string> contents;
  std::u16string separator;
  bool endsWithTerminator;
};

const Row rows[] = {
    {u"", {}, u"\n", false},
    {u"abc", {u"abc"}, u"\n", false},
    {u"b\na", {u"b", u"a"}, u"\n", false},
    {u"a\r", {u"a"}, u"\r", true},
    {u"a\r\nb", {u"a", u"b"}, u"\r\n", false},
    {u"a\rb\n", {u"a", u"b"}, u"\r", true},
    {u"a\nb\r", {u"a", u"b"}, u"\n", true},
    {u"a\r\r\nb", {u"a", u"", u"b"}, u"\r", false},
    {u"x\u2029y\n", {u"x", u"y"}, u"\u2029", true},
    {u"\u2029", {u""}, u"\u2029", true},
    {u"a\n\n", {u"a", u""}, u"\n", true},
    {u"\n\n", {u"", u""}, u"\n", true},
    // Other line breaks are ordinary characters.
    {u"a\u2028b\u0085c\fd\ve", {u"a\u2028b\u0085c\fd\ve"}, u"\n", false},
};

std::string utf8(std::u16string_view text) {
  std::string result;
  icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())).toUTF8String(result);
  return result;
}

TEST(Paragraphs, ContentsSeparatorAndEndInBothEncodings) {
  for (const Row& row : rows) {
    SCOPED_TRACE(utf8(row.text));
    const auto paragraphs16 = paragraphStrings(std::u16string_view(row.text));
    EXPECT_EQ(std::vector<std::u16string>(paragraphs16.begin(), paragraphs16.end()), row.contents);
    EXPECT_EQ(paragraphSeparater(std::u16string_view(row.text)), row.separator);
    EXPECT_EQ(endsParagraphSeparater(std::u16string_view(row.text)), row.endsWithTerminator);

    const std::string text8 = utf8(row.text);
    const auto paragraphs8 = paragraphStrings(std::string_view(text8));
    std::vector<std::string> contents8;
    for (const auto& contents : row.contents) contents8.push_back(utf8(contents));
    EXPECT_EQ(std::vector<std::string>(paragraphs8.begin(), paragraphs8.end()), contents8);
    EXPECT_EQ(paragraphSeparater(std::string_view(text8)), utf8(row.separator));
    EXPECT_EQ(endsParagraphSeparater(std::string_view(text8)), row.endsWithTerminator);
  }
}

TEST(Paragraphs, ATruncatedParagraphSeparatorInUtf8IsNone) {
  EXPECT_EQ(paragraphStrings(std::string_view("a\xE2\x80")).size(), 1u);
  EXPECT_FALSE(endsParagraphSeparater(std::string_view("a\xE2\x80")));
}

}  // namespace
