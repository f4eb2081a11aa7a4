// A document's file on disk: reading it into text (in its encoding, line
// ending and final line ending) and writing text back into it through the
// project's safe write, with what went wrong said in the user's words.
// No widgets: the questions are the window's (file_document.h).
#pragma once

#include "parasort/files/text_file_format.h"

#include <QString>

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <variant>

namespace parasort {

// How the document's text is kept in its file.
enum class DocumentKind { plainText, html, markdown };

// The kind of file `path` names by its extension: .html/.htm and .md/.markdown
// hold formatted text, everything else plain text. Save As follows it; Open
// shows every file as the text it holds, so that saving it back changes
// nothing but the edits.
[[nodiscard]] DocumentKind documentKindOf(const QString& path);

// What a file on disk is at a moment: another program's save shows as a
// different stamp.
struct FileStamp {
  dev_t device = 0;
  ino_t inode = 0;
  std::int64_t modifiedNanoseconds = 0;
  off_t size = 0;
  friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of the file `path` leads to, or nothing when there is none.
[[nodiscard]] std::optional<FileStamp> stampOf(const QString& path);

// Files larger than this are refused before they are read: the window would
// be busy for many seconds laying them out (a 7 MB file takes about half a
// second to open, a 32 MB one two or three).
inline constexpr std::int64_t largestEditableFile = 32 * 1024 * 1024;

struct ReadDocument {
  QString text;  // paragraphs separated by LF
  files::TextFileFormat format;
  FileStamp stamp;
};

// The contents of `path` as text, or the message that says why it cannot be
// opened (a missing or unreadable file, a directory, a file too large, a
// binary file, bytes no encoding explains).
[[nodiscard]] std::variant<ReadDocument, QString> readDocumentFile(const QString& path);

struct WriteProblem {
  QString message;
  // The file or its folder may not be written: Save As is the way out.
  bool notWritable = false;
  // A character has no form in the file's encoding.
  bool notEncodable = false;
};

// Writes `text` to `path` through files::writeFileSafely(): on any failure
// the file on disk is as it was. Plain text (LF between paragraphs) goes in
// `format`; HTML or Markdown (`kind`) in UTF-8. The new stamp, or the problem.
[[nodiscard]] std::variant<FileStamp, WriteProblem> writeDocumentFile(const QString& path, const QString& text,
                                                                      const files::TextFileFormat& format,
                                                                      DocumentKind kind = DocumentKind::plainText);

// The name a file is shown by: its file name, or "Untitled" without one.
[[nodiscard]] QString displayNameOf(const QString& path);

}  // namespace parasort
