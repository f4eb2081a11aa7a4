// Several inputs read as one stream, a few bytes at a time, against the same
// inputs read whole: the same bytes (separators put in after unended inputs
// only when text follows, later byte order marks left out, a CR and an LF
// across inputs left as they are), the same first separator, and the same
// first ill-formed byte named, however the stream is cut into pieces.
#include "concatenated_input.h"

#include "input_files.h"
#include "record_text.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using parasort::RecordTerminators;
using parasort::cli::ConcatenatedInput;
using parasort::cli::readInputs;

class ConcatenatedInputTest : public testing::Test {
 protected:
  void SetUp() override {
    directory_ = std::filesystem::temp_directory_path() /
                 ("parasort-concatenated-" + std::to_string(::getpid()) + "-" +
                  testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(directory_);
  }
  void TearDown() override { std::filesystem::remove_all(directory_); }

  std::vector<std::string> write(const std::vector<std::string>& contents) {
    std::vector<std::string> paths;
    for (const std::string& each : contents) {
      paths.push_back((directory_ / ("in" + std::to_string(paths.size()))).string());
      std::ofstream(paths.back(), std::ios::binary) << each;
    }
    return paths;
  }

 private:
  std::filesystem::path directory_;
};

// The stream, read `room` bytes or fewer at a time.
std::string streamOf(ConcatenatedInput& input, std::mt19937& random) {
  std::string stream;
  char buffer[5];
  while (true) {
    const ssize_t count = input.read(buffer, 1 + random() % sizeof buffer);
    EXPECT_GE(count, 0);
    if (count <= 0) return stream;
    stream.append(buffer, static_cast<std::size_t>(count));
  }
}

std::string randomInput(std::mt19937& random, bool withInvalidBytes) {
  // (Read a few bytes at a time, a U+2029 comes in two reads or three.)
  static const std::string valid[] = {"", "\xEF\xBB\xBF", "a", "b\n", "\r", "\n", "\r\n", "\xE2\x80\xA9", "\xC3\xA9",
                                      std::string("\0", 1)};
  static const std::string invalid[] = {"\xC3", "\xA9", "\xFF"};
  std::string text;
  for (auto count = random() % 6; count > 0; --count) {
    const bool bad = withInvalidBytes && random() % 8 == 0;
    text += bad ? invalid[random() % std::size(invalid)] : valid[random() % std::size(valid)];
  }
  return text;
}

TEST_F(ConcatenatedInputTest, IsTheTextOfTheInputsReadWhole) {
  std::mt19937 random(11);
  for (int round = 0; round < 3000; ++round) {
    const auto terminators = round % 4 == 0 ? RecordTerminators::nul : RecordTerminators::paragraph;
    std::vector<std::string> contents(1 + random() % 4);
    for (std::string& each : contents) each = randomInput(random, false);
    SCOPED_TRACE(testing::PrintToString(contents));
    const auto paths = write(contents);

    std::pmr::string whole;
    ASSERT_FALSE(readInputs(paths, terminators, whole));
    ConcatenatedInput input(paths, terminators);
    ASSERT_EQ(streamOf(input, random), std::string_view(whole));
    const std::string_view first = parasort::cli::separatorOf(whole, terminators);
    const bool holdsTerminator = whole.find_first_of("\r\n") != std::string::npos ||
                                 whole.find("\xE2\x80\xA9") != std::string::npos;
    if (holdsTerminator || terminators == RecordTerminators::nul) EXPECT_EQ(input.firstSeparator(), first);
    else EXPECT_EQ(input.firstSeparator(), std::nullopt);
  }
}

TEST_F(ConcatenatedInputTest, NamesTheFirstInvalidByteAsTheInputsReadWhole) {
  std::mt19937 random(12);
  for (int round = 0; round < 3000; ++round) {
    std::vector<std::string> contents(1 + random() % 4);
    for (std::string& each : contents) each = randomInput(random, true);
    SCOPED_TRACE(testing::PrintToString(contents));
    const auto paths = write(contents);

    std::pmr::string whole;
    const auto expected = readInputs(paths, RecordTerminators::paragraph, whole);
    ConcatenatedInput input(paths, RecordTerminators::paragraph);
    const std::string stream = streamOf(input, random);
    // Checked in pieces that end after an LF, as the filter's pieces do.
    std::optional<parasort::cli::InputProblem> found;
    for (std::size_t start = 0; start < stream.size() && !found;) {
      std::size_t end = stream.find('\n', start + random() % 4);
      end = end == std::string::npos ? stream.size() : end + 1;
      found = input.checkUtf8(std::string_view(stream).substr(start, end - start), start);
      start = end;
    }
    ASSERT_EQ(found.has_value(), expected.has_value());
    if (found) {
      EXPECT_EQ(found->message, expected->message);
    }
  }
}

}  // namespace
