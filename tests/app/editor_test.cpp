// The editor in process, with no session bus (the controller then runs
// without its services): the Paragraphs menu, made from the operations table;
// the font remembered from one start to the next; activation; the end of the
// application with its window; the About box, the status bar, paste, Tab
// Width and the Format menu's emphasis.
#include "application_identity.h"
#include "colour_emoji_fonts.h"
#include "draft_keeper.h"
#include "font_catalog.h"
#include "format_commands.h"
#include "launched_editor.h"
#include "main_interface.h"
#include "paragraph_summary.h"
#include "selection_status.h"
#include "tab_width_dialog.h"

#include "parasort/editor/text_view_additions.h"
#include "parasort/paragraph_operations.h"

#include <QClipboard>
#include <QCheckBox>
#include <QComboBox>
#include <QSet>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QSemaphore>
#include <QSettings>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>

namespace {

namespace TQ = parasort::TQAdditions;
namespace FC = parasort::FormatCommands;
namespace editor = parasort::editor;

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
  // By order; a shuffle's result is whatever it gave (null).
  const char* const results[] = {"a\nb\nb\nc", "c\nb\nb\na", "a\nb\nc", "a\nb\nb\nc", "b\na\nc\nb", nullptr, "b\nc\na\nb"};
  for (const parasort::ParagraphOperation& operation : parasort::paragraphOperations) {
    if (*operation.menuText == '\0') continue;
    QAction& item = interface.paragraphAction(operation.order);
    EXPECT_TRUE(interface.ui().menuParagraphs->actions().contains(&item)) << operation.name;
    EXPECT_EQ(QString(item.text()).remove(u'&'), QString::fromUtf8(operation.menuText));
    EXPECT_EQ(item.shortcut(), QKeySequence(QString::fromLatin1(operation.menuShortcut)));
    EXPECT_EQ(item.data(), QVariant(operation.menuTag)) << operation.name;
    edit.setPlainText(QStringLiteral("b\nc\na\nb"));
    edit.selectAll();
    item.trigger();
    const char* const expected = results[static_cast<int>(operation.order)];
    const QString result = expected != nullptr ? QString::fromLatin1(expected) : edit.toPlainText();
    const auto& [undo, redo] = ways[(&operation - parasort::paragraphOperations.data()) % 3];
    EXPECT_EQ(edit.toPlainText(), result);
    undo();
    EXPECT_EQ(edit.toPlainText(), QStringLiteral("b\nc\na\nb")) << operation.name;
    redo();
    EXPECT_EQ(edit.toPlainText(), result);
    EXPECT_EQ(edit.textCursor().selectedText().replace(QChar(0x2029), u'\n'), result) << "redo selects the result";
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

// Paragraphs > Sort Options…: a key it cannot read is refused, saying why,
// with nothing saved; what OK saves is what the next sorts and the status
// bar's count use, and what the next window's dialog shows.
TEST(SortOptions, TheDialogSavesWhatTheNextSortsUse) {
  const auto open = [](parasort::MainInterface& interface) {
    interface.window().findChild<QAction*>(QStringLiteral("actionSortOptions"))->trigger();
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    const auto set = [dialog](const char* field, const char* text) {
      dialog->findChild<QLineEdit*>(QString::fromLatin1(field))->setText(QString::fromUtf8(text));
    };
    const auto press = [dialog](QDialogButtonBox::StandardButton button) {
      dialog->findChild<QDialogButtonBox*>()->button(button)->click();
    };
    return std::tuple{dialog, set, press};
  };
  parasort::MainInterface interface;
  QTextEdit& edit = *interface.ui().textView;
  edit.setPlainText(QStringLiteral("x,b\ny,\u00E1\nz,a"));
  edit.selectAll();
  const QLabel& status = *interface.window().findChild<QLabel*>(QStringLiteral("selectionStatus"));
  const auto counts = [&status](const char* text) {
    return QTest::qWaitFor([&] { return status.text() == QString::fromLatin1(text); });
  };
  EXPECT_TRUE(counts("Selection: 3 paragraphs, no duplicates"));
  auto [dialog, set, press] = open(interface);
  set("keyPositions", "0");
  press(QDialogButtonBox::Ok);
  EXPECT_TRUE(dialog->isVisible() && QSettings().allKeys().isEmpty());
  EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("problem"))->text(),
            QStringLiteral("Fields are numbered from 1; \u201C0\u201D asks for field 0."));
  set("keyPositions", "2");
  set("fieldSeparator", ",");
  dialog->findChild<QComboBox*>(QStringLiteral("strength"))->setCurrentText(QStringLiteral("Letters only"));
  press(QDialogButtonBox::Ok);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_TRUE(counts("Selection: 3 paragraphs, 1 duplicate")) << "counted again, by the new options";
  interface.paragraphAction(parasort::ParagraphOrder::ascending).trigger();
  EXPECT_EQ(edit.toPlainText(), QStringLiteral("y,\u00E1\nz,a\nx,b"));
  interface.paragraphAction(parasort::ParagraphOrder::unique).trigger();
  EXPECT_EQ(edit.toPlainText(), QStringLiteral("y,\u00E1\nx,b"));

