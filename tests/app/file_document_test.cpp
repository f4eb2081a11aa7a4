// The window's document as a file, in process: what closing with unsaved
// changes asks (by the window, File > Quit and the bus's quit), what a
// termination signal keeps, and what the next start gives back. The
// questions are answered by a script instead of dialogs.
#include "launched_editor.h"
#include "main_interface.h"

#include <QDir>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QDragEnterEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using parasort::FileDocument;
using Answer = FileDocument::Answer;

QByteArray contentsOf(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeFile(const QString& path, const QByteArray& contents) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(contents);
}

// The questions asked, in order, each answered from the script.
struct ScriptedUser {
  Answer saveChanges = Answer::cancel;
  bool restoreDraft = true;
  std::optional<std::pair<QString, parasort::DocumentKind>> saveAs;
  std::vector<QString> asked;

  FileDocument::Questions questions() {
    FileDocument::Questions q;
    q.saveChanges = [this](const QString& name) {
      asked.push_back(QStringLiteral("save changes to ") + name);
      return saveChanges;
    };
    q.restoreDraft = [this](const QString& name) {
      asked.push_back(QStringLiteral("restore ") + name);
      return restoreDraft;
    };
    q.fileToOpen = [] { return QString(); };
    q.fileToSaveAs = [this](const QString&) -> std::optional<std::pair<QString, parasort::DocumentKind>> {
      asked.push_back(QStringLiteral("save as"));
      return saveAs;
    };
    q.overwriteChangedFile = [this](const QString& name) {
      asked.push_back(QStringLiteral("overwrite ") + name);
      return false;
    };
    q.saveAsInstead = [this](const QString& message) {
      asked.push_back(message);
      return false;
    };
    q.loseFormatting = [this] {
      asked.push_back(QStringLiteral("lose formatting"));
      return true;
    };
    q.discardChanges = [this](const QString&) { return true; };
    q.tell = [this](const QString& message) { asked.push_back(message); };
    return q;
  }
};

struct Scratch {
  QTemporaryDir directory;
  QString file = directory.filePath(QStringLiteral("list.txt"));
  Scratch() { writeFile(file, "b\r\na\r\n"); }
};

// Types at the end of the text, as a user does.
void typeAtEnd(QTextEdit& edit, const QString& text) {
  edit.moveCursor(QTextCursor::End);
  const QStringList lines = text.split(QLatin1Char('\n'));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    if (i > 0) QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClicks(&edit, lines[i]);
  }
}

// A window with the scratch file open, its questions answered by a script.
class OpenedFile : public ::testing::Test {
 protected:
  void SetUp() override {
    document.setQuestions(user.questions());
    ASSERT_TRUE(document.openFile(scratch.file));
  }

  const Scratch scratch;
  ScriptedUser user;
  parasort::MainInterface interface;
  FileDocument& document = interface.fileDocument();
};

