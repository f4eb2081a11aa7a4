// MyController's SystemServiceProvider operations: the three services' entry
// points, which the services code implements. The bus reaches the same entry
// points through the services object that applicationDidFinishLaunching()
// registers.
#include "my_controller.h"

#include "parasort/services/system_service_provider.h"

namespace parasort {

void MyController::sspSortParagraphsAscending(Pasteboard& pasteboard, std::u16string_view userData,
                                              ServiceError* error) {
  SystemServiceProvider::sspSortParagraphsAscending(pasteboard, userData, error);
}

void MyController::sspSortParagraphsDescending(Pasteboard& pasteboard, std::u16string_view userData,
                                               ServiceError* error) {
  SystemServiceProvider::sspSortParagraphsDescending(pasteboard, userData, error);
}

void MyController::sspUniqueParagraphs(Pasteboard& pasteboard, std::u16string_view userData,
                                       ServiceError* error) {
  SystemServiceProvider::sspUniqueParagraphs(pasteboard, userData, error);
}

}  // namespace parasort
