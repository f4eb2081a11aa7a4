// What the golden cases in cases/ cannot hold: owners, modes, hard links,
// extended attributes and FIFOs, which git does not keep; inputs too large
// to keep, made on the spot; limits on memory and file size; and signals
// while -o writes. Each test runs /bin/sh in a scratch directory, which
// sets the scene and runs the program as "$P" ($AS_USER "$P" for a user
// without root's rights).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

const bool root = ::geteuid() == 0;

// How a run ended: its exit status, or the signal that ended it.
struct Outcome {
  std::string out, err;
  int status = -1, signal = 0;
  bool operator==(const Outcome&) const = default;
};
void PrintTo(const Outcome& o, std::ostream* s) {
  *s << "{status " << o.status << ", signal " << o.signal << ", out " << testing::PrintToString(o.out)
     << ", err " << testing::PrintToString(o.err) << "}";
}
Outcome ok(std::string out = "") { return {std::move(out), "", 0}; }
Outcome failed(int status, std::string err) { return {"", std::move(err), status}; }

std::string contentsOf(const fs::path& file) {
  std::ostringstream contents;
  contents << std::ifstream(file, std::ios::binary).rdbuf();
  return contents.str();
}

// Waits up to 30 s for `condition`, looking every millisecond.
bool eventually(const std::function<bool()>& condition) {
  for (const auto end = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(1ms))
    if (condition()) return true;
  return false;
}

class ParasortSystem : public testing::Test {
 protected:
  void SetUp() override {
    ::umask(022);
    dir_ = fs::temp_directory_path() /
           ("parasort-" + std::string(testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
            std::to_string(::getpid()));
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    sh("printf 'b\\na\\n' >in; printf 'old contents\\n' >old");
  }
  void TearDown() override {
    if (running_ > 0 && ::kill(running_, SIGKILL) == 0) ::waitpid(running_, nullptr, 0);
    EXPECT_FALSE(temporaryLeft()) << "a temporary file was left behind";
    sh("chmod -R u+rwx .");
    fs::remove_all(dir_);
  }

  // Starts `script`, with nothing on standard input.
  pid_t start(const std::string& script) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addchdir_np(&actions, dir_.c_str());
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, ".out", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, ".err", O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::string strings[] = {"sh", "-c", script, "PATH=/usr/bin:/bin", "LC_ALL=C", "P=" PARASORT_BINARY,
                             root ? "AS_USER=setpriv --reuid=nobody --regid=nogroup --clear-groups" : "AS_USER="};
    char* argv[] = {strings[0].data(), strings[1].data(), strings[2].data(), nullptr};
    char* envp[] = {strings[3].data(), strings[4].data(), strings[5].data(), strings[6].data(), nullptr};
    EXPECT_EQ(posix_spawn(&running_, "/bin/sh", &actions, nullptr, argv, envp), 0);
    posix_spawn_file_actions_destroy(&actions);
    return running_;
  }
  Outcome finish(pid_t pid) {
    int status = 0;
    ::waitpid(pid, &status, 0);
    running_ = -1;
    return {contentsOf(dir_ / ".out"), contentsOf(dir_ / ".err"), WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            WIFSIGNALED(status) ? WTERMSIG(status) : 0};
  }
  Outcome sh(const std::string& script) { return finish(start(script)); }

  // Stops `pid`: false when it had already ended.
  bool stop(pid_t pid) {
    int status = 0;
    ::kill(pid, SIGSTOP);
    ::waitpid(pid, &status, WUNTRACED);
    if (!WIFSTOPPED(status)) running_ = -1;
    return WIFSTOPPED(status);
  }
  void signalStopped(pid_t pid, int signal) {
    ::kill(pid, signal);
    ::kill(pid, SIGCONT);
  }

  bool temporaryLeft() const {
    for (const auto& entry : fs::recursive_directory_iterator(dir_))
      if (entry.path().filename().string().starts_with(".parasort-")) return true;
    return false;
  }
  std::string stateOf(const std::string& file) {
    return sh("stat -c '%a %U %G' '" + file + "' && getfattr -dm- '" + file + "'").out;
  }

  fs::path dir_;
  pid_t running_ = -1;
};

