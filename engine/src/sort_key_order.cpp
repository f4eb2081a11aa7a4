#include "sort_key_order.h"

#include "paragraph_scan.h"
#include "radix_sort.h"
#include "sort_key.h"
#include "tournament.h"
#include "utf16_units.h"

#include "parasort/engine/paragraph_key.h"

#include <unicode/ucol.h>

#include <array>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <memory_resource>
#include <exception>
#include <new>
#include <optional>
#include <string_view>
#include <stdexcept>
#include <system_error>
#include <thread>
#include <type_traits>

namespace parasort::detail {
namespace {

// One paragraph in a part: eight of its key bytes as a big-endian number
// (the first eight, except while the sort looks further into a tying run),
// so that most comparisons are integer comparisons without a look at the
// keys; where its key is; and where the paragraph is.
struct KeyedParagraph {
  std::uint64_t keyBytes;
  std::uint32_t keyOffset;        // into the part's key arena
  std::uint32_t paragraphOffset;  // from the part's start, and extendedKey
};

// Set in paragraphOffset (parts are far shorter than 2^31 units) when the
// key is followed by the whole paragraph's sort key: for paragraphs whose
// keys tie with others of their part, when ties go to the whole paragraph.
constexpr std::uint32_t extendedKey = std::uint32_t{1} << 31;
std::uint32_t offsetOf(const KeyedParagraph& paragraph) noexcept { return paragraph.paragraphOffset & ~extendedKey; }
bool isExtended(const KeyedParagraph& paragraph) noexcept { return (paragraph.paragraphOffset & extendedKey) != 0; }

// How many key bytes a KeyedParagraph holds.
constexpr std::size_t heldKeyBytes = sizeof(std::uint64_t);

// Keys of one part, back to back, each ending with the 0 byte that ICU puts
// at the end of every sort key (and nowhere else in it).
class KeyArena {
 public:
  KeyArena(std::size_t capacity, std::pmr::memory_resource& memory)
      : bytes_(allocate(capacity, memory)), capacity_(capacity) {}

  const std::uint8_t* key(std::uint32_t offset) const noexcept { return bytes_.get() + offset; }

  // Appends `prefix` (no 0 byte in it) and the key of `units`, and returns
  // the offset of the two.
  std::uint32_t append(const UCollator& collator, const UChar* units, int32_t length,
                       std::string_view prefix = {}) {
    while (true) {
      const std::size_t available = capacity_ - size_;
      if (available <= prefix.size()) {
        grow(size_ + prefix.size() + 1);
        continue;
      }
      const std::size_t room =
          std::min<std::size_t>(available - prefix.size(), std::numeric_limits<int32_t>::max());
      std::uint8_t* const keyStart = bytes_.get() + size_ + prefix.size();
      const int32_t needed = ucol_getSortKey(&collator, units, length, keyStart, static_cast<int32_t>(room));
      if (needed <= 0) throw std::bad_alloc();  // ICU could not make the key
      if (static_cast<std::size_t>(needed) <= room) {
        if (!prefix.empty()) std::memcpy(bytes_.get() + size_, prefix.data(), prefix.size());
        const auto offset = static_cast<std::uint32_t>(size_);
        size_ += prefix.size() + static_cast<std::size_t>(needed);
        return offset;
      }
      grow(size_ + prefix.size() + static_cast<std::size_t>(needed));
    }
  }

  // Appends `prefix` and `bytes` (no 0 byte in either) and a closing 0, and
  // returns their offset.
  std::uint32_t append(std::string_view prefix, std::string_view bytes) {
    const std::size_t needed = prefix.size() + bytes.size() + 1;
    if (capacity_ - size_ < needed) grow(size_ + needed);
    std::uint8_t* const start = bytes_.get() + size_;
    if (!prefix.empty()) std::memcpy(start, prefix.data(), prefix.size());
    if (!bytes.empty()) std::memcpy(start + prefix.size(), bytes.data(), bytes.size());
    start[needed - 1] = 0;
    const auto offset = static_cast<std::uint32_t>(size_);
    size_ += needed;
    return offset;
  }

