// The editor window's text widget: a QTextEdit that takes in plain text only.
//
// Paste and drop insert the plain text of what they bring, never its tables,
// frames, images or styles: a table cell or an embedded object is not a
// paragraph, and would break sorting. The inserted text takes the typing
// attributes (what the Format menu set for the text typed next), as typed
// text does.
//
// The edits it makes of its own accord (keyboard undo and redo, paste, cut,
// typing over a selection, a drop) show the wait cursor while they run. The
// undo and redo keys and the context menu's Undo and Redo go to the history
// it is given, so that they undo what the window's Edit menu undoes. Alt
// with a letter never types it.
#pragma once

#include <QTextEdit>

#include <functional>
#include <optional>

class QContextMenuEvent;
class QKeyEvent;
class QMimeData;

namespace parasort {

class EditorTextEdit : public QTextEdit {
 public:
  explicit EditorTextEdit(QWidget* parent = nullptr);

  // The window's undo history, which outlasts a change of the document
  // shown (QTextEdit's own knows only the document).
  struct History {
    std::function<bool()> undo;
    std::function<bool()> redo;
    std::function<bool()> isUndoAvailable;
    std::function<bool()> isRedoAvailable;
  };
  // What the undo and redo keys and the context menu's Undo and Redo use
  // from now on (QTextEdit's own history until then).
  void setHistory(History history);

 protected:
  [[nodiscard]] bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  std::optional<History> history_;
};

}  // namespace parasort
