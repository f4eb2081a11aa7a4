// The paragraph transforms' common core: a text taken apart, its paragraphs
// put in their new order, ready to be joined or written out piece by piece
// without a joined copy.
#pragma once

#include "parasort/engine/collation.h"
#include "parasort/engine/ordering_key.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parasort {

// "Equal" paragraphs are paragraphs whose keys (ArrangeOptions::keys) are
// equal: every key by its kind of comparison, text keys by their sort keys.
enum class ParagraphOrder {
  ascending,       // sorted, equal paragraphs in input order
  descending,      // sorted backwards, equal paragraphs still in input order
  unique,          // ascending, only the first (in input order) of equal paragraphs
  byLength,        // by the number of code points of the key, equal lengths
                   // ascending, equal paragraphs in input order
  reverse,         // the input order backwards, nothing compared
  shuffle,         // a random order (see ArrangeOptions::randomSeed)
  adjacentUnique,  // the input order, without each paragraph equal to the
                   // one kept before it
};

// What ends a record: a paragraph terminator (LF, CR, CR LF, U+2029), or the
// NUL character alone (then the separator kind is NUL, and the others are
// ordinary characters).
enum class RecordTerminators { paragraph, nul };

namespace detail {
class ParagraphSequence;
template <class CharT>
class ParagraphScanner;
}

// A text's paragraphs in their new order, as positions in the original text,
// so the text must outlive it. Cheap to copy: copies share the order.
template <class CharT>
class ArrangedParagraphs {
 public:
  using View = std::basic_string_view<CharT>;

  // The text handed back as it is (fewer than two paragraphs).
  explicit ArrangedParagraphs(View original);
  // The text's paragraphs in the order `sequence` gives.
  ArrangedParagraphs(View original, std::shared_ptr<const detail::ParagraphSequence> sequence,
                     RecordTerminators terminators = RecordTerminators::paragraph);

  // Whether the result is the original text itself. (After de-duplication a
  // longer text may be down to one paragraph: that one is still rejoined by
  // the rules, with the text's separator kind.)
  bool keepsOriginal() const noexcept { return sequence_ == nullptr; }

  // Calls `sink` for each consecutive piece of the result: a view into the
  // original text (a paragraph's contents, or the whole text when it is kept)
  // or the separator; for a large result, mostly many paragraphs and their
  // separators gathered in a buffer, then `sink` may be called from another
  // thread than the caller's, though never from two at once.
  void forEachPiece(const std::function<void(View)>& sink) const;

  // Holds the order as a list of where each paragraph starts (four bytes a
  // paragraph in a text below 4 GiB, in `memory`) and lets go of what found
  // it (the sort keys, unless a copy of this result holds them too): for a
  // caller that hands out a large result where memory is tight.
  void keepOnlyTheOrder(std::pmr::memory_resource& memory);

  // Whether finding the order read every byte of a UTF-8 text through
  // ICU's strict decoder and met no ill-formed sequence (as the orders that
  // sort whole paragraphs by their sort keys do): a caller that must refuse
  // ill-formed text need not check such a text again. False when the text
  // was not read whole so (other orders, keys, texts of one paragraph) or
  // was not well-formed; ill-formed bytes are ordered as U+FFFD.
  bool decodedWellFormedUtf8() const noexcept { return decodedWellFormedUtf8_; }

  std::basic_string<CharT> joined() const;
  // The same, in a string whose memory comes from `memory`.
  std::pmr::basic_string<CharT> joined(std::pmr::memory_resource& memory) const;

 private:
  template <class String>
  void appendTo(String& result) const;
  template <class String>
  bool appendInTwoHalves(String& result, std::size_t most) const;
  detail::ParagraphScanner<CharT> scannerOfOriginal() const;
  CharT* writeFrontHalf(const detail::ParagraphScanner<CharT>& scanner, std::size_t count, CharT* out) const;
  CharT* writeBackHalf(const detail::ParagraphScanner<CharT>& scanner, std::size_t count, CharT* end) const;

  View original_;
  RecordTerminators terminators_ = RecordTerminators::paragraph;
  View separator_;
  bool endsWithSeparator_ = false;
  bool decodedWellFormedUtf8_ = false;
  // Whether finding the order surveyed the whole text and saw lone LFs
  // only (kept when the order is kept alone, as a list).
  bool sawLineFeedsOnly_ = false;
  std::shared_ptr<const detail::ParagraphSequence> sequence_;
};

