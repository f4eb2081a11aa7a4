// Reading the filter's input, with errors as values
// that carry the message the user sees.
#pragma once

#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>

namespace parasort::cli {

// What went wrong and with which file, as the user is told: "NAME: REASON".
struct IoError {
  std::string message;
};

// The name a path is shown by in messages: "standard input" for "-", the
// others quoted as quotedIfNeeded() quotes them.
std::string displayName(const std::string& path);

// "NAME: REASON" for `path` and the error number `errorNumber`.
IoError errorFor(const std::string& path, int errorNumber);

// The whole of `path` ("-" for standard input) into `contents`. Throws
// std::bad_alloc when the memory for it runs out.
std::optional<IoError> readWholeInput(const std::string& path, std::pmr::string& contents);
// The same, appended to what `contents` holds (which stays as it is on an error).
std::optional<IoError> appendWholeInput(const std::string& path, std::pmr::string& contents);

}  // namespace parasort::cli
