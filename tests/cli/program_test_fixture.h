// Running the parasort program as a script would, for the black-box tests:
// arguments, standard streams from and to files in a scratch directory of
// the test's own, an environment of the test's choosing, and how it ended.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

namespace parasort::test {

namespace fs = std::filesystem;
using namespace std::string_literals;

std::string readFile(const fs::path& path) {
  std::ifstream stream(path, std::ios::binary);
  std::stringstream contents;
  contents << stream.rdbuf();
  return contents.str();
}

void writeFile(const fs::path& path, const std::string& contents) {
  std::ofstream(path, std::ios::binary) << contents;
}

// How the program ended: an exit status, or the signal that killed it.
struct Outcome {
  std::string out;
  std::string err;
  int status = -1;      // the exit status, when it exited
  int killedBy = 0;     // the signal, when one ended it

  bool operator==(const Outcome&) const = default;
};

inline void PrintTo(const Outcome& outcome, std::ostream* stream) {
  *stream << "{status " << outcome.status << ", signal " << outcome.killedBy
          << ", out " << ::testing::PrintToString(outcome.out) << ", err " << ::testing::PrintToString(outcome.err)
          << "}";
}

// An exit with status 0 that printed `out`, and `err` on standard error.
inline Outcome succeeded(std::string out, std::string err = "") { return {std::move(out), std::move(err), 0}; }

// An exit with `status` that printed nothing but `err`.
inline Outcome failed(int status, std::string err) { return {"", std::move(err), status}; }

// How the program is started: its arguments, where its standard streams
// come from and go to, and its environment (the C locale unless told).
struct Invocation {
  explicit Invocation(std::vector<std::string> arguments_ = {}, std::string input_ = {})
      : arguments(std::move(arguments_)), input(std::move(input_)) {}

  Invocation&& readingFrom(fs::path path) && {
    inputPath = std::move(path);
    return std::move(*this);
  }
  Invocation&& writingTo(fs::path path) && {
    outputPath = std::move(path);
    return std::move(*this);
  }
  Invocation&& inEnvironment(std::vector<std::string> variables) && {
    environment = std::move(variables);
    return std::move(*this);
  }
  // Started by a command that then runs the program in its own process, as
  // `sh -c 'ulimit -f 100; exec "$@"' sh` or `setpriv --reuid=nobody` do.
  Invocation&& through(std::vector<std::string> command) && {
    launcher.insert(launcher.end(), command.begin(), command.end());
    return std::move(*this);
  }
  // With the limit that `ulimit OPTION` sets in a shell ("-f 100", "-v 200000").
  Invocation&& withLimit(const std::string& ulimitArguments) && {
    return std::move(*this).through({"/bin/sh", "-c", "ulimit " + ulimitArguments + " && exec \"$@\"", "sh"});
  }

  std::vector<std::string> arguments;
  std::string input;                   // standard input's contents...
  std::optional<fs::path> inputPath;   // ...or the file (FIFO, directory) it is opened from
  std::vector<std::string> environment{"LC_ALL=C"};
  std::optional<fs::path> outputPath;  // standard output's destination instead of a scratch file
  std::vector<std::string> launcher;   // the commands that run the program, outermost first
};

class ProgramTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    scratch_ = fs::temp_directory_path() /
               ("parasort-"s + test->test_suite_name() + "-" + test->name() + "-" + std::to_string(::getpid()));
    fs::remove_all(scratch_);
    fs::create_directories(scratch_);
    ::umask(022);  // the program under test inherits it
  }
  void TearDown() override {
    std::error_code ignored;
    for (const auto& entry : fs::recursive_directory_iterator(scratch_, ignored))
      if (entry.is_directory(ignored))
        fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::permissions(scratch_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(scratch_, ignored);
  }

  fs::path path(const std::string& name) const { return scratch_ / name; }

  // The program started and not yet waited for; killed and reaped if a
  // failed assertion leaves it running.
  class Running {
   public:
    Running(pid_t pid, fs::path out, fs::path err) : pid_(pid), out_(std::move(out)), err_(std::move(err)) {}
    Running(const Running&) = delete;
    Running& operator=(const Running&) = delete;
    ~Running() {
      if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
      }
    }
    pid_t pid() const { return pid_; }

    Outcome finish() {
      int status = 0;
      ::waitpid(pid_, &status, 0);
      Outcome outcome = ended(status);
      if (!out_.empty()) outcome.out = readFile(out_);
      return outcome;
    }

    // Stops the program; false when it had already ended (then it is reaped).
    bool stop(Outcome& endedWith) {
      ::kill(pid_, SIGSTOP);
      int status = 0;
      ::waitpid(pid_, &status, WUNTRACED);
      if (WIFSTOPPED(status)) return true;
      endedWith = ended(status);
      return false;
    }

   private:
    // The program reaped with `status`: how it ended, and what it said.
    Outcome ended(int status) {
      pid_ = -1;
      Outcome outcome;
      if (WIFEXITED(status)) outcome.status = WEXITSTATUS(status);
      if (WIFSIGNALED(status)) outcome.killedBy = WTERMSIG(status);
      outcome.err = readFile(err_);
      return outcome;
    }

    pid_t pid_;
    fs::path out_, err_;
  };

  std::unique_ptr<Running> start(const Invocation& invocation) const {
    const fs::path in = path(".stdin"), out = path(".stdout"), err = path(".stderr");
    if (!invocation.inputPath) writeFile(in, invocation.input);
    const fs::path& inputPath = invocation.inputPath ? *invocation.inputPath : in;
    const fs::path& outputPath = invocation.outputPath ? *invocation.outputPath : out;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, inputPath.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outputPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addchdir_np(&actions, scratch_.c_str());

    std::vector<std::string> argumentStrings = invocation.launcher;
    argumentStrings.push_back(PARASORT_BINARY);
    argumentStrings.insert(argumentStrings.end(), invocation.arguments.begin(), invocation.arguments.end());
    std::vector<char*> argv;
    for (auto& argument : argumentStrings) argv.push_back(argument.data());
    argv.push_back(nullptr);
    std::vector<std::string> environmentStrings{"PATH=/usr/bin:/bin"};
    environmentStrings.insert(environmentStrings.end(), invocation.environment.begin(),
                              invocation.environment.end());
    std::vector<char*> envp;
    for (auto& variable : environmentStrings) envp.push_back(variable.data());
    envp.push_back(nullptr);

    pid_t child = 0;
    const int error = posix_spawn(&child, argv.front(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) {
      ADD_FAILURE() << "cannot start " << argv.front() << ": " << std::strerror(error);
      return nullptr;
    }
    return std::make_unique<Running>(child, invocation.outputPath ? fs::path() : out, err);
  }

  Outcome run(const Invocation& invocation) const {
    auto running = start(invocation);
    return running ? running->finish() : Outcome{};
  }

  // Runs with `input` on standard input, in the C locale.
  Outcome run(const std::vector<std::string>& arguments, const std::string& input = "") const {
    return run(Invocation(arguments, input));
  }

  // What the program left in the scratch directory besides its standard streams.
  std::vector<std::string> strayFiles(const fs::path& directory) const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) {
      const std::string name = entry.path().filename();
      if (!name.starts_with(".std")) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  std::vector<std::string> strayFiles() const { return strayFiles(scratch_); }

  fs::path scratch_;
};

}  // namespace parasort::test
