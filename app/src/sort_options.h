// The options of the editor's sorts, set in Paragraphs > Sort Options… and
// kept in the settings beside the font, so that they hold from one run to
// the next. Reversing and shuffling ignore them.
#pragma once

#include "parasort/engine/arrangement.h"
#include "parasort/engine/collation.h"

#include <QString>

#include <optional>

namespace parasort {

struct SortOptions {
  CollationStrength strength = CollationStrength::secondary;
  bool numeric = true;
  QString keyPositions;    // as the filter's --key takes them; empty: the whole paragraph
  QString fieldSeparator;  // one character; empty: runs of blanks separate fields
  bool ignoreLeadingBlanks = false;
  bool operator==(const SortOptions&) const = default;
};

// Why the key or the separator cannot be read, in a plain sentence about
// what was typed; nothing when both can.
[[nodiscard]] std::optional<QString> problemWith(const SortOptions& options);

// The saved options. A value that cannot be read (a settings file edited by
// hand) counts as not saved.
[[nodiscard]] SortOptions savedSortOptions();
// Saves `options` (which problemWith() accepts) and writes them out.
void saveSortOptions(const SortOptions& options);

// What the engine takes of them.
[[nodiscard]] CollationOptions collationOf(const SortOptions& options);
[[nodiscard]] ArrangeOptions arrangeOptionsOf(const SortOptions& options);

}  // namespace parasort
