// One regular input file mapped rather than read, so that its pages can be
// let go while the sort keys are made and read again for the result: the
// text and its keys are not held in memory at the same time.
#pragma once

#include "parasort/platform/mapped_file.h"

#include <sys/types.h>

#include <csignal>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace parasort::cli {

// While it lives, a read past the end of the file (another program has
// shortened it meanwhile) ends the process with "parasort: NAME: file
// truncated while it was read" and status 1, any temporary file of the -o
// write removed; another fault of the kind is left to its default action.
// The handler reaches static storage: only one may live at a time.
class MappedInput {
 public:
  // Maps the first `size` bytes of `descriptor`, the file `path`; mapped()
  // says whether that worked.
  MappedInput(int descriptor, std::size_t size, const std::string& path);
  MappedInput(const MappedInput&) = delete;
  MappedInput& operator=(const MappedInput&) = delete;
  ~MappedInput();

  bool mapped() const noexcept { return file_.has_value(); }
  std::string_view bytes() const noexcept { return file_->bytes(); }
  void letGo(std::size_t offset, std::size_t length) const noexcept { file_->letGo(offset, length); }

 private:
  std::optional<platform::MappedFile> file_;
  struct sigaction previous_ {};
};

// Whether the file `input` (open) may be mapped while the result goes to
// `output` (absent: standard output): not when the result is written into
// that same file, which would change the text while it is read; nor when
// -o's file would be written over in place (it has a second name, another
// owner, a read-only directory, or is reached by a link), which an input cut
// short meanwhile would leave half written. Such inputs are read whole
// first, as before.
bool mayMapInput(int input, const std::optional<std::string>& output);

}  // namespace parasort::cli
