#include "command_line.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using namespace parasort::cli;
using parasort::ParagraphOrder;
using Action = CommandLine::Action;

CommandLine parse(const std::vector<const char*>& arguments) { return parseCommandLine(arguments); }

std::string describe(const std::vector<const char*>& arguments) {
  std::string text = "arguments:";
  for (const char* argument : arguments) text += std::string(" [") + argument + "]";
  return text;
}

TEST(CommandLine, ReadsOptionsAndOperandsAsGetoptLongDoes) {
  struct Case {
    std::vector<const char*> arguments;
    ParagraphOrder order;
    std::optional<std::string> locale;
    std::optional<std::string> output;
    std::string input;
  };
  const auto ascending = ParagraphOrder::ascending, descending = ParagraphOrder::descending,
             unique = ParagraphOrder::unique;
  const Case cases[] = {
      {{}, ascending, std::nullopt, std::nullopt, "-"},
      {{"-d", "-"}, descending, std::nullopt, std::nullopt, "-"},
      {{"-u", "--unique"}, unique, std::nullopt, std::nullopt, "-"},
      // Any unambiguous prefix of a long option.
      {{"--desc"}, descending, std::nullopt, std::nullopt, "-"},
      {{"--uniq", "x"}, unique, std::nullopt, std::nullopt, "x"},
      {{"--loc", "sv_SE", "--out=o.txt"}, ascending, "sv_SE", "o.txt", "-"},
      // Values: attached, separate or after '=', taken whatever they look like.
      {{"-lsv_SE", "-oout.txt", "notes.txt"}, ascending, "sv_SE", "out.txt", "notes.txt"},
      {{"-dlsv_SE"}, descending, "sv_SE", std::nullopt, "-"},
      {{"--locale", "-d", "-o", "-u"}, ascending, "-d", "-u", "-"},
      // An empty value is empty, never the next argument.
      {{"--locale=", "-d", "in.txt"}, descending, "", std::nullopt, "in.txt"},
      {{"-l", "", "in.txt"}, ascending, "", std::nullopt, "in.txt"},
      // Options after the operand; "--" ends the options.
      {{"in.txt", "-d", "--output", "o"}, descending, std::nullopt, "o", "in.txt"},
      {{"-u", "--", "-d"}, unique, std::nullopt, std::nullopt, "-d"},
      {{"--", "--help"}, ascending, std::nullopt, std::nullopt, "--help"},
      {{""}, ascending, std::nullopt, std::nullopt, ""},
  };
  for (const auto& [arguments, order, locale, output, input] : cases) {
    SCOPED_TRACE(describe(arguments));
    const auto result = parse(arguments);
    EXPECT_EQ(result.action, Action::run) << result.usageError;
    EXPECT_EQ(result.options.order, order);
    EXPECT_EQ(result.options.locale, locale);
    EXPECT_EQ(result.options.output, output);
    EXPECT_EQ(result.options.input, input);
  }
}

TEST(CommandLine, HelpOrVersionWhicheverComesFirst) {
  const std::pair<std::vector<const char*>, Action> cases[] = {
      {{"--help"}, Action::showHelp},         {{"-h", "in.txt"}, Action::showHelp},
      {{"--he"}, Action::showHelp},           {{"--version"}, Action::showVersion},
      {{"--v", "-d"}, Action::showVersion},   {{"--help", "--version"}, Action::showHelp},
      {{"--version", "-h"}, Action::showVersion},
  };
  for (const auto& [arguments, action] : cases) {
    SCOPED_TRACE(describe(arguments));
    EXPECT_EQ(parse(arguments).action, action);
  }
}

TEST(CommandLine, UsageErrorsInTheWordsOfGetoptLongAndWinOverHelp) {
  const std::pair<std::vector<const char*>, std::string> cases[] = {
      {{"--bogus"}, "unrecognized option '--bogus'"},
      {{"--bogus=1", "--help"}, "unrecognized option '--bogus=1'"},
      {{"--version", "--bogus"}, "unrecognized option '--bogus'"},
      {{"-x", "--help"}, "invalid option -- 'x'"},
      {{"-dx"}, "invalid option -- 'x'"},
      {{"--ascending=1"}, "option '--ascending' doesn't allow an argument"},
      {{"--help=x"}, "option '--help' doesn't allow an argument"},
      {{"--vers=2"}, "option '--version' doesn't allow an argument"},
      {{"--=x"},
       "option '--=x' is ambiguous; possibilities: '--ascending' '--descending' '--unique' '--locale' "
       "'--output' '--help' '--version'"},
      {{"-o"}, "option requires an argument -- 'o'"},
      {{"-d", "--out"}, "option '--output' requires an argument"},
      {{"--locale"}, "option '--locale' requires an argument"},
      {{"--output=", "in.txt"}, "the output file name is empty"},
      {{"-o", "", "--help"}, "the output file name is empty"},
      {{"-o", "a", "-o", "b"}, "multiple output files specified"},
      {{"-o", "a", "--output=a"}, "multiple output files specified"},
      {{"-a", "-d"}, "--ascending, --descending and --unique exclude one another"},
      {{"-d", "--uniq"}, "--ascending, --descending and --unique exclude one another"},
      {{"one", "two", "three"}, "extra operand 'two'"},
      {{"-d", "one", "-", "--help"}, "extra operand '-'"},
      // Whatever the option holds, the message stays one line.
      {{"--bo\ngus"}, "unrecognized option '--bo'$'\\n''gus'"},
      {{"-\x1b"}, "invalid option -- ''$'\\033'"},
      {{"in.txt", "my file"}, "extra operand 'my file'"},
  };
  for (const auto& [arguments, message] : cases) {
    SCOPED_TRACE(describe(arguments));
    const auto result = parse(arguments);
    EXPECT_EQ(result.action, Action::reportUsageError);
    EXPECT_EQ(result.usageError, message);
  }
}

}  // namespace
