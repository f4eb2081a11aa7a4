// The X11 helper's pasteboard against stand-in helpers (shell scripts that
// answer as parasort-x11-clipboard does, or never): each request reads the
// clipboard afresh, a helper that never finishes gives no text within the
// limit and changes nothing, and a result is handed over whole.
#include "x11_helper_pasteboard.h"

#include "parasort/services/system_service_provider.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;

class X11HelperPasteboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "x11-helper-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    folder_ = pattern;
  }
  void TearDown() override { fs::remove_all(folder_); }

  // A helper whose `read` and `write` run these shell commands; it counts
  // its runs in the file "runs".
  std::string helper(const std::string& read, const std::string& write) {
    const fs::path path = folder_ / "helper";
    std::ofstream(path) << "#!/bin/sh\ncd '" << folder_.string() << "'\necho >>runs\n"
                        << "case $1 in read) " << read << " ;; write) " << write << " ;; esac\n";
    fs::permissions(path, fs::perms::owner_all);
    return path.string();
  }
  std::string file(const char* name) const {
    std::ostringstream contents;
    contents << std::ifstream(folder_ / name).rdbuf();
    return contents.str();
  }
  std::size_t runs() const {
    const std::string counted = file("runs");
    return static_cast<std::size_t>(std::count(counted.begin(), counted.end(), '\n'));
  }

  fs::path folder_;
};

TEST_F(X11HelperPasteboardTest, EachRequestReadsTheClipboardAfreshAndWritesItsResultWhole) {
  // The text names the run that read it.
  parasort::X11HelperPasteboard pasteboard(
      helper(R"sh(printf 'text/html\ntext/plain\n\nb\na %s' "$(wc -l <runs)")sh", "cat >written; echo ready"), 5s);
  EXPECT_EQ(pasteboard.types(), (std::vector<std::string>{"text/html", "text/plain"}));
  EXPECT_EQ(pasteboard.stringForType("text/plain"), u"b\na 1");  // the types' own run
  EXPECT_EQ(pasteboard.stringForType("text/plain"), u"b\na 2");  // never the text read before

  parasort::ServiceError error;
  parasort::SystemServiceProvider::sspSortParagraphsAscending(pasteboard, u"", &error);
  EXPECT_EQ(error, std::nullopt);
  EXPECT_EQ(runs(), 4U);  // one read for the request, one write
  EXPECT_EQ(file("written"), "a 3\nb");

  const std::string notPlainText[] = {"text/html"};
  pasteboard.declareTypes(notPlainText);
  EXPECT_FALSE(pasteboard.setString(u"<b>", "text/html"));  // the helper writes plain text only
  EXPECT_EQ(runs(), 4U);
}

TEST_F(X11HelperPasteboardTest, AHelperThatNeverFinishesGivesNoTextAndChangesNothing) {
  // It says its types, then waits for an owner that never hands its text over.
  parasort::X11HelperPasteboard pasteboard(helper(R"(printf 'text/plain\n\npart'; exec sleep 5)", "exec sleep 5"),
                                           300ms);
  parasort::ServiceError error;
  const auto start = std::chrono::steady_clock::now();
  parasort::SystemServiceProvider::sspUniqueParagraphs(pasteboard, u"", &error);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  EXPECT_EQ(error, u"No String Data");
  EXPECT_EQ(runs(), 1U);  // nothing was written

  // A writer that never says it holds the clipboard is a failed write.
  const std::string plainText[] = {"text/plain"};
  pasteboard.declareTypes(plainText);
  EXPECT_FALSE(pasteboard.setString(u"a", "text/plain"));
}

}  // namespace
