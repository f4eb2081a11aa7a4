// Edit > Find… (Ctrl+F), Find Next (F3), Find Previous (Shift+F3) and
// Replace… (Ctrl+H): a search of the text view's document with
// QTextDocument's own search, matching case or not and whole words or not,
// wrapping around the end. Find and Replace share one dialog, which stays
// open beside the text; a replacement is an undoable edit, Replace All one
// edit for all of them.
#pragma once

#include <QObject>
#include <QDialog>
#include <QPointer>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTextEdit;

namespace parasort {

class FindReplace final : public QObject {
 public:
  struct Search {
    QString text;
    bool matchCase = false;
    bool wholeWords = false;
  };

  // Searches the document `edit` shows at the time; `edit` must outlive
  // this object.
  explicit FindReplace(QTextEdit& edit);

  // Opens the dialog (for finding, or with its replacement field too) with
  // the search field focused and its text selected.
  void openFind();
  void openReplace();
  // The dialog, while it is open.
  [[nodiscard]] QDialog* dialog() const { return dialog_; }

  // The search that Find Next and Find Previous repeat.
  void setSearch(Search search) { search_ = std::move(search); }
  [[nodiscard]] const Search& search() const { return search_; }

  // Selects the next (or previous) match after (before) the selection,
  // wrapping around; false, with the selection kept, when there is none
  // or the search is empty.
  bool findNext();
  bool findPrevious();
  // Replaces the selection with `replacement` when it is a match, then
  // finds the next one; false when the text is read-only.
  bool replace(const QString& replacement);
  // Replaces every match as one edit; how many it replaced.
  int replaceAll(const QString& replacement);

 private:
  bool find(bool backward);
  void open(bool withReplacement);
  void takeSearchFromDialog();
  void tell(const QString& message);

  QTextEdit& edit_;
  Search search_;
  QPointer<QDialog> dialog_;
  QLineEdit* findField_ = nullptr;
  QLineEdit* replaceField_ = nullptr;
  QLabel* replaceLabel_ = nullptr;
  QCheckBox* matchCase_ = nullptr;
  QCheckBox* wholeWords_ = nullptr;
  QPushButton* replaceButton_ = nullptr;
  QPushButton* replaceAllButton_ = nullptr;
  QLabel* outcome_ = nullptr;
};

}  // namespace parasort
