// A reference model of the paragraph transforms, written from first
// principles and kept apart from the engine, so that the engine is never
// asked to vouch for itself: the paragraph rule, ICU's sort keys, a stable
// sort and a join. The fuzz targets and the engine's tests hold every result
// against it.
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
#include <optional>
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

// LF, CR, CR LF and U+2029 in either encoding (U+2029 is E2 80 A9 in UTF-8;
// E2 never continues a sequence, so in well-formed text those three bytes
// are always the character itself).
template <class CharT>
struct Terminators;
template <>
struct Terminators<char16_t> {
  static constexpr std::u16string_view lineFeed = u"\n", carriageReturn = u"\r", crLf = u"\r\n",
                                       paragraphSeparator = u"\u2029";
};
template <>
struct Terminators<char> {
  static constexpr std::string_view lineFeed = "\n", carriageReturn = "\r", crLf = "\r\n",
                                    paragraphSeparator = "\xE2\x80\xA9";
};

template <class CharT>
struct ReferenceParagraphs {
  std::vector<std::basic_string_view<CharT>> contents;
  std::basic_string_view<CharT> separator;  // the first terminator's kind, LF when there is none
  bool endsWithTerminator = false;
};

// Exactly LF, CR not followed by LF, CR LF and U+2029 end a paragraph.
template <class CharT>
ReferenceParagraphs<CharT> referenceParagraphs(std::basic_string_view<CharT> text) {
  using T = Terminators<CharT>;
  ReferenceParagraphs<CharT> reference;
  std::size_t start = 0;
  for (std::size_t index = 0; index < text.size();) {
    const auto rest = text.substr(index);
    std::basic_string_view<CharT> terminator;
    for (auto kind : {T::crLf, T::lineFeed, T::carriageReturn, T::paragraphSeparator})
      if (rest.starts_with(kind)) {
        terminator = kind;
        break;
      }
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

// The UTF-8 form of well-formed UTF-16; nothing for unpaired surrogates.
inline std::optional<std::string> utf8Of(std::u16string_view text) {
  std::string utf8(text.size() * 3, '\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8(utf8.data(), static_cast<int32_t>(utf8.size()), &length, text.data(),
              static_cast<int32_t>(text.size()), &status);
  if (U_FAILURE(status)) return std::nullopt;
  utf8.resize(static_cast<std::size_t>(length));
  return utf8;
}

// A paragraph's sort key made straight from ICU under the collator's
// settings. Held in std::string, whose comparison is by unsigned bytes, as
// sort keys are compared.
inline std::string referenceKey(const ParagraphCollator& collator, std::u16string_view paragraph) {
  require(collator.get() != nullptr, "the collator is open");
  std::string key(paragraph.size() * 4 + 16, '\0');
  while (true) {
    const int32_t needed = ucol_getSortKey(collator.get(), paragraph.data(), static_cast<int32_t>(paragraph.size()),
                                           reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
    require(needed > 0, "ICU makes a sort key");
    const bool fitted = static_cast<std::size_t>(needed) <= key.size();
    key.resize(static_cast<std::size_t>(needed));
    if (fitted) return key;
  }
}

inline std::string referenceKey(const ParagraphCollator& collator, std::string_view utf8Paragraph) {
  std::u16string units(utf8Paragraph.size(), u'\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strFromUTF8WithSub(units.data(), static_cast<int32_t>(units.size()), &length, utf8Paragraph.data(),
                       static_cast<int32_t>(utf8Paragraph.size()), 0xFFFD, nullptr, &status);
  require(U_SUCCESS(status), "UTF-8 converts to UTF-16");
  return referenceKey(collator, std::u16string_view(units.data(), static_cast<std::size_t>(length)));
}

// What `order` must make of `text`: fewer than two paragraphs unchanged;
// otherwise the paragraphs stably sorted by key (equal keys in input order,
// in both directions), for unique the first of each run of equal keys, joined
// by the first terminator's kind, with one at the end exactly when the text
// ended with one.
template <class CharT>
std::basic_string<CharT> referenceArrangement(std::basic_string_view<CharT> text, ParagraphOrder order,
                                              const ParagraphCollator& collator) {
  const auto reference = referenceParagraphs(text);
  if (reference.contents.size() < 2) return std::basic_string<CharT>(text);
  struct Keyed {
    std::string key;
    std::basic_string_view<CharT> contents;
  };
  std::vector<Keyed> paragraphs;
  for (auto contents : reference.contents) paragraphs.push_back({referenceKey(collator, contents), contents});
  bool descending = false, keepsFirstOfEqual = false;
  switch (order) {
    case ParagraphOrder::ascending:
      break;
    case ParagraphOrder::descending:
      descending = true;
      break;
    case ParagraphOrder::unique:
      keepsFirstOfEqual = true;
      break;
  }
  std::stable_sort(paragraphs.begin(), paragraphs.end(), [descending](const Keyed& a, const Keyed& b) {
    return descending ? a.key > b.key : a.key < b.key;
  });
  if (keepsFirstOfEqual)
    paragraphs.erase(std::unique(paragraphs.begin(), paragraphs.end(),
                                 [](const Keyed& a, const Keyed& b) { return a.key == b.key; }),
                     paragraphs.end());
  std::basic_string<CharT> result;
  for (const Keyed& paragraph : paragraphs) {
    if (&paragraph != &paragraphs.front()) result += reference.separator;
    result += paragraph.contents;
  }
  if (reference.endsWithTerminator) result += reference.separator;
  return result;
}

// The engine's own paragraph functions agree with the reference.
template <class CharT>
void checkParagraphModel(std::basic_string_view<CharT> text) {
  const auto reference = referenceParagraphs(text);
  const auto paragraphs = TQParagraph::paragraphStrings(text);
  require(paragraphs.size() == reference.contents.size(), "paragraphStrings finds every paragraph");
  for (std::size_t index = 0; index < paragraphs.size(); ++index)
    // The same position, not only the same contents: they are views into `text`.
    require(paragraphs[index].data() == reference.contents[index].data() &&
                paragraphs[index].size() == reference.contents[index].size(),
            "paragraphStrings gives each paragraph's contents without its terminator");
  require(TQParagraph::paragraphSeparater(text) == reference.separator,
          "paragraphSeparater is the first terminator's kind, LF when there is none");
  require(TQParagraph::endsParagraphSeparater(text) == reference.endsWithTerminator,
          "endsParagraphSeparater says whether the text ends with a terminator");
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