  parasort::MainInterface next;
  auto [shown, unused, restore] = open(next);
  EXPECT_EQ(shown->findChild<QLineEdit*>(QStringLiteral("keyPositions"))->text(), QStringLiteral("2"));
  restore(QDialogButtonBox::RestoreDefaults);
  EXPECT_EQ(shown->findChild<QLineEdit*>(QStringLiteral("keyPositions"))->text(), QString());
}

// At the keyboard: the focus starts on the first field, Tab visits every
// control, and Enter right away is OK, keeping the options as they were.
// Tab is a separator by its name; a key or separator it cannot read is
// said in a sentence.
TEST(SortOptions, TheDialogWorksFromTheKeyboard) {
  parasort::MainInterface interface;
  const auto open = [&interface] {
    interface.window().findChild<QAction*>(QStringLiteral("actionSortOptions"))->trigger();
    return qobject_cast<QDialog*>(QApplication::activeModalWidget());
  };
  QDialog* dialog = open();
  // The focus a shown dialog gives its first control, and the chain that
  // Tab follows from it.
  auto* strength = dialog->findChild<QComboBox*>(QStringLiteral("strength"));
  EXPECT_EQ(dialog->focusWidget(), strength);
  QList<QWidget*> chain;
  for (QWidget* next = strength->nextInFocusChain(); next != strength && chain.size() < 100; next = next->nextInFocusChain())
    if (next->isVisibleTo(dialog) && next->isEnabled() && (next->focusPolicy() & Qt::TabFocus) && next->focusProxy() == nullptr)
      chain.push_back(next);
  auto* buttons = dialog->findChild<QDialogButtonBox*>();
  const QList<QWidget*> expected = {
      dialog->findChild<QCheckBox*>(QStringLiteral("numeric")), dialog->findChild<QLineEdit*>(QStringLiteral("keyPositions")),
      dialog->findChild<QComboBox*>(QStringLiteral("fieldSeparatorChoice")), dialog->findChild<QCheckBox*>(QStringLiteral("ignoreLeadingBlanks")),
      buttons->button(QDialogButtonBox::Ok), buttons->button(QDialogButtonBox::Cancel),
      buttons->button(QDialogButtonBox::RestoreDefaults)};
  EXPECT_EQ(chain, expected);
  const auto set = [&dialog](const char* field, const QString& text) {
    dialog->findChild<QLineEdit*>(QString::fromLatin1(field))->setText(text);
  };
  set("fieldSeparator", QStringLiteral("Tab"));
  set("keyPositions", QStringLiteral("2"));
  QTest::keyClick(dialog, Qt::Key_Return);
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(QSettings().value(QStringLiteral("sortFieldSeparator")).toString(), QStringLiteral("\t"));

  dialog = open();
  EXPECT_EQ(dialog->findChild<QLineEdit*>(QStringLiteral("fieldSeparator"))->text(), QStringLiteral("Tab"));
  QTest::keyClick(dialog, Qt::Key_Return);
  EXPECT_FALSE(dialog->isVisible()) << "Enter is OK";
  EXPECT_EQ(QSettings().value(QStringLiteral("sortKey")).toString(), QStringLiteral("2"));

  const struct { const char *key, *separator, *said; } problems[] = {
      {"x", "", "\u201Cx\u201D does not start with a field number. Give the fields to sort by as numbers, such as 2 or 1.3,1.5."},
      {"1.", "", "In \u201C1.\u201D, a character number must follow the dot."},
      {"2,", "", "In \u201C2,\u201D, a field number must follow the comma."},
      {"2", "ab", "The field separator is one character or Tab; \u201Cab\u201D is more."}};
  dialog = open();
  for (const auto& [key, separator, said] : problems) {
    set("keyPositions", QString::fromUtf8(key));
    set("fieldSeparator", QString::fromUtf8(separator));
    dialog->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    EXPECT_EQ(dialog->findChild<QLabel*>(QStringLiteral("problem"))->text(), QString::fromUtf8(said));
  }
  dialog->reject();
}

