// The single-instance rule: a program started while the editor runs hands
// over to the running one.
#pragma once

#include <QDBusConnection>
#include <QStringList>

namespace parasort {

// When an instance of the editor owns the services' bus name on `bus`, asks
// it to open `files` (absolute paths; editor_bus openFile(), which brings
// the window forward), or without files to activate (editor_bus
// activate()), and returns whether it answered.
// Returns false at once without a bus or without a running instance; never
// starts an instance through bus activation.
bool handOverToRunningInstance(QDBusConnection bus, const QStringList& files = {});

}  // namespace parasort
