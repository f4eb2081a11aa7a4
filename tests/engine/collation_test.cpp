#include "parasort/engine/collation.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using parasort::ParagraphCollator;
using parasort::ParagraphCompare;
using parasort::ParagraphCompareContext;

class RootCollation : public ::testing::Test {
 protected:
  ParagraphCollator root{""};
  int compare(std::u16string_view a, std::u16string_view b) const { return root.compare(a, b); }
};

TEST_F(RootCollation, IgnoresCaseAndWidth) {
  EXPECT_EQ(compare(u"Apple", u"apple"), 0);
  EXPECT_EQ(compare(u"ＡＢＣ", u"abc"), 0);  // full-width forms
  EXPECT_EQ(compare(u"ｶ", u"カ"), 0);       // half-width katakana
  EXPECT_LT(compare(u"apple", u"Banana"), 0);
}

TEST_F(RootCollation, DiacriticsCountButComposedEqualsDecomposed) {
  EXPECT_NE(compare(u"\u00E9", u"e"), 0);
  EXPECT_LT(compare(u"e", u"\u00E9"), 0);
  EXPECT_EQ(compare(u"\u00E9", u"e\u0301"), 0);
  EXPECT_EQ(compare(u"\u00C5ngstr\u00F6m", u"A\u030Angstro\u0308m"), 0);
}

TEST_F(RootCollation, PunctuationAndSpacesAreSignificant) {
  EXPECT_NE(compare(u"a-b", u"ab"), 0);
  EXPECT_NE(compare(u"a b", u"ab"), 0);
  EXPECT_NE(compare(u"co-op", u"coop"), 0);
}

TEST_F(RootCollation, DigitRunsCompareByValue) {
  EXPECT_LT(compare(u"item9", u"item10"), 0);
  EXPECT_LT(compare(u"2", u"10"), 0);
  EXPECT_EQ(compare(u"file01", u"file1"), 0);  // leading zeros do not count
  EXPECT_LT(compare(u"v1.9", u"v1.10"), 0);
  // Far beyond 64-bit integers, up to 254 digits: still by value.
  EXPECT_LT(compare(std::u16string(253, u'9'), u"1" + std::u16string(253, u'0')), 0);
  // Longer runs are compared 254 digits at a time: defined, and no error.
  EXPECT_GT(compare(std::u16string(300, u'9'), u"1" + std::u16string(300, u'0')), 0);
}

TEST_F(RootCollation, ControlCharactersAndNulAreIgnorable) {
  EXPECT_EQ(compare(std::u16string_view(u"a\0b", 3), u"ab"), 0);
  EXPECT_EQ(compare(u"a\u00ADb", u"ab"), 0);  // soft hyphen
}

TEST_F(RootCollation, LongParagraphsCompareLikeShortOnes) {
  const std::u16string prefix(100, u'x');
  EXPECT_EQ(compare(prefix + u"A", prefix + u"a"), 0);
  EXPECT_LT(compare(prefix + u"item9", prefix + u"item10"), 0);
  EXPECT_GT(compare(std::u16string(33, u'b'), std::u16string(32, u'b')), 0);
}

TEST_F(RootCollation, Utf8AgreesWithUtf16) {
  const std::pair<std::string_view, std::u16string_view> samples[] = {
      {"Apple", u"Apple"}, {"apple", u"apple"}, {"\xC3\xA9", u"\u00E9"}, {"e", u"e"},
      {"item10", u"item10"}, {"item9", u"item9"}, {"\xF0\x9F\x98\x80", u"\U0001F600"}, {"", u""}};
  for (const auto& [a8, a16] : samples)
    for (const auto& [b8, b16] : samples)
      EXPECT_EQ(root.compare(a8, b8), root.compare(a16, b16)) << a8 << " vs " << b8;
}

TEST(LocaleCollation, SwedishPutsODiaeresisAfterZGermanWithO) {
  const ParagraphCollator swedish("sv_SE");
  const ParagraphCollator german("de_DE");
  EXPECT_GT(swedish.compare(u"\u00F6", u"z"), 0);
  EXPECT_LT(german.compare(u"\u00F6", u"z"), 0);
  EXPECT_LT(german.compare(u"o", u"\u00F6"), 0);
  EXPECT_LT(german.compare(u"\u00F6", u"p"), 0);
}

TEST(LocaleCollation, AcceptsPosixAndLanguageTagNames) {
  for (const char* name : {"sv_SE", "sv_SE.UTF-8", "sv-SE", "sv_SE.UTF-8@euro", "sv"}) {
    const ParagraphCollator swedish(name);
    EXPECT_TRUE(swedish.knowsRequestedLocale()) << name;
    EXPECT_GT(swedish.compare(u"\u00F6", u"z"), 0) << name;
  }
}

TEST(LocaleCollation, UnknownLocalesFallBackToRootAndSaySo) {
  const ParagraphCollator root("");
  for (const char* name : {"xx_YY", "qq", "not a locale at all", "@@@", "de_DE.UTF-8@@x=="}) {
    const ParagraphCollator unknown(name);
    EXPECT_EQ(unknown.compare(u"\u00F6", u"z"), root.compare(u"\u00F6", u"z")) << name;
    EXPECT_EQ(unknown.compare(u"Item9", u"item10"), -1) << name;  // -1 exactly, not any negative
  }
  for (const char* name : {"xx_YY", "@@@", ".UTF-8", "@euro", "../../etc/passwd"})
    EXPECT_FALSE(ParagraphCollator(name).knowsRequestedLocale()) << name;
  for (const char* name : {"", "C", "POSIX", "C.UTF-8", "en_US.UTF-8", "root"})
    EXPECT_TRUE(ParagraphCollator(name).knowsRequestedLocale()) << name;
}

TEST(ParagraphCompare, NegatesForDescendingAndUsesTheGivenCollator) {
  const ParagraphCollator swedish("sv_SE");
  const ParagraphCompareContext ascending{.ascending = 1, .collator = &swedish};
  const ParagraphCompareContext descending{.ascending = 0, .collator = &swedish};
  EXPECT_EQ(ParagraphCompare(std::u16string_view(u"\u00F6"), u"z", &ascending), 1);
  EXPECT_EQ(ParagraphCompare(std::u16string_view(u"\u00F6"), u"z", &descending), -1);
  EXPECT_EQ(ParagraphCompare(std::u16string_view(u"A"), u"a", &descending), 0);
  EXPECT_EQ(ParagraphCompare(std::string_view("b"), "a", &descending), -1);
}

}  // namespace
