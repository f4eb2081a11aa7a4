// The status bar's counts and wording.
#include "paragraph_summary.h"

#include <gtest/gtest.h>

namespace {

using parasort::ParagraphSummary;
using parasort::statusText;
using parasort::summarizeParagraphs;

TEST(ParagraphSummary, CountsParagraphsAndThoseDeDuplicationWouldRemove) {
  EXPECT_EQ(summarizeParagraphs(u""), (ParagraphSummary{0, 0}));
  EXPECT_EQ(summarizeParagraphs(u"a"), (ParagraphSummary{1, 0}));
  EXPECT_EQ(summarizeParagraphs(u"b\na\nb\n"), (ParagraphSummary{3, 1}));
  // Equal by the collation: case does not count.
  EXPECT_EQ(summarizeParagraphs(u"Apple\u2029apple\u2029APPLE"), (ParagraphSummary{3, 2}));
  EXPECT_EQ(summarizeParagraphs(u"x\n\n\ny"), (ParagraphSummary{4, 1}));
}

TEST(ParagraphSummary, SaysWhatItCountedInWords) {
  EXPECT_EQ(statusText({0, 0}, false), QStringLiteral("0 paragraphs, no duplicates"));
  EXPECT_EQ(statusText({1, 0}, false), QStringLiteral("1 paragraph, no duplicates"));
  EXPECT_EQ(statusText({3, 1}, true), QStringLiteral("Selection: 3 paragraphs, 1 duplicate"));
  EXPECT_EQ(statusText({5, 2}, false), QStringLiteral("5 paragraphs, 2 duplicates"));
}

}  // namespace
