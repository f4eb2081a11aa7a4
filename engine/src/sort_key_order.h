// Ordering paragraphs by collation sort keys, made once per paragraph and
// sorted in parallel parts: the fast road to the order that the paragraph
// comparison defines (the keys' byte order, ties broken by input order), so
// the result is the one a stable comparison sort gives. Internal to the
// engine.
#pragma once

#include "paragraph_sequence.h"
#include "record_keys.h"

#include "parasort/engine/arrangement.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <memory_resource>
#include <optional>
#include <string_view>

struct UCollator;

namespace parasort::detail {

// How a text is cut into parts, each keyed and sorted by one thread.
struct PartPlan {
  unsigned threadCount = 1;
  // Below this many code units per thread a second thread costs more than it saves.
  std::size_t minimumUnitsPerPart = std::size_t{1} << 20;
  // Offsets within a part are 32-bit: a code unit expands to at most about a
  // hundred key bytes (the longest canonical expansions), so 2^26 units of
  // text stay well below 2^32 key bytes.
  std::size_t maximumUnitsPerPart = std::size_t{1} << 26;
  // Where the keys and the sorted parts live.
  std::pmr::memory_resource* memory = std::pmr::get_default_resource();
};

// What an order makes of keys: which way they go, whether only the first of
// equal ones stays, and whether the key's length in code points comes before
// its collation. Nothing for the orders that sort nothing (they keep or
// permute the input order). Every order is named here (a switch without a
// default), so that the compiler points at it when an order is added.
struct KeyOrder {
  bool descending = false;
  bool keepsFirstOfEqual = false;
  bool lengthFirst = false;
};
std::optional<KeyOrder> keyOrderOf(ParagraphOrder order) noexcept;

// The order with each paragraph's sort key at hand (0-terminated, as ICU
// ends every key), for code that keeps the keys beyond the sort (sorted runs
// on disk).
class KeyedParagraphSequence : public ParagraphSequence {
 public:
  // `extended`: the key is followed by the whole paragraph's sort key (see
  // KeySource::lastResort), as for paragraphs that tied within their part.
  using KeyedVisit = std::function<void(std::size_t start, const std::uint8_t* key, bool extended)>;
  virtual void forEachKeyedStart(const KeyedVisit& visit) const = 0;
};

// What each paragraph is keyed by (no plan: its whole collation), what ends
// a paragraph, and whether paragraphs whose keys tie are ordered by their
// whole collation before their input order.
struct KeySource {
  std::shared_ptr<const KeyPlan> plan{};
  RecordTerminators terminators = RecordTerminators::paragraph;
  bool lastResort = false;
  // As ArrangeOptions::readThrough.
  std::function<void(std::size_t offset, std::size_t length)> readThrough{};
};

// The text's paragraphs in their new order (for ParagraphOrder::unique, only
// the first of each run of equal paragraphs). The keys are made and sorted
// here, in parts as `plan` says, each on its own thread; the
// sorted parts are merged each time the sequence is visited, which saves
// holding the whole order in memory once more.
// `order` must be one that sorts (keyOrderOf gives a KeyOrder).
std::shared_ptr<const KeyedParagraphSequence> orderBySortKeys(std::u16string_view text, ParagraphOrder order,
                                                         const UCollator& collator, const PartPlan& plan,
                                                         const KeySource& source = {});
std::shared_ptr<const KeyedParagraphSequence> orderBySortKeys(std::string_view text, ParagraphOrder order,
                                                         const UCollator& collator, const PartPlan& plan,
                                                         const KeySource& source = {});

}  // namespace parasort::detail
