// Help > Parasort Manual (F1): the editor's manual page, parasort-editor(1),
// in a window of its own beside the editor. The page travels inside the
// program (so a build that is not installed shows it too) and is set by
// man(1) as a terminal would show it.
#pragma once

class QWidget;

namespace parasort {

// Shows the manual over `window` (not modal), or brings its window forward
// when it is open already. Where man(1) cannot set the page, the window
// says so and shows the page's source.
void showManual(QWidget& window);

}  // namespace parasort
