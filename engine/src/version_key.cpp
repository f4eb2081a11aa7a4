#include "version_key.h"

#include <array>
#include <cstddef>

namespace parasort::detail {
namespace {

bool isAsciiDigit(char byte) noexcept { return byte >= '0' && byte <= '9'; }
bool isAsciiLetter(char byte) noexcept { return (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z'); }

// The length of the key without its file suffix.
std::size_t withoutSuffix(std::string_view key) noexcept {
  std::size_t prefixLength = 0;
  for (std::size_t index = 0; index < key.size();) {
    ++index;
    prefixLength = index;
    while (index + 1 < key.size() && key[index] == '.' && (isAsciiLetter(key[index + 1]) || key[index + 1] == '~'))
      for (index += 2; index < key.size() && (isAsciiLetter(key[index]) || isAsciiDigit(key[index]) || key[index] == '~');
           ++index) {
      }
  }
  return prefixLength;
}

// Among the characters of a run of non-digits: "~" (0x03) before a number
// (0x05, its digit count and digits), a number before letters (0x06 and the
// letter), and letters before other bytes (0x07 or 0x08 and seven bits of
// the byte). The key's end counts as a number of value 0 (when no number is
// just before it) followed by the end mark (0x04), which comes after "~"
// and before letters: "a" equals "a0", comes after "a0~", before "a0b".
constexpr char tildeToken = 0x03;
constexpr char endToken = 0x04;
constexpr char digitToken = 0x05;

void appendCount(std::size_t count, std::string& out) {
  std::array<char, 5> digits{};
  for (std::size_t index = digits.size(); index > 0; --index) {
    digits[index - 1] = static_cast<char>(count % 250 + 3);
    count /= 250;
  }
  out.append(digits.data(), digits.size());
}

void appendRuns(std::string_view key, std::string& out) {
  std::size_t position = 0;
  bool afterNumber = false;
  while (true) {
    for (; position < key.size() && !isAsciiDigit(key[position]); ++position) {
      afterNumber = false;
      const char byte = key[position];
      if (byte == '~') {
        out += tildeToken;
      } else if (isAsciiLetter(byte)) {
        out += '\x06';
        out += byte;
      } else {
        const auto value = static_cast<unsigned char>(byte);
        out += static_cast<char>(0x07 + (value >> 7));
        out += static_cast<char>((value & 0x7F) + 2);
      }
    }
    if (position == key.size()) {
      if (!afterNumber) {
        out += digitToken;
        appendCount(0, out);
      }
      out += endToken;
      return;
    }
    out += digitToken;
    while (position < key.size() && key[position] == '0') ++position;
    const std::size_t digitsStart = position;
    while (position < key.size() && isAsciiDigit(key[position])) ++position;
    appendCount(position - digitsStart, out);
    out.append(key.substr(digitsStart, position - digitsStart));
    afterNumber = true;
  }
}

}  // namespace

void appendVersionKey(std::string_view key, std::string& out) {
  if (key.empty()) {
    out += '\x03';
    return;
  }
  if (key == ".") {
    out += '\x04';
    return;
  }
  if (key == "..") {
    out += '\x05';
    return;
  }
  out += key.front() == '.' ? '\x06' : '\x07';
  appendRuns(key.substr(0, withoutSuffix(key)), out);
  appendRuns(key, out);
}

}  // namespace parasort::detail
