// The clipboard's pipes: a read that does not end in time gives nothing,
// and a write reaches its reader whole, whatever its size.
#include "parasort/services/pipe_transfer.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>

namespace {

using namespace std::chrono_literals;

struct Pipe {
  int read = -1, write = -1;
  Pipe() {
    int ends[2];
    EXPECT_EQ(::pipe2(ends, O_CLOEXEC), 0);
    read = ends[0];
    write = ends[1];
  }
};

bool isOpen(int fd) { return ::fcntl(fd, F_GETFD) != -1; }

TEST(PipeTransfer, AReadEndsWithItsWriterOrGivesNothingAtTheLimit) {
  Pipe finished;
  (void)!::write(finished.write, "b\na", 3);
  ::close(finished.write);
  EXPECT_EQ(parasort::readPipeToEnd(finished.read, 2s), "b\na");
  EXPECT_FALSE(isOpen(finished.read));

  // A writer that never closes its end: some bytes came, but not the end.
  Pipe stuck;
  (void)!::write(stuck.write, "never fin", 9);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(parasort::readPipeToEnd(stuck.read, 200ms), std::nullopt);
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, 200ms);
  EXPECT_LT(waited, 5s);
  EXPECT_FALSE(isOpen(stuck.read));
  ::close(stuck.write);
}

TEST(PipeTransfer, TheReaderServesItsPartnerWhileItWaits) {
  // The partner is the writer: it finishes only once served.
  Pipe data, wake;
  (void)!::write(wake.write, "!", 1);
  int served = 0;
  const parasort::WaitPartner partner{wake.read, [&] {
    char byte;
    (void)!::read(wake.read, &byte, 1);
    ++served;
    (void)!::write(data.write, "done", 4);
    ::close(data.write);
  }};
  EXPECT_EQ(parasort::readPipeToEnd(data.read, 2s, partner), "done");
  EXPECT_EQ(served, 1);
  ::close(wake.read);
  ::close(wake.write);
}

TEST(PipeTransfer, ABackgroundWriteArrivesWholeAndAGoneReaderIsNoHarm) {
  Pipe large;
  auto bytes = std::make_shared<std::string>(3'000'000, 'x');  // far beyond a pipe's buffer
  (*bytes)[1'234'567] = 'y';
  parasort::writePipeInBackground(large.write, bytes, 2s);
  EXPECT_EQ(parasort::readPipeToEnd(large.read, 5s), *bytes);

  Pipe gone;
  ::close(gone.read);
  parasort::writePipeInBackground(gone.write, bytes, 2s);  // EPIPE, no signal to the process
  std::this_thread::sleep_for(100ms);
  EXPECT_FALSE(isOpen(gone.write));
}

}  // namespace
