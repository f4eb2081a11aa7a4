#include "application_identity.h"

#include "parasort/services/qt/services_bus_names.h"
#include "parasort/version.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>

namespace parasort {

void setApplicationIdentity() {
  QCoreApplication::setOrganizationName(QStringLiteral("parasort"));
  QCoreApplication::setApplicationName(QStringLiteral("parasort-editor"));
  QCoreApplication::setApplicationVersion(QStringLiteral(PARASORT_VERSION));
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Parasort"));
  // The desktop entry is named by the bus name (see services/CMakeLists.txt).
  QGuiApplication::setDesktopFileName(QString::fromLatin1(services_bus::busName));
}

}  // namespace parasort
