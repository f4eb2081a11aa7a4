// The parasort program seen from outside: arguments, standard streams,
// files and the exit status, as a script or an editor would see them. What
// it does with input and output that go wrong is in bad_input_test.cpp.
#include "program_test_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace parasort::test;

class ParasortCommand : public ProgramTest {
 protected:
  using ProgramTest::run;
  // Runs with `input` on standard input and `environment` as the whole
  // environment besides PATH.
  Outcome run(const std::vector<std::string>& arguments, const std::string& input,
              std::vector<std::string> environment) const {
    return run(Invocation(arguments, input).inEnvironment(std::move(environment)));
  }
};

TEST_F(ParasortCommand, SortsStandardInputAscendingByDefault) {
  EXPECT_EQ(run({}, "item10\nitem9\nbanana\nApple\n"), succeeded("Apple\nbanana\nitem9\nitem10\n"));
}

TEST_F(ParasortCommand, UniqueAndDescending) {
  const std::string input = "item10\nitem9\nApple\napple\nbanana\n";
  EXPECT_EQ(run({"--unique"}, input).out, "Apple\nbanana\nitem9\nitem10\n");
  EXPECT_EQ(run({"-d", "-"}, input).out, "item10\nitem9\nbanana\nApple\napple\n");
}

TEST_F(ParasortCommand, KeepsTheTextsLineEndingsAndFinalState) {
  EXPECT_EQ(run({}, "b\r\na\nc").out, "a\r\nb\r\nc");
  EXPECT_EQ(run({}, "b\ra\r").out, "a\rb\r");
  EXPECT_EQ(run({}, "b\xE2\x80\xA9" "a").out, "a\xE2\x80\xA9" "b");
  EXPECT_EQ(run({}, "b\na").out, "a\nb");
  EXPECT_EQ(run({}, "").out, "");
  EXPECT_EQ(run({}, "single line without end").out, "single line without end");
}

TEST_F(ParasortCommand, KeepsAByteOrderMarkAtTheStartWithoutSortingIt) {
  EXPECT_EQ(run({}, "\xEF\xBB\xBF" "b\na\n").out, "\xEF\xBB\xBF" "a\nb\n");
  EXPECT_EQ(run({"-d"}, "\xEF\xBB\xBF" "a\nb").out, "\xEF\xBB\xBF" "b\na");
}

TEST_F(ParasortCommand, ReadsANamedFile) {
  writeFile(path("notes.txt"), "pear\nfig\n");
  EXPECT_EQ(run({"notes.txt"}).out, "fig\npear\n");
}

TEST_F(ParasortCommand, OutputFileIsCreatedWithTheUsualPermissionsAndThroughLinks) {
  writeFile(path("in.txt"), "2\n1\n");
  EXPECT_EQ(run({"--output=new.txt", "in.txt"}).status, 0);
  EXPECT_EQ(readFile(path("new.txt")), "1\n2\n");
  EXPECT_EQ(fs::status(path("new.txt")).permissions() & fs::perms::group_write, fs::perms::none);

  fs::create_symlink("in.txt", path("link.txt"));
  EXPECT_EQ(run({"-o", "link.txt", "in.txt"}).status, 0);
  EXPECT_TRUE(fs::is_symlink(path("link.txt")));
  EXPECT_EQ(readFile(path("in.txt")), "1\n2\n");

  // A link to nothing yet: what it leads to is made, and it stays a link.
  fs::create_directory(path("dir"));
  fs::create_symlink("dir/target.txt", path("dangling.txt"));
  EXPECT_EQ(run({"-o", "dangling.txt", "in.txt"}), succeeded(""));
  EXPECT_TRUE(fs::is_symlink(path("dangling.txt")));
  EXPECT_EQ(readFile(path("dir/target.txt")), "1\n2\n");
}

TEST_F(ParasortCommand, CollatesByTheNamedOrEnvironmentLocale) {
  const std::string input = "z\n\xC3\xB6\no\n";  // z, ö, o
  const std::string swedish = "o\nz\n\xC3\xB6\n";
  const std::string german = "o\n\xC3\xB6\nz\n";
  EXPECT_EQ(run({"--locale", "sv_SE"}, input).out, swedish);
  EXPECT_EQ(run({"-l", "sv_SE.UTF-8"}, input).out, swedish);
  EXPECT_EQ(run({"--locale=de-DE"}, input).out, german);
  EXPECT_EQ(run({}, input, {"LC_ALL=sv_SE.UTF-8"}).out, swedish);
  EXPECT_EQ(run({}, input, {"LC_COLLATE=sv_SE.UTF-8", "LANG=de_DE.UTF-8"}).out, swedish);
  EXPECT_EQ(run({}, input, {"LANG=sv_SE.UTF-8"}).out, swedish);
  EXPECT_EQ(run({"--locale", "de_DE"}, input, {"LC_ALL=sv_SE.UTF-8"}).out, german);
  // An empty name is the root collation, and never the next argument.
  EXPECT_EQ(run({"--locale=", "-d"}, input, {"LC_ALL=sv_SE.UTF-8"}), succeeded("z\n\xC3\xB6\no\n"));
}

TEST_F(ParasortCommand, UsageErrorsExitTwoWithAHintAndTouchNothing) {
  writeFile(path("in.txt"), "b\na\n");
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      // An empty output name would otherwise empty the input of
      // `parasort --output="$OUT" "$IN"` when OUT is unset.
      {{"--output=", "in.txt"}, "the output file name is empty"},
      {{"--output=", "-d", "in.txt"}, "the output file name is empty"},
      {{"-o", "a.txt", "-o", "b.txt", "in.txt"}, "multiple output files specified"},
      {{"--bogus", "--help"}, "unrecognized option '--bogus'"},
      {{"--version", "-a", "-u"}, "--ascending, --descending and --unique exclude one another"},
      {{"-o", "out.txt", "in.txt", "-"}, "extra operand '-'"},
  };
  for (const auto& [arguments, message] : cases) {
    SCOPED_TRACE(message);
    EXPECT_EQ(run(arguments, "b\na\n"),
              failed(2, "parasort: " + message + "\nTry 'parasort --help' for more information.\n"));
  }
  EXPECT_EQ(readFile(path("in.txt")), "b\na\n");
  EXPECT_EQ(strayFiles(), std::vector<std::string>{"in.txt"});
}

TEST_F(ParasortCommand, HelpAndVersionGoToStandardOutput) {
  auto result = run({"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.rfind("Usage: parasort", 0), 0u);
  EXPECT_EQ(run({"--version"}), succeeded("parasort " PARASORT_PROJECT_VERSION "\n"));
}

}  // namespace
