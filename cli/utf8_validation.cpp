#include "utf8_validation.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <system_error>
#include <thread>

namespace parasort::cli {

namespace {

// A decoder that only tells well-formed from ill-formed: a state machine
// whose states are shift amounts (multiples of 6), and whose table row for
// a byte holds, at each state's shift, the next state. One shift a byte
// and no branch: the error state is looked for once a block.
namespace dfa {
constexpr unsigned accept = 0;
constexpr unsigned reject = 6;
constexpr unsigned oneLeft = 12;    // one continuation byte to come
constexpr unsigned twoLeft = 18;
constexpr unsigned threeLeft = 24;
constexpr unsigned afterE0 = 30;    // A0..BF, then one more
constexpr unsigned afterED = 36;    // 80..9F (no surrogates), then one more
constexpr unsigned afterF0 = 42;    // 90..BF, then two more
constexpr unsigned afterF4 = 48;    // 80..8F (up to U+10FFFF), then two more

constexpr std::uint64_t to(unsigned from, unsigned next) { return std::uint64_t{next} << from; }

constexpr std::uint64_t rowFor(unsigned byte) {
  // From the error state every byte leads back to it.
  std::uint64_t row = to(reject, reject);
  const auto fromStart = [byte]() -> unsigned {
    if (byte < 0x80) return accept;
    if (byte < 0xC2) return reject;  // a continuation byte, or an overlong lead
    if (byte < 0xE0) return oneLeft;
    if (byte == 0xE0) return afterE0;
    if (byte == 0xED) return afterED;
    if (byte < 0xF0) return twoLeft;
    if (byte == 0xF0) return afterF0;
    if (byte < 0xF4) return threeLeft;
    if (byte == 0xF4) return afterF4;
    return reject;
  };
  row |= to(accept, fromStart());
  const bool continuation = byte >= 0x80 && byte <= 0xBF;
  row |= to(oneLeft, continuation ? accept : reject);
  row |= to(twoLeft, continuation ? oneLeft : reject);
  row |= to(threeLeft, continuation ? twoLeft : reject);
  row |= to(afterE0, byte >= 0xA0 && byte <= 0xBF ? oneLeft : reject);
  row |= to(afterED, byte >= 0x80 && byte <= 0x9F ? oneLeft : reject);
  row |= to(afterF0, byte >= 0x90 && byte <= 0xBF ? twoLeft : reject);
  row |= to(afterF4, byte >= 0x80 && byte <= 0x8F ? twoLeft : reject);
  return row;
}

constexpr std::array<std::uint64_t, 256> rows = [] {
  std::array<std::uint64_t, 256> table{};
  for (unsigned byte = 0; byte < 256; ++byte) table[byte] = rowFor(byte);
  return table;
}();
}  // namespace dfa

// Where the first ill-formed sequence starts, decoding from `from` (where
// a sequence starts) one sequence at a time.
std::optional<std::size_t> firstInvalidByteFrom(std::string_view bytes, std::size_t from) noexcept {
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  const std::size_t length = bytes.size();
  std::size_t index = from;
  while (index < length) {
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

std::optional<std::size_t> firstInvalidByte(std::string_view bytes) noexcept {
  constexpr std::size_t block = 256;
  const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
  std::uint64_t state = dfa::accept;
  // The last block boundary where a sequence started: the decoder that
  // finds the exact place of an error starts there.
  std::size_t safe = 0;
  for (std::size_t start = 0; start < bytes.size(); start += block) {
    const std::size_t end = std::min(bytes.size(), start + block);
    for (std::size_t index = start; index < end; ++index) state = dfa::rows[data[index]] >> (state & 63);
    state &= 63;
    if (state == dfa::reject) return firstInvalidByteFrom(bytes, safe);
    if (state == dfa::accept) safe = end;
  }
  if (state != dfa::accept) return firstInvalidByteFrom(bytes, safe);  // cut short at the end
  return std::nullopt;
}

bool isContinuationByte(char byte) noexcept { return (static_cast<unsigned char>(byte) & 0xC0) == 0x80; }

// Where `bytes` may be cut at or after `index` so that each side decodes as
// the whole does: before a byte that starts a sequence (or at the end). A
// sequence takes at most three continuation bytes: after more in a row the
// text is ill-formed there, and nothing is given.
std::optional<std::size_t> cutFrom(std::string_view bytes, std::size_t index) noexcept {
  for (int step = 0; step < 4 && index < bytes.size() && isContinuationByte(bytes[index]); ++step) ++index;
  if (index < bytes.size() && isContinuationByte(bytes[index])) return std::nullopt;
  return index;
}

}  // namespace

std::optional<std::size_t> findInvalidUtf8(std::string_view bytes, std::size_t bytesForOneThread) {
  if (bytes.size() <= bytesForOneThread || bytes.size() < 16) return firstInvalidByte(bytes);
  const std::optional<std::size_t> cut = cutFrom(bytes, bytes.size() / 2);
  if (!cut) return firstInvalidByte(bytes);
  const std::size_t middle = *cut;

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

std::optional<std::size_t> findInvalidUtf8InBlocks(std::string_view bytes, std::size_t blockSize,
                                                   const std::function<void(std::size_t, std::size_t)>& checked) {
  for (std::size_t offset = 0; offset < bytes.size();) {
    // Where no block can end, the rest is checked in one go.
    const std::size_t end =
        cutFrom(bytes, std::min(bytes.size(), offset + std::max<std::size_t>(blockSize, 1))).value_or(bytes.size());
    if (const auto invalid = findInvalidUtf8(bytes.substr(offset, end - offset))) return offset + *invalid;
    checked(offset, end - offset);
    offset = end;
  }
  return std::nullopt;
}

}  // namespace parasort::cli
