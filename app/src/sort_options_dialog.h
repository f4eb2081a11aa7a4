// Paragraphs > Sort Options…: the options of the sorts that follow, shown as
// saved; OK saves them when the key and the separator can be read, and
// otherwise says why and stays open.
#pragma once

#include <QDialog>
#include <QWidget>

namespace parasort {

// Opens the dialog over `window`, window-modal; it deletes itself on close.
QDialog* openSortOptionsDialog(QWidget& window);

}  // namespace parasort
