// parasort: sorts or de-duplicates the paragraphs of a text, as a filter.
#include "command_line.h"
#include "filter.h"

#include <iostream>
#include <span>

int main(int argc, char** argv) {
  using namespace parasort::cli;
  const auto arguments = std::span<const char* const>(argv, static_cast<std::size_t>(argc)).subspan(1);
  const CommandLine commandLine = parseCommandLine(arguments);
  switch (commandLine.action) {
    case CommandLine::Action::showHelp:
      std::cout << helpText();
      return std::cout.flush() ? exitSuccess : exitIoError;
    case CommandLine::Action::showVersion:
      std::cout << versionText();
      return std::cout.flush() ? exitSuccess : exitIoError;
    case CommandLine::Action::reportUsageError:
      std::cerr << "parasort: " << commandLine.usageError << "\n"
                << "Try 'parasort --help' for more information.\n";
      return exitBadInput;
    case CommandLine::Action::run:
      break;
  }
  return runFilter(commandLine.options, std::cerr);
}
