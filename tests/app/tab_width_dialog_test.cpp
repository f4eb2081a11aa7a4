// Format > Tab Width…: what the dialog offers, and what OK does with it.
#include "app_test_support.h"
#include "main_interface.h"
#include "tab_width_dialog.h"

#include "parasort/editor/text_view_additions.h"

#include <QInputDialog>
#include <QTextDocument>

#include <gtest/gtest.h>

#include <optional>
#include <ostream>

namespace {

namespace TQ = parasort::TQAdditions;

struct TabWidthCase {
  const char* name;
  std::optional<double> intervalBefore;  // the text's own, or none
  std::optional<double> typed;           // what the user types before OK, or nothing
  double offered;                        // in points
  double intervalAfter;                  // 0.0: the text still sets none
  bool undoable;                         // whether OK made an edit, undone in one step
};

void PrintTo(const TabWidthCase& tested, std::ostream* out) { *out << tested.name; }

class TabWidthDialog : public ::testing::TestWithParam<TabWidthCase> {};

TEST_P(TabWidthDialog, OffersTheIntervalInPointsAndOkChangesOnlyAnEditedValue) {
  const TabWidthCase& c = GetParam();
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  edit.setPlainText(QStringLiteral("a\tb\nc\td"));
  parasort::editor::qt::QTextEditTextView& view = interface.textView().text();
  if (c.intervalBefore) {
    ASSERT_TRUE(TQ::setDefaultTabInterval(view, *c.intervalBefore));
  }
  const int undoStepsBefore = edit.document()->availableUndoSteps();

  QInputDialog* dialog = parasort::openTabWidthDialog(interface.textView());
  EXPECT_EQ(dialog->doubleValue(), c.offered);
  if (c.typed) dialog->setDoubleValue(*c.typed);
  dialog->accept();

  EXPECT_EQ(TQ::defaultTabInterval(view), c.intervalAfter);
  if (c.undoable) {
    edit.undo();
    EXPECT_EQ(TQ::defaultTabInterval(view), c.intervalBefore.value_or(0.0));
  } else {
    EXPECT_EQ(edit.document()->availableUndoSteps(), undoStepsBefore);
  }
}

// The view draws a text without an interval of its own with stops every
// 80 pixels (QTextEdit's default), which is 60 points.
INSTANTIATE_TEST_SUITE_P(
    Cases, TabWidthDialog,
    ::testing::Values(
        TabWidthCase{"StandardUnedited", std::nullopt, std::nullopt, 60.0, 0.0, false},
        TabWidthCase{"OwnUnedited", 36.0, std::nullopt, 36.0, 36.0, false},
        TabWidthCase{"OwnFinerThanTheFieldUnedited", 36.04, std::nullopt, 36.0, 36.04, false},
        TabWidthCase{"StandardEdited", std::nullopt, 48.0, 60.0, 48.0, true},
        TabWidthCase{"OwnEdited", 36.0, 72.5, 36.0, 72.5, true}),
    [](const ::testing::TestParamInfo<TabWidthCase>& tested) { return tested.param.name; });

}  // namespace
