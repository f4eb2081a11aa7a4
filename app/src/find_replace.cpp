#include "find_replace.h"

#include "wait_cursor.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

namespace parasort {
namespace {

QTextDocument::FindFlags flagsOf(const FindReplace::Search& search, bool backward) {
  QTextDocument::FindFlags flags;
  if (search.matchCase) flags |= QTextDocument::FindCaseSensitively;
  if (search.wholeWords) flags |= QTextDocument::FindWholeWords;
  if (backward) flags |= QTextDocument::FindBackward;
  return flags;
}

}  // namespace

FindReplace::FindReplace(QTextEdit& edit) : QObject(&edit), edit_(edit) {}

void FindReplace::openFind() { open(false); }

void FindReplace::openReplace() { open(true); }

void FindReplace::open(bool withReplacement) {
  if (dialog_ == nullptr) {
    dialog_ = new QDialog(edit_.window());
    dialog_->setObjectName(QStringLiteral("findReplace"));
    findField_ = new QLineEdit(dialog_);
    findField_->setObjectName(QStringLiteral("findText"));
    replaceField_ = new QLineEdit(dialog_);
    replaceField_->setObjectName(QStringLiteral("replaceText"));
    replaceLabel_ = new QLabel(QStringLiteral("Replace &with:"), dialog_);
    replaceLabel_->setBuddy(replaceField_);
    auto* findLabel = new QLabel(QStringLiteral("F&ind:"), dialog_);
    findLabel->setBuddy(findField_);
    matchCase_ = new QCheckBox(QStringLiteral("&Match case"), dialog_);
    wholeWords_ = new QCheckBox(QStringLiteral("Whole wor&ds"), dialog_);
    outcome_ = new QLabel(dialog_);
    outcome_->setObjectName(QStringLiteral("outcome"));
    auto* buttons = new QDialogButtonBox(dialog_);
    auto* next = buttons->addButton(QStringLiteral("Find &Next"), QDialogButtonBox::ActionRole);
    auto* previous = buttons->addButton(QStringLiteral("Find &Previous"), QDialogButtonBox::ActionRole);
    replaceButton_ = buttons->addButton(QStringLiteral("&Replace"), QDialogButtonBox::ActionRole);
    replaceAllButton_ = buttons->addButton(QStringLiteral("Replace &All"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    next->setDefault(true);
    auto* form = new QFormLayout(dialog_);
    form->addRow(findLabel, findField_);
    form->addRow(replaceLabel_, replaceField_);
    form->addRow(QString(), matchCase_);
    form->addRow(QString(), wholeWords_);
    form->addRow(outcome_);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::rejected, dialog_, &QDialog::close);
    connect(next, &QPushButton::clicked, this, [this] {
      takeSearchFromDialog();
      findNext();
    });
    connect(previous, &QPushButton::clicked, this, [this] {
      takeSearchFromDialog();
      findPrevious();
    });
    connect(replaceButton_, &QPushButton::clicked, this, [this] {
      takeSearchFromDialog();
      replace(replaceField_->text());
    });
    connect(replaceAllButton_, &QPushButton::clicked, this, [this] {
      takeSearchFromDialog();
      replaceAll(replaceField_->text());
    });
  }
  dialog_->setWindowTitle(withReplacement ? QStringLiteral("Replace") : QStringLiteral("Find"));
  for (QWidget* part : {static_cast<QWidget*>(replaceLabel_), static_cast<QWidget*>(replaceField_),
                        static_cast<QWidget*>(replaceButton_), static_cast<QWidget*>(replaceAllButton_)})
    part->setVisible(withReplacement);
  // A selection within one paragraph is what the user most likely looks for.
  const QString selected = edit_.textCursor().selectedText();
  const bool onePiece = !selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator);
  findField_->setText(onePiece ? selected : search_.text);
  matchCase_->setChecked(search_.matchCase);
  wholeWords_->setChecked(search_.wholeWords);
  outcome_->clear();
  dialog_->show();
  dialog_->raise();
  dialog_->activateWindow();
  findField_->setFocus();
  findField_->selectAll();
}

void FindReplace::takeSearchFromDialog() {
  search_ = {findField_->text(), matchCase_->isChecked(), wholeWords_->isChecked()};
}

void FindReplace::tell(const QString& message) {
  if (dialog_ != nullptr) outcome_->setText(message);
}

bool FindReplace::findNext() { return find(false); }

bool FindReplace::findPrevious() { return find(true); }

bool FindReplace::find(bool backward) {
  if (search_.text.isEmpty()) {
    openFind();
    return false;
  }
  const QTextDocument& document = *edit_.document();
  const QTextDocument::FindFlags flags = flagsOf(search_, backward);
  QTextCursor found = document.find(search_.text, edit_.textCursor(), flags);
  if (found.isNull()) {
    // Round the end (or the start) of the text.
    QTextCursor from(edit_.document());
    if (backward) from.movePosition(QTextCursor::End);
    found = document.find(search_.text, from, flags);
  }
  if (found.isNull()) {
    tell(QStringLiteral("\u201C%1\u201D is not in the text.").arg(search_.text));
    QApplication::beep();
    return false;
  }
  tell(QString());
  edit_.setTextCursor(found);
  return true;
}

bool FindReplace::replace(const QString& replacement) {
  if (edit_.isReadOnly() || search_.text.isEmpty()) return false;
  QTextCursor selection = edit_.textCursor();
  QTextCursor from(edit_.document());
  from.setPosition(selection.selectionStart());
  const QTextCursor match = edit_.document()->find(search_.text, from, flagsOf(search_, false));
  if (selection.hasSelection() && !match.isNull() && match.selectionStart() == selection.selectionStart() &&
      match.selectionEnd() == selection.selectionEnd()) {
    selection.insertText(replacement);
    edit_.setTextCursor(selection);
  }
  findNext();
  return true;
}

int FindReplace::replaceAll(const QString& replacement) {
  if (edit_.isReadOnly() || search_.text.isEmpty()) return 0;
  showWaitCursorUntilIdle();
  QTextDocument& document = *edit_.document();
  const QTextDocument::FindFlags flags = flagsOf(search_, false);
  QTextCursor edit(&document);
  int replaced = 0;
  for (QTextCursor match = document.find(search_.text, 0, flags); !match.isNull();
       match = document.find(search_.text, match, flags)) {
    if (replaced == 0) edit.beginEditBlock();
    // Each replacement leaves `match` after the text it put in, where the
    // search goes on.
    match.insertText(replacement);
    ++replaced;
  }
  if (replaced > 0) edit.endEditBlock();
  tell(replaced == 1 ? QStringLiteral("1 replacement.") : QStringLiteral("%1 replacements.").arg(replaced));
  return replaced;
}

}  // namespace parasort
