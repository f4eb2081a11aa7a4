// The controller as the application's delegate: the window on activation,
// and the end of the application with its last window, saving the font.
#include "app_test_support.h"
#include "font_catalog.h"
#include "launched_editor.h"
#include "main_interface.h"

#include <QApplication>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

namespace {

class Lifecycle : public ::testing::Test {
 protected:
  void SetUp() override { parasort::test::clearUserDefaults(); }
};

TEST_F(Lifecycle, ActivationBringsAHiddenWindowToTheFrontAsTheActiveWindow) {
  parasort::MainInterface interface;
  ASSERT_FALSE(interface.window().isVisible());
  interface.controller().applicationWillBecomeActive();
  EXPECT_TRUE(interface.window().isVisible());
  EXPECT_TRUE(QTest::qWaitForWindowActive(&interface.window()));
}

TEST_F(Lifecycle, ActivationRestoresAMinimizedWindowAsTheActiveWindow) {
  parasort::MainInterface interface;
  interface.window().showMinimized();
  ASSERT_TRUE(interface.window().isMinimized());
  interface.controller().applicationWillBecomeActive();
  EXPECT_FALSE(interface.window().isMinimized());
  EXPECT_TRUE(interface.window().isVisible());
  EXPECT_TRUE(QTest::qWaitForWindowActive(&interface.window()));
}

TEST_F(Lifecycle, ActivationLeavesAVisibleWindowBehindTheActiveOne) {
  parasort::MainInterface interface;
  interface.window().show();
  QWidget other;
  other.show();
  other.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
  interface.controller().applicationWillBecomeActive();
  QTest::qWait(50);
  EXPECT_EQ(QApplication::activeWindow(), &other);
}

TEST_F(Lifecycle, ClosingTheWindowEndsTheApplicationAndSavesTheFont) {
  const auto serif = parasort::FontCatalog::fontWithName(QStringLiteral("DejaVu Serif"), 13.5);
  ASSERT_TRUE(serif) << "needs the DejaVu fonts";
  parasort::LaunchedEditor editor(*qApp);
  ASSERT_TRUE(editor.interface().window().isVisible());
  editor.interface().textView().setFont(*serif);
  QTimer::singleShot(0, &editor.interface().window(), &QWidget::close);
  QTimer watchdog;
  watchdog.callOnTimeout([] { QCoreApplication::exit(99); });
  watchdog.start(5000);

  EXPECT_EQ(QApplication::exec(), 0);
  const QSettings settings;
  EXPECT_EQ(settings.value(QStringLiteral("fontName")).toString(), QStringLiteral("DejaVu Serif"));
  EXPECT_EQ(settings.value(QStringLiteral("fontSize")).toDouble(), 13.5);
  EXPECT_TRUE(editor.interface().controller().applicationShouldTerminateAfterLastWindowClosed());
}

TEST_F(Lifecycle, ActivatingTheRunningEditorShowsItsWindowAgain) {
  parasort::LaunchedEditor editor(*qApp);
  editor.interface().window().hide();
  editor.activate();
  EXPECT_TRUE(editor.interface().window().isVisible());
  EXPECT_TRUE(QTest::qWaitForWindowActive(&editor.interface().window()));
}

}  // namespace
