// The documents a QTextEdit has shown, for undo and redo across a change of
// document.
//
// Replacing the whole text of a large document through a cursor costs Qt
// seconds, and as much again to undo: it records every paragraph removed and
// inserted, and lays the changed text out at once. A new document built
// aside and shown in place of the old one costs a fraction of that. The undo
// history is then two-level: the document shown keeps its own (typing,
// formats), and this history holds the documents before and after it.
//
// All they hold together stays within a budget: five times the size of the
// longest text among them and the one shown (two bytes a character), or
// 16 MiB when that is more. A document is held live, with its own history,
// while it fits (counted by its text, its paragraphs and those of them laid
// out, as measured on Qt 6.4: about 4.5 times its text for lines of 36
// characters, of which few are laid out); past the budget the oldest are frozen first (their text and formats
// as runs, about two bytes a character, built again when undo or redo
// shows them; their own histories go), and then the oldest frozen ones are
// dropped (the earliest undo, then the farthest redo).
#pragma once

#include <QObject>

#include <cstddef>
#include <deque>
#include <memory>

class QTextDocument;
class QTextEdit;

namespace parasort::editor::qt {

class FrozenDocument;

// What the documents before and after the one shown may hold together: so
// many times the longest of their texts and the one shown (two bytes a
// unit), or the floor when that is more.
struct HistoryBudget {
  std::size_t timesText = 5;
  std::size_t floorBytes = std::size_t{16} << 20;
};

class DocumentHistory {
 public:
  using Budget = HistoryBudget;

  // Takes charge of the document `edit` shows now; `edit` must outlive the
  // history.
  explicit DocumentHistory(QTextEdit& edit, Budget budget = Budget());
  DocumentHistory(const DocumentHistory&) = delete;
  DocumentHistory& operator=(const DocumentHistory&) = delete;
  // Hands the document shown back to `edit`.
  ~DocumentHistory();

  // A parent for documents to be shown through showReplacement().
  [[nodiscard]] QObject& documentOwner() { return documents_; }

  // Shows `replacement` (a child of documentOwner()), the whole text
  // replaced, as a new edit: the document shown so far is kept to come back
  // on undo, without anything it had to redo, and whatever was there to
  // redo is dropped.
  void showReplacement(QTextDocument& replacement);

  // Undo and redo of the edit's text: within the document shown while it
  // has something to undo or redo, else by showing the document before or
  // after it. Redo leaves the text it shows selected, as the replacement
  // did; undo leaves the cursor at the start. Return false when there is
  // nothing to undo or redo.
  bool undo();
  bool redo();
  [[nodiscard]] bool isUndoAvailable() const;
  [[nodiscard]] bool isRedoAvailable() const;

  // Forgets every document but the one shown (whose own history stays).
  void forgetOtherDocuments();

  // What the documents before and after the one shown hold, in bytes.
  [[nodiscard]] std::size_t heldBytes() const;
  // How many documents come before and after the one shown.
  [[nodiscard]] std::size_t earlierCount() const { return earlier_.size(); }
  [[nodiscard]] std::size_t laterCount() const { return later_.size(); }

 private:
  // A document not shown: live (a child of documents_) or frozen.
  class Held {
   public:
    explicit Held(QTextDocument& live);
    Held(Held&& other) noexcept;
    Held& operator=(Held&& other) noexcept;
    ~Held();
    [[nodiscard]] bool isLive() const { return live_ != nullptr; }
    [[nodiscard]] std::size_t bytes() const;
    // The length of its text, in UTF-16 units.
    [[nodiscard]] std::size_t units() const { return units_; }
    void freeze();
    // The document to show: the live one, or a new one built from the
    // frozen one as a child of `parent`.
    [[nodiscard]] QTextDocument& take(QObject& parent);

   private:
    QTextDocument* live_;
    std::unique_ptr<const FrozenDocument> frozen_;
    std::size_t units_;
    std::size_t liveBytes_;  // what it holds while live
  };

  void show(QTextDocument& document);
  void watch(QTextDocument& document);
  // Holds the document shown on `to` and shows the one `from` holds last.
  void step(std::deque<Held>& from, std::deque<Held>& to);
  void keepWithinBudget();

  QTextEdit& edit_;
  Budget budget_;
  QObject documents_;  // the parent of the documents shown and held live
  std::deque<Held> earlier_;  // the last is the one before the document shown
  std::deque<Held> later_;  // the last is the one after it
};

}  // namespace parasort::editor::qt
