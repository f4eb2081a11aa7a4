// Which clipboard the services work on, decided once from what the session
// offers: the one place where the route per desktop is settled.
#pragma once

#include <cstdint>
#include <string_view>

namespace parasort {

// The platform the application's own window runs on (Qt's platform plugin).
enum class WindowPlatform { x11, wayland, other };

// What the session offers the services, as found when the application starts.
struct ClipboardSession {
  WindowPlatform window = WindowPlatform::other;
  bool waylandCompositor = false;          // a Wayland compositor answered
  std::uint32_t extDataControlVersion = 0;  // 0: ext_data_control_manager_v1 not advertised
  std::uint32_t wlrDataControlVersion = 0;  // 0: zwlr_data_control_manager_v1 not advertised
  bool x11Display = false;                 // an X server (or XWayland) is named by DISPLAY
};

enum class ClipboardRoute {
  // The compositor's clipboard through a data-control connection of the
  // services' own: no window, no focus needed (KWin, wlroots compositors).
  extDataControl,
  wlrDataControl,
  // The clipboard of the application's own platform: X11 (also through
  // XWayland, where an unfocused X client may use it, as on GNOME), or a
  // platform that is not a desktop session (offscreen).
  windowClipboard,
  // The X11 clipboard through a short-lived helper process on XWayland, for
  // a window on Wayland where the compositor offers no data-control.
  x11Helper,
  // None that works: a Wayland window without focus would be refused, or
  // would answer text it saw long ago; the services answer that there is no
  // text rather than sort stale text.
  none,
};

ClipboardRoute chooseClipboardRoute(const ClipboardSession& session);

// The route's name, as the README and the logs call it.
std::string_view clipboardRouteName(ClipboardRoute route);

// The version of zwlr_data_control_manager_v1 the services bind: the
// newest they know (2) or the compositor's, whichever is lower.
inline constexpr std::uint32_t wlrDataControlVersionBound(std::uint32_t advertised) {
  return advertised < 2 ? advertised : 2;
}

}  // namespace parasort
