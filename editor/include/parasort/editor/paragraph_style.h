// The paragraph style: how a paragraph is laid out. A value type; changing a
// copy never changes the style a text holds until the copy is stored back.
#pragma once

namespace parasort::editor {

enum class TextAlignment { Natural, Left, Right, Center, Justified };

// Lengths are in points. The editing operations change only the tab interval
// and the two head indents; every other field is carried over unchanged.
struct ParagraphStyle {
  TextAlignment alignment = TextAlignment::Natural;
  // Indent of the paragraph's first line, from the leading margin.
  double firstLineHeadIndent = 0.0;
  // Indent of the paragraph's other lines, from the leading margin.
  double headIndent = 0.0;
  // Zero or negative: distance from the trailing margin. Positive: line
  // width measured from the leading margin.
  double tailIndent = 0.0;
  // Space after the paragraph, and before it.
  double paragraphSpacing = 0.0;
  double paragraphSpacingBefore = 0.0;
  // Distance between the paragraph's default tab stops; 0 means the view's
  // own standard stops apply.
  double defaultTabInterval = 0.0;

  friend bool operator==(const ParagraphStyle&, const ParagraphStyle&) = default;
};

// The style that stands in where a text or the typing attributes carry none.
[[nodiscard]] constexpr ParagraphStyle defaultParagraphStyle() noexcept { return {}; }

}  // namespace parasort::editor
