// The Paragraphs menu, made from the operations table: each item replaces the
// selected paragraphs with its operation's result, left selected, as one edit
// that every way of undoing takes back; the controller reads the sort order
// from the item's tag.
#include "app_test_support.h"
#include "main_interface.h"
#include "parasort/paragraph_operations.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

using parasort::ParagraphOrder;

TEST(ParagraphsMenu, EachOperationsItemReplacesTheSelectionWithItsResult) {
  parasort::test::clearUserDefaults();
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  const auto resultOf = [](ParagraphOrder order) {
    return order == ParagraphOrder::ascending    ? QStringLiteral("a\nb\nb\nc")
           : order == ParagraphOrder::descending ? QStringLiteral("c\nb\nb\na")
                                                 : QStringLiteral("a\nb\nc");
  };
  for (const parasort::ParagraphOperation& operation : parasort::paragraphOperations) {
    SCOPED_TRACE(operation.name);
    QAction& item = interface.paragraphAction(operation.order);
    EXPECT_TRUE(interface.ui().menuParagraphs->actions().contains(&item));
    EXPECT_EQ(item.text(), QString::fromUtf8(operation.menuText));
    EXPECT_EQ(item.shortcut(), QKeySequence(QString::fromLatin1(operation.menuShortcut)));
    EXPECT_EQ(item.data(), QVariant(operation.menuTag));
    edit.setPlainText(QStringLiteral("x\nb\nc\na\nb\ny"));
    interface.textView().text().setSelectedRange({2, 7});
    item.trigger();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("x\n") + resultOf(operation.order) + QStringLiteral("\ny"));
    EXPECT_EQ(edit.textCursor().selectedText().replace(QChar(0x2029), u'\n'), resultOf(operation.order));
    interface.ui().actionUndo->trigger();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("x\nb\nc\na\nb\ny"));
  }
}

// Any tag but 0 sorts descending, the whole 64-bit number counting; a
// refused replacement changes nothing.
TEST(ParagraphsMenu, TheTagChoosesTheOrderAndARefusalChangesNothing) {
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  QAction sender;
  for (const qlonglong tag : {0LL, 1LL, -1LL, 4294967296LL}) {
    edit.setPlainText(QStringLiteral("b\nc\na"));
    edit.selectAll();
    sender.setData(tag);
    interface.controller().sortParagraphs(sender);
    EXPECT_EQ(edit.toPlainText(), tag == 0 ? QStringLiteral("a\nb\nc") : QStringLiteral("c\nb\na")) << tag;
  }
  interface.textView().text().setApprovalDelegate([](auto, auto) { return false; });
  interface.controller().uniqueParagraphs(sender);
  EXPECT_EQ(edit.toPlainText(), QStringLiteral("c\nb\na"));
}

// A whole-text sort shows a new document; the Edit menu, the keys and the
// context menu all undo and redo it.
TEST(ParagraphsMenu, EveryWayToUndoAndRedoCrossesAWholeTextSort) {
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  const auto menuItem = [&edit](const char* name) {
    return [&edit, name] {
      QContextMenuEvent event(QContextMenuEvent::Keyboard, QPoint(5, 5), edit.viewport()->mapToGlobal(QPoint(5, 5)));
      QCoreApplication::sendEvent(edit.viewport(), &event);
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      auto* action = menu != nullptr ? menu->findChild<QAction*>(QString::fromLatin1(name)) : nullptr;
      if (action != nullptr && action->isEnabled()) action->trigger();
      if (menu != nullptr) menu->close();
    };
  };
  const auto keys = [&edit](Qt::KeyboardModifiers modifiers) {
    return [&edit, modifiers] { QTest::keyClick(&edit, Qt::Key_Z, modifiers); };
  };
  const std::function<void()> ways[][2] = {
      {[&] { interface.ui().actionUndo->trigger(); }, [&] { interface.ui().actionRedo->trigger(); }},
      {keys(Qt::ControlModifier), keys(Qt::ControlModifier | Qt::ShiftModifier)},
      {menuItem("edit-undo"), menuItem("edit-redo")}};
  edit.setPlainText(QStringLiteral("b\nc\na"));
  edit.selectAll();
  interface.paragraphAction(ParagraphOrder::ascending).trigger();
  for (const auto& [undo, redo] : ways) {
    undo();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("b\nc\na"));
    redo();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("a\nb\nc"));
  }
}

}  // namespace
