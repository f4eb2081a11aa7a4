#include "mapped_input.h"

#include "file_io.h"

#include "parasort/files/safe_write.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace parasort::cli {
namespace {

// What the handler needs, set before it is installed.
const platform::MappedFile* guardedFile = nullptr;
char truncationMessage[4096];
std::size_t truncationMessageLength = 0;

extern "C" void onBusError(int signalNumber, siginfo_t* info, void* /*context*/) {
  if (guardedFile != nullptr && guardedFile->contains(info->si_addr)) {
    // Nothing more can be read: the result is abandoned, unwritten.
    [[maybe_unused]] const auto written = ::write(STDERR_FILENO, truncationMessage, truncationMessageLength);
    files::abandonWriteFromSignalHandler();
    ::_exit(1);
  }
  // Not the input's: its default action, once the handler returns (a fault
  // would come again then anyway).
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

}  // namespace

MappedInput::MappedInput(int descriptor, std::size_t size, const std::string& path)
    : file_(platform::MappedFile::map(descriptor, size)) {
  if (!file_) return;
  const std::string message = "parasort: " + displayName(path) + ": file truncated while it was read\n";
  truncationMessageLength = std::min(message.size(), sizeof truncationMessage);
  std::memcpy(truncationMessage, message.data(), truncationMessageLength);
  guardedFile = &*file_;
  struct sigaction action {};
  action.sa_sigaction = onBusError;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  ::sigaction(SIGBUS, &action, &previous_);
}

MappedInput::~MappedInput() {
  if (!file_) return;
  ::sigaction(SIGBUS, &previous_, nullptr);
  guardedFile = nullptr;
}

namespace {

// Whether the existing regular file `path` is written by replacing it whole
// (the safe write's first choice): one name that is no link, the caller's
// own, in a directory the caller may write.
bool replacedWhole(const std::string& path, const struct stat& status) {
  struct stat link {};
  if (status.st_nlink != 1 || status.st_uid != ::geteuid()) return false;
  if (::lstat(path.c_str(), &link) != 0 || S_ISLNK(link.st_mode)) return false;
  const std::string::size_type slash = path.find_last_of('/');
  const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  return ::access(directory.c_str(), W_OK) == 0;
}

}  // namespace

bool mayMapInput(int input, const std::optional<std::string>& output) {
  struct stat in {};
  struct stat out {};
  if (::fstat(input, &in) != 0) return false;
  const int written = output ? ::stat(output->c_str(), &out) : ::fstat(STDOUT_FILENO, &out);
  if (written != 0) return errno == ENOENT;  // a file still to be made is not the input
  if (in.st_dev == out.st_dev && in.st_ino == out.st_ino) return false;
  return !output || !S_ISREG(out.st_mode) || replacedWhole(*output, out);
}

}  // namespace parasort::cli
