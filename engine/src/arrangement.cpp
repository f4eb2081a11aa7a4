#include "parasort/engine/arrangement.h"

#include "paragraph_scan.h"
#include "paragraph_sequence.h"
#include "sort_key_order.h"

#include "parasort/engine/paragraph.h"
#include "parasort/engine/unique.h"

#include <algorithm>
#include <array>
#include <thread>

namespace parasort {
namespace {

// Below this many code units, comparing paragraphs directly beats making
// their keys first: a comparison usually stops at the first few units, a
// key covers the whole paragraph. Both take the same time at about 2,000
// lines of 35 units (bench/transforms_bench, BM_Strategy).
constexpr std::size_t sortKeyThreshold = std::size_t{1} << 16;
// Sort key positions are 32-bit within parts of at most 2^26 units, which a
// single paragraph may exceed; beyond this, comparisons it is.
constexpr std::size_t sortKeyLimit = std::size_t{1} << 31;

template <class CharT>
std::shared_ptr<const detail::ParagraphSequence> orderByComparison(std::basic_string_view<CharT> text,
                                                                   ParagraphOrder order,
                                                                   const ParagraphCollator& collator) {
  using View = std::basic_string_view<CharT>;
  auto paragraphs = TQParagraph::paragraphStrings(text);
  const std::size_t inputCount = paragraphs.size();
  const ParagraphCompareContext context{
      .ascending = static_cast<std::uint8_t>(order != ParagraphOrder::descending),
      .collator = &collator};
  auto compare = [](View a, View b, const ParagraphCompareContext* c) { return ParagraphCompare(a, b, c); };
  if (order == ParagraphOrder::unique) {
    TQUnique::uniqueUsingFunction(paragraphs, compare, &context);
  } else {
    std::stable_sort(paragraphs.begin(), paragraphs.end(),
                     [&](View a, View b) { return compare(a, b, &context) < 0; });
  }
  std::vector<std::size_t> starts;
  starts.reserve(paragraphs.size());
  for (View paragraph : paragraphs) starts.push_back(static_cast<std::size_t>(paragraph.data() - text.data()));
  return std::make_shared<detail::ParagraphStartList>(std::move(starts), inputCount);
}

template <class CharT>
ArrangedParagraphs<CharT> arrange(std::basic_string_view<CharT> text, ParagraphOrder order,
                                  const ParagraphCollator& collator, const ArrangeOptions& options) {
  OrderingStrategy strategy = options.strategy;
  const auto firstParagraph = detail::ParagraphScanner<CharT>(text).paragraphFrom(0);
  if (text.empty() || firstParagraph.end >= text.size()) return ArrangedParagraphs<CharT>(text);

  if (strategy == OrderingStrategy::automatic)
    strategy = text.size() < sortKeyThreshold ? OrderingStrategy::comparison : OrderingStrategy::sortKeys;
  if (collator.get() == nullptr || text.size() >= sortKeyLimit) strategy = OrderingStrategy::comparison;

  if (strategy == OrderingStrategy::comparison)
    return ArrangedParagraphs<CharT>(text, orderByComparison(text, order, collator));
  const detail::PartPlan plan{.threadCount = std::max(1u, std::thread::hardware_concurrency()),
                              .memory = options.memory};
  return ArrangedParagraphs<CharT>(text, detail::orderBySortKeys(text, order, *collator.get(), plan));
}

}  // namespace

template <class CharT>
ArrangedParagraphs<CharT>::ArrangedParagraphs(View original) : original_(original) {}

template <class CharT>
ArrangedParagraphs<CharT>::ArrangedParagraphs(View original,
                                              std::shared_ptr<const detail::ParagraphSequence> sequence)
    : original_(original),
      separator_(TQParagraph::paragraphSeparater(original)),
      endsWithSeparator_(TQParagraph::endsParagraphSeparater(original)),
      sequence_(std::move(sequence)) {}

template <class CharT>
void ArrangedParagraphs<CharT>::forEachPiece(const std::function<void(View)>& sink) const {
  if (keepsOriginal()) {
    sink(original_);
    return;
  }
  // A separator goes between paragraphs, and after the last one only when
  // the text ended with one: so it is written before every paragraph but
  // the first, and once more at the end.
  const auto scanner = detail::ParagraphScanner<CharT>::surveyed(original_);
  bool first = true;
  auto emit = [&](std::size_t start) {
    if (!first) sink(separator_);
    first = false;
    sink(original_.substr(start, scanner.paragraphFrom(start).contentsEnd - start));
  };
  // Sorted paragraphs lie all over the text, and each would be a wait for
  // memory: asking for them a few paragraphs ahead lets the waits overlap.
  constexpr std::size_t lookahead = 16;
  std::array<std::size_t, lookahead> ahead{};
  std::size_t queued = 0;
  sequence_->forEachStart([&](std::size_t start) {
    // A typical line spans two cache lines.
    detail::prefetch(original_.data() + start);
    detail::prefetch(reinterpret_cast<const char*>(original_.data() + start) + 64);
    if (queued >= lookahead) emit(ahead[queued % lookahead]);
    ahead[queued % lookahead] = start;
    ++queued;
  });
  for (std::size_t index = queued > lookahead ? queued - lookahead : 0; index < queued; ++index)
    emit(ahead[index % lookahead]);
  if (endsWithSeparator_) sink(separator_);
}

template <class CharT>
std::basic_string<CharT> ArrangedParagraphs<CharT>::joined() const {
  std::basic_string<CharT> result;
  // At most every paragraph's contents (no more than the text's size) and
  // one separator for each.
  if (!keepsOriginal())
    result.reserve(original_.size() + sequence_->inputParagraphCount() * separator_.size());
  forEachPiece([&result](View piece) { result.append(piece); });
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

}  // namespace parasort
