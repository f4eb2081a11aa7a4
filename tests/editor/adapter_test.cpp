// What only the QTextEdit adapter promises: paragraph breaks as the
// document keeps them, attributes that Qt draws, and one undo history
// across the documents that whole-text replacements show.
#include "text_view_fixture.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace parasort::editor::test {
namespace {

using namespace TQAdditions;

constexpr double kPixelsPerPoint = 96.0 / 72.0;

class QTextEditAdapter : public TextViewTest {
 protected:
  QTextEdit& edit() { return implementation->edit; }
  qt::QTextEditTextView& adapter() { return implementation->view; }
  QTextBlockFormat blockFormat(int number) { return edit().document()->findBlockByNumber(number).blockFormat(); }
  QTextCharFormat formatOf(int position) {
    QTextCursor cursor(edit().document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
  }
  void type(Range at, const char* text) {
    view().setSelectedRange(at);
    edit().textCursor().insertText(text);
  }
};

TEST_F(QTextEditAdapter, EveryLineBreakBecomesOneParagraphBreak) {
  ASSERT_TRUE(actionReplaceCharactersInRange(view(), {0, 0}, std::u16string(u"a\nb\r\nc\rd")));
  EXPECT_EQ(edit().toPlainText(), QString("a\nb\nc\nd"));
  EXPECT_EQ(state(), "a|b|c|d @0,7 ?0,0'a\nb\r\nc\rd'");
  AttributedString text(u"x\r");  // the CR's attributes go with the break
  text.append(u"\ny", {{AttributeName(ItalicAttributeName), kItalic}});
  ASSERT_TRUE(actionReplaceCharactersInRange(view(), {0, 7}, text));
  EXPECT_EQ(state(), "x|(y:i) @0,3 ?0,7'x\r\ny'");
}

// Undo and redo go back and forth through the documents' own edits and the
// documents that whole-text replacements show, in the order the edits were
// made, and a new edit ends the way forward.
TEST_F(QTextEditAdapter, UndoAndRedoCrossTheDocumentsOfWholeTextReplacements) {
  setText("b|a");
  type({3, 0}, "c");
  QTextDocument* first = edit().document();
  ASSERT_TRUE(actionReplaceCharactersInRange(view(), {0, 4}, std::u16string(u"a\nbc")));
  EXPECT_NE(edit().document(), first);
  type({4, 0}, "!");
  const auto walk = [this](bool (qt::QTextEditTextView::*step)()) {
    std::string states;
    while ((adapter().*step)()) states += ascii(view().string()) + " ";
    return states;
  };
  EXPECT_EQ(walk(&qt::QTextEditTextView::undo), "a|bc b|ac b|a ");
  EXPECT_FALSE(adapter().isUndoAvailable());
  EXPECT_EQ(walk(&qt::QTextEditTextView::redo), "b|ac a|bc a|bc! ");
  EXPECT_FALSE(adapter().isRedoAvailable());
  adapter().undo();
  adapter().undo();
  type({0, 0}, ">");
  EXPECT_FALSE(adapter().redo());
  EXPECT_EQ(view().string(), u16(">b|ac"));
}

TEST_F(QTextEditAdapter, TheParagraphStyleIsDrawnByTheBlockFormatAndReadFromOne) {
  setText("one|two");
  ParagraphStyle style = indents(10, 25, 36);
  style.alignment = TextAlignment::Center;
  ASSERT_TRUE(actionAddAttribute(view(), ParagraphStyleAttributeName, style, {0, 1}));
  const QTextBlockFormat format = blockFormat(0);
  EXPECT_DOUBLE_EQ(format.leftMargin(), 10 * kPixelsPerPoint);
  EXPECT_DOUBLE_EQ(format.leftMargin() + format.textIndent(), 25 * kPixelsPerPoint);
  ASSERT_GE(format.tabPositions().size(), 2);
  EXPECT_DOUBLE_EQ(format.tabPositions()[1].position, 72 * kPixelsPerPoint);
  EXPECT_EQ(format.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_FALSE(blockFormat(1).hasProperty(QTextFormat::BlockLeftMargin));

  QTextBlockFormat foreign;  // as text from elsewhere brings it
  foreign.setLeftMargin(40);
  foreign.setTextIndent(-20);
  QTextCursor(edit().document()->findBlockByNumber(1)).setBlockFormat(foreign);
  view().setSelectedRange({5, 0});
  ASSERT_TRUE(actionShiftParagraphInSelectedRangeByDelta(view(), 5));
  EXPECT_EQ(state(), "(one|:P10/25/t36c)(two:P35/20) @5,0 T{P35/20} ?0,4 ?4,3");
}

TEST_F(QTextEditAdapter, CharacterAttributesAreQtCharacterFormats) {
  setText("abc");
  addAttributes(view(),
                {{AttributeName(FontAttributeName), Font{u"DejaVu Sans", 13}},
                 {AttributeName(FontWeightAttributeName), kBold},
                 {AttributeName(ItalicAttributeName), kItalic},
                 {AttributeName(UnderlineStyleAttributeName), AttributeValue(std::int64_t{1})},
                 {AttributeName(ForegroundColorAttributeName), Color{200, 10, 20, 255}}},
                {1, 1});
  const QTextCharFormat format = formatOf(1);
  EXPECT_EQ(format.fontFamilies().toStringList().value(0), QString("DejaVu Sans"));
  EXPECT_EQ(format.fontPointSize(), 13.0);
  EXPECT_EQ(format.fontWeight(), 700);
  EXPECT_TRUE(format.fontItalic());
  EXPECT_EQ(format.underlineStyle(), QTextCharFormat::SingleUnderline);
  EXPECT_EQ(format.foreground().color(), QColor(200, 10, 20));
}

TEST_F(QTextEditAdapter, TheTypingAttributesAreWhatTheUserTypesWith) {
  ASSERT_TRUE(setDefaultTabInterval(view(), 18));
  edit().insertPlainText("x");
  EXPECT_DOUBLE_EQ(blockFormat(0).tabPositions().value(0).position, 18 * kPixelsPerPoint);
  EXPECT_EQ(state(), "(x:P0/0/t18) @1,0 T{P0/0/t18} ?0,0");
  view().setTypingAttributes({{AttributeName(ItalicAttributeName), kItalic}});
  EXPECT_TRUE(edit().currentCharFormat().fontItalic());
  edit().insertPlainText("y");
  EXPECT_EQ(state(), "x(y:i) @2,0 T{i}");
}

}  // namespace
}  // namespace parasort::editor::test
