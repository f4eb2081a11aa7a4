#include "utf8_validation.h"

#include <unicode/utf8.h>

#include <cstdint>
#include <system_error>
#include <thread>

namespace parasort::cli {

namespace {

std::optional<std::size_t> firstInvalidByte(std::string_view bytes) noexcept {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const std::size_t length = bytes.size();
  std::size_t index = 0;
  while (index < length) {
    // ASCII needs no decoding, and is most of most texts.
    if (data[index] < 0x80) {
      ++index;
      continue;
    }
    const std::size_t start = index;
    UChar32 codePoint = 0;
    U8_NEXT(data, index, length, codePoint);
    if (codePoint < 0) return start;
  }
  return std::nullopt;
}

bool isContinuationByte(char byte) noexcept { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

}  // namespace

std::optional<std::size_t> findInvalidUtf8(std::string_view bytes, std::size_t bytesForOneThread) {
  if (bytes.size() <= bytesForOneThread || bytes.size() < 16) return firstInvalidByte(bytes);
  // A sequence takes at most three continuation bytes: more in a row at the
  // middle are ill-formed somewhere, and the whole is checked on one thread.
  std::size_t middle = bytes.size() / 2;
  for (int step = 0; step < 4 && isContinuationByte(bytes[middle]); ++step) ++middle;
  if (isContinuationByte(bytes[middle])) return firstInvalidByte(bytes);

  std::optional<std::size_t> inSecondHalf;
  std::jthread second;
  try {
    second = std::jthread([&] { inSecondHalf = firstInvalidByte(bytes.substr(middle)); });
  } catch (const std::system_error&) {
    return firstInvalidByte(bytes);
  }
  const std::optional<std::size_t> inFirstHalf = firstInvalidByte(bytes.substr(0, middle));
  second.join();
  if (inFirstHalf) return inFirstHalf;
  if (inSecondHalf) return middle + *inSecondHalf;
  return std::nullopt;
}

}  // namespace parasort::cli
