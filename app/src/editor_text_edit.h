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
// undo and redo keys go to the handlers it is given, so that they undo what
// the window's Edit menu undoes.
#pragma once

#include <QTextEdit>

#include <functional>

class QKeyEvent;
class QMimeData;

namespace parasort {

class EditorTextEdit : public QTextEdit {
 public:
  explicit EditorTextEdit(QWidget* parent = nullptr);

  // What the undo and redo keys do from now on (QTextEdit's own undo and
  // redo until then).
  void setUndoRedo(std::function<void()> undo, std::function<void()> redo);

 protected:
  [[nodiscard]] bool canInsertFromMimeData(const QMimeData* source) const override;
  void insertFromMimeData(const QMimeData* source) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  std::function<void()> undo_;
  std::function<void()> redo_;
};

}  // namespace parasort
