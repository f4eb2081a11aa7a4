// The parasort program fed what it must refuse, survive or pass through
// exactly: ill-formed UTF-8, odd but valid bytes, very large inputs, files
// that cannot be read, output that cannot be written or is interrupted, and
// locale names of every shape. Each test runs the real program, as a script
// would, and checks the exact message and exit status.
#include "program_test_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace parasort::test;
using namespace std::string_literals;
using namespace std::chrono_literals;

constexpr int exitIoError = 1;
constexpr int exitBadInput = 2;

// `repetitions` copies of `block`, written without holding them all.
void writeRepeated(const fs::path& path, const std::string& block, std::size_t repetitions) {
  std::ofstream stream(path, std::ios::binary);
  for (std::size_t count = 0; count < repetitions; ++count) stream.write(block.data(), std::ssize(block));
}

// Compares two files a block at a time: the large ones do not fit twice in
// memory comfortably.
bool sameContents(const fs::path& left, const fs::path& right) {
  if (fs::file_size(left) != fs::file_size(right)) return false;
  std::ifstream a(left, std::ios::binary), b(right, std::ios::binary);
  std::string blockA(1 << 20, '\0'), blockB(1 << 20, '\0');
  while (a && b) {
    a.read(blockA.data(), std::ssize(blockA));
    b.read(blockB.data(), std::ssize(blockB));
    if (a.gcount() != b.gcount() || blockA.compare(0, static_cast<std::size_t>(a.gcount()), blockB, 0,
                                                   static_cast<std::size_t>(b.gcount())) != 0)
      return false;
  }
  return true;
}

bool runningAsRoot() { return ::geteuid() == 0; }

class BadInput : public ProgramTest {};

Outcome invalidAt(const std::string& name, std::size_t offset) {
  return failed(exitBadInput, "parasort: " + name + ": invalid UTF-8 at byte " + std::to_string(offset) + "\n");
}

// --- Ill-formed UTF-8 -------------------------------------------------------

class BadInputEncoding : public BadInput {};

struct IllFormed {
  const char* kind;
  std::string bytes;
};

