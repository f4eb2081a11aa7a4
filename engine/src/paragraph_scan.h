// Finding paragraph terminators, shared by the paragraph model and the
// orderings. Internal to the engine.
#pragma once

#include "parasort/engine/arrangement.h"
#include "parasort/engine/paragraph_terminators.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>
#include <vector>

namespace parasort::detail {

// A hint that `address` will be read soon; nothing where the compiler has
// no way to say so.
inline void prefetch(const void* address) noexcept {
#if defined(__GNUC__) || defined(__clang__)
  __builtin_prefetch(address);
#else
  (void)address;
#endif
}

template <class CharT>
using Terminators = ParagraphTerminators<CharT>;

// The terminator that starts at `index`, or an empty view when none does.
template <class CharT>
std::basic_string_view<CharT> terminatorAt(std::basic_string_view<CharT> text,
                                           std::size_t index) noexcept {
  using T = Terminators<CharT>;
  const CharT unit = text[index];
  if (!T::mayStartTerminator(unit)) return {};
  if (unit == CharT('\n')) return T::lineFeed;
  if (unit == CharT('\r')) {
    const bool followedByLineFeed = index + 1 < text.size() && text[index + 1] == CharT('\n');
    return followedByLineFeed ? T::crlf : T::carriageReturn;
  }
  if (text.substr(index, T::paragraphSeparator.size()) == T::paragraphSeparator)
    return T::paragraphSeparator;
  return {};
}

// The NUL record terminator, a view of static storage.
template <class CharT>
inline constexpr CharT nulTerminatorUnits[] = {CharT(0)};
template <class CharT>
constexpr std::basic_string_view<CharT> nulTerminator() noexcept {
  return {nulTerminatorUnits<CharT>, 1};
}

struct ParagraphBounds {
  std::size_t contentsEnd;  // where its terminator starts, or the text's end
  std::size_t end;          // just after its terminator
};

// Walks a text paragraph (or NUL-terminated record) by paragraph. Most texts
// end their lines with LF alone: a scanner made with `surveyed` checks that
// once, and then finds line ends as it finds NULs, with memchr in UTF-8,
// much faster than looking at every unit.
template <class CharT>
class ParagraphScanner {
 public:
  explicit ParagraphScanner(std::basic_string_view<CharT> text,
                            RecordTerminators terminators = RecordTerminators::paragraph) noexcept
      : text_(text), onlyOneUnit_(terminators == RecordTerminators::nul) {}

  // A scanner for paragraphs starting at or after `from`.
  static ParagraphScanner surveyed(std::basic_string_view<CharT> text, std::size_t from = 0,
                                   RecordTerminators terminators = RecordTerminators::paragraph) noexcept {
    ParagraphScanner scanner(text, terminators);
    if (terminators == RecordTerminators::nul) return scanner;
    const auto rest = text.substr(from);
    if (rest.find(CharT('\r')) == rest.npos && rest.find(Terminators<CharT>::paragraphSeparator) == rest.npos) {
      scanner.onlyOneUnit_ = true;
      scanner.terminatorUnit_ = CharT('\n');
    }
    return scanner;
  }

  // A scanner for a text known to end every paragraph with a lone LF (or
  // at its end): no survey needed.
  static ParagraphScanner ofLineFeedsOnly(std::basic_string_view<CharT> text) noexcept {
    ParagraphScanner scanner(text);
    scanner.onlyOneUnit_ = true;
    scanner.terminatorUnit_ = CharT('\n');
    return scanner;
  }

  // Whether the scanner found (or was told) that every paragraph of its
  // text ends with a lone LF or at the text's end.
  bool findsLineFeedsOnly() const noexcept { return onlyOneUnit_ && terminatorUnit_ == CharT('\n'); }

  // The bounds of the paragraph that starts at `start` (< text size).
  ParagraphBounds paragraphFrom(std::size_t start) const noexcept {
    if (onlyOneUnit_) {
      const std::size_t index = nextUnit(start);
      return {index, index < text_.size() ? index + 1 : index};
    }
    for (std::size_t index = candidateFrom(start); index < text_.size(); index = candidateFrom(index + 1)) {
      const auto terminator = terminatorAt(text_, index);
      if (!terminator.empty()) return {index, index + terminator.size()};
    }
    return {text_.size(), text_.size()};
  }

  // Calls `visit(start, contentsEnd)` for every paragraph that starts in
  // [begin, end), in text order. `begin` must be the start of a paragraph.
  template <class Visit>
  void forEachParagraph(std::size_t begin, std::size_t end, Visit&& visit) const {
    std::size_t start = begin;
    while (start < end) {
      const ParagraphBounds bounds = paragraphFrom(start);
      visit(start, bounds.contentsEnd);
      start = bounds.end;
    }
  }

  // The start of the first paragraph at or after `index`.
  std::size_t nextParagraphStart(std::size_t index) const noexcept {
    if (index == 0 || index >= text_.size()) return index < text_.size() ? index : text_.size();
    // A paragraph starts right after a terminator; stepping back one unit
    // lets a terminator that ends just before `index` (or a CR LF around
    // it) count.
    return paragraphFrom(index - 1).end;
  }

 private:
  // The first index at or after `from` whose unit may start a terminator.
  std::size_t candidateFrom(std::size_t from) const noexcept {
    for (std::size_t index = from; index < text_.size(); ++index)
      if (Terminators<CharT>::mayStartTerminator(text_[index])) return index;
    return text_.size();
  }

  // The first index at or after `from` of the one terminating unit.
  std::size_t nextUnit(std::size_t from) const noexcept {
    if constexpr (std::is_same_v<CharT, char>) {
      const void* found = std::memchr(text_.data() + from, terminatorUnit_, text_.size() - from);
      return found ? static_cast<std::size_t>(static_cast<const char*>(found) - text_.data()) : text_.size();
    } else {
      // Four units at a time: a lane equal to the unit becomes zero after
      // the exclusive or, and the classic zero-lane test finds it.
      constexpr std::uint64_t ones = 0x0001000100010001u;
      constexpr std::uint64_t highs = 0x8000800080008000u;
      std::size_t index = from;
      for (; index + 4 <= text_.size(); index += 4) {
        std::uint64_t four = 0;
        std::memcpy(&four, text_.data() + index, sizeof four);
        const std::uint64_t x = four ^ (ones * terminatorUnit_);
        if (((x - ones) & ~x & highs) != 0) break;
      }
      for (; index < text_.size(); ++index)
        if (text_[index] == terminatorUnit_) return index;
      return text_.size();
    }
  }

  std::basic_string_view<CharT> text_;
  // Whether every terminator is the one unit `terminatorUnit_`: NUL for NUL
  // records, LF for texts surveyed to have no other terminator.
  bool onlyOneUnit_ = false;
  CharT terminatorUnit_ = CharT(0);
};

// The contents of each paragraph (or record) of `text`, without their
// terminators, as views into it.
template <class CharT>
std::vector<std::basic_string_view<CharT>> paragraphContents(std::basic_string_view<CharT> text,
                                                             RecordTerminators terminators) {
  std::vector<std::basic_string_view<CharT>> contents;
  ParagraphScanner<CharT>::surveyed(text, 0, terminators)
      .forEachParagraph(0, text.size(), [&](std::size_t start, std::size_t contentsEnd) {
        contents.push_back(text.substr(start, contentsEnd - start));
      });
  return contents;
}

}  // namespace parasort::detail
