// The editor window around the text: activation, the end of the application
// with its window, the About box, the status bar, paste and Tab Width.
#include "app_test_support.h"
#include "font_catalog.h"
#include "launched_editor.h"
#include "main_interface.h"
#include "paragraph_summary.h"
#include "tab_width_dialog.h"

#include "parasort/editor/text_view_additions.h"

#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextFrame>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

namespace {

namespace TQ = parasort::TQAdditions;

// A hidden or minimized window comes to the front as the active window; one
// on screen stays behind the active one.
TEST(EditorWindow, ActivationShowsAWindowTheUserCannotSee) {
  enum class Shown { hidden, minimized, behindAnother };
  for (const Shown shown : {Shown::hidden, Shown::minimized, Shown::behindAnother}) {
    parasort::MainInterface interface;
    QWidget other;
    if (shown == Shown::minimized) interface.window().showMinimized();
    if (shown == Shown::behindAnother) {
      interface.window().show();
      other.show();
      other.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    }
    interface.controller().applicationWillBecomeActive();
    QTest::qWait(50);
    EXPECT_TRUE(interface.window().isVisible() && !interface.window().isMinimized()) << int(shown);
    EXPECT_EQ(QApplication::activeWindow(), shown == Shown::behindAnother ? &other : &interface.window())
        << int(shown);
  }
}

// The running editor, activated again (as a second launch asks it to), and
// then its window closed: the application ends and saves the font.
TEST(EditorWindow, ClosingTheWindowEndsTheApplicationAndSavesTheFont) {
  parasort::test::clearUserDefaults();
  parasort::LaunchedEditor editor(*qApp);
  editor.interface().window().hide();
  editor.activate();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&editor.interface().window()));
  editor.interface().textView().setFont(*parasort::FontCatalog::fontWithName(QStringLiteral("DejaVu Serif"), 13.5));
  QTimer::singleShot(0, &editor.interface().window(), &QWidget::close);
  QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(QSettings().value(QStringLiteral("fontName")), QStringLiteral("DejaVu Serif"));
}

TEST(EditorWindow, HelpAboutShowsTheProjectVersionOverTheWindow) {
  parasort::MainInterface interface;
  EXPECT_TRUE(interface.ui().menuHelp->actions().contains(interface.ui().actionAbout));
  QString text;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      text = box->parentWidget() == &interface.window() ? box->windowTitle() + u'|' + box->text() : QString();
      box->done(0);
    }
  });
  watcher.start(10);
  interface.ui().actionAbout->trigger();  // returns when the box closes
  EXPECT_TRUE(text.startsWith(QStringLiteral("About parasort|"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("parasort " PARASORT_PROJECT_VERSION))) << text.toStdString();
}

TEST(EditorWindow, TheStatusBarCountsParagraphsAndDuplicates) {
  const std::pair<const char16_t*, const char*> counts[] = {
      {u"", "0 paragraphs, no duplicates"},
      {u"a", "1 paragraph, no duplicates"},
      {u"Apple\u2029apple\u2029APPLE", "3 paragraphs, 2 duplicates"},  // by the collation
      {u"x\n\n\ny", "4 paragraphs, 1 duplicate"}};
  for (const auto& [text, expected] : counts)
    EXPECT_EQ(parasort::statusText(parasort::summarizeParagraphs(text), false), QString::fromLatin1(expected));

  parasort::MainInterface interface;
  const auto* status = interface.window().findChild<QLabel*>(QStringLiteral("selectionStatus"));
  ASSERT_NE(status, nullptr);
  const auto shows = [status](const char* text) {
    return QTest::qWaitFor([&] { return status->text() == QString::fromLatin1(text); }, 1000);
  };
  interface.ui().textView->setPlainText(QStringLiteral("b\na\nb\nc"));
  EXPECT_TRUE(shows("4 paragraphs, 1 duplicate")) << status->text().toStdString();
  interface.textView().text().setSelectedRange({0, 3});
  EXPECT_TRUE(shows("Selection: 2 paragraphs, no duplicates")) << status->text().toStdString();
  // Counted off the window's thread: the old count goes at once.
  interface.ui().textView->setPlainText(QStringLiteral("x\ny"));
  EXPECT_EQ(status->text(), QString());
}

