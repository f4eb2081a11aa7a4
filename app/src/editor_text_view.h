// The editor's text view as MyController holds it (its `_textView`): the
// text system's contract, for the selection, the text and the replacement,
// and the widget, for what the text system leaves to the window: the font
// and the window that shows the view.
#pragma once

#include "parasort/editor/qt/text_edit_text_view.h"
#include "parasort/editor/text_view.h"

#include <QFont>
#include <QTextEdit>
#include <QWidget>

namespace parasort {

class EditorTextView {
 public:
  // Works on `widget`, which must outlive the view.
  explicit EditorTextView(QTextEdit& widget);

  // The contract, through the adapter that implements it (whose approval
  // delegate a caller may set).
  [[nodiscard]] editor::qt::QTextEditTextView& text() { return view_; }
  [[nodiscard]] const editor::qt::QTextEditTextView& text() const { return view_; }

  // The font of the text: that of its first character, or on an empty text
  // that of the text typed next; where the text sets no font of its own,
  // the view's font. A QTextEdit always has one.
  [[nodiscard]] QFont font() const;
  // Makes `font` the view's font: the font of all text that sets none of
  // its own, and of text typed afterwards. It is drawn fully shaped, as
  // every script needs.
  void setFont(const QFont& font);

  // The window holding the view.
  [[nodiscard]] QWidget& window() const { return *widget_.window(); }

 private:
  QTextEdit& widget_;
  editor::qt::QTextEditTextView view_;
};

}  // namespace parasort
