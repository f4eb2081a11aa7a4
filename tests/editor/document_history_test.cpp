// The history of whole-text replacements: documents come back equal (text,
// character and paragraph formats) on undo and redo, and what the history
// holds stays within its budget, the oldest steps dropped first.
#include "parasort/editor/qt/document_history.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPaintEvent>
#include <QRegion>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using parasort::editor::qt::DocumentHistory;

// A document in the history's care, built by `build` on a fresh cursor
// outside any undo history, as a replacement is.
QTextDocument& documentFor(DocumentHistory& history, const std::function<void(QTextCursor&)>& build) {
  auto* document = new QTextDocument(&history.documentOwner());
  document->setUndoRedoEnabled(false);
  QTextCursor cursor(document);
  build(cursor);
  // Enough plain text after it that a frozen document takes less room
  // than a live one.
  cursor.movePosition(QTextCursor::End);
  cursor.insertText(QStringLiteral("\nand a plain line after it").repeated(1000), QTextCharFormat());
  document->setUndoRedoEnabled(true);
  return *document;
}

// Each document shown in turn by a replacement, then undone back to the
// first and redone to the last: each comes back as it was, formats and all,
// and redo leaves its text selected; whether held live or frozen.
TEST(DocumentHistory, DocumentsComeBackAsTheyWere) {
  QTextCharFormat bold;
  bold.setFontWeight(QFont::Bold);
  QTextBlockFormat indented;
  indented.setLeftMargin(36);
  QTextCharFormat italicBreak;
  italicBreak.setFontItalic(true);
  const std::vector<std::function<void(QTextCursor&)>> builds = {
      [](QTextCursor& c) { c.insertText(QStringLiteral("plain\ntext\n")); },
      [](QTextCursor&) {},  // empty
      [&](QTextCursor& c) {
        c.insertText(QStringLiteral("a "));
        c.insertText(QStringLiteral("bold"), bold);
        c.insertText(QStringLiteral(" word\n\n\nlast"));
      },
      [&](QTextCursor& c) {
        c.insertText(QStringLiteral("one\n"));
        c.setBlockFormat(indented);
        c.insertText(QStringLiteral("two\nthree"));
        c.insertBlock(QTextBlockFormat(), italicBreak);
        c.insertText(QStringLiteral("four"), bold);
      },
  };
  // Held live, and held frozen (no room for a live one).
  for (const DocumentHistory::Budget budget : {DocumentHistory::Budget(), DocumentHistory::Budget{5, 0}}) {
  SCOPED_TRACE(budget.floorBytes);
  QTextEdit edit;
  DocumentHistory history(edit, budget);
  std::vector<QString> shown = {edit.document()->toHtml()};
  for (const auto& build : builds) {
    history.showReplacement(documentFor(history, build));
    shown.push_back(edit.document()->toHtml());
  }
  for (std::size_t i = shown.size() - 1; i > 0; --i) {
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(edit.document()->toHtml().toStdString(), shown[i - 1].toStdString()) << i - 1;
  }
  EXPECT_FALSE(history.undo());
  for (std::size_t i = 1; i < shown.size(); ++i) {
    ASSERT_TRUE(history.redo());
    EXPECT_EQ(edit.document()->toHtml().toStdString(), shown[i].toStdString()) << i;
    EXPECT_EQ(edit.textCursor().selectionStart(), 0);
    EXPECT_EQ(edit.textCursor().selectionEnd(), edit.document()->characterCount() - 1);
  }
  EXPECT_FALSE(history.redo());
  }
}

// Ten replacements of a text hold no more than the budget allows (four
// times the text's size, no floor here); undo goes back through the latest
// of them, and the earliest are gone.
TEST(DocumentHistory, TheHistoryStaysWithinItsBudgetDroppingTheOldestFirst) {
  const auto text = [](int version) {
    QString lines;
    for (int line = 0; line < 2000; ++line) lines += QStringLiteral("version %1 line %2\n").arg(version, 2).arg(line, 5);
    return lines;
  };
  QTextEdit edit;
  edit.setPlainText(text(0).chopped(1));
  DocumentHistory history(edit, {.timesText = 4, .floorBytes = 0});
  const auto budget = [&edit] { return 4 * static_cast<std::size_t>(edit.document()->characterCount()) * 2; };
  for (int version = 1; version <= 10; ++version) {
    auto* document = new QTextDocument(&history.documentOwner());
    document->setPlainText(text(version).chopped(1));
    history.showReplacement(*document);
    EXPECT_LE(history.heldBytes(), budget()) << version;
  }
  const std::size_t kept = history.earlierCount();
  EXPECT_GE(kept, 2U);
  EXPECT_LT(kept, 10U);
  for (std::size_t step = 1; step <= kept; ++step) {
    ASSERT_TRUE(history.undo());
    EXPECT_EQ(edit.toPlainText(), text(10 - static_cast<int>(step)).chopped(1));
    EXPECT_LE(history.heldBytes(), budget());
  }
  EXPECT_FALSE(history.undo()) << "the oldest steps were dropped";
}

// Undo and redo show a document laid out before: the whole view is drawn
// again, not only where the caret blinks.
TEST(DocumentHistory, UndoAndRedoDrawTheDocumentTheyShow) {
  QTextEdit edit;
  edit.resize(320, 240);
  edit.show();
  DocumentHistory history(edit, {.timesText = 4, .floorBytes = 0});
  // Of the same size as the replacement, so that no scroll range changes.
  edit.setPlainText(QStringLiteral("b\na\n") + QStringLiteral("\nand a plain line after it").repeated(1000));
  history.showReplacement(documentFor(history, [](QTextCursor& c) { c.insertText(QStringLiteral("a\nb\n")); }));
  QCoreApplication::processEvents();
  struct Paints : QObject {
    QRegion painted;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) painted += static_cast<QPaintEvent*>(event)->region();
      return false;
    }
  } paints;
  edit.viewport()->installEventFilter(&paints);
  for (const auto& [name, step] : {std::pair("undo", &DocumentHistory::undo), std::pair("redo", &DocumentHistory::redo)}) {
    paints.painted = QRegion();
    ASSERT_TRUE((history.*step)());
    QCoreApplication::processEvents();
    EXPECT_TRUE(paints.painted.contains(edit.viewport()->rect())) << name;
  }
}

}  // namespace
