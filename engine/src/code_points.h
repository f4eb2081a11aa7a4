// Code points of UTF-8 and UTF-16 text, read one at a time without
// failing: a byte that begins no well-formed UTF-8 sequence, or an unpaired
// surrogate, is one character of its own. Internal to the engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace parasort::detail {

// The code point at `index` and the index after it.
struct Decoded {
  char32_t character;
  std::size_t next;
};

inline Decoded decodeAt(std::u16string_view text, std::size_t index) noexcept {
  const char16_t unit = text[index];
  if (unit >= 0xD800 && unit < 0xDC00 && index + 1 < text.size() && text[index + 1] >= 0xDC00 &&
      text[index + 1] < 0xE000)
    return {0x10000 + ((char32_t{unit} - 0xD800) << 10) + (char32_t{text[index + 1]} - 0xDC00), index + 2};
  return {unit, index + 1};
}

inline Decoded decodeAt(std::string_view text, std::size_t index) noexcept {
  const auto lead = static_cast<std::uint8_t>(text[index]);
  const std::size_t length = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3
                                             : (lead & 0xF8) == 0xF0 ? 4 : 0;
  if (length <= 1 || index + length > text.size()) return {lead, index + 1};
  char32_t character = lead & (0x7F >> length);
  for (std::size_t offset = 1; offset < length; ++offset) {
    const auto continuation = static_cast<std::uint8_t>(text[index + offset]);
    if ((continuation & 0xC0) != 0x80) return {lead, index + 1};
    character = (character << 6) | (continuation & 0x3F);
  }
  return {character, index + length};
}

}  // namespace parasort::detail
