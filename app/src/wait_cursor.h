// The wait cursor over the application's windows while an edit keeps the
// window's thread busy.
#pragma once

namespace parasort {

// Shows the wait cursor from now until the event loop runs again, that is
// until the work of the current event (a menu command, a key press) is
// done. Cheap, so every edit that may take long calls it: after a quick one
// the cursor is back before anyone could see it change.
void showWaitCursorUntilIdle();

}  // namespace parasort
