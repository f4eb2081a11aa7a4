#include "document_file.h"

#include "parasort/files/safe_write.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace parasort {
namespace {

QString quoted(const QString& path) { return QStringLiteral("“%1”").arg(displayNameOf(path)); }

QString reasonOf(int errorNumber) { return QString::fromLocal8Bit(std::strerror(errorNumber)); }

std::string localPath(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Why a file or its folder may not be written, when that is the trouble.
std::optional<QString> whyNotWritable(const QString& path, int errorNumber) {
  if (errorNumber != EACCES && errorNumber != EPERM && errorNumber != EROFS) return std::nullopt;
  const QFileInfo file(path);
  if (errorNumber == EROFS) return QStringLiteral("The disk holding %1 can only be read.").arg(quoted(path));
  if (file.exists() && !file.isWritable()) return QStringLiteral("%1 is read-only.").arg(quoted(path));
  return QStringLiteral("The folder “%1” does not let you add or replace files.")
      .arg(QFileInfo(file.absolutePath()).fileName());
}

}  // namespace

DocumentKind documentKindOf(const QString& path) {
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QLatin1String("html") || suffix == QLatin1String("htm")) return DocumentKind::html;
  if (suffix == QLatin1String("md") || suffix == QLatin1String("markdown")) return DocumentKind::markdown;
  return DocumentKind::plainText;
}

std::optional<FileStamp> stampOf(const QString& path) {
  struct stat status {};
  if (::stat(localPath(path).c_str(), &status) != 0) return std::nullopt;
  return FileStamp{status.st_dev, status.st_ino,
                   std::int64_t{status.st_mtim.tv_sec} * 1'000'000'000 + status.st_mtim.tv_nsec, status.st_size};
}

std::variant<ReadDocument, QString> readDocumentFile(const QString& path) {
  const QString cannotOpen = QStringLiteral("%1 could not be opened: %2").arg(quoted(path));
  QFile file(path);
  if (QFileInfo(path).isDir()) return cannotOpen.arg(reasonOf(EISDIR));
  if (!file.open(QIODevice::ReadOnly)) {
    const int error = errno != 0 ? errno : EIO;
    if (!QFileInfo::exists(path)) return cannotOpen.arg(reasonOf(ENOENT));
    return cannotOpen.arg(QFileInfo(path).isReadable() ? reasonOf(error) : reasonOf(EACCES));
  }
  if (file.size() > largestEditableFile)
    return QStringLiteral("%1 is too large to edit here (%2 MB; the editor opens files up to %3 MB). "
                          "The parasort command sorts files of any size.")
        .arg(quoted(path))
        .arg(file.size() / (1024 * 1024))
        .arg(largestEditableFile / (1024 * 1024));
  const std::optional<FileStamp> stamp = stampOf(path);
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return cannotOpen.arg(file.errorString());

  ReadDocument document;
  document.stamp = stamp.value_or(FileStamp{});
  auto decoded = files::decodeTextFile(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  if (const auto* notText = std::get_if<files::NotText>(&decoded)) {
    if (*notText == files::NotText::binary)
      return QStringLiteral("%1 is not a text file: it holds bytes that no text has, such as NUL.").arg(quoted(path));
    return QStringLiteral("%1 could not be opened: no text encoding explains its bytes.").arg(quoted(path));
  }
  auto& text = std::get<files::DecodedTextFile>(decoded);
  document.text = QString::fromStdU16String(text.text);
  document.format = std::move(text.format);
  return document;
}

std::variant<FileStamp, WriteProblem> writeDocumentFile(const QString& path, const QString& text,
                                                        const files::TextFileFormat& format, DocumentKind kind) {
  const QString cannotSave = QStringLiteral("%1 could not be saved. %2");
  std::string bytes;
  if (kind != DocumentKind::plainText) {
    bytes = text.toStdString();
  } else {
    char32_t unencodable = 0;
    if (!files::encodeTextFile(text.toStdU16String(), format, bytes, unencodable)) {
      const QString character = QString::fromUcs4(&unencodable, 1);
      return WriteProblem{cannotSave.arg(quoted(path),
                                         QStringLiteral("The character “%1” has no form in its encoding, %2. "
                                                        "Save As can save the text in another file.")
                                             .arg(character, QString::fromStdString(format.encoding))),
                          false, true};
    }
  }
  const auto failure = files::writeFileSafely(localPath(path), [&bytes](const files::PieceSink& sink) { sink(bytes); });
  if (!failure) {
    if (const auto stamp = stampOf(path)) return *stamp;
    return FileStamp{};
  }
  const int error = failure->errorNumber;
  if (const auto notWritable = whyNotWritable(path, error)) return WriteProblem{cannotSave.arg(quoted(path), *notWritable), true};
  if (error == ENOSPC || error == EDQUOT || error == EFBIG)
    return WriteProblem{cannotSave.arg(quoted(path), QStringLiteral("There is no room for it on the disk (%1); "
                                                                     "the file on disk is as it was.")
                                                         .arg(reasonOf(error)))};
  if (failure->temporaryDirectory)
    return WriteProblem{cannotSave.arg(quoted(path), QStringLiteral("No temporary file could be made in “%1”: %2.")
                                                         .arg(QString::fromLocal8Bit(*failure->temporaryDirectory),
                                                              reasonOf(error)))};
  return WriteProblem{cannotSave.arg(quoted(path), reasonOf(error) + QLatin1Char('.'))};
}

QString displayNameOf(const QString& path) {
  return path.isEmpty() ? QStringLiteral("Untitled") : QFileInfo(path).fileName();
}

}  // namespace parasort
