// Moving clipboard bytes through the pipes that the compositor hands over,
// with limits, so that a client that never reads or never closes its end
// cannot hold the services up.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace parasort {

// What a reader keeps serving while it waits: its own Wayland connection,
// whose other end may be the very writer it waits for.
struct WaitPartner {
  int fd = -1;                      // -1: nothing to serve
  std::function<void()> onReadable;  // runs whenever `fd` is readable
};

// Reads `fd` until its end or `limit`, whichever comes first, and closes it.
struct PipeRead {
  std::string bytes;   // all that came
  bool ended = false;  // whether the writer closed its end (no error, in time)
};
PipeRead readPipe(int fd, std::chrono::milliseconds limit, const WaitPartner& partner = {});

// The whole of what comes through `fd`; nothing when the end does not come
// within `limit` (a writer that never closes its end), or on a read error.
std::optional<std::string> readPipeToEnd(int fd, std::chrono::milliseconds limit, const WaitPartner& partner = {});

// Writes `bytes` to `fd` on a thread of its own, then closes it; gives up
// when the reader takes nothing for `idleLimit` or has closed its end. The
// caller's thread never waits.
void writePipeInBackground(int fd, std::shared_ptr<const std::string> bytes, std::chrono::milliseconds idleLimit);

}  // namespace parasort
