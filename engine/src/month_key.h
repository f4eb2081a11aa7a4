// The month kind of key: a leading month name, as bytes that compare as the
// months do (a text that starts with none first). Internal to the engine.
#pragma once

#include "locale_conventions.h"

#include <string>
#include <string_view>

namespace parasort::detail {

// The month that `key` starts with, after blanks, in any case: 1 to 12, or
// 0 for none.
template <class CharT>
int monthOf(std::basic_string_view<CharT> key, const LocaleConventions& conventions);

// One byte from 0x03 on (see number_keys.h for the bytes' rules).
template <class CharT>
void appendMonthKey(std::basic_string_view<CharT> key, const LocaleConventions& conventions, std::string& out) {
  out += static_cast<char>(0x03 + monthOf(key, conventions));
}

}  // namespace parasort::detail