 private:
  struct Release {
    std::pmr::memory_resource* memory;
    std::size_t size;
    void operator()(std::uint8_t* bytes) const noexcept { memory->deallocate(bytes, size, 1); }
  };
  using Bytes = std::unique_ptr<std::uint8_t[], Release>;

  // Taken, not touched: a generous reservation costs nothing until used.
  static Bytes allocate(std::size_t size, std::pmr::memory_resource& memory) {
    return Bytes(static_cast<std::uint8_t*>(memory.allocate(size, 1)), Release{&memory, size});
  }

  void grow(std::size_t required) {
    if (required > std::numeric_limits<std::uint32_t>::max()) throw std::length_error("sort keys");
    const std::size_t capacity = std::max(required, capacity_ * 2);
    Bytes bytes = allocate(capacity, *bytes_.get_deleter().memory);
    std::memcpy(bytes.get(), bytes_.get(), size_);
    bytes_ = std::move(bytes);
    capacity_ = capacity;
  }

  Bytes bytes_;
  std::size_t capacity_;
  std::size_t size_ = 0;
};

// Eight key bytes from `key` as a big-endian number, zero after the key's end.
std::uint64_t heldBytes(const std::uint8_t* key) noexcept {
  std::uint64_t bytes = 0;
  bool ended = false;
  for (std::size_t index = 0; index < heldKeyBytes; ++index) {
    const std::uint8_t byte = ended ? 0 : key[index];
    ended = ended || byte == 0;
    bytes = (bytes << 8) | byte;
  }
  return bytes;
}

// Whether held bytes include the key's terminating 0.
bool keyEndsWithin(std::uint64_t held) noexcept { return (held & 0xFF) == 0; }

// The three-way order of two keys; `a` and `b` hold their first eight bytes.
int compareKeys(const KeyedParagraph& a, const std::uint8_t* keyOfA, const KeyedParagraph& b,
                const std::uint8_t* keyOfB) noexcept {
  if (a.keyBytes != b.keyBytes) return a.keyBytes < b.keyBytes ? -1 : 1;
  if (keyEndsWithin(a.keyBytes)) return 0;  // equal up to the end of both
  const int rest = std::strcmp(reinterpret_cast<const char*>(keyOfA + heldKeyBytes),
                               reinterpret_cast<const char*>(keyOfB + heldKeyBytes));
  return (rest > 0) - (rest < 0);
}

// A length as five bytes that compare as the lengths do and hold no 0 (the
// keys' end): base-255 digits, each plus one. Lengths beyond 255^5 (over a
// trillion code points) are held as that.
class LengthPrefix {
 public:
  explicit LengthPrefix(std::size_t length) noexcept {
    for (std::size_t index = bytes_.size(); index > 0; --index) {
      bytes_[index - 1] = static_cast<char>(length % 255 + 1);
      length /= 255;
    }
  }
  std::string_view view() const noexcept { return {bytes_.data(), bytes_.size()}; }

 private:
  std::array<char, 5> bytes_{};
};

// How much text is read between two reports of what was read through.
constexpr std::size_t readThroughStep = std::size_t{1} << 20;

template <class CharT>
class Part {
 public:
  Part(std::basic_string_view<CharT> text, std::size_t begin, std::size_t end, std::pmr::memory_resource& memory)
      : text_(text), begin_(begin), end_(end), keys_(3 * (end - begin) * sizeof(CharT) + 64, memory),
        paragraphs_(&memory) {
    // Reserved, not touched: each paragraph takes at least one code unit.
    paragraphs_.reserve((end - begin) / 8 + 16);
  }

