#include "file_document.h"

#include "wait_cursor.h"

#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QSettings>
#include <QTextBlock>
#include <QTextDocument>
#include <QUrl>

namespace parasort {
namespace {

// The file a drag brings, when it brings local files.
QString droppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return {};
  for (const QUrl& url : data->urls())
    if (url.isLocalFile()) return url.toLocalFile();
  return {};
}

// The document's text with LF between paragraphs. Not toPlainText(), which
// also turns no-break spaces into spaces.
QString plainTextOf(const QTextDocument& document) {
  QString text = document.toRawText();
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return text;
}

}  // namespace

FileDocument::FileDocument(QMainWindow& window, QTextEdit& edit, editor::qt::QTextEditTextView& view,
                           QString draftDirectory)
    : window_(window), edit_(edit), view_(view), drafts_(std::move(draftDirectory)) {
  draftTimer_.setSingleShot(true);
  draftTimer_.setInterval(draftDelayMilliseconds);
  connect(&draftTimer_, &QTimer::timeout, this, &FileDocument::keepDraftNow);
  // Typing, formats and whole new documents (a sort shows one) alike.
  connect(&edit_, &QTextEdit::textChanged, this, &FileDocument::changed);
  connect(&edit_, &QTextEdit::undoAvailable, this, &FileDocument::changed);
  window_.installEventFilter(this);
  edit_.viewport()->installEventFilter(this);
  window_.setAcceptDrops(true);
  updateTitle();
}

QStringList FileDocument::recentFiles() const {
  return QSettings().value(QLatin1String(recentFilesKey)).toStringList();
}

void FileDocument::noteRecent(const QString& path) {
  QStringList files = recentFiles();
  files.removeAll(path);
  files.prepend(path);
  while (files.size() > mostRecentFiles) files.removeLast();
  QSettings().setValue(QLatin1String(recentFilesKey), files);
  emit recentFilesChanged();
}

void FileDocument::clearRecentFiles() {
  QSettings().remove(QLatin1String(recentFilesKey));
  emit recentFilesChanged();
}

void FileDocument::changed() {
  if (loading_) return;
  setModified(true);
  if (!draftTimer_.isActive()) draftTimer_.start();
}

void FileDocument::setModified(bool modified) {
  modified_ = modified;
  window_.setWindowModified(modified);
}

void FileDocument::updateTitle() {
  window_.setWindowTitle(displayNameOf(path_) + QStringLiteral("[*]"));
  window_.setWindowModified(modified_);
}

Draft FileDocument::draft() const { return Draft{path_, format_, plainTextOf(*edit_.document())}; }

void FileDocument::keepDraftNow() {
  draftTimer_.stop();
  if (modified_) drafts_.keepLater(draft());
}

void FileDocument::show(const QString& text, DocumentKind kind) {
  loading_ = true;
  switch (kind) {
    case DocumentKind::plainText:
      edit_.setPlainText(text);
      break;
    case DocumentKind::html:
      edit_.setHtml(text);
      break;
    case DocumentKind::markdown:
      edit_.setMarkdown(text);
      break;
  }
  view_.clearUndoHistory();
  loading_ = false;
  kind_ = kind;
  formattingWarned_ = false;
}

void FileDocument::setFile(const QString& path, const files::TextFileFormat& format, const FileStamp& stamp) {
  path_ = path;
  format_ = format;
  stamp_ = stamp;
  updateTitle();
}

bool FileDocument::mayReplace() {
  if (!modified_ || (path_.isEmpty() && edit_.document()->isEmpty())) return true;
  switch (questions_.saveChanges(displayNameOf(path_))) {
    case Answer::save:
      return save();
    case Answer::discard:
      return true;
    case Answer::cancel:
      break;
  }
  return false;
}

bool FileDocument::newDocument() {
  if (!mayReplace()) return false;
  drafts_.discard();
  show(QString(), DocumentKind::plainText);
  setModified(false);
  setFile(QString(), files::TextFileFormat{}, FileStamp{});
  stamp_.reset();
  return true;
}

bool FileDocument::open() {
  const QString path = questions_.fileToOpen();
  return !path.isEmpty() && openFile(path);
}

bool FileDocument::openFile(const QString& given) {
  const QString path = QFileInfo(given).absoluteFilePath();
  if (path == path_ && !modified_) return true;
  showWaitCursorUntilIdle();
  auto read = readDocumentFile(path);
  if (const auto* message = std::get_if<QString>(&read)) {
    questions_.tell(*message);
    return false;
  }
  if (!mayReplace()) return false;
  drafts_.discard();
  const ReadDocument& document = std::get<ReadDocument>(read);
  show(document.text, DocumentKind::plainText);
  setModified(false);
  setFile(path, document.format, document.stamp);
  noteRecent(path);
  return true;
}

bool FileDocument::revert() {
  if (path_.isEmpty() || !modified_ || !questions_.discardChanges(displayNameOf(path_))) return false;
  auto read = readDocumentFile(path_);
  if (const auto* message = std::get_if<QString>(&read)) {
    questions_.tell(*message);
    return false;
  }
  drafts_.discard();
  const ReadDocument& document = std::get<ReadDocument>(read);
  show(document.text, DocumentKind::plainText);
  setModified(false);
  setFile(path_, document.format, document.stamp);
  return true;
}

bool FileDocument::save() {
  if (path_.isEmpty()) return saveAs();
  return saveTo(path_, kind_, false);
}

