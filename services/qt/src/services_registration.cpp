#include "parasort/services/qt/services_registration.h"

#include "parasort/services/qt/paragraph_services.h"
#include "parasort/services/qt/services_bus_names.h"
#include "parasort/services/qt/system_pasteboard.h"

#include <QString>

#include <memory>

namespace parasort {

bool registerParagraphServices(ParagraphServices& services, QDBusConnection connection) {
  const QString path = QString::fromLatin1(services_bus::objectPath);
  if (!connection.registerVirtualObject(path, &services)) return false;
  if (!connection.registerService(QString::fromLatin1(services_bus::busName))) {
    connection.unregisterObject(path);
    return false;
  }
  return true;
}

bool startSystemServices(QObject& owner) {
  auto services = std::make_unique<ParagraphServices>(makeSystemPasteboard(chooseClipboardRoute(observeClipboardSession())));
  if (!registerParagraphServices(*services, QDBusConnection::sessionBus())) return false;
  services->setParent(&owner);
  services.release();  // now owned by `owner`
  return true;
}

}  // namespace parasort
