// Shifting the indents of the selected paragraphs, clamped at zero.
#include "text_view_fixture.h"

#include <limits>

namespace parasort::editor::test {
namespace {

using TQAdditions::actionShiftParagraphInSelectedRangeByDelta;

template <class Implementation>
class IndentShift : public TextViewTest<Implementation> {
 protected:
  // Shifts the one paragraph "text" styled `style` by `delta`.
  std::optional<ParagraphStyle> shiftOne(const ParagraphStyle& style, double delta) {
    this->setText(u"text");
    this->setStyle({0, 1}, style);
    this->view().setSelectedRange({1, 0});
    EXPECT_TRUE(actionShiftParagraphInSelectedRangeByDelta(this->view(), delta));
    return this->styleAt(0);
  }
};
TYPED_TEST_SUITE(IndentShift, Implementations, ImplementationNames);

TYPED_TEST(IndentShift, BothIndentsMoveAndEachStopsAtZero) {
  EXPECT_EQ(this->shiftOne(indents(10, 0), 5), indents(15, 5));
  EXPECT_EQ(this->shiftOne(indents(10, 0), -25), indents(0, 0));
  EXPECT_EQ(this->shiftOne(indents(20, 5), -10), indents(10, 0));
}

TYPED_TEST(IndentShift, EveryOtherStyleFieldIsKept) {
  ParagraphStyle style = indents(4, 8);
  style.alignment = TextAlignment::Center;
  style.defaultTabInterval = 28;
  style.tailIndent = -12;
  style.paragraphSpacing = 3;
  style.paragraphSpacingBefore = 2;
  ParagraphStyle expected = style;
  expected.headIndent = 6;
  expected.firstLineHeadIndent = 10;
  EXPECT_EQ(this->shiftOne(style, 2), expected);
}

TYPED_TEST(IndentShift, ZeroOrNonFiniteDeltaDoesNothing) {
  this->setText(u"text");
  this->setStyle({0, 1}, indents(10, 10));
  this->countApprovals();
  for (double delta : {0.0, -0.0, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()})
    EXPECT_FALSE(actionShiftParagraphInSelectedRangeByDelta(this->view(), delta));
  this->implementation.setEditable(false);  // no paragraph change allowed
  EXPECT_FALSE(actionShiftParagraphInSelectedRangeByDelta(this->view(), 5));
  EXPECT_TRUE(this->approvals.empty());
  EXPECT_EQ(this->styleAt(0), indents(10, 10));
}

TYPED_TEST(IndentShift, EachSelectedParagraphMovesFromItsOwnIndents) {
  this->setText(u"aa" + PS + u"bb" + PS + u"cc");
  this->setStyle({0, 1}, indents(0, 0));
  this->setStyle({3, 1}, indents(10, 30));
  this->setStyle({6, 1}, indents(20, 20));
  this->view().setSelectedRange({1, 3});
  this->countApprovals();
  EXPECT_TRUE(actionShiftParagraphInSelectedRangeByDelta(this->view(), 5));
  EXPECT_EQ(this->styleAt(0), indents(5, 5));
  EXPECT_EQ(this->styleAt(3), indents(15, 35));
  EXPECT_EQ(this->styleAt(6), indents(20, 20));
  EXPECT_EQ(this->approvals, (std::vector<Range>{{0, 3}, {3, 3}}));
  EXPECT_EQ(this->view().selectedRange(), (Range{1, 3}));
}

TYPED_TEST(IndentShift, ARefusedParagraphStaysAndAStylelessOneStartsFromTheDefault) {
  this->setText(u"aa" + PS + u"bb");
  this->view().setSelectedRange({0, 5});
  this->countApprovals([](Range range) { return range.location == 0; });
  EXPECT_TRUE(actionShiftParagraphInSelectedRangeByDelta(this->view(), 5));
  EXPECT_EQ(this->styleAt(0), std::nullopt);
  EXPECT_EQ(this->styleAt(3), indents(5, 5));
}

TYPED_TEST(IndentShift, TheWholeShiftIsOneUndoStep) {
  this->setText(u"aa" + PS + u"bb" + PS + u"cc");
  this->setStyle({3, 1}, indents(10, 10));
  const AttributedString before = this->wholeText();
  this->view().setSelectedRange({0, 8});
  ASSERT_TRUE(actionShiftParagraphInSelectedRangeByDelta(this->view(), 5));
  ASSERT_NE(this->wholeText(), before);
  this->implementation.undo();
  EXPECT_EQ(this->wholeText(), before);
}

TYPED_TEST(IndentShift, AnEmptyTextShiftsTheTypingAttributesWhenApproved) {
  this->view().setTypingAttributes({{AttributeName(ParagraphStyleAttributeName), indents(10, 0)}});
  this->countApprovals([](Range) { return true; });
  EXPECT_TRUE(actionShiftParagraphInSelectedRangeByDelta(this->view(), -4));
  EXPECT_EQ(this->typingStyle(), indents(10, 0));
  this->approvals.clear();
  this->countApprovals();
  EXPECT_TRUE(actionShiftParagraphInSelectedRangeByDelta(this->view(), -4));
  EXPECT_EQ(this->typingStyle(), indents(6, 0));
  EXPECT_EQ(this->approvals, (std::vector<Range>{{0, 0}}));
  EXPECT_EQ(this->view().string(), u"");
}

TYPED_TEST(IndentShift, TheEmptyLastParagraphShiftsTheTypingAttributesNotTheText) {
  this->setText(u"ab" + PS);
  this->setStyle({0, 1}, indents(3, 3));
  this->view().setSelectedRange({3, 0});
  this->view().setTypingAttributes({{AttributeName(ParagraphStyleAttributeName), indents(7, 7)}});
  EXPECT_TRUE(actionShiftParagraphInSelectedRangeByDelta(this->view(), 10));
  EXPECT_EQ(this->typingStyle(), indents(17, 17));
  EXPECT_EQ(this->styleAt(0), indents(3, 3));
  EXPECT_EQ(this->styleAt(2), indents(3, 3));
  EXPECT_EQ(this->view().selectedRange(), (Range{3, 0}));
}

}  // namespace
}  // namespace parasort::editor::test
