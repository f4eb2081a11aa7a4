// The application tests run on the offscreen platform with the settings in a
// directory of their own, made before anything reads them (QSettings fixes
// its paths on first use), and emptied before each test.
#include "application_identity.h"

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

struct EmptySettings : ::testing::EmptyTestEventListener {
  void OnTestStart(const ::testing::TestInfo& /*test*/) override { QSettings().clear(); }
};

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  const QTemporaryDir settingsHome;
  qputenv("XDG_CONFIG_HOME", settingsHome.path().toLocal8Bit());
  ::testing::InitGoogleTest(&argc, argv);
  QApplication application(argc, argv);
  parasort::setApplicationIdentity();
  ::testing::UnitTest::GetInstance()->listeners().Append(new EmptySettings);
  return RUN_ALL_TESTS();
}
