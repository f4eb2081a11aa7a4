// The tests' main for code that needs a QGuiApplication (the clipboard).
#include <QGuiApplication>

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  // The offscreen platform's clipboard lives in this process only: the tests
  // neither need a display nor disturb the user's clipboard.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