const std::vector<IllFormed>& illFormedSequences() {
  static const std::vector<IllFormed> sequences = [] {
    std::vector<IllFormed> list{
        {"truncated two-byte sequence", "\xC3"},
        {"truncated three-byte sequence", "\xE2\x82"},
        {"truncated four-byte sequence", "\xF0\x9F\x98"},
        {"overlong two-byte slash", "\xC0\xAF"},
        {"overlong two-byte with C1", "\xC1\xBF"},
        {"overlong three-byte slash", "\xE0\x80\xAF"},
        {"overlong four-byte slash", "\xF0\x80\x80\xAF"},
        {"encoded high surrogate", "\xED\xA0\x80"},
        {"encoded low surrogate", "\xED\xBF\xBF"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80"},
        {"stray continuation byte", "\x80"},
        {"stray last continuation byte", "\xBF"},
        {"lone C0", "\xC0"},
        {"lone C1", "\xC1"},
    };
    for (int byte = 0xF5; byte <= 0xFF; ++byte)
      list.push_back({"lone byte F5..FF", std::string(1, static_cast<char>(byte))});
    return list;
  }();
  return sequences;
}

TEST_F(BadInputEncoding, RejectsEveryIllFormedSequenceAtStartMiddleAndEndNamingItsFirstByte) {
  for (const auto& [kind, bytes] : illFormedSequences()) {
    SCOPED_TRACE(kind);
    struct Placement {
      std::string text;
      std::size_t offset;
    };
    for (const auto& [text, offset] : {Placement{bytes + "\nok\n", 0}, Placement{"ok\n" + bytes + "\nzz\n", 3},
                                       Placement{"ok\nzz\n" + bytes, 6}})
      EXPECT_EQ(run({}, text), invalidAt("standard input", offset));
  }
}

TEST_F(BadInputEncoding, OffsetCountsBytesNotCharactersAndIncludesTheByteOrderMark) {
  EXPECT_EQ(run({}, "\xC3\xA9\xC3\xA9\n\xFF"), invalidAt("standard input", 5));
  EXPECT_EQ(run({}, "\xEF\xBB\xBF" "ok\n\xED\xA0\x80"), invalidAt("standard input", 6));
  // A byte order mark cut short is no byte order mark.
  EXPECT_EQ(run({}, "\xEF\xBB\nb\na\n"), invalidAt("standard input", 0));
}

TEST_F(BadInputEncoding, ReportsTheExactOffsetFarIntoALargeInput) {
  writeRepeated(path("large.txt"), "line\xC3\xA9\n", 500'000);  // 3,500,000 bytes
  std::ofstream(path("large.txt"), std::ios::binary | std::ios::app) << "\xF8";
  EXPECT_EQ(run({"large.txt"}), invalidAt("large.txt", 3'500'000));
}

TEST_F(BadInputEncoding, LeavesTheOutputFileAsItWasAndNoTemporaryFile) {
  writeFile(path("in.txt"), "b\na\n\xE0\x80\xAF\n");
  writeFile(path("out.txt"), "old contents\n");
  EXPECT_EQ(run({"-o", "out.txt", "in.txt"}), invalidAt("in.txt", 4));
  EXPECT_EQ(readFile(path("out.txt")), "old contents\n");
  EXPECT_EQ(strayFiles(), (std::vector<std::string>{"in.txt", "out.txt"}));
}

// --- Valid but unusual bytes --------------------------------------------------

class BadInputBytes : public BadInput {};

TEST_F(BadInputBytes, NulBytesAreOrdinaryCharactersKeptByteForByte) {
  // NUL is ignorable in the collation: "\0a" sorts as "a", "\0" as "".
  EXPECT_EQ(run({}, "b\0\0x\n\0a\n\0\n"s), succeeded("\0\n\0a\nb\0\0x\n"s));
  // NUL ends nothing: one paragraph comes back as it was.
  EXPECT_EQ(run({}, "b\0a\0"s).out, "b\0a\0"s);
  // Lines that differ only in NULs are duplicates; the first is kept.
  EXPECT_EQ(run({"-u"}, "\0\0\n\0\n\n"s).out, "\0\0\n"s);
}

TEST_F(BadInputBytes, AByteOrderMarkAloneOrWithEmptyLinesComesBackAsItIs) {
  for (const std::string text : {"\xEF\xBB\xBF", "\xEF\xBB\xBF\n", "\xEF\xBB\xBF\r\n\r\n", "\xEF\xBB\xBF\xE2\x80\xA9"}) {
    for (const std::string order : {"-a", "-d", "-u"}) {
      SCOPED_TRACE(order);
      EXPECT_EQ(run({order}, text),
                succeeded(order == "-u" && text == "\xEF\xBB\xBF\r\n\r\n" ? "\xEF\xBB\xBF\r\n" : text));
    }
  }
}

// --- Very large inputs ---------------------------------------------------------

class BadInputSize : public BadInput {};

TEST_F(BadInputSize, PassesA200MegabyteLineThroughUnchanged) {
  // 1 MiB blocks of ASCII with some two-byte characters, no terminator.
  std::string block;
  while (block.size() < (std::size_t{1} << 20) - 12) block += "abcdefghi\xC3\xA9 ";
  writeRepeated(path("line.txt"), block, 200);
  ASSERT_GE(fs::file_size(path("line.txt")), 200'000'000u);
  EXPECT_EQ(run(Invocation({"line.txt"}).writingTo(path("sorted.txt"))), succeeded(""));
  EXPECT_TRUE(sameContents(path("line.txt"), path("sorted.txt")));
}

TEST_F(BadInputSize, FiveMillionEmptyLinesCollapseToOne) {
  writeFile(path("empty.txt"), std::string(5'000'000, '\n'));
  EXPECT_EQ(run({"-u", "empty.txt"}), succeeded("\n"));
}

// --- Inputs that cannot be read ------------------------------------------------

class BadInputFiles : public BadInput {};

TEST_F(BadInputFiles, AnInputThatCannotBeReadIsReportedAndTheOutputFileKept) {
  fs::create_directory(path("folder"));
  writeFile(path("out.txt"), "old contents\n");
  struct Case {
    Invocation invocation;
    std::string error;
  };
  const Case cases[] = {
      {Invocation({"folder"}), "parasort: folder: Is a directory\n"},
      {Invocation().readingFrom(path("folder")), "parasort: standard input: Is a directory\n"},
      {Invocation({"-o", "out.txt", "missing.txt"}), "parasort: missing.txt: No such file or directory\n"},
      {Invocation({"-o", "out.txt", "out.txt/"}), "parasort: out.txt/: Not a directory\n"},
      // Reading a process's own memory from address 0 fails, even for root.
      {Invocation({"/proc/self/mem"}), "parasort: /proc/self/mem: Input/output error\n"},
  };
  for (const auto& [invocation, error] : cases) {
    SCOPED_TRACE(error);
    EXPECT_EQ(run(invocation), failed(exitIoError, error));
  }
  EXPECT_EQ(readFile(path("out.txt")), "old contents\n");
  EXPECT_EQ(strayFiles(), (std::vector<std::string>{"folder", "out.txt"}));
}

TEST_F(BadInputFiles, AFileWithoutReadPermissionIsReported) {
  if (runningAsRoot()) GTEST_SKIP() << "root reads files whatever their permissions";
  writeFile(path("secret.txt"), "b\na\n");
  fs::permissions(path("secret.txt"), fs::perms::none);
  EXPECT_EQ(run({"secret.txt"}), failed(exitIoError, "parasort: secret.txt: Permission denied\n"));
}

// --- Output that cannot be written -----------------------------------------------

class BadInputOutput : public BadInput {};

TEST_F(BadInputOutput, AFullDeviceOnStandardOutputIsReportedOnce) {
  // Small output fails when flushed at the end, large output in the middle.
  for (const std::size_t lines : {2u, 100'000u}) {
    SCOPED_TRACE(lines);
    std::string text;
    for (std::size_t line = lines; line > 0; --line) text += "line " + std::to_string(line) + "\n";
    EXPECT_EQ(run(Invocation({}, text).writingTo("/dev/full")),
              failed(exitIoError, "parasort: standard output: No space left on device\n"));
  }
}

TEST_F(BadInputOutput, AnOutputFileThatCannotBeMadeFailsLeavingNoTrace) {
  writeFile(path("in.txt"), "b\na\n");
  // /proc refuses new files even to root: its old file stays as it was.
  const std::string before = readFile("/proc/version");
  for (const auto& [target, error] :
       {std::pair{"no/such/dir/out.txt", "cannot create a temporary file in no/such/dir: No such file or directory"},
        std::pair{"/proc/version", "cannot create a temporary file in /proc: No such file or directory"}}) {
    EXPECT_EQ(run({"-o", target, "in.txt"}), failed(exitIoError, "parasort: "s + target + ": " + error + "\n"));
  }
  EXPECT_EQ(readFile("/proc/version"), before);
  EXPECT_EQ(strayFiles(), std::vector<std::string>{"in.txt"});
}

TEST_F(BadInputOutput, AReadOnlyDirectoryKeepsItsOldFile) {
  if (runningAsRoot()) GTEST_SKIP() << "root writes into read-only directories";
  fs::create_directory(path("locked"));
  writeFile(path("locked/out.txt"), "old contents\n");
  fs::permissions(path("locked"), fs::perms(0555));
  EXPECT_EQ(run({"-o", "locked/out.txt"}, "b\na\n"),
            failed(exitIoError,
                   "parasort: locked/out.txt: cannot create a temporary file in locked: Permission denied\n"));
  EXPECT_EQ(readFile(path("locked/out.txt")), "old contents\n");
  EXPECT_EQ(strayFiles(path("locked")), std::vector<std::string>{"out.txt"});
}

TEST_F(BadInputOutput, AFifoNamedAsOutputIsWrittenIntoNotReplaced) {
  // Replacing only makes sense for regular files: a FIFO (or a device such
  // as /dev/null) named by -o must receive the result and stay what it is.
  ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0644), 0);
  const int reader = ::open(path("pipe").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(reader, 0);
  const auto result = run({"-o", "pipe"}, "b\na\n");
  std::array<char, 64> received{};
  const ssize_t count = ::read(reader, received.data(), received.size());
  ::close(reader);
  EXPECT_EQ(result, succeeded(""));
  EXPECT_TRUE(fs::is_fifo(path("pipe")));
  EXPECT_EQ(std::string(received.data(), count > 0 ? static_cast<std::size_t>(count) : 0), "a\nb\n");
  EXPECT_EQ(strayFiles(), std::vector<std::string>{"pipe"});
}

TEST_F(BadInputOutput, ADeviceNamedAsOutputIsWrittenThrough) {
  writeFile(path("in.txt"), "b\na\n");
  EXPECT_EQ(run({"-o", "/dev/null", "in.txt"}), succeeded(""));
  EXPECT_EQ(run({"-o", "/dev/full", "in.txt"}), failed(exitIoError, "parasort: /dev/full: No space left on device\n"));
  EXPECT_EQ(strayFiles(), std::vector<std::string>{"in.txt"});
}

// --- Interrupted output ------------------------------------------------------------

class BadInputInterrupt : public BadInput {
 protected:
  // Waits up to `limit` for a file whose name starts with `prefix` to be
  // created in the scratch directory, as `watch` (inotify) reports.
  static bool awaitCreation(int watch, std::string_view prefix, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    alignas(inotify_event) std::array<char, 4096> events{};
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd ready{.fd = watch, .events = POLLIN, .revents = 0};
      if (::poll(&ready, 1, 100) <= 0) continue;
      const ssize_t length = ::read(watch, events.data(), events.size());
      for (ssize_t offset = 0; offset < length;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events.data() + offset);
        if (event->len > 0 && std::string_view(event->name).starts_with(prefix)) return true;
        offset += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return false;
  }

  std::vector<std::string> temporaryFiles() const {
    std::vector<std::string> names;
    for (const auto& name : strayFiles())
      if (name.starts_with(".parasort-")) names.push_back(name);
    return names;
  }
};

TEST_F(BadInputInterrupt, ASignalWhileReplacingRemovesTheTemporaryAndKeepsTheOldFile) {
  // One 64 MiB line: read and checked quickly, then written out whole, which
  // takes long enough to be caught in the act.
  writeRepeated(path("big.txt"), std::string(1 << 20, 'x'), 64);
  struct Case {
    int signal;
    const char* target;
    bool targetExists;
  };
  for (const auto& [signal, target, targetExists] :
       {Case{SIGTERM, "old.txt", true}, Case{SIGINT, "old.txt", true}, Case{SIGHUP, "new.txt", false}}) {
    SCOPED_TRACE(strsignal(signal));
    if (targetExists) writeFile(path(target), "old contents\n");
    const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, scratch_.c_str(), IN_CREATE), 0);
    auto running = start(Invocation({"-o", target, "big.txt"}));
    ASSERT_TRUE(running);
    const bool created = awaitCreation(watch, ".parasort-", 30s);
    ::close(watch);
    ASSERT_TRUE(created) << "no temporary file appeared";

    Outcome ended;
    ASSERT_TRUE(running->stop(ended)) << "the output was complete before the signal could be sent; status "
                                      << ended.status << ", " << ended.err;
    ASSERT_EQ(temporaryFiles().size(), 1u);
    ::kill(running->pid(), signal);
    ::kill(running->pid(), SIGCONT);
    const auto result = running->finish();

    EXPECT_EQ(result.killedBy, signal) << "exit status " << result.status << ", " << result.err;
    EXPECT_EQ(temporaryFiles(), std::vector<std::string>{});
    if (targetExists) {
      EXPECT_EQ(readFile(path(target)), "old contents\n");
    } else {
      EXPECT_FALSE(fs::exists(path(target)));
    }
  }
}

