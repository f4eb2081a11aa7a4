// Helpers shared by the in-process application tests.
#pragma once

#include "my_controller.h"

#include <QSettings>
#include <QString>
#include <QTextEdit>

namespace parasort::test {

// The application's own settings file, emptied.
inline void clearUserDefaults() {
  QSettings settings;
  settings.clear();
  settings.sync();
}

// The text as the user sees it: paragraph breaks as LF.
inline QString shownText(const QTextEdit& edit) { return edit.toPlainText(); }

}  // namespace parasort::test
