// A mapped file reads as the file does, whatever pages are let go, and
// tells its own addresses from others.
#include "parasort/platform/mapped_file.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace {

using parasort::platform::MappedFile;

class MappedFileTest : public testing::Test {
 protected:
  void SetUp() override {
    char name[] = "/tmp/mapped_file_testXXXXXX";
    descriptor_ = ::mkstemp(name);
    ASSERT_GE(descriptor_, 0);
    path_ = name;
    // Several pages of bytes that differ from page to page.
    for (std::size_t index = 0; index < 5 * 4096 + 123; ++index)
      contents_ += static_cast<char>('a' + (index * 7 + index / 4096) % 26);
    ASSERT_EQ(::write(descriptor_, contents_.data(), contents_.size()), static_cast<ssize_t>(contents_.size()));
  }
  void TearDown() override {
    ::close(descriptor_);
    std::remove(path_.c_str());
  }

  int descriptor_ = -1;
  std::string path_;
  std::string contents_;
};

TEST_F(MappedFileTest, ReadsAsTheFileWhateverIsLetGo) {
  const auto mapped = MappedFile::map(descriptor_, contents_.size());
  ASSERT_TRUE(mapped.has_value());
  EXPECT_EQ(mapped->bytes(), contents_);
  // Stretches that begin and end inside pages, whole pages, the end, beyond it.
  const std::pair<std::size_t, std::size_t> stretches[] = {
      {0, 10}, {100, 9000}, {4096, 4096}, {3 * 4096 - 1, 2}, {contents_.size() - 50, 50}, {0, 1 << 20}, {1 << 20, 5}};
  for (const auto& [offset, length] : stretches) {
    mapped->letGo(offset, length);
    ASSERT_EQ(mapped->bytes(), contents_) << "after letting go of " << offset << " + " << length;
  }
}

TEST_F(MappedFileTest, KnowsItsOwnAddresses) {
  const auto mapped = MappedFile::map(descriptor_, contents_.size());
  ASSERT_TRUE(mapped.has_value());
  const char* start = mapped->bytes().data();
  const auto page = static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
  const std::size_t pagesEnd = (contents_.size() + page - 1) / page * page;
  EXPECT_TRUE(mapped->contains(start));
  EXPECT_TRUE(mapped->contains(start + contents_.size() - 1));
  // The rest of the last page is the mapping's too (a read there faults as
  // one past the end of a shortened file does).
  EXPECT_TRUE(mapped->contains(start + pagesEnd - 1));
  EXPECT_FALSE(mapped->contains(start + pagesEnd));
  EXPECT_FALSE(mapped->contains(start - 1));
  EXPECT_FALSE(mapped->contains(contents_.data()));
}

}  // namespace
