#include "buffer_size.h"

#include <charconv>
#include <limits>

namespace parasort::cli {
namespace {

constexpr std::uint64_t most = std::numeric_limits<std::uint64_t>::max();

std::uint64_t saturatingProduct(std::uint64_t a, std::uint64_t b) {
  return b != 0 && a > most / b ? most : a * b;
}

// The power of 1024 that a suffix letter stands for.
std::optional<int> powerOf(char suffix) {
  switch (suffix) {
    case 'b': return 0;
    case 'k': case 'K': return 1;
    case 'm': case 'M': return 2;
    case 'g': case 'G': return 3;
    case 't': case 'T': return 4;
    case 'p': case 'P': return 5;
    case 'e': case 'E': return 6;
    default: return std::nullopt;
  }
}

}  // namespace

std::optional<std::uint64_t> parseBufferSize(std::string_view text, std::uint64_t physicalMemory) {
  std::uint64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (end == text.data()) return std::nullopt;  // no digits (a sign, a blank, nothing)
  if (error == std::errc::result_out_of_range) number = most;
  else if (error != std::errc()) return std::nullopt;
  const std::string_view suffix(end, static_cast<std::size_t>(text.data() + text.size() - end));
  if (suffix.empty()) return saturatingProduct(number, 1024);
  if (suffix.size() != 1) return std::nullopt;
  if (suffix[0] == '%') {
    if (number > 100) return std::nullopt;
    // A hundredth of the whole, and the hundredth of the rest: exact.
    return physicalMemory / 100 * number + physicalMemory % 100 * number / 100;
  }
  const auto power = powerOf(suffix[0]);
  if (!power) return std::nullopt;
  std::uint64_t bytes = number;
  for (int step = 0; step < *power; ++step) bytes = saturatingProduct(bytes, 1024);
  return bytes;
}

}  // namespace parasort::cli
