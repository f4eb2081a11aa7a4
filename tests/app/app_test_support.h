// Helpers shared by the in-process application tests.
#pragma once

#include <QSettings>

namespace parasort::test {

// The application's own settings file, emptied.
inline void clearUserDefaults() {
  QSettings settings;
  settings.clear();
  settings.sync();
}

}  // namespace parasort::test
