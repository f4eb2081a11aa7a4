// Putting the services on the D-Bus session bus when the application starts.
#pragma once

#include <QDBusConnection>
#include <QObject>

namespace parasort {

class ParagraphServices;

// Exports `services` at services_bus::objectPath on `connection` and claims
// services_bus::busName there. Returns whether both worked; when claiming the
// name fails (another instance holds it, or there is no bus) the object is
// not left exported.
bool registerParagraphServices(ParagraphServices& services, QDBusConnection connection);

// What the application calls once it has finished launching: creates the
// services object on the system clipboard, owned by `owner`, and registers
// it on the session bus. Returns whether it worked; on failure nothing is
// created. Needs a QGuiApplication.
bool startSystemServices(QObject& owner);

}  // namespace parasort
