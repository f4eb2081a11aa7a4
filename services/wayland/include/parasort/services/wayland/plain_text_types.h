// The names under which Wayland and X11 clients offer plain text, and the
// conversions between the services' UTF-16 and the clipboard's bytes.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace parasort {

// Every name of plain text, the best to read first. A result offers them
// all, with the same UTF-8 bytes.
std::span<const std::string_view> plainTextTypes();

bool isPlainTextType(std::string_view type);

// The plain-text type to read from an offer listing `offered`; nothing when
// it lists none.
std::optional<std::string> bestPlainTextType(std::span<const std::string> offered);

// The types as the services see them: every plain-text name folded into
// the one plain string type, in the place of the first; the rest as listed.
std::vector<std::string> servicesTypesOf(std::span<const std::string> offered);

// The clipboard's bytes as text: UTF-8 (malformed sequences become U+FFFD),
// but Latin-1 for X11's STRING.
std::u16string textOfClipboardBytes(std::string_view bytes, std::string_view type);
std::string utf8Of(std::u16string_view text);

}  // namespace parasort
