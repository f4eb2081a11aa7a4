#include "about_box.h"

#include "parasort/version.h"

#include <QMessageBox>

namespace parasort {

QString aboutBoxTitle() { return QStringLiteral("About parasort"); }

QString aboutBoxText() {
  return QStringLiteral("<h3>parasort %1</h3><p>%2.</p>"
                        "<p>The Paragraphs menu works on the selected paragraphs; "
                        "the <tt>parasort</tt> command does the same for files and pipes.</p>")
      .arg(QStringLiteral(PARASORT_VERSION), QStringLiteral(PARASORT_DESCRIPTION));
}

void showAboutBox(QWidget& parent) { QMessageBox::about(&parent, aboutBoxTitle(), aboutBoxText()); }

}  // namespace parasort