// The saved font when it can be made (a size read as the number it starts
// with), else the default font at the system size.
TEST(FontMemory, TheViewStartsWithTheSavedFontWhenItCanBeMade) {
  const QFont standard = parasort::FontCatalog::userFontOfSize(parasort::FontCatalog::systemFontSize());
  const QString serif = QStringLiteral("DejaVu Serif");
  const struct { QVariant name, size; double expected; } cases[] = {  // expected 0: the default font
      {serif, 14.0, 14.0}, {serif, QStringLiteral(" 13.5pt"), 13.5}, {{}, {}, 0}, {serif, {}, 0}, {{}, 14.0, 0},
      {QStringLiteral("No Such Family 7f3a"), 14.0, 0}, {serif, QStringLiteral("large"), 0}, {serif, 0.0, 0},
      {serif, -3.0, 0}, {serif, QStringList{QStringLiteral("9")}, 0}};
  for (const auto& [name, size, expected] : cases) {
    QSettings settings;
    settings.clear();
    for (const auto& [key, value] : {std::pair{"fontName", name}, {"fontSize", size}})
      if (value.isValid()) settings.setValue(QString::fromLatin1(key), value);
    parasort::MainInterface interface;
    EXPECT_EQ(interface.textView().font(), expected == 0 ? standard : *parasort::FontCatalog::fontWithName(serif, expected))
        << name.toString().toStdString() << " " << size.toString().toStdString();
  }
}

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
// then its window closed: the application ends and saves the font of the
// text's first character, its size as a 32-bit float widened to a double.
TEST(EditorWindow, ClosingTheWindowEndsTheApplicationAndSavesTheFont) {
  parasort::LaunchedEditor editor(*qApp);
  editor.interface().window().hide();
  editor.activate();
  EXPECT_TRUE(QTest::qWaitForWindowActive(&editor.interface().window()));
  editor.interface().ui().textView->setPlainText(QStringLiteral("first\nsecond"));
  editor.interface().textView().text().setSelectedRange({0, 5});
  ASSERT_TRUE(FC::applyFont(editor.interface().textView().text(), {u"DejaVu Sans Mono", 12.1}));
  QTimer::singleShot(0, &editor.interface().window(), &QWidget::close);
  QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_EQ(QSettings().value(QStringLiteral("fontName")), QStringLiteral("DejaVu Sans Mono"));
  EXPECT_EQ(QSettings().value(QStringLiteral("fontSize")).toString(), QStringLiteral("12.100000381469727"));
}

TEST(EditorWindow, HelpAboutShowsTheProjectVersionOverTheWindow) {
  parasort::MainInterface interface;
  EXPECT_TRUE(interface.ui().menuHelp->actions().contains(interface.ui().actionAbout));
  EXPECT_EQ(interface.ui().actionAbout->text(), QStringLiteral("&About parasort"));
  QString seen;
  QTimer watcher;
  watcher.callOnTimeout([&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      if (box->parentWidget() == &interface.window()) seen = box->windowTitle() + u'|' + box->text();
      box->done(0);
    }
  });
  watcher.start(10);
  interface.ui().actionAbout->trigger();  // returns when the box closes
  EXPECT_TRUE(seen.startsWith(QStringLiteral("About parasort|")) && seen.contains(QStringLiteral("paragraphs of plain text")) &&
              seen.contains(QStringLiteral("parasort " PARASORT_PROJECT_VERSION))) << seen.toStdString();
}

