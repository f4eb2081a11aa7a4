// Adding and removing an attribute as an approved, undoable edit.
#include "text_view_fixture.h"

namespace parasort::editor::test {
namespace {

using TQAdditions::actionAddAttribute;
using TQAdditions::actionRemoveAttribute;

template <class Implementation>
class ApprovedAttributeEdits : public TextViewTest<Implementation> {};
TYPED_TEST_SUITE(ApprovedAttributeEdits, Implementations, ImplementationNames);

TYPED_TEST(ApprovedAttributeEdits, AddingACharacterAttributeChangesAndSelectsTheRange) {
  this->setText(u"abcdef");
  this->countApprovals();
  EXPECT_TRUE(actionAddAttribute(this->view(), ItalicAttributeName, kItalic, {1, 2}));
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 0), std::nullopt);
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 1), kItalic);
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 2), kItalic);
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 3), std::nullopt);
  EXPECT_EQ(this->view().selectedRange(), (Range{1, 2}));
  EXPECT_EQ(this->approvals, (std::vector<Range>{{1, 2}}));
  EXPECT_EQ(this->replacements[0], std::nullopt);
}

TYPED_TEST(ApprovedAttributeEdits, AParagraphStyleIsApprovedAndSetForWholeParagraphs) {
  this->setText(u"ab" + PS + u"cd" + PS + u"ef");
  this->countApprovals();
  EXPECT_TRUE(actionAddAttribute(this->view(), ParagraphStyleAttributeName, indents(8, 8), {4, 1}));
  EXPECT_EQ(this->approvals, (std::vector<Range>{{3, 3}}));
  EXPECT_EQ(this->styleAt(0), std::nullopt);
  EXPECT_EQ(this->styleAt(3), indents(8, 8));
  EXPECT_EQ(this->styleAt(5), indents(8, 8));
  EXPECT_EQ(this->styleAt(6), std::nullopt);
  EXPECT_EQ(this->view().selectedRange(), (Range{4, 1}));
}

TYPED_TEST(ApprovedAttributeEdits, ARefusalChangesNothingButLeavesTheRangeSelected) {
  this->setText(u"abcdef");
  this->countApprovals([](Range) { return true; });
  EXPECT_FALSE(actionAddAttribute(this->view(), ItalicAttributeName, kItalic, {1, 2}));
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 1), std::nullopt);
  EXPECT_EQ(this->view().selectedRange(), (Range{1, 2}));
  this->setAttribute(ItalicAttributeName, kItalic, {0, 6});
  EXPECT_FALSE(actionRemoveAttribute(this->view(), ItalicAttributeName, {0, 3}));
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 0), kItalic);
}

TYPED_TEST(ApprovedAttributeEdits, RemovingACharacterAttributeClearsTheApprovedRange) {
  this->setText(u"abcdef");
  this->setAttribute(ItalicAttributeName, kItalic, {0, 6});
  EXPECT_TRUE(actionRemoveAttribute(this->view(), ItalicAttributeName, {2, 2}));
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 1), kItalic);
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 2), std::nullopt);
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 3), std::nullopt);
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 4), kItalic);
}

TYPED_TEST(ApprovedAttributeEdits, RemovingTheParagraphStyleClearsEveryTouchedParagraph) {
  this->setText(u"ab" + PS + u"cd" + PS + u"ef");
  this->setStyle({0, 8}, indents(8, 8));
  EXPECT_TRUE(actionRemoveAttribute(this->view(), ParagraphStyleAttributeName, {1, 3}));
  EXPECT_EQ(this->styleAt(0), std::nullopt);
  EXPECT_EQ(this->styleAt(4), std::nullopt);
  EXPECT_EQ(this->styleAt(6), indents(8, 8));
}

TYPED_TEST(ApprovedAttributeEdits, OnAnEmptyTextTheTypingAttributesChange) {
  EXPECT_TRUE(actionAddAttribute(this->view(), ItalicAttributeName, kItalic, {0, 0}));
  EXPECT_EQ(this->view().typingAttributes().objectForKey(ItalicAttributeName), kItalic);
  EXPECT_TRUE(actionRemoveAttribute(this->view(), ItalicAttributeName, {0, 0}));
  EXPECT_EQ(this->view().typingAttributes().objectForKey(ItalicAttributeName), std::nullopt);
}

TYPED_TEST(ApprovedAttributeEdits, AnEditIsUndoneWhole) {
  this->setText(u"abcdef");
  const AttributedString before = this->wholeText();
  ASSERT_TRUE(actionAddAttribute(this->view(), FontWeightAttributeName, kBold, {0, 4}));
  this->implementation.undo();
  EXPECT_EQ(this->wholeText(), before);
}

}  // namespace
}  // namespace parasort::editor::test
