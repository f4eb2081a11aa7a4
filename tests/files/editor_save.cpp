// The editor's Save as a command, for the safe write's tests: opens SOURCE
// as the editor opens a file and saves its text to TARGET as the editor's
// Save does. A problem is printed as the editor would show it.
//   editor_save -o TARGET SOURCE | editor_save --version
#include "document_file.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) return 0;
  if (argc != 4 || std::strcmp(argv[1], "-o") != 0) {
    std::fputs("usage: editor_save -o TARGET SOURCE\n", stderr);
    return 2;
  }
  const QString target = QString::fromLocal8Bit(argv[2]);
  const auto read = parasort::readDocumentFile(QString::fromLocal8Bit(argv[3]));
  if (const auto* message = std::get_if<QString>(&read)) {
    std::fprintf(stderr, "editor_save: %s\n", message->toLocal8Bit().constData());
    return 1;
  }
  const auto& document = std::get<parasort::ReadDocument>(read);
  const auto written = parasort::writeDocumentFile(target, document.text, document.format);
  if (const auto* problem = std::get_if<parasort::WriteProblem>(&written)) {
    std::fprintf(stderr, "editor_save: %s\n", problem->message.toLocal8Bit().constData());
    return 1;
  }
  return 0;
}
