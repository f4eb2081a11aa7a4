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

TEST_F(ParasortCommand, OutputFileReplacesInPlaceKeepingPermissions) {
  writeFile(path("list.txt"), "b\nc\na\n");
  fs::permissions(path("list.txt"), fs::perms(0640));
  EXPECT_EQ(run({"-o", "list.txt", "list.txt"}), succeeded(""));
  EXPECT_EQ(readFile(path("list.txt")), "a\nb\nc\n");
  EXPECT_EQ(fs::status(path("list.txt")).permissions(), fs::perms(0640));
  EXPECT_EQ(strayFiles(), std::vector<std::string>{"list.txt"});
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
}

TEST_F(ParasortCommand, UsageErrorsExitTwoWithAHint) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"--frobnicate"}, {"-a", "-u"}, {"one", "two"}, {"-o"}}) {
    const auto result = run(arguments, "b\na\n");
    EXPECT_EQ(result.status, 2) << arguments[0];
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("Try 'parasort --help' for more information."), std::string::npos);
  }
}

TEST_F(ParasortCommand, HelpAndVersionGoToStandardOutput) {
  auto result = run({"--help"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out.rfind("Usage: parasort", 0), 0u);
  EXPECT_EQ(run({"--version"}), succeeded("parasort " PARASORT_PROJECT_VERSION "\n"));
}

}  // namespace
