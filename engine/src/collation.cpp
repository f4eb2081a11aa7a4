#include "parasort/engine/collation.h"

#include "parasort/engine/collation_locale.h"

#include "sort_key.h"
#include "utf16_units.h"

#include <unicode/ucol.h>

#include <array>
#include <cstring>
#include <new>

namespace parasort {
namespace {

UColAttributeValue icuStrength(CollationStrength strength) noexcept {
  switch (strength) {
    case CollationStrength::primary:
      return UCOL_PRIMARY;
    case CollationStrength::secondary:
      return UCOL_SECONDARY;
    case CollationStrength::tertiary:
      return UCOL_TERTIARY;
    case CollationStrength::identical:
      return UCOL_IDENTICAL;
  }
  return UCOL_SECONDARY;
}

// Case and width differences are tertiary, so secondary strength ignores
// them while keeping diacritics (secondary) significant. Tertiary keeps the
// locale's own case order (its case-first setting is left alone).
void configure(UCollator* collator, const CollationOptions& options) {
  UErrorCode status = U_ZERO_ERROR;
  ucol_setAttribute(collator, UCOL_STRENGTH, icuStrength(options.strength), &status);
  ucol_setAttribute(collator, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
  ucol_setAttribute(collator, UCOL_NUMERIC_COLLATION, options.numeric ? UCOL_ON : UCOL_OFF, &status);
  ucol_setAttribute(collator, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
  ucol_setAttribute(collator, UCOL_CASE_LEVEL, UCOL_OFF, &status);
}

UCollator* openCollator(const std::string& icuLocale, const CollationOptions& options, bool& knowsLocale) {
  UErrorCode status = U_ZERO_ERROR;
  UCollator* collator = ucol_open(icuLocale.c_str(), &status);
  // Out of memory is no unknown locale: neither root nor code unit order
  // would be what was asked for.
  if (status == U_MEMORY_ALLOCATION_ERROR) throw std::bad_alloc();
  if (U_FAILURE(status)) {
    knowsLocale = false;
    status = U_ZERO_ERROR;
    collator = ucol_open("", &status);
    if (status == U_MEMORY_ALLOCATION_ERROR) throw std::bad_alloc();
    if (U_FAILURE(status)) return nullptr;
  } else if (!icuLocale.empty()) {
    // ICU answers an unknown language with the root collator; its valid
    // locale then says "root" (for "en_US" it says "en_US" although the
    // rules are root's, which is fine: English has no tailoring).
    UErrorCode localeStatus = U_ZERO_ERROR;
    const char* valid = ucol_getLocaleByType(collator, ULOC_VALID_LOCALE, &localeStatus);
    knowsLocale = U_SUCCESS(localeStatus) && valid != nullptr && std::strcmp(valid, "root") != 0 &&
                  *valid != '\0';
  }
  configure(collator, options);
  return collator;
}

int sign(int value) noexcept { return (value > 0) - (value < 0); }

}  // namespace

void ParagraphCollator::CloseCollator::operator()(UCollator* collator) const noexcept {
  ucol_close(collator);
}

ParagraphCollator::ParagraphCollator(std::string_view localeName)
    : ParagraphCollator(localeName, CollationOptions{}) {}

ParagraphCollator::ParagraphCollator(std::string_view localeName, const CollationOptions& options) {
  icuLocale_ = icuCollationLocale(localeName);
  collator_.reset(openCollator(icuLocale_, options, knowsRequestedLocale_));
  // A name with no language in it ("@euro", ".UTF-8") maps to root too, but
  // by accident: say so like for any other name without collation data.
  if (icuLocale_.empty() && !namesRootCollation(localeName)) knowsRequestedLocale_ = false;
}

const ParagraphCollator& ParagraphCollator::forUser() {
  thread_local const ParagraphCollator collator(userCollationLocaleName());
  return collator;
}

const ParagraphCollator& ParagraphCollator::forUser(const CollationOptions& options) {
  if (options == CollationOptions{}) return forUser();
  // Four strengths, numbers by value or not: eight collators at most.
  thread_local std::array<std::unique_ptr<const ParagraphCollator>, 8> opened;
  auto& collator = opened[static_cast<std::size_t>(options.strength) * 2 + (options.numeric ? 1 : 0)];
  if (!collator) collator = std::make_unique<const ParagraphCollator>(userCollationLocaleName(), options);
  return *collator;
}

std::optional<CollationStrength> collationStrengthNamed(std::string_view name) {
  for (const auto strength : {CollationStrength::primary, CollationStrength::secondary, CollationStrength::tertiary,
                              CollationStrength::identical})
    if (name == nameOf(strength)) return strength;
  return std::nullopt;
}

std::string_view nameOf(CollationStrength strength) {
  switch (strength) {
    case CollationStrength::primary:
      return "primary";
    case CollationStrength::secondary:
      return "secondary";
    case CollationStrength::tertiary:
      return "tertiary";
    case CollationStrength::identical:
      return "identical";
  }
  return {};
}

// Paragraphs are ordered by their sort keys, never by ICU's own string
// comparison: in tailored locales that comparison disagrees with the keys,
// and is not even transitive, when a digit run goes on in another script's
// digits (in Spanish it puts "9Aé" after "9１２", "9１２" after "100", but
// "9Aé" before "100"). Keys are a total order in every locale, and the one
// that every way of sorting uses.
int ParagraphCollator::compare(std::u16string_view a, std::u16string_view b) const {
  if (!collator_) return sign(a.compare(b));
  const detail::SortKey keyOfA(*collator_, a);
  const detail::SortKey keyOfB(*collator_, b);
  return detail::compareSortKeys(keyOfA.bytes(), keyOfB.bytes());
}

int ParagraphCollator::compare(std::string_view a, std::string_view b) const {
  if (!collator_) return sign(a.compare(b));
  detail::Utf16Units unitsOfA;
  detail::Utf16Units unitsOfB;
  return compare(unitsOfA.of(a), unitsOfB.of(b));
}

int CollateParagraphs(std::u16string_view a, std::u16string_view b) {
  return ParagraphCollator::forUser().compare(a, b);
}

namespace {
template <class View>
int compareInDirection(View a, View b, const ParagraphCompareContext* context) {
  const ParagraphCollator& collator =
      context->collator != nullptr ? *context->collator : ParagraphCollator::forUser();
  const int order = collator.compare(a, b);
  return context->ascending != 0 ? order : -order;
}
}  // namespace

int ParagraphCompare(std::u16string_view a, std::u16string_view b,
                     const ParagraphCompareContext* context) {
  return compareInDirection(a, b, context);
}

int ParagraphCompare(std::string_view a, std::string_view b,
                     const ParagraphCompareContext* context) {
  return compareInDirection(a, b, context);
}

}  // namespace parasort