  // Makes every paragraph's key and sorts the part, ties by input order (or
  // first by the whole paragraphs' collation, as `keySource` says).
  void sort(const UCollator& collator, KeyOrder order, const KeySource& keySource) {
    collator_ = &collator;
    Utf16Units source;
    std::optional<RecordKeyer> keyer;
    if (keySource.plan) keyer.emplace(&collator, keySource.plan);
    scanner_ = ParagraphScanner<CharT>::surveyed(text_.substr(0, end_), begin_, keySource.terminators);
    std::size_t readUpTo = begin_;
    scanner_->forEachParagraph(begin_, end_, [&](std::size_t start, std::size_t contentsEnd) {
      if (keySource.readThrough && start - readUpTo >= readThroughStep) {
        keySource.readThrough(readUpTo, start - readUpTo);
        readUpTo = start;
      }
      const std::basic_string_view<CharT> paragraph = text_.substr(start, contentsEnd - start);
      const auto offset = static_cast<std::uint32_t>(start - begin_);
      std::uint32_t keyOffset = 0;
      if (keyer) {
        const std::size_t length =
            order.lengthFirst ? codePointCount(keyOfParagraph(paragraph, keySource.plan->keys.front().positions)) : 0;
        keyOffset = keys_.append(order.lengthFirst ? LengthPrefix(length).view() : std::string_view(),
                                 keyer->keyOf(paragraph));
      } else {
        const std::u16string_view units = source.of(paragraph);
        keyOffset = order.lengthFirst ? keys_.append(collator, units.data(), static_cast<int32_t>(units.size()),
                                                     LengthPrefix(codePointCount(paragraph)).view())
                                      : keys_.append(collator, units.data(), static_cast<int32_t>(units.size()));
      }
      paragraphs_.push_back({heldBytes(keys_.key(keyOffset)), keyOffset, offset});
    });
    if (keySource.readThrough && end_ > readUpTo) keySource.readThrough(readUpTo, end_ - readUpTo);
    decodedWellFormedUtf8_ = std::is_same_v<CharT, char> && !keyer && !source.metIllFormed();
    lastResort_ = keySource.lastResort;
    sortByKeyBytes(paragraphs_.begin(), paragraphs_.end(), order.descending);
  }

  // Sorts the paragraphs by their keys, ties by input order. The bytes held
  // in the paragraphs are compared first; runs that tie on them are given
  // their next eight key bytes in turn and sorted again, so that most
  // comparisons are integer comparisons on memory at hand, and the keys are
  // read (one after another, not at random inside the sort) only for runs
  // that still tie. Every paragraph holds its first eight bytes again at the
  // end (the merge of the parts compares them first).
  using Iterator = typename std::pmr::vector<KeyedParagraph>::iterator;
  void sortByKeyBytes(Iterator begin, Iterator end, bool descending) {
    sortByHeldBytes(begin, end, descending);
    for (Iterator run = begin; run != end;) {
      const Iterator runEnd = endOfTie(run, end);
      if (runEnd - run > 1) {
        // The run's paragraphs share their first eight bytes: they get them
        // back from the run, or (where whole paragraphs' keys were put
        // after their keys) from their keys.
        const std::uint64_t firstBytes = run->keyBytes;
        sortTie(run, runEnd, descending);
        if (lastResort_) refillHeldBytes(run, runEnd, 0);
        else std::for_each(run, runEnd, [firstBytes](KeyedParagraph& p) { p.keyBytes = firstBytes; });
      }
      run = runEnd;
    }
  }

  void sortByHeldBytes(Iterator begin, Iterator end, bool descending) {
    if (end - begin >= static_cast<std::ptrdiff_t>(radixSortMinimum)) {
      radixSort(begin, end, [descending](const KeyedParagraph& p) { return descending ? ~p.keyBytes : p.keyBytes; });
      return;
    }
    std::sort(begin, end, [descending](const KeyedParagraph& a, const KeyedParagraph& b) {
      return descending ? a.keyBytes > b.keyBytes : a.keyBytes < b.keyBytes;
    });
  }

  // The end of the run of paragraphs from `run` on that hold the same bytes.
  static Iterator endOfTie(Iterator run, Iterator end) {
    return std::find_if_not(run + 1, end, [&](const KeyedParagraph& p) { return p.keyBytes == run->keyBytes; });
  }

