// Merging streams of records that are each in order already into one
// order, a record at a time: only the head of each stream is held.
#pragma once

#include "parasort/engine/arrangement.h"
#include "parasort/engine/collation.h"

#include <functional>
#include <optional>
#include <span>
#include <string_view>

namespace parasort {

// A stream of UTF-8 records (paragraphs, without their terminators).
class RecordStream {
 public:
  virtual ~RecordStream() = default;
  // The next record, valid until the next call; nothing at the end.
  virtual std::optional<std::string_view> next() = 0;
};

// Hands the records of `streams` to `emit` in the order `order` gives
// (ascending, descending or unique; the others are taken as ascending),
// ordered by `collator` and `options` (keys, lastResort, randomSeed) as
// arrangeParagraphs orders them. Each stream must be in that order already;
// where it is not, its records still all come out, in no promised order.
// Of records that order alike, those of an earlier stream go first; for
// unique, only the first of equal records goes out. Throws what the streams
// throw, and std::bad_alloc.
void mergeSortedRecords(std::span<RecordStream* const> streams, ParagraphOrder order,
                        const ParagraphCollator& collator, const ArrangeOptions& options,
                        const std::function<void(std::string_view)>& emit);

}  // namespace parasort
