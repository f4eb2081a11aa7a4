#include "parasort/files/safe_write.h"

#include "file_attributes.h"
#include "parasort/files/buffered_writer.h"
#include "parasort/files/file_descriptor.h"
#include "signal_guards.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <random>

namespace parasort::files {
namespace {

// As many links as the kernel follows before it gives up with ELOOP.
constexpr int mostLinksFollowed = 40;

std::size_t sizeOf(const Pieces& pieces) {
  std::size_t size = 0;
  pieces([&size](std::string_view piece) { size += piece.size(); });
  return size;
}

std::optional<WriteFailure> failure(int errorNumber) { return WriteFailure{errorNumber, std::nullopt}; }

std::string directoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// Where writing to `path` really goes: symbolic links followed to the file
// they lead to, which need not exist. 0, or an errno (ELOOP for a loop).
int followLinks(const std::string& path, std::string& target) {
  target = path;
  for (int followed = 0;; ++followed) {
    struct stat status {};
    if (::lstat(target.c_str(), &status) != 0) return errno == ENOENT ? 0 : errno;
    if (!S_ISLNK(status.st_mode)) return 0;
    if (followed == mostLinksFollowed) return ELOOP;
    std::string link(PATH_MAX, '\0');
    const ssize_t length = ::readlink(target.c_str(), link.data(), link.size());
    if (length < 0) return errno;
    if (static_cast<std::size_t>(length) == link.size()) return ENAMETOOLONG;
    link.resize(static_cast<std::size_t>(length));
    target = link.starts_with('/') ? link : directoryOf(target) + "/" + link;
  }
}

// A new file beside the target, removed unless it takes the target's place,
// also when a signal ends the process first.
class TemporaryFile {
 public:
  // Check descriptor(); when it is -1, errno says why.
  TemporaryFile(const std::string& target, mode_t mode) {
    static constexpr std::string_view letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> letter(0, letters.size() - 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
      path_ = directoryOf(target) + "/.parasort-";
      for (int count = 0; count < 6; ++count) path_ += letters[letter(random)];
      file_ = FileDescriptor(guard_.create(path_, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode));
      if (file_ || errno != EEXIST) return;
    }
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (file_) discard();
  }

  int descriptor() const noexcept { return file_.get(); }

  // Makes it durable, then puts it in the target's place. 0 or an errno;
  // on failure it is removed.
  int replace(const std::string& target) {
    int error = ::fsync(file_.get()) != 0 && errno != EINVAL ? errno : 0;
    if (const int closeError = file_.close(); error == 0) error = closeError;
    return guard_.finish([&] {
      if (error == 0 && ::rename(path_.c_str(), target.c_str()) != 0) error = errno;
      if (error != 0) ::unlink(path_.c_str());
      return error;
    });
  }

  void discard() {
    file_.close();
    guard_.finish([&] { return ::unlink(path_.c_str()); });
  }

