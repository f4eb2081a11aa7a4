#include "parasort/engine/arrangement.h"

#include "chunked_gather.h"
#include "paragraph_scan.h"
#include "paragraph_sequence.h"
#include "record_keys.h"
#include "sort_key.h"
#include "sort_key_order.h"
#include "two_threads.h"
#include "utf16_units.h"

#include "parasort/engine/paragraph.h"
#include "parasort/engine/unique.h"

#include <algorithm>
#include <array>
#include <exception>
#include <limits>
#include <memory_resource>
#include <numeric>
#include <optional>
#include <random>
#include <system_error>
#include <thread>

namespace parasort {
namespace {

// From this many code units on, a result is joined in two halves at once;
// below it the second thread costs more than it saves.
constexpr std::size_t twoHalvesThreshold = std::size_t{1} << 17;

std::uint64_t freshSeed() {
  std::random_device device;
  return (std::uint64_t{device()} << 32) ^ std::uint64_t{device()};
}

bool hasRandomKey(const std::vector<OrderingKey>& keys) {
  return std::ranges::any_of(keys, [](const OrderingKey& key) { return key.modifiers.kind == KeyKind::random; });
}

// What the keys of `options` come to: nothing when paragraphs are ordered by
// their whole collation.
std::shared_ptr<const detail::KeyPlan> planOf(const ParagraphCollator& collator, const ArrangeOptions& options) {
  if (ordersByWholeParagraph(options.keys)) return nullptr;
  const std::uint64_t seed = hasRandomKey(options.keys) ? options.randomSeed.value_or(freshSeed()) : 0;
  return detail::makeKeyPlan(options.keys, collator.icuLocaleName(), seed);
}

// The three-way order of two paragraphs under a sorting order, before its
// direction: by their keys' lengths first when the order says so, then by
// the keys, then (when asked) by the whole paragraphs' collation.
template <class CharT>
class RecordComparison {
 public:
  using View = std::basic_string_view<CharT>;
  RecordComparison(const ParagraphCollator& collator, std::shared_ptr<const detail::KeyPlan> plan, bool lengthFirst,
                   bool lastResort)
      : collator_(collator), plan_(plan), keyer_(collator.get(), plan), lengthFirst_(lengthFirst),
        lastResort_(lastResort && plan != nullptr) {}

  int operator()(View a, View b) const {
    const int byKeys = compareKeys(a, b);
    if (byKeys != 0 || !lastResort_) return byKeys;
    return collator_.compare(a, b);
  }

  // The order by the keys alone: 0 for paragraphs that de-duplication
  // takes as equal.
  int compareKeys(View a, View b) const {
    keyOf(a, keyOfA_);
    keyOf(b, keyOfB_);
    const int order = keyOfA_.compare(keyOfB_);
    return (order > 0) - (order < 0);
  }

  // Bytes that compare (as strings) as compareKeys() orders paragraphs:
  // the key's length first when asked (eight bytes, most significant
  // first), then the keys, or the whole paragraph's sort key.
  void keyOf(View paragraph, std::string& key) const {
    key.clear();
    if (lengthFirst_) {
      const std::uint64_t length = codePointCount(lengthKeyOf(paragraph));
      for (int shift = 56; shift >= 0; shift -= 8) key += static_cast<char>((length >> shift) & 0xFF);
    }
    if (plan_) {
      keyer_.append(paragraph, key);
      return;
    }
    if (collator_.get() == nullptr) {  // no collator at all: code unit order
      for (const CharT unit : paragraph) {
        if constexpr (sizeof(CharT) > 1) key += static_cast<char>(static_cast<std::uint16_t>(unit) >> 8);
        key += static_cast<char>(unit);
      }
      return;
    }
    const detail::SortKey whole(*collator_.get(), units_.of(paragraph));
    key.append(reinterpret_cast<const char*>(whole.bytes()));
  }

  // Whether paragraphs whose keys tie go on to their whole collation.
  bool breaksTiesByWholeParagraphs() const noexcept { return lastResort_; }

 private:
  View lengthKeyOf(View paragraph) const {
    return plan_ ? keyOfParagraph(paragraph, plan_->keys.front().positions) : paragraph;
  }

