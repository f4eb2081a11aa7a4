// Writing a file so that nothing the user had is lost on the way: the one
// implementation behind the filter's -o and the editor's Save.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace parasort::files {

// Takes the contents' pieces one at a time.
using PieceSink = std::function<void(std::string_view)>;
// The complete contents: hands its pieces to the sink in order, each time it
// is called (once to learn the size, once to write).
using Pieces = std::function<void(const PieceSink&)>;

// Why writing failed.
struct WriteFailure {
  int errorNumber = 0;
  // Set when the file itself was fine but no temporary file could be made
  // beside it: the directory the trouble is in.
  std::optional<std::string> temporaryDirectory;
};

// Writes `pieces` to the file `path`, keeping what that file is:
//   - a new file, or a regular file with one name in a directory the caller
//     can write, whose owner, group, extended attributes (ACLs among them)
//     and mode the caller can give back, is replaced: the contents go to a
//     temporary file beside it that takes its place once complete and
//     synced, so the file is always either the old one or the new one. A new
//     file gets the mode the umask (or the directory's default ACL) gives;
//   - any other regular file the caller may write (more than one name,
//     another owner, a read-only directory) is written over in place once
//     the room for the contents is reserved, with the ending signals held
//     back until it is done: every name, the owner and the file's identity
//     stay, but the write is not atomic;
//   - a device or a FIFO is written into;
//   - a file the caller may not write is refused (EACCES), as a shell would
//     refuse it; a directory is EISDIR.
// Symbolic links are followed, and the file they lead to is created when
// missing: a link stays a link. Meanwhile a file size limit (SIGXFSZ) is an
// error (EFBIG), not the end of the process, and an ending signal removes
// the temporary file before it ends the process. Only one write may run at
// a time in a process (the signal handler knows one temporary file).
// Throws std::bad_alloc, before anything is written, when memory runs out.
std::optional<WriteFailure> writeFileSafely(const std::string& path, const Pieces& pieces);

// For a signal handler that ends the process in the middle of a write
// (async-signal-safe): removes the temporary file that the write created,
// leaving the file being written as it was.
void abandonWriteFromSignalHandler() noexcept;

}  // namespace parasort::files
