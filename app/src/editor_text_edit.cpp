#include "editor_text_edit.h"

#include "wait_cursor.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QKeySequence>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocumentFragment>

#include <utility>

namespace parasort {

EditorTextEdit::EditorTextEdit(QWidget* parent) : QTextEdit(parent) { setAcceptRichText(false); }

void EditorTextEdit::setHistory(History history) { history_ = std::move(history); }

namespace {

// The plain text `source` brings: its own, or that of its HTML when it
// offers HTML only (as some browsers and mail programs do).
QString plainTextOf(const QMimeData& source) {
  if (source.hasText()) return source.text();
  if (source.hasHtml()) return QTextDocumentFragment::fromHtml(source.html()).toPlainText();
  return {};
}

}  // namespace

bool EditorTextEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasText() || source->hasHtml();
}

void EditorTextEdit::insertFromMimeData(const QMimeData* source) {
  // QTextEdit would still take Markdown (tables, images) when it comes
  // first, even with rich text turned off.
  if (!canInsertFromMimeData(source)) return;
  showWaitCursorUntilIdle();
  QTextCursor cursor = textCursor();
  cursor.insertText(plainTextOf(*source));
  setTextCursor(cursor);
  ensureCursorVisible();
}

void EditorTextEdit::keyPressEvent(QKeyEvent* event) {
  // Alt (or Meta) with a key is a command, never text: a mnemonic that no
  // menu has must not type its letter over the selection. AltGr arrives
  // without the Alt modifier and still types.
  const Qt::KeyboardModifiers modifiers = event->modifiers();
  if ((modifiers & (Qt::AltModifier | Qt::MetaModifier)) && !(modifiers & Qt::ControlModifier) &&
      !event->text().isEmpty() && event->text().at(0).isPrint()) {
    event->ignore();
    return;
  }
  // The keys that may change much of the text at once: typing or deleting
  // over a selection, undo, redo, paste and cut. Typing without a selection
  // changes one character, and moving the cursor changes nothing.
  const bool editsSelection =
      textCursor().hasSelection() && (!event->text().isEmpty() || event->key() == Qt::Key_Backspace ||
                                      event->key() == Qt::Key_Delete);
  const bool large = editsSelection || event->matches(QKeySequence::Undo) ||
                     event->matches(QKeySequence::Redo) || event->matches(QKeySequence::Paste) ||
                     event->matches(QKeySequence::Cut);
  if (large) showWaitCursorUntilIdle();
  if (history_ && (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo))) {
    if (event->matches(QKeySequence::Undo))
      history_->undo();
    else
      history_->redo();
    event->accept();
    return;
  }
  QTextEdit::keyPressEvent(event);
}

void EditorTextEdit::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu(event->pos());
  menu->setAttribute(Qt::WA_DeleteOnClose);
  if (history_) {
    // QTextEdit names its menu's items; Undo and Redo are rewired to the
    // window's history.
    for (QAction* action : menu->actions()) {
      const bool undo = action->objectName() == QLatin1String("edit-undo");
      const bool redo = action->objectName() == QLatin1String("edit-redo");
      if (!undo && !redo) continue;
      QObject::disconnect(action, &QAction::triggered, nullptr, nullptr);
      action->setEnabled(undo ? history_->isUndoAvailable() : history_->isRedoAvailable());
      const auto run = undo ? history_->undo : history_->redo;
      connect(action, &QAction::triggered, this, [run] {
        showWaitCursorUntilIdle();
        run();
      });
    }
  }
  menu->popup(event->globalPos());
}

}  // namespace parasort
