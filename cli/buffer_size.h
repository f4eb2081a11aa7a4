// The -S/--buffer-size argument, read as GNU sort reads it.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace parasort::cli {

// A number of bytes: decimal digits, then at most one suffix: "%" (of
// `physicalMemory`), "b" (bytes), "K", "M", "G", "T", "P", "E" (powers of
// 1024, upper or lower case; "k" too); without a suffix, kibibytes. Sizes
// beyond 2^64 - 1 are held as that. Nothing for anything else ("", "1.5M",
// "-1", "12KB", "101%").
std::optional<std::uint64_t> parseBufferSize(std::string_view text, std::uint64_t physicalMemory);

}  // namespace parasort::cli
