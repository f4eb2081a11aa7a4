// What only the QTextEdit adapter promises: paragraph breaks as the
// document keeps them, attributes that are drawn, and one undo history
// across the documents that whole-text replacements show.
#include "text_view_fixture.h"

#include <QTextBlock>
#include <QTextCursor>

#include <vector>

namespace parasort::editor::test {
namespace {

using namespace TQAdditions;

constexpr double kPixelsPerPoint = 96.0 / 72.0;

class QTextEditAdapter : public TextViewTest<QTextEditImplementation> {
 protected:
  QTextEdit& edit() { return implementation.edit; }
  qt::QTextEditTextView& adapter() { return implementation.view; }
  QTextBlockFormat blockFormat(int blockNumber) {
    return edit().document()->findBlockByNumber(blockNumber).blockFormat();
  }
  QTextCharFormat formatOfCharacter(int position) {
    QTextCursor cursor(edit().document());
    cursor.setPosition(position + 1);
    return cursor.charFormat();
  }
};

TEST_F(QTextEditAdapter, EveryLineBreakBecomesOneParagraphBreak) {
  ASSERT_TRUE(actionReplaceCharactersInRange(view(), {0, 0}, std::u16string(u"a\nb\r\nc\rd")));
  EXPECT_EQ(view().string(), u"a" + PS + u"b" + PS + u"c" + PS + u"d");
  EXPECT_EQ(edit().toPlainText(), QString("a\nb\nc\nd"));
  EXPECT_EQ(view().selectedRange(), (Range{0, 7}));
  AttributedString text(u"x\r");
  text.append(u"\ny", {{AttributeName(ItalicAttributeName), kItalic}});
  ASSERT_TRUE(actionReplaceCharactersInRange(view(), {0, 7}, text));
  EXPECT_EQ(view().string(), u"x" + PS + u"y");
  EXPECT_EQ(attributeAt(ItalicAttributeName, 2), kItalic);
}

// A replacement of the whole text shows a new document; undo and redo go
// back and forth through the documents' own edits and the documents, in
// the order the edits were made, and a new edit ends the way forward.
TEST_F(QTextEditAdapter, UndoAndRedoCrossTheDocumentsOfWholeTextReplacements) {
  setText(u"b" + PS + u"a");
  const auto type = [this](Range at, std::u16string_view text) {
    view().setSelectedRange(at);
    edit().textCursor().insertText(QString::fromStdU16String(std::u16string(text)));
  };
  type({3, 0}, u"c");  // b a c, in the first document
  QTextDocument* first = edit().document();
  ASSERT_TRUE(actionReplaceCharactersInRange(view(), {0, 5}, std::u16string(u"a\nbc")));
  EXPECT_NE(edit().document(), first);
  EXPECT_EQ(view().selectedRange(), (Range{0, 4}));
  type({4, 0}, u"!");  // a bc!, in the second document

  const std::vector<std::u16string> states{u"b" + PS + u"a", u"b" + PS + u"ac", u"a" + PS + u"bc",
                                           u"a" + PS + u"bc!"};
  for (auto state = states.rbegin() + 1; state != states.rend(); ++state) {
    ASSERT_TRUE(adapter().undo());
    EXPECT_EQ(view().string(), *state);
  }
  EXPECT_FALSE(adapter().isUndoAvailable());
  for (auto state = states.begin() + 1; state != states.end(); ++state) {
    ASSERT_TRUE(adapter().redo());
    EXPECT_EQ(view().string(), *state);
  }
  EXPECT_FALSE(adapter().isRedoAvailable());

  adapter().undo();
  adapter().undo();
  EXPECT_EQ(view().string(), u"b" + PS + u"ac");
  type({0, 0}, u">");
  EXPECT_FALSE(adapter().isRedoAvailable());
  EXPECT_FALSE(adapter().redo());
  EXPECT_EQ(view().string(), u">b" + PS + u"ac");
}

TEST_F(QTextEditAdapter, TheParagraphStyleIsDrawnByTheBlockFormat) {
  setText(u"one" + PS + u"two");
  ParagraphStyle style = indents(10, 25);
  style.defaultTabInterval = 36;
  style.alignment = TextAlignment::Center;
  ASSERT_TRUE(actionAddAttribute(view(), ParagraphStyleAttributeName, style, {0, 1}));
  const QTextBlockFormat format = blockFormat(0);
  EXPECT_DOUBLE_EQ(format.leftMargin(), 10 * kPixelsPerPoint);
  EXPECT_DOUBLE_EQ(format.leftMargin() + format.textIndent(), 25 * kPixelsPerPoint);
  ASSERT_GE(format.tabPositions().size(), 2);
  EXPECT_DOUBLE_EQ(format.tabPositions()[0].position, 36 * kPixelsPerPoint);
  EXPECT_DOUBLE_EQ(format.tabPositions()[1].position, 72 * kPixelsPerPoint);
  EXPECT_EQ(format.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
  EXPECT_FALSE(blockFormat(1).hasProperty(QTextFormat::BlockLeftMargin));
  EXPECT_EQ(styleAt(0), style);
}

TEST_F(QTextEditAdapter, ABlockFormatMadeElsewhereReadsAsTheStyleItDraws) {
  setText(u"one");
  QTextCursor cursor(edit().document());
  QTextBlockFormat format;
  format.setLeftMargin(40);
  format.setTextIndent(-20);
  cursor.setBlockFormat(format);
  EXPECT_EQ(styleAt(0), indents(30, 15));
  ASSERT_TRUE(actionShiftParagraphInSelectedRangeByDelta(view(), 5));
  EXPECT_EQ(styleAt(0), indents(35, 20));
}

TEST_F(QTextEditAdapter, CharacterAttributesAreQtCharacterFormats) {
  setText(u"abc");
  const AttributeValue font = Font{u"DejaVu Sans", 13};
  const AttributeValue red = Color{200, 10, 20, 255};
  addAttributes(view(),
                {{AttributeName(FontAttributeName), font},
                 {AttributeName(FontWeightAttributeName), kBold},
                 {AttributeName(ItalicAttributeName), kItalic},
                 {AttributeName(UnderlineStyleAttributeName), AttributeValue(std::int64_t{1})},
                 {AttributeName(ForegroundColorAttributeName), red}},
                {1, 1});
  const QTextCharFormat format = formatOfCharacter(1);
  EXPECT_EQ(format.fontFamilies().toStringList().value(0), QString("DejaVu Sans"));
  EXPECT_EQ(format.fontPointSize(), 13.0);
  EXPECT_EQ(format.fontWeight(), 700);
  EXPECT_TRUE(format.fontItalic());
  EXPECT_EQ(format.underlineStyle(), QTextCharFormat::SingleUnderline);
  EXPECT_EQ(format.foreground().color(), QColor(200, 10, 20));
  EXPECT_FALSE(formatOfCharacter(0).hasProperty(QTextFormat::FontWeight));

  EXPECT_EQ(attributeAt(FontAttributeName, 1), font);
  EXPECT_EQ(attributeAt(ForegroundColorAttributeName, 1), red);
  removeAttribute(view(), FontWeightAttributeName, {0, 3});
  EXPECT_FALSE(formatOfCharacter(1).hasProperty(QTextFormat::FontWeight));
  EXPECT_TRUE(formatOfCharacter(1).fontItalic());
}

TEST_F(QTextEditAdapter, AReadOnlyEditAllowsNoUserChange) {
  setText(u"abc");
  edit().setReadOnly(true);
  EXPECT_EQ(view().rangeForUserTextChange().location, NotFound);
  EXPECT_EQ(view().rangeForUserCharacterAttributeChange().location, NotFound);
  EXPECT_EQ(view().rangeForUserParagraphAttributeChange().location, NotFound);
  EXPECT_FALSE(view().shouldChangeTextInRange({0, 1}, std::nullopt));
}

TEST_F(QTextEditAdapter, TypingAttributesAreTheEditCursorsFormat) {
  setText(u"abc");
  view().setSelectedRange({3, 0});
  view().setTypingAttributes({{AttributeName(ItalicAttributeName), kItalic}});
  EXPECT_TRUE(edit().currentCharFormat().fontItalic());
  edit().insertPlainText("d");
  EXPECT_EQ(attributeAt(ItalicAttributeName, 3), kItalic);
  EXPECT_EQ(attributeAt(ItalicAttributeName, 2), std::nullopt);
}

TEST_F(QTextEditAdapter, TextTypedIntoAnEmptyEditTakesTheTabIntervalSetForIt) {
  ASSERT_TRUE(setDefaultTabInterval(view(), 18));
  edit().insertPlainText("x\ty");
  EXPECT_EQ(styleAt(0), tabInterval(18));
  EXPECT_DOUBLE_EQ(blockFormat(0).tabPositions().value(0).position, 18 * kPixelsPerPoint);
}

}  // namespace
}  // namespace parasort::editor::test
