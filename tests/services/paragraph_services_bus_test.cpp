// The services object as other applications reach it on the session bus
// (run under dbus-run-session, so the bus is private to the test), over the
// clipboard adapter on the offscreen platform's in-process clipboard. The
// desktop entry's actions are run against the real editor (end_to_end.sh).
#include "parasort/services/memory_pasteboard.h"
#include "parasort/services/qt/paragraph_services.h"
#include "parasort/services/qt/services_bus_names.h"
#include "parasort/services/qt/services_registration.h"

#include <QClipboard>
#include <QDBusMessage>
#include <QGuiApplication>
#include <QMimeData>

#include <gtest/gtest.h>

#include <memory>

namespace {

namespace bus = parasort::services_bus;

TEST(ServicesOnTheBus, TheMethodsAnswerWithTheResultOrAnErrorAndASecondInstanceIsRefused) {
  QObject application;
  ASSERT_TRUE(parasort::startSystemServices(application)) << "run under dbus-run-session";
  // A call from another connection, as another application makes it; the
  // event loop runs meanwhile so that this process can answer.
  const auto call = [](const char* method, QVariantList arguments = {QStringLiteral("user data")}) {
    QDBusMessage request = QDBusMessage::createMethodCall(
        QString::fromLatin1(bus::busName), QString::fromLatin1(bus::objectPath),
        QString::fromLatin1(bus::interfaceName), QString::fromLatin1(method));
    request.setArguments(arguments);
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("client"))
        .call(request, QDBus::BlockWithGui);
  };
  // The result replaces everything on the clipboard, as plain text only.
  QClipboard& clipboard = *QGuiApplication::clipboard();
  auto* data = new QMimeData;  // the clipboard owns it
  data->setHtml(QStringLiteral("<i>b</i>"));
  data->setText(QStringLiteral("b\n\U0001F600\na"));
  clipboard.setMimeData(data);
  EXPECT_EQ(call("sspSortParagraphsDescending").type(), QDBusMessage::ReplyMessage);
  EXPECT_EQ(clipboard.mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
  EXPECT_EQ(clipboard.text(), QStringLiteral("b\na\n\U0001F600"));

  // The general method: any operation by the filter's name for it, with
  // options; arguments it cannot read are refused before anything is read.
  const auto arrange = [&](const char* operation, const QVariantMap& options) {
    return call(bus::arrangeMethod, {QString::fromLatin1(operation), options});
  };
  clipboard.setText(QStringLiteral("x\tb\nyy\ta"));
  EXPECT_EQ(arrange("by-length", {{QStringLiteral("key"), QStringLiteral("2")}}).type(), QDBusMessage::ReplyMessage);
  EXPECT_EQ(clipboard.text(), QStringLiteral("yy\ta\nx\tb"));
  for (const QVariantMap& options : {QVariantMap{{QStringLiteral("key"), QStringLiteral("0")}},
                                     QVariantMap{{QStringLiteral("random-seed"), 1}},
                                     QVariantMap{{QStringLiteral("numeric"), QStringLiteral("no")}}}) {
    const QDBusMessage refused = arrange("ascending", options);
    EXPECT_EQ(refused.errorName(), QString::fromLatin1(bus::invalidArgumentsErrorName)) << refused.errorMessage().toStdString();
  }
  EXPECT_EQ(arrange("sideways", {}).errorMessage(), QStringLiteral("unknown operation 'sideways'"));
  EXPECT_EQ(clipboard.text(), QStringLiteral("yy\ta\nx\tb"));

  // A failure is an error reply with the service's message; the clipboard
  // is left as it was.
  data = new QMimeData;
  data->setData(QStringLiteral("image/png"), "\x89PNG");
  clipboard.setMimeData(data);
  const QDBusMessage reply = call("sspUniqueParagraphs");
  EXPECT_EQ(reply.errorName(), QString::fromLatin1(bus::failureErrorName));
  EXPECT_EQ(reply.errorMessage(), QStringLiteral("Unsupported data type"));
  EXPECT_EQ(clipboard.mimeData(), data);

  // A second instance neither claims the name nor leaves its object behind.
  QDBusConnection second = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("second"));
  parasort::ParagraphServices other(std::make_unique<parasort::MemoryPasteboard>());
  EXPECT_FALSE(parasort::registerParagraphServices(other, second));
  EXPECT_EQ(second.objectRegisteredAt(QString::fromLatin1(bus::objectPath)), nullptr);
  QObject secondApplication;
  EXPECT_FALSE(parasort::startSystemServices(secondApplication));
  EXPECT_TRUE(secondApplication.children().isEmpty());
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");  // its clipboard lives in this process only
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
