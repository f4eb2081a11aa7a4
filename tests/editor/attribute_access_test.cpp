// Attribute readers and writers, which fall back to the typing attributes
// past the end of the text and on an empty text.
#include "text_view_fixture.h"

namespace parasort::editor::test {
namespace {

using namespace TQAdditions;

const AttributeName kItalicName(ItalicAttributeName);
const AttributeName kWeightName(FontWeightAttributeName);

template <class Implementation>
class AttributeAccess : public TextViewTest<Implementation> {};
TYPED_TEST_SUITE(AttributeAccess, Implementations, ImplementationNames);

TYPED_TEST(AttributeAccess, InsideTheTextTheStorageAnswersWithItsEffectiveRange) {
  this->setText(u"abcdef");
  this->setAttribute(ItalicAttributeName, kItalic, {2, 2});
  this->view().setSelectedRange({3, 2});
  Range effective{99, 99};
  EXPECT_EQ(currentSelectionAttribute(this->view(), ItalicAttributeName, &effective), kItalic);
  EXPECT_EQ(effective, (Range{2, 2}));
  EXPECT_EQ(attribute(this->view(), ItalicAttributeName, 5, &effective), std::nullopt);
  EXPECT_EQ(effective, (Range{4, 2}));
  EXPECT_EQ(attributesAtIndex(this->view(), 0, &effective), AttributeDictionary{});
  EXPECT_EQ(effective, (Range{0, 2}));
}

TYPED_TEST(AttributeAccess, AtTheEndTheTypingAttributesAnswerWithAnEmptyRangeIfAny) {
  this->setText(u"ab");
  this->view().setSelectedRange({2, 0});
  Range effective{7, 7};
  EXPECT_EQ(attribute(this->view(), ItalicAttributeName, 2, &effective), std::nullopt);
  EXPECT_EQ(effective, (Range{7, 7}));
  this->view().setTypingAttributes({{kItalicName, kItalic}});
  EXPECT_EQ(currentSelectionAttribute(this->view(), ItalicAttributeName, &effective), kItalic);
  EXPECT_EQ(effective, (Range{0, 0}));
  EXPECT_EQ(attributesAtIndex(this->view(), 5, &effective), this->view().typingAttributes());
  EXPECT_EQ(this->attributeAt(ItalicAttributeName, 1), std::nullopt);
}

TYPED_TEST(AttributeAccess, OnAnEmptyTextEveryIndexReadsTheTypingAttributes) {
  this->view().setTypingAttributes({{kItalicName, kItalic}});
  for (Index index : {Index{0}, Index{3}, Index{100}}) {
    EXPECT_EQ(attribute(this->view(), ItalicAttributeName, index, nullptr), kItalic);
    EXPECT_EQ(attributesAtIndex(this->view(), index, nullptr), (AttributeDictionary{{kItalicName, kItalic}}));
  }
}

TYPED_TEST(AttributeAccess, WritersOnAnEmptyTextChangeTheTypingAttributesWhateverTheRange) {
  addAttribute(this->view(), ItalicAttributeName, kItalic, {5, 9});
  EXPECT_EQ(this->view().typingAttributes().objectForKey(ItalicAttributeName), kItalic);
  addAttributes(this->view(), {{kItalicName, AttributeValue(false)}, {kWeightName, kBold}}, {3, 1});
  EXPECT_EQ(this->view().typingAttributes(),
            (AttributeDictionary{{kItalicName, AttributeValue(false)}, {kWeightName, kBold}}));
  removeAttribute(this->view(), ItalicAttributeName, {0, 4});
  EXPECT_EQ(this->view().typingAttributes(), (AttributeDictionary{{kWeightName, kBold}}));
  EXPECT_EQ(this->view().string(), u"");
}

TYPED_TEST(AttributeAccess, WritersOnTextChangeOnlyTheGivenRange) {
  this->setText(u"abcdef");
  this->view().setSelectedRange({6, 0});
  const AttributeDictionary typingBefore = this->view().typingAttributes();
  addAttribute(this->view(), ItalicAttributeName, kItalic, {1, 2});
  addAttributes(this->view(), {{kWeightName, kBold}}, {2, 2});
  removeAttribute(this->view(), ItalicAttributeName, {2, 4});
  const std::vector<std::optional<AttributeValue>> italic{std::nullopt, kItalic, std::nullopt};
  for (Index i = 0; i < 3; ++i) EXPECT_EQ(this->attributeAt(ItalicAttributeName, i), italic[i]);
  EXPECT_EQ(this->attributeAt(FontWeightAttributeName, 3), kBold);
  EXPECT_EQ(this->attributeAt(FontWeightAttributeName, 4), std::nullopt);
  EXPECT_EQ(this->view().typingAttributes(), typingBefore);
}

TYPED_TEST(AttributeAccess, TheParagraphStyleCoversWholeParagraphs) {
  this->setText(u"ab" + PS + u"cd" + PS + u"ef");
  addAttribute(this->view(), ParagraphStyleAttributeName, indents(12, 12), {4, 1});
  EXPECT_EQ(this->styleAt(2), std::nullopt);
  EXPECT_EQ(this->styleAt(6), std::nullopt);
  Range effective;
  EXPECT_TRUE(attribute(this->view(), ParagraphStyleAttributeName, 4, &effective));
  EXPECT_EQ(effective, (Range{3, 3}));
}

TYPED_TEST(AttributeAccess, UnknownAttributesAreKeptExactly) {
  this->setText(u"abc");
  const AttributeValue note = std::u16string(u"reviewed");
  addAttribute(this->view(), "ReviewNote", note, {0, 2});
  EXPECT_EQ(this->attributeAt("ReviewNote", 1), note);
  EXPECT_EQ(this->attributeAt("ReviewNote", 2), std::nullopt);
}

}  // namespace
}  // namespace parasort::editor::test
