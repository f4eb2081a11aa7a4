#include "selection_status.h"

#include "paragraph_summary.h"
#include "parasort/editor/range.h"

#include <string>
#include <string_view>

namespace parasort {

SelectionStatus::SelectionStatus(QTextEdit& widget, const editor::TextView& view, QStatusBar& bar)
    : view_(view), label_(new QLabel(&bar)) {
  label_->setObjectName(QStringLiteral("selectionStatus"));
  bar.addWidget(label_);
  debounce_.setSingleShot(true);
  debounce_.setInterval(pause);
  connect(&debounce_, &QTimer::timeout, this, &SelectionStatus::refresh);
  const auto restart = [this] { debounce_.start(); };
  connect(&widget, &QTextEdit::textChanged, this, restart);
  connect(&widget, &QTextEdit::selectionChanged, this, restart);
  refresh();
}

void SelectionStatus::refresh() {
  debounce_.stop();
  const std::u16string string = view_.string();
  const editor::Range selection = editor::clampedRange(view_.selectedRange(), string.size());
  const bool ofSelection = selection.length > 0;
  const std::u16string_view text =
      ofSelection ? std::u16string_view(string).substr(selection.location, selection.length)
                  : std::u16string_view(string);
  label_->setText(statusText(summarizeParagraphs(text), ofSelection));
}

}  // namespace parasort
