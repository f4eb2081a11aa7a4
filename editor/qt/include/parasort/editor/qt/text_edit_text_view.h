// The TextView contract over a QTextEdit, for the application.
//
// Approval is refused, and the user-change ranges are NotFound, while the
// edit is read-only; an approval delegate may refuse too. Each approved edit
// is one step of the view's undo history, a whole paragraph loop included,
// and undo restores text, character formats and paragraph styles exactly.
// That history is the document's own and, across a replacement of the whole
// text (which shows a new document), the documents before and after it: so
// undo and redo go through the view, not the QTextEdit. The typing attributes are the edit cursor's character format
// with the paragraph style of its block.
#pragma once

#include "parasort/editor/qt/document_history.h"
#include "parasort/editor/qt/document_text_storage.h"
#include "parasort/editor/text_view.h"
#include "parasort/editor/undo_step_grouping.h"

#include <functional>
#include <optional>
#include <string_view>

class QTextEdit;

namespace parasort::editor::qt {

class QTextEditTextView final : public TextView {
 public:
  // Asked after the view's own rules allow an edit; false refuses it.
  using ApprovalDelegate =
      std::function<bool(Range range, std::optional<std::u16string_view> replacementString)>;

  // Works on `edit`, which must outlive the view; the view owns nothing of
  // it.
  explicit QTextEditTextView(QTextEdit& edit);
  QTextEditTextView(const QTextEditTextView&) = delete;
  QTextEditTextView& operator=(const QTextEditTextView&) = delete;
  // Closes an undo step left open by an approval never announced, so the
  // document's history stays usable.
  ~QTextEditTextView() override;

  [[nodiscard]] Range selectedRange() const override;
  void setSelectedRange(Range range) override;
  [[nodiscard]] Range rangeForUserTextChange() const override;
  [[nodiscard]] Range rangeForUserCharacterAttributeChange() const override;
  [[nodiscard]] Range rangeForUserParagraphAttributeChange() const override;
  [[nodiscard]] bool shouldChangeTextInRange(
      Range range, std::optional<std::u16string_view> replacementString) override;
  void didChangeText() override;
  [[nodiscard]] TextStorage& textStorage() override { return storage_; }
  [[nodiscard]] const TextStorage& textStorage() const override { return storage_; }
  [[nodiscard]] std::u16string string() const override { return storage_.string(); }
  [[nodiscard]] AttributeDictionary typingAttributes() const override;
  void setTypingAttributes(const AttributeDictionary& attributes) override;

  // Undo and redo of the edits made in the view, by the user or through the
  // contract; false when there is nothing to undo or redo. QTextEdit's
  // undoAvailable() and redoAvailable() signals tell of a change, but their
  // argument only of the document shown: ask these.
  bool undo() { return history_.undo(); }
  bool redo() { return history_.redo(); }
  [[nodiscard]] bool isUndoAvailable() const { return history_.isUndoAvailable(); }
  [[nodiscard]] bool isRedoAvailable() const { return history_.isRedoAvailable(); }
  // Forgets everything there is to undo or redo.
  void clearUndoHistory();

  // The distance between the tab stops of a paragraph that sets no interval
  // of its own, in points, as the view draws it.
  [[nodiscard]] double standardTabInterval() const;

  void setApprovalDelegate(ApprovalDelegate delegate) { approvalDelegate_ = std::move(delegate); }

 private:
  [[nodiscard]] bool editable() const;

  QTextEdit& edit_;
  ApprovalDelegate approvalDelegate_;
  DocumentHistory history_;
  UndoStepGrouping grouping_;
  DocumentTextStorage storage_;
};

}  // namespace parasort::editor::qt
