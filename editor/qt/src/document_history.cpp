#include "parasort/editor/qt/document_history.h"

#include "frozen_document.h"
#include "parasort/editor/qt/lazy_document_layout.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <utility>

namespace parasort::editor::qt {
namespace {

// What a live document holds, as measured on Qt 6.4: two bytes a character
// of text, about 250 bytes a paragraph (its block and fragments), and about
// 450 more for each paragraph laid out (its lines and shaped glyphs).
constexpr std::size_t kBytesPerUnit = 2;
constexpr std::size_t kBytesPerBlock = 250;
constexpr std::size_t kBytesPerLaidOutBlock = 450;

std::size_t liveBytesOf(const QTextDocument& document) {
  const auto blocks = static_cast<std::size_t>(document.blockCount());
  const auto* layout = document.findChild<const LazyDocumentLayout*>(QString(), Qt::FindDirectChildrenOnly);
  const std::size_t laidOut = layout != nullptr ? layout->laidOutCount() : blocks;
  return static_cast<std::size_t>(document.characterCount()) * kBytesPerUnit + blocks * kBytesPerBlock +
         laidOut * kBytesPerLaidOutBlock;
}

}  // namespace

DocumentHistory::Held::Held(QTextDocument& live)
    : live_(&live), units_(static_cast<std::size_t>(live.characterCount())), liveBytes_(liveBytesOf(live)) {}

DocumentHistory::Held::Held(Held&& other) noexcept
    : live_(std::exchange(other.live_, nullptr)),
      frozen_(std::move(other.frozen_)),
      units_(other.units_),
      liveBytes_(other.liveBytes_) {}

DocumentHistory::Held& DocumentHistory::Held::operator=(Held&& other) noexcept {
  if (this != &other) {
    Held gone(std::move(*this));
    live_ = std::exchange(other.live_, nullptr);
    frozen_ = std::move(other.frozen_);
    units_ = other.units_;
    liveBytes_ = other.liveBytes_;
  }
  return *this;
}

// Deleted later, so that no signal of the document's still running is cut
// short.
DocumentHistory::Held::~Held() {
  if (live_ != nullptr) live_->deleteLater();
}

std::size_t DocumentHistory::Held::bytes() const {
  return live_ != nullptr ? liveBytes_ : frozen_->bytes();
}

void DocumentHistory::Held::freeze() {
  if (live_ == nullptr) return;
  frozen_ = std::make_unique<const FrozenDocument>(*live_);
  std::exchange(live_, nullptr)->deleteLater();
}

QTextDocument& DocumentHistory::Held::take(QObject& parent) {
  if (live_ != nullptr) return *std::exchange(live_, nullptr);
  return frozen_->thaw(parent);
}

DocumentHistory::DocumentHistory(QTextEdit& edit, Budget budget) : edit_(edit), budget_(budget) {
  // The edit would delete a document of its own when it shows another.
  QTextDocument& shown = *edit_.document();
  shown.setParent(&documents_);
  LazyDocumentLayout::install(shown);
  watch(shown);
}

DocumentHistory::~DocumentHistory() { edit_.document()->setParent(&edit_); }

void DocumentHistory::watch(QTextDocument& document) {
  // A new edit in the document shown ends the way forward.
  QObject::connect(&document, &QTextDocument::undoCommandAdded, &documents_, [this] { later_.clear(); });
}

void DocumentHistory::show(QTextDocument& document) {
  // Laid out at the width of the one shown so far, so that showing it lays
  // out nothing more than what is drawn; the edit's cursor goes to its start.
  document.setPageSize(edit_.document()->pageSize());
  LazyDocumentLayout::install(document);
  edit_.setDocument(&document);
  // The edit reports its undo state from the document alone; it changed.
  emit edit_.undoAvailable(isUndoAvailable());
  emit edit_.redoAvailable(isRedoAvailable());
}

void DocumentHistory::showReplacement(QTextDocument& replacement) {
  QTextDocument& shown = *edit_.document();
  // What it had to redo would come after the replacement on redo.
  shown.clearUndoRedoStacks(QTextDocument::RedoStack);
  later_.clear();
  earlier_.emplace_back(shown);
  watch(replacement);
  show(replacement);
  keepWithinBudget();
}

void DocumentHistory::step(std::deque<Held>& from, std::deque<Held>& to) {
  to.emplace_back(*edit_.document());
  // A live document is watched already; one built anew is not.
  const bool built = !from.back().isLive();
  QTextDocument& next = from.back().take(documents_);
  from.pop_back();
  if (built) watch(next);
  show(next);
  keepWithinBudget();
}

bool DocumentHistory::undo() {
  if (edit_.document()->isUndoAvailable()) {
    edit_.undo();
    return true;
  }
  if (earlier_.empty()) return false;
  step(earlier_, later_);
  return true;
}

bool DocumentHistory::redo() {
  if (edit_.document()->isRedoAvailable()) {
    edit_.redo();
    return true;
  }
  if (later_.empty()) return false;
  step(later_, earlier_);
  // The replacement left its text selected; so does its redo.
  QTextCursor all(edit_.document());
  all.movePosition(QTextCursor::End);
  all.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
  edit_.setTextCursor(all);
  return true;
}

bool DocumentHistory::isUndoAvailable() const {
  return edit_.document()->isUndoAvailable() || !earlier_.empty();
}

bool DocumentHistory::isRedoAvailable() const {
  return edit_.document()->isRedoAvailable() || !later_.empty();
}

void DocumentHistory::forgetOtherDocuments() {
  earlier_.clear();
  later_.clear();
  emit edit_.undoAvailable(isUndoAvailable());
  emit edit_.redoAvailable(isRedoAvailable());
}

std::size_t DocumentHistory::heldBytes() const {
  std::size_t bytes = 0;
  for (const auto* side : {&earlier_, &later_})
    for (const Held& document : *side) bytes += document.bytes();
  return bytes;
}

void DocumentHistory::keepWithinBudget() {
  auto units = static_cast<std::size_t>(edit_.document()->characterCount());
  for (const auto* side : {&earlier_, &later_})
    for (const Held& document : *side) units = std::max(units, document.units());
  const std::size_t textBytes = units * sizeof(QChar);
  const std::size_t limit = std::max(budget_.timesText * textBytes, budget_.floorBytes);
  const auto oldestLive = [this]() -> Held* {
    for (auto* side : {&earlier_, &later_})
      for (Held& document : *side)
        if (document.isLive()) return &document;
    return nullptr;
  };
  // The earliest undo is the front of earlier_; the farthest redo the front
  // of later_.
  bool dropped = false;
  while (heldBytes() > limit) {
    if (Held* live = oldestLive()) {
      live->freeze();
      continue;
    }
    (earlier_.empty() ? later_ : earlier_).pop_front();
    dropped = true;
  }
  if (dropped) {
    emit edit_.undoAvailable(isUndoAvailable());
    emit edit_.redoAvailable(isRedoAvailable());
  }
}

}  // namespace parasort::editor::qt
