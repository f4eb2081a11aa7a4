// Checking that the filter's input is well-formed UTF-8 before any of it is
// sorted, so that nothing is written for a text that would be damaged.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>

namespace parasort::cli {

// The byte offset of the first ill-formed sequence (truncated, overlong, an
// encoded surrogate, beyond U+10FFFF, a stray continuation byte), or nothing
// when all of `bytes` is well-formed. NUL is well-formed. A text of more
// than `bytesForOneThread` is checked in two halves on two threads (the
// second half after a byte that starts a sequence, so that each half
// decodes as the whole does).
std::optional<std::size_t> findInvalidUtf8(std::string_view bytes,
                                           std::size_t bytesForOneThread = std::size_t{1} << 20);

// The same offset, found a block of about `blockSize` bytes at a time, with
// `checked(offset, length)` called after each well-formed block: for a
// caller that lets go of what it has checked.
std::optional<std::size_t> findInvalidUtf8InBlocks(std::string_view bytes, std::size_t blockSize,
                                                   const std::function<void(std::size_t, std::size_t)>& checked);

// The UTF-8 byte order mark.
inline constexpr std::string_view utf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace parasort::cli
