#include "command_line.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace {

using namespace parasort::cli;
using parasort::ParagraphOrder;
using Action = CommandLine::Action;

CommandLine parse(std::initializer_list<const char*> arguments) {
  const std::vector<const char*> list(arguments);
  return parseCommandLine(list);
}

TEST(CommandLine, DefaultsToAscendingFromStandardInputToStandardOutput) {
  const auto result = parse({});
  EXPECT_EQ(result.action, Action::run);
  EXPECT_EQ(result.options.order, ParagraphOrder::ascending);
  EXPECT_EQ(result.options.input, "-");
  EXPECT_FALSE(result.options.output);
  EXPECT_FALSE(result.options.locale);
}

TEST(CommandLine, ReadsModesInLongAndShortForms) {
  EXPECT_EQ(parse({"--descending"}).options.order, ParagraphOrder::descending);
  EXPECT_EQ(parse({"-d"}).options.order, ParagraphOrder::descending);
  EXPECT_EQ(parse({"--unique"}).options.order, ParagraphOrder::unique);
  EXPECT_EQ(parse({"-u"}).options.order, ParagraphOrder::unique);
  EXPECT_EQ(parse({"-a"}).options.order, ParagraphOrder::ascending);
  EXPECT_EQ(parse({"-u", "-u"}).options.order, ParagraphOrder::unique);
}

TEST(CommandLine, ReadsValuesInEveryUsualSpelling) {
  const auto result = parse({"-lsv_SE", "-o", "out.txt", "notes.txt"});
  EXPECT_EQ(result.action, Action::run);
  EXPECT_EQ(result.options.locale, "sv_SE");
  EXPECT_EQ(result.options.output, "out.txt");
  EXPECT_EQ(result.options.input, "notes.txt");
  const auto longForms = parse({"--locale=de-DE", "--output", "o", "--", "-notes"});
  EXPECT_EQ(longForms.options.locale, "de-DE");
  EXPECT_EQ(longForms.options.output, "o");
  EXPECT_EQ(longForms.options.input, "-notes");
  EXPECT_EQ(parse({"-"}).options.input, "-");
}

TEST(CommandLine, HelpAndVersion) {
  EXPECT_EQ(parse({"--help"}).action, Action::showHelp);
  EXPECT_EQ(parse({"-h"}).action, Action::showHelp);
  EXPECT_EQ(parse({"--version"}).action, Action::showVersion);
}

TEST(CommandLine, UsageErrorsNameTheOffendingArgument) {
  EXPECT_EQ(parse({"--bogus"}).usageError, "unrecognized option '--bogus'");
  EXPECT_EQ(parse({"-x", "file"}).usageError, "unrecognized option '-x'");
  EXPECT_EQ(parse({"one", "two"}).usageError, "extra operand 'two'");
  EXPECT_EQ(parse({"-o"}).usageError, "option '--output' needs a value");
  EXPECT_EQ(parse({"-d", "--unique"}).usageError, "--ascending, --descending and --unique exclude one another");
}

TEST(CommandLine, UsageErrorsSayWhy) {
  for (auto arguments : {std::initializer_list<const char*>{"--bogus"}, {"-a", "-d"}, {"-d", "-u"},
                         {"one", "two"}, {"-o"}, {"--locale"}, {"-o", ""}, {""}}) {
    const auto result = parse(arguments);
    EXPECT_EQ(result.action, Action::reportUsageError) << *arguments.begin();
    EXPECT_FALSE(result.usageError.empty());
  }
}

}  // namespace
