#include "editor_bus_endpoint.h"

#include "editor_bus_names.h"

#include <QDBusConnection>

#include <utility>

namespace parasort {

EditorBusEndpoint::EditorBusEndpoint(std::function<void()> activate, std::function<void()> quit,
                                     QObject* parent)
    : QObject(parent), activate_(std::move(activate)), quit_(std::move(quit)) {}

bool EditorBusEndpoint::registerOnSessionBus() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  return bus.isConnected() &&
         bus.registerObject(QString::fromLatin1(editor_bus::objectPath), this,
                            QDBusConnection::ExportScriptableSlots);
}

void EditorBusEndpoint::activate() { activate_(); }

void EditorBusEndpoint::quit() { quit_(); }

void EditorBusEndpoint::openFile(const QString& path) {
  if (openFile_) openFile_(path);
}

}  // namespace parasort