TEST_F(ParasortSystem, LargeInputsLimitsAndDevicesLeaveTheOldFileAsItWas) {
  const std::pair<std::string, Outcome> cases[] = {
      {R"~(yes "$(printf 'line\303\251')" | head -n 500000 >large; printf '\370' >>large; "$P" large)~",
       failed(2, "parasort: large: invalid UTF-8 at byte 3500000\n")},
      {R"~(yes "$(printf 'abcdefghi\303\251')" | head -n 18200000 | tr -d '\n' >line; "$P" line | cmp - line)~", ok()},
      {R"(yes '' | head -n 5000000 | "$P" -u)", ok("\n")},
      // Small output fails when flushed at the end, large in the middle.
      {R"("$P" in >/dev/full)", failed(1, "parasort: standard output: No space left on device\n")},
      {R"(seq 100000 | "$P" >/dev/full)", failed(1, "parasort: standard output: No space left on device\n")},
      // Past the file size limit: an error, not SIGXFSZ; also when written in place.
      {R"(seq 20000 >long; ulimit -f 50; "$P" -o old long)", failed(1, "parasort: old: File too large\n")},
      {R"(seq 20000 >long; ln old linked; ulimit -f 50; "$P" -o old long)",
       failed(1, "parasort: old: File too large\n")},
      {R"("$P" -o /proc/version in)",
       failed(1, root ? "parasort: /proc/version: cannot create a temporary file in '/proc': No such file or "
                        "directory\n"
                      : "parasort: /proc/version: Permission denied\n")},
      {R"("$P" -o new in && stat -c %a new)", ok("644\n")},
      {R"("$P" -o /dev/stdout in | cat)", ok("a\nb\n")},
#if !defined(__SANITIZE_ADDRESS__)  // the address sanitizer needs more address space than that
      {R"(yes 'some line of text' | head -n 2000000 >many; ulimit -v 150000; "$P" -o old many)",
       failed(1, "parasort: many: not enough memory\n")},
#endif
  };
  for (const auto& [script, outcome] : cases) {
    SCOPED_TRACE(script);
    EXPECT_EQ(sh(script), outcome);
    EXPECT_EQ(contentsOf(dir_ / "old"), "old contents\n");
    EXPECT_FALSE(temporaryLeft());
  }
}

TEST_F(ParasortSystem, AnOutputFileKeepsItsOwnerModeAttributesAndLinks) {
  const struct {
    const char* arrange;
    bool rootOnly, writtenInPlace;
  } cases[] = {
      {"chmod 640 old", false, false},
      {"ln old 'second name'", false, true},
      {"setfattr -n user.origin -v kept old && setfacl -m u:nobody:r old", false, false},
      {"chmod 600 old && chown nobody:nogroup old", true, false},
      {"chmod 444 old", true, false},
  };
  for (const auto& [arrange, rootOnly, writtenInPlace] : cases) {
    SCOPED_TRACE(arrange);
    if (rootOnly && !root) continue;
    ASSERT_EQ(sh("rm -f old 'second name'; printf 'old contents\\n' >old; " + std::string(arrange)), ok());
    const std::string before = stateOf("old"), inode = sh("stat -c %i old").out;
    EXPECT_EQ(sh(R"("$P" -o old in)"), ok());
    EXPECT_EQ(contentsOf(dir_ / "old"), "a\nb\n");
    EXPECT_EQ(stateOf("old"), before);
    EXPECT_EQ(sh("stat -c %i old").out == inode, writtenInPlace);
    EXPECT_EQ(contentsOf(dir_ / "second name"), writtenInPlace ? "a\nb\n" : "");
  }
}

TEST_F(ParasortSystem, WithoutRootsRightsFilesAreReadAndWrittenWhereAShellWould) {
  if (sh(R"($AS_USER "$P" --version)").status != 0) GTEST_SKIP() << "nobody cannot run the program here";
  // The user may write in shared, and owns locked/own but not locked.
  ASSERT_EQ(sh("mkdir shared locked; for f in shared/read-only locked/own shared/roots; do cp old $f; done; "
               "cp in secret; chmod 000 secret; chmod 444 shared/read-only; chmod 666 shared/roots; "
               "chown " + (root ? std::string("nobody:nogroup") : "$(id -u):$(id -g)") +
               " shared shared/read-only locked locked/own; chmod 555 locked"),
            ok());
  const struct {
    const char* arguments;
    Outcome outcome;
    const char* target;    // what the program writes, if anything
    const char* contents;  // the target afterwards; null when there is none
  } cases[] = {
      {"secret", failed(1, "parasort: secret: Permission denied\n"), nullptr, nullptr},
      {"-o shared/read-only in", failed(1, "parasort: shared/read-only: Permission denied\n"),
       "shared/read-only", "old contents\n"},
      {"-o locked/new in", failed(1, "parasort: locked/new: Permission denied\n"), "locked/new", nullptr},
      // Written in place: the file stays its owner's, in a directory the user cannot write...
      {"-o locked/own in", ok(), "locked/own", "a\nb\n"},
      // ...or when the user may not give the new file the old one's owner.
      {"-o shared/roots in", ok(), "shared/roots", "a\nb\n"},
  };
  for (const auto& [arguments, outcome, target, contents] : cases) {
    SCOPED_TRACE(arguments);
    const std::string before = target && contents ? stateOf(target) : "";
    EXPECT_EQ(sh(R"($AS_USER "$P" )" + std::string(arguments)), outcome);
    if (!target) continue;
    EXPECT_EQ(fs::exists(dir_ / target), contents != nullptr);
    if (contents) {
      EXPECT_EQ(contentsOf(dir_ / target), contents);
      EXPECT_EQ(stateOf(target), before);
    }
  }
}

