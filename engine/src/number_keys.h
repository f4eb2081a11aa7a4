// The numeric kinds of key as bytes that compare, as unsigned bytes, the way
// their numbers do. Each appends to `out` bytes from 0x02 to 0xFE only, so
// that the caller can end the key with 0x01 (or turn it around and end it
// with 0xFF) and follow it with another. Internal to the engine.
#pragma once

#include "locale_conventions.h"

#include <string>
#include <string_view>

namespace parasort::detail {

// A leading number as GNU sort -n reads it: blanks, an optional '-',
// digits with grouping separators among them, a decimal point and more
// digits; exactly, however many digits. No number is 0.
template <class CharT>
void appendNumericKey(std::basic_string_view<CharT> key, const LocaleConventions& conventions, std::string& out);

// A leading floating-point number (as strtod reads it, with the locale's
// decimal point): text that is none first, then NaN, then by value.
template <class CharT>
void appendGeneralNumericKey(std::basic_string_view<CharT> key, const LocaleConventions& conventions,
                             std::string& out);

// A numeric key with an SI suffix right after the number: by the sign and the
// suffix's power first (none, K or k, M, G, T, P, E, Z, Y, R, Q; a zero has
// none), then by value.
template <class CharT>
void appendHumanNumericKey(std::basic_string_view<CharT> key, const LocaleConventions& conventions,
                           std::string& out);

}  // namespace parasort::detail