  // Sorts a run of paragraphs whose held bytes (from the key's start) tie.
  void sortTie(Iterator begin, Iterator end, bool descending) {
    // Runs still to sort, with the depth of their held bytes; a stack of its
    // own, as keys sharing long beginnings would nest deeply.
    struct Run {
      Iterator begin;
      Iterator end;
      std::size_t depth;
    };
    std::vector<Run> pending;
    const auto byInputOrder = [](const KeyedParagraph& a, const KeyedParagraph& b) {
      return offsetOf(a) < offsetOf(b);
    };
    // Keys that end within the held bytes end alike across the run: they
    // are equal, and (after the whole paragraphs' collation, when asked)
    // input order decides; other runs go on with their next bytes.
    const auto goOn = [&](Iterator run, Iterator runEnd, std::size_t depth) {
      if (keyEndsWithin(run->keyBytes)) {
        if (lastResort_) sortByWholeParagraphs(run, runEnd, descending);
        else std::sort(run, runEnd, byInputOrder);
        return;
      }
      refillHeldBytes(run, runEnd, depth + heldKeyBytes);
      pending.push_back({run, runEnd, depth + heldKeyBytes});
    };
    goOn(begin, end, 0);
    while (!pending.empty()) {
      const Run current = pending.back();
      pending.pop_back();
      sortByHeldBytes(current.begin, current.end, descending);
      for (Iterator run = current.begin; run != current.end;) {
        const Iterator runEnd = endOfTie(run, current.end);
        if (runEnd - run > 1) goOn(run, runEnd, current.depth);
        run = runEnd;
      }
    }
  }

  // Orders paragraphs whose keys tie by their whole collation, ties by
  // input order: each gets its whole paragraph's sort key after its key
  // (made here, only for such runs), so that the merge of the parts finds
  // it there too. Paragraphs of the same text have the same whole key: a
  // run of one text keeps its plain keys in input order, and in other runs
  // the key is made once for each text.
  void sortByWholeParagraphs(Iterator begin, Iterator end, bool descending) {
    // Each paragraph's text is found once, not at every comparison, and
    // asked for a few paragraphs ahead: the run lies all over the text.
    struct WithText {
      KeyedParagraph paragraph;
      std::basic_string_view<CharT> text;
    };
    constexpr std::ptrdiff_t lookahead = 8;
    std::vector<WithText> run;
    run.reserve(static_cast<std::size_t>(end - begin));
    for (Iterator paragraph = begin; paragraph != end; ++paragraph) {
      if (end - paragraph > lookahead) {
        const auto* ahead = reinterpret_cast<const char*>(text_.data() + begin_ + offsetOf(*(paragraph + lookahead)));
        prefetch(ahead);
        prefetch(ahead + 64);
      }
      run.push_back({*paragraph, paragraphText(*paragraph)});
    }
    std::sort(run.begin(), run.end(), [](const WithText& a, const WithText& b) {
      const int byText = a.text.compare(b.text);
      return byText != 0 ? byText < 0 : offsetOf(a.paragraph) < offsetOf(b.paragraph);
    });
    if (run.front().text != run.back().text) {
      // The run's keys are equal: each extended key is that key and the
      // whole paragraph's, one for each text.
      const std::string key(reinterpret_cast<const char*>(keys_.key(begin->keyOffset)));
      Utf16Units source;
      std::uint32_t extended = 0;
      for (std::size_t index = 0; index < run.size(); ++index) {
        if (index == 0 || run[index].text != run[index - 1].text) {
          const SortKey whole(*collator_, source.of(run[index].text));
          extended = keys_.append(key, reinterpret_cast<const char*>(whole.bytes()));
        }
        run[index].paragraph.keyOffset = extended;
        run[index].paragraph.paragraphOffset |= extendedKey;
      }
      // Ordered by the whole paragraphs' keys (past the key they share),
      // then by input order.
      std::sort(run.begin(), run.end(), [&](const WithText& a, const WithText& b) {
        const int order = std::strcmp(reinterpret_cast<const char*>(keyOf(a.paragraph)) + key.size(),
                                      reinterpret_cast<const char*>(keyOf(b.paragraph)) + key.size());
        if (order != 0) return descending ? order > 0 : order < 0;
        return offsetOf(a.paragraph) < offsetOf(b.paragraph);
      });
    }
    std::transform(run.begin(), run.end(), begin, [](const WithText& each) { return each.paragraph; });
  }

