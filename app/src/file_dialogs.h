// The questions of the window's document as dialogs on the window.
#pragma once

#include "file_document.h"

#include <QWidget>

namespace parasort {

// Message boxes and file dialogs parented to `window`, which must outlive
// the questions.
[[nodiscard]] FileDocument::Questions fileDialogs(QWidget& window);

}  // namespace parasort