// Each way of closing with unsaved changes to a file asks once; the answer
// decides whether the window closes and what the file and the drafts hold.
TEST(FileLifecycle, ClosingWithUnsavedChangesAsksSaveDiscardOrCancel) {
  struct Way {
    const char* name;
    std::function<void(parasort::LaunchedEditor&)> close;
  };
  const Way ways[] = {
      {"Close Window", [](parasort::LaunchedEditor& e) { e.interface().ui().actionCloseWindow->trigger(); }},
      {"Quit", [](parasort::LaunchedEditor& e) { e.interface().ui().actionQuit->trigger(); }},
      {"the bus's quit", [](parasort::LaunchedEditor& e) { e.quit(); }},
  };
  struct Outcome {
    Answer answer;
    bool closed;
    QByteArray file;
  };
  const Outcome outcomes[] = {
      {Answer::save, true, "b\r\nax\r\n"},
      {Answer::discard, true, "b\r\na\r\n"},
      {Answer::cancel, false, "b\r\na\r\n"},
  };
  for (const Way& way : ways) {
    for (const Outcome& outcome : outcomes) {
      SCOPED_TRACE(std::string(way.name) + " answered " + std::to_string(static_cast<int>(outcome.answer)));
      const Scratch scratch;
      ScriptedUser user;
      user.saveChanges = outcome.answer;
      parasort::LaunchedEditor editor(*qApp);
      FileDocument& document = editor.interface().fileDocument();
      document.setQuestions(user.questions());
      ASSERT_TRUE(document.openFile(scratch.file));
      typeAtEnd(*editor.interface().ui().textView, QStringLiteral("x"));
      EXPECT_EQ(editor.interface().window().windowTitle(), QStringLiteral("list.txt[*]"));
      EXPECT_TRUE(editor.interface().window().isWindowModified());

      way.close(editor);
      EXPECT_EQ(user.asked, std::vector<QString>{QStringLiteral("save changes to list.txt")});
      EXPECT_EQ(editor.interface().window().isVisible(), !outcome.closed);
      EXPECT_EQ(contentsOf(scratch.file), outcome.file);
      // Nothing left over for the next start, but when the window stays.
      document.keepDraftNow();
      parasort::DraftKeeper drafts;
      drafts.discard();  // waits for the write
      QCoreApplication::processEvents();
    }
  }
}

// A termination signal asks nobody and keeps the changes; the next start
// offers them back, or shows the file as it is on disk.
TEST(FileLifecycle, AfterATerminationSignalTheNextStartOffersTheChangesBack) {
  for (const bool restore : {true, false}) {
    SCOPED_TRACE(restore);
    const Scratch scratch;
    ScriptedUser user;
    user.restoreDraft = restore;
    {
      parasort::MainInterface interface;
      interface.fileDocument().setQuestions(user.questions());
      ASSERT_TRUE(interface.fileDocument().openFile(scratch.file));
      interface.window().show();
      typeAtEnd(*interface.ui().textView, QStringLiteral("\nc"));
      interface.fileDocument().closeUnattended();
      EXPECT_FALSE(interface.window().isVisible());
    }
    EXPECT_TRUE(user.asked.empty());
    EXPECT_EQ(contentsOf(scratch.file), "b\r\na\r\n");

    parasort::MainInterface next;
    next.fileDocument().setQuestions(user.questions());
    next.fileDocument().restoreDraft();
    EXPECT_EQ(user.asked, std::vector<QString>{QStringLiteral("restore list.txt")});
    EXPECT_EQ(next.fileDocument().path(), QFileInfo(scratch.file).absoluteFilePath());
    EXPECT_EQ(next.ui().textView->toPlainText(), restore ? QStringLiteral("b\na\nc") : QStringLiteral("b\na"));
    EXPECT_EQ(next.fileDocument().isModified(), restore);
    // Saved, the changes keep the file's CR LF.
    if (restore) {
      ASSERT_TRUE(next.fileDocument().save());
      EXPECT_EQ(contentsOf(scratch.file), "b\r\na\r\nc\r\n");
    }
    EXPECT_FALSE(parasort::DraftKeeper().kept());
  }
}

// An untitled text is kept on closing without a question, and is there at
// the next start, again without one.
TEST(FileLifecycle, AnUntitledTextIsKeptAcrossRunsWithoutAsking) {
  ScriptedUser user;
  {
    parasort::MainInterface interface;
    interface.fileDocument().setQuestions(user.questions());
    interface.window().show();
    EXPECT_EQ(interface.window().windowTitle(), QStringLiteral("Untitled[*]"));
    typeAtEnd(*interface.ui().textView, QStringLiteral("never saved"));
    EXPECT_TRUE(interface.window().close());
  }
  parasort::MainInterface next;
  next.fileDocument().setQuestions(user.questions());
  next.fileDocument().restoreDraft();
  EXPECT_TRUE(user.asked.empty());
  EXPECT_EQ(next.ui().textView->toPlainText(), QStringLiteral("never saved"));
  EXPECT_TRUE(next.fileDocument().path().isEmpty());
  // Emptied, it leaves nothing to bring back.
  next.ui().textView->clear();
  EXPECT_TRUE(next.window().close());
  EXPECT_FALSE(parasort::DraftKeeper().kept());
}

