#include "parasort/services/qt/paragraph_services.h"

#include "parasort/services/qt/services_bus_names.h"
#include "parasort/services/system_service_provider.h"
#include "services_adaptor.h"

#include <string>
#include <utility>

namespace parasort {

ParagraphServices::ParagraphServices(std::unique_ptr<Pasteboard> pasteboard, QObject* parent)
    : QObject(parent), pasteboard_(std::move(pasteboard)) {
  new ServicesAdaptor(this);  // owned by this object, exported with it
}

void ParagraphServices::sspSortParagraphsAscending(const QString& userData) {
  serve(&SystemServiceProvider::sspSortParagraphsAscending, userData);
}

void ParagraphServices::sspSortParagraphsDescending(const QString& userData) {
  serve(&SystemServiceProvider::sspSortParagraphsDescending, userData);
}

void ParagraphServices::sspUniqueParagraphs(const QString& userData) {
  serve(&SystemServiceProvider::sspUniqueParagraphs, userData);
}

void ParagraphServices::serve(EntryPoint entryPoint, const QString& userData) {
  ServiceError error;
  entryPoint(*pasteboard_, userData.toStdU16String(), &error);
  if (error && calledFromDBus()) {
    sendErrorReply(QString::fromLatin1(services_bus::failureErrorName), QString::fromStdU16String(*error));
  }
}

}  // namespace parasort