// How the order is found. Both strategies give the same result, byte for
// byte: the order of the paragraphs' sort keys, equal keys in input order.
// The choice is about speed.
// From this many code units on, a text is ordered by comparisons (sort key
// positions are 32-bit): a caller that can cut a text into pieces keeps
// each piece below it.
inline constexpr std::size_t sortKeyTextLimit = std::size_t{1} << 31;

enum class OrderingStrategy {
  automatic,   // sort keys, unless the collator could not be opened or the
               // text is sortKeyTextLimit code units or more
  comparison,  // a stable sort calling ParagraphCompare for each pair (two
               // keys per comparison: the plain road, for reference)
  sortKeys,    // one collation key per paragraph, sorted in parallel
};

struct ArrangeOptions {
  OrderingStrategy strategy = OrderingStrategy::automatic;
  // Where the large working memory (sort keys, the order) comes from. It
  // must outlive the result. A caller that knows its platform can hand in a
  // resource that maps large blocks cheaply.
  std::pmr::memory_resource* memory = std::pmr::get_default_resource();
  // What paragraphs are ordered by: the first key, ties by the next, and so
  // on; none: the whole paragraph's collation. For the orders that sort,
  // descending turns the whole order around (a key's own reverse then
  // turns it back).
  std::vector<OrderingKey> keys{};
  // Paragraphs whose keys tie are ordered by their whole text's collation
  // (then by input order), unless this is false; de-duplication never looks
  // further than the keys.
  bool lastResort = true;
  // The seed of ParagraphOrder::shuffle and of random keys; absent: a fresh
  // one from std::random_device. With a seed, the shuffled order is
  // shuffledPositions(count, seed), the same in every program.
  std::optional<std::uint64_t> randomSeed{};
  RecordTerminators terminators = RecordTerminators::paragraph;
  // How many threads make keys and sort; 0: one per core.
  unsigned threadCount = 0;
  // Told, from the threads that make the sort keys, of each stretch of the
  // text (offset and length in code units) that they have read through: a
  // caller whose text is a mapped file may let those pages go. The text must
  // stay readable all the same: it is read again to hand out the result.
  std::function<void(std::size_t offset, std::size_t length)> readThrough{};
};

// Splits `text` into paragraphs and orders them by `collator`. Every
// separator of the result is of the kind the text uses first; the result
// ends with one exactly when the text ended with a terminator.
ArrangedParagraphs<char16_t> arrangeParagraphs(std::u16string_view text, ParagraphOrder order,
                                               const ParagraphCollator& collator,
                                               const ArrangeOptions& options = {});
ArrangedParagraphs<char> arrangeParagraphs(std::string_view utf8Text, ParagraphOrder order,
                                           const ParagraphCollator& collator,
                                           const ArrangeOptions& options = {});

// The shuffled order of `count` paragraphs: the input position of each
// output paragraph. It is a Fisher-Yates shuffle driven by std::mt19937_64
// seeded with `seed`: starting from 0, 1, ..., count - 1, for i from
// count - 1 down to 1, positions i and (next 64-bit number) % (i + 1) are
// swapped.
std::vector<std::size_t> shuffledPositions(std::size_t count, std::uint64_t seed);

// Where a text stops being in the order `order` gives (for unique and
// adjacentUnique, also where a paragraph equals the one before it): the
// index (from 0) of the first paragraph that should not follow the one
// before it, or nothing when the text is in order. For reverse and shuffle,
// which no text is "in", nothing.
std::optional<std::size_t> firstDisorder(std::u16string_view text, ParagraphOrder order,
                                         const ParagraphCollator& collator, const ArrangeOptions& options = {});
std::optional<std::size_t> firstDisorder(std::string_view utf8Text, ParagraphOrder order,
                                         const ParagraphCollator& collator, const ArrangeOptions& options = {});

// The text's paragraphs (records), as views into it, each without its
// terminator, as the arrangement splits them.
std::vector<std::u16string_view> paragraphsOf(std::u16string_view text, RecordTerminators terminators);
std::vector<std::string_view> paragraphsOf(std::string_view utf8Text, RecordTerminators terminators);

}  // namespace parasort
