// The services object that answers service requests on the D-Bus session bus.
//
// One method per service, named by the service's message name, each taking
// the request's user data (ignored) and working on the object's pasteboard
// (the system clipboard in the application). A failed request is answered
// with the error failureErrorName carrying the failure message. Requests are
// served on the thread of the object, one at a time.
#pragma once

#include "parasort/services/pasteboard.h"
#include "parasort/services/service_exchange.h"

#include <QDBusContext>
#include <QObject>
#include <QString>

#include <memory>
#include <string_view>

namespace parasort {

class ParagraphServices : public QObject, protected QDBusContext {
  Q_OBJECT

 public:
  // Serves requests on `pasteboard`; its D-Bus interface is exported with
  // the object (registerParagraphServices()).
  explicit ParagraphServices(std::unique_ptr<Pasteboard> pasteboard, QObject* parent = nullptr);

 public slots:
  void sspSortParagraphsAscending(const QString& userData);
  void sspSortParagraphsDescending(const QString& userData);
  void sspUniqueParagraphs(const QString& userData);

 private:
  using EntryPoint = void (*)(Pasteboard&, std::u16string_view, ServiceError*);
  void serve(EntryPoint entryPoint, const QString& userData);

  std::unique_ptr<Pasteboard> pasteboard_;
};

}  // namespace parasort
