// The two menu actions, as a user sees them in the editor: the selection is
// replaced by its sorted or de-duplicated paragraphs, left selected, and one
// undo brings the old text back.
#include "app_test_support.h"
#include "editor_text_view.h"
#include "main_interface.h"
#include "my_controller.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QLabel>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace parasort::editor {
inline void PrintTo(const Range& range, std::ostream* out) {
  *out << "(" << range.location << ", " << range.length << ")";
}
}  // namespace parasort::editor

namespace {

using parasort::editor::Range;
using parasort::test::shownText;

class MenuActions : public ::testing::Test {
 protected:
  // Puts `text` in the view, with no undo history, and selects `selection`.
  void show(const QString& text, Range selection) {
    edit.setPlainText(text);
    view.text().setSelectedRange(selection);
  }
  void selectAll(const QString& text) { show(text, {0, static_cast<std::size_t>(text.size())}); }

  const QAction& sender(qlonglong tag) {
    menuItem.setData(tag);
    return menuItem;
  }

  // From now on, every edit the controller asks the view to approve is
  // recorded, and answered with `approve`.
  void recordApprovals() {
    view.text().setApprovalDelegate([this](Range range, std::optional<std::u16string_view> text) {
      approvals.emplace_back(range, text ? std::optional<std::u16string>(*text) : std::nullopt);
      return approve;
    });
  }

  QTextEdit edit;
  parasort::EditorTextView view{edit};
  parasort::MyController controller{view};
  QAction menuItem;
  std::vector<std::pair<Range, std::optional<std::u16string>>> approvals;
  bool approve = true;
};

TEST_F(MenuActions, TagZeroSortsAscendingAnyOtherDescendingAndUniqueIgnoresTheTag) {
  using Action = void (parasort::MyController::*)(const QAction&);
  struct Case {
    Action action;
    qlonglong tag;
    QString text;
    QString expected;
  };
  const Case cases[] = {
      {&parasort::MyController::sortParagraphs, 0, QStringLiteral("b\na"), QStringLiteral("a\nb")},
      {&parasort::MyController::sortParagraphs, 1, QStringLiteral("a\nb"), QStringLiteral("b\na")},
      {&parasort::MyController::sortParagraphs, -1, QStringLiteral("a\nb"), QStringLiteral("b\na")},
      {&parasort::MyController::sortParagraphs, 4294967296LL, QStringLiteral("a\nb"), QStringLiteral("b\na")},
      {&parasort::MyController::uniqueParagraphs, 0, QStringLiteral("b\na\nb"), QStringLiteral("a\nb")},
      {&parasort::MyController::uniqueParagraphs, 1, QStringLiteral("b\na\nb"), QStringLiteral("a\nb")},
  };
  for (const auto& [action, tag, text, expected] : cases) {
    SCOPED_TRACE(testing::Message() << text.toStdString() << ", tag " << tag);
    selectAll(text);
    (controller.*action)(sender(tag));
    EXPECT_EQ(shownText(edit), expected);
    // The result is left selected.
    EXPECT_EQ(view.text().selectedRange(), (Range{0, 3}));
  }
}

TEST_F(MenuActions, OnlyTheSelectedParagraphsAreSortedAndTheResultIsSelected) {
  show(QStringLiteral("z\nb\na\nc"), {2, 3});
  controller.sortParagraphs(sender(0));
  EXPECT_EQ(shownText(edit), QStringLiteral("z\na\nb\nc"));
  EXPECT_EQ(view.text().selectedRange(), (Range{2, 3}));
  EXPECT_EQ(edit.textCursor().selectedText(), QStringLiteral("a\u2029b"));
}

TEST_F(MenuActions, AnEmptySelectionStillAsksToReplaceItWithNothing) {
  show(QStringLiteral("b\na"), {1, 0});
  recordApprovals();
  controller.sortParagraphs(sender(0));
  ASSERT_EQ(approvals.size(), 1U);
  EXPECT_EQ(approvals[0].first, (Range{1, 0}));
  EXPECT_EQ(approvals[0].second, std::u16string());
  EXPECT_EQ(shownText(edit), QStringLiteral("b\na"));
}

TEST_F(MenuActions, ASingleParagraphIsReplacedByItselfAndStaysSelected) {
  show(QStringLiteral("x\ncba\ny"), {2, 3});
  recordApprovals();
  controller.uniqueParagraphs(sender(0));
  ASSERT_EQ(approvals.size(), 1U);
  EXPECT_EQ(approvals[0].second, u"cba");
  EXPECT_EQ(shownText(edit), QStringLiteral("x\ncba\ny"));
  EXPECT_EQ(view.text().selectedRange(), (Range{2, 3}));
}

TEST_F(MenuActions, ARefusedReplacementLeavesTheTextAsItWas) {
  selectAll(QStringLiteral("b\na"));
  approve = false;
  recordApprovals();
  controller.sortParagraphs(sender(0));
  EXPECT_EQ(approvals.size(), 1U);
  EXPECT_EQ(shownText(edit), QStringLiteral("b\na"));
}

// Whether `label` shows `text` within a second (the status waits for a pause
// in the user's typing).
bool showsSoon(const QLabel& label, const QString& text) {
  return QTest::qWaitFor([&] { return label.text() == text; }, 1000);
}

// The menu items of the main interface reach the controller with their tags.
class MainMenu : public ::testing::Test {
 protected:
  void SetUp() override { parasort::test::clearUserDefaults(); }

