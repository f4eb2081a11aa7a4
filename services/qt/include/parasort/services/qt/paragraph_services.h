// The services object that answers service requests on the D-Bus session bus.
//
// One method per paragraph operation that has one (the operations table's
// service methods, named by the service's message name), each taking the
// request's user data (a string, ignored), and the general method
// arrangeMethod, taking any operation by the filter's name for it and its
// options (a{sv}); all work on the object's pasteboard (the system clipboard
// in the application). A failed request is answered with the error
// failureErrorName carrying the failure message; arguments the general
// method cannot read, with invalidArgumentsErrorName and why. Requests are
// served on the thread of the object, one at a time.
#pragma once

#include "parasort/services/pasteboard.h"
#include "parasort/services/service_exchange.h"

#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QObject>
#include <QString>

#include <memory>

namespace parasort {

class ParagraphServices final : public QDBusVirtualObject {
 public:
  // Serves requests on `pasteboard` once exported (registerParagraphServices()).
  explicit ParagraphServices(std::unique_ptr<Pasteboard> pasteboard, QObject* parent = nullptr);

  // The services interface, one method per operation.
  QString introspect(const QString& path) const override;
  // Serves a call of one of the methods. Any other call on the services
  // interface (or on none) is answered with UnknownMethod, and a known method
  // called with the wrong signature with InvalidArgs, each naming the method
  // and the signature; false for the standard interfaces, which the bus
  // library answers.
  bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override;

 private:
  void serveArrangement(const QDBusMessage& message, const QDBusConnection& connection);
  static bool isStandardMember(const QString& member);
  static QDBusMessage replyTo(const QDBusMessage& message, const ServiceError& error);

  std::unique_ptr<Pasteboard> pasteboard_;
};

}  // namespace parasort
