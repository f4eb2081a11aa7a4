// Drafts: the text of a window not yet saved to its file, kept on disk so
// that nothing typed is lost when nobody can be asked (the session ends,
// SIGTERM, a crash) or when there is no file to ask about (an untitled
// window). One draft, in $XDG_STATE_HOME/parasort/draft, written atomically
// on a thread of its own, one write after the other.
#pragma once

#include "parasort/files/text_file_format.h"

#include <QString>
#include <QThreadPool>

#include <optional>

namespace parasort {

struct Draft {
  // The file the text belongs to; empty for an untitled window.
  QString path;
  // How that file is written (its encoding, line ending...).
  files::TextFileFormat format;
  // Paragraphs separated by LF.
  QString text;
};

class DraftKeeper {
 public:
  // Keeps drafts in `directory`, made when first needed.
  explicit DraftKeeper(QString directory = defaultDirectory());
  DraftKeeper(const DraftKeeper&) = delete;
  DraftKeeper& operator=(const DraftKeeper&) = delete;
  // Waits for a write still running.
  ~DraftKeeper();

  // $XDG_STATE_HOME/parasort, or ~/.local/state/parasort without it.
  [[nodiscard]] static QString defaultDirectory();

  // Writes `draft` in the background, after any write still running.
  void keepLater(Draft draft);
  // Writes `draft` now (after any write still running); whether it worked.
  bool keepNow(const Draft& draft);
  // Removes the draft, once any write still running is done.
  void discard();
  // The draft kept, if there is one that can be read.
  [[nodiscard]] std::optional<Draft> kept() const;

 private:
  [[nodiscard]] QString draftPath() const;

  QString directory_;
  // One thread: the writes happen in the order they were asked for.
  QThreadPool writer_;
};

}  // namespace parasort
