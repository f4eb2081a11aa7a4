// The Paragraphs menu, made from the operations table: each item replaces the
// selected paragraphs with its operation's result, as one edit that every way
// of undoing takes back; the controller reads the order from the item's tag.
#include "main_interface.h"
#include "parasort/paragraph_operations.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

// Each row's item, undone and redone by the Edit menu, the keys or the text's
// context menu in turn, over a sort of the whole text (a new document).
TEST(ParagraphsMenu, EachOperationsItemGivesItsResultUndoneInOneStep) {
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  const auto fromContextMenu = [&edit](const char* name) {
    return [&edit, name] {
      QContextMenuEvent event(QContextMenuEvent::Keyboard, {5, 5}, edit.viewport()->mapToGlobal(QPoint(5, 5)));
      QCoreApplication::sendEvent(edit.viewport(), &event);
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      ASSERT_NE(menu, nullptr);
      menu->findChild<QAction*>(QString::fromLatin1(name))->trigger();
      menu->close();
    };
  };
  const auto keys = [&edit](Qt::KeyboardModifiers modifiers) {
    return [&edit, modifiers] { QTest::keyClick(&edit, Qt::Key_Z, modifiers); };
  };
  const std::function<void()> ways[][2] = {
      {[&] { interface.ui().actionUndo->trigger(); }, [&] { interface.ui().actionRedo->trigger(); }},
      {keys(Qt::ControlModifier), keys(Qt::ControlModifier | Qt::ShiftModifier)},
      {fromContextMenu("edit-undo"), fromContextMenu("edit-redo")}};
  const char* const results[] = {"a\nb\nb\nc", "c\nb\nb\na", "a\nb\nc"};
  for (const parasort::ParagraphOperation& operation : parasort::paragraphOperations) {
    QAction& item = interface.paragraphAction(operation.order);
    EXPECT_TRUE(interface.ui().menuParagraphs->actions().contains(&item)) << operation.name;
    EXPECT_EQ(item.text(), QString::fromUtf8(operation.menuText));
    EXPECT_EQ(item.shortcut(), QKeySequence(QString::fromLatin1(operation.menuShortcut)));
    EXPECT_EQ(item.data(), QVariant(operation.menuTag)) << operation.name;
    edit.setPlainText(QStringLiteral("b\nc\na\nb"));
    edit.selectAll();
    item.trigger();
    const QString result = QString::fromLatin1(results[static_cast<int>(operation.order)]);
    const auto& [undo, redo] = ways[(&operation - parasort::paragraphOperations.data()) % 3];
    EXPECT_EQ(edit.toPlainText(), result);
    undo();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("b\nc\na\nb")) << operation.name;
    redo();
    EXPECT_EQ(edit.toPlainText(), result);
  }
}

// Any tag but 0 sorts descending, all 64 bits counting; only the selected
// paragraphs change, and the result is left selected; a refused replacement
// changes nothing.
TEST(ParagraphsMenu, TheTagChoosesTheOrderOfTheSelectedParagraphs) {
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  QAction sender;
  for (const qlonglong tag : {0LL, 1LL, -1LL, 4294967296LL}) {
    edit.setPlainText(QStringLiteral("z\nb\nc\na\nz"));
    interface.textView().text().setSelectedRange({2, 5});
    sender.setData(tag);
    interface.controller().sortParagraphs(sender);
    const QString sorted = tag == 0 ? QStringLiteral("a\nb\nc") : QStringLiteral("c\nb\na");
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("z\n") + sorted + QStringLiteral("\nz")) << tag;
    EXPECT_EQ(edit.textCursor().selectedText().replace(QChar(0x2029), u'\n'), sorted) << tag;
  }
  interface.textView().text().setApprovalDelegate([](auto, auto) { return false; });
  interface.controller().uniqueParagraphs(sender);
  EXPECT_EQ(edit.toPlainText(), QStringLiteral("z\nc\nb\na\nz"));
}

}  // namespace
