// The services as other applications reach them on the session bus (run
// under dbus-run-session, so the bus is private to the test).
#include "parasort/paragraph_operations.h"
#include "parasort/services/memory_pasteboard.h"
#include "parasort/services/qt/paragraph_services.h"
#include "parasort/services/qt/services_bus_names.h"
#include "parasort/services/qt/services_registration.h"
#include "text_listed_but_not_given.h"

#include <QClipboard>
#include <QDBusMessage>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <memory>

namespace {

namespace bus = parasort::services_bus;

class ServicesOnTheBus : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    ASSERT_TRUE(parasort::startSystemServices(application));
  }

  void TearDown() override {
    QDBusConnection::sessionBus().unregisterService(QString::fromLatin1(bus::busName));
    QDBusConnection::sessionBus().unregisterObject(QString::fromLatin1(bus::objectPath));
  }

  // A call from another connection, as another application makes it; the
  // event loop runs meanwhile so that this process can answer.
  QDBusMessage call(const char* method) {
    QDBusMessage request = QDBusMessage::createMethodCall(
        QString::fromLatin1(bus::busName), QString::fromLatin1(bus::objectPath),
        QString::fromLatin1(bus::interfaceName), QString::fromLatin1(method));
    request << QStringLiteral("user data");
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"))
        .call(request, QDBus::BlockWithGui);
  }

  QObject application;
  QClipboard& clipboard = *QGuiApplication::clipboard();
};

// Each method of the table answers with its service's result on the
// clipboard (whose adapter is tested in clipboard_pasteboard_test.cpp).
TEST_F(ServicesOnTheBus, EachMethodReplacesTheClipboardTextWithItsResult) {
  const QString results[] = {QStringLiteral("a\nb\nb\n"), QStringLiteral("b\nb\na\n"), QStringLiteral("a\nb\n")};
  for (const parasort::ParagraphOperation& operation : parasort::paragraphOperations) {
    clipboard.setText(QStringLiteral("b\na\nb\n"));
    EXPECT_EQ(call(operation.serviceMethod).type(), QDBusMessage::ReplyMessage);
    EXPECT_EQ(clipboard.text(), results[static_cast<int>(operation.order)]) << operation.serviceMethod;
  }
}

TEST_F(ServicesOnTheBus, AFailureIsAnErrorReplyWithTheMessageAndTheClipboardStays) {
  clipboard.clear();
  QDBusMessage reply = call("sspSortParagraphsAscending");
  EXPECT_EQ(reply.type(), QDBusMessage::ErrorMessage);
  EXPECT_EQ(reply.errorName(), QString::fromLatin1(bus::failureErrorName));
  EXPECT_EQ(reply.errorMessage(), QStringLiteral("Unsupported data type"));

  clipboard.setMimeData(new TextListedButNotGiven);  // the clipboard owns it
  const QMimeData* failing = clipboard.mimeData();
  reply = call("sspUniqueParagraphs");
  EXPECT_EQ(reply.errorMessage(), QStringLiteral("No String Data"));
  EXPECT_EQ(clipboard.mimeData(), failing);
}

TEST_F(ServicesOnTheBus, ASecondInstanceCannotClaimTheServices) {
  QDBusConnection second = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second"));
  parasort::ParagraphServices other(std::make_unique<parasort::MemoryPasteboard>());
  EXPECT_FALSE(parasort::registerParagraphServices(other, second));
  EXPECT_EQ(second.objectRegisteredAt(QString::fromLatin1(bus::objectPath)), nullptr);

  QObject secondApplication;
  EXPECT_FALSE(parasort::startSystemServices(secondApplication));
  EXPECT_TRUE(secondApplication.children().isEmpty());
}

// The desktop entry's actions, run as a launcher runs them.
TEST_F(ServicesOnTheBus, TheDesktopEntryActionsRunTheServices) {
  QFile entry(QStringLiteral(PARASORT_DESKTOP_ENTRY));
  ASSERT_TRUE(entry.open(QIODevice::ReadOnly | QIODevice::Text));
  const QString text = QString::fromUtf8(entry.readAll());
  const QStringList expected{QStringLiteral("a\nb\nb\n"), QStringLiteral("b\nb\na\n"), QStringLiteral("a\nb\n")};
  const QRegularExpression actionExec(QStringLiteral(R"(\[Desktop Action [^\]]+\]\n(?:[^\[\n][^\n]*\n)*?Exec=([^\n]*))"));
  qsizetype action = 0;
  for (const QRegularExpressionMatch& match : actionExec.globalMatch(text)) {
    ASSERT_LT(action, expected.size());
    clipboard.setText(QStringLiteral("b\na\nb\n"));
    QStringList arguments = QProcess::splitCommand(match.captured(1));
    QProcess launcher;
    QEventLoop untilFinished;
    QObject::connect(&launcher, &QProcess::finished, &untilFinished, &QEventLoop::quit);
    launcher.start(arguments.takeFirst(), arguments);
    ASSERT_TRUE(launcher.waitForStarted());
    untilFinished.exec();
    EXPECT_EQ(launcher.exitCode(), 0) << launcher.readAllStandardError().toStdString();
    EXPECT_EQ(clipboard.text(), expected[action++]) << match.captured(1).toStdString();
  }
  EXPECT_EQ(action, expected.size());
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
