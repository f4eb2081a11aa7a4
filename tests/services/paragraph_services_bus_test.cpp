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

// Calls as other programs may make them, on a services object over an
// in-memory pasteboard on a connection of its own: what each one answers,
// and the text it leaves. With no options the general method compares runs
// of digits by value; "numeric" false compares them as characters.
TEST(ServicesOnTheBus, EachCallsAnswerByNameAndSignature) {
  QDBusConnection server = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("manners"));
  auto* pasteboard = new parasort::MemoryPasteboard;  // owned by the services
  parasort::ParagraphServices services{std::unique_ptr<parasort::Pasteboard>(pasteboard)};
  ASSERT_TRUE(server.registerVirtualObject(QString::fromLatin1(bus::objectPath), &services));
  QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("caller"));
  const QString interface = QString::fromLatin1(bus::interfaceName);
  const QString unknownMethod = QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod");
  const QString invalidArgs = QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs");
  const QVariantMap noOptions, asCharacters{{QStringLiteral("numeric"), false}};
  const struct {
    QString interface;
    const char* method;
    QVariantList arguments;
    QString errorName;     // empty: a reply
    QString errorMessage;  // empty: not checked
    const char16_t* after;
  } cases[] = {
      {interface, "sspArrangeParagraphs", {QStringLiteral("ascending"), noOptions}, {}, {}, u"x9\nx10"},
      {interface, "sspArrangeParagraphs", {QStringLiteral("ascending"), asCharacters}, {}, {}, u"x10\nx9"},
      {{}, "sspSortParagraphsAscending", {QStringLiteral("")}, {}, {}, u"x9\nx10"},
      {interface, "sspSortParagraphs", {QStringLiteral("")}, unknownMethod,
       QStringLiteral("No method 'sspSortParagraphs' with signature 's' on interface 'io.github.parasort.Services'"),
       u"x10\nx9"},
      {{}, "sortEverything", {}, unknownMethod,
       QStringLiteral("No method 'sortEverything' with signature '' on interface 'io.github.parasort.Services'"),
       u"x10\nx9"},
      {interface, "sspUniqueParagraphs", {42}, invalidArgs,
       QStringLiteral("Method 'sspUniqueParagraphs' takes signature 's', not 'i'"), u"x10\nx9"},
      {interface, "sspArrangeParagraphs", {QStringLiteral("ascending")}, invalidArgs,
       QStringLiteral("Method 'sspArrangeParagraphs' takes signature 'sa{sv}', not 's'"), u"x10\nx9"},
      {interface, "sspUniqueParagraphs", {}, invalidArgs, {}, u"x10\nx9"},
  };
  for (const auto& [to, method, arguments, errorName, errorMessage, after] : cases) {
    const std::string plainText[] = {"text/plain"};
    pasteboard->declareTypes(plainText);
    pasteboard->setString(u"x10\nx9", "text/plain");
    QDBusMessage request = QDBusMessage::createMethodCall(server.baseService(), QString::fromLatin1(bus::objectPath),
                                                          to, QString::fromLatin1(method));
    request.setArguments(arguments);
    const QDBusMessage reply = client.call(request, QDBus::BlockWithGui);
    EXPECT_EQ(reply.errorName().toStdString(), errorName.toStdString()) << method << ": " << reply.errorMessage().toStdString();
    if (!errorMessage.isEmpty()) {
      EXPECT_EQ(reply.errorMessage().toStdString(), errorMessage.toStdString());
    }
    EXPECT_EQ(pasteboard->stringForType("text/plain"), std::u16string(after)) << method;
  }
  // The standard interfaces are still the bus library's to answer.
  QDBusMessage introspect = QDBusMessage::createMethodCall(server.baseService(), QString::fromLatin1(bus::objectPath),
                                                           QStringLiteral("org.freedesktop.DBus.Introspectable"),
                                                           QStringLiteral("Introspect"));
  const QDBusMessage description = client.call(introspect, QDBus::BlockWithGui);
  EXPECT_TRUE(description.arguments().value(0).toString().contains(QStringLiteral("sspArrangeParagraphs")));
  server.unregisterObject(QString::fromLatin1(bus::objectPath));
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");  // its clipboard lives in this process only
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