 private:
  TemporaryFileGuard guard_;
  std::string path_;
  FileDescriptor file_;
};

std::optional<WriteFailure> createFile(const std::string& target, const Pieces& pieces) {
  // Made as any new file is: the umask or the directory's default ACL apply.
  TemporaryFile file(target, 0666);
  if (file.descriptor() < 0) return failure(errno);
  int error = writeAll(file.descriptor(), pieces);
  if (error == 0) error = file.replace(target);
  if (error != 0) return failure(error);
  return std::nullopt;
}

// Replaces the file `existing` (open for writing) by a new one with the same
// owner, group, extended attributes and mode. False when the caller cannot
// give it those (nor create a file beside it): it must be written in place.
bool replaceKeepingAttributes(const std::string& target, int existing,
                              const struct stat& status, const Pieces& pieces,
                              std::optional<WriteFailure>& outcome) {
  // Private until it is what the old file was.
  TemporaryFile file(target, 0600);
  if (file.descriptor() < 0) {
    if (errno == EACCES || errno == EPERM || errno == EROFS) return false;
    // The file itself exists: say where the trouble is.
    const int error = errno;
    outcome = WriteFailure{error, directoryOf(target)};
    return true;
  }
  if (!takeOwnership(file.descriptor(), status)) return false;
  if (const int error = writeAll(file.descriptor(), pieces); error != 0) {
    outcome = WriteFailure{error, std::nullopt};
    return true;
  }
  if (!copyAttributes(existing, status, file.descriptor())) return false;
  if (const int error = file.replace(target); error != 0) {
    // A sticky directory lets only a file's owner replace it.
    if (error == EPERM || error == EACCES) return false;
    outcome = WriteFailure{error, std::nullopt};
  }
  return true;
}

std::optional<WriteFailure> writeInPlace(FileDescriptor existing, const struct stat& status,
                                    const Pieces& pieces) {
  const std::size_t size = sizeOf(pieces);
  BufferedWriter writer(existing.get());
  // The room is made sure of first, so that the old contents are not
  // given up for a result that cannot fit.
  rlimit limit{};
  if (::getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY && size > limit.rlim_cur)
    return failure(EFBIG);
  const auto length = static_cast<off_t>(size);
  if (length > status.st_size && ::fallocate(existing.get(), FALLOC_FL_KEEP_SIZE, 0, length) != 0 &&
      errno != EOPNOTSUPP && errno != ENOSYS)
    return failure(errno);

  int error = 0;
  {
    const HeldBackSignals notHalfWritten;
    pieces([&writer](std::string_view piece) { writer.write(piece); });
    error = writer.flush();
    if (error == 0 && ::ftruncate(existing.get(), length) != 0) error = errno;
  }
  if (const int closeError = existing.close(); error == 0) error = closeError;
  if (error != 0) return failure(error);
  return std::nullopt;
}

// A device or a FIFO (/dev/null, /dev/stdout) cannot be replaced: it is
// written into.
std::optional<WriteFailure> writeIntoDevice(const std::string& path, const Pieces& pieces) {
  FileDescriptor device(::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
  if (!device) return failure(errno);
  int error = writeAll(device.get(), pieces);
  if (const int closeError = device.close(); error == 0) error = closeError;
  if (error != 0) return failure(error);
  return std::nullopt;
}

std::optional<WriteFailure> writeFile(const std::string& path, const Pieces& pieces) {
  // The kernel follows the links first: it alone can follow those in /proc
  // (/dev/stdout to a pipe), and a loop is its ELOOP.
  struct stat status {};
  if (::stat(path.c_str(), &status) == 0) {
    if (S_ISDIR(status.st_mode)) return failure(EISDIR);
    if (!S_ISREG(status.st_mode)) return writeIntoDevice(path, pieces);
  } else if (errno != ENOENT) {
    return failure(errno);
  }
  // A regular file is replaced under its own name, not the link's; a
  // dangling link leads to the name to create.
  std::string target;
  if (const int error = followLinks(path, target); error != 0) return failure(error);
  if (::stat(target.c_str(), &status) != 0) {
    if (errno == ENOENT) return createFile(target, pieces);
    return failure(errno);
  }
  // As a shell's redirection would: a file the caller may not write is refused.
  FileDescriptor existing(::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY));
  if (!existing || ::fstat(existing.get(), &status) != 0) return failure(errno);
  if (!S_ISREG(status.st_mode)) return failure(EINVAL);  // it changed meanwhile

  std::optional<WriteFailure> outcome;
  if (status.st_nlink == 1 && replaceKeepingAttributes(target, existing.get(), status, pieces, outcome))
    return outcome;
  return writeInPlace(std::move(existing), status, pieces);
}

}  // namespace

std::optional<WriteFailure> writeFileSafely(const std::string& path, const Pieces& pieces) {
  const FileSizeLimitAsError fileSizeLimitAsError;
  return writeFile(path, pieces);
}

}  // namespace parasort::files
