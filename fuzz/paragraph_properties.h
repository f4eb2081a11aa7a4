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

#include <unicode/ucol.h>
#include <unicode/ustring.h>

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

// The order every arrangement must follow, made here straight from ICU and
// not through the engine's comparison: paragraphs ordered by their sort keys
// under the collator's settings. Keys are held in std::string, whose
// comparison is by unsigned bytes, as sort keys are compared.
class ReferenceKeys {
 public:
  explicit ReferenceKeys(const ParagraphCollator& collator) : collator_(collator.get()) {
    require(collator_ != nullptr, "the collator is open");
  }

  std::string key(std::u16string_view paragraph) const {
    std::string key(paragraph.size() * 4 + 16, '\0');
    while (true) {
      const int32_t needed = ucol_getSortKey(collator_, paragraph.data(), static_cast<int32_t>(paragraph.size()),
                                             reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
      require(needed > 0, "ICU makes a sort key");
      if (static_cast<std::size_t>(needed) <= key.size()) {
        key.resize(static_cast<std::size_t>(needed));
        return key;
      }
      key.resize(static_cast<std::size_t>(needed));
    }
  }
  std::string key(std::string_view utf8Paragraph) const {
    std::u16string units(utf8Paragraph.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(units.data(), static_cast<int32_t>(units.size()), &length, utf8Paragraph.data(),
                         static_cast<int32_t>(utf8Paragraph.size()), 0xFFFD, nullptr, &status);
    require(U_SUCCESS(status), "UTF-8 converts to UTF-16");
    units.resize(static_cast<std::size_t>(length));
    return key(std::u16string_view(units));
  }

 private:
  const UCollator* collator_;
};

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
  const ReferenceKeys keys(collator);
  std::vector<std::string> outputKeys;
  for (View paragraph : output) outputKeys.push_back(keys.key(paragraph));

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
      const std::string& key = outputKeys[index];
      const std::string& next = outputKeys[index + 1];
      if (order == ParagraphOrder::ascending)
        require(key <= next, "ascending: each paragraph's sort key is at or before the next one's");
      else
        require(key >= next, "descending: each paragraph's sort key is at or after the next one's");
      if (key == next)
        require(inputPosition[index] < inputPosition[index + 1], "paragraphs of equal keys keep their input order");
    }
    return;
  }

  for (std::size_t index = 0; index + 1 < output.size(); ++index)
    require(outputKeys[index] < outputKeys[index + 1],
            "unique: keys strictly ascending, so no two kept paragraphs are equal");
  // Every input paragraph has a kept one of equal key, and the first of each
  // run of equal keys (in input order) is the one kept, byte for byte.
  std::vector<bool> matched(output.size(), false);
  for (View paragraph : reference.contents) {
    const std::string key = keys.key(paragraph);
    const auto found = std::lower_bound(outputKeys.begin(), outputKeys.end(), key);
    require(found != outputKeys.end() && *found == key, "unique: every input paragraph has a kept one of equal key");
    const auto index = static_cast<std::size_t>(found - outputKeys.begin());
    if (!matched[index]) {
      require(output[index] == paragraph, "unique: the first (in input order) of each run of equal keys is kept");
      matched[index] = true;
    }
  }
  require(std::all_of(matched.begin(), matched.end(), [](bool seen) { return seen; }),
          "unique: the result holds nothing but the text's paragraphs");
}

// The root collation or one of the tailored ones in which ICU's own string
// comparison strays from the keys (digit runs that go on in another
// script's digits), picked by `choice`.
inline const ParagraphCollator& collatorFor(std::size_t choice) {
  static const ParagraphCollator collators[] = {ParagraphCollator(""), ParagraphCollator("es"),
                                                ParagraphCollator("sv_SE"), ParagraphCollator("ja"),
                                                ParagraphCollator("tr")};
  return collators[choice % std::size(collators)];
}

inline constexpr ParagraphOrder allOrders[] = {ParagraphOrder::ascending, ParagraphOrder::descending,
                                               ParagraphOrder::unique};

template <class CharT>
std::basic_string<CharT> arranged(std::basic_string_view<CharT> text, ParagraphOrder order,
                                  const ParagraphCollator& collator, OrderingStrategy strategy) {
  return arrangeParagraphs(text, order, collator, {.strategy = strategy}).joined();
}

}  // namespace parasort::fuzzing
