// The TQAdditions operations over the text view contract: each case a run of
// operations and the state of the view after each.
#include "text_view_fixture.h"

#include "parasort/editor/paragraph_range.h"

#include <cmath>
#include <limits>

namespace parasort::editor::test {
namespace {

using namespace TQAdditions;

const AttributeName kItalicName(ItalicAttributeName);
const AttributeName kWeightName(FontWeightAttributeName);
const AttributeName kStyleName(ParagraphStyleAttributeName);
const auto refuseAll = [](Range) { return true; };
const auto refuseNone = [](Range) { return false; };

using Contract = TextViewTest;

TEST_F(Contract, Replacement) {
  setText("abc|def", {4, 1}, indents(1, 1));
  EXPECT_FALSE(actionReplaceCharactersInRange(view(), {0, 3}, std::nullopt));
  EXPECT_EQ(state(), "abc|(def:P1/1) @0,0");
  // Attributed text brings its own attributes; the approval sees its plain
  // text. (The splice, the selection and undo: random_operations.h.)
  AttributedString paragraphs(u16("p1|"), {{kStyleName, indents(40, 40)}});
  paragraphs.append(u16("p2|"), {{kItalicName, kItalic}});
  EXPECT_TRUE(actionReplaceCharactersInRange(view(), {4, 0}, paragraphs));
  EXPECT_EQ(state(), "abc|(p1|:P40/40)(p2|:i)(def:P1/1) @4,6 T{P40/40} ?4,0'p1|p2|'");
  EXPECT_EQ(selectedAttributedString(view()), paragraphs);
  view().setSelectedRange({2, 0});
  EXPECT_EQ(selectedAttributedString(view()), std::nullopt);
}

// Inside an editing bracket, reads see what was changed earlier in it.
TEST_F(Contract, ReadsInsideABracketSeeItsChanges) {
  setText("aa|bb|cc");
  TextStorage& storage = view().textStorage();
  storage.beginEditing();
  storage.addAttribute(ParagraphStyleAttributeName, indents(5, 5), {0, 6});
  Range effective;
  EXPECT_EQ(storage.attribute(ParagraphStyleAttributeName, 4, &effective), AttributeValue(indents(5, 5)));
  EXPECT_EQ(effective, (Range{0, 6}));
  view().setSelectedRange({4, 0});
  EXPECT_EQ(view().typingAttributes().objectForKey(ParagraphStyleAttributeName), AttributeValue(indents(5, 5)));
  storage.removeAttribute(ParagraphStyleAttributeName, {3, 1});
  storage.endEditing();
  EXPECT_EQ(state(), "(aa|:P5/5)bb|cc @4,0");
}

TEST_F(Contract, AttributeReadersFallBackOnTheTypingAttributesPastTheEnd) {
  setText("abcdef");
  setAttribute(ItalicAttributeName, kItalic, {2, 2});
  view().setSelectedRange({3, 2});
  Range effective{9, 9};
  EXPECT_EQ(currentSelectionAttribute(view(), ItalicAttributeName, &effective), kItalic);
  EXPECT_EQ(effective, (Range{2, 2}));
  EXPECT_EQ(attributesAtIndex(view(), 0, &effective), AttributeDictionary{});
  EXPECT_EQ(effective, (Range{0, 2}));
  view().setSelectedRange({6, 0});
  effective = {9, 9};
  EXPECT_EQ(attribute(view(), ItalicAttributeName, 6, &effective), std::nullopt);
  EXPECT_EQ(effective, (Range{9, 9}));
  view().setTypingAttributes({{kWeightName, kBold}});
  EXPECT_EQ(currentSelectionAttribute(view(), FontWeightAttributeName, &effective), kBold);
  EXPECT_EQ(effective, (Range{0, 0}));
  effective = {9, 9};
  EXPECT_EQ(currentSelectionAttributesEffectiveRange(view(), &effective), AttributeDictionary({{kWeightName, kBold}}));
  EXPECT_EQ(effective, (Range{0, 0}));
}

TEST_F(Contract, AttributeWritersChangeTheTypingAttributesOfAnEmptyTextOnly) {
  addAttribute(view(), ItalicAttributeName, kItalic, {5, 9});
  addAttributes(view(), {{kItalicName, AttributeValue(false)}, {kWeightName, kBold}}, {3, 1});
  removeAttribute(view(), ItalicAttributeName, {0, 4});
  EXPECT_EQ(state(), " @0,0 T{w700}");
  setText("abcdef");
  view().setSelectedRange({6, 0});
  addAttribute(view(), ItalicAttributeName, kItalic, {1, 2});
  addAttributes(view(), {{kWeightName, kBold}}, {2, 2});
  removeAttribute(view(), ItalicAttributeName, {2, 4});
  EXPECT_EQ(state(), "a(b:i)(cd:w700)ef @6,0");
}

TEST_F(Contract, ApprovedAttributeEdits) {
  setText("ab|cd|ef");
  EXPECT_TRUE(actionAddAttribute(view(), ItalicAttributeName, kItalic, {1, 2}));
  EXPECT_EQ(state(), "a(b|:i)cd|ef @1,2 ?1,2");
  EXPECT_TRUE(actionAddAttribute(view(), ParagraphStyleAttributeName, indents(8, 8), {4, 1}));
  EXPECT_EQ(state(), "a(b|:i)(cd|:P8/8)ef @4,1 T{P8/8} ?3,3");
  refuse = refuseAll;
  EXPECT_FALSE(actionRemoveAttribute(view(), ItalicAttributeName, {0, 3}));
  EXPECT_FALSE(actionAddAttribute(view(), FontWeightAttributeName, kBold, {0, 3}));
  EXPECT_EQ(state(), "a(b|:i)(cd|:P8/8)ef @0,3 ?0,3 ?0,3");
  refuse = refuseNone;
  EXPECT_TRUE(actionRemoveAttribute(view(), ItalicAttributeName, {2, 1}));
  EXPECT_EQ(state(), "a(b:i)|(cd|:P8/8)ef @2,1 T{i} ?2,1");
  EXPECT_TRUE(actionRemoveAttribute(view(), ParagraphStyleAttributeName, {1, 3}));
  EXPECT_EQ(state(), "a(b:i)|cd|ef @1,3 ?0,6");
  undo();
  EXPECT_EQ(state(), "a(b:i)|(cd|:P8/8)ef @0,0");

  setText("");
  EXPECT_TRUE(actionAddAttribute(view(), ItalicAttributeName, kItalic, {0, 0}));
  EXPECT_EQ(state(), " @0,0 T{i} ?0,0");
  EXPECT_TRUE(actionRemoveAttribute(view(), ItalicAttributeName, {0, 0}));
  EXPECT_EQ(state(), " @0,0 ?0,0");
}

TEST_F(Contract, OneTabIntervalForTheWholeText) {
  setText("one|two|three", {4, 1}, indents(10, 10));
  setAttribute(ParagraphStyleAttributeName, indents(0, 0, 72), {8, 1});
  EXPECT_EQ(defaultTabInterval(view()), 0.0);
  EXPECT_FALSE(setDefaultTabInterval(view(), 0.0));
  EXPECT_EQ(state(), "one|(two|:P10/10)(three:P0/0/t72) @0,0");
  // Every paragraph, whatever is selected, each approved on its own.
  view().setSelectedRange({5, 1});
  refuse = [](Range range) { return range.location == 4; };
  EXPECT_TRUE(setDefaultTabInterval(view(), 40.0));
  EXPECT_EQ(state(), "(one|:P0/0/t40)(two|:P10/10)(three:P0/0/t40) @5,1 T{P10/10} ?0,4 ?4,4 ?8,5");
  EXPECT_FALSE(setDefaultTabInterval(view(), 40.0));  // only the first paragraph counts
  refuse = refuseAll;
  EXPECT_FALSE(setDefaultTabInterval(view(), 30.0));
  EXPECT_EQ(state(), "(one|:P0/0/t40)(two|:P10/10)(three:P0/0/t40) @5,1 T{P10/10} ?0,4 ?4,4 ?8,5");
  refuse = refuseNone;
  const double nextUp = std::nextafter(40.0, 100.0);  // compared exactly
  EXPECT_TRUE(setDefaultTabInterval(view(), nextUp));
  EXPECT_EQ(defaultTabInterval(view()), nextUp);
  undo();
  EXPECT_EQ(state(), "(one|:P0/0/t40)(two|:P10/10)(three:P0/0/t40) @0,0 T{P0/0/t40} ?0,4 ?4,4 ?8,5");

  setText("");
  refuse = refuseAll;
  EXPECT_FALSE(setDefaultTabInterval(view(), 24.0));
  EXPECT_EQ(state(), " @0,0 ?0,0");
  refuse = refuseNone;
  EXPECT_TRUE(setDefaultTabInterval(view(), 24.0));
  EXPECT_EQ(state(), " @0,0 T{P0/0/t24} ?0,0");
  EXPECT_EQ(defaultTabInterval(view()), 24.0);
}

TEST_F(Contract, IndentShift) {
  const auto shift = [&](double delta) { return actionShiftParagraphInSelectedRangeByDelta(view(), delta); };
  struct Case { ParagraphStyle from; double delta; ParagraphStyle to; };
  const ParagraphStyle full{TextAlignment::Center, 8, 4, -12, 3, 2, 28};
  const ParagraphStyle fullShifted{TextAlignment::Center, 10, 6, -12, 3, 2, 28};
  // Both indents move, each stops at zero on its own, the rest is kept.
  for (const Case& c : {Case{indents(10, 0), 5, indents(15, 5)}, Case{indents(10, 0), -25, indents(0, 0)},
                        Case{indents(20, 5), -10, indents(10, 0)}, Case{full, 2, fullShifted}}) {
    setText("text", {0, 1}, c.from);
    EXPECT_TRUE(shift(c.delta));
    EXPECT_EQ(attribute(view(), ParagraphStyleAttributeName, 0, nullptr), AttributeValue(c.to));
  }

  setText("aa|bb|cc|dd", {3, 1}, indents(10, 30));
  setAttribute(ParagraphStyleAttributeName, indents(20, 20), {9, 1});
  for (double delta : {0.0, -0.0, std::numeric_limits<double>::infinity(), std::nan("")})
    EXPECT_FALSE(shift(delta));
  implementation->setEditable(false);
  EXPECT_FALSE(shift(5));
  implementation->setEditable(true);
  EXPECT_EQ(state(), "aa|(bb|:P10/30)cc|(dd:P20/20) @0,0");
  // Each touched paragraph from its own indents; a refused one stays, one
  // without a style starts from the default.
  view().setSelectedRange({1, 6});
  refuse = [](Range range) { return range.location == 0; };
  EXPECT_TRUE(shift(5));
  EXPECT_EQ(state(), "aa|(bb|:P15/35)(cc|:P5/5)(dd:P20/20) @1,6 ?0,3 ?3,3 ?6,3");
  undo();  // the whole loop is one step
  EXPECT_EQ(state(), "aa|(bb|:P10/30)cc|(dd:P20/20) @0,0");

  // No paragraph to work on: the typing attributes' style shifts instead.
  setText("ab|", {0, 1}, indents(3, 3));
  view().setSelectedRange({3, 0});
  view().setTypingAttributes({{kStyleName, indents(7, 7)}});
  EXPECT_TRUE(shift(10));
  EXPECT_EQ(state(), "(ab|:P3/3) @3,0 T{P17/17} ?3,0");
  setText("");
  refuse = refuseAll;
  EXPECT_TRUE(shift(4));
  EXPECT_EQ(state(), " @0,0 ?0,0");
}

// A shift moves the selection to a neighbour and back, so that whatever
// follows the selection takes up the new style; it ends as it was.
TEST_F(Contract, IndentShiftNudgesTheSelection) {
  const struct { Range selection; const char* seen; } cases[] = {
      {{5, 3}, "5,2 5,3 "}, {{4, 0}, "3,0 4,0 "}, {{0, 0}, "1,0 0,0 "}};
  for (const auto& [selection, seen] : cases) {
    setText("aaaa|bbbb");
    view().setSelectedRange(selection);
    std::string selections;
    QObject::connect(&implementation->edit, &QTextEdit::cursorPositionChanged, [&] {
      const Range now = view().selectedRange();
      selections += std::to_string(now.location) + "," + std::to_string(now.length) + " ";
    });
    ASSERT_TRUE(actionShiftParagraphInSelectedRangeByDelta(view(), 3));
    EXPECT_EQ(selections, seen) << selection.location;
  }
}

TEST(ParagraphRange, CoversEveryParagraphTouchedWithItsTerminator) {
  struct Case { std::u16string_view text; Range range; Range paragraphs; };
  const std::u16string_view text = u"ab\ncd\r\nef\rgh\u2029ij";
  for (const Case& c : {Case{text, {0, 1}, {0, 3}}, Case{text, {2, 1}, {0, 3}}, Case{text, {4, 1}, {3, 4}},
                        Case{text, {6, 1}, {3, 4}}, Case{text, {8, 1}, {7, 3}}, Case{text, {11, 1}, {10, 3}},
                        Case{text, {13, 1}, {13, 2}}, Case{text, {1, 3}, {0, 7}}, Case{text, {1, 2}, {0, 3}},
                        Case{text, {4, 0}, {3, 4}}, Case{u"ab\ncd", {5, 0}, {3, 2}}, Case{u"ab\n", {3, 0}, {3, 0}},
                        Case{u"", {0, 0}, {0, 0}}, Case{u"ab\n", {9, 4}, {3, 0}},
                        Case{u"a\u2028b\u0085c\fd", {2, 1}, {0, 7}}})
    EXPECT_EQ(paragraphRangeForRange(c.text, c.range), c.paragraphs) << c.range.location;
  const std::u16string_view crlf = u"a\r\nb\nc";
  for (Index i = 0; i <= 6; ++i) EXPECT_EQ(isParagraphStart(crlf, i), i == 0 || i == 3 || i == 5) << i;
}

}  // namespace
}  // namespace parasort::editor::test
