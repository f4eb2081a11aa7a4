#include "signal_guards.h"

#include "parasort/files/safe_write.h"

#include <fcntl.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstring>

namespace parasort::files {
namespace {

char temporaryPath[PATH_MAX];
volatile std::sig_atomic_t temporaryPathIsSet = 0;

void removeTemporary() noexcept {
  if (temporaryPathIsSet != 0) ::unlink(temporaryPath);
}

extern "C" void removeTemporaryAndDie(int signalNumber) {
  removeTemporary();
  ::signal(signalNumber, SIG_DFL);
  // Delivered, with its default action, as soon as the handler returns.
  ::raise(signalNumber);
}

sigset_t endingSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signalNumber : endingSignals) sigaddset(&set, signalNumber);
  return set;
}

}  // namespace

TemporaryFileGuard::TemporaryFileGuard() {
  struct sigaction action {};
  action.sa_handler = removeTemporaryAndDie;
  // No second signal may interrupt the removal.
  action.sa_mask = endingSignalSet();
  for (std::size_t i = 0; i < std::size(endingSignals); ++i) {
    ::sigaction(endingSignals[i], nullptr, &previous_[i]);
    if (previous_[i].sa_handler != SIG_IGN) ::sigaction(endingSignals[i], &action, nullptr);
  }
}

TemporaryFileGuard::~TemporaryFileGuard() {
  forget();
  for (std::size_t i = 0; i < std::size(endingSignals); ++i) ::sigaction(endingSignals[i], &previous_[i], nullptr);
}

int TemporaryFileGuard::create(const std::string& path, int flags, mode_t mode) {
  if (path.size() >= sizeof temporaryPath) {
    errno = ENAMETOOLONG;
    return -1;
  }
  const HeldBackSignals held;
  const int fileDescriptor = ::open(path.c_str(), flags, mode);
  if (fileDescriptor >= 0) {
    std::memcpy(temporaryPath, path.c_str(), path.size() + 1);
    temporaryPathIsSet = 1;
  }
  return fileDescriptor;
}

void TemporaryFileGuard::forget() noexcept { temporaryPathIsSet = 0; }

void abandonWriteFromSignalHandler() noexcept { removeTemporary(); }

HeldBackSignals::HeldBackSignals() {
  const sigset_t set = endingSignalSet();
  ::sigprocmask(SIG_BLOCK, &set, &previous_);
}

HeldBackSignals::~HeldBackSignals() {
  const int savedErrno = errno;
  ::sigprocmask(SIG_SETMASK, &previous_, nullptr);
  errno = savedErrno;
}

FileSizeLimitAsError::FileSizeLimitAsError() {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  ::sigaction(SIGXFSZ, &ignore, &previous_);
}

FileSizeLimitAsError::~FileSizeLimitAsError() { ::sigaction(SIGXFSZ, &previous_, nullptr); }

}  // namespace parasort::files
