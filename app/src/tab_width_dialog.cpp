#include "tab_width_dialog.h"

#include "parasort/editor/text_view_additions.h"
#include "wait_cursor.h"

#include <QInputDialog>

namespace parasort {

QInputDialog* openTabWidthDialog(EditorTextView& textView) {
  const double own = TQAdditions::defaultTabInterval(textView.text());
  auto* dialog = new QInputDialog(&textView.window());
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("Tab Width"));
  dialog->setLabelText(QStringLiteral("Distance between tab stops, in points:"));
  dialog->setInputMode(QInputDialog::DoubleInput);
  dialog->setDoubleRange(1.0, 1000.0);
  dialog->setDoubleDecimals(1);
  dialog->setDoubleValue(own > 0.0 ? own : textView.text().standardTabInterval());
  // Read back as the field shows it (rounded to its decimals): pressing OK
  // on it unedited must not turn 36.04 into 36.0, nor write the drawn
  // standard into every paragraph.
  const double offered = dialog->doubleValue();
  QObject::connect(dialog, &QInputDialog::doubleValueSelected, dialog, [&textView, offered](double chosen) {
    if (chosen == offered) return;
    showWaitCursorUntilIdle();
    TQAdditions::setDefaultTabInterval(textView.text(), chosen);
  });
  dialog->open();
  return dialog;
}

}  // namespace parasort
