// parasort-x11-clipboard: the X11 clipboard for the editor's services when
// the editor's window is on Wayland and the compositor offers no
// data-control (GNOME): an X client on XWayland may use the clipboard there
// without focus.
//   parasort-x11-clipboard read   prints the clipboard's types, one a line,
//                                 an empty line, then its plain text (UTF-8);
//                                 status 0 with the text, 3 when there is none
//   parasort-x11-clipboard write  takes the clipboard with standard input as
//                                 plain text, prints "ready" once it holds it,
//                                 and serves it until another client takes it
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

int readClipboard(const QClipboard& clipboard) {
  QFile out;
  if (!out.open(stdout, QIODevice::WriteOnly)) return 2;
  const QMimeData* data = clipboard.mimeData();
  const QStringList formats = data != nullptr ? data->formats() : QStringList();
  for (const QString& format : formats) out.write(format.toUtf8() + '\n');
  out.write("\n");
  out.flush();  // the types count even if the text never comes
  if (data == nullptr || !formats.contains(QStringLiteral("text/plain"))) return 3;
  const QString text = data->text();
  if (text.isNull()) return 3;
  out.write(text.toUtf8());
  return 0;
}

int writeClipboard(QGuiApplication& application, QClipboard& clipboard) {
  QFile in;
  if (!in.open(stdin, QIODevice::ReadOnly)) return 2;
  auto* data = new QMimeData;  // the clipboard owns it
  data->setText(QString::fromUtf8(in.readAll()));
  clipboard.setMimeData(data);
  if (!clipboard.ownsClipboard()) return 1;
  // Until another client takes the clipboard; then this one has nothing
  // more to serve.
  QObject::connect(&clipboard, &QClipboard::changed, &application, [&](QClipboard::Mode mode) {
    if (mode == QClipboard::Clipboard && !clipboard.ownsClipboard()) application.quit();
  });
  std::fputs("ready\n", stdout);
  std::fflush(stdout);
  // The caller reads to the end: standard output ends here.
  const int nothing = ::open("/dev/null", O_WRONLY);
  ::dup2(nothing, STDOUT_FILENO);
  ::close(nothing);
  return application.exec();
}

}  // namespace

int main(int argc, char** argv) {
  const bool reading = argc == 2 && std::strcmp(argv[1], "read") == 0;
  const bool writing = argc == 2 && std::strcmp(argv[1], "write") == 0;
  if (!reading && !writing) {
    std::fputs("usage: parasort-x11-clipboard read|write\n", stderr);
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "xcb");  // XWayland's clipboard, whatever the session's default
  QGuiApplication application(argc, argv);
  return reading ? readClipboard(*QGuiApplication::clipboard())
                 : writeClipboard(application, *QGuiApplication::clipboard());
}
