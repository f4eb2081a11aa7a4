// One default tab interval for the whole text.
#include "text_view_fixture.h"

#include <cmath>

namespace parasort::editor::test {
namespace {

using TQAdditions::defaultTabInterval;
using TQAdditions::setDefaultTabInterval;

template <class Implementation>
class TabInterval : public TextViewTest<Implementation> {
 protected:
  // Three paragraphs: no style, a head indent of 10, an interval of 72.
  void setThreeParagraphs() {
    this->setText(u"one" + PS + u"two" + PS + u"three");
    this->setStyle({4, 1}, indents(10, 10));
    this->setStyle({8, 1}, tabInterval(72));
  }
};
TYPED_TEST_SUITE(TabInterval, Implementations, ImplementationNames);

TYPED_TEST(TabInterval, TheFirstParagraphsIntervalIsTheTextsAndSettingItAgainIsNoChange) {
  this->setThreeParagraphs();
  this->countApprovals();
  EXPECT_EQ(defaultTabInterval(this->view()), 0.0);
  EXPECT_FALSE(setDefaultTabInterval(this->view(), 0.0));
  this->setStyle({0, 1}, tabInterval(36));
  EXPECT_EQ(defaultTabInterval(this->view()), 36.0);
  EXPECT_FALSE(setDefaultTabInterval(this->view(), 36.0));
  EXPECT_TRUE(this->approvals.empty());
  EXPECT_EQ(this->styleAt(8), tabInterval(72));
}

TYPED_TEST(TabInterval, TheComparisonIsExact) {
  this->setText(u"a");
  this->setStyle({0, 1}, tabInterval(36));
  const double nextUp = std::nextafter(36.0, 100.0);
  EXPECT_TRUE(setDefaultTabInterval(this->view(), nextUp));
  EXPECT_EQ(defaultTabInterval(this->view()), nextUp);
}

TYPED_TEST(TabInterval, ANewValueReachesEveryParagraphWhateverIsSelected) {
  this->setThreeParagraphs();
  this->view().setSelectedRange({5, 1});
  this->countApprovals();
  EXPECT_TRUE(setDefaultTabInterval(this->view(), 40.0));
  ParagraphStyle indented = indents(10, 10);
  indented.defaultTabInterval = 40;
  EXPECT_EQ(this->styleAt(0), tabInterval(40));
  EXPECT_EQ(this->styleAt(4), indented);
  EXPECT_EQ(this->styleAt(12), tabInterval(40));
  EXPECT_EQ(this->approvals, (std::vector<Range>{{0, 4}, {4, 4}, {8, 5}}));
  EXPECT_EQ(this->replacements, (std::vector<std::optional<std::u16string>>(3)));
  EXPECT_EQ(this->view().selectedRange(), (Range{5, 1}));
}

TYPED_TEST(TabInterval, RefusedParagraphsKeepTheirIntervalAndOnlyAllRefusedIsNoChange) {
  this->setThreeParagraphs();
  const AttributedString before = this->wholeText();
  this->countApprovals([](Range) { return true; });
  EXPECT_FALSE(setDefaultTabInterval(this->view(), 40.0));
  EXPECT_EQ(this->wholeText(), before);
  this->countApprovals([](Range range) { return range.location == 4; });
  EXPECT_TRUE(setDefaultTabInterval(this->view(), 40.0));
  EXPECT_EQ(this->styleAt(0), tabInterval(40));
  EXPECT_EQ(this->styleAt(4), indents(10, 10));
  EXPECT_EQ(this->styleAt(8), tabInterval(40));
}

TYPED_TEST(TabInterval, TheWholeLoopIsOneUndoStep) {
  this->setThreeParagraphs();
  const AttributedString before = this->wholeText();
  ASSERT_TRUE(setDefaultTabInterval(this->view(), 40.0));
  this->implementation.undo();
  EXPECT_EQ(this->wholeText(), before);
  this->implementation.redo();
  EXPECT_EQ(this->styleAt(12), tabInterval(40));
}

TYPED_TEST(TabInterval, AnEmptyTextTakesItInTheTypingAttributesWhenApproved) {
  this->countApprovals([](Range) { return true; });
  EXPECT_FALSE(setDefaultTabInterval(this->view(), 24.0));
  EXPECT_EQ(this->typingStyle(), std::nullopt);
  this->countApprovals();
  EXPECT_TRUE(setDefaultTabInterval(this->view(), 24.0));
  EXPECT_EQ(this->approvals.back(), (Range{0, 0}));
  EXPECT_EQ(this->typingStyle(), tabInterval(24));
  EXPECT_EQ(defaultTabInterval(this->view()), 24.0);
}

}  // namespace
}  // namespace parasort::editor::test
