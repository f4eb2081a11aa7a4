// What numbers and month names look like in a locale, from ICU's data, for
// the numeric and month keys. Internal to the engine.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace parasort::detail {

struct MonthName {
  std::u16string foldedName;  // case-folded
  int month;                  // 1 to 12
};

struct LocaleConventions {
  char32_t decimalPoint = U'.';
  std::optional<char32_t> groupingSeparator{};  // absent: numbers are not grouped
  // Every full and abbreviated name, longest first, so that the first
  // that a text starts with is the longest.
  std::vector<MonthName> months;

  // The conventions of the ICU locale `icuLocale`. The root locale (empty)
  // is the C locale's: '.', no grouping, the English month names.
  static LocaleConventions of(std::string_view icuLocale);
};

}  // namespace parasort::detail
