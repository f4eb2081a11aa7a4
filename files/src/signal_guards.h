// How signals are treated while a file is written: a temporary file is
// removed before a signal ends the process, and a file written in place is
// not left half written.
#pragma once

#include "parasort/files/file_size_limit_as_error.h"

#include <signal.h>

#include <cstddef>
#include <string>

namespace parasort::files {

// The signals that end the process by default and can be caught.
inline constexpr int endingSignals[] = {SIGHUP, SIGINT,  SIGQUIT, SIGTERM,   SIGPIPE, SIGALRM,
                                        SIGUSR1, SIGUSR2, SIGXCPU, SIGVTALRM, SIGPROF};

// While it lives, an ending signal removes the temporary file that it
// created, then ends the process as the signal would have. A signal that was
// ignored when the process started stays ignored (as nohup wants).
//
// A signal handler can reach only static storage: the file's name is the
// one piece of process-wide state, so only one guard may live at a time.
class TemporaryFileGuard {
 public:
  TemporaryFileGuard();
  TemporaryFileGuard(const TemporaryFileGuard&) = delete;
  TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;
  ~TemporaryFileGuard();

  // open(path, flags, mode), the file recorded for the handler before any
  // signal can see it. The descriptor, or -1 with errno set.
  int create(const std::string& path, int flags, mode_t mode);

  // Runs `finish` (the rename, or the removal) and forgets the file, with
  // the signals held back so that a signal cannot remove the file that has
  // just taken the old one's place. Returns what `finish` returns.
  template <class Finish>
  int finish(Finish finish);

 private:
  void forget() noexcept;

  struct sigaction previous_[std::size(endingSignals)] {};
};

// While it lives, the ending signals wait: they take effect once it ends.
class HeldBackSignals {
 public:
  HeldBackSignals();
  HeldBackSignals(const HeldBackSignals&) = delete;
  HeldBackSignals& operator=(const HeldBackSignals&) = delete;
  ~HeldBackSignals();

 private:
  sigset_t previous_{};
};

template <class Finish>
int TemporaryFileGuard::finish(Finish finish) {
  const HeldBackSignals held;
  const int result = finish();
  forget();
  return result;
}

}  // namespace parasort::files
