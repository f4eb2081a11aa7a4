// The window's document as a file: which file it is (or "Untitled"), whether
// it has changed since it was opened or saved, and the File menu's
// operations on it (New, Open, Save, Save As, Revert), with the questions
// they ask. It keeps what is typed from being lost: the window's title shows
// the name and a changed mark; changes are kept as a draft a few seconds
// after they are made; closing asks about unsaved changes to a file and
// keeps an untitled text without asking; a draft left by a session that
// ended without asking is offered back at the next start.
#pragma once

#include "document_file.h"
#include "draft_keeper.h"

#include "parasort/editor/qt/text_edit_text_view.h"

#include <QMainWindow>
#include <QObject>
#include <QStringList>
#include <QTextEdit>
#include <QTimer>

#include <functional>
#include <optional>
#include <utility>

namespace parasort {

class FileDocument final : public QObject {
  Q_OBJECT

 public:
  enum class Answer { save, discard, cancel };
  // What the operations ask the user and tell them; by default dialogs on
  // the window, replaced in tests.
  struct Questions {
    // Save, Discard or Cancel unsaved changes to the file named.
    std::function<Answer(const QString& name)> saveChanges;
    // A file to open, or empty.
    std::function<QString()> fileToOpen;
    // Where to save, and as what, or nothing; `suggested` is the path so far.
    std::function<std::optional<std::pair<QString, DocumentKind>>(const QString& suggested)> fileToSaveAs;
    // The file changed on disk since it was opened or saved: overwrite it?
    std::function<bool(const QString& name)> overwriteChangedFile;
    // Saving failed for `message`'s reason: true when the user chooses Save As.
    std::function<bool(const QString& message)> saveAsInstead;
    // Formatted text is about to be saved as plain text: true to go on.
    std::function<bool()> loseFormatting;
    // Unsaved changes to the file named were kept from the last session:
    // true to restore them.
    std::function<bool(const QString& name)> restoreDraft;
    // Revert: the changes to the file named go; true to go on.
    std::function<bool(const QString& name)> discardChanges;
    // A message with nothing to choose.
    std::function<void(const QString& message)> tell;
  };

  // The settings key of the recent files, most recent first.
  static constexpr char recentFilesKey[] = "recentFiles";
  static constexpr int mostRecentFiles = 10;
  // How long after a change the draft is written.
  static constexpr int draftDelayMilliseconds = 2000;

  // Works on `window`, its `edit` and the `view` over it, which must outlive
  // it; drafts go to `drafts`' directory. Asks with dialogs on `window`.
  FileDocument(QMainWindow& window, QTextEdit& edit, editor::qt::QTextEditTextView& view,
               QString draftDirectory = DraftKeeper::defaultDirectory());

  void setQuestions(Questions questions) { questions_ = std::move(questions); }

  // The file shown, empty when untitled.
  [[nodiscard]] const QString& path() const { return path_; }
  [[nodiscard]] bool isModified() const { return modified_; }
  [[nodiscard]] QStringList recentFiles() const;

  // ---- The File menu ----
  // Each returns whether it did what it was asked (false when refused,
  // cancelled or failed; the user has been told why).
  bool newDocument();
  bool open();
  bool openFile(const QString& path);
  bool save();
  bool saveAs();
  bool revert();
  void clearRecentFiles();

  // What the window's closing asks: true when it may close. Unsaved changes
  // to a file ask Save, Discard or Cancel; an untitled text is kept as the
  // draft without asking. `unattended` (a termination signal): nobody
  // asked, the changes kept as the draft.
  bool mayClose(bool unattended);

  // Closes the window without asking (a termination signal): the changes
  // are kept as the draft.
  void closeUnattended();

  // At start: the draft of the last session back, an untitled text without
  // asking, changes to a file after asking.
  void restoreDraft();

  // Writes a draft now when one is due (for tests and benchmarks).
  void keepDraftNow();

 signals:
  void recentFilesChanged();

 private:
  // Whether unsaved changes may go: asks when there are changes to lose.
  bool mayReplace();
  // The changes written as the draft now; an emptied untitled text removes it.
  void keepForNextStart();
  bool saveTo(const QString& path, DocumentKind kind, bool confirmedOverwrite);
  void show(const QString& text, DocumentKind kind);
  void setFile(const QString& path, const files::TextFileFormat& format, const FileStamp& stamp);
  void setModified(bool modified);
  void updateTitle();
  void noteRecent(const QString& path);
  void changed();
  [[nodiscard]] Draft draft() const;
  [[nodiscard]] bool hasFormatting() const;
  [[nodiscard]] QString textFor(DocumentKind kind) const;
  bool eventFilter(QObject* watched, QEvent* event) override;

  QMainWindow& window_;
  QTextEdit& edit_;
  editor::qt::QTextEditTextView& view_;
  DraftKeeper drafts_;
  Questions questions_;
  QTimer draftTimer_;
  QString path_;
  DocumentKind kind_ = DocumentKind::plainText;
  files::TextFileFormat format_;
  std::optional<FileStamp> stamp_;
  bool modified_ = false;
  bool loading_ = false;
  bool unattended_ = false;
  // Ended by a termination signal: no more questions are answered.
  bool ended_ = false;
  // Told once per document that formatting is lost in plain text.
  bool formattingWarned_ = false;
};

}  // namespace parasort
