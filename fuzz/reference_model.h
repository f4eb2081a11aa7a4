// A reference model of the paragraph transforms, written from first
// principles and kept apart from the engine, so that the engine is never
// asked to vouch for itself: the paragraph rule, ICU's sort keys, a stable
// sort and a join. The fuzz targets and the engine's tests hold every result
// against it.
//
// A violated property prints what broke and aborts, which libFuzzer records
// as a crash together with the input.
//
// The options of an arrangement are modelled too: keys cut out of a
// paragraph by fields, orders by length, reversed, shuffled and with only
// adjacent duplicates dropped, and NUL-terminated records.
#pragma once

#include "parasort/engine/arrangement.h"
#include "parasort/engine/collation.h"
#include "parasort/engine/paragraph.h"

#include <unicode/ucol.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <random>
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

// The terminators in either encoding: LF, CR, CR LF and U+2029 (E2 80 A9 in
// UTF-8; E2 never continues a sequence, so in well-formed text those three
// bytes are always the character itself), longest first; or NUL alone.
template <class CharT>
std::vector<std::basic_string_view<CharT>> terminatorsOf(RecordTerminators kind) {
  static constexpr CharT nul[] = {CharT(0)};
  if (kind == RecordTerminators::nul) return {std::basic_string_view<CharT>(nul, 1)};
  if constexpr (sizeof(CharT) == 2) return {u"\r\n", u"\n", u"\r", u"\u2029"};
  else return {"\r\n", "\n", "\r", "\xE2\x80\xA9"};
}

template <class CharT>
struct ReferenceParagraphs {
  std::vector<std::basic_string_view<CharT>> contents;
  std::basic_string_view<CharT> separator;  // the first terminator's kind, LF (or NUL) when there is none
  bool endsWithTerminator = false;
};

// Exactly LF, CR not followed by LF, CR LF and U+2029 end a paragraph; or
// NUL alone ends a record.
template <class CharT>
ReferenceParagraphs<CharT> referenceParagraphs(std::basic_string_view<CharT> text,
                                               RecordTerminators kind = RecordTerminators::paragraph) {
  const auto terminators = terminatorsOf<CharT>(kind);
  ReferenceParagraphs<CharT> reference;
  std::size_t start = 0;
  for (std::size_t index = 0; index < text.size();) {
    const auto rest = text.substr(index);
    const auto terminator = std::find_if(terminators.begin(), terminators.end(),
                                         [&](auto candidate) { return rest.starts_with(candidate); });
    if (terminator == terminators.end()) {
      ++index;
      continue;
    }
    if (reference.separator.empty()) reference.separator = *terminator;
    reference.contents.push_back(text.substr(start, index - start));
    index += terminator->size();
    start = index;
    reference.endsWithTerminator = index == text.size();
  }
  if (start < text.size()) reference.contents.push_back(text.substr(start));
  if (reference.separator.empty()) reference.separator = terminators[kind == RecordTerminators::nul ? 0 : 1];
  return reference;
}

// Where each code point of a paragraph begins, and its value; the last
// entry marks the end.
template <class CharT>
std::vector<std::pair<std::size_t, UChar32>> codePointsOf(std::basic_string_view<CharT> text) {
  std::vector<std::pair<std::size_t, UChar32>> points;
  for (int32_t index = 0, length = static_cast<int32_t>(text.size()); index < length;) {
    const int32_t start = index;
    UChar32 point = 0;
    if constexpr (sizeof(CharT) == 2) U16_NEXT(text.data(), index, length, point);
    else U8_NEXT(reinterpret_cast<const uint8_t*>(text.data()), index, length, point);
    points.emplace_back(static_cast<std::size_t>(start), point);
  }
  points.emplace_back(text.size(), 0);
  return points;
}