  // The contents of a paragraph of the part.
  std::basic_string_view<CharT> paragraphText(const KeyedParagraph& paragraph) const {
    const std::size_t start = begin_ + offsetOf(paragraph);
    return text_.substr(start, scanner_->paragraphFrom(start).contentsEnd - start);
  }

  // The order of `a` and `b` (of another part) by their keys, then (when
  // ties go to the whole paragraph) by their whole paragraphs. A key that
  // tied within its part carries its whole paragraph's key already; one
  // that did not has it made here.
  int compare(const KeyedParagraph& a, const Part& otherPart, const KeyedParagraph& b) const {
    const int order = compareKeys(a, keyOf(a), b, otherPart.keyOf(b));
    // (An extended key may look like a plain one: a whole paragraph's key
    // can be empty, at the primary strength.)
    if (!lastResort_ || (isExtended(a) == isExtended(b) && (order != 0 || isExtended(a)))) return order;
    const auto keyOf = [](const Part& part, const KeyedParagraph& paragraph) {
      return reinterpret_cast<const char*>(part.keyOf(paragraph));
    };
    const auto wholeKeyOf = [](const Part& part, const KeyedParagraph& paragraph) {
      Utf16Units source;
      const SortKey whole(*part.collator_, source.of(part.paragraphText(paragraph)));
      return std::string(reinterpret_cast<const char*>(whole.bytes()));
    };
    // Paragraphs of the same text have the same whole key.
    const auto sameText = [&] { return paragraphText(a) == otherPart.paragraphText(b); };
    if (!isExtended(a) && !isExtended(b)) {  // equal keys, neither extended
      if (sameText()) return 0;
      const int byWhole = wholeKeyOf(*this, a).compare(wholeKeyOf(otherPart, b));
      return (byWhole > 0) - (byWhole < 0);
    }
    // One is extended: the keys tie when the other's is where its own ends.
    const bool aExtended = isExtended(a);
    const char* plain = aExtended ? keyOf(otherPart, b) : keyOf(*this, a);
    const char* extended = aExtended ? keyOf(*this, a) : keyOf(otherPart, b);
    const std::size_t length = std::strlen(plain);
    if (std::strncmp(plain, extended, length) != 0) return order;
    if (sameText()) return 0;
    const int byWhole = (aExtended ? wholeKeyOf(otherPart, b) : wholeKeyOf(*this, a)).compare(extended + length);
    const int plainFirst = (byWhole > 0) - (byWhole < 0);
    return aExtended ? -plainFirst : plainFirst;
  }

  // Gives each paragraph the eight key bytes from `depth` on. The paragraphs
  // are in key order by now, their keys in text order: every read would be
  // a wait for memory, so the keys are asked for a few paragraphs ahead.
  void refillHeldBytes(Iterator begin, Iterator end, std::size_t depth) {
    constexpr std::ptrdiff_t lookahead = 16;
    for (Iterator paragraph = begin; paragraph != end; ++paragraph) {
      if (end - paragraph > lookahead) prefetch(keyOf(*(paragraph + lookahead)) + depth);
      paragraph->keyBytes = heldBytes(keyOf(*paragraph) + depth);
    }
  }

  const std::pmr::vector<KeyedParagraph>& paragraphs() const noexcept { return paragraphs_; }
  const void* keyRecord(const KeyedParagraph& paragraph) const noexcept {
    return keyOf(paragraph);
  }

  // A paragraph's key (extended or not).
  const std::uint8_t* keyOf(const KeyedParagraph& paragraph) const noexcept {
    return keys_.key(paragraph.keyOffset);
  }
  std::size_t absoluteStart(const KeyedParagraph& paragraph) const noexcept {
    return begin_ + offsetOf(paragraph);
  }
  bool decodedWellFormedUtf8() const noexcept { return decodedWellFormedUtf8_; }
  bool sawLineFeedsOnly() const noexcept { return scanner_ && scanner_->findsLineFeedsOnly(); }

