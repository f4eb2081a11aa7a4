// A mapped input that another program shortens ends the filter with a
// message naming it, status 1, and the result unwritten; other faults keep
// their default action; and an input is not mapped when the result goes
// into that same file, or over a file in place.
#include "mapped_input.h"

#include "parasort/files/safe_write.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;
using parasort::cli::MappedInput;
using parasort::cli::mayMapInput;

class MappedInputTest : public testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() / ("mapped_input_test." + std::to_string(::getpid()));
    fs::create_directories(directory_);
    input_ = (directory_ / "big input.txt").string();
    std::ofstream(input_) << std::string(3 * 4096, 'x');
  }
  void TearDown() override { fs::remove_all(directory_); }

  // What the directory holds besides the input.
  std::vector<std::string> othersInDirectory() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory_))
      if (entry.path() != input_) names.push_back(entry.path().filename().string());
    return names;
  }

  fs::path directory_;
  std::string input_;
};

using MappedInputDeathTest = MappedInputTest;

TEST_F(MappedInputDeathTest, AnInputShortenedWhileMappedEndsTheFilterWithItsNameAndNothingWritten) {
  const std::string target = (directory_ / "result.txt").string();
  std::ofstream(target) << "the old result\n";
  EXPECT_EXIT(
      {
        const int descriptor = ::open(input_.c_str(), O_RDONLY);
        const MappedInput input(descriptor, 3 * 4096, input_);
        if (!input.mapped()) std::_Exit(3);
        // The result is being written (its temporary file made) when the
        // input turns out shorter than it was.
        parasort::files::writeFileSafely(target, [&](const parasort::files::PieceSink& sink) {
          sink(input.bytes().substr(0, 10));
          if (::truncate(input_.c_str(), 0) != 0) std::_Exit(4);
          sink(input.bytes().substr(2 * 4096));
        });
        std::_Exit(5);
      },
      testing::ExitedWithCode(1), "^parasort: '.*big input.txt': file truncated while it was read\n$");
  std::ifstream kept(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "the old result\n");
  EXPECT_EQ(othersInDirectory(), std::vector<std::string>{"result.txt"}) << "no temporary file left";
}

TEST_F(MappedInputDeathTest, AnotherBusErrorKeepsItsDefaultAction) {
  EXPECT_EXIT(
      {
        const int descriptor = ::open(input_.c_str(), O_RDONLY);
        const MappedInput input(descriptor, 3 * 4096, input_);
        if (!input.mapped()) std::_Exit(3);
        ::raise(SIGBUS);
        std::_Exit(5);
      },
      testing::KilledBySignal(SIGBUS), "");
}

TEST_F(MappedInputTest, TheGuardGoesWithTheMapping) {
  struct sigaction before {};
  ::sigaction(SIGBUS, nullptr, &before);
  {
    const int descriptor = ::open(input_.c_str(), O_RDONLY);
    const MappedInput input(descriptor, 3 * 4096, input_);
    ASSERT_TRUE(input.mapped());
    EXPECT_EQ(input.bytes(), std::string(3 * 4096, 'x'));
    ::close(descriptor);
  }
  struct sigaction after {};
  ::sigaction(SIGBUS, nullptr, &after);
  EXPECT_EQ(after.sa_handler, before.sa_handler);
}

TEST_F(MappedInputTest, AnInputIsNotMappedWhenTheResultGoesIntoItOrOverAFileInPlace) {
  const int descriptor = ::open(input_.c_str(), O_RDONLY);
  const std::string other = (directory_ / "other.txt").string();
  std::ofstream(other) << "x\n";
  const std::string link = (directory_ / "link").string();
  fs::create_symlink(input_, link);
  EXPECT_FALSE(mayMapInput(descriptor, input_));
  EXPECT_FALSE(mayMapInput(descriptor, link)) << "the input, by a symbolic link";
  EXPECT_TRUE(mayMapInput(descriptor, other));
  EXPECT_TRUE(mayMapInput(descriptor, (directory_ / "not yet.txt").string()));
  EXPECT_TRUE(mayMapInput(descriptor, "/dev/null"));
  // -o's file written over in place: reached by a link, or with a second name.
  const std::string toOther = (directory_ / "to other").string();
  fs::create_symlink(other, toOther);
  EXPECT_FALSE(mayMapInput(descriptor, toOther));
  fs::create_hard_link(other, directory_ / "other's second name");
  EXPECT_FALSE(mayMapInput(descriptor, other));
  // Standard output: the input itself (as `parasort f 1<>f` makes it), or another file.
  const int savedOutput = ::dup(STDOUT_FILENO);
  const int intoInput = ::open(input_.c_str(), O_RDWR);
  ::dup2(intoInput, STDOUT_FILENO);
  const bool intoItself = mayMapInput(descriptor, std::nullopt);
  const int intoOther = ::open(other.c_str(), O_WRONLY);
  ::dup2(intoOther, STDOUT_FILENO);
  const bool intoAnother = mayMapInput(descriptor, std::nullopt);
  ::dup2(savedOutput, STDOUT_FILENO);
  for (const int open : {savedOutput, intoInput, intoOther, descriptor}) ::close(open);
  EXPECT_FALSE(intoItself);
  EXPECT_TRUE(intoAnother);
}

}  // namespace
