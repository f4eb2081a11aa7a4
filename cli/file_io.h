// Reading the filter's input and writing its output, with errors as values
// that carry the message the user sees.
#pragma once

#include <functional>
#include <memory_resource>
#include <optional>
#include <string>
#include <string_view>

namespace parasort::cli {

// What went wrong and with which file, as the user is told: "NAME: REASON".
struct IoError {
  std::string message;
};

// The name a path is shown by in messages ("standard input" for "-").
std::string displayName(const std::string& path);

// The whole of `path` ("-" for standard input) into `contents`.
std::optional<IoError> readWholeInput(const std::string& path, std::pmr::string& contents);

// Collects the output in a buffer and writes it out in large blocks; the
// first failure is remembered and later writes are dropped.
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

// Hands a writer to `produce`, which writes the result piece by piece, then
// flushes it. Writes to standard output when `path` is absent. A named file
// is replaced only once the result is complete: the result goes to a
// temporary file in the same directory that then takes the file's place,
// keeping its permission bits. On failure, or when SIGINT, SIGTERM or SIGHUP
// arrives meanwhile, the temporary file is removed and the old file stays as
// it was.
std::optional<IoError> writeOutput(const std::optional<std::string>& path,
                                   const std::function<void(BufferedWriter&)>& produce);

}  // namespace parasort::cli
