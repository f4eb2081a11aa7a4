// One key that paragraphs are ordered by, as a command line's "-k" names it:
// the part of the paragraph (ParagraphKey) and how that part compares.
//
// Kinds of comparison, each as the GNU tools define it:
//   text            the collation (the locale's, with the collator's options)
//   numeric         a leading number: blanks, an optional '-', digits with
//                   the locale's grouping separator between them, and the
//                   locale's decimal point; anything else is 0
//   generalNumeric  a leading floating-point number ("1e3", "-inf", "nan");
//                   text that is no number first, then NaN, then by value
//   humanNumeric    a numeric one with an SI suffix (K or k, M, G, T, P, E, Z,
//                   Y, R, Q): by sign and suffix first, then by value
//   month           a leading month name (the locale's full or abbreviated
//                   names, in any case); unknown text first, then January...
//   version         a version order (numbers in it by value, "~" before the
//                   end, file suffixes such as ".tar.gz" taken last)
//   random          a random order that keeps equal keys together
// Transforms of a text key before it is collated: dictionaryOrder keeps only
// letters, digits and blanks; ignoreNonprinting drops what is not printable;
// foldCase folds case (the default strengths ignore case anyway).
#pragma once

#include "parasort/engine/paragraph_key.h"

#include <string_view>
#include <variant>
#include <vector>

namespace parasort {

enum class KeyKind { text, numeric, generalNumeric, humanNumeric, month, version, random };

struct KeyModifiers {
  KeyKind kind = KeyKind::text;
  bool reverse = false;
  bool dictionaryOrder = false;
  bool ignoreNonprinting = false;
  bool foldCase = false;
  bool operator==(const KeyModifiers&) const = default;
};

struct OrderingKey {
  ParagraphKey positions{};
  KeyModifiers modifiers{};
};

// The modifiers that a letter sets ("n", "r", "M"...); false when `letter`
// is none of b d f g h i M n R r V ("b" is a position's and sets nothing here).
bool applyModifierLetter(char letter, KeyModifiers& modifiers) noexcept;

// Whether two kinds of comparison were asked of one key ("-k1nM"), as the
// letters of `modifiers` and of `added` would make it; the GNU tools refuse it.
bool kindsConflict(KeyKind a, KeyKind b) noexcept;

// Reads "F1[.C1][OPTS][,F2[.C2][OPTS]]", OPTS being modifier letters
// (b d f g h i M n R r V). The key takes the separator of `global`; a key
// with no letter of its own takes the global modifiers and blanks rule
// (`global`'s modifiers and positions.skipStartBlanks), as in the GNU tools.
std::variant<OrderingKey, KeyParseError> parseOrderingKey(std::string_view text, const OrderingKey& global);

// A key as a user writes it in a form or a script: the positions as
// parseOrderingKey reads them (empty: the whole paragraph), the field
// separator (empty: blanks) and whether leading blanks are ignored.
std::variant<OrderingKey, KeyParseError> keyOfSettings(std::string_view positions, std::string_view fieldSeparator,
                                                       bool ignoreLeadingBlanks);

// Whether ordering by `keys` is the same as ordering by the whole
// paragraph's collation: no keys, or one that is the plain whole paragraph.
bool ordersByWholeParagraph(const std::vector<OrderingKey>& keys) noexcept;

}  // namespace parasort
