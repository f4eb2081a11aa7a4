// Writing past the file size limit as an error rather than death.
#pragma once

#include <signal.h>

namespace parasort::files {

// While it lives, SIGXFSZ is ignored, so that writing past the file size
// limit (ulimit -f) fails with EFBIG instead of ending the process.
class FileSizeLimitAsError {
 public:
  FileSizeLimitAsError();
  FileSizeLimitAsError(const FileSizeLimitAsError&) = delete;
  FileSizeLimitAsError& operator=(const FileSizeLimitAsError&) = delete;
  ~FileSizeLimitAsError();

 private:
  struct sigaction previous_ {};
};

}  // namespace parasort::files
