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
#include <pwd.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
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

class BadInput : public ProgramTest {
 protected:
  // What a file is besides its contents.
  struct FileState {
    ino_t inode = 0;
    mode_t mode = 0;
    uid_t owner = 0;
    gid_t group = 0;
    std::vector<std::pair<std::string, std::string>> attributes;  // extended attributes, sorted by name

    FileState withoutInode() const {
      FileState state = *this;
      state.inode = 0;
      return state;
    }
    bool operator==(const FileState&) const = default;
  };

  static FileState stateOf(const fs::path& file) {
    struct stat status {};
    EXPECT_EQ(::stat(file.c_str(), &status), 0) << file;
    FileState state{status.st_ino, status.st_mode, status.st_uid, status.st_gid, {}};
    // Small enough for the attributes that the tests set.
    const auto filled = [](ssize_t size) { return static_cast<std::size_t>(std::max<ssize_t>(0, size)); };
    std::string names(4096, '\0');
    names.resize(filled(::listxattr(file.c_str(), names.data(), names.size())));
    for (std::size_t start = 0; start < names.size(); start = names.find('\0', start) + 1) {
      const std::string name = names.c_str() + start;
      std::string value(4096, '\0');
      value.resize(filled(::getxattr(file.c_str(), name.c_str(), value.data(), value.size())));
      state.attributes.emplace_back(name, value);
    }
    std::sort(state.attributes.begin(), state.attributes.end());
    return state;
  }

  struct User {
    uid_t uid;
    gid_t gid;
    std::vector<std::string> launcher;  // what runs the program as that user
  };

  static User nobody() {
    const passwd* entry = ::getpwnam("nobody");
    return entry ? User{entry->pw_uid, entry->pw_gid, {}} : User{65534, 65534, {}};
  }

  // A user without root's rights who can run the program: the tests' own
  // user, or nobody (through setpriv) when the tests run as root.
  std::optional<User> unprivilegedUser() const {
    if (!runningAsRoot()) return User{::geteuid(), ::getegid(), {}};
    User user = nobody();
    user.launcher = {"/usr/bin/setpriv", "--reuid=" + std::to_string(user.uid),
                     "--regid=" + std::to_string(user.gid), "--clear-groups"};
    // The build tree may be out of the user's reach.
    if (!fs::exists(user.launcher.front()) ||
        run(Invocation({"--version"}).through(user.launcher)).status != 0)
      return std::nullopt;
    return user;
  }

  // A POSIX ACL as the kernel stores it: the owner rw, the user nobody r,
  // the group r, the mask r, others nothing (mode 0640 with one more entry).
  static std::string aclGrantingNobodyRead() {
    std::string acl;
    const auto put = [&acl](std::uint32_t value, int bytes) {
      for (int byte = 0; byte < bytes; ++byte) acl += static_cast<char>((value >> (8 * byte)) & 0xFF);
    };
    put(2, 4);  // version
    const std::uint32_t anyone = 0xFFFFFFFF;
    for (const auto& [tag, permissions, id] :
         {std::tuple{0x01u, 6u, anyone}, std::tuple{0x02u, 4u, static_cast<std::uint32_t>(nobody().uid)},
          std::tuple{0x04u, 4u, anyone}, std::tuple{0x10u, 4u, anyone}, std::tuple{0x20u, 0u, anyone}}) {
      put(tag, 2);
      put(permissions, 2);
      put(id, 4);
    }
    return acl;
  }
};

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
      // Names are quoted as a shell would need them, and the message stays one line.
      {Invocation({""}), "parasort: '': No such file or directory\n"},
      {Invocation({"my notes.txt"}), "parasort: 'my notes.txt': No such file or directory\n"},
      {Invocation({"isn't.txt"}), "parasort: \"isn't.txt\": No such file or directory\n"},
      {Invocation({"-o", "out.txt", "two\nlines"}), "parasort: 'two'$'\\n''lines': No such file or directory\n"},
      {Invocation({"\x1B[2J"}), "parasort: ''$'\\033''[2J': No such file or directory\n"},
      {Invocation({"caf\xC3\xA9\xFF.txt"}), "parasort: 'caf\xC3\xA9'$'\\377''.txt': No such file or directory\n"},
  };
  for (const auto& [invocation, error] : cases) {
    SCOPED_TRACE(error);
    EXPECT_EQ(run(invocation), failed(exitIoError, error));
  }
  EXPECT_EQ(readFile(path("out.txt")), "old contents\n");
  EXPECT_EQ(strayFiles(), (std::vector<std::string>{"folder", "out.txt"}));
}

