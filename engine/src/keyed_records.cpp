#include "parasort/engine/keyed_records.h"

#include "paragraph_scan.h"
#include "record_keys.h"
#include "sort_key.h"
#include "sort_key_order.h"
#include "utf16_units.h"

#include "parasort/engine/ordering_key.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

namespace parasort {
namespace {

// -1, 0 or +1 as `a` orders before, equal to or after `b` as unsigned bytes.
int compareKeys(std::string_view a, std::string_view b) noexcept {
  const int order = std::memcmp(a.data(), b.data(), std::min(a.size(), b.size()));
  if (order != 0) return order < 0 ? -1 : 1;
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

// A heap of the runs' current records, the one to go out next on top: a
// binary heap of run numbers, ordered by key, then by run number.
class RunHeap {
 public:
  RunHeap(std::size_t runCount, bool descending) : descending_(descending), heads_(runCount) {
    heap_.reserve(runCount);
  }

  void push(std::size_t run, const KeyedRecord& record) {
    heads_[run] = record;
    heap_.push_back(run);
    for (std::size_t child = heap_.size() - 1; child > 0;) {
      const std::size_t parent = (child - 1) / 2;
      if (!before(heap_[child], heap_[parent])) break;
      std::swap(heap_[child], heap_[parent]);
      child = parent;
    }
  }
  bool empty() const noexcept { return heap_.empty(); }
  std::size_t topRun() const noexcept { return heap_.front(); }
  const KeyedRecord& top() const noexcept { return heads_[heap_.front()]; }

  // The top run's next record takes its place (or the run leaves the heap).
  void replaceTop(const std::optional<KeyedRecord>& next) {
    if (next) {
      heads_[heap_.front()] = *next;
    } else {
      heap_.front() = heap_.back();
      heap_.pop_back();
    }
    siftDown();
  }

 private:
  bool before(std::size_t a, std::size_t b) const noexcept {
    const int order = compareKeys(heads_[a].key, heads_[b].key);
    if (order != 0) return descending_ ? order > 0 : order < 0;
    return a < b;
  }
  void siftDown() noexcept {
    const std::size_t size = heap_.size();
    for (std::size_t parent = 0;;) {
      std::size_t best = parent;
      for (std::size_t child = 2 * parent + 1; child <= 2 * parent + 2 && child < size; ++child)
        if (before(heap_[child], heap_[best])) best = child;
      if (best == parent) return;
      std::swap(heap_[parent], heap_[best]);
      parent = best;
    }
  }

  bool descending_;
  std::vector<KeyedRecord> heads_;
  std::vector<std::size_t> heap_;
};

}  // namespace

bool ordersByKeys(ParagraphOrder order) noexcept { return detail::keyOrderOf(order).has_value(); }

void forEachKeyedRecord(std::string_view utf8Text, ParagraphOrder order, const ParagraphCollator& collator,
                        const ArrangeOptions& options, const KeyedRecordVisit& visit) {
  if (utf8Text.empty()) return;
  const unsigned threads = options.threadCount != 0 ? options.threadCount : std::max(1u, std::thread::hardware_concurrency());
  const detail::PartPlan plan{.threadCount = threads, .memory = options.memory};
  std::shared_ptr<const detail::KeyPlan> keys;
  if (!ordersByWholeParagraph(options.keys))
    keys = detail::makeKeyPlan(options.keys, collator.icuLocaleName(), options.randomSeed.value_or(0));
  const bool lastResort = options.lastResort && keys != nullptr && !detail::keyOrderOf(order).value().keepsFirstOfEqual;
  const auto sequence = detail::orderBySortKeys(
      utf8Text, order, *collator.get(), plan, {.plan = keys,
                                            .terminators = options.terminators,
                                            .lastResort = lastResort,
                                            .readThrough = options.readThrough});
  const auto scanner = detail::ParagraphScanner<char>::surveyed(utf8Text, 0, options.terminators);
  detail::Utf16Units units;
  std::string merged;
  sequence->forEachKeyedStart([&](std::size_t start, const std::uint8_t* key, bool extended) {
    const auto* keyBytes = reinterpret_cast<const char*>(key);
    const std::string_view paragraph = utf8Text.substr(start, scanner.paragraphFrom(start).contentsEnd - start);
    std::string_view fullKey(keyBytes, std::strlen(keyBytes));
    if (lastResort) {
      // Ties of the keys go to the whole paragraphs, in a run as across
      // runs: the key, a 0 (before any byte a longer key goes on with),
      // then the whole paragraph's key.
      const detail::SortKey whole(*collator.get(), units.of(paragraph));
      const std::string_view wholeKey(reinterpret_cast<const char*>(whole.bytes()));
      if (extended) fullKey.remove_suffix(wholeKey.size());
      merged.assign(fullKey).append(1, '\0').append(wholeKey);
      fullKey = merged;
    }
    visit(KeyedRecord{.key = fullKey, .paragraph = paragraph, .start = start});
  });
}

void mergeKeyedRuns(std::span<KeyedRecordSource* const> runs, ParagraphOrder order, const KeyedRecordVisit& visit) {
  const detail::KeyOrder kind = detail::keyOrderOf(order).value();
  RunHeap heap(runs.size(), kind.descending);
  for (std::size_t run = 0; run < runs.size(); ++run)
    if (auto record = runs[run]->next()) heap.push(run, *record);
  // For unique: the key of the last record handed on, kept as a copy since
  // its run moves on.
  std::string lastKey;
  bool anyHandedOn = false;
  while (!heap.empty()) {
    const KeyedRecord& record = heap.top();
    if (!kind.keepsFirstOfEqual) {
      visit(record);
    } else if (!anyHandedOn || compareKeys(lastKey, record.key) != 0) {
      visit(record);
      lastKey.assign(record.key);
      anyHandedOn = true;
    }
    heap.replaceTop(runs[heap.topRun()]->next());
  }
}

std::string printableKey(std::string_view key, ParagraphOrder order, std::size_t position) {
  static constexpr char digits[] = "0123456789abcdef";
  const bool descending = detail::keyOrderOf(order).value_or(detail::KeyOrder{}).descending;
  std::string printed;
  printed.reserve(2 * key.size() + 20);
  const auto appendByte = [&](unsigned byte) {
    printed += digits[byte >> 4];
    printed += digits[byte & 0xF];
  };
  // Descending: each byte's complement, then FF, which no complement is
  // (keys hold no 0): a key that another begins with then goes after it.
  for (const char byte : key) {
    const auto value = static_cast<unsigned char>(byte);
    appendByte(descending ? 0xFFu - value : value);
  }
  if (descending) appendByte(0xFF);
  // The space orders before every hex digit: a shorter key goes first.
  printed += ' ';
  for (int shift = 60; shift >= 0; shift -= 4) printed += digits[(position >> shift) & 0xF];
  return printed;
}

}  // namespace parasort
