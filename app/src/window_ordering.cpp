#include "window_ordering.h"

namespace parasort {

void makeKeyAndOrderFront(QWidget& window) {
  if (window.isMinimized()) {
    window.showNormal();
  } else {
    window.show();
  }
  window.raise();
  window.activateWindow();
}

}  // namespace parasort