  void selectAll(const QString& text) {
    interface.ui().textView->setPlainText(text);
    interface.ui().textView->selectAll();
  }
  QString shown() const { return interface.ui().textView->toPlainText(); }

  parasort::MainInterface interface;
};

TEST_F(MainMenu, TheSortItemsSortAscendingAndDescending) {
  selectAll(QStringLiteral("b\nc\na"));
  interface.paragraphAction(parasort::ParagraphOrder::descending).trigger();
  EXPECT_EQ(shown(), QStringLiteral("c\nb\na"));
  interface.paragraphAction(parasort::ParagraphOrder::ascending).trigger();
  EXPECT_EQ(shown(), QStringLiteral("a\nb\nc"));
}

TEST_F(MainMenu, TheDeDuplicationItemRemovesRepeatedParagraphs) {
  selectAll(QStringLiteral("b\nB\na\nb"));
  interface.paragraphAction(parasort::ParagraphOrder::unique).trigger();
  EXPECT_EQ(shown(), QStringLiteral("a\nb"));
  interface.ui().actionUndo->trigger();
  EXPECT_EQ(shown(), QStringLiteral("b\nB\na\nb"));
}

// A sort of the whole text shows a new document; the Edit menu, the keys
// and the text view's context menu all undo and redo it alike.
TEST_F(MainMenu, EveryWayToUndoAndRedoCrossesAWholeTextSort) {
  QTextEdit& edit = *interface.ui().textView;
  const auto fromTheContextMenu = [&edit](const char* item) {
    QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5), edit.viewport()->mapToGlobal(QPoint(5, 5)));
    QCoreApplication::sendEvent(edit.viewport(), &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return false;
    auto* action = menu->findChild<QAction*>(QString::fromLatin1(item));
    const bool enabled = action != nullptr && action->isEnabled();
    if (enabled) action->trigger();
    menu->close();
    return enabled;
  };
  // Each way gives an undo and a redo; false when its item was disabled.
  struct Way {
    const char* name;
    std::function<bool()> undo;
    std::function<bool()> redo;
  };
  const auto action = [](QAction* item) {
    return [item] {
      if (!item->isEnabled()) return false;
      item->trigger();
      return true;
    };
  };
  const auto keys = [&edit](Qt::KeyboardModifiers modifiers) {
    return [&edit, modifiers] {
      QTest::keyClick(&edit, Qt::Key_Z, modifiers);
      return true;
    };
  };
  const std::vector<Way> ways{
      {"Edit menu", action(interface.ui().actionUndo), action(interface.ui().actionRedo)},
      {"keys", keys(Qt::ControlModifier), keys(Qt::ControlModifier | Qt::ShiftModifier)},
      {"context menu", [&] { return fromTheContextMenu("edit-undo"); },
       [&] { return fromTheContextMenu("edit-redo"); }}};

  selectAll(QStringLiteral("b\nc\na"));
  interface.paragraphAction(parasort::ParagraphOrder::ascending).trigger();
  ASSERT_EQ(shown(), QStringLiteral("a\nb\nc"));
  for (const Way& way : ways) {
    SCOPED_TRACE(way.name);
    EXPECT_TRUE(way.undo());
    EXPECT_EQ(shown(), QStringLiteral("b\nc\na"));
    EXPECT_TRUE(way.redo());
    EXPECT_EQ(shown(), QStringLiteral("a\nb\nc"));
  }
}

TEST_F(MainMenu, TheStatusBarCountsTheSelectionsParagraphsAndDuplicates) {
  const auto* status = interface.window().findChild<QLabel*>(QStringLiteral("selectionStatus"));
  ASSERT_NE(status, nullptr);
  QTextEdit& edit = *interface.ui().textView;
  edit.setPlainText(QStringLiteral("b\na\nb\nc"));
  EXPECT_TRUE(showsSoon(*status, QStringLiteral("4 paragraphs, 1 duplicate"))) << status->text().toStdString();
  interface.textView().text().setSelectedRange({0, 3});
  EXPECT_TRUE(showsSoon(*status, QStringLiteral("Selection: 2 paragraphs, no duplicates")))
      << status->text().toStdString();
  // Counted off the window's thread: the old count goes at once, and the
  // count that shows is the last text's.
  edit.setPlainText(QStringLiteral("x\ny"));
  EXPECT_EQ(status->text(), QString());
  edit.setPlainText(QStringLiteral("x\nx\ny"));
  EXPECT_TRUE(showsSoon(*status, QStringLiteral("3 paragraphs, 1 duplicate"))) << status->text().toStdString();
}

}  // namespace
