#include "draft_keeper.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QtConcurrent/QtConcurrentRun>

namespace parasort {
namespace {

// The draft's file: one line of JSON saying whose text it is and how that
// file is written, then the text in UTF-8.
QByteArray serialized(const Draft& draft) {
  const QJsonObject header{
      {QStringLiteral("path"), draft.path},
      {QStringLiteral("encoding"), QString::fromStdString(draft.format.encoding)},
      {QStringLiteral("byteOrderMark"), draft.format.byteOrderMark},
      {QStringLiteral("lineEnding"), static_cast<int>(draft.format.lineEnding)},
      {QStringLiteral("finalLineEnding"), draft.format.finalLineEnding},
  };
  return QJsonDocument(header).toJson(QJsonDocument::Compact) + '\n' + draft.text.toUtf8();
}

bool write(const QString& directory, const QString& path, const QByteArray& contents) {
  if (!QDir().mkpath(directory)) return false;
  // Only the user may look into what they typed.
  QFile::setPermissions(directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  file.write(contents);
  return file.commit();
}

}  // namespace

DraftKeeper::DraftKeeper(QString directory) : directory_(std::move(directory)) { writer_.setMaxThreadCount(1); }

DraftKeeper::~DraftKeeper() { writer_.waitForDone(); }

QString DraftKeeper::defaultDirectory() {
  QString state = qEnvironmentVariable("XDG_STATE_HOME");
  if (state.isEmpty() || !QDir::isAbsolutePath(state)) state = QDir::homePath() + QStringLiteral("/.local/state");
  return state + QStringLiteral("/parasort");
}

QString DraftKeeper::draftPath() const { return directory_ + QStringLiteral("/draft"); }

void DraftKeeper::keepLater(Draft draft) {
  // The text is copied on write by Qt: this thread goes on editing its own.
  (void)QtConcurrent::run(&writer_, [directory = directory_, path = draftPath(), draft = std::move(draft)] {
    write(directory, path, serialized(draft));
  });
}

bool DraftKeeper::keepNow(const Draft& draft) {
  writer_.waitForDone();
  return write(directory_, draftPath(), serialized(draft));
}

void DraftKeeper::discard() {
  writer_.waitForDone();
  QFile::remove(draftPath());
}

std::optional<Draft> DraftKeeper::kept() const {
  QFile file(draftPath());
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray contents = file.readAll();
  const qsizetype endOfHeader = contents.indexOf('\n');
  if (endOfHeader < 0) return std::nullopt;
  const QJsonObject header = QJsonDocument::fromJson(contents.left(endOfHeader)).object();
  if (header.isEmpty()) return std::nullopt;
  Draft draft;
  draft.path = header.value(QStringLiteral("path")).toString();
  draft.format.encoding = header.value(QStringLiteral("encoding")).toString(QStringLiteral("UTF-8")).toStdString();
  draft.format.byteOrderMark = header.value(QStringLiteral("byteOrderMark")).toBool();
  const int ending = header.value(QStringLiteral("lineEnding")).toInt();
  draft.format.lineEnding = ending == 1 ? files::LineEnding::crLf : ending == 2 ? files::LineEnding::cr : files::LineEnding::lf;
  draft.format.finalLineEnding = header.value(QStringLiteral("finalLineEnding")).toBool(true);
  draft.text = QString::fromUtf8(contents.mid(endOfHeader + 1));
  return draft;
}

}  // namespace parasort
