// Bringing a window to the user.
#pragma once

#include <QWidget>

namespace parasort {

// Shows `window` (restoring it when minimized), raises it above the others
// and makes it the active window, the one that takes the keyboard.
void makeKeyAndOrderFront(QWidget& window);

}  // namespace parasort
