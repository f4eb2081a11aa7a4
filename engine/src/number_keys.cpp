#include "number_keys.h"

#include "code_points.h"

#include <array>
#include <bit>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string_view>

namespace parasort::detail {
namespace {

constexpr bool isBlank(char32_t character) noexcept {
  return character == U' ' || character == U'\t' || character == U'\n';
}
constexpr bool isDigit(char32_t character) noexcept { return character >= U'0' && character <= U'9'; }

// Reads a key code point by code point.
template <class CharT>
class Reader {
 public:
  explicit Reader(std::basic_string_view<CharT> text) noexcept : text_(text) {}
  bool atEnd() const noexcept { return position_ >= text_.size(); }
  char32_t current() const noexcept { return atEnd() ? U'\0' : decodeAt(text_, position_).character; }
  void advance() noexcept {
    if (!atEnd()) position_ = decodeAt(text_, position_).next;
  }
  void skipBlanks() noexcept {
    while (!atEnd() && isBlank(current())) advance();
  }

 private:
  std::basic_string_view<CharT> text_;
  std::size_t position_ = 0;
};

// A number's digits: those of the integer part without leading zeros, then
// those of the fraction without trailing zeros.
struct DecimalNumber {
  bool negative = false;
  std::size_t integerDigits = 0;
  std::string digits;
  bool isZero() const noexcept { return digits.empty(); }
};

template <class CharT>
DecimalNumber readDecimal(Reader<CharT>& reader, const LocaleConventions& conventions) {
  DecimalNumber number;
  if (reader.current() == U'-') {
    number.negative = true;
    reader.advance();
  }
  bool sawDigit = false;
  while (!reader.atEnd()) {
    const char32_t character = reader.current();
    if (isDigit(character)) {
      sawDigit = true;
      if (character != U'0' || !number.digits.empty()) number.digits += static_cast<char>(character);
    } else if (!(sawDigit && conventions.groupingSeparator && character == *conventions.groupingSeparator)) {
      break;
    }
    reader.advance();
  }
  number.integerDigits = number.digits.size();
  if (reader.current() == conventions.decimalPoint && !reader.atEnd()) {
    reader.advance();
    while (!reader.atEnd() && isDigit(reader.current())) {
      number.digits += static_cast<char>(reader.current());
      reader.advance();
    }
    // Below 1 the fraction's leading zeros stay: 0.05 holds "05".
    while (number.digits.size() > number.integerDigits && number.digits.back() == '0') number.digits.pop_back();
  }
  return number;
}

constexpr char zeroClass = 0x20;
constexpr char negativeClass = 0x10;
constexpr char positiveClass = 0x30;
constexpr char negativeEnd = static_cast<char>(0xFE);

char turned(char byte) noexcept { return static_cast<char>(0x100 - static_cast<unsigned char>(byte)); }

// A count as five base-250 digits, each from 0x03 on.
void appendCount(std::size_t count, bool turnedAround, std::string& out) {
  std::array<char, 5> digits{};
  for (std::size_t index = digits.size(); index > 0; --index) {
    digits[index - 1] = static_cast<char>(count % 250 + 3);
    count /= 250;
  }
  for (const char digit : digits) out += turnedAround ? turned(digit) : digit;
}

void appendDecimal(const DecimalNumber& number, std::string& out) {
  if (number.isZero()) {
    out += zeroClass;
    return;
  }
  if (!number.negative) {
    out += positiveClass;
    appendCount(number.integerDigits, false, out);
    out += number.digits;
    return;
  }
  // Larger magnitudes first, and a number that goes on after another
  // stops (more digits: a larger magnitude) before it.
  out += negativeClass;
  appendCount(number.integerDigits, true, out);
  for (const char digit : number.digits) out += turned(digit);
  out += negativeEnd;
}

// A double's bits as a number that orders as the doubles do, in ten bytes
// of seven bits each, from 0x02 on.
void appendDouble(double value, std::string& out) {
  if (value == 0) value = 0;  // -0 is 0
  auto bits = std::bit_cast<std::uint64_t>(value);
  bits = (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
  for (int shift = 63; shift >= 0; shift -= 7)
    out += static_cast<char>(((shift >= 7 ? bits >> (shift - 6) : bits << (6 - shift)) & 0x7F) + 2);
}

// The number's characters as strtod would read them, in ASCII with '.' as
// the decimal point: no number gives an empty result.
template <class CharT>
std::string floatingText(std::basic_string_view<CharT> key, const LocaleConventions& conventions) {
  Reader<CharT> reader(key);
  while (!reader.atEnd() && (isBlank(reader.current()) || reader.current() == U'\r' || reader.current() == U'\v' ||
                             reader.current() == U'\f'))
    reader.advance();
  std::string text;
  constexpr std::size_t longest = 1024;
  for (; !reader.atEnd() && text.size() < longest; reader.advance()) {
    const char32_t character = reader.current();
    if (character == conventions.decimalPoint) text += '.';
    else if (character < 0x80 && (std::isalnum(static_cast<int>(character)) || character == U'+' || character == U'-'))
      text += static_cast<char>(character);
    else
      break;
  }
  return text;
}

}  // namespace

template <class CharT>
void appendNumericKey(std::basic_string_view<CharT> key, const LocaleConventions& conventions, std::string& out) {
  Reader<CharT> reader(key);
  reader.skipBlanks();
  appendDecimal(readDecimal(reader, conventions), out);
}

template <class CharT>
void appendGeneralNumericKey(std::basic_string_view<CharT> key, const LocaleConventions& conventions,
                             std::string& out) {
  const std::string text = floatingText(key, conventions);
  std::string_view rest = text;
  bool negative = false;
  if (rest.starts_with('-') || rest.starts_with('+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  double value = 0;
  bool parsed = false;
  if (!rest.starts_with('-') && !rest.starts_with('+')) {
    if (rest.size() > 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
      const auto [end, error] = std::from_chars(rest.data() + 2, rest.data() + rest.size(), value, std::chars_format::hex);
      // "0x" with no hexadecimal number after it is the number 0.
      parsed = true;
      if (error != std::errc() && error != std::errc::result_out_of_range) value = 0;
      (void)end;
    } else {
      const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), value);
      parsed = end != rest.data();
      if (error == std::errc::result_out_of_range) parsed = true;  // value is then ±HUGE_VAL or 0
    }
  }
  if (!parsed) {
    out += '\x03';
    return;
  }
  if (negative) value = -value;
  if (std::isnan(value)) {
    out += '\x04';
    return;
  }
  out += '\x05';
  appendDouble(value, out);
}

template <class CharT>
void appendHumanNumericKey(std::basic_string_view<CharT> key, const LocaleConventions& conventions,
                           std::string& out) {
  Reader<CharT> reader(key);
  reader.skipBlanks();
  const DecimalNumber number = readDecimal(reader, conventions);
  constexpr std::u32string_view suffixes = U"KMGTPEZYRQ";
  const char32_t suffix = reader.current() == U'k' ? U'K' : reader.current();
  const std::size_t found = reader.atEnd() ? suffixes.npos : suffixes.find(suffix);
  // A zero has no power, whatever its suffix says.
  const int power = found == suffixes.npos || number.isZero() ? 0 : static_cast<int>(found) + 1;
  out += static_cast<char>(0x40 + (number.negative ? -power : power));
  appendDecimal(number, out);
}

template void appendNumericKey(std::string_view, const LocaleConventions&, std::string&);
template void appendNumericKey(std::u16string_view, const LocaleConventions&, std::string&);
template void appendGeneralNumericKey(std::string_view, const LocaleConventions&, std::string&);
template void appendGeneralNumericKey(std::u16string_view, const LocaleConventions&, std::string&);
template void appendHumanNumericKey(std::string_view, const LocaleConventions&, std::string&);
template void appendHumanNumericKey(std::u16string_view, const LocaleConventions&, std::string&);

}  // namespace parasort::detail