 private:
  std::basic_string_view<CharT> text_;
  std::size_t begin_;
  std::size_t end_;
  // The keys, and after them the extended keys of paragraphs that tied
  // (the arena is reserved for about three times what the keys take).
  KeyArena keys_;
  std::pmr::vector<KeyedParagraph> paragraphs_;
  const UCollator* collator_ = nullptr;
  std::optional<ParagraphScanner<CharT>> scanner_;  // once sorting began
  bool lastResort_ = false;
  // Whether every paragraph was converted whole from UTF-8 for its key
  // and none held an ill-formed sequence.
  bool decodedWellFormedUtf8_ = false;
};

// Splits the text at paragraph starts into parts as `plan` says.
template <class CharT>
std::vector<std::size_t> partBoundaries(std::basic_string_view<CharT> text, const PartPlan& plan,
                                        RecordTerminators terminators) {
  const std::size_t byThreads = std::max<std::size_t>(
      1, std::min<std::size_t>(plan.threadCount, text.size() / std::max<std::size_t>(1, plan.minimumUnitsPerPart)));
  const std::size_t partCount = std::max<std::size_t>(
      byThreads, (text.size() + plan.maximumUnitsPerPart - 1) / plan.maximumUnitsPerPart);
  const ParagraphScanner<CharT> scanner(text, terminators);
  std::vector<std::size_t> boundaries{0};
  for (std::size_t part = 1; part < partCount; ++part) {
    const std::size_t boundary = scanner.nextParagraphStart(text.size() * part / partCount);
    if (boundary > boundaries.back() && boundary < text.size()) boundaries.push_back(boundary);
  }
  boundaries.push_back(text.size());
  return boundaries;
}

// The sorted parts of a text, merged on every visit; on equal keys the
// earlier part (earlier text) comes first.
template <class CharT>
class MergedParts final : public KeyedParagraphSequence {
 public:
  MergedParts(std::vector<Part<CharT>> parts, KeyOrder order) : parts_(std::move(parts)), order_(order) {}

  std::size_t inputParagraphCount() const noexcept override {
    std::size_t count = 0;
    for (const auto& part : parts_) count += part.paragraphs().size();
    return count;
  }
  std::size_t orderedCount() const noexcept override { return inputParagraphCount(); }
  bool decodedWellFormedUtf8() const noexcept override {
    return std::ranges::all_of(parts_, [](const Part<CharT>& part) { return part.decodedWellFormedUtf8(); });
  }
  // The parts together are the text, each surveyed for its terminators.
  bool sawLineFeedsOnly() const noexcept override {
    return std::ranges::all_of(parts_, [](const Part<CharT>& part) { return part.sawLineFeedsOnly(); });
  }

  void forEachStartOfFront(std::size_t count, const Visit& visit) const override {
    mergeFront(count, [&](Position position) { visit(start(position)); });
  }

  void forEachKeyedStart(const KeyedVisit& visit) const override {
    mergeFront(orderedCount(), [&](Position position) {
      visit(start(position), static_cast<const std::uint8_t*>(parts_[position.part].keyRecord(paragraph(position))),
            isExtended(paragraph(position)));
    });
  }

  void forEachStartOfBackFromEnd(std::size_t count, const Visit& visit) const override {
    // remaining[part]: how many of the part's paragraphs are not yet merged.
    std::vector<std::size_t> remaining;
    for (const auto& part : parts_) remaining.push_back(part.paragraphs().size());
    // The tail that goes out last wins.
    Tournament tails(parts_.size(), [&](std::size_t a, std::size_t b) {
      if (remaining[a] == 0 || remaining[b] == 0) return remaining[a] != 0;
      return precedes({b, remaining[b] - 1}, {a, remaining[a] - 1});
    });
    const auto latest = [&]() -> std::optional<Position> {
      const std::size_t part = isPair() ? lastOfPair(remaining) : tails.winner();
      if (remaining[part] == 0) return std::nullopt;
      return Position{part, remaining[part] - 1};
    };
    // For unique, a paragraph is kept when the one before it differs: each
    // one waits until the next one back is known.
    std::optional<Position> waiting;
    for (std::size_t taken = 0; taken < count; ++taken) {
      const std::optional<Position> current = latest();
      if (!current) break;
      --remaining[current->part];
      if (!isPair()) tails.replay();
      if (remaining[current->part] >= lookahead) prefetchKey(current->part, remaining[current->part] - lookahead);
      if (!order_.keepsFirstOfEqual) {
        visit(start(*current));
        continue;
      }
      if (waiting && !equal(*waiting, *current)) visit(start(*waiting));
      waiting = current;
    }
    if (!waiting) return;
    const std::optional<Position> before = latest();
    if (!before || !equal(*before, *waiting)) visit(start(*waiting));
  }