// A change is kept as a draft within a few seconds, without a close: what a
// crash leaves.
TEST(FileLifecycle, AChangeIsKeptAsADraftAFewSecondsLater) {
  const Scratch scratch;
  ScriptedUser user;
  parasort::MainInterface interface;
  interface.fileDocument().setQuestions(user.questions());
  ASSERT_TRUE(interface.fileDocument().openFile(scratch.file));
  typeAtEnd(*interface.ui().textView, QStringLiteral("!"));
  EXPECT_FALSE(parasort::DraftKeeper().kept());
  QTest::qWait(FileDocument::draftDelayMilliseconds + 500);
  parasort::DraftKeeper drafts;
  for (int i = 0; i < 100 && !drafts.kept(); ++i) QTest::qWait(20);
  const auto draft = drafts.kept();
  ASSERT_TRUE(draft);
  EXPECT_EQ(draft->text, QStringLiteral("b\na!"));
  EXPECT_EQ(draft->path, QFileInfo(scratch.file).absoluteFilePath());
  EXPECT_EQ(draft->format.lineEnding, parasort::files::LineEnding::crLf);
  drafts.discard();
}

// Saving over another program's change asks first, and saves once the file
// is reverted to it.
TEST_F(OpenedFile, SavingAsksBeforeLosingAnythingOnDisk) {
  typeAtEnd(*interface.ui().textView, QStringLiteral("1"));

  QTest::qWait(20);  // a later modification time
  writeFile(scratch.file, "changed elsewhere\n");
  EXPECT_FALSE(document.save());
  EXPECT_EQ(user.asked.back(), QStringLiteral("overwrite list.txt"));
  EXPECT_EQ(contentsOf(scratch.file), "changed elsewhere\n");

  // Reverted, the file on disk is what the next save compares with.
  ASSERT_TRUE(document.revert());
  EXPECT_EQ(interface.ui().textView->toPlainText(), QStringLiteral("changed elsewhere"));
  typeAtEnd(*interface.ui().textView, QStringLiteral("2"));
  EXPECT_TRUE(document.save());
  EXPECT_EQ(contentsOf(scratch.file), "changed elsewhere2\n");
}

TEST_F(OpenedFile, AReadOnlyFileSaysWhyAndOffersSaveAs) {
  typeAtEnd(*interface.ui().textView, QStringLiteral("2"));
  QFile::setPermissions(scratch.file, QFileDevice::ReadOwner);
  if (QFileInfo(scratch.file).isWritable()) GTEST_SKIP() << "root writes read-only files";
  EXPECT_FALSE(document.save());
  EXPECT_EQ(user.asked, std::vector<QString>{QStringLiteral("“list.txt” could not be saved. “list.txt” is read-only.")});
  EXPECT_EQ(contentsOf(scratch.file), "b\r\na\r\n");
}


// A file dropped on the text opens (it is not inserted as its path), and
// each file opened goes to the front of the ten recent ones.
TEST(FileLifecycle, ADroppedFileOpensAndTheRecentFilesKeepTheLastTen) {
  const QTemporaryDir directory;
  QStringList opened;
  for (int i = 0; i < 12; ++i) {
    opened << directory.filePath(QStringLiteral("file%1.txt").arg(i));
    writeFile(opened.back(), QByteArray::number(i));
  }
  ScriptedUser user;
  parasort::MainInterface interface;
  interface.fileDocument().setQuestions(user.questions());
  for (const QString& file : opened.mid(0, 11)) ASSERT_TRUE(interface.fileDocument().openFile(file));

  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(opened.back())});
  QWidget& viewport = *interface.ui().textView->viewport();
  QDragEnterEvent enter({5, 5}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&viewport, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&viewport, &drop);
  QCoreApplication::processEvents();
  EXPECT_EQ(interface.ui().textView->toPlainText(), QStringLiteral("11"));
  EXPECT_EQ(interface.fileDocument().path(), opened.back());
  EXPECT_EQ(interface.window().windowTitle(), QStringLiteral("file11.txt[*]"));
  EXPECT_FALSE(interface.window().isWindowModified());

  QStringList recent;
  for (qsizetype i = opened.size() - 1; recent.size() < FileDocument::mostRecentFiles; --i) recent << opened[i];
  EXPECT_EQ(interface.fileDocument().recentFiles(), recent);
  EXPECT_TRUE(user.asked.empty());
}


