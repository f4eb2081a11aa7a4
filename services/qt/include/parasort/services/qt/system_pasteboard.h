// The pasteboard the services work on in the running application: the
// clipboard reached by the route chooseClipboardRoute() picks for this
// session (see clipboard_route.h).
#pragma once

#include "parasort/services/clipboard_route.h"
#include "parasort/services/pasteboard.h"

#include <memory>

namespace parasort {

// What this session offers, asked of Qt, the environment and the compositor.
// Needs a QGuiApplication.
ClipboardSession observeClipboardSession();

// The pasteboard for `route`; when the route cannot be opened after all
// (the compositor went away), the window's clipboard on X11 or none.
// A data-control pasteboard serves its source from the calling thread's
// event loop.
std::unique_ptr<Pasteboard> makeSystemPasteboard(ClipboardRoute route);

}  // namespace parasort