TEST_F(ParasortSystem, AFifoNamedAsOutputIsWrittenIntoNotReplaced) {
  ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0644), 0);
  const int reader = ::open((dir_ / "pipe").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  EXPECT_EQ(sh(R"("$P" -o pipe in)"), ok());
  char received[64] = {};
  const ssize_t count = ::read(reader, received, sizeof received);
  ::close(reader);
  EXPECT_EQ(std::string(received, static_cast<std::size_t>(std::max<ssize_t>(count, 0))), "a\nb\n");
  EXPECT_TRUE(fs::is_fifo(dir_ / "pipe"));
}

TEST_F(ParasortSystem, EveryEndingSignalWhileReplacingRemovesTheTemporaryFile) {
  // One 64 MiB line: checked quickly, then written out, slowly enough to be caught at it.
  sh("head -c 67108864 /dev/zero | tr '\\0' x >big");
  const int signals[] = {SIGHUP,  SIGINT,  SIGQUIT, SIGTERM,   SIGPIPE, SIGALRM,
                         SIGUSR1, SIGUSR2, SIGXCPU, SIGVTALRM, SIGPROF};
  for (std::size_t i = 0; i < std::size(signals); ++i) {
    SCOPED_TRACE(strsignal(signals[i]));
    const std::string target = i % 2 == 0 ? "old" : "new";
    const pid_t pid = start(R"(ulimit -c 0; exec "$P" -o )" + target + " big");
    ASSERT_TRUE(eventually([this] { return temporaryLeft(); })) << "no temporary file appeared";
    ASSERT_TRUE(stop(pid) && temporaryLeft()) << "the output was complete before the signal could come";
    signalStopped(pid, signals[i]);
    EXPECT_EQ(finish(pid).signal, signals[i]);
    EXPECT_FALSE(temporaryLeft());
    EXPECT_EQ(contentsOf(dir_ / "old"), "old contents\n");
    EXPECT_FALSE(fs::exists(dir_ / "new"));
  }
}

TEST_F(ParasortSystem, ASignalWhileWritingInPlaceWaitsUntilTheFileIsWhole) {
  // A larger old file needs no room reserved, so the result's first block is
  // the first change; a sparse one is written as slowly as a new file.
  sh(R"~(yes "$(head -c 1023 /dev/zero | tr '\0' x)" | head -n 65536 >big; truncate -s 65M old; ln old linked)~");
  const pid_t pid = start(R"(exec "$P" -o old big)");
  ASSERT_TRUE(eventually([this] { return std::ifstream(dir_ / "old").get() == 'x'; })) << "never written";
  ASSERT_TRUE(stop(pid)) << "the output was complete before the signal could come";
  signalStopped(pid, SIGTERM);
  EXPECT_EQ(finish(pid).signal, SIGTERM);
  EXPECT_EQ(sh("cmp big linked"), ok());
}

TEST_F(ParasortSystem, ASignalWhileBlockedOnASlowReaderEndsTheProgram) {
  sh("head -c 4194304 /dev/zero | tr '\\0' x >big; mkfifo pipe");
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(strsignal(signal));
    // A reader that never reads: the program fills the pipe and waits.
    const int reader = ::open((dir_ / "pipe").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    const pid_t pid = start(R"(exec "$P" big >pipe)");
    ASSERT_TRUE(eventually([reader] {
      int queued = 0;
      return ::ioctl(reader, FIONREAD, &queued) == 0 && queued >= ::fcntl(reader, F_GETPIPE_SZ);
    })) << "the program never filled the pipe";
    ::kill(pid, signal);
    EXPECT_EQ(finish(pid).signal, signal);
    ::close(reader);
  }
}

}  // namespace
