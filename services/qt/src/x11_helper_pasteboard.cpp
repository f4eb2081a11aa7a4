#include "x11_helper_pasteboard.h"

#include "parasort/services/pipe_transfer.h"

#include <QCoreApplication>
#include <QtGlobal>
#include <QString>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>

extern char** environ;

namespace parasort {
namespace {

// The reply of `helper read`: the types, one a line, an empty line, then
// the text as UTF-8; exit status 0 when the text is there. A helper stopped
// at the limit may have said its types.
struct HelperReply {
  bool answered = false;
  int status = -1;
  std::string output;
};

HelperReply runReader(const std::string& helper, std::chrono::milliseconds limit) {
  HelperReply reply;
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return reply;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  std::string read = "read";
  std::array<char*, 3> argv{const_cast<char*>(helper.c_str()), read.data(), nullptr};
  pid_t pid = 0;
  const bool started = posix_spawn(&pid, helper.c_str(), &actions, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (!started) {
    ::close(out[0]);
    return reply;
  }
  PipeRead output = readPipe(out[0], limit);
  if (!output.ended) ::kill(pid, SIGKILL);  // it never finished: its answer is not waited for
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  reply.answered = output.ended && WIFEXITED(status);
  reply.status = reply.answered ? WEXITSTATUS(status) : -1;
  reply.output = std::move(output.bytes);
  return reply;
}

// Starts `helper write` detached (it outlives this call, and the editor),
// hands it `bytes`, and waits for it to say that it holds the clipboard.
bool runWriter(const std::string& helper, const std::string& bytes, std::chrono::milliseconds limit) {
  int in[2], out[2];
  if (::pipe2(in, O_CLOEXEC) != 0) return false;
  if (::pipe2(out, O_CLOEXEC) != 0) {
    ::close(in[0]);
    ::close(in[1]);
    return false;
  }
  std::string write = "write";
  std::array<char*, 3> argv{const_cast<char*>(helper.c_str()), write.data(), nullptr};
  // Forked twice so that nobody has to wait for it: init adopts it. Between
  // fork and exec only async-signal-safe calls.
  const pid_t child = ::fork();
  if (child == 0) {
    const pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
    ::setsid();
    ::dup2(in[0], STDIN_FILENO);
    ::dup2(out[1], STDOUT_FILENO);
    ::execve(argv[0], argv.data(), environ);
    ::_exit(127);
  }
  ::close(in[0]);
  ::close(out[1]);
  if (child > 0) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  writePipeInBackground(in[1], std::make_shared<const std::string>(bytes), limit);
  const std::optional<std::string> said = readPipeToEnd(out[0], limit);
  return child > 0 && said == "ready\n";
}

}  // namespace

X11HelperPasteboard::X11HelperPasteboard(std::string helper, std::chrono::milliseconds limit)
    : helper_(std::move(helper)), limit_(limit) {}

std::string X11HelperPasteboard::defaultHelper() {
  return (QCoreApplication::applicationDirPath() + QStringLiteral("/" PARASORT_X11_HELPER_FROM_BINDIR)).toStdString();
}

X11HelperPasteboard::Snapshot X11HelperPasteboard::read() const {
  Snapshot snapshot;
  const HelperReply reply = runReader(helper_, limit_);
  const std::string_view output = reply.output;
  const std::size_t typesEnd = output.find("\n\n");
  if (typesEnd == std::string_view::npos) return snapshot;
  for (std::size_t start = 0; start <= typesEnd;) {
    const std::size_t end = output.find('\n', start);
    if (end > start) snapshot.types.emplace_back(output.substr(start, end - start));
    start = end + 1;
  }
  if (reply.answered && reply.status == 0) {
    const std::string_view text = output.substr(typesEnd + 2);
    snapshot.text = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String();
  }
  return snapshot;
}

std::vector<std::string> X11HelperPasteboard::types() const {
  lastRead_ = read();
  return lastRead_->types;
}

std::optional<std::u16string> X11HelperPasteboard::stringForType(std::string_view type) const {
  if (type != stringPboardType) return std::nullopt;  // the helper reads plain text only
  Snapshot snapshot = lastRead_ ? std::move(*lastRead_) : read();
  lastRead_.reset();
  if (std::ranges::find(snapshot.types, type) == snapshot.types.end()) return std::nullopt;
  return snapshot.text;
}

void X11HelperPasteboard::declareTypes(std::span<const std::string> types) {
  declared_.assign(types.begin(), types.end());
  lastRead_.reset();
}

bool X11HelperPasteboard::setString(std::u16string_view string, std::string_view type) {
  // The helper offers plain text only, under all its X11 names.
  if (type != stringPboardType || std::ranges::find(declared_, type) == declared_.end()) return false;
  const QByteArray bytes = QStringView(string.data(), static_cast<qsizetype>(string.size())).toUtf8();
  if (runWriter(helper_, bytes.toStdString(), limit_)) return true;
  qWarning("parasort-editor: the X11 clipboard helper %s did not take the clipboard", helper_.c_str());
  return false;
}

}  // namespace parasort