// The key of a paragraph, as GNU sort's -k cuts it: fields found first, then
// the positions counted in them (characters are code points).
template <class CharT>
std::basic_string_view<CharT> referenceKeyText(std::basic_string_view<CharT> paragraph, const ParagraphKey& key) {
  const auto points = codePointsOf(paragraph);
  const std::size_t count = points.size() - 1;
  // A line feed is inside a record only when records end in NUL: a blank then.
  auto blank = [&](std::size_t index) {
    return points[index].second == ' ' || points[index].second == '\t' || points[index].second == '\n';
  };
  // fieldStarts[f]: where field f + 1 starts (in code points); then `count`.
  std::vector<std::size_t> fieldStarts{0};
  for (std::size_t index = 0; index < count; ++index) {
    if (key.fieldSeparator) {
      if (static_cast<char32_t>(points[index].second) == *key.fieldSeparator) fieldStarts.push_back(index + 1);
    } else if (index > 0 && blank(index) && !blank(index - 1)) {
      fieldStarts.push_back(index);
    }
  }
  auto fieldStart = [&](std::size_t field) { return field <= fieldStarts.size() ? fieldStarts[field - 1] : count; };
  auto skippingBlanks = [&](std::size_t index) {
    while (index < count && blank(index)) ++index;
    return index;
  };
  std::size_t begin = fieldStart(key.startField);
  if (key.skipStartBlanks) begin = skippingBlanks(begin);
  begin = std::min(count, begin + key.startCharacter - 1);
  std::size_t end = count;
  if (key.endField != 0 && key.endCharacter == 0) {
    // The end field's end: the separator after it, or the next field's start.
    end = key.endField < fieldStarts.size() ? fieldStarts[key.endField] - (key.fieldSeparator ? 1 : 0) : count;
  } else if (key.endField != 0) {
    end = fieldStart(key.endField);
    if (key.skipEndBlanks) end = skippingBlanks(end);
    end = std::min(count, end + key.endCharacter);
  }
  if (end <= begin) return paragraph.substr(points[begin].first, 0);
  return paragraph.substr(points[begin].first, points[end].first - points[begin].first);
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

// The shuffled input positions for `seed`: Fisher-Yates from the back,
// drawing from std::mt19937_64.
inline std::vector<std::size_t> referenceShuffle(std::size_t count, std::uint64_t seed) {
  std::vector<std::size_t> positions;
  for (std::size_t index = 0; index < count; ++index) positions.push_back(index);
  std::mt19937_64 generator(seed);
  for (std::size_t last = count; last-- > 1;) std::swap(positions[last], positions[generator() % (last + 1)]);
  return positions;
}

template <class CharT>
struct ReferenceRecord {
  std::size_t length;  // of the key, in code points
  std::string key;     // the key's sort key
  std::string whole;   // the whole paragraph's sort key, when ties go to it; else empty
  std::basic_string_view<CharT> contents;
};

// The model knows one plain text key (positions only) at most.
inline ParagraphKey referencePositions(const ArrangeOptions& options) {
  if (options.keys.empty()) return {};
  require(options.keys.size() == 1 && options.keys.front().modifiers == KeyModifiers{},
          "the model knows one plain key at most");
  return options.keys.front().positions;
}

template <class CharT>
std::vector<ReferenceRecord<CharT>> referenceRecords(const ReferenceParagraphs<CharT>& paragraphs,
                                                     const ParagraphCollator& collator, const ParagraphKey& key,
                                                     bool wholeParagraphBreaksTies) {
  std::vector<ReferenceRecord<CharT>> records;
  for (auto contents : paragraphs.contents) {
    const auto keyText = referenceKeyText(contents, key);
    records.push_back({codePointsOf(keyText).size() - 1, referenceKey(collator, keyText),
                       wholeParagraphBreaksTies ? referenceKey(collator, contents) : std::string(), contents});
  }
  return records;
}

// What `order` must make of `text`: fewer than two paragraphs unchanged;
// otherwise the paragraphs stably sorted by the sort keys of their keys
// (equal keys by the whole paragraphs' sort keys when options.lastResort
// says so, then in input order, in both directions; by length first the
// key's length in code points), for unique the first of each run of equal
// keys; reversed; shuffled by referenceShuffle; or in input order without
// each paragraph whose key equals the previous one's; joined by the first
// terminator's kind, with one at the end exactly when the text ended with
// one.
template <class CharT>
std::basic_string<CharT> referenceArrangement(std::basic_string_view<CharT> text, ParagraphOrder order,
                                              const ParagraphCollator& collator,
                                              const ArrangeOptions& options = {}) {
  const auto reference = referenceParagraphs(text, options.terminators);
  if (reference.contents.size() < 2) return std::basic_string<CharT>(text);
  // Ties of a key (not of the whole paragraph) go to the whole paragraph,
  // except where only the first of equal keys is kept.
  const bool wholeBreaksTies = options.lastResort && !options.keys.empty() && order != ParagraphOrder::unique &&
                               order != ParagraphOrder::adjacentUnique;
  auto records = referenceRecords(reference, collator, referencePositions(options), wholeBreaksTies);
  using Record = ReferenceRecord<CharT>;
  auto ascending = [](const Record& a, const Record& b) { return a.key != b.key ? a.key < b.key : a.whole < b.whole; };
  auto equal = [](const Record& a, const Record& b) { return a.key == b.key; };
  switch (order) {
    case ParagraphOrder::ascending:
      std::stable_sort(records.begin(), records.end(), ascending);
      break;
    case ParagraphOrder::descending:
      std::stable_sort(records.begin(), records.end(), [&](const Record& a, const Record& b) { return ascending(b, a); });
      break;
    case ParagraphOrder::unique:
      std::stable_sort(records.begin(), records.end(), ascending);
      records.erase(std::unique(records.begin(), records.end(), equal), records.end());
      break;
    case ParagraphOrder::byLength:
      std::stable_sort(records.begin(), records.end(), [&](const Record& a, const Record& b) {
        return a.length != b.length ? a.length < b.length : ascending(a, b);
      });
      break;
    case ParagraphOrder::reverse:
      std::reverse(records.begin(), records.end());
      break;
    case ParagraphOrder::shuffle: {
      require(options.randomSeed.has_value(), "a shuffle is modelled for a given seed");
      std::vector<Record> shuffled;
      for (std::size_t position : referenceShuffle(records.size(), *options.randomSeed))
        shuffled.push_back(records[position]);
      records = std::move(shuffled);
      break;
    }
    case ParagraphOrder::adjacentUnique:
      records.erase(std::unique(records.begin(), records.end(), equal), records.end());
      break;
  }
  std::basic_string<CharT> result;
  for (const Record& record : records) {
    if (&record != &records.front()) result += reference.separator;
    result += record.contents;
  }
  if (reference.endsWithTerminator) result += reference.separator;
  return result;
}

// The first paragraph (from 0) that breaks `order` in `text`: the first
// that `order` would not leave after the one before it, the two of them
// arranged alone. (Keys compare as strings do, so order is a matter of
// neighbours.) Nothing for reverse and shuffle, which no text is "in".
template <class CharT>
std::optional<std::size_t> referenceFirstDisorder(std::basic_string_view<CharT> text, ParagraphOrder order,
                                                  const ParagraphCollator& collator,
                                                  const ArrangeOptions& options = {}) {
  if (order == ParagraphOrder::reverse || order == ParagraphOrder::shuffle) return std::nullopt;
  const auto reference = referenceParagraphs(text, options.terminators);
  for (std::size_t index = 1; index < reference.contents.size(); ++index) {
    std::basic_string<CharT> pair(reference.contents[index - 1]);
    ((pair += reference.separator) += reference.contents[index]) += reference.separator;
    if (referenceArrangement<CharT>(pair, order, collator, options) != pair) return index;
  }
  return std::nullopt;
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

// The orders of the three transforms.
inline constexpr ParagraphOrder allOrders[] = {ParagraphOrder::ascending, ParagraphOrder::descending,
                                               ParagraphOrder::unique};
// Every order of the arrangement.
inline constexpr ParagraphOrder arrangementOrders[] = {
    ParagraphOrder::ascending, ParagraphOrder::descending, ParagraphOrder::unique,        ParagraphOrder::byLength,
    ParagraphOrder::reverse,   ParagraphOrder::shuffle,    ParagraphOrder::adjacentUnique};

template <class CharT>
std::basic_string<CharT> arranged(std::basic_string_view<CharT> text, ParagraphOrder order,
                                  const ParagraphCollator& collator, OrderingStrategy strategy,
                                  ArrangeOptions options = {}) {
  options.strategy = strategy;
  return arrangeParagraphs(text, order, collator, options).joined();
}

}  // namespace parasort::fuzzing