bool FileDocument::saveAs() {
  const QString suggested =
      path_.isEmpty() ? QDir::home().filePath(displayNameOf(path_) + QStringLiteral(".txt")) : path_;
  const auto chosen = questions_.fileToSaveAs(suggested);
  if (!chosen) return false;
  return saveTo(QFileInfo(chosen->first).absoluteFilePath(), chosen->second, true);
}

bool FileDocument::hasFormatting() const {
  for (QTextBlock block = edit_.document()->begin(); block.isValid(); block = block.next()) {
    const QTextBlockFormat paragraph = block.blockFormat();
    if (paragraph.indent() != 0 || paragraph.leftMargin() != 0 || paragraph.textIndent() != 0 ||
        !paragraph.tabPositions().isEmpty())
      return true;
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      const QTextCharFormat character = fragment.fragment().charFormat();
      if (character.fontWeight() > QFont::Normal || character.fontItalic() || character.fontUnderline() ||
          character.hasProperty(QTextFormat::FontFamilies) || character.hasProperty(QTextFormat::FontPointSize))
        return true;
    }
  }
  return false;
}

QString FileDocument::textFor(DocumentKind kind) const {
  switch (kind) {
    case DocumentKind::html:
      return edit_.document()->toHtml();
    case DocumentKind::markdown:
      return edit_.document()->toMarkdown();
    case DocumentKind::plainText:
      break;
  }
  return plainTextOf(*edit_.document());
}

bool FileDocument::saveTo(const QString& path, DocumentKind kind, bool chosenAnew) {
  if (kind == DocumentKind::plainText && !formattingWarned_ && hasFormatting()) {
    if (!questions_.loseFormatting()) return false;
    formattingWarned_ = true;
  }
  // Another program's save since ours (or since it was opened) would be lost.
  if (!chosenAnew && stamp_) {
    const std::optional<FileStamp> now = stampOf(path);
    if (now && *now != *stamp_ && !questions_.overwriteChangedFile(displayNameOf(path))) return false;
  }
  showWaitCursorUntilIdle();
  auto written = writeDocumentFile(path, textFor(kind), format_, kind);
  if (const auto* problem = std::get_if<WriteProblem>(&written)) {
    if ((problem->notWritable || problem->notEncodable) && questions_.saveAsInstead(problem->message)) {
      // Save As then writes the text in an encoding that holds all of it.
      if (problem->notEncodable) format_ = files::TextFileFormat{"UTF-8", false, format_.lineEnding, format_.finalLineEnding};
      return saveAs();
    }
    if (!problem->notWritable && !problem->notEncodable) questions_.tell(problem->message);
    return false;
  }
  draftTimer_.stop();
  drafts_.discard();
  kind_ = kind;
  setModified(false);
  setFile(path, format_, std::get<FileStamp>(written));
  noteRecent(path);
  return true;
}

bool FileDocument::mayClose(bool unattended) {
  draftTimer_.stop();
  if (!modified_) return true;
  if (unattended || path_.isEmpty()) {
    // Nobody to ask, or nothing to ask about: kept for the next start.
    keepForNextStart();
    return true;
  }
  switch (questions_.saveChanges(displayNameOf(path_))) {
    case Answer::save:
      return save();
    case Answer::discard:
      drafts_.discard();
      return true;
    case Answer::cancel:
      break;
  }
  return false;
}

void FileDocument::keepForNextStart() {
  // Unchanged, there is nothing of this session to keep (a draft of the last
  // one, not yet offered back, stays).
  if (!modified_) return;
  if (path_.isEmpty() && edit_.document()->isEmpty())
    drafts_.discard();
  else
    drafts_.keepNow(draft());
}

void FileDocument::closeUnattended() {
  // Kept first: the window may be closing already, waiting for an answer to
  // its question, and then it cannot be closed again.
  draftTimer_.stop();
  keepForNextStart();
  ended_ = true;
  unattended_ = true;
  window_.close();
  unattended_ = false;
}

void FileDocument::restoreDraft() {
  const std::optional<Draft> draft = drafts_.kept();
  if (!draft) return;
  if (!draft->path.isEmpty() && !questions_.restoreDraft(displayNameOf(draft->path))) {
    // No answer but the session's end: the draft waits for the next start.
    if (ended_) return;
    drafts_.discard();
    if (QFileInfo::exists(draft->path)) openFile(draft->path);
    return;
  }
  show(draft->text, DocumentKind::plainText);
  const std::optional<FileStamp> stamp = draft->path.isEmpty() ? std::nullopt : stampOf(draft->path);
  setFile(draft->path, draft->format, stamp.value_or(FileStamp{}));
  stamp_ = stamp;
  setModified(true);
}

bool FileDocument::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::Close:
      if (watched == &window_ && !mayClose(unattended_)) {
        event->ignore();
        return true;
      }
      break;
    case QEvent::DragEnter:
    case QEvent::DragMove:
      if (auto* drag = static_cast<QDropEvent*>(event); !droppedFile(drag->mimeData()).isEmpty()) {
        drag->acceptProposedAction();
        return true;
      }
      break;
    case QEvent::Drop:
      if (auto* drop = static_cast<QDropEvent*>(event); !droppedFile(drop->mimeData()).isEmpty()) {
        drop->acceptProposedAction();
        // After the drop's own bookkeeping: opening may ask a question.
        QTimer::singleShot(0, this, [this, path = droppedFile(drop->mimeData())] { openFile(path); });
        return true;
      }
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace parasort
