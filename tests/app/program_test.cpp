// The real program, started and stopped on a private session bus (run under
// dbus-run-session) with its settings in a fresh directory: the font it
// remembers from one start to the next. A second launch handing over to the
// first is checked end to end (end_to_end.sh).
#include "editor_bus_names.h"
#include "parasort/services/qt/services_bus_names.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <signal.h>

#include <csignal>
#include <cstring>
#include <string>

namespace {

namespace bus = parasort::services_bus;

constexpr int patience = 10000;  // milliseconds

bool editorOnTheBus() {
  return QDBusConnection::sessionBus()
      .interface()
      ->isServiceRegistered(QString::fromLatin1(bus::busName))
      .value();
}

class Program : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    ASSERT_TRUE(settingsHome.isValid());
    ASSERT_FALSE(editorOnTheBus());
  }
  void TearDown() override {
    if (running.state() != QProcess::NotRunning) {
      running.kill();
      running.waitForFinished();
    }
    // The next test starts only when the name is free again.
    EXPECT_TRUE(QTest::qWaitFor([] { return !editorOnTheBus(); }, patience));
  }

  QString settingsFile() const { return settingsHome.path() + QStringLiteral("/parasort/parasort-editor.conf"); }
  QString settingsFileText() const {
    QFile file(settingsFile());
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }
  void save(const QString& name, double size) const {
    QSettings settings(settingsFile(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("fontName"), name);
    settings.setValue(QStringLiteral("fontSize"), size);
  }
  QString saved(const char* key) const {
    return QSettings(settingsFile(), QSettings::IniFormat).value(QString::fromLatin1(key)).toString();
  }

  void start(QProcess& program) const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), settingsHome.path());
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // A private one (0700), so that Qt has nothing to say about it on
    // standard error.
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), settingsHome.path());
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(PARASORT_EDITOR), {});
  }

  // Starts the program and waits until it offers its services.
  void launch() {
    start(running);
    ASSERT_TRUE(running.waitForStarted(patience));
    ASSERT_TRUE(QTest::qWaitFor(editorOnTheBus, patience)) << running.readAllStandardError().toStdString();
  }

  // Asks the running program to quit, as closing its window does, and
  // returns its exit status.
  int quit() {
    const QDBusMessage reply = QDBusConnection::sessionBus().call(QDBusMessage::createMethodCall(
        QString::fromLatin1(bus::busName), QString::fromLatin1(parasort::editor_bus::objectPath),
        QString::fromLatin1(parasort::editor_bus::interfaceName), QStringLiteral("quit")));
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_TRUE(running.waitForFinished(patience));
    EXPECT_EQ(running.exitStatus(), QProcess::NormalExit);
    return running.exitCode();
  }

  // One start and stop of the program: what it leaves under "fontName" and
  // "fontSize" is the font it started with.
  void startAndQuit() {
    launch();
    ASSERT_EQ(quit(), 0);
  }

  QTemporaryDir settingsHome;
  QProcess running;
};

QString defaultFontName() {
  // The program's default font, as this process sees it under the same
  // platform and fonts.
  return QFontInfo(QFontDatabase::systemFont(QFontDatabase::GeneralFont)).family();
}
QString defaultFontSize() {
  const QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  return QString::number(static_cast<double>(static_cast<float>(QFontInfo(font).pointSizeF())));
}

TEST_F(Program, TheFirstStartUsesTheDefaultFontAndSavesIt) {
  startAndQuit();
  EXPECT_EQ(saved("fontName"), defaultFontName());
  EXPECT_EQ(saved("fontSize"), defaultFontSize());
}

// Which saved fonts cannot be made, and give the default, is checked in
// process (font_memory_test.cpp): the program reads them the same way.
TEST_F(Program, ASavedFontIsRestoredAtTheNextStartItsSizeAsTheNearestFloat) {
  save(QStringLiteral("DejaVu Serif"), 12.1);
  startAndQuit();
  EXPECT_TRUE(settingsFileText().contains(QStringLiteral("fontSize=12.100000381469727")))
      << settingsFileText().toStdString();
  startAndQuit();
  EXPECT_EQ(QSettings(settingsFile(), QSettings::IniFormat).value(QStringLiteral("fontSize")).toDouble(),
            12.100000381469727);
  EXPECT_EQ(saved("fontName"), QStringLiteral("DejaVu Serif"));
}

// A session's end (SIGTERM at logout), the terminal's Ctrl+C (SIGINT) and
// its hang-up (SIGHUP) quit the editor as File > Quit does: status 0, font
// saved.
class ProgramEndedBySignal : public Program, public ::testing::WithParamInterface<int> {};

TEST_P(ProgramEndedBySignal, QuitsInOrderAndSavesTheFont) {
  launch();
  ASSERT_EQ(::kill(static_cast<pid_t>(running.processId()), GetParam()), 0);
  ASSERT_TRUE(running.waitForFinished(patience));
  EXPECT_EQ(running.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(running.exitCode(), 0);
  EXPECT_EQ(saved("fontName"), defaultFontName());
  EXPECT_EQ(saved("fontSize"), defaultFontSize());
}

INSTANTIATE_TEST_SUITE_P(Signals, ProgramEndedBySignal, ::testing::Values(SIGTERM, SIGINT, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& tested) {
                           return std::string(sigabbrev_np(tested.param));
                         });

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
