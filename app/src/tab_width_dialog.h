// Format > Tab Width…: the distance between tab stops, asked of the user in
// points.
#pragma once

#include "editor_text_view.h"

class QInputDialog;

namespace parasort {

// Opens the dialog over the view's window, offering the interval the text
// has now (the first paragraph's own, or the one the view draws where the
// text sets none), and returns it without waiting; it deletes itself when
// closed. OK with a value other than the one offered gives the whole text
// that interval as one undoable edit; OK with the offered value, or Cancel,
// changes nothing. `textView` must outlive the dialog.
QInputDialog* openTabWidthDialog(EditorTextView& textView);

}  // namespace parasort
