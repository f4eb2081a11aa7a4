#include "selection_status.h"

#include "parasort/editor/range.h"

#include <QtConcurrent/QtConcurrentRun>

#include <string>
#include <utility>

namespace parasort {

SelectionStatus::SelectionStatus(QTextEdit& widget, const editor::TextView& view, QStatusBar& bar,
                                 Counter counter)
    : view_(view), counter_(std::move(counter)), label_(new QLabel(&bar)) {
  label_->setObjectName(QStringLiteral("selectionStatus"));
  bar.addWidget(label_);
  debounce_.setSingleShot(true);
  debounce_.setInterval(pause);
  connect(&debounce_, &QTimer::timeout, this, &SelectionStatus::refresh);
  connect(&counting_, &QFutureWatcher<ParagraphSummary>::finished, this, &SelectionStatus::counted);
  connect(&widget, &QTextEdit::textChanged, this, &SelectionStatus::changed);
  connect(&widget, &QTextEdit::selectionChanged, this, &SelectionStatus::changed);
  label_->setText(QStringLiteral("Counting\u2026"));
  refresh();
}

void SelectionStatus::changed() {
  ++change_;
  label_->setText(report_.isEmpty() ? QStringLiteral("Counting\u2026")
                                    : report_ + QStringLiteral(" (counting\u2026)"));
  debounce_.start();
}

void SelectionStatus::refresh() {
  debounce_.stop();
  // One count at a time; the one under way looks again when it ends.
  if (counting_.isRunning()) return;
  // The copy is made here, on the window's thread, where the document may
  // be read; only the copy goes to the worker.
  std::u16string text = view_.string();
  const editor::Range selection = editor::clampedRange(view_.selectedRange(), text.size());
  countedSelection_ = selection.length > 0;
  if (countedSelection_) text = text.substr(selection.location, selection.length);
  countedChange_ = change_;
  counting_.setFuture(QtConcurrent::run(
      [counter = counter_, counted = std::move(text), options = savedSortOptions()] {
        return counter(counted, options);
      }));
}

void SelectionStatus::counted() {
  if (countedChange_ == change_) {
    report_ = statusText(counting_.result(), countedSelection_);
    label_->setText(report_);
  } else if (!debounce_.isActive())
    refresh();
}

}  // namespace parasort