 private:
  struct Position {
    std::size_t part;
    std::size_t index;
  };

  // The first `count` paragraphs of the order, each handed to `emit` as its
  // position.
  template <class Emit>
  void mergeFront(std::size_t count, Emit emit) const {
    // next[part]: the part's first paragraph not yet merged.
    std::vector<std::size_t> next(parts_.size(), 0);
    const auto hasHead = [&](std::size_t part) { return next[part] < parts_[part].paragraphs().size(); };
    // The head that goes out first wins.
    Tournament heads(parts_.size(), [&](std::size_t a, std::size_t b) {
      if (!hasHead(a) || !hasHead(b)) return hasHead(a);
      return precedes({a, next[a]}, {b, next[b]});
    });
    std::optional<Position> kept;  // for unique: the first of the current run
    for (std::size_t taken = 0; taken < count; ++taken) {
      const std::size_t part = isPair() ? firstOfPair(next) : heads.winner();
      if (!hasHead(part)) return;
      const Position best{part, next[part]};
      ++next[part];
      if (!isPair()) heads.replay();
      prefetchKey(part, next[part] + lookahead);
      if (order_.keepsFirstOfEqual) {
        if (kept && equal(*kept, best)) continue;
        kept = best;
      }
      emit(best);
    }
  }

  // Two parts (one a thread: most texts) need no tournament: one comparison
  // of their heads (or tails) chooses, without the tournament's bookkeeping
  // (its merge of the 1M-line corpus took 22-31 ms against 18-24).
  bool isPair() const noexcept { return parts_.size() == 2; }

  // Of two parts, the one whose head goes out first (the first on equal
  // keys); `next[part]`: each part's first paragraph not yet merged.
  std::size_t firstOfPair(const std::vector<std::size_t>& next) const {
    if (next[1] == parts_[1].paragraphs().size()) return 0;
    if (next[0] == parts_[0].paragraphs().size()) return 1;
    return precedes({0, next[0]}, {1, next[1]}) ? 0 : 1;
  }

  // Of two parts, the one whose tail goes out last (the second on equal
  // keys); `remaining[part]`: how many of each part's paragraphs are left.
  std::size_t lastOfPair(const std::vector<std::size_t>& remaining) const {
    if (remaining[0] == 0) return 1;
    if (remaining[1] == 0) return 0;
    return precedes({0, remaining[0] - 1}, {1, remaining[1] - 1}) ? 1 : 0;
  }

  // Heads of different parts are neighbours in the order, so their
  // comparison often goes past the inline prefix into the keys: those are
  // asked for a few paragraphs ahead.
  static constexpr std::size_t lookahead = 16;

