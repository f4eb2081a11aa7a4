#include "sort_options_dialog.h"

#include "sort_options.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace parasort {
namespace {

// The dialog's fields, each named for the option it holds.
struct SortOptionsFields {
  QComboBox* strength;
  QCheckBox* numeric;
  QLineEdit* keyPositions;
  QLineEdit* fieldSeparator;
  QCheckBox* ignoreLeadingBlanks;

  void show(const SortOptions& options) const {
    strength->setCurrentIndex(strength->findData(static_cast<int>(options.strength)));
    numeric->setChecked(options.numeric);
    keyPositions->setText(options.keyPositions);
    fieldSeparator->setText(options.fieldSeparator);
    ignoreLeadingBlanks->setChecked(options.ignoreLeadingBlanks);
  }
  SortOptions shown() const {
    return {.strength = static_cast<CollationStrength>(strength->currentData().toInt()),
            .numeric = numeric->isChecked(),
            .keyPositions = keyPositions->text().trimmed(),
            .fieldSeparator = fieldSeparator->text(),
            .ignoreLeadingBlanks = ignoreLeadingBlanks->isChecked()};
  }
};

template <class Widget, class... Arguments>
Widget* named(QDialog& dialog, const char* name, Arguments&&... arguments) {
  auto* widget = new Widget(std::forward<Arguments>(arguments)..., &dialog);
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

// The fields laid out in `dialog`, above the line that says what is wrong
// (`problem`) and the buttons.
SortOptionsFields laidOutFields(QDialog& dialog, QLabel& problem, QDialogButtonBox& buttons) {
  const SortOptionsFields fields{
      named<QComboBox>(dialog, "strength"),
      named<QCheckBox>(dialog, "numeric", QStringLiteral("Compare runs of digits by their value")),
      named<QLineEdit>(dialog, "keyPositions"),
      named<QLineEdit>(dialog, "fieldSeparator"),
      named<QCheckBox>(dialog, "ignoreLeadingBlanks", QStringLiteral("Ignore blanks at the start of fields"))};
  fields.strength->addItem(QStringLiteral("Letters only"), static_cast<int>(CollationStrength::primary));
  fields.strength->addItem(QStringLiteral("Letters and accents"), static_cast<int>(CollationStrength::secondary));
  fields.strength->addItem(QStringLiteral("Letters, accents, case and width"),
                           static_cast<int>(CollationStrength::tertiary));
  fields.strength->addItem(QStringLiteral("Every difference"), static_cast<int>(CollationStrength::identical));
  fields.keyPositions->setPlaceholderText(QStringLiteral("the whole paragraph (or, for example, 2 or 1.3,1.5)"));
  fields.fieldSeparator->setPlaceholderText(QStringLiteral("blanks"));
  auto* form = new QFormLayout(&dialog);
  form->addRow(QStringLiteral("Differences that count:"), fields.strength);
  form->addRow(QString(), fields.numeric);
  form->addRow(QStringLiteral("Sort by fields:"), fields.keyPositions);
  form->addRow(QStringLiteral("Field separator:"), fields.fieldSeparator);
  form->addRow(QString(), fields.ignoreLeadingBlanks);
  form->addRow(&problem);
  form->addRow(&buttons);
  return fields;
}

}  // namespace

QDialog* openSortOptionsDialog(QWidget& window) {
  auto* dialog = new QDialog(&window);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->setWindowTitle(QStringLiteral("Sort Options"));
  auto* problem = named<QLabel>(*dialog, "problem");
  problem->setStyleSheet(QStringLiteral("font-weight: bold"));
  problem->hide();
  auto* buttons = new QDialogButtonBox(
      QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, dialog);
  const SortOptionsFields fields = laidOutFields(*dialog, *problem, *buttons);
  fields.show(savedSortOptions());

  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  QObject::connect(buttons->button(QDialogButtonBox::RestoreDefaults), &QPushButton::clicked, dialog,
                   [fields, problem] {
                     fields.show(SortOptions{});
                     problem->hide();
                   });
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, [dialog, fields, problem] {
    const SortOptions options = fields.shown();
    if (const std::optional<QString> why = problemWith(options)) {
      problem->setText(*why);
      problem->show();
      SortOptions separatorOnly;
      separatorOnly.fieldSeparator = options.fieldSeparator;
      const bool separatorIsWrong = problemWith(separatorOnly).has_value();
      (separatorIsWrong ? fields.fieldSeparator : fields.keyPositions)->setFocus();
      return;
    }
    saveSortOptions(options);
    dialog->accept();
  });
  dialog->open();
  return dialog;
}

}  // namespace parasort