// Counted off the window's thread, equal by the collation; the old count
// stays, marked, until the new one arrives.
TEST(EditorWindow, TheStatusBarCountsParagraphsAndDuplicates) {
  parasort::MainInterface interface;
  const QLabel& status = *interface.window().findChild<QLabel*>(QStringLiteral("selectionStatus"));
  const auto shows = [&status](const char* text) {
    return QTest::qWaitFor([&] { return status.text() == QString::fromLatin1(text); }, 1000);
  };
  const std::pair<const char*, const char*> counts[] = {
      {"", "0 paragraphs, no duplicates"}, {"a", "1 paragraph, no duplicates"},
      {"Apple\nx\n\napple\n\nAPPLE", "6 paragraphs, 3 duplicates"}, {"b\na\nb\nc", "4 paragraphs, 1 duplicate"}};
  QString before = QStringLiteral("Counting\u2026");
  EXPECT_EQ(status.text(), before);
  for (const auto& [text, expected] : counts) {
    interface.ui().textView->setPlainText(QString::fromLatin1(text));
    if (before != QStringLiteral("Counting\u2026")) {
      EXPECT_EQ(status.text(), before + QStringLiteral(" (counting\u2026)"));
    }
    EXPECT_TRUE(shows(expected)) << status.text().toStdString();
    before = QString::fromLatin1(expected);
  }
  interface.textView().text().setSelectedRange({0, 3});
  EXPECT_TRUE(shows("Selection: 2 paragraphs, no duplicates")) << status.text().toStdString();
}

// A count that comes back for a text changed since it started is never
// shown: the worker is held until the text has changed under it.
TEST(EditorWindow, TheStatusBarDropsTheCountOfAChangedText) {
  QTextEdit edit;
  parasort::editor::qt::QTextEditTextView view(edit);
  QStatusBar bar;
  QSemaphore gate;
  std::atomic<int> counts = 0;
  parasort::SelectionStatus status(edit, view, bar, [&](std::u16string_view text, const parasort::SortOptions& options) {
    ++counts;
    gate.acquire();
    return parasort::summarizeParagraphs(text, options);
  });
  const QLabel& label = *bar.findChild<QLabel*>(QStringLiteral("selectionStatus"));
  gate.release();
  ASSERT_TRUE(QTest::qWaitFor([&] { return label.text() == QStringLiteral("0 paragraphs, no duplicates"); }));
  edit.setPlainText(QStringLiteral("a\na"));
  status.refresh();  // counts "a\na", held at the gate
  edit.setPlainText(QStringLiteral("b"));
  gate.release();  // the count of "a\na" comes back; then "b" is counted, held again
  ASSERT_TRUE(QTest::qWaitFor([&] { return counts == 3; }));
  QCoreApplication::processEvents();
  EXPECT_EQ(label.text(), QStringLiteral("0 paragraphs, no duplicates (counting\u2026)"));
  gate.release();
  EXPECT_TRUE(QTest::qWaitFor([&] { return label.text() == QStringLiteral("1 paragraph, no duplicates"); }));
}

