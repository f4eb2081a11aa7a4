// The paragraph collation: the order in which paragraphs are sorted and the
// equality by which duplicates are found.
//
// By default paragraphs are compared by the locale's collation with
//   - case and width ignored ("Apple" == "apple", full-width "Ａ" == "A"),
//   - diacritics significant ("é" != "e"),
//   - canonically equivalent forms equal (U+00E9 == "e" U+0301),
//   - punctuation and spaces significant ("a-b" != "ab"),
//   - runs of digits compared by numeric value ("item9" < "item10"; leading
//     zeros do not count, so "01" == "1"; at most 254 digits form a number).
// Control characters and U+00AD are ignorable in the root collation: lines
// that differ only in them are equal. CollationOptions change the first and
// the last rule.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct UCollator;  // ICU's collator, kept out of the engine's interface

namespace parasort {

// Which differences count. Secondary is the default.
enum class CollationStrength {
  primary,    // base letters only: accents, case and width ignored
  secondary,  // accents count; case and width ignored
  tertiary,   // accents, case and width count, case in the locale's case order
  identical,  // every difference counts: equal only when the texts are
              // canonically equivalent
};

struct CollationOptions {
  CollationStrength strength = CollationStrength::secondary;
  bool numeric = true;  // runs of digits compare by value
  bool operator==(const CollationOptions&) const = default;
};

// The strength by its name ("primary", "secondary", "tertiary",
// "identical"), as the
// filter, the services and the editor's settings spell it.
std::optional<CollationStrength> collationStrengthNamed(std::string_view name);
std::string_view nameOf(CollationStrength strength);

// A configured collator for one locale. Opening one is costly (do it once,
// not per comparison). Paragraphs are compared by their collation sort keys
// as unsigned bytes, a total order in every locale and the one every
// transform sorts by. Comparing may be done from several threads at once; it
// allocates nothing for paragraphs of up to a few dozen characters, and
// throws std::bad_alloc only when memory runs out.
class ParagraphCollator {
 public:
  // `localeName` in any form icuCollationLocale() accepts; empty means the
  // root collation. A locale that ICU has no data for falls back to the root
  // collation (see knowsRequestedLocale()). Throws std::bad_alloc when ICU
  // runs out of memory opening it.
  explicit ParagraphCollator(std::string_view localeName = {});
  // The same with other options; the default options give the collator above.
  ParagraphCollator(std::string_view localeName, const CollationOptions& options);

  // The collator of the user's collation locale (userCollationLocaleName()),
  // opened once per thread on first use.
  static const ParagraphCollator& forUser();
  // The same with `options`, each opened once per thread on first use.
  static const ParagraphCollator& forUser(const CollationOptions& options);

  // -1, 0 or +1 as the sort key of `a` orders before, equal to or after
  // that of `b`. The UTF-8 overload expects well-formed UTF-8 (ill-formed
  // bytes compare as U+FFFD); it orders exactly as the UTF-16 one does.
  int compare(std::u16string_view a, std::u16string_view b) const;
  int compare(std::string_view a, std::string_view b) const;

  // False when the requested locale was not the root (or C/POSIX) locale and
  // ICU had no collation data for its language, so root is used instead.
  bool knowsRequestedLocale() const noexcept { return knowsRequestedLocale_; }

  // The ICU collator, for code that builds on it (sort keys).
  const UCollator* get() const noexcept { return collator_.get(); }

  // The ICU locale it was asked for (empty: root), for what else the
  // locale says (numbers, month names).
  const std::string& icuLocaleName() const noexcept { return icuLocale_; }

 private:
  struct CloseCollator {
    void operator()(UCollator* collator) const noexcept;
  };

  bool knowsRequestedLocale_ = true;
  std::string icuLocale_;
  // Null only when ICU could open no collator at all (out of memory or
  // missing data); comparisons then fall back to code unit order.
  std::unique_ptr<UCollator, CloseCollator> collator_;
};

// The three-way order of two paragraphs under the user's collation locale.
int CollateParagraphs(std::u16string_view a, std::u16string_view b);

// The context handed to ParagraphCompare through the sort: the direction
// (non-zero for ascending, zero for descending) and the collator to use
// (null for the user's).
struct ParagraphCompareContext {
  std::uint8_t ascending = 1;
  const ParagraphCollator* collator = nullptr;
};

// The sort callback: the collation order, negated when descending.
int ParagraphCompare(std::u16string_view a, std::u16string_view b,
                     const ParagraphCompareContext* context);
int ParagraphCompare(std::string_view a, std::string_view b,
                     const ParagraphCompareContext* context);

}  // namespace parasort
