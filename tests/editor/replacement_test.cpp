// Replacing a range as one approved, undoable edit, and reading the
// selected text back.
#include "text_view_fixture.h"

namespace parasort::editor::test {
namespace {

using TQAdditions::actionReplaceCharactersInRange;
using TQAdditions::selectedAttributedString;

template <class Implementation>
class Replacement : public TextViewTest<Implementation> {
 protected:
  bool replace(Range range, std::u16string_view text) {
    return actionReplaceCharactersInRange(this->view(), range, std::u16string(text));
  }
};
TYPED_TEST_SUITE(Replacement, Implementations, ImplementationNames);

TYPED_TEST(Replacement, TheNewTextIsSelectedWhateverTheLengths) {
  this->setText(u"one two three");
  EXPECT_TRUE(this->replace({4, 3}, u"2"));
  EXPECT_EQ(this->view().string(), u"one 2 three");
  EXPECT_EQ(this->view().selectedRange(), (Range{4, 1}));
  EXPECT_TRUE(this->replace({0, 0}, u"[]"));  // an insertion point
  EXPECT_EQ(this->view().string(), u"[]one 2 three");
  EXPECT_EQ(this->view().selectedRange(), (Range{0, 2}));
  EXPECT_TRUE(this->replace({2, 10}, u"seven!!"));
  EXPECT_EQ(this->view().string(), u"[]seven!!e");
  EXPECT_EQ(this->view().selectedRange(), (Range{2, 7}));
}

TYPED_TEST(Replacement, EmptyTextDeletesAndLeavesAnInsertionPoint) {
  this->setText(u"abcdef");
  EXPECT_TRUE(this->replace({1, 3}, u""));
  EXPECT_EQ(this->view().string(), u"aef");
  EXPECT_EQ(this->view().selectedRange(), (Range{1, 0}));
}

TYPED_TEST(Replacement, NoObjectChangesNothingAtAll) {
  this->setText(u"abcdef");
  this->view().setSelectedRange({2, 1});
  this->countApprovals();
  EXPECT_FALSE(actionReplaceCharactersInRange(this->view(), {0, 3}, std::nullopt));
  EXPECT_EQ(this->view().string(), u"abcdef");
  EXPECT_EQ(this->view().selectedRange(), (Range{2, 1}));
  EXPECT_TRUE(this->approvals.empty());
}

TYPED_TEST(Replacement, ARefusalLeavesTheTextAndSelectsTheRange) {
  this->setText(u"abcdef");
  this->countApprovals([](Range) { return true; });
  EXPECT_FALSE(this->replace({1, 2}, u"Z"));
  EXPECT_EQ(this->view().string(), u"abcdef");
  EXPECT_EQ(this->view().selectedRange(), (Range{1, 2}));
  this->countApprovals();
  this->implementation.setEditable(false);
  EXPECT_FALSE(this->replace({0, 1}, u"Z"));
  EXPECT_EQ(this->view().string(), u"abcdef");
}

TYPED_TEST(Replacement, AttributedTextBringsItsAttributesAndIsApprovedAsPlainText) {
  this->setText(u"abcdef");
  this->countApprovals();
  const AttributedString italic(u"XY", {{AttributeName(ItalicAttributeName), kItalic}});
  EXPECT_TRUE(actionReplaceCharactersInRange(this->view(), {3, 1}, italic));
  EXPECT_EQ(this->approvals, (std::vector<Range>{{3, 1}}));
  EXPECT_EQ(this->replacements[0], std::optional<std::u16string>(u"XY"));
  EXPECT_EQ(this->view().string(), u"abcXYef");
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 2), std::nullopt);
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 3), kItalic);
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 4), kItalic);
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 5), std::nullopt);
}

TYPED_TEST(Replacement, PlainTextTakesTheAttributesOfTheFirstReplacedCharacter) {
  this->setText(u"one two");
  this->setAttribute(FontWeightAttributeName, kBold, {4, 3});
  EXPECT_TRUE(this->replace({4, 3}, u"2"));
  EXPECT_EQ(this->attributeAt(FontWeightAttributeName, 4), kBold);
  EXPECT_EQ(this->attributeAt(FontWeightAttributeName, 3), std::nullopt);
}

TYPED_TEST(Replacement, EachReplacementIsOneUndoStepRestoredExactly) {
  this->setText(u"aa" + PS + u"bb");
  this->setStyle({0, 1}, indents(10, 20));
  this->setStyle({3, 1}, indents(30, 0));
  this->setAttribute(ItalicAttributeName, kItalic, {1, 3});
  const AttributedString before = this->wholeText();
  EXPECT_TRUE(this->replace({1, 3}, u"x" + PS + u"y"));
  const AttributedString afterFirst = this->wholeText();
  EXPECT_TRUE(this->replace({0, 1}, u"Z"));
  this->implementation.undo();
  EXPECT_EQ(this->wholeText(), afterFirst);
  this->implementation.undo();
  EXPECT_EQ(this->wholeText(), before);
  this->implementation.redo();
  EXPECT_EQ(this->wholeText(), afterFirst);
}

TYPED_TEST(Replacement, ParagraphStylesFollowJoinedAndSplitParagraphs) {
  this->setText(u"aa" + PS + u"bb");
  this->setStyle({0, 1}, indents(10, 10));
  this->setStyle({3, 1}, indents(30, 30));
  EXPECT_TRUE(this->replace({1, 3}, u""));  // joined: the first one's style
  EXPECT_EQ(this->styleAt(1), indents(10, 10));
  EXPECT_TRUE(this->replace({1, 0}, PS));  // split: both halves keep it
  EXPECT_EQ(this->view().string(), u"a" + PS + u"b");
  EXPECT_EQ(this->styleAt(0), indents(10, 10));
  EXPECT_EQ(this->styleAt(2), indents(10, 10));
}

TYPED_TEST(Replacement, ParagraphsInAttributedTextBringTheirStyle) {
  this->setText(u"end");
  this->setStyle({0, 1}, indents(1, 1));
  AttributedString paragraphs(u"p1" + PS, {{AttributeName(ParagraphStyleAttributeName), indents(40, 40)}});
  paragraphs.append(u"p2" + PS, {});
  EXPECT_TRUE(actionReplaceCharactersInRange(this->view(), {0, 0}, paragraphs));
  EXPECT_EQ(this->view().string(), u"p1" + PS + u"p2" + PS + u"end");
  EXPECT_EQ(this->styleAt(0), indents(40, 40));
  EXPECT_EQ(this->styleAt(3), std::nullopt);
  EXPECT_EQ(this->styleAt(6), indents(1, 1));
}

TYPED_TEST(Replacement, SelectedAttributedStringIsTheSelectionWithItsAttributes) {
  this->setText(u"abcd");
  this->setAttribute(ItalicAttributeName, kItalic, {2, 2});
  this->view().setSelectedRange({1, 0});
  EXPECT_EQ(selectedAttributedString(this->view()), std::nullopt);
  this->view().setSelectedRange({1, 2});
  AttributedString expected(u"b");
  expected.append(u"c", {{AttributeName(ItalicAttributeName), kItalic}});
  EXPECT_EQ(selectedAttributedString(this->view()), expected);
}

}  // namespace
}  // namespace parasort::editor::test
