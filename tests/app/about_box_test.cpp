// Help > About parasort, as the user opens it from the editor window: a box
// naming the program and the version that `parasort --version` prints.
#include "app_test_support.h"
#include "main_interface.h"

#include <QApplication>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class AboutBox : public ::testing::Test {
 protected:
  void SetUp() override { parasort::test::clearUserDefaults(); }

  parasort::MainInterface interface;
};

// What a modal message box showed, closed as soon as it is seen.
struct SeenBox {
  bool shown = false;
  QWidget* parent = nullptr;
  QString title;
  QString text;
};

TEST_F(AboutBox, TheHelpMenuOpensABoxWithTheProjectVersion) {
  ASSERT_TRUE(interface.ui().menuHelp->actions().contains(interface.ui().actionAbout));
  EXPECT_EQ(interface.ui().actionAbout->text(), QStringLiteral("About parasort"));

  SeenBox seen;
  QTimer watcher;
  int ticks = 0;
  QObject::connect(&watcher, &QTimer::timeout, [&] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      seen = {true, box->parentWidget(), box->windowTitle(), box->text()};
      box->done(0);
    } else if (++ticks > 500) {
      watcher.stop();  // the box never came: end the wait instead of hanging
    }
  });
  watcher.start(10);
  interface.ui().actionAbout->trigger();  // returns when the modal box closes
  watcher.stop();

  ASSERT_TRUE(seen.shown);
  EXPECT_EQ(seen.parent, &interface.window());
  EXPECT_EQ(seen.title, QStringLiteral("About parasort"));
  EXPECT_TRUE(seen.text.contains(QStringLiteral("parasort " PARASORT_PROJECT_VERSION))) << seen.text.toStdString();
  EXPECT_TRUE(seen.text.contains(QStringLiteral("paragraphs of plain text"))) << seen.text.toStdString();
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

}  // namespace
