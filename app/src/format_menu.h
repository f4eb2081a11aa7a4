// The Format menu: the text view's editing operations offered to the user.
#pragma once

#include "editor_text_view.h"

namespace Ui {
class EditorWindow;
}

namespace parasort {

// Connects Font…, Bold, Italic, Underline, Increase Indent, Decrease Indent
// and Tab Width… of `ui` to their operations on `textView`, which must
// outlive the menu. The two dialogs open over the view's window.
void connectFormatMenu(const Ui::EditorWindow& ui, EditorTextView& textView);

}  // namespace parasort
