#include "editor_text_edit.h"

#include "wait_cursor.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QTextCursor>

#include <utility>

namespace parasort {

EditorTextEdit::EditorTextEdit(QWidget* parent) : QTextEdit(parent) { setAcceptRichText(false); }

void EditorTextEdit::setUndoRedo(std::function<void()> undo, std::function<void()> redo) {
  undo_ = std::move(undo);
  redo_ = std::move(redo);
}

bool EditorTextEdit::canInsertFromMimeData(const QMimeData* source) const { return source->hasText(); }

void EditorTextEdit::insertFromMimeData(const QMimeData* source) {
  // QTextEdit would still take Markdown (tables, images) when it comes
  // first, even with rich text turned off.
  if (!source->hasText()) return;
  showWaitCursorUntilIdle();
  QTextCursor cursor = textCursor();
  cursor.insertText(source->text());
  setTextCursor(cursor);
  ensureCursorVisible();
}

void EditorTextEdit::keyPressEvent(QKeyEvent* event) {
  // The keys that may change much of the text at once; plain typing
  // without a selection changes one character.
  const bool large = textCursor().hasSelection() || event->matches(QKeySequence::Undo) ||
                     event->matches(QKeySequence::Redo) || event->matches(QKeySequence::Paste);
  if (large) showWaitCursorUntilIdle();
  const std::function<void()>* handler = nullptr;
  if (event->matches(QKeySequence::Undo)) handler = &undo_;
  if (event->matches(QKeySequence::Redo)) handler = &redo_;
  if (handler != nullptr && *handler) {
    (*handler)();
    event->accept();
    return;
  }
  QTextEdit::keyPressEvent(event);
}

}  // namespace parasort
