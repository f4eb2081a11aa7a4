#include "parasort/editor/qt/text_edit_text_view.h"

#include "format_conversion.h"
#include "parasort/editor/paragraph_range.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace parasort::editor::qt {

QTextEditTextView::QTextEditTextView(QTextEdit& edit)
    : edit_(edit),
      history_(edit),
      grouping_([this] { QTextCursor(edit_.document()).beginEditBlock(); },
                [this] { QTextCursor(edit_.document()).endEditBlock(); }),
      storage_(edit, grouping_, history_) {}

QTextEditTextView::~QTextEditTextView() {
  if (grouping_.stepOpen()) QTextCursor(edit_.document()).endEditBlock();
}

void QTextEditTextView::clearUndoHistory() {
  history_.forgetOtherDocuments();
  edit_.document()->clearUndoRedoStacks();
}

double QTextEditTextView::standardTabInterval() const {
  return pointsFromPixels(edit_.tabStopDistance());
}

bool QTextEditTextView::editable() const { return !edit_.isReadOnly(); }

Range QTextEditTextView::selectedRange() const {
  const QTextCursor cursor = edit_.textCursor();
  const auto start = static_cast<Index>(cursor.selectionStart());
  return {start, static_cast<Index>(cursor.selectionEnd()) - start};
}

void QTextEditTextView::setSelectedRange(Range range) {
  const Range within = clampedRange(range, storage_.length());
  QTextCursor cursor(edit_.document());
  cursor.setPosition(toPosition(within.location));
  cursor.setPosition(toPosition(within.end()), QTextCursor::KeepAnchor);
  edit_.setTextCursor(cursor);
}

Range QTextEditTextView::rangeForUserTextChange() const {
  return editable() ? selectedRange() : Range{NotFound, 0};
}

Range QTextEditTextView::rangeForUserCharacterAttributeChange() const {
  return editable() ? selectedRange() : Range{NotFound, 0};
}

Range QTextEditTextView::rangeForUserParagraphAttributeChange() const {
  return editable() ? paragraphRangeForRange(string(), selectedRange()) : Range{NotFound, 0};
}

bool QTextEditTextView::shouldChangeTextInRange(
    Range range, std::optional<std::u16string_view> replacementString) {
  // A read-only QTextEdit still takes edits made through cursors, so the
  // view's own rule has to be checked here.
  if (!editable()) return false;
  const Index length = storage_.length();
  if (range.location == NotFound || range.location > length ||
      range.length > length - range.location)
    return false;
  if (approvalDelegate_ && !approvalDelegate_(range, replacementString)) return false;
  grouping_.approvalGranted();
  return true;
}

void QTextEditTextView::didChangeText() { grouping_.changeAnnounced(); }

AttributeDictionary QTextEditTextView::typingAttributes() const {
  const Range selection = selectedRange();
  QTextCursor at(edit_.document());
  at.setPosition(toPosition(selection.location));
  // At an insertion point the edit's own cursor knows a typing format set
  // for it; a selection types with the format at its start.
  const QTextCharFormat format =
      selection.length == 0 ? edit_.textCursor().charFormat() : at.charFormat();
  AttributeDictionary typing = characterAttributes(format);
  // Through the storage, which knows of restyles still to be applied.
  if (const auto style = storage_.paragraphStyleAt(selection.location))
    typing.setObject(*style, ParagraphStyleAttributeName);
  return typing;
}

void QTextEditTextView::setTypingAttributes(const AttributeDictionary& attributes) {
  const Range selection = selectedRange();
  const QTextCharFormat format = characterFormat(attributes);
  QTextCursor at(edit_.document());
  at.setPosition(toPosition(selection.location));

  at.beginEditBlock();
  storage_.setParagraphStyleAt(
      selection.location,
      valueAs<ParagraphStyle>(attributes.objectForKey(ParagraphStyleAttributeName)));
  // An empty block keeps its typing format in the document (its block
  // character format), where moving the cursor away and back finds it.
  if (at.block().length() == 1 && at.blockCharFormat() != format) at.setBlockCharFormat(format);
  at.endEditBlock();

  if (selection.length == 0) {
    QTextCursor cursor = edit_.textCursor();
    cursor.setCharFormat(format);
    edit_.setTextCursor(cursor);
  }
}

}  // namespace parasort::editor::qt
