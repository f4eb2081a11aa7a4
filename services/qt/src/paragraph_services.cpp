#include "parasort/services/qt/paragraph_services.h"

#include "arrangement_request.h"

#include "parasort/paragraph_operations.h"
#include "parasort/services/qt/services_bus_names.h"
#include "parasort/services/system_service_provider.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>

#include <algorithm>
#include <utility>

namespace parasort {

ParagraphServices::ParagraphServices(std::unique_ptr<Pasteboard> pasteboard, QObject* parent)
    : QDBusVirtualObject(parent), pasteboard_(std::move(pasteboard)) {}

QString ParagraphServices::introspect(const QString& /*path*/) const {
  QString xml = QStringLiteral("  <interface name=\"%1\">\n").arg(QLatin1String(services_bus::interfaceName));
  for (const ParagraphOperation& operation : paragraphOperations) {
    if (*operation.serviceMethod == '\0') continue;  // an operation the services do not offer
    xml += QStringLiteral("    <method name=\"%1\">\n      <arg name=\"userData\" type=\"s\" direction=\"in\"/>\n"
                          "    </method>\n")
               .arg(QLatin1String(operation.serviceMethod));
  }
  xml += QStringLiteral("    <method name=\"%1\">\n      <arg name=\"operation\" type=\"s\" direction=\"in\"/>\n"
                        "      <arg name=\"options\" type=\"a{sv}\" direction=\"in\"/>\n"
                        "      <annotation name=\"org.qtproject.QtDBus.QtTypeName.In1\" value=\"QVariantMap\"/>\n"
                        "    </method>\n")
             .arg(QLatin1String(services_bus::arrangeMethod));
  return xml + QStringLiteral("  </interface>\n");
}

bool ParagraphServices::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
  if (message.type() != QDBusMessage::MethodCallMessage) return false;
  const QString interface = QString::fromLatin1(services_bus::interfaceName);
  if (!message.interface().isEmpty() && message.interface() != interface) return false;
  if (message.interface().isEmpty() && isStandardMember(message.member())) return false;

  const QString member = message.member();
  const bool arrangement = member == QLatin1String(services_bus::arrangeMethod);
  const auto operation = std::ranges::find_if(paragraphOperations, [&](const ParagraphOperation& candidate) {
    return *candidate.serviceMethod != '\0' && member == QLatin1String(candidate.serviceMethod);
  });
  // Anything else sent to the services is answered here, by its name and
  // signature, rather than as an interface that is not there.
  if (!arrangement && operation == paragraphOperations.end()) {
    connection.send(message.createErrorReply(
        QDBusError::UnknownMethod, QStringLiteral("No method '%1' with signature '%2' on interface '%3'")
                                       .arg(member, message.signature(), interface)));
    return true;
  }
  const QLatin1String expected(arrangement ? "sa{sv}" : "s");
  if (message.signature() != expected) {
    connection.send(message.createErrorReply(
        QDBusError::InvalidArgs, QStringLiteral("Method '%1' takes signature '%2', not '%3'")
                                     .arg(member, expected, message.signature())));
    return true;
  }
  if (arrangement) {
    serveArrangement(message, connection);
    return true;
  }
  ServiceError error;
  SystemServiceProvider::serveParagraphOperation(*pasteboard_, operation->order, &error);
  connection.send(replyTo(message, error));
  return true;
}

bool ParagraphServices::isStandardMember(const QString& member) {
  // Members of the standard interfaces, which a call may send without
  // naming its interface; the bus library answers them.
  static constexpr const char* standard[] = {"Introspect", "Ping", "GetMachineId", "Get", "Set", "GetAll"};
  return std::ranges::any_of(standard, [&](const char* name) { return member == QLatin1String(name); });
}

void ParagraphServices::serveArrangement(const QDBusMessage& message, const QDBusConnection& connection) {
  const QList<QVariant> arguments = message.arguments();
  const auto request = readArrangementRequest(
      arguments.value(0).toString(), qdbus_cast<QVariantMap>(arguments.value(1).value<QDBusArgument>()));
  if (const auto* problem = std::get_if<QString>(&request)) {
    connection.send(message.createErrorReply(QString::fromLatin1(services_bus::invalidArgumentsErrorName), *problem));
    return;
  }
  const auto& [order, collation, options] = std::get<ArrangementRequest>(request);
  ServiceError error;
  SystemServiceProvider::serveParagraphOperation(*pasteboard_, order, &error, collation, options);
  connection.send(replyTo(message, error));
}

QDBusMessage ParagraphServices::replyTo(const QDBusMessage& message, const ServiceError& error) {
  return error ? message.createErrorReply(QString::fromLatin1(services_bus::failureErrorName),
                                          QString::fromStdU16String(*error))
               : message.createReply();
}

}  // namespace parasort
