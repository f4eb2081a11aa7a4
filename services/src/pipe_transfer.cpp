#include "parasort/services/pipe_transfer.h"

#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <thread>
#include <utility>

namespace parasort {
namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
  // Rounded up: a wait never ends before the deadline.
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

PipeRead readPipe(int fd, std::chrono::milliseconds limit, const WaitPartner& partner) {
  const Clock::time_point deadline = Clock::now() + limit;
  PipeRead read;
  std::string& bytes = read.bytes;
  std::array<char, 1 << 16> chunk{};
  bool ended = false, failed = false;
  while (!ended && !failed) {
    std::array<pollfd, 2> waits{{{fd, POLLIN, 0}, {partner.fd, POLLIN, 0}}};
    const int ready = ::poll(waits.data(), partner.fd >= 0 ? 2 : 1, millisecondsLeft(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) break;  // the limit, or poll failed
    if (partner.fd >= 0 && waits[1].revents != 0 && partner.onReadable) partner.onReadable();
    if (waits[0].revents == 0) continue;
    const ssize_t count = ::read(fd, chunk.data(), chunk.size());
    if (count > 0) {
      bytes.append(chunk.data(), static_cast<std::size_t>(count));
    } else if (count == 0) {
      ended = true;
    } else if (errno != EINTR && errno != EAGAIN) {
      failed = true;
    }
  }
  ::close(fd);
  read.ended = ended;
  return read;
}

std::optional<std::string> readPipeToEnd(int fd, std::chrono::milliseconds limit, const WaitPartner& partner) {
  PipeRead read = readPipe(fd, limit, partner);
  if (!read.ended) return std::nullopt;
  return std::move(read.bytes);
}

void writePipeInBackground(int fd, std::shared_ptr<const std::string> bytes, std::chrono::milliseconds idleLimit) {
  std::thread([fd, bytes = std::move(bytes), idleLimit] {
    // A reader that went away makes write() fail with EPIPE; the signal it
    // raises stays blocked and pending on this thread, and ends with it.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    std::size_t written = 0;
    while (written < bytes->size()) {
      pollfd wait{fd, POLLOUT, 0};
      const int ready = ::poll(&wait, 1, static_cast<int>(idleLimit.count()));
      if (ready < 0 && errno == EINTR) continue;
      if (ready <= 0 || (wait.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) break;
      const ssize_t count = ::write(fd, bytes->data() + written, bytes->size() - written);
      if (count > 0) {
        written += static_cast<std::size_t>(count);
      } else if (count < 0 && errno != EINTR && errno != EAGAIN) {
        break;
      }
    }
    ::close(fd);
  }).detach();
}

}  // namespace parasort
