#include "application_identity.h"

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
  QGuiApplication::setDesktopFileName(QStringLiteral("parasort-editor"));
}

}  // namespace parasort
