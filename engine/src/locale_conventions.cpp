#include "locale_conventions.h"

#include <unicode/uchar.h>
#include <unicode/udat.h>
#include <unicode/unum.h>
#include <unicode/ustring.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>

namespace parasort::detail {
namespace {

// The one code point of an ICU symbol, or nothing when it is longer.
std::optional<char32_t> singleCodePoint(const UChar* text, std::int32_t length) {
  if (length <= 0) return std::nullopt;
  std::int32_t index = 0;
  UChar32 character = 0;
  U16_NEXT(text, index, length, character);
  if (index != length) return std::nullopt;
  return static_cast<char32_t>(character);
}

std::u16string folded(const UChar* text, std::int32_t length) {
  std::array<UChar, 128> buffer{};
  UErrorCode status = U_ZERO_ERROR;
  const std::int32_t size = u_strFoldCase(buffer.data(), static_cast<std::int32_t>(buffer.size()), text, length,
                                          U_FOLD_CASE_DEFAULT, &status);
  if (U_FAILURE(status)) return {};
  return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), static_cast<std::size_t>(size));
}

void readNumberSymbols(const std::string& locale, LocaleConventions& conventions) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UNumberFormat, decltype(&unum_close)> format(
      unum_open(UNUM_DECIMAL, nullptr, 0, locale.c_str(), nullptr, &status), &unum_close);
  if (U_FAILURE(status)) return;
  std::array<UChar, 16> symbol{};
  const auto read = [&](UNumberFormatSymbol which) {
    UErrorCode symbolStatus = U_ZERO_ERROR;
    const std::int32_t length =
        unum_getSymbol(format.get(), which, symbol.data(), static_cast<std::int32_t>(symbol.size()), &symbolStatus);
    return U_SUCCESS(symbolStatus) ? singleCodePoint(symbol.data(), length) : std::nullopt;
  };
  conventions.decimalPoint = read(UNUM_DECIMAL_SEPARATOR_SYMBOL).value_or(U'.');
  conventions.groupingSeparator = read(UNUM_GROUPING_SEPARATOR_SYMBOL);
  if (conventions.groupingSeparator == conventions.decimalPoint) conventions.groupingSeparator.reset();
}

void readMonthNames(const std::string& locale, LocaleConventions& conventions) {
  UErrorCode status = U_ZERO_ERROR;
  std::unique_ptr<UDateFormat, decltype(&udat_close)> format(
      udat_open(UDAT_DEFAULT, UDAT_DEFAULT, locale.c_str(), nullptr, -1, nullptr, -1, &status), &udat_close);
  if (U_FAILURE(status)) return;
  for (const UDateFormatSymbolType type :
       {UDAT_MONTHS, UDAT_SHORT_MONTHS, UDAT_STANDALONE_MONTHS, UDAT_STANDALONE_SHORT_MONTHS}) {
    for (int month = 1; month <= 12; ++month) {
      std::array<UChar, 64> name{};
      UErrorCode nameStatus = U_ZERO_ERROR;
      std::int32_t length = udat_getSymbols(format.get(), type, month - 1, name.data(),
                                            static_cast<std::int32_t>(name.size()), &nameStatus);
      if (U_FAILURE(nameStatus) || length <= 0 || length > static_cast<std::int32_t>(name.size())) continue;
      // "janv." is written "janv" as often as not.
      if (name[static_cast<std::size_t>(length) - 1] == u'.' && length > 1) --length;
      std::u16string foldedName = folded(name.data(), length);
      if (foldedName.empty()) continue;
      const bool known = std::ranges::any_of(conventions.months, [&](const MonthName& other) {
        return other.foldedName == foldedName;
      });
      if (!known) conventions.months.push_back({std::move(foldedName), month});
    }
  }
  std::ranges::stable_sort(conventions.months, [](const MonthName& a, const MonthName& b) {
    return a.foldedName.size() > b.foldedName.size();
  });
}

}  // namespace

LocaleConventions LocaleConventions::of(std::string_view icuLocale) {
  LocaleConventions conventions;
  const std::string locale(icuLocale);
  if (locale.empty() || locale == "root") {
    readMonthNames("en", conventions);
    return conventions;
  }
  readNumberSymbols(locale, conventions);
  readMonthNames(locale, conventions);
  return conventions;
}

}  // namespace parasort::detail