  const KeyedParagraph& paragraph(Position position) const noexcept {
    return parts_[position.part].paragraphs()[position.index];
  }
  std::size_t start(Position position) const noexcept {
    return parts_[position.part].absoluteStart(paragraph(position));
  }
  int compare(Position a, Position b) const {
    return parts_[a.part].compare(paragraph(a), parts_[b.part], paragraph(b));
  }
  bool equal(Position a, Position b) const { return compare(a, b) == 0; }
  // Whether `a` goes out before `b` (of another part, or later in the same
  // one); on equal keys the earlier part (earlier text) goes first. The
  // bytes held in place decide where they differ, unless one key is
  // extended by its whole paragraph's and the other is not (the plain one
  // may be where the other's key ends): most steps of a merge look at no key.
  bool precedes(Position a, Position b) const {
    const KeyedParagraph& first = paragraph(a);
    const KeyedParagraph& second = paragraph(b);
    if (first.keyBytes != second.keyBytes && isExtended(first) == isExtended(second))
      return (first.keyBytes < second.keyBytes) != order_.descending;
    const int keyOrder = parts_[a.part].compare(first, parts_[b.part], second);
    if (keyOrder != 0) return order_.descending ? keyOrder > 0 : keyOrder < 0;
    return a.part != b.part ? a.part < b.part : a.index < b.index;
  }
  // Most keys end in the next cache line (they are about as long as a
  // line): both lines are asked for.
  void prefetchKey(std::size_t part, std::size_t index) const noexcept {
    if (index < parts_[part].paragraphs().size()) {
      const auto* key = static_cast<const char*>(parts_[part].keyRecord(parts_[part].paragraphs()[index]));
      prefetch(key);
      prefetch(key + 63);
    }
  }

  std::vector<Part<CharT>> parts_;
  KeyOrder order_;
};

template <class CharT>
std::shared_ptr<const KeyedParagraphSequence> order(std::basic_string_view<CharT> text, KeyOrder order,
                                               const UCollator& collator, const PartPlan& plan,
                                               const KeySource& source) {
  const auto boundaries = partBoundaries(text, plan, source.terminators);
  std::vector<Part<CharT>> parts;
  parts.reserve(boundaries.size() - 1);
  for (std::size_t part = 0; part + 1 < boundaries.size(); ++part)
    parts.emplace_back(text, boundaries[part], boundaries[part + 1], *plan.memory);

  // Parts are taken by the threads in turn; the first failure is rethrown here.
  std::vector<std::exception_ptr> failures(parts.size());
  const unsigned workers =
      static_cast<unsigned>(std::clamp<std::size_t>(plan.threadCount, 1, parts.size()));
  auto work = [&](unsigned worker) {
    for (std::size_t part = worker; part < parts.size(); part += workers) {
      try {
        parts[part].sort(collator, order, source);
      } catch (...) {
        failures[part] = std::current_exception();
      }
    }
  };
  {
    std::vector<std::jthread> threads;
    unsigned started = 1;
    try {
      for (; started < workers; ++started) threads.emplace_back(work, started);
    } catch (const std::system_error&) {
      // No more threads to be had: this one takes over their parts.
    }
    work(0);
    for (unsigned worker = started; worker < workers; ++worker) work(worker);
  }
  for (const auto& failure : failures)
    if (failure) std::rethrow_exception(failure);
  return std::make_shared<MergedParts<CharT>>(std::move(parts), order);
}

}  // namespace

std::optional<KeyOrder> keyOrderOf(ParagraphOrder order) noexcept {
  switch (order) {
    case ParagraphOrder::ascending:
      return KeyOrder{.descending = false, .keepsFirstOfEqual = false};
    case ParagraphOrder::descending:
      return KeyOrder{.descending = true, .keepsFirstOfEqual = false};
    case ParagraphOrder::unique:
      return KeyOrder{.descending = false, .keepsFirstOfEqual = true};
    case ParagraphOrder::byLength:
      return KeyOrder{.descending = false, .keepsFirstOfEqual = false, .lengthFirst = true};
    case ParagraphOrder::reverse:
    case ParagraphOrder::shuffle:
    case ParagraphOrder::adjacentUnique:
      return std::nullopt;
  }
  return std::nullopt;
}

std::shared_ptr<const KeyedParagraphSequence> orderBySortKeys(std::u16string_view text, ParagraphOrder order,
                                                         const UCollator& collator, const PartPlan& plan,
                                                         const KeySource& source) {
  return detail::order(text, keyOrderOf(order).value(), collator, plan, source);
}

std::shared_ptr<const KeyedParagraphSequence> orderBySortKeys(std::string_view text, ParagraphOrder order,
                                                         const UCollator& collator, const PartPlan& plan,
                                                         const KeySource& source) {
  return detail::order(text, keyOrderOf(order).value(), collator, plan, source);
}

}  // namespace parasort::detail
