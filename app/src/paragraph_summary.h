// What the status bar tells about a text: how many paragraphs it has and how
// many of them repeat an earlier one.
#pragma once

#include "sort_options.h"

#include <QString>

#include <cstddef>
#include <string_view>

namespace parasort {

struct ParagraphSummary {
  std::size_t paragraphs = 0;
  // Paragraphs that de-duplication would remove: those equal, by the
  // paragraph collation, to another one that it keeps.
  std::size_t duplicates = 0;

  friend bool operator==(const ParagraphSummary&, const ParagraphSummary&) = default;
};

// Counts with the engine's paragraph model and its de-duplication under the
// sort options, so the count matches what "Remove Duplicate Paragraphs"
// would do.
[[nodiscard]] ParagraphSummary summarizeParagraphs(std::u16string_view text, const SortOptions& options);

// "3 paragraphs, 1 duplicate" for the whole text; "Selection: ..." for a
// selection.
[[nodiscard]] QString statusText(const ParagraphSummary& summary, bool ofSelection);

}  // namespace parasort
