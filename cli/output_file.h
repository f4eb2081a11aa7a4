// Where the filter's result goes: standard output, or the file that -o names.
#pragma once

#include "file_io.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace parasort::cli {

// Takes the result's pieces one at a time.
using PieceSink = std::function<void(std::string_view)>;
// The complete result: hands its pieces to the sink in order, each time it
// is called (once to learn the size, once to write).
using ResultPieces = std::function<void(const PieceSink&)>;

// Writes the result to standard output when `path` is absent, else to the
// file `path`, keeping what that file is:
//   - a new file, or a regular file with one name in a directory the caller
//     can write, whose owner, group, extended attributes (ACLs among them)
//     and mode the caller can give back, is replaced: the result goes to a
//     temporary file beside it that takes its place once complete, so the
//     file is always either the old one or the new one;
//   - any other regular file the caller may write (more than one name,
//     another owner, a read-only directory) is written over in place once
//     the room for the result is reserved, with the ending signals held back
//     until it is done: every name, the owner and the file's identity stay,
//     but the write is not atomic;
//   - a device or a FIFO is written into;
//   - a file the caller may not write is refused, as a shell would refuse it.
// Symbolic links are followed, and the file they lead to is created when
// missing: a link stays a link. Meanwhile a file size limit (SIGXFSZ) is an
// error, not the end of the process. Throws std::bad_alloc, before anything
// is written, when memory runs out.
std::optional<IoError> writeOutput(const std::optional<std::string>& path, const ResultPieces& pieces);

}  // namespace parasort::cli
