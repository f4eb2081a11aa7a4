#include "file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace parasort::cli {
namespace {

constexpr std::size_t writeBlockSize = 1 << 16;

IoError errorFor(const std::string& name, int errorNumber) {
  return IoError{name + ": " + std::strerror(errorNumber)};
}

struct CloseFileDescriptor {
  int fileDescriptor;
  ~CloseFileDescriptor() {
    if (fileDescriptor >= 0) ::close(fileDescriptor);
  }
};

int readAll(int fileDescriptor, std::pmr::string& contents) {
  struct stat status {};
  if (::fstat(fileDescriptor, &status) != 0) return errno;
  if (S_ISDIR(status.st_mode)) return EISDIR;

  // Regular files tell their size, so one allocation usually does; pipes
  // grow the buffer geometrically.
  std::size_t capacity = S_ISREG(status.st_mode) ? static_cast<std::size_t>(status.st_size) + 1 : 0;
  capacity = capacity < writeBlockSize ? writeBlockSize : capacity;
  contents.resize(capacity);
  std::size_t filled = 0;
  while (true) {
    if (filled == contents.size()) contents.resize(contents.size() * 2);
    const ssize_t count = ::read(fileDescriptor, contents.data() + filled, contents.size() - filled);
    if (count < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (count == 0) break;
    filled += static_cast<std::size_t>(count);
  }
  contents.resize(filled);
  return 0;
}

// --- removing the temporary file when the process is interrupted ----------
//
// A signal handler can reach only static storage: this is the one piece of
// process-wide state, set only while a temporary output file exists.
char interruptedTemporaryPath[PATH_MAX];
volatile std::sig_atomic_t temporaryPathIsSet = 0;

constexpr int interruptingSignals[] = {SIGINT, SIGTERM, SIGHUP};

extern "C" void removeTemporaryAndDie(int signalNumber) {
  if (temporaryPathIsSet != 0) ::unlink(interruptedTemporaryPath);
  ::signal(signalNumber, SIG_DFL);
  ::raise(signalNumber);
}

sigset_t interruptingSignalSet() {
  sigset_t set;
  sigemptyset(&set);
  for (int signalNumber : interruptingSignals) sigaddset(&set, signalNumber);
  return set;
}

// While it lives, an interrupting signal removes the temporary file that it
// created before ending the process as the signal would have.
class TemporaryFileGuard {
 public:
  TemporaryFileGuard() {
    struct sigaction action {};
    action.sa_handler = removeTemporaryAndDie;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(interruptingSignals); ++i) {
      ::sigaction(interruptingSignals[i], nullptr, &previous_[i]);
      // A signal ignored by whoever started us stays ignored (as nohup wants).
      if (previous_[i].sa_handler != SIG_IGN) ::sigaction(interruptingSignals[i], &action, nullptr);
    }
  }
  TemporaryFileGuard(const TemporaryFileGuard&) = delete;
  TemporaryFileGuard& operator=(const TemporaryFileGuard&) = delete;

  // mkstemp(pattern), recorded for the handler before any signal can see it.
  int create(std::string& pattern) {
    return withSignalsBlocked([&] {
      const int fileDescriptor = ::mkstemp(pattern.data());
      if (fileDescriptor >= 0) {
        std::strncpy(interruptedTemporaryPath, pattern.c_str(), sizeof interruptedTemporaryPath - 1);
        temporaryPathIsSet = 1;
      }
      return fileDescriptor;
    });
  }

  // Runs `finish` (the rename, or the removal) and forgets the file, with
  // the signals held back so that a signal cannot remove the file that has
  // just taken the old one's place.
  template <class Finish>
  int finish(Finish finish) {
    return withSignalsBlocked([&] {
      const int result = finish();
      temporaryPathIsSet = 0;
      return result;
    });
  }

  ~TemporaryFileGuard() {
    temporaryPathIsSet = 0;
    for (std::size_t i = 0; i < std::size(interruptingSignals); ++i)
      ::sigaction(interruptingSignals[i], &previous_[i], nullptr);
  }

 private:
  template <class Action>
  static int withSignalsBlocked(Action action) {
    const sigset_t set = interruptingSignalSet();
    sigset_t before;
    ::sigprocmask(SIG_BLOCK, &set, &before);
    const int result = action();
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
    return result;
  }

  struct sigaction previous_[std::size(interruptingSignals)] {};
};

// Where the result really goes: through a symbolic link to its target, so
// that the link survives the replacement.
std::string resolvedTarget(const std::string& path) {
  struct stat status {};
  if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr), &std::free);
  return resolved ? std::string(resolved.get()) : path;
}

