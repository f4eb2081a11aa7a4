#include "month_key.h"

#include "code_points.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <array>

namespace parasort::detail {
namespace {

constexpr bool isBlank(char32_t character) noexcept {
  return character == U' ' || character == U'\t' || character == U'\n';
}

// At most this many UTF-16 units of the key are folded: more than any
// month name takes.
constexpr std::size_t foldedUnits = 64;

}  // namespace

template <class CharT>
int monthOf(std::basic_string_view<CharT> key, const LocaleConventions& conventions) {
  std::size_t position = 0;
  while (position < key.size() && isBlank(decodeAt(key, position).character)) position = decodeAt(key, position).next;
  std::array<UChar, foldedUnits> units{};
  std::int32_t length = 0;
  for (; position < key.size() && length + 2 <= static_cast<std::int32_t>(units.size());
       position = decodeAt(key, position).next) {
    const auto character = static_cast<UChar32>(decodeAt(key, position).character);
    U16_APPEND_UNSAFE(units.data(), length, character);
  }
  std::array<UChar, foldedUnits * 3> folded{};
  UErrorCode status = U_ZERO_ERROR;
  const std::int32_t foldedLength = u_strFoldCase(folded.data(), static_cast<std::int32_t>(folded.size()),
                                                  units.data(), length, U_FOLD_CASE_DEFAULT, &status);
  if (U_FAILURE(status)) return 0;
  const std::u16string_view text(reinterpret_cast<const char16_t*>(folded.data()),
                                 static_cast<std::size_t>(foldedLength));
  for (const MonthName& name : conventions.months)
    if (text.starts_with(name.foldedName)) return name.month;
  return 0;
}

template int monthOf(std::string_view, const LocaleConventions&);
template int monthOf(std::u16string_view, const LocaleConventions&);

}  // namespace parasort::detail
