#include "parasort/services/qt/paragraph_services.h"

#include "parasort/paragraph_operations.h"
#include "parasort/services/qt/services_bus_names.h"
#include "parasort/services/system_service_provider.h"

#include <QDBusConnection>
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
  return xml + QStringLiteral("  </interface>\n");
}

bool ParagraphServices::handleMessage(const QDBusMessage& message, const QDBusConnection& connection) {
  if (message.type() != QDBusMessage::MethodCallMessage || message.signature() != QLatin1String("s")) return false;
  if (!message.interface().isEmpty() && message.interface() != QLatin1String(services_bus::interfaceName))
    return false;
  const auto operation = std::ranges::find_if(paragraphOperations, [&](const ParagraphOperation& candidate) {
    return *candidate.serviceMethod != '\0' && message.member() == QLatin1String(candidate.serviceMethod);
  });
  if (operation == paragraphOperations.end()) return false;

  ServiceError error;
  SystemServiceProvider::serveParagraphOperation(*pasteboard_, operation->order, &error);
  connection.send(error ? message.createErrorReply(QString::fromLatin1(services_bus::failureErrorName),
                                                   QString::fromStdU16String(*error))
                        : message.createReply());
  return true;
}

}  // namespace parasort
