// The collator's own surface: which locales it knows, and the comparison's
// direction and collator as the sort callback gets them. What the collation
// orders how is the transforms' golden data.
#include "parasort/engine/collation.h"

#include <gtest/gtest.h>

namespace {

using namespace parasort;

TEST(ParagraphCollator, UnknownLocalesFallBackToRootAndSaySo) {
  const ParagraphCollator root("");
  for (const char* name : {"xx_YY", "qq", "not a locale at all", "@@@", "de_DE.UTF-8@@x==", ".UTF-8", "@euro"}) {
    const ParagraphCollator unknown(name);
    EXPECT_FALSE(unknown.knowsRequestedLocale()) << name;
    EXPECT_EQ(unknown.compare(u"\u00F6", u"z"), root.compare(u"\u00F6", u"z")) << name;
  }
  for (const char* name : {"", "C", "POSIX", "C.UTF-8", "en_US.UTF-8", "root", "sv_SE.UTF-8@euro", "sv-SE"})
    EXPECT_TRUE(ParagraphCollator(name).knowsRequestedLocale()) << name;
  EXPECT_EQ(ParagraphCollator("sv-SE").compare(u"\u00F6", u"z"), 1);
}

TEST(ParagraphCompare, IsMinusOneZeroOrOneNegatedForDescendingByTheGivenCollator) {
  const ParagraphCollator swedish("sv_SE");
  const ParagraphCompareContext ascending{.ascending = 1, .collator = &swedish};
  const ParagraphCompareContext descending{.ascending = 0, .collator = &swedish};
  EXPECT_EQ(ParagraphCompare(std::u16string_view(u"\u00F6"), u"z", &ascending), 1);
  EXPECT_EQ(ParagraphCompare(std::u16string_view(u"\u00F6"), u"z", &descending), -1);
  EXPECT_EQ(ParagraphCompare(std::u16string_view(u"A"), u"a", &descending), 0);
  EXPECT_EQ(ParagraphCompare(std::string_view("\xC3\xB6"), "z", &descending), -1);
  EXPECT_EQ(ParagraphCompare(std::string_view("item9"), "item10", &ascending), -1);
}

}  // namespace

namespace {

// Each set of options, asked for one after another on one thread, gets a
// collator of its own: by the pairs that only its strength and numbers
// tell apart.
TEST(ParagraphCollator, ForUserGivesEachOptionSetItsOwnCollatorOnOneThread) {
  struct Expectation {
    CollationOptions options;
    int accents;     // "a" against "á"
    int cases;       // "a" against "A"
    int softHyphen;  // "ab" against "a<soft hyphen>b"
    int digits;      // "a9" against "a10"
  };
  const Expectation expectations[] = {
      {{.strength = CollationStrength::primary}, 0, 0, 0, -1},
      {{.strength = CollationStrength::secondary}, -1, 0, 0, -1},
      {{.strength = CollationStrength::tertiary}, -1, -1, 0, -1},
      {{.strength = CollationStrength::identical}, -1, -1, -1, -1},
      {{.strength = CollationStrength::secondary, .numeric = false}, -1, 0, 0, 1},
  };
  // Twice round, so that every set is asked for after every other.
  for (int round = 0; round < 2; ++round) {
    for (const Expectation& expected : expectations) {
      SCOPED_TRACE(testing::Message() << "strength " << nameOf(expected.options.strength) << ", numeric "
                                      << expected.options.numeric << ", round " << round);
      const ParagraphCollator& collator = ParagraphCollator::forUser(expected.options);
      EXPECT_EQ(collator.compare(u"a", u"\u00E1"), expected.accents);
      EXPECT_EQ(collator.compare(u"a", u"A"), expected.cases);
      EXPECT_EQ(collator.compare(u"ab", u"a\u00ADb"), expected.softHyphen);
      EXPECT_EQ(collator.compare(u"a9", u"a10"), expected.digits);
    }
  }
}

}  // namespace
