// Which clipboard the services take in each kind of session, and how the
// names of plain text are folded into the services' one type.
#include "parasort/services/clipboard_route.h"
#include "parasort/services/wayland/plain_text_types.h"

#include <gtest/gtest.h>

namespace {

using parasort::ClipboardRoute;
using parasort::WindowPlatform;

TEST(ClipboardRoute, EachSessionsRoute) {
  constexpr auto x11 = WindowPlatform::x11, wayland = WindowPlatform::wayland, other = WindowPlatform::other;
  const struct {
    const char* session;
    parasort::ClipboardSession facts;
    ClipboardRoute route;
  } cases[] = {
      // window, compositor, ext, wlr, DISPLAY
      {"X11 desktop", {x11, false, 0, 0, true}, ClipboardRoute::windowClipboard},
      {"offscreen, even inside sway", {other, true, 1, 2, true}, ClipboardRoute::windowClipboard},
      {"KWin 6 / current wlroots: ext first", {wayland, true, 1, 2, true}, ClipboardRoute::extDataControl},
      {"ext alone", {wayland, true, 1, 0, false}, ClipboardRoute::extDataControl},
      {"sway 1.7 / KWin 5.27, window on Wayland", {wayland, true, 0, 2, true}, ClipboardRoute::wlrDataControl},
      {"sway 1.7 / KWin 5.27, window on XWayland", {x11, true, 0, 2, true}, ClipboardRoute::wlrDataControl},
      {"an old wlr version 1", {wayland, true, 0, 1, false}, ClipboardRoute::wlrDataControl},
      {"GNOME, window on XWayland", {x11, true, 0, 0, true}, ClipboardRoute::windowClipboard},
      {"GNOME, window on Wayland", {wayland, true, 0, 0, true}, ClipboardRoute::x11Helper},
      {"Wayland without XWayland or data-control", {wayland, true, 0, 0, false}, ClipboardRoute::none},
  };
  for (const auto& [session, facts, route] : cases)
    EXPECT_EQ(parasort::clipboardRouteName(parasort::chooseClipboardRoute(facts)), parasort::clipboardRouteName(route))
        << session;
  EXPECT_EQ(parasort::wlrDataControlVersionBound(1), 1U);
  EXPECT_EQ(parasort::wlrDataControlVersionBound(2), 2U);
  EXPECT_EQ(parasort::wlrDataControlVersionBound(3), 2U);
}

TEST(PlainTextTypes, FoldedIntoOneTypeAndReadUnderTheBestName) {
  using Types = std::vector<std::string>;
  const struct {
    Types offered;
    Types seen;
    std::optional<std::string> read;
  } cases[] = {
      {{"image/png"}, {"image/png"}, std::nullopt},
      {{"text/html", "STRING", "UTF8_STRING", "text/plain"}, {"text/html", "text/plain"}, "UTF8_STRING"},
      {{"TEXT", "text/plain;charset=utf-8"}, {"text/plain"}, "text/plain;charset=utf-8"},
      {{"STRING", "image/png"}, {"text/plain", "image/png"}, "STRING"},
      {{"text/plain;charset=UTF-16"}, {"text/plain;charset=UTF-16"}, std::nullopt},
  };
  for (const auto& [offered, seen, read] : cases) {
    EXPECT_EQ(parasort::servicesTypesOf(offered), seen);
    EXPECT_EQ(parasort::bestPlainTextType(offered), read);
  }
  EXPECT_EQ(parasort::textOfClipboardBytes("caf\xC3\xA9 \xF0\x9F\x98\x80", "text/plain"), u"caf\u00E9 \U0001F600");
  EXPECT_EQ(parasort::textOfClipboardBytes("caf\xE9", "text/plain"), u"caf\uFFFD");  // not UTF-8
  EXPECT_EQ(parasort::textOfClipboardBytes("caf\xE9", "STRING"), u"caf\u00E9");      // X11's Latin-1
  EXPECT_EQ(parasort::utf8Of(u"caf\u00E9 \U0001F600"), "caf\xC3\xA9 \xF0\x9F\x98\x80");
}

}  // namespace
