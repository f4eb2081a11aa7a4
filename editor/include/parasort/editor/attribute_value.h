// Attribute names and values: what the text system keeps for each run of
// text. Values are plain C++ value types, free of any toolkit.
#pragma once

#include "parasort/editor/paragraph_style.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace parasort::editor {

using AttributeName = std::string;

// The names the text system knows. Any other name may be used too; its value
// is kept with the text but has no effect on how it is drawn.
//
// ParagraphStyle: a ParagraphStyle. It belongs to whole paragraphs: storing
// or removing it over any part of a paragraph does so for all of it. A value
// of another type under this name is not stored.
inline constexpr std::string_view ParagraphStyleAttributeName = "ParagraphStyle";
// Font: a Font (family and point size).
inline constexpr std::string_view FontAttributeName = "Font";
// FontWeight: an integer on the 100 (thin) to 900 (black) scale; 400 is
// regular, 700 bold.
inline constexpr std::string_view FontWeightAttributeName = "FontWeight";
// Italic: a bool.
inline constexpr std::string_view ItalicAttributeName = "Italic";
// UnderlineStyle: an integer, 0 for none and 1 for a single line.
inline constexpr std::string_view UnderlineStyleAttributeName = "UnderlineStyle";
// ForegroundColor: a Color.
inline constexpr std::string_view ForegroundColorAttributeName = "ForegroundColor";

struct Font {
  std::u16string family;
  double pointSize = 0.0;

  friend bool operator==(const Font&, const Font&) = default;
};

// 8-bit sRGB components with alpha.
struct Color {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  std::uint8_t alpha = 255;

  friend bool operator==(const Color&, const Color&) = default;
};

using AttributeValue =
    std::variant<ParagraphStyle, Font, Color, bool, std::int64_t, double, std::u16string>;

// The value as a T, or nothing when there is no value or it holds another
// type.
template <class T>
[[nodiscard]] std::optional<T> valueAs(const std::optional<AttributeValue>& value) {
  if (!value) return std::nullopt;
  if (const T* held = std::get_if<T>(&*value)) return *held;
  return std::nullopt;
}

}  // namespace parasort::editor