std::string directoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

mode_t newFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return static_cast<mode_t>(0666 & ~mask);
}

// The result written straight into an open file, known to the user as `name`.
std::optional<IoError> produceInto(int fileDescriptor, const std::string& name,
                                   const std::function<void(BufferedWriter&)>& produce) {
  BufferedWriter writer(fileDescriptor);
  produce(writer);
  if (const int error = writer.flush(); error != 0) return errorFor(name, error);
  return std::nullopt;
}

// A device or a pipe, written into as it is.
std::optional<IoError> writeIntoExisting(const std::string& path,
                                         const std::function<void(BufferedWriter&)>& produce) {
  const int fileDescriptor = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fileDescriptor < 0) return errorFor(path, errno);
  CloseFileDescriptor closer{fileDescriptor};
  return produceInto(fileDescriptor, path, produce);
}

std::optional<IoError> replaceFile(const std::string& path,
                                   const std::function<void(BufferedWriter&)>& produce) {
  const std::string target = resolvedTarget(path);
  struct stat existing {};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (exists && S_ISDIR(existing.st_mode)) return errorFor(path, EISDIR);
  // A device or a pipe (/dev/null, /dev/stdout, a FIFO) cannot be replaced
  // by renaming: write to it as it is.
  if (exists && !S_ISREG(existing.st_mode)) return writeIntoExisting(path, produce);
  const mode_t mode = exists ? static_cast<mode_t>(existing.st_mode & 07777) : newFileMode();

  const std::string directory = directoryOf(target);
  std::string temporary = directory + "/.parasort-XXXXXX";
  if (temporary.size() >= PATH_MAX) return errorFor(path, ENAMETOOLONG);
  TemporaryFileGuard guard;
  const int fileDescriptor = guard.create(temporary);
  if (fileDescriptor < 0) {
    const int error = errno;
    // The file itself may well exist: say where the trouble is.
    return errorFor(path + ": cannot create a temporary file in " + directory, error);
  }

  CloseFileDescriptor closer{fileDescriptor};
  BufferedWriter writer(fileDescriptor);
  produce(writer);
  int error = writer.flush();
  if (error == 0 && ::fchmod(fileDescriptor, mode) != 0) error = errno;
  if (error == 0 && ::fsync(fileDescriptor) != 0 && errno != EINVAL) error = errno;
  closer.fileDescriptor = -1;
  if (::close(fileDescriptor) != 0 && error == 0) error = errno;

  error = guard.finish([&] {
    if (error == 0 && ::rename(temporary.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) ::unlink(temporary.c_str());
    return error;
  });
  if (error != 0) return errorFor(path, error);
  return std::nullopt;
}

}  // namespace

std::string displayName(const std::string& path) {
  return path == "-" ? std::string("standard input") : path;
}

std::optional<IoError> readWholeInput(const std::string& path, std::pmr::string& contents) {
  if (path == "-") {
    if (const int error = readAll(STDIN_FILENO, contents); error != 0)
      return errorFor(displayName(path), error);
    return std::nullopt;
  }
  const int fileDescriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fileDescriptor < 0) return errorFor(path, errno);
  CloseFileDescriptor closer{fileDescriptor};
  if (const int error = readAll(fileDescriptor, contents); error != 0) return errorFor(path, error);
  return std::nullopt;
}

BufferedWriter::BufferedWriter(int fileDescriptor) : fileDescriptor_(fileDescriptor) {
  buffer_.reserve(writeBlockSize);
}

void BufferedWriter::write(std::string_view piece) {
  if (error_ != 0) return;
  if (buffer_.size() + piece.size() <= writeBlockSize) {
    buffer_.append(piece);
    return;
  }
  writeThrough(buffer_);
  buffer_.clear();
  if (piece.size() >= writeBlockSize)
    writeThrough(piece);
  else
    buffer_.append(piece);
}

int BufferedWriter::flush() {
  writeThrough(buffer_);
  buffer_.clear();
  return error_;
}

void BufferedWriter::writeThrough(std::string_view bytes) {
  while (!bytes.empty() && error_ == 0) {
    const ssize_t count = ::write(fileDescriptor_, bytes.data(), bytes.size());
    if (count < 0) {
      if (errno != EINTR) error_ = errno;
      continue;
    }
    bytes.remove_prefix(static_cast<std::size_t>(count));
  }
}

std::optional<IoError> writeOutput(const std::optional<std::string>& path,
                                   const std::function<void(BufferedWriter&)>& produce) {
  if (path) return replaceFile(*path, produce);
  return produceInto(STDOUT_FILENO, "standard output", produce);
}

}  // namespace parasort::cli
