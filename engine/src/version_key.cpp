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

// Where a run of non-digits ends: "~" (0x03) before the end (0x04), the end
// before a digit (0x05), a digit before letters (0x06 and the letter), and
// letters before other bytes (0x07 or 0x08 and seven bits of the byte).
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
  while (true) {
    for (; position < key.size() && !isAsciiDigit(key[position]); ++position) {
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
      out += endToken;
      return;
    }
    out += digitToken;
    while (position < key.size() && key[position] == '0') ++position;
    const std::size_t digitsStart = position;
    while (position < key.size() && isAsciiDigit(key[position])) ++position;
    appendCount(position - digitsStart, out);
    out.append(key.substr(digitsStart, position - digitsStart));
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