TEST_F(BadInputInterrupt, ASignalWhileBlockedOnASlowReaderEndsTheProgram) {
  writeRepeated(path("big.txt"), std::string(1 << 20, 'x'), 4);
  for (const int signal : {SIGINT, SIGTERM}) {
    SCOPED_TRACE(strsignal(signal));
    fs::remove(path("pipe"));
    ASSERT_EQ(::mkfifo(path("pipe").c_str(), 0644), 0);
    // A reader that never reads: the program fills the pipe and waits.
    const int reader = ::open(path("pipe").c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(reader, 0);
    auto running = start(Invocation({"big.txt"}).writingTo(path("pipe")));
    ASSERT_TRUE(running);
    int buffered = 0;
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
      ::ioctl(reader, FIONREAD, &buffered);
      if (buffered >= ::fcntl(reader, F_GETPIPE_SZ)) break;
      std::this_thread::sleep_for(1ms);
    }
    ASSERT_GE(buffered, ::fcntl(reader, F_GETPIPE_SZ)) << "the program never filled the pipe";
    ::kill(running->pid(), signal);
    const auto result = running->finish();
    ::close(reader);
    EXPECT_EQ(result.killedBy, signal) << "exit status " << result.status << ", " << result.err;
    EXPECT_EQ(strayFiles(), (std::vector<std::string>{"big.txt", "pipe"}));
  }
}

