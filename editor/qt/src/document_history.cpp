#include "parasort/editor/qt/document_history.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace parasort::editor::qt {
namespace {

void dropAll(std::vector<QTextDocument*>& documents) {
  // Parent-owned: deleted later, so that no signal of theirs still running
  // is cut short.
  for (QTextDocument* document : documents) document->deleteLater();
  documents.clear();
}

}  // namespace

DocumentHistory::DocumentHistory(QTextEdit& edit) : edit_(edit) {
  // The edit would delete a document of its own when it shows another.
  QTextDocument& shown = *edit_.document();
  shown.setParent(&documents_);
  watch(shown);
}

DocumentHistory::~DocumentHistory() { edit_.document()->setParent(&edit_); }

void DocumentHistory::watch(QTextDocument& document) {
  // A new edit in the document shown ends the way forward.
  QObject::connect(&document, &QTextDocument::undoCommandAdded, &documents_,
                   [this] { dropAll(later_); });
}

void DocumentHistory::show(QTextDocument& document) {
  // The edit's cursor goes to the start of the document. Selecting the text
  // undone would make Qt lay all of it out at once, before the window can
  // answer again; shown this way it is laid out a piece at a time in the
  // background.
  edit_.setDocument(&document);
  // The edit reports its undo state from the document alone; it changed.
  emit edit_.undoAvailable(isUndoAvailable());
  emit edit_.redoAvailable(isRedoAvailable());
}

void DocumentHistory::showReplacement(QTextDocument& replacement) {
  QTextDocument& shown = *edit_.document();
  // What it had to redo would come after the replacement on redo.
  shown.clearUndoRedoStacks(QTextDocument::RedoStack);
  dropAll(later_);
  earlier_.push_back(&shown);
  watch(replacement);
  show(replacement);
}

bool DocumentHistory::undo() {
  if (edit_.document()->isUndoAvailable()) {
    edit_.undo();
    return true;
  }
  if (earlier_.empty()) return false;
  QTextDocument& previous = *earlier_.back();
  earlier_.pop_back();
  later_.push_back(edit_.document());
  show(previous);
  return true;
}

bool DocumentHistory::redo() {
  if (edit_.document()->isRedoAvailable()) {
    edit_.redo();
    return true;
  }
  if (later_.empty()) return false;
  QTextDocument& next = *later_.back();
  later_.pop_back();
  earlier_.push_back(edit_.document());
  show(next);
  return true;
}

bool DocumentHistory::isUndoAvailable() const {
  return edit_.document()->isUndoAvailable() || !earlier_.empty();
}

bool DocumentHistory::isRedoAvailable() const {
  return edit_.document()->isRedoAvailable() || !later_.empty();
}

void DocumentHistory::forgetOtherDocuments() {
  dropAll(earlier_);
  dropAll(later_);
  emit edit_.undoAvailable(isUndoAvailable());
  emit edit_.redoAvailable(isRedoAvailable());
}

}  // namespace parasort::editor::qt
