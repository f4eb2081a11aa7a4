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

bool mayMapInput(int input, const std::optional<std::string>& output) {
  struct stat in {};
  struct stat out {};
  if (::fstat(input, &in) != 0) return false;
  const int written = output ? ::stat(output->c_str(), &out) : ::fstat(STDOUT_FILENO, &out);
  if (written != 0) return errno == ENOENT;  // a file still to be made is not the input
  return in.st_dev != out.st_dev || in.st_ino != out.st_ino;
}

}  // namespace parasort::cli