// --- Locale names ---------------------------------------------------------------------

class BadInputLocale : public BadInput {
 protected:
  static constexpr const char* input = "z\n\xC3\xB6\no\nB\na\n";       // z, ö, o, B, a
  static constexpr const char* rootOrder = "a\nB\no\n\xC3\xB6\nz\n";
  static constexpr const char* swedishOrder = "a\nB\no\nz\n\xC3\xB6\n";

  static std::string unknownLocaleWarning(const std::string& name) {
    return "parasort: warning: no collation is known for locale '" + name + "'; using the root collation\n";
  }
};

TEST_F(BadInputLocale, EnvironmentLocalesAreReadLenientlyAndNeverWarn) {
  const std::string huge = "LC_ALL=" + std::string(10'000, 'x');
  struct Case {
    std::vector<std::string> environment;
    const char* order;
  };
  const Case cases[] = {
      // Unknown or malformed: the root collation.
      {{"LC_ALL=xx_YY"}, rootOrder}, {{"LC_ALL=xx_YY.UTF-8"}, rootOrder}, {{"LANG=xx_YY.UTF-8"}, rootOrder},
      {{"LC_ALL=C.UTF-8"}, rootOrder}, {{"LANG="}, rootOrder}, {{"LC_ALL=", "LC_COLLATE=", "LANG="}, rootOrder},
      {{}, rootOrder}, {{"LC_ALL=@@@"}, rootOrder}, {{"LC_ALL=.UTF-8"}, rootOrder}, {{huge}, rootOrder},
      {{"LC_ALL=\xFF\xFE"}, rootOrder}, {{"LC_COLLATE=xx_YY", "LANG=sv_SE.UTF-8"}, rootOrder},
      // Codesets and modifiers are dropped from POSIX names.
      {{"LC_ALL=sv_SE.UTF-8@euro"}, swedishOrder}, {{"LC_ALL=sv_SE.ISO-8859-1"}, swedishOrder},
      {{"LC_ALL=sv_SE.UTF-8@"}, swedishOrder}, {{"LC_ALL=sv_XX"}, swedishOrder},
  };
  for (const auto& [environment, order] : cases) {
    SCOPED_TRACE(environment.empty() ? "no locale variables" : environment.front().substr(0, 40));
    EXPECT_EQ(run(Invocation({}, input).inEnvironment(environment)), succeeded(order));
  }
}

TEST_F(BadInputLocale, NamedLocalesWarnOnlyWhenNoCollationIsKnown) {
  struct Case {
    std::string name;
    const char* order;
    bool warns;
  };
  const Case cases[] = {
      // Codesets and modifiers are dropped from POSIX names.
      {"sv_SE.UTF-8@euro", swedishOrder, false}, {"sv_SE.ISO-8859-1", swedishOrder, false},
      {"sv_SE.UTF-8@", swedishOrder, false}, {"sv_XX", swedishOrder, false},
      // The C and POSIX locales are the root collation.
      {"C", rootOrder, false}, {"C.UTF-8", rootOrder, false}, {"POSIX", rootOrder, false},
      {"root", rootOrder, false}, {"und", rootOrder, false},
      // No collation data, or no language at all: only C, POSIX (with or
      // without a codeset) and the empty name stand for the root collation.
      {"xx_YY", rootOrder, true}, {"zz", rootOrder, true}, {"_", rootOrder, true}, {"-", rootOrder, true},
      {std::string(300, 'x'), rootOrder, true}, {"\xFF\xFE", rootOrder, true},
      {"@@@", rootOrder, true}, {".UTF-8", rootOrder, true}, {"@euro", rootOrder, true},
  };
  for (const auto& [name, order, warns] : cases) {
    SCOPED_TRACE(name.substr(0, 20));
    const std::string warning = warns ? unknownLocaleWarning(name) : "";
    EXPECT_EQ(run({"--locale", name}, input), succeeded(order, warning));
    // The warning comes once whatever the order.
    if (warns) {
      EXPECT_EQ(run({"--locale", name, "-d"}, input).err, warning);
      EXPECT_EQ(run({"--locale", name, "-u"}, input).err, warning);
    }
  }
}

TEST_F(BadInputLocale, TheWarningComesOnceForALargeInputToo) {
  // Large enough to be ordered in parallel by sort keys.
  std::string text;
  for (int line = 300'000; line > 0; --line) text += "line " + std::to_string(line % 1000) + "\n";
  const auto result = run({"--locale", "xx_YY", "-u"}, text);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, unknownLocaleWarning("xx_YY"));
  EXPECT_EQ(result.out.substr(0, 14), "line 0\nline 1\n");
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1000);
}

}  // namespace
