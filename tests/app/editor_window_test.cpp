// The editor window around the text: activation, the end of the application
// with its window, the About box, the status bar, paste and Tab Width.
#include "font_catalog.h"
#include "launched_editor.h"
#include "main_interface.h"
#include "tab_width_dialog.h"

#include "parasort/editor/text_view_additions.h"

#include <QClipboard>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMimeData>
#include <QSettings>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

namespace {

namespace TQ = parasort::TQAdditions;

// A hidden or minimized window comes to the front as the active window; one
// on screen stays behind the active one.
TEST(EditorWindow, ActivationShowsAWindowTheUserCannotSee) {
  for (const int shown : {0, 1, 2}) {  // hidden, minimized, behind another
    parasort::MainInterface interface;
    QWidget other;
    if (shown == 1) interface.window().showMinimized();
    if (shown == 2) {
      interface.window().show();
      other.show();
      other.activateWindow();
      ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    }
    interface.controller().applicationWillBecomeActive();
    QTest::qWait(50);
    EXPECT_TRUE(interface.window().isVisible() && !interface.window().isMinimized()) << shown;
    EXPECT_EQ(QApplication::activeWindow(), shown == 2 ? &other : &interface.window()) << shown;
  }
}

// The running editor, activated again (as a second launch asks it to), and
// then its window closed: the application ends and saves the font.
TEST(EditorWindow, ClosingTheWindowEndsTheApplicationAndSavesTheFont) {
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
  QString seen;
  QTimer watcher;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      if (box->parentWidget() == &interface.window()) seen = box->windowTitle() + u'|' + box->text();
      box->done(0);
    }
  });
  watcher.start(10);
  interface.ui().actionAbout->trigger();  // returns when the box closes
  EXPECT_TRUE(seen.startsWith(QStringLiteral("About parasort|"))) << seen.toStdString();
  EXPECT_TRUE(seen.contains(QStringLiteral("parasort " PARASORT_PROJECT_VERSION))) << seen.toStdString();
}

// Counted off the window's thread, equal by the collation; the old count goes
// at once.
TEST(EditorWindow, TheStatusBarCountsParagraphsAndDuplicates) {
  parasort::MainInterface interface;
  const QLabel& status = *interface.window().findChild<QLabel*>(QStringLiteral("selectionStatus"));
  const auto shows = [&status](const char* text) {
    return QTest::qWaitFor([&] { return status.text() == QString::fromLatin1(text); }, 1000);
  };
  const std::pair<const char*, const char*> counts[] = {
      {"", "0 paragraphs, no duplicates"}, {"a", "1 paragraph, no duplicates"},
      {"Apple\nx\n\napple\n\nAPPLE", "6 paragraphs, 3 duplicates"}, {"b\na\nb\nc", "4 paragraphs, 1 duplicate"}};
  for (const auto& [text, expected] : counts) {
    interface.ui().textView->setPlainText(QString::fromLatin1(text));
    EXPECT_EQ(status.text(), QString());
    EXPECT_TRUE(shows(expected)) << status.text().toStdString();
  }
  interface.textView().text().setSelectedRange({0, 3});
  EXPECT_TRUE(shows("Selection: 2 paragraphs, no duplicates")) << status.text().toStdString();
}

// Whatever the clipboard brings, paste inserts its plain text with the
// attributes of the text typed next, and nothing else.
TEST(EditorWindow, PasteTakesThePlainTextOnly) {
  const struct { const char *html, *markdown, *plain, *expected; } cases[] = {{"<table><tr><td>pear</td><td>apple</td></tr></table><h1 style=\"margin-left:40px\">T</h1>"
                "<p><b style=\"color:red\">b</b><img src=\"data:image/png;base64,iVBORw0KGgo=\"></p>",
                nullptr, "pear\tapple\nT\nb", "pear\tapple\nT\nb"},
               {nullptr, "| a | b |\n|---|---|\n", "| a | b |\n|---|---|\n", "| a | b |\n|---|---|\n"},
               {nullptr, nullptr, "b\r\na\r\n", "b\na\n"}};
  for (const auto& [html, markdown, plain, expected] : cases) {
    parasort::MainInterface interface;
    QTextEdit& edit = *interface.ui().textView;
    QTextCharFormat typing;
    typing.setFontItalic(true);
    QTextEdit typed;  // the text typed instead
    for (QTextEdit* text : {&edit, &typed}) text->setCurrentCharFormat(typing);
    auto* data = new QMimeData;
    if (markdown != nullptr) data->setData(QStringLiteral("text/markdown"), markdown);
    if (html != nullptr) data->setHtml(QString::fromUtf8(html));
    data->setText(QString::fromUtf8(plain));
    QApplication::clipboard()->setMimeData(data);
    interface.ui().actionPaste->trigger();
    typed.insertPlainText(QString::fromUtf8(expected));
    EXPECT_EQ(edit.toHtml(), typed.toHtml()) << plain;
  }
}

// Format > Tab Width… offers the interval in points (the view's standard 80
// pixels are 60 points); OK changes the text only when the value was edited,
// as one undoable edit.
TEST(EditorWindow, TabWidthOffersPointsAndOkChangesOnlyAnEditedValue) {
  const struct { std::optional<double> before, typed; double offered, after; } cases[] = {
      {{}, {}, 60.0, 0.0}, {36.0, {}, 36.0, 36.0}, {36.04, {}, 36.0, 36.04}, {{}, 48.0, 60.0, 48.0}, {36.0, 72.5, 36.0, 72.5}};
  for (const auto& [before, typed, offered, after] : cases) {
    parasort::MainInterface interface;
    QTextEdit& edit = *interface.ui().textView;
    edit.setPlainText(QStringLiteral("a\tb"));
    auto& view = interface.textView().text();
    if (before) {
      ASSERT_TRUE(TQ::setDefaultTabInterval(view, *before));
    }
    const int undoSteps = edit.document()->availableUndoSteps();
    QInputDialog* dialog = parasort::openTabWidthDialog(interface.textView());
    EXPECT_EQ(dialog->doubleValue(), offered);
    if (typed) dialog->setDoubleValue(*typed);
    dialog->accept();
    EXPECT_EQ(TQ::defaultTabInterval(view), after);
    EXPECT_EQ(edit.document()->availableUndoSteps(), undoSteps + (typed ? 1 : 0));
    if (typed) edit.undo();
    EXPECT_EQ(TQ::defaultTabInterval(view), before.value_or(0.0));
  }
}

}  // namespace
