// Reading the filter's input and buffering its output, with errors as values
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

// Collects the output in a buffer and writes it out in large blocks; the
// first failure is remembered and later writes are dropped. Only the
// constructor allocates.
class BufferedWriter {
 public:
  explicit BufferedWriter(int fileDescriptor);
  BufferedWriter(const BufferedWriter&) = delete;
  BufferedWriter& operator=(const BufferedWriter&) = delete;

  void write(std::string_view piece);
  // Writes out what is buffered; the error number of the first failure, or 0.
  int flush();

 private:
  void writeThrough(std::string_view bytes);

  int fileDescriptor_;
  int error_ = 0;
  std::string buffer_;
};

}  // namespace parasort::cli
