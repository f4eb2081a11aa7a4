// The status bar's report on the selection (or, with nothing selected, the
// whole text): its paragraphs and its duplicates, brought up to date a
// moment after the user stops typing or selecting, so that a large text is
// counted once per pause and not once per keystroke.
#pragma once

#include "parasort/editor/text_view.h"

#include <QLabel>
#include <QObject>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>

#include <chrono>

namespace parasort {

class SelectionStatus final : public QObject {
 public:
  static constexpr std::chrono::milliseconds pause{200};

  // Watches `widget` (seen through `view`) and reports in `bar`; all three
  // must outlive this object.
  SelectionStatus(QTextEdit& widget, const editor::TextView& view, QStatusBar& bar);

  // Counts now, without waiting for the pause.
  void refresh();

 private:
  const editor::TextView& view_;
  QLabel* label_;  // owned by the status bar
  QTimer debounce_;
};

}  // namespace parasort
