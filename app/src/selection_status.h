// The status bar's report on the selection (or, with nothing selected, the
// whole text): its paragraphs and its duplicates.
//
// Counting a large text takes a noticeable time, so it never runs on the
// window's thread: a moment after the user stops typing or selecting, the
// text is copied and counted on a worker, once per change, under the sort
// options saved at that moment. While it counts, the last report stays,
// marked as being counted again, and a count that arrives for text that has
// changed since is dropped, so the bar never presents an older text's count
// as the current one.
#pragma once

#include "paragraph_summary.h"
#include "parasort/editor/text_view.h"

#include <QFutureWatcher>
#include <QLabel>
#include <QObject>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string_view>

namespace parasort {

class SelectionStatus final : public QObject {
 public:
  static constexpr std::chrono::milliseconds pause{200};

  // How a text is counted (on a worker thread).
  using Counter = std::function<ParagraphSummary(std::u16string_view text, const SortOptions& options)>;

  // Watches `widget` (seen through `view`) and reports in `bar`; all three
  // must outlive this object.
  SelectionStatus(QTextEdit& widget, const editor::TextView& view, QStatusBar& bar,
                  Counter counter = summarizeParagraphs);

  // Starts counting now, without waiting for the pause.
  void refresh();
  // Clears the report and counts again after the pause: the text, the
  // selection or the sort options changed.
  void changed();

 private:
  void counted();

  const editor::TextView& view_;
  Counter counter_;
  QLabel* label_;  // owned by the status bar
  QString report_;  // the last count shown, unmarked
  QTimer debounce_;
  QFutureWatcher<ParagraphSummary> counting_;
  // Which change of the text or selection the label (or the count under
  // way) belongs to.
  std::uint64_t change_ = 0;
  std::uint64_t countedChange_ = 0;
  bool countedSelection_ = false;
};

}  // namespace parasort