// Whatever the clipboard brings, paste inserts its plain text (that of its
// HTML when it brings nothing else) with the attributes of the text typed
// next, and nothing else.
TEST(EditorWindow, PasteTakesThePlainTextOnly) {
  const struct { const char *html, *markdown, *plain, *expected; } cases[] = {
      {"<table><tr><td>p</td><td>a</td></tr></table><h1 style=\"margin:9px\">T</h1><b style=\"color:red\">b</b>"
       "<img src=\"data:image/png;base64,iVBORw0KGgo=\">", nullptr, "p\ta\nT\nb", "p\ta\nT\nb"},
      {nullptr, "| a | b |\n|---|---|\n", "| a | b |\n|---|---|\n", "| a | b |\n|---|---|\n"},
      {nullptr, nullptr, "b\r\na\r\n", "b\na\n"},
      {"<p>b</p><p><i>a</i> &amp; c</p>", nullptr, nullptr, "b\na & c"}};
  for (const auto& [html, markdown, plain, expected] : cases) {
    parasort::MainInterface interface;
    QTextEdit& edit = *interface.ui().textView;
    QTextCharFormat typing;
    typing.setFontItalic(true);
    QTextEdit typed;  // the text typed instead, in the window's font
    typed.document()->setDefaultFont(edit.document()->defaultFont());
    for (QTextEdit* text : {&edit, &typed}) text->setCurrentCharFormat(typing);
    auto* data = new QMimeData;
    if (markdown != nullptr) data->setData(QStringLiteral("text/markdown"), markdown);
    if (html != nullptr) data->setHtml(QString::fromUtf8(html));
    if (plain != nullptr) data->setText(QString::fromUtf8(plain));
    QApplication::clipboard()->setMimeData(data);
    interface.ui().actionPaste->trigger();
    typed.insertPlainText(QString::fromUtf8(expected));
    EXPECT_EQ(edit.toHtml(), typed.toHtml()) << expected;
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

// The Format menu's emphasis on the text view contract: on a selection, an
// approved edit undone in one step; at an insertion point (in a text or an
// empty one), the text typed next.
TEST(FormatCommands, EmphasisTogglesOnTheSelectionOrForTheTextTypedNext) {
  const std::tuple<FC::Emphasis, std::string_view, editor::AttributeValue> toggled[] = {
      {FC::Emphasis::Bold, editor::FontWeightAttributeName, std::int64_t{700}},
      {FC::Emphasis::Italic, editor::ItalicAttributeName, true},
      {FC::Emphasis::Underline, editor::UnderlineStyleAttributeName, std::int64_t{1}}};
  for (const auto& [emphasis, name, on] : toggled) {
    SCOPED_TRACE(std::string(name));
    parasort::MainInterface interface;
    editor::TextView& view = interface.textView().text();
    view.textStorage().replaceCharactersInRange({0, 0}, std::u16string_view(u"one two"));
    const auto at = [&view, name](std::size_t index) { return TQ::attribute(view, name, index, nullptr); };
    view.setSelectedRange({4, 3});
    ASSERT_TRUE(FC::toggleEmphasis(view, emphasis));
    EXPECT_TRUE(at(5) == on && at(0) == std::nullopt && FC::hasEmphasis(view, emphasis));
    ASSERT_TRUE(FC::toggleEmphasis(view, emphasis));
    EXPECT_TRUE(at(5) == std::nullopt && !FC::hasEmphasis(view, emphasis));
    interface.ui().actionUndo->trigger();
    EXPECT_EQ(at(5), on);
    for (const std::size_t length : {7, 0}) {
      view.textStorage().replaceCharactersInRange({0, view.textStorage().length()}, std::u16string(length, u'x'));
      view.setSelectedRange({length / 2, 0});
      ASSERT_TRUE(FC::toggleEmphasis(view, emphasis));
      EXPECT_TRUE(view.typingAttributes().objectForKey(name) == on && FC::hasEmphasis(view, emphasis)) << length;
    }
    interface.ui().textView->setReadOnly(true);
    EXPECT_FALSE(FC::toggleEmphasis(view, emphasis));
  }
}

struct EmptySettings : ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& /*test*/) override {
    QSettings().clear();
    parasort::DraftKeeper().discard();
  }
};

}  // namespace

// The tests run on the offscreen platform with the settings and the drafts
// in directories of their own, made before anything reads them (QSettings
// fixes its paths on first use), and emptied before each test.
int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const QTemporaryDir settingsHome;
  qputenv("XDG_CONFIG_HOME", settingsHome.path().toLocal8Bit());
  const QTemporaryDir stateHome;
  qputenv("XDG_STATE_HOME", stateHome.path().toLocal8Bit());
  ::testing::InitGoogleTest(&argc, argv);
  parasort::preferColourEmojiFonts();
  QApplication application(argc, argv);
  parasort::setApplicationIdentity();
  ::testing::UnitTest::GetInstance()->listeners().Append(new EmptySettings);
  return RUN_ALL_TESTS();
}
