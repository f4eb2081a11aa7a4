// The documents a QTextEdit has shown, for undo and redo across a change of
// document.
//
// Replacing the whole text of a large document through a cursor costs Qt
// seconds, and as much again to undo: it records every paragraph removed and
// inserted, and lays the changed text out at once. A new document built
// aside and shown in place of the old one costs a fraction of that, and
// undo shows the old one again. The undo history is then two-level: each
// document keeps its own (typing, formats), and this history holds the
// documents before and after it.
#pragma once

#include <QObject>

#include <vector>

class QTextDocument;
class QTextEdit;

namespace parasort::editor::qt {

class DocumentHistory {
 public:
  // Takes charge of the document `edit` shows now; `edit` must outlive the
  // history.
  explicit DocumentHistory(QTextEdit& edit);
  DocumentHistory(const DocumentHistory&) = delete;
  DocumentHistory& operator=(const DocumentHistory&) = delete;
  // Hands the document shown back to `edit`; the others go.
  ~DocumentHistory();

  // A parent for documents to be shown through showReplacement().
  [[nodiscard]] QObject& documentOwner() { return documents_; }

  // Shows `replacement` (a child of documentOwner()) as a new edit: the
  // document shown so far is kept to come back on undo, without anything
  // it had to redo, and whatever was there to redo is dropped.
  void showReplacement(QTextDocument& replacement);

  // Undo and redo of the edit's text: within the document shown while it
  // has something to undo or redo, else by showing the document before or
  // after it. Return false when there is nothing to undo or redo.
  bool undo();
  bool redo();
  [[nodiscard]] bool isUndoAvailable() const;
  [[nodiscard]] bool isRedoAvailable() const;

  // Forgets every document but the one shown (whose own history stays).
  void forgetOtherDocuments();

 private:
  void show(QTextDocument& document);
  void watch(QTextDocument& document);

  QTextEdit& edit_;
  QObject documents_;  // the parent of every document held here
  std::vector<QTextDocument*> earlier_;
  std::vector<QTextDocument*> later_;
};

}  // namespace parasort::editor::qt
