#include "parasort/platform/unnamed_temporary_file.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace parasort::platform {
namespace {

// Signals that end a process by default and can be caught: between the
// creation of a named file and its unlinking none of them may strike.
class EndingSignalsHeld {
 public:
  EndingSignalsHeld() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signalNumber : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU,
                                   SIGVTALRM, SIGPROF})
      sigaddset(&set, signalNumber);
    ::pthread_sigmask(SIG_BLOCK, &set, &previous_);
  }
  EndingSignalsHeld(const EndingSignalsHeld&) = delete;
  EndingSignalsHeld& operator=(const EndingSignalsHeld&) = delete;
  ~EndingSignalsHeld() {
    const int savedErrno = errno;
    ::pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
    errno = savedErrno;
  }

 private:
  sigset_t previous_{};
};

}  // namespace

int createUnnamedTemporaryFile(const std::string& directory) {
#ifdef O_TMPFILE
  const int unnamed = ::open(directory.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  // Only a file system without O_TMPFILE is worth the second way.
  if (unnamed >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return unnamed;
#endif
  std::string pattern = directory + "/parasort.XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const EndingSignalsHeld held;
  const int named = ::mkostemp(name.data(), O_CLOEXEC);
  if (named >= 0) ::unlink(name.data());
  return named;
}

}  // namespace parasort::platform
