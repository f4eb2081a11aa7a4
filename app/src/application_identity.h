// Who the application is to the desktop and to QSettings.
#pragma once

namespace parasort {

// Sets the organization and application names (and so where the user
// settings live: $XDG_CONFIG_HOME/parasort/parasort-editor.conf), the name
// shown to the user and the desktop entry that belongs to the windows.
// Needs the application object.
void setApplicationIdentity();

}  // namespace parasort
