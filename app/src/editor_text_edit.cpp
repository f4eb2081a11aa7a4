#include "editor_text_edit.h"

#include <QMimeData>
#include <QTextCursor>

namespace parasort {

EditorTextEdit::EditorTextEdit(QWidget* parent) : QTextEdit(parent) { setAcceptRichText(false); }

bool EditorTextEdit::canInsertFromMimeData(const QMimeData* source) const { return source->hasText(); }

void EditorTextEdit::insertFromMimeData(const QMimeData* source) {
  // QTextEdit would still take Markdown (tables, images) when it comes
  // first, even with rich text turned off.
  if (!source->hasText()) return;
  QTextCursor cursor = textCursor();
  cursor.insertText(source->text());
  setTextCursor(cursor);
  ensureCursorVisible();
}

}  // namespace parasort
