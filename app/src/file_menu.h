// The File menu's items for the window's document: New, Open…, Open Recent,
// Save, Save As… and Revert to Saved, above the window's Close Window and
// Quit.
#pragma once

#include "file_document.h"

#include <QMenu>

namespace parasort {

// Adds the items to `fileMenu` before `before` (an item already in it) and
// connects them to `document`; they are owned by the menu.
void addFileMenuItems(QMenu& fileMenu, QAction& before, FileDocument& document);

}  // namespace parasort
