// Ranges of the editor's text, counted in UTF-16 code units (the units of
// std::u16string and of QString alike, so a range means the same characters
// on both sides of the Qt adapter).
#pragma once

#include <cstddef>
#include <limits>

namespace parasort::editor {

using Index = std::size_t;

// The location of "no range": what a text view reports when an edit is not
// possible. No real text reaches this index.
inline constexpr Index NotFound = std::numeric_limits<Index>::max();

struct Range {
  Index location = 0;
  Index length = 0;

  // One past the last unit of the range.
  [[nodiscard]] constexpr Index end() const noexcept { return location + length; }

  friend constexpr bool operator==(const Range&, const Range&) = default;
};

// The part of `range` that lies within a text of `textLength` units: a
// location past the end moves to the end, a length past it is cut short.
// Text operations pass ranges through this so that a careless caller never
// makes them read or write outside the text.
[[nodiscard]] constexpr Range clampedRange(Range range, Index textLength) noexcept {
  const Index location = range.location < textLength ? range.location : textLength;
  const Index room = textLength - location;
  return {location, range.length < room ? range.length : room};
}

}  // namespace parasort::editor
