// How long the editor window is busy with a large text: the real window
// (offscreen), its menu items triggered as a user chooses them, each timed
// until the events it posted have been handled; opening and saving a file of
// the same text go through File > Open and Save's code. Beside each, the floor that
// Qt's own document sets: the same replacement and undo made directly on a
// bare QTextEdit. Run as
//   editor_window_bench [ROUNDS] [LINES...]
// (defaults: 3 rounds, 20000 and 200000 lines); prints medians.
#include "corpus.h"
#include "main_interface.h"

#include "parasort/engine/transforms.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QClipboard>
#include <QKeyEvent>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// The time `work` keeps the window from answering: the call itself, then
// the events it left behind (layout, repaint, the status bar's bookkeeping).
double millisecondsOf(const std::function<void()>& work) {
  const auto start = Clock::now();
  work();
  QCoreApplication::processEvents();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A user's pause between two commands: the window handles its events
// (laying out in the background what an edit left to lay out) for about as
// long as reading a screenful takes.
void pause(std::chrono::milliseconds length) {
  const auto end = Clock::now() + length;
  while (Clock::now() < end) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  // Without a running event loop, objects deleted later (documents the
  // history let go) are deleted only when asked.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Memory in use: freed memory is given back first (glibc keeps it
// otherwise, and the figure would be the high-water mark).
double residentMegabytes() {
  malloc_trim(0);
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0.0;
}

double median(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// The key X pressed and released in `edit`, as a user types it.
void typeX(QTextEdit& edit) {
  QKeyEvent press(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
  QCoreApplication::sendEvent(&edit, &press);
  QKeyEvent release(QEvent::KeyRelease, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
  QCoreApplication::sendEvent(&edit, &release);
}

// The window's own operations, from a freshly loaded text each round.
void timeWindow(const QString& text, const QString& file, int rounds, std::chrono::milliseconds pauseLength,
                std::map<std::string, std::vector<double>>& times) {
  for (int round = 0; round < rounds; ++round) {
    parasort::MainInterface interface;
    interface.window().resize(900, 700);
    interface.window().show();
    const Ui::EditorWindow& ui = interface.ui();
    QTextEdit& edit = *ui.textView;
    parasort::FileDocument& document = interface.fileDocument();
    times["Open the file"].push_back(millisecondsOf([&] { document.openFile(file); }));
    pause(pauseLength);
    times["load (setPlainText)"].push_back(millisecondsOf([&] { edit.setPlainText(text); }));
    pause(pauseLength);
    edit.clear();
    QApplication::clipboard()->setText(text);
    times["paste into an empty text"].push_back(millisecondsOf([&] { ui.actionPaste->trigger(); }));
    pause(pauseLength);
    // One character typed at the end of the first line, as a user types.
    edit.moveCursor(QTextCursor::Start);
    edit.moveCursor(QTextCursor::EndOfLine);
    for (int key = 0; key < 5; ++key) {
      times["type a character"].push_back(millisecondsOf([&] { typeX(edit); }));
      QCoreApplication::processEvents();
    }
    pause(pauseLength);
    times["Select All"].push_back(millisecondsOf([&] { ui.actionSelectAll->trigger(); }));
    pause(pauseLength);
    times["sort Select All"].push_back(millisecondsOf([&] {
      ui.actionSelectAll->trigger();
      interface.paragraphAction(parasort::ParagraphOrder::ascending).trigger();
    }));
    pause(pauseLength);
    times["draft taken (UI thread)"].push_back(millisecondsOf([&] { document.keepDraftNow(); }));
    pause(pauseLength);
    times["Save the file"].push_back(millisecondsOf([&] { document.save(); }));
    pause(pauseLength);
    times["undo the sort"].push_back(millisecondsOf([&] { ui.actionUndo->trigger(); }));
    pause(pauseLength);
    times["redo the sort"].push_back(millisecondsOf([&] { ui.actionRedo->trigger(); }));
    pause(pauseLength);
    ui.actionUndo->trigger();
    pause(pauseLength);
    times["sort half the lines, selected"].push_back(millisecondsOf([&] {
      QTextCursor half(edit.document());
      half.setPosition(edit.document()->findBlockByNumber(edit.document()->blockCount() / 2).position(),
                       QTextCursor::KeepAnchor);
      edit.setTextCursor(half);
      interface.paragraphAction(parasort::ParagraphOrder::ascending).trigger();
    }));
    pause(pauseLength);
    ui.actionUndo->trigger();
    pause(pauseLength);
    times["Remove Duplicates"].push_back(millisecondsOf([&] {
      ui.actionSelectAll->trigger();
      interface.paragraphAction(parasort::ParagraphOrder::unique).trigger();
    }));
    pause(pauseLength);
    ui.actionUndo->trigger();
    pause(pauseLength);
    times["Increase Indent Select All"].push_back(millisecondsOf([&] {
      ui.actionSelectAll->trigger();
      ui.actionIncreaseIndent->trigger();
    }));
    pause(pauseLength);
    times["undo the indent"].push_back(millisecondsOf([&] { ui.actionUndo->trigger(); }));
    pause(pauseLength);
    // What ten whole-text sorts, in turn ascending and descending, add to
    // the process's memory.
    const double before = residentMegabytes();
    for (int sort = 0; sort < 10; ++sort) {
      ui.actionSelectAll->trigger();
      interface.paragraphAction(sort % 2 == 0 ? parasort::ParagraphOrder::descending
                                              : parasort::ParagraphOrder::ascending)
          .trigger();
      QCoreApplication::processEvents();
    }
    pause(pauseLength);
    times["ten sorts add (MB, not ms)"].push_back(residentMegabytes() - before);
  }
}

// The same whole-text replacement with nothing of parasort around it: one
// cursor insert in an edit block on a bare QTextEdit, and its undo. The
// sorted text is made beforehand; reading the text is timed on its own.
// The bare edits shape text fully, as the window does.
void timeFloor(const QString& text, int rounds, std::map<std::string, std::vector<double>>& times) {
  const std::u16string sorted = parasort::sortedParagraphOfString(text.toStdU16String(), true);
  const QString replacement = QString::fromStdU16String(sorted);
  for (int round = 0; round < rounds; ++round) {
    QTextEdit edit;
    edit.resize(900, 700);
    edit.show();
    edit.setPlainText(text);
    edit.selectAll();
    edit.moveCursor(QTextCursor::Start);
    edit.moveCursor(QTextCursor::EndOfLine);
    for (int key = 0; key < 5; ++key)
      times["floor: type a character"].push_back(millisecondsOf([&] { typeX(edit); }));
    edit.document()->undo();
    edit.moveCursor(QTextCursor::Start);
    times["floor: first text read"].push_back(
        millisecondsOf([&] { (void)edit.document()->toRawText(); }));
    times["floor: later text read"].push_back(
        millisecondsOf([&] { (void)edit.document()->toRawText(); }));
    times["floor: engine sort"].push_back(millisecondsOf(
        [&] { (void)parasort::sortedParagraphOfString(text.toStdU16String(), true); }));
    times["floor: replace all"].push_back(millisecondsOf([&] {
      QTextCursor cursor(edit.document());
      cursor.beginEditBlock();
      cursor.select(QTextCursor::Document);
      cursor.insertText(replacement);
      cursor.endEditBlock();
    }));
    times["floor: undo replace all"].push_back(millisecondsOf([&] { edit.undo(); }));
    times["floor: indent every paragraph"].push_back(millisecondsOf([&] {
      QTextCursor group(edit.document());
      group.beginEditBlock();
      for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        format.setLeftMargin(format.leftMargin() + 48.0);
        QTextCursor(block).setBlockFormat(format);
      }
      group.endEditBlock();
    }));
    times["floor: undo the indent"].push_back(millisecondsOf([&] { edit.undo(); }));
    // The same edit as Qt does it cheapest: each run of consecutive
    // paragraphs that share a format set at once through one selection
    // (this text is one run), which Qt records block by block as above.
    times["floor: indent a run at once"].push_back(millisecondsOf([&] {
      QTextCursor group(edit.document());
      group.beginEditBlock();
      for (QTextBlock first = edit.document()->begin(); first.isValid();) {
        const QTextBlockFormat shared = first.blockFormat();
        QTextBlock last = first;
        while (last.next().isValid() && last.next().blockFormat() == shared) last = last.next();
        QTextBlockFormat format = shared;
        format.setLeftMargin(format.leftMargin() + 48.0);
        QTextCursor run(first);
        run.setPosition(last.position(), QTextCursor::KeepAnchor);
        run.setBlockFormat(format);
        first = last.next();
      }
      group.endEditBlock();
    }));
    times["floor: undo the run indent"].push_back(millisecondsOf([&] { edit.undo(); }));
  }
  // What no route can avoid while the new text is to be left selected: Qt
  // lays out the whole selection at once to draw it. Here for a text loaded
  // and not laid out yet, as a new document is.
  for (int round = 0; round < rounds; ++round) {
    QTextEdit edit;
    edit.resize(900, 700);
    edit.show();
    times["floor: build a document aside"].push_back(millisecondsOf([&] {
      QTextDocument aside;
      aside.setUndoRedoEnabled(false);
      QTextCursor(&aside).insertText(replacement);
    }));
    edit.setPlainText(replacement);
    QCoreApplication::processEvents();
    times["floor: select all of a new text"].push_back(millisecondsOf([&] {
      QTextCursor cursor(edit.document());
      cursor.movePosition(QTextCursor::End);
      cursor.movePosition(QTextCursor::Start, QTextCursor::KeepAnchor);
      edit.setTextCursor(cursor);
    }));
  }
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("LC_ALL", "C");
  // Drafts go to a scratch directory, not the user's.
  const QTemporaryDir stateHome;
  qputenv("XDG_STATE_HOME", stateHome.path().toLocal8Bit());
  QApplication application(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::vector<std::size_t> lineCounts;
  for (int i = 2; i < argc; ++i) lineCounts.push_back(static_cast<std::size_t>(std::atol(argv[i])));
  if (lineCounts.empty()) lineCounts = {20000, 200000};

  for (const std::size_t lines : lineCounts) {
    const QString text = QString::fromStdString(parasort::bench::generateCorpus(lines));
    std::map<std::string, std::vector<double>> times;
    // About 1 ms per 100 lines: 2 s at 200,000 lines.
    const QTemporaryDir scratch;
    const QString file = scratch.filePath(QStringLiteral("corpus.txt"));
    {
      QFile out(file);
      if (!out.open(QIODevice::WriteOnly) || out.write(text.toUtf8()) < 0) return 1;
    }
    timeWindow(text, file, rounds, std::chrono::milliseconds(lines / 100), times);
    timeFloor(text, rounds, times);
    std::printf("%zu lines (%lld UTF-16 units), median of %d:\n", lines,
                static_cast<long long>(text.size()), rounds);
    for (const auto& [what, samples] : times)
      std::printf("  %-30s %8.0f ms\n", what.c_str(), median(samples));
  }
  return 0;
}