  const ParagraphCollator& collator_;
  std::shared_ptr<const detail::KeyPlan> plan_;
  mutable detail::RecordKeyer keyer_;
  mutable detail::Utf16Units units_;
  mutable std::string keyOfA_;
  mutable std::string keyOfB_;
  bool lengthFirst_;
  bool lastResort_;
};

template <class CharT>
std::vector<std::size_t> startsOf(std::basic_string_view<CharT> text,
                                  const std::vector<std::basic_string_view<CharT>>& paragraphs) {
  std::vector<std::size_t> starts;
  starts.reserve(paragraphs.size());
  for (auto paragraph : paragraphs) starts.push_back(static_cast<std::size_t>(paragraph.data() - text.data()));
  return starts;
}

template <class CharT>
std::shared_ptr<const detail::ParagraphSequence> orderByComparison(std::basic_string_view<CharT> text,
                                                                   detail::KeyOrder kind,
                                                                   const ParagraphCollator& collator,
                                                                   const ArrangeOptions& options) {
  using View = std::basic_string_view<CharT>;
  auto paragraphs = detail::paragraphContents(text, options.terminators);
  const std::size_t inputCount = paragraphs.size();
  const RecordComparison<CharT> comparison(collator, planOf(collator, options), kind.lengthFirst,
                                           options.lastResort && !kind.keepsFirstOfEqual);
  auto compare = [&](View a, View b, const detail::KeyOrder* order) {
    const int result = order->keepsFirstOfEqual ? comparison.compareKeys(a, b) : comparison(a, b);
    return order->descending ? -result : result;
  };
  if (kind.keepsFirstOfEqual) {
    TQUnique::uniqueUsingFunction(paragraphs, compare, &kind);
  } else {
    std::stable_sort(paragraphs.begin(), paragraphs.end(),
                     [&](View a, View b) { return compare(a, b, &kind) < 0; });
  }
  return std::make_shared<detail::ParagraphStartList>(startsOf(text, paragraphs), inputCount);
}

// The orders that sort nothing: the input order reversed, shuffled, or with
// adjacent equal paragraphs dropped.
template <class CharT>
std::shared_ptr<const detail::ParagraphSequence> orderInInput(std::basic_string_view<CharT> text,
                                                              ParagraphOrder order,
                                                              const ParagraphCollator& collator,
                                                              const ArrangeOptions& options) {
  const auto paragraphs = detail::paragraphContents(text, options.terminators);
  std::vector<std::size_t> starts = startsOf(text, paragraphs);
  switch (order) {
    case ParagraphOrder::ascending:
    case ParagraphOrder::descending:
    case ParagraphOrder::unique:
    case ParagraphOrder::byLength:
      break;  // sorted elsewhere
    case ParagraphOrder::reverse:
      std::reverse(starts.begin(), starts.end());
      break;
    case ParagraphOrder::shuffle: {
      const auto positions = shuffledPositions(starts.size(), options.randomSeed.value_or(freshSeed()));
      std::vector<std::size_t> shuffled;
      shuffled.reserve(starts.size());
      for (std::size_t position : positions) shuffled.push_back(starts[position]);
      starts = std::move(shuffled);
      break;
    }
    case ParagraphOrder::adjacentUnique: {
      // A paragraph goes when its key equals the one before it, so a large
      // text is done in two halves at once. Each key is made once.
      const auto plan = planOf(collator, options);
      const auto keptStarts = [&](std::size_t first, std::size_t last) {
        const RecordComparison<CharT> comparison(collator, plan, false, false);
        std::vector<std::size_t> kept;
        std::string previousKey;
        std::string key;
        if (first > 0) comparison.keyOf(paragraphs[first - 1], previousKey);
        for (std::size_t index = first; index < last; ++index) {
          comparison.keyOf(paragraphs[index], key);
          if (index > 0 && key == previousKey) continue;
          std::swap(previousKey, key);
          kept.push_back(static_cast<std::size_t>(paragraphs[index].data() - text.data()));
        }
        return kept;
      };
      const std::size_t middle = paragraphs.size() / 2;
      std::vector<std::size_t> back;
      if (text.size() >= twoHalvesThreshold &&
          detail::inTwoThreads([&] { back = keptStarts(middle, paragraphs.size()); },
                       [&] { starts = keptStarts(0, middle); })) {
        starts.insert(starts.end(), back.begin(), back.end());
      } else {
        starts = keptStarts(0, paragraphs.size());
      }
      break;
    }
  }
  return std::make_shared<detail::ParagraphStartList>(std::move(starts), paragraphs.size());
}

template <class CharT>
ArrangedParagraphs<CharT> arrange(std::basic_string_view<CharT> text, ParagraphOrder order,
                                  const ParagraphCollator& collator, const ArrangeOptions& options) {
  OrderingStrategy strategy = options.strategy;
  const auto firstParagraph = detail::ParagraphScanner<CharT>(text, options.terminators).paragraphFrom(0);
  if (text.empty() || firstParagraph.end >= text.size()) return ArrangedParagraphs<CharT>(text);

  const std::optional<detail::KeyOrder> kind = detail::keyOrderOf(order);
  if (!kind)
    return ArrangedParagraphs<CharT>(text, orderInInput(text, order, collator, options), options.terminators);

  // A comparison makes two keys, so however small the text, making each
  // paragraph's key once and sorting those wins (bench/transforms_bench,
  // BM_Strategy).
  if (strategy == OrderingStrategy::automatic) strategy = OrderingStrategy::sortKeys;
  // (Sort key positions are 32-bit: from sortKeyTextLimit on, comparisons it is.)
  if (collator.get() == nullptr || text.size() >= sortKeyTextLimit) strategy = OrderingStrategy::comparison;

  if (strategy == OrderingStrategy::comparison)
    return ArrangedParagraphs<CharT>(text, orderByComparison(text, *kind, collator, options), options.terminators);
  const detail::PartPlan plan{.threadCount = options.threadCount != 0 ? options.threadCount
                                                                   : std::max(1u, std::thread::hardware_concurrency()),
                              .memory = options.memory};
  const auto keys = planOf(collator, options);
  return ArrangedParagraphs<CharT>(
      text,
      detail::orderBySortKeys(text, order, *collator.get(), plan,
                              {.plan = keys,
                               .terminators = options.terminators,
                               .lastResort = options.lastResort && keys != nullptr && !kind->keepsFirstOfEqual,
                               .readThrough = options.readThrough}),
      options.terminators);
}

// The first paragraph in [first, last) of `paragraphs` (first >= 1) that
// should not follow the one before it: each paragraph's key is made once.
template <class CharT>
std::optional<std::size_t> disorderIn(const std::vector<std::basic_string_view<CharT>>& paragraphs, std::size_t first,
                                      std::size_t last, const RecordComparison<CharT>& comparison,
                                      const ParagraphCollator& collator, bool adjacentUnique,
                                      std::optional<detail::KeyOrder> kind) {
  std::string previous;
  std::string current;
  if (first < last) comparison.keyOf(paragraphs[first - 1], previous);
  for (std::size_t index = first; index < last; ++index) {
    comparison.keyOf(paragraphs[index], current);
    const int byKeys = previous.compare(current);
    int result = (byKeys > 0) - (byKeys < 0);
    if (result == 0 && comparison.breaksTiesByWholeParagraphs())
      result = collator.compare(paragraphs[index - 1], paragraphs[index]);
    if (adjacentUnique ? result == 0
                       : (kind->descending ? result < 0 : result > 0) || (kind->keepsFirstOfEqual && result == 0))
      return index;
    std::swap(previous, current);
  }
  return std::nullopt;
}

template <class CharT>
std::optional<std::size_t> findDisorder(std::basic_string_view<CharT> text, ParagraphOrder order,
                                        const ParagraphCollator& collator, const ArrangeOptions& options) {
  const auto paragraphs = detail::paragraphContents(text, options.terminators);
  const std::optional<detail::KeyOrder> kind = detail::keyOrderOf(order);
  // Of the orders that sort nothing, only adjacentUnique can be checked: no
  // two neighbours equal.
  const bool adjacentUnique = order == ParagraphOrder::adjacentUnique;
  if (!kind && !adjacentUnique) return std::nullopt;
  const bool byKeysOnly = adjacentUnique || (kind && kind->keepsFirstOfEqual);
  const auto plan = planOf(collator, options);
  const auto comparisonOnEachThread = [&] {
    return RecordComparison<CharT>(collator, plan, kind && kind->lengthFirst, options.lastResort && !byKeysOnly);
  };
  const auto disorderBetween = [&](std::size_t first, std::size_t last) {
    return disorderIn(paragraphs, first, last, comparisonOnEachThread(), collator, adjacentUnique, kind);
  };
  // A large text is checked in two halves at once; the front half's
  // disorder, when there is one, comes first.
  const std::size_t middle = paragraphs.size() / 2;
  std::optional<std::size_t> inBack;
  std::optional<std::size_t> inFront;
  if (text.size() < twoHalvesThreshold ||
      !detail::inTwoThreads([&] { inBack = disorderBetween(std::max<std::size_t>(middle, 1), paragraphs.size()); },
                    [&] { inFront = disorderBetween(1, std::max<std::size_t>(middle, 1)); }))
    return disorderBetween(1, paragraphs.size());
  return inFront ? inFront : inBack;
}

// Sorted paragraphs lie all over the text, and each would be a wait for
// memory: asking for them a few paragraphs ahead lets the waits overlap.
// Takes starts in order and hands them on to `emit` in the same order.
template <class CharT, class Emit>
class LookingAhead {
 public:
  LookingAhead(const CharT* text, Emit emit) : text_(text), emit_(std::move(emit)) {}

