#include "application_identity.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QString>

namespace parasort {

void setApplicationIdentity() {
  QCoreApplication::setOrganizationName(QStringLiteral("parasort"));
  QCoreApplication::setApplicationName(QStringLiteral("parasort-editor"));
  QGuiApplication::setApplicationDisplayName(QStringLiteral("Parasort"));
  QGuiApplication::setDesktopFileName(QStringLiteral("parasort-editor"));
}

}  // namespace parasort
