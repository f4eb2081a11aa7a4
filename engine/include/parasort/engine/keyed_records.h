// Paragraphs in order together with their sort keys: what a text too large
// for memory is sorted by, a piece (a run) at a time, and what the runs are
// merged by. The keys are the bytes that the order of the paragraphs is the
// order of (compared as unsigned bytes), so a run written out with its keys
// is merged without a collator, and any tool that orders bytes can order
// paragraphs by them.
#pragma once

#include "parasort/engine/arrangement.h"
#include "parasort/engine/collation.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace parasort {

// One paragraph (without its terminator) with its key, compared as unsigned
// bytes (a key that another begins with goes first); for descending order,
// a greater key goes first.
struct KeyedRecord {
  std::string_view key;
  std::string_view paragraph;
  std::size_t start = 0;  // where the paragraph starts in its text
};

using KeyedRecordVisit = std::function<void(const KeyedRecord&)>;

// Whether `order` sorts by keys (ascending, descending, unique, byLength);
// the others keep or permute the input order and have no keyed road.
bool ordersByKeys(ParagraphOrder order) noexcept;

// Orders the paragraphs of `utf8Text` exactly as arrangeParagraphs() does
// (for unique, only the first of equal paragraphs is kept) and hands them to
// `visit` in that order with their keys. `order` must order by keys, and
// `collator` must have opened (collator.get() not null). Random keys take
// options.randomSeed (0 when absent): pieces of one text need the same.
// Throws std::bad_alloc when memory runs out.
void forEachKeyedRecord(std::string_view utf8Text, ParagraphOrder order, const ParagraphCollator& collator,
                        const ArrangeOptions& options, const KeyedRecordVisit& visit);

// A run read back one record at a time.
class KeyedRecordSource {
 public:
  virtual ~KeyedRecordSource() = default;
  // The next record, valid until the following call; nothing at the end.
  virtual std::optional<KeyedRecord> next() = 0;
};

// Merges runs, each in the order `order` gives, into that order: on equal
// keys the record of the earlier run goes first (runs are numbered in input
// order, so equal paragraphs keep their input order); for unique, only the
// first of equal keys is handed on. Reads every source once, one record
// ahead.
void mergeKeyedRuns(std::span<KeyedRecordSource* const> runs, ParagraphOrder order, const KeyedRecordVisit& visit);

// The key as bytes that order the same way ascending whatever `order` is
// (for descending, each byte's complement, then FF),
// in hex, then a space and `position` (16 hex digits), so that no two
// records' printed keys are equal and ties keep their input order: sorting
// lines "PRINTED-KEY<TAB>PARAGRAPH" as plain bytes gives the filter's order.
std::string printableKey(std::string_view key, ParagraphOrder order, std::size_t position);

}  // namespace parasort
