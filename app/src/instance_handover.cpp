#include "instance_handover.h"

#include "editor_bus_names.h"
#include "parasort/services/qt/services_bus_names.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QString>

namespace parasort {

bool handOverToRunningInstance(QDBusConnection bus, const QStringList& files) {
  if (!bus.isConnected()) return false;
  const QString busName = QString::fromLatin1(services_bus::busName);
  const QDBusConnectionInterface* daemon = bus.interface();
  if (daemon == nullptr || !daemon->isServiceRegistered(busName).value()) return false;

  constexpr int answerTimeoutMilliseconds = 5000;
  for (const QString& file : files) {
    QDBusMessage open = QDBusMessage::createMethodCall(busName, QString::fromLatin1(editor_bus::objectPath),
                                                       QString::fromLatin1(editor_bus::interfaceName),
                                                       QStringLiteral("openFile"));
    open << file;
    open.setAutoStartService(false);
    if (bus.call(open, QDBus::Block, answerTimeoutMilliseconds).type() != QDBusMessage::ReplyMessage) return false;
  }
  // Opening brings the window forward itself, before any question it asks:
  // an activation now would cover that question.
  if (!files.isEmpty()) return true;
  QDBusMessage activate = QDBusMessage::createMethodCall(
      busName, QString::fromLatin1(editor_bus::objectPath),
      QString::fromLatin1(editor_bus::interfaceName), QStringLiteral("activate"));
  // The name was owned a moment ago; should its owner just have quit, the
  // bus must not start a new instance on our behalf: this one starts instead.
  activate.setAutoStartService(false);
  return bus.call(activate, QDBus::Block, answerTimeoutMilliseconds).type() ==
         QDBusMessage::ReplyMessage;
}

}  // namespace parasort
