// What every paragraph arrangement must satisfy, whatever the text: checked
// against a small reference of the paragraph model written here on its own,
// so that the engine's scanner is not asked to vouch for itself.
//
// A violated property prints what broke and aborts, which libFuzzer records
// as a crash together with the input.
#pragma once

#include "parasort/engine/arrangement.h"
#include "parasort/engine/collation.h"
#include "parasort/engine/paragraph.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace parasort::fuzzing {

[[noreturn]] inline void fail(std::string_view property) {
  std::fprintf(stderr, "property violated: %.*s\n", static_cast<int>(property.size()), property.data());
  std::abort();
}

inline void require(bool holds, std::string_view property) {
  if (!holds) fail(property);
}

template <class CharT>
struct Terminators;

template <>
struct Terminators<char16_t> {
  static constexpr std::u16string_view lineFeed = u"\n";
  static constexpr std::u16string_view carriageReturn = u"\r";
  static constexpr std::u16string_view crLf = u"\r\n";
  static constexpr std::u16string_view paragraphSeparator = u"\u2029";
};

template <>
struct Terminators<char> {
  static constexpr std::string_view lineFeed = "\n";
  static constexpr std::string_view carriageReturn = "\r";
  static constexpr std::string_view crLf = "\r\n";
  // U+2029 in UTF-8; E2 never continues a sequence, so in well-formed text
  // these three bytes are always the character itself.
  static constexpr std::string_view paragraphSeparator = "\xE2\x80\xA9";
};

// The paragraph model from first principles: exactly LF, CR not followed by
// LF, CR LF and U+2029 end a paragraph.
template <class CharT>
struct ReferenceParagraphs {
  using View = std::basic_string_view<CharT>;
  std::vector<View> contents;
  View separator;  // the kind of the first terminator, LF when there is none
  bool endsWithTerminator = false;
};

template <class CharT>
ReferenceParagraphs<CharT> referenceParagraphs(std::basic_string_view<CharT> text) {
  using T = Terminators<CharT>;
  using View = std::basic_string_view<CharT>;
  auto terminatorAt = [text](std::size_t index) -> View {
    if (text[index] == CharT('\n')) return T::lineFeed;
    if (text[index] == CharT('\r'))
      return index + 1 < text.size() && text[index + 1] == CharT('\n') ? T::crLf : T::carriageReturn;
    if (text.substr(index).starts_with(T::paragraphSeparator)) return T::paragraphSeparator;
    return {};
  };
  ReferenceParagraphs<CharT> reference;
  std::size_t start = 0;
  std::size_t index = 0;
  while (index < text.size()) {
    const View terminator = terminatorAt(index);
    if (terminator.empty()) {
      ++index;
      continue;
    }
    if (reference.separator.empty()) reference.separator = terminator;
    reference.contents.push_back(text.substr(start, index - start));
    index += terminator.size();
    start = index;
    reference.endsWithTerminator = index == text.size();
  }
  if (start < text.size()) reference.contents.push_back(text.substr(start));
  if (reference.separator.empty()) reference.separator = T::lineFeed;
  return reference;
}

// The engine's own paragraph functions agree with the reference.
template <class CharT>
void checkParagraphModel(std::basic_string_view<CharT> text, const ReferenceParagraphs<CharT>& reference) {
  const auto paragraphs = TQParagraph::paragraphStrings(text);
  require(paragraphs.size() == reference.contents.size(), "paragraphStrings finds every paragraph");
  for (std::size_t index = 0; index < paragraphs.size(); ++index) {
    // Same position, not only the same contents: they are views into `text`.
    require(paragraphs[index].data() == reference.contents[index].data() &&
                paragraphs[index].size() == reference.contents[index].size(),
            "paragraphStrings gives each paragraph's contents without its terminator");
  }
  require(TQParagraph::paragraphSeparater(text) == reference.separator,
          "paragraphSeparater is the first terminator's kind, LF when there is none");
  require(TQParagraph::endsParagraphSeparater(text) == reference.endsWithTerminator,
          "endsParagraphSeparater says whether the text ends with a terminator");
}

