// Help > About parasort: the application's name, version and purpose.
#pragma once

#include <QString>

class QWidget;

namespace parasort {

// The box's title and text; the version is the project's (parasort/version.h),
// the one that `parasort --version` prints.
QString aboutBoxTitle();
QString aboutBoxText();

// Shows the box over `parent`, modal, until the user closes it.
void showAboutBox(QWidget& parent);

}  // namespace parasort
