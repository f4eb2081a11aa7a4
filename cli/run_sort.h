// Sorting a text larger than the memory budget: each piece of the input is
// sorted into a run on disk (an unnamed temporary file, with the keys), and
// the runs are merged, a bounded number at a time, into the output.
#pragma once

#include "command_line.h"
#include "input_pieces.h"
#include "sort_budget.h"

#include "parasort/engine/collation.h"
#include "parasort/engine/keyed_records.h"

#include <functional>
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

namespace parasort::cli {

// The directories for temporary files: those of -T, else $TMPDIR, else /tmp.
std::vector<std::string> temporaryDirectories(const FilterOptions& options);

// Sorts what `source` gives, whose first piece `firstPiece` (starting at
// `firstStart`, with the text's byte order mark if it has one) it has handed
// out. Writes the result, or the message of what went wrong, and returns the
// exit status. Throws std::bad_alloc when memory runs out.
int sortThroughRuns(PieceSource& source, std::string_view firstPiece, std::size_t firstStart,
                    const FilterOptions& options, const ParagraphCollator& collator, const SortBudget& budget,
                    std::ostream& diagnostics);

// Writes one record as --print-keys shows it: the printable key, a tab, the
// paragraph, and the record's terminator (LF, or NUL for -z).
void writeRecordWithKey(const KeyedRecord& record, const FilterOptions& options,
                        const std::function<void(std::string_view)>& sink);

}  // namespace parasort::cli