  void operator()(std::size_t start) {
    // A typical line spans two cache lines.
    detail::prefetch(text_ + start);
    detail::prefetch(reinterpret_cast<const char*>(text_ + start) + 64);
    if (queued_ >= ahead_.size()) emit_(ahead_[queued_ % ahead_.size()]);
    ahead_[queued_ % ahead_.size()] = start;
    ++queued_;
  }

  // Hands on the starts still held.
  void finish() {
    for (std::size_t index = queued_ > ahead_.size() ? queued_ - ahead_.size() : 0; index < queued_; ++index)
      emit_(ahead_[index % ahead_.size()]);
    queued_ = 0;
  }

 private:
  const CharT* text_;
  Emit emit_;
  std::array<std::size_t, 16> ahead_{};
  std::size_t queued_ = 0;
};

// The order of `sequence` as a list of starts: merged in two halves at once
// (the front forwards, the back backwards, into the two ends of the list)
// when `inTwoHalves`.
template <class Offset>
std::shared_ptr<const detail::ParagraphSequence> listOfStarts(const detail::ParagraphSequence& sequence,
                                                              bool inTwoHalves, std::pmr::memory_resource& memory) {
  const std::size_t count = sequence.orderedCount();
  std::pmr::vector<Offset> starts(count, &memory);
  // Each thread counts on its own stack and says where it ended only at
  // the end: two counters side by side, written by two threads at every
  // paragraph, would send their cache line back and forth between cores.
  std::size_t frontEnd = 0;
  std::size_t backBegin = count;
  const auto front = [&](std::size_t frontCount) {
    std::size_t end = 0;
    sequence.forEachStartOfFront(frontCount, [&](std::size_t start) { starts[end++] = static_cast<Offset>(start); });
    frontEnd = end;
  };
  const auto back = [&](std::size_t backCount) {
    std::size_t begin = count;
    sequence.forEachStartOfBackFromEnd(backCount,
                                       [&](std::size_t start) { starts[--begin] = static_cast<Offset>(start); });
    backBegin = begin;
  };
  const std::size_t backCount = count / 2;
  if (!inTwoHalves || !detail::inTwoThreads([&] { back(backCount); }, [&] { front(count - backCount); })) front(count);
  // Duplicates left out of either half leave a gap between them.
  if (frontEnd != backBegin) {
    std::copy(starts.begin() + static_cast<std::ptrdiff_t>(backBegin), starts.end(),
              starts.begin() + static_cast<std::ptrdiff_t>(frontEnd));
    starts.resize(frontEnd + (count - backBegin));
  }
  return std::make_shared<detail::CompactStartList<Offset>>(std::move(starts), sequence.inputParagraphCount());
}

// The order of `sequence`, of a text of `textSize` units, as a list of
// starts of the smallest type the text allows.
std::shared_ptr<const detail::ParagraphSequence> compactListOf(const detail::ParagraphSequence& sequence,
                                                               std::size_t textSize,
                                                               std::pmr::memory_resource& memory) {
  const bool inTwoHalves = textSize >= twoHalvesThreshold;
  if (textSize <= std::numeric_limits<std::uint32_t>::max())
    return listOfStarts<std::uint32_t>(sequence, inTwoHalves, memory);
  return listOfStarts<std::size_t>(sequence, inTwoHalves, memory);
}

}  // namespace

template <class CharT>
ArrangedParagraphs<CharT>::ArrangedParagraphs(View original) : original_(original) {}

template <class CharT>
ArrangedParagraphs<CharT>::ArrangedParagraphs(View original,
                                              std::shared_ptr<const detail::ParagraphSequence> sequence,
                                              RecordTerminators terminators)
    : original_(original),
      terminators_(terminators),
      separator_(terminators == RecordTerminators::nul ? detail::nulTerminator<CharT>()
                                                       : TQParagraph::paragraphSeparater(original)),
      endsWithSeparator_(terminators == RecordTerminators::nul
                             ? !original.empty() && original.back() == CharT(0)
                             : TQParagraph::endsParagraphSeparater(original)),
      decodedWellFormedUtf8_(sequence != nullptr && sequence->decodedWellFormedUtf8()),
      sawLineFeedsOnly_(sequence != nullptr && sequence->sawLineFeedsOnly()),
      sequence_(std::move(sequence)) {}

// A scanner of the original text, surveyed for its terminators unless the
// order was found by scanners that surveyed it all already.
template <class CharT>
detail::ParagraphScanner<CharT> ArrangedParagraphs<CharT>::scannerOfOriginal() const {
  if (terminators_ == RecordTerminators::paragraph && sawLineFeedsOnly_)
    return detail::ParagraphScanner<CharT>::ofLineFeedsOnly(original_);
  return detail::ParagraphScanner<CharT>::surveyed(original_, 0, terminators_);
}

template <class CharT>
void ArrangedParagraphs<CharT>::forEachPiece(const std::function<void(View)>& sink) const {
  if (keepsOriginal()) {
    sink(original_);
    return;
  }
  // A separator goes between paragraphs, and after the last one only when
  // the text ended with one: so it is written before every paragraph but
  // the first, and once more at the end.
  const auto scanner = scannerOfOriginal();
  const auto contentsAt = [&](std::size_t start) {
    return original_.substr(start, scanner.paragraphFrom(start).contentsEnd - start);
  };
  // Merging the sorted parts and gathering the paragraphs are most of
  // handing out a large result: the parts are merged into a list first, its
  // two halves at once, and the list's paragraphs gathered in chunks on two
  // threads.
  const bool large = original_.size() >= twoHalvesThreshold;
  const auto order = large && !sequence_->isList()
                         ? compactListOf(*sequence_, original_.size(), *std::pmr::get_default_resource())
                         : sequence_;
  const auto gather = [&](std::size_t first, std::size_t last, auto put) {
    std::size_t index = first;
    LookingAhead ahead(original_.data(), [&](std::size_t start) { put(index++, start); });
    order->forEachStartFrom(first, last - first, std::ref(ahead));
    ahead.finish();
  };
  if (!large || !detail::handOnInChunks<CharT>(order->orderedCount(), separator_, gather, contentsAt, sink)) {
    gather(0, order->orderedCount(), [&](std::size_t index, std::size_t start) {
      if (index != 0) sink(separator_);
      sink(contentsAt(start));
    });
  }
  if (endsWithSeparator_) sink(separator_);
}

template <class CharT>
void ArrangedParagraphs<CharT>::keepOnlyTheOrder(std::pmr::memory_resource& memory) {
  if (keepsOriginal() || sequence_->isList()) return;
  sequence_ = compactListOf(*sequence_, original_.size(), memory);
}

template <class CharT>
template <class String>
void ArrangedParagraphs<CharT>::appendTo(String& result) const {
  if (keepsOriginal()) {
    result.append(original_);
    return;
  }
  // At most every paragraph's contents (no more than the text's size) and
  // one separator for each.
  const std::size_t most = original_.size() + sequence_->inputParagraphCount() * separator_.size();
  if (original_.size() >= twoHalvesThreshold && appendInTwoHalves(result, most)) return;
  result.reserve(result.size() + most);
  forEachPiece([&result](View piece) { result.append(piece); });
}

// Gathering the paragraphs from all over the text is most of joining a
// large result: the front half is written forwards from the start, the back
// half backwards from the end on a second thread, and the gap between them
// closed. False when no thread can be started.
template <class CharT>
template <class String>
bool ArrangedParagraphs<CharT>::appendInTwoHalves(String& result, std::size_t most) const {
  const std::size_t base = result.size();
  result.resize(base + most);
  CharT* const out = result.data() + base;
  const auto scanner = scannerOfOriginal();
  const std::size_t backCount = sequence_->orderedCount() / 2;

  CharT* backBegin = out + most;
  CharT* frontEnd = out;
  if (!detail::inTwoThreads([&] { backBegin = writeBackHalf(scanner, backCount, out + most); },
                    [&] { frontEnd = writeFrontHalf(scanner, sequence_->orderedCount() - backCount, out); })) {
    result.resize(base);
    return false;
  }

  // The two halves meet exactly when nothing was dropped and every
  // terminator was as long as the separator.
  if (frontEnd != backBegin) frontEnd = std::copy(backBegin, out + most, frontEnd);
  else frontEnd = out + most;
  result.resize(static_cast<std::size_t>(frontEnd - result.data()));
  return true;
}

// The first `count` paragraphs of the order with a separator between each
// two, written from `out` on; returns where they end.
template <class CharT>
CharT* ArrangedParagraphs<CharT>::writeFrontHalf(const detail::ParagraphScanner<CharT>& scanner, std::size_t count,
                                                 CharT* out) const {
  bool first = true;
  LookingAhead ahead(original_.data(), [&](std::size_t start) {
    if (!first) out = std::copy(separator_.begin(), separator_.end(), out);
    first = false;
    const View contents = original_.substr(start, scanner.paragraphFrom(start).contentsEnd - start);
    out = std::copy(contents.begin(), contents.end(), out);
  });
  sequence_->forEachStartOfFront(count, std::ref(ahead));
  ahead.finish();
  return out;
}

// The last `count` paragraphs of the order, each after a separator (every
// one of them follows a paragraph of the front, which has at least one),
// and the final separator when the text ended with one, written backwards
// so that they end at `end`; returns where they begin.
template <class CharT>
CharT* ArrangedParagraphs<CharT>::writeBackHalf(const detail::ParagraphScanner<CharT>& scanner, std::size_t count,
                                                CharT* end) const {
  auto put = [&end](View piece) { end = std::copy_backward(piece.begin(), piece.end(), end); };
  if (endsWithSeparator_) put(separator_);
  LookingAhead ahead(original_.data(), [&](std::size_t start) {
    put(original_.substr(start, scanner.paragraphFrom(start).contentsEnd - start));
    put(separator_);
  });
  sequence_->forEachStartOfBackFromEnd(count, std::ref(ahead));
  ahead.finish();
  return end;
}

template <class CharT>
std::basic_string<CharT> ArrangedParagraphs<CharT>::joined() const {
  std::basic_string<CharT> result;
  appendTo(result);
  return result;
}

template <class CharT>
std::pmr::basic_string<CharT> ArrangedParagraphs<CharT>::joined(std::pmr::memory_resource& memory) const {
  std::pmr::basic_string<CharT> result(&memory);
  appendTo(result);
  return result;
}

template class ArrangedParagraphs<char16_t>;
template class ArrangedParagraphs<char>;

ArrangedParagraphs<char16_t> arrangeParagraphs(std::u16string_view text, ParagraphOrder order,
                                               const ParagraphCollator& collator, const ArrangeOptions& options) {
  return arrange(text, order, collator, options);
}

ArrangedParagraphs<char> arrangeParagraphs(std::string_view utf8Text, ParagraphOrder order,
                                           const ParagraphCollator& collator, const ArrangeOptions& options) {
  return arrange(utf8Text, order, collator, options);
}

std::vector<std::size_t> shuffledPositions(std::size_t count, std::uint64_t seed) {
  std::vector<std::size_t> positions(count);
  std::iota(positions.begin(), positions.end(), std::size_t{0});
  std::mt19937_64 generator(seed);
  for (std::size_t index = count; index > 1; --index)
    std::swap(positions[index - 1], positions[static_cast<std::size_t>(generator() % index)]);
  return positions;
}

std::optional<std::size_t> firstDisorder(std::u16string_view text, ParagraphOrder order,
                                         const ParagraphCollator& collator, const ArrangeOptions& options) {
  return findDisorder(text, order, collator, options);
}

std::optional<std::size_t> firstDisorder(std::string_view utf8Text, ParagraphOrder order,
                                         const ParagraphCollator& collator, const ArrangeOptions& options) {
  return findDisorder(utf8Text, order, collator, options);
}

std::vector<std::u16string_view> paragraphsOf(std::u16string_view text, RecordTerminators terminators) {
  return detail::paragraphContents(text, terminators);
}

std::vector<std::string_view> paragraphsOf(std::string_view utf8Text, RecordTerminators terminators) {
  return detail::paragraphContents(utf8Text, terminators);
}

}  // namespace parasort
