#include "format_menu.h"

#include "format_commands.h"
#include "tab_width_dialog.h"
#include "parasort/editor/text_view_additions.h"
#include "ui_main_interface.h"
#include "wait_cursor.h"

#include <QFontDialog>

namespace parasort {

namespace {

void chooseFont(EditorTextView& textView) {
  bool chosen = false;
  const QFont font = QFontDialog::getFont(&chosen, textView.font(), &textView.window(),
                                          QStringLiteral("Font"));
  if (!chosen) return;
  showWaitCursorUntilIdle();
  FormatCommands::applyFont(textView.text(), {font.family().toStdU16String(), font.pointSizeF()});
}

}  // namespace

void connectFormatMenu(const Ui::EditorWindow& ui, EditorTextView& textView) {
  using FormatCommands::Emphasis;
  QObject* context = ui.textView;
  const auto toggle = [&textView](Emphasis emphasis) {
    return [&textView, emphasis] { FormatCommands::toggleEmphasis(textView.text(), emphasis); };
  };
  const auto shift = [&textView](double delta) {
    return [&textView, delta] { TQAdditions::actionShiftParagraphInSelectedRangeByDelta(textView.text(), delta); };
  };
  QObject::connect(ui.actionFont, &QAction::triggered, context, [&textView] { chooseFont(textView); });
  QObject::connect(ui.actionBold, &QAction::triggered, context, toggle(Emphasis::Bold));
  QObject::connect(ui.actionItalic, &QAction::triggered, context, toggle(Emphasis::Italic));
  QObject::connect(ui.actionUnderline, &QAction::triggered, context, toggle(Emphasis::Underline));
  QObject::connect(ui.actionIncreaseIndent, &QAction::triggered, context, shift(FormatCommands::indentStep));
  QObject::connect(ui.actionDecreaseIndent, &QAction::triggered, context, shift(-FormatCommands::indentStep));
  QObject::connect(ui.actionTabWidth, &QAction::triggered, context,
                   [&textView] { openTabWidthDialog(textView); });
}

}  // namespace parasort