TEST_F(BadInputFiles, AFileWithoutReadPermissionIsReported) {
  const auto user = unprivilegedUser();
  if (!user) GTEST_SKIP() << "no user without root's rights can run the program here";
  writeFile(path("secret.txt"), "b\na\n");
  fs::permissions(path("secret.txt"), fs::perms::none);
  EXPECT_EQ(run(Invocation({"secret.txt"}).through(user->launcher)),
            failed(exitIoError, "parasort: secret.txt: Permission denied\n"));
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

TEST_F(BadInputOutput, AnOutputFileKeepsWhatItWas) {
  writeFile(path("in.txt"), "b\na\n");
  struct Case {
    const char* situation;
    bool asRootOnly;
    // Makes out.txt what the case is about; false when this file system cannot.
    std::function<bool(const fs::path&)> arrange;
    bool writtenInPlace;
  };
  const Case cases[] = {
      {"a file of the caller's own", false, [](const fs::path& file) {
         fs::permissions(file, fs::perms(0640));
         return true;
       }, false},
      {"a file with a second name", false, [this](const fs::path& file) {
         fs::create_hard_link(file, path("second name"));
         return true;
       }, true},
      {"extended attributes and an ACL", false, [](const fs::path& file) {
         return ::setxattr(file.c_str(), "user.origin", "kept", 4, 0) == 0 &&
                ::setxattr(file.c_str(), "system.posix_acl_access", aclGrantingNobodyRead().data(),
                           aclGrantingNobodyRead().size(), 0) == 0;
       }, false},
      {"another user's private file, written by root", true, [](const fs::path& file) {
         fs::permissions(file, fs::perms(0600));
         return ::chown(file.c_str(), nobody().uid, nobody().gid) == 0;
       }, false},
      {"a read-only file, written by root", true, [](const fs::path& file) {
         fs::permissions(file, fs::perms(0444));
         return true;
       }, false},
  };
  for (const auto& [situation, asRootOnly, arrange, writtenInPlace] : cases) {
    SCOPED_TRACE(situation);
    fs::remove(path("out.txt"));
    fs::remove(path("second name"));
    writeFile(path("out.txt"), "old contents\n");
    if ((asRootOnly && !runningAsRoot()) || !arrange(path("out.txt"))) {
      std::cout << "[ SKIPPED  ] " << situation << ": not possible here\n";
      continue;
    }
    const FileState before = stateOf(path("out.txt"));
    EXPECT_EQ(run({"-o", "out.txt", "in.txt"}), succeeded(""));
    EXPECT_EQ(readFile(path("out.txt")), "a\nb\n");
    const FileState after = stateOf(path("out.txt"));
    EXPECT_EQ(after.inode == before.inode, writtenInPlace);
    EXPECT_EQ(after.withoutInode(), before.withoutInode());
    if (fs::exists(path("second name"))) {
      EXPECT_EQ(readFile(path("second name")), "a\nb\n");
    }
  }
  EXPECT_EQ(strayFiles(), (std::vector<std::string>{"in.txt", "out.txt"}));
}

TEST_F(BadInputOutput, WithoutRootsRightsAnOutputFileIsWrittenWhereAShellWouldWriteIt) {
  const auto user = unprivilegedUser();
  if (!user) GTEST_SKIP() << "no user without root's rights can run the program here";
  // Root prepares the files for the user, who can write only in "shared".
  fs::create_directory(path("shared"));
  fs::create_directory(path("locked"));
  writeFile(path("in.txt"), "b\na\n");
  writeFile(path("shared/read-only.txt"), "old contents\n");
  fs::permissions(path("shared/read-only.txt"), fs::perms(0444));
  writeFile(path("locked/own.txt"), "old contents\n");
  writeFile(path("shared/roots.txt"), "old contents\n");
  fs::permissions(path("shared/roots.txt"), fs::perms(0666));
  for (const char* mine : {"shared", "shared/read-only.txt", "locked", "locked/own.txt"})
    ASSERT_EQ(::lchown(path(mine).c_str(), user->uid, user->gid), 0) << mine;
  fs::permissions(path("shared"), fs::perms(0755));
  fs::permissions(path("locked"), fs::perms(0555));

  struct Case {
    const char* target;
    bool asRootOnly;  // root makes a file that the user does not own
    Outcome outcome;
    const char* contents;  // afterwards
  };
  const Case cases[] = {
      {"shared/read-only.txt", false, failed(exitIoError, "parasort: shared/read-only.txt: Permission denied\n"),
       "old contents\n"},
      {"locked/new.txt", false, failed(exitIoError, "parasort: locked/new.txt: Permission denied\n"), nullptr},
      // Written in place: the file stays the user's, in a directory they cannot write.
      {"locked/own.txt", false, succeeded(""), "a\nb\n"},
      // Written in place: the file stays root's.
      {"shared/roots.txt", true, succeeded(""), "a\nb\n"},
  };
  for (const auto& [target, asRootOnly, outcome, contents] : cases) {
    SCOPED_TRACE(target);
    if (asRootOnly && !runningAsRoot()) continue;
    const bool existed = fs::exists(path(target));
    const FileState before = existed ? stateOf(path(target)) : FileState{};
    EXPECT_EQ(run(Invocation({"-o", target, "in.txt"}).through(user->launcher)), outcome);
    if (!existed) {
      EXPECT_FALSE(fs::exists(path(target)));
      continue;
    }
    EXPECT_EQ(readFile(path(target)), contents);
    EXPECT_EQ(stateOf(path(target)), before);
  }
  EXPECT_EQ(strayFiles(path("shared")), (std::vector<std::string>{"read-only.txt", "roots.txt"}));
  EXPECT_EQ(strayFiles(path("locked")), std::vector<std::string>{"own.txt"});
}

TEST_F(BadInputOutput, AnOutputThatCannotBeWrittenLeavesTheOldFileAndNoTrace) {
  writeFile(path("in.txt"), "b\na\n");
  writeFile(path("old.txt"), "old contents\n");
  writeFile(path("linked.txt"), "old contents\n");
  fs::create_hard_link(path("linked.txt"), path("second name"));
  fs::create_symlink("loop", path("loop"));
  std::string lines;
  for (int line = 20'000; line > 0; --line) lines += "line " + std::to_string(line) + "\n";
  writeFile(path("long.txt"), lines);                          // 200 kB
  writeRepeated(path("many.txt"), "some line of text\n", 2'000'000);  // 36 MB

  struct Case {
    Invocation invocation;
    std::string error;
  };
  std::vector<Case> cases{
      {Invocation({"-o", "no/such/dir/out.txt", "in.txt"}),
       "parasort: no/such/dir/out.txt: No such file or directory\n"},
      {Invocation({"-o", "loop", "in.txt"}), "parasort: loop: Too many levels of symbolic links\n"},
      // Past the file size limit: an error, not SIGXFSZ. A file written in
      // place is not touched when the result cannot fit.
      {Invocation({"-o", "old.txt", "long.txt"}).withLimit("-f 50"), "parasort: old.txt: File too large\n"},
      {Invocation({"-o", "linked.txt", "long.txt"}).withLimit("-f 50"), "parasort: linked.txt: File too large\n"},
      // /proc refuses new files even to root: its old file stays as it was.
      {Invocation({"-o", "/proc/version", "in.txt"}),
       runningAsRoot() ? "parasort: /proc/version: cannot create a temporary file in '/proc': "
                         "No such file or directory\n"
                       : "parasort: /proc/version: Permission denied\n"},
  };
#if !defined(__SANITIZE_ADDRESS__)  // the address sanitizer needs more address space than that
  // Memory runs out for the sort keys.
  cases.push_back({Invocation({"-o", "old.txt", "many.txt"}).withLimit("-v 150000"),
                   "parasort: many.txt: not enough memory\n"});
#endif
  const std::string procVersion = readFile("/proc/version");
  for (const auto& [invocation, error] : cases) {
    SCOPED_TRACE(error);
    EXPECT_EQ(run(invocation), failed(exitIoError, error));
    EXPECT_EQ(readFile(path("old.txt")), "old contents\n");
    EXPECT_EQ(readFile(path("linked.txt")), "old contents\n");
  }
  EXPECT_EQ(readFile("/proc/version"), procVersion);
  EXPECT_EQ(strayFiles(), (std::vector<std::string>{"in.txt", "linked.txt", "long.txt", "loop", "many.txt",
                                                    "old.txt", "second name"}));
}

TEST_F(BadInputOutput, AFifoNamedAsOutputIsWrittenIntoNotReplaced) {
  // Replacing only makes sense for regular files: a FIFO (or a device such
  // as /dev/null) named by -o must receive the result and stay what it is,
  // also when reached through the links in /proc (/dev/stdout to a pipe).
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
  // Standard output a pipe without a name, as in `parasort -o /dev/stdout | cat`.
  EXPECT_EQ(run(Invocation({"-o", "/dev/stdout"}, "b\na\n").through({"/bin/sh", "-c", "\"$@\" | cat", "sh"})),
            succeeded("a\nb\n"));
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
  // Every signal that ends a process by default and can be caught.
  std::vector<Case> cases;
  for (const int signal : {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGPIPE, SIGALRM, SIGUSR1, SIGUSR2, SIGXCPU,
                           SIGVTALRM, SIGPROF})
    cases.push_back(cases.size() % 2 == 0 ? Case{signal, "old.txt", true} : Case{signal, "new.txt", false});
  for (const auto& [signal, target, targetExists] : cases) {
    SCOPED_TRACE(strsignal(signal));
    if (targetExists) writeFile(path(target), "old contents\n");
    const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, scratch_.c_str(), IN_CREATE), 0);
    // No core file from SIGQUIT and SIGXCPU.
    auto running = start(Invocation({"-o", target, "big.txt"}).withLimit("-c 0"));
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

TEST_F(BadInputInterrupt, ASignalWhileWritingInPlaceWaitsUntilTheFileIsWhole) {
  // A file with a second name is written in place, 64 KiB at a time. A
  // larger old file needs no room reserved, so the first change to it is the
  // result's first block; a sparse one makes the writing as slow as writing a
  // new file.
  writeRepeated(path("big.txt"), std::string(1023, 'x') + "\n", 64 << 10);
  writeFile(path("linked.txt"), "");
  fs::resize_file(path("linked.txt"), 65 << 20);
  fs::create_hard_link(path("linked.txt"), path("second name"));
  const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  ASSERT_GE(watch, 0);
  ASSERT_GE(::inotify_add_watch(watch, path("linked.txt").c_str(), IN_MODIFY), 0);
  auto running = start(Invocation({"-o", "linked.txt", "big.txt"}));
  ASSERT_TRUE(running);
  pollfd modified{.fd = watch, .events = POLLIN, .revents = 0};
  const int ready = ::poll(&modified, 1, 30'000);
  ::close(watch);
  ASSERT_EQ(ready, 1) << "the file was never written";

  Outcome ended;
  ASSERT_TRUE(running->stop(ended)) << "the output was complete before the signal could be sent; status "
                                    << ended.status << ", " << ended.err;
  ::kill(running->pid(), SIGTERM);
  ::kill(running->pid(), SIGCONT);
  const auto result = running->finish();

  EXPECT_EQ(result.killedBy, SIGTERM) << "exit status " << result.status << ", " << result.err;
  EXPECT_TRUE(sameContents(path("big.txt"), path("linked.txt")));
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

  // The warning for a locale name shown as `shown` (quoted).
  static std::string unknownLocaleWarning(const std::string& shown) {
    return "parasort: warning: no collation is known for locale " + shown + "; using the root collation\n";
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
    std::string shownAs = {};  // quoted in the warning; when empty, 'name'
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
      {std::string(300, 'x'), rootOrder, true}, {"\xFF\xFE", rootOrder, true, "''$'\\377\\376'"},
      {"xx\n\x1B[2J", rootOrder, true, "'xx'$'\\n\\033''[2J'"},
      {"@@@", rootOrder, true}, {".UTF-8", rootOrder, true}, {"@euro", rootOrder, true},
  };
  for (const auto& [name, order, warns, shownAs] : cases) {
    SCOPED_TRACE(name.substr(0, 20));
    const std::string warning = !warns ? "" : unknownLocaleWarning(shownAs.empty() ? "'" + name + "'" : shownAs);
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
  EXPECT_EQ(result.err, unknownLocaleWarning("'xx_YY'"));
  EXPECT_EQ(result.out.substr(0, 14), "line 0\nline 1\n");
  EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1000);
}

}  // namespace
