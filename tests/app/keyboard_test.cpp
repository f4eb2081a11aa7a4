// The editor at the keyboard: a mnemonic on every menu and item, Alt with a
// letter never typing, Find and Replace, and the manual on F1.
#include "main_interface.h"
#include "menu_mnemonics.h"

#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTest>
#include <QTextBrowser>

#include <gtest/gtest.h>

namespace {

// Every title and item of `actions` has a mnemonic, none shared.
void expectMnemonics(const QList<QAction*>& actions, const QString& where) {
  QSet<QChar> seen;
  for (const QAction* action : actions) {
    if (action->isSeparator()) continue;
    const QChar mnemonic = parasort::mnemonicOf(action->text());
    EXPECT_FALSE(mnemonic.isNull()) << (where + action->text()).toStdString();
    EXPECT_FALSE(seen.contains(mnemonic)) << (where + action->text()).toStdString() << " shares its mnemonic";
    seen.insert(mnemonic);
    if (action->menu() != nullptr) expectMnemonics(action->menu()->actions(), where + action->text() + u'>');
  }
}

TEST(Keyboard, EveryMenuAndItemHasItsOwnMnemonic) {
  parasort::MainInterface interface;
  ASSERT_FALSE(interface.ui().menuBar->actions().isEmpty());
  expectMnemonics(interface.ui().menuBar->actions(), QString());
}

// Alt with a letter, a menu's or none, leaves a selection as it was.
TEST(Keyboard, AltWithALetterNeverTypes) {
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  edit.setPlainText(QStringLiteral("one two"));
  edit.selectAll();
  for (const Qt::Key key : {Qt::Key_E, Qt::Key_Z, Qt::Key_1})
    QTest::keyClick(&edit, key, Qt::AltModifier);
  QTest::keyClick(&edit, Qt::Key_X);  // a letter alone still types
  EXPECT_EQ(edit.toPlainText(), QStringLiteral("x"));
}

// Each search finds its matches in order from the start, round the end, and
// backwards from the start round to the last; Replace All replaces as many,
// as one edit.
TEST(FindReplace, FindsAndReplacesByCaseAndWholeWords) {
  const QString text = QStringLiteral("Apple apple pineapple APPLE\napple");
  const struct {
    bool matchCase, wholeWords;
    std::vector<int> starts;
  } cases[] = {{false, false, {0, 6, 16, 22, 28}},
               {true, false, {6, 16, 28}},
               {false, true, {0, 6, 22, 28}},
               {true, true, {6, 28}}};
  for (const auto& [matchCase, wholeWords, starts] : cases) {
    SCOPED_TRACE(testing::Message() << matchCase << wholeWords);
    parasort::MainInterface interface;
    QTextEdit& edit = *interface.ui().textView;
    edit.setPlainText(text);
    parasort::FindReplace& find = interface.findReplace();
    find.setSearch({QStringLiteral("apple"), matchCase, wholeWords});
    std::vector<int> found;
    for (std::size_t i = 0; i <= starts.size(); ++i) {
      interface.ui().actionFindNext->trigger();
      found.push_back(edit.textCursor().selectionStart());
      EXPECT_EQ(edit.textCursor().selectedText().size(), 5);
    }
    std::vector<int> expected = starts;
    expected.push_back(starts.front());
    EXPECT_EQ(found, expected);
    edit.moveCursor(QTextCursor::Start);
    interface.ui().actionFindPrevious->trigger();
    EXPECT_EQ(edit.textCursor().selectionStart(), starts.back());

    EXPECT_EQ(find.replaceAll(QStringLiteral("pear apple")), static_cast<int>(starts.size()));
    EXPECT_EQ(edit.toPlainText().count(QStringLiteral("pear")), static_cast<qsizetype>(starts.size()));
    interface.ui().actionUndo->trigger();
    EXPECT_EQ(edit.toPlainText(), text);
  }
}

// Replace replaces the match selected and moves on to the next; it leaves a
// selection that is no match alone, and a read-only text too.
TEST(FindReplace, ReplaceChangesOnlyASelectedMatch) {
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  edit.setPlainText(QStringLiteral("cat dog cat"));
  parasort::FindReplace& find = interface.findReplace();
  find.setSearch({QStringLiteral("cat"), false, true});
  interface.textView().text().setSelectedRange({4, 3});
  find.replace(QStringLiteral("cow"));
  EXPECT_EQ(edit.toPlainText(), QStringLiteral("cat dog cat"));
  EXPECT_EQ(edit.textCursor().selectionStart(), 8);
  find.replace(QStringLiteral("cow"));
  EXPECT_EQ(edit.toPlainText(), QStringLiteral("cat dog cow"));
  EXPECT_EQ(edit.textCursor().selectionStart(), 0);
  edit.setReadOnly(true);
  EXPECT_FALSE(find.replace(QStringLiteral("cow")));
  EXPECT_EQ(find.replaceAll(QStringLiteral("cow")), 0);
  EXPECT_EQ(edit.toPlainText(), QStringLiteral("cat dog cow"));
}

// Ctrl+F opens the dialog with the selected word to find; Ctrl+H with the
// replacement field shown.
TEST(FindReplace, TheDialogTakesTheSelectedWord) {
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  edit.setPlainText(QStringLiteral("alpha beta"));
  interface.textView().text().setSelectedRange({6, 4});
  EXPECT_EQ(interface.ui().actionFind->shortcut(), QKeySequence(QStringLiteral("Ctrl+F")));
  EXPECT_EQ(interface.ui().actionReplace->shortcut(), QKeySequence(QStringLiteral("Ctrl+H")));
  interface.ui().actionFind->trigger();
  QDialog* dialog = interface.findReplace().dialog();
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("findText"))->text(), QStringLiteral("beta"));
  EXPECT_TRUE(dialog->findChild<QLineEdit*>(QStringLiteral("replaceText"))->isHidden());
  interface.ui().actionReplace->trigger();
  EXPECT_FALSE(dialog->findChild<QLineEdit*>(QStringLiteral("replaceText"))->isHidden());
}

// F1 shows the manual page, set by man(1).
TEST(Keyboard, F1ShowsTheManual) {
  parasort::MainInterface interface;
  EXPECT_EQ(interface.ui().actionManual->shortcut(), QKeySequence(Qt::Key_F1));
  interface.ui().actionManual->trigger();
  const auto* manual = interface.window().findChild<QDialog*>(QStringLiteral("manual"));
  ASSERT_NE(manual, nullptr);
  EXPECT_TRUE(manual->isVisible());
  const QString page = manual->findChild<QTextBrowser*>()->toPlainText();
  EXPECT_TRUE(page.contains(QStringLiteral("parasort-editor - edit text")) && !page.contains(QStringLiteral(".SH")))
      << page.left(300).toStdString();
}

}  // namespace
