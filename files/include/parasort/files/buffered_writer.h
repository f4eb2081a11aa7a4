// Writing many small pieces to a file descriptor in large blocks.
#pragma once

#include "parasort/files/safe_write.h"

#include <string>
#include <string_view>

namespace parasort::files {

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

// All of `pieces` into `fileDescriptor`: 0, or the errno of the first failure.
int writeAll(int fileDescriptor, const Pieces& pieces);

}  // namespace parasort::files
