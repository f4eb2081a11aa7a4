// The version kind of key, as bytes that compare as GNU's version order
// compares (see number_keys.h for the bytes' rules). Internal to the engine.
//
// The order, on the key's UTF-8 bytes: an empty key first, then ".", then
// "..", then other keys starting with "."; then the others. Keys compare
// first without their file suffix (the longest ending of the form
// (\.[A-Za-z~][A-Za-z0-9~]*)*), and only when those tie as wholes. A key is
// taken as runs of non-digits and runs of digits in turn: digit runs compare
// by value, non-digit runs character by character with "~" before anything,
// even the end, then the end and digits alike, letters, and other bytes
// after letters. A number missing where the other key has one counts as 0:
// "a" and "a0" are equal.
#pragma once

#include <string>
#include <string_view>

namespace parasort::detail {

void appendVersionKey(std::string_view utf8Key, std::string& out);

}  // namespace parasort::detail