// `result` cut at every `separator`: unambiguous, because paragraph contents
// hold no terminator of any kind.
template <class CharT>
std::vector<std::basic_string_view<CharT>> splitAt(std::basic_string_view<CharT> result,
                                                   std::basic_string_view<CharT> separator) {
  std::vector<std::basic_string_view<CharT>> pieces;
  std::size_t start = 0;
  while (true) {
    const std::size_t found = result.find(separator, start);
    if (found == std::basic_string_view<CharT>::npos) break;
    pieces.push_back(result.substr(start, found - start));
    start = found + separator.size();
  }
  pieces.push_back(result.substr(start));
  return pieces;
}

template <class View>
std::vector<View> sortedBytewise(std::vector<View> views) {
  std::sort(views.begin(), views.end());
  return views;
}

// Checks `result`, what `order` made of `text`, against every property of
// the reassembly, the order and (for unique) the de-duplication.
template <class CharT>
void checkArrangement(std::basic_string_view<CharT> text, ParagraphOrder order,
                      std::basic_string_view<CharT> result, const ParagraphCollator& collator) {
  using View = std::basic_string_view<CharT>;
  const auto reference = referenceParagraphs(text);
  if (reference.contents.size() < 2) {
    require(result == text, "a text of fewer than two paragraphs comes back unchanged");
    return;
  }

  // Reassembly: one separator kind throughout, a final one exactly when the
  // text ended with a terminator.
  View body = result;
  if (reference.endsWithTerminator) {
    require(body.ends_with(reference.separator), "the result ends with a separator when the text did");
    body.remove_suffix(reference.separator.size());
  }
  const std::vector<View> output = splitAt(body, reference.separator);

  if (order != ParagraphOrder::unique) {
    require(sortedBytewise(output) == sortedBytewise(reference.contents),
            "the sorted paragraphs are the text's paragraphs, byte for byte, each once");
    // Which input paragraph each output one is: identical contents are
    // matched in input order, which is what a stable order produces.
    std::map<View, std::vector<std::size_t>> positionsByContents;
    for (std::size_t index = reference.contents.size(); index-- > 0;)
      positionsByContents[reference.contents[index]].push_back(index);
    std::vector<std::size_t> inputPosition;
    for (View paragraph : output) {
      auto& positions = positionsByContents[paragraph];
      inputPosition.push_back(positions.back());
      positions.pop_back();
    }
    for (std::size_t index = 0; index + 1 < output.size(); ++index) {
      const int comparison = collator.compare(output[index], output[index + 1]);
      if (order == ParagraphOrder::ascending)
        require(comparison <= 0, "ascending: each paragraph collates at or before the next");
      else
        require(comparison >= 0, "descending: each paragraph collates at or after the next");
      if (comparison == 0)
        require(inputPosition[index] < inputPosition[index + 1], "equal paragraphs keep their input order");
    }
    return;
  }

  for (std::size_t index = 0; index + 1 < output.size(); ++index)
    require(collator.compare(output[index], output[index + 1]) < 0,
            "unique: strictly ascending, so no two kept paragraphs collate equal");
  // Every input paragraph has its equal in the result, and the first of
  // each class (in input order) is the one kept, byte for byte.
  std::vector<bool> matched(output.size(), false);
  for (View paragraph : reference.contents) {
    const auto found = std::lower_bound(output.begin(), output.end(), paragraph,
                                        [&](View a, View b) { return collator.compare(a, b) < 0; });
    require(found != output.end() && collator.compare(*found, paragraph) == 0,
            "unique: every input paragraph collates equal to one in the result");
    const auto index = static_cast<std::size_t>(found - output.begin());
    if (!matched[index]) {
      require(*found == paragraph, "unique: the first of equal paragraphs in input order is kept");
      matched[index] = true;
    }
  }
  require(std::all_of(matched.begin(), matched.end(), [](bool seen) { return seen; }),
          "unique: the result holds nothing but the text's paragraphs");
}

inline constexpr ParagraphOrder allOrders[] = {ParagraphOrder::ascending, ParagraphOrder::descending,
                                               ParagraphOrder::unique};

template <class CharT>
std::basic_string<CharT> arranged(std::basic_string_view<CharT> text, ParagraphOrder order,
                                  const ParagraphCollator& collator, OrderingStrategy strategy) {
  return arrangeParagraphs(text, order, collator, {.strategy = strategy}).joined();
}

}  // namespace parasort::fuzzing
