#include "parasort/services/clipboard_route.h"

namespace parasort {

ClipboardRoute chooseClipboardRoute(const ClipboardSession& session) {
  // Offscreen and the like have a clipboard of their own, and nothing else
  // was asked for.
  if (session.window == WindowPlatform::other) return ClipboardRoute::windowClipboard;
  if (session.waylandCompositor) {
    if (session.extDataControlVersion >= 1) return ClipboardRoute::extDataControl;
    if (session.wlrDataControlVersion >= 1) return ClipboardRoute::wlrDataControl;
  }
  if (session.window == WindowPlatform::x11) return ClipboardRoute::windowClipboard;
  // A window on Wayland without data-control: only XWayland's clipboard
  // serves a client that has no focus.
  return session.x11Display ? ClipboardRoute::x11Helper : ClipboardRoute::none;
}

std::string_view clipboardRouteName(ClipboardRoute route) {
  switch (route) {
    case ClipboardRoute::extDataControl: return "ext-data-control";
    case ClipboardRoute::wlrDataControl: return "wlr-data-control";
    case ClipboardRoute::windowClipboard: return "window";
    case ClipboardRoute::x11Helper: return "x11-helper";
    case ClipboardRoute::none: return "none";
  }
  return "none";
}

}  // namespace parasort