// Formatting cannot live in plain text: saving it so says so once per
// document; Save As HTML keeps it, and Save goes on writing HTML.
TEST_F(OpenedFile, FormattedTextIsSavedAsPlainTextAfterOneWarningOrKeptInHtml) {
  interface.ui().textView->selectAll();
  interface.ui().actionBold->trigger();
  EXPECT_TRUE(document.save());
  EXPECT_TRUE(document.save());
  EXPECT_EQ(user.asked, std::vector<QString>{QStringLiteral("lose formatting")});
  EXPECT_EQ(contentsOf(scratch.file), "b\r\na\r\n");

  user.saveAs = std::pair(scratch.directory.filePath(QStringLiteral("list.html")), parasort::DocumentKind::html);
  EXPECT_TRUE(document.saveAs());
  typeAtEnd(*interface.ui().textView, QStringLiteral("c"));
  EXPECT_TRUE(document.save());
  const QByteArray html = contentsOf(user.saveAs->first);
  EXPECT_TRUE(html.contains("<html") && html.contains("font-weight:700") && html.contains("ac")) << html.constData();
  EXPECT_EQ(interface.window().windowTitle(), QStringLiteral("list.html[*]"));
}


// The session ends while the question on closing waits for an answer: the
// window cannot close twice, but the changes are kept all the same.
TEST(FileLifecycle, ASignalWhileTheQuestionWaitsKeepsTheChanges) {
  const Scratch scratch;
  ScriptedUser user;
  parasort::MainInterface interface;
  FileDocument& document = interface.fileDocument();
  FileDocument::Questions questions = user.questions();
  questions.saveChanges = [&document](const QString&) {
    document.closeUnattended();
    return Answer::cancel;  // what the dialog returns when its loop is ended
  };
  document.setQuestions(questions);
  ASSERT_TRUE(document.openFile(scratch.file));
  interface.window().show();
  typeAtEnd(*interface.ui().textView, QStringLiteral("Q"));
  interface.ui().actionQuit->trigger();
  const auto draft = parasort::DraftKeeper().kept();
  ASSERT_TRUE(draft);
  EXPECT_EQ(draft->text, QStringLiteral("b\naQ"));
  EXPECT_EQ(contentsOf(scratch.file), "b\r\na\r\n");
}


// The session ends while the next start asks whether to restore the draft:
// the question goes unanswered, and the draft waits for the start after.
TEST(FileLifecycle, ASignalWhileTheDraftIsOfferedKeepsTheDraft) {
  const Scratch scratch;
  parasort::DraftKeeper().keepNow({QFileInfo(scratch.file).absoluteFilePath(), {}, QStringLiteral("kept")});
  ScriptedUser user;
  parasort::MainInterface interface;
  FileDocument& document = interface.fileDocument();
  FileDocument::Questions questions = user.questions();
  questions.restoreDraft = [&document](const QString&) {
    document.closeUnattended();
    return false;  // what the dialog returns when its loop is ended
  };
  document.setQuestions(questions);
  interface.window().show();
  document.restoreDraft();
  const auto draft = parasort::DraftKeeper().kept();
  ASSERT_TRUE(draft);
  EXPECT_EQ(draft->text, QStringLiteral("kept"));
}

}  // namespace