// Whatever the clipboard brings, paste inserts its plain text with the
// attributes of the text typed next, and nothing else.
TEST(EditorWindow, PasteTakesThePlainTextOnly) {
  struct Offered {
    const char* html;
    const char* markdown;
    const char* plain;
    QString expected;
  };
  const Offered cases[] = {
      {"<table><tr><td>pear</td><td>apple</td></tr></table><h1 style=\"margin-left:40px\">T</h1>"
       "<p><b style=\"color:red\">b</b><img src=\"data:image/png;base64,iVBORw0KGgo=\"></p>",
       nullptr, "pear\tapple\nT\nb", QStringLiteral("pear\tapple\nT\nb")},
      {nullptr, "| a | b |\n|---|---|\n", "| a | b |\n|---|---|\n", QStringLiteral("| a | b |\n|---|---|\n")},
      {nullptr, nullptr, "b\r\na\r\n", QStringLiteral("b\na\n")}};
  for (const Offered& offered : cases) {
    parasort::MainInterface interface;
    QTextEdit& edit = *interface.ui().textView;
    QTextCharFormat typing;
    typing.setFontItalic(true);
    edit.setCurrentCharFormat(typing);
    auto* data = new QMimeData;
    if (offered.markdown != nullptr) data->setData(QStringLiteral("text/markdown"), offered.markdown);
    if (offered.html != nullptr) data->setHtml(QString::fromUtf8(offered.html));
    data->setText(QString::fromUtf8(offered.plain));
    QApplication::clipboard()->setMimeData(data);
    interface.ui().actionPaste->trigger();
    EXPECT_EQ(edit.toPlainText(), offered.expected);
    EXPECT_TRUE(edit.document()->rootFrame()->childFrames().isEmpty()) << "a table came in";
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
      EXPECT_EQ(block.blockFormat(), QTextBlockFormat()) << block.text().toStdString();
      for (auto it = block.begin(); !it.atEnd(); ++it)
        EXPECT_EQ(it.fragment().charFormat(), typing) << it.fragment().text().toStdString();
    }
  }
}

// Format > Tab Width… offers the interval in points (the view's standard 80
// pixels are 60 points); OK changes the text only when the value was edited,
// as one undoable edit.
TEST(EditorWindow, TabWidthOffersPointsAndOkChangesOnlyAnEditedValue) {
  struct Case {
    std::optional<double> before, typed;
    double offered, after;
  };
  const Case cases[] = {{{}, {}, 60.0, 0.0}, {36.0, {}, 36.0, 36.0}, {36.04, {}, 36.0, 36.04},
                        {{}, 48.0, 60.0, 48.0}, {36.0, 72.5, 36.0, 72.5}};
  for (const Case& c : cases) {
    parasort::MainInterface interface;
    QTextEdit& edit = *interface.ui().textView;
    edit.setPlainText(QStringLiteral("a\tb"));
    auto& view = interface.textView().text();
    if (c.before) ASSERT_TRUE(TQ::setDefaultTabInterval(view, *c.before));
    const int undoSteps = edit.document()->availableUndoSteps();
    QInputDialog* dialog = parasort::openTabWidthDialog(interface.textView());
    EXPECT_EQ(dialog->doubleValue(), c.offered);
    if (c.typed) dialog->setDoubleValue(*c.typed);
    dialog->accept();
    EXPECT_EQ(TQ::defaultTabInterval(view), c.after);
    EXPECT_EQ(edit.document()->availableUndoSteps(), undoSteps + (c.typed ? 1 : 0));
    if (c.typed) edit.undo();
    EXPECT_EQ(TQ::defaultTabInterval(view), c.before.value_or(0.0));
  }
}

}  // namespace
